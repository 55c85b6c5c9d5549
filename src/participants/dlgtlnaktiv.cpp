#include "participants/dlgtlnaktiv.h"

#include "ui_dlgtlnaktiv.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardItemModel>

#include "participants/teilnehmerpflege.h"
#include "storage/datenbank.h"
#include "widgets/delegates.h"
#include "widgets/dialoge.h"

namespace
{
constexpr int SpalteStartNr = 0;
constexpr int SpalteAktiv = 2;
} // namespace

DlgTlnAktiv::DlgTlnAktiv(int anzahlSerien, const QString& gruppe_, const QMap<QString, QString>& verbindungen_,
    Speichern speichern_, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::DlgTlnAktiv)
    , verbindungen(verbindungen_)
    , gruppe(gruppe_)
    , speichern(std::move(speichern_))
{
    ui->setupUi(this);
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    model = new QStandardItemModel(this);
    ui->trvTeilnehmer->setModel(model);
    ui->trvTeilnehmer->setItemDelegateForColumn(SpalteAktiv, new ComboDelegate(this));
    ui->trvTeilnehmer->setSortingEnabled(true);
    connect(model, &QStandardItemModel::itemChanged, this, &DlgTlnAktiv::onActivChanged);

    // The entries are added before the change signal is connected, so the
    // list is filled once, for series 1.
    for (int s = 1; s <= anzahlSerien; ++s)
        ui->cmbSerien->addItem(QStringLiteral("%1").arg(s), s);
    connect(ui->cmbSerien, &QComboBox::currentTextChanged, this, &DlgTlnAktiv::onSerieChanged);
    if (anzahlSerien > 0)
        listeFuellen();
}

DlgTlnAktiv::~DlgTlnAktiv()
{
    delete ui;
}

int DlgTlnAktiv::serie() const
{
    return ui->cmbSerien->currentData(Qt::UserRole).toInt();
}

void DlgTlnAktiv::onSerieChanged(QString)
{
    listeFuellen();
}

void DlgTlnAktiv::listeFuellen()
{
    model->clear();
    model->setHorizontalHeaderLabels({ tr("StartNr"), tr("Name"), tr("Aktiv") });

    verbindung.clear();
    auto eintrag = verbindungen.constFind(gruppe);
    if (eintrag == verbindungen.constEnd())
        return;
    verbindung = eintrag.value();
    QSqlDatabase db = QSqlDatabase::database(verbindung);
    if (!db.isValid() || !db.isOpen())
        return;

    const int s = serie();
    QSqlQuery q = Db::abfrage(db, QStringLiteral("SELECT StartNr, Name FROM Teilnehmer"));
    while (q.next()) {
        const int startNr = q.value(0).toInt();
        // The number as a number, so a click on the header sorts 99 before 100.
        auto* nr = new QStandardItem;
        nr->setData(startNr, Qt::DisplayRole);
        nr->setEditable(false);
        auto* name = new QStandardItem(q.value(1).toString());
        name->setEditable(false);
        const bool aktiv = Teilnehmerpflege::aktivLesen(db, s, startNr).aktiv;
        auto* flag = new QStandardItem(aktiv ? tr("Ja") : tr("Nein"));
        model->appendRow({ nr, name, flag });
    }
}

void DlgTlnAktiv::onActivChanged(QStandardItem* item)
{
    if (zuruecksetzen || !item || item->column() != SpalteAktiv)
        return;
    const QStandardItem* nr = model->item(item->row(), SpalteStartNr);
    if (!nr)
        return;
    const int startNr = nr->text().toInt();
    const int s = serie();
    const bool aktiv = item->text() == tr("Ja");

    QString fehler;
    if (speichern && speichern(s, startNr, aktiv, &fehler))
        return;
    if (!speichern)
        fehler = tr("Hier wird nichts gespeichert");

    // The list must not claim what was not stored: show the stored value.
    Dialoge::fehler(this,
        tr("Teilnehmer %1 konnte in Serie %2 nicht auf \"%3\" gesetzt werden:\n%4")
            .arg(startNr)
            .arg(s)
            .arg(item->text(), fehler));
    const bool gespeichert = Teilnehmerpflege::aktivLesen(QSqlDatabase::database(verbindung), s, startNr).aktiv;
    zuruecksetzen = true;
    item->setText(gespeichert ? tr("Ja") : tr("Nein"));
    zuruecksetzen = false;
}
