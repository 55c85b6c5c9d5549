#include "draw/dlgauslosung.h"

#include "ui_dlgauslosung.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardItemModel>

#include "draw/tischverteilung.h"
#include "storage/datenbank.h"
#include "widgets/delegates.h"
#include "widgets/dialoge.h"
#include "widgets/tastatur.h"

namespace
{
constexpr int SpalteStartNr = 0;
constexpr int SpalteName = 1;
constexpr int SpalteTisch = 2;
constexpr int SpaltePlatz = 3;
constexpr int RolleStartNr = Qt::UserRole + 1;

QStringList einsBis(int n)
{
    QStringList liste;
    for (int i = 1; i <= n; ++i)
        liste << QString::number(i);
    return liste;
}
} // namespace

DlgAuslosung::DlgAuslosung(const QString& gruppe, const QMap<QString, QString>& verbindungen, int serien,
    const QDate& turnierTag, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::DlgAuslosung)
    , m_turnierTag(turnierTag)
    , m_verbindungen(verbindungen)
    , m_gruppe(gruppe)
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
    ui->calendarWidget->setSelectedDate(m_turnierTag);
    for (int s = 1; s <= serien; ++s)
        ui->comboBox->addItem(tr("Serie %1").arg(s), s);
    ui->comboBox->setCurrentIndex(serien >= 1 ? 0 : -1);

    m_setzModel = new QStandardItemModel(this);
    ui->trvSetzliste->setModel(m_setzModel);
    m_tischDelegate = new ComboItemDelegate({}, this);
    m_platzDelegate = new ComboItemDelegate(einsBis(4), this);

    connect(ui->rbZufall, &QRadioButton::clicked, this, &DlgAuslosung::onZufall);
    connect(ui->rbRang, &QRadioButton::clicked, this, &DlgAuslosung::onRang);
    connect(ui->rbSpieltag, &QRadioButton::clicked, this, &DlgAuslosung::onSpieltag);
    connect(ui->rbSetzen, &QRadioButton::clicked, this, &DlgAuslosung::onSetzen);
    connect(ui->trvSetzliste, &QTreeView::doubleClicked, this, &DlgAuslosung::onItemDoubleClicked);
    // Typed in like a spreadsheet, cell by cell; a "Platz" cell reached by
    // the keyboard offers the seats of its table as the double click does.
    ui->trvSetzliste->setSelectionBehavior(QAbstractItemView::SelectItems);
    Tastatur::tabelleBedienbar(ui->trvSetzliste);
    connect(ui->trvSetzliste->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex& aktuell) { onItemDoubleClicked(aktuell); });
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &DlgAuslosung::onAccept);
}

DlgAuslosung::~DlgAuslosung()
{
    delete ui;
}

int DlgAuslosung::serie() const
{
    return ui->comboBox->currentData(Qt::UserRole).toInt();
}

void DlgAuslosung::serieWaehlen(int serie)
{
    const int i = ui->comboBox->findData(serie, Qt::UserRole);
    if (i >= 0)
        ui->comboBox->setCurrentIndex(i);
}

QDate DlgAuslosung::datum() const
{
    return ui->calendarWidget->selectedDate();
}

void DlgAuslosung::onZufall(bool an)
{
    if (!an)
        return;
    ui->calendarWidget->setEnabled(false);
    m_modus = Zufall;
}

void DlgAuslosung::onRang(bool an)
{
    if (!an)
        return;
    ui->calendarWidget->setEnabled(false);
    m_modus = Rang;
}

void DlgAuslosung::onSpieltag(bool an)
{
    if (!an)
        return;
    m_modus = Spieltag;
    ui->tabWidget->setCurrentWidget(ui->tabSpieltag);
    ui->calendarWidget->setEnabled(true);
    // Match days are a week apart: preselect the previous one.
    ui->calendarWidget->setSelectedDate(m_turnierTag.addDays(-7));
}

void DlgAuslosung::onSetzen(bool an)
{
    if (!an)
        return;
    m_modus = Setzen;
    ui->tabWidget->setCurrentWidget(ui->tabSetzliste);
    ui->calendarWidget->setEnabled(false);
    setzlisteAufbauen();
}

void DlgAuslosung::setzlisteAufbauen()
{
    m_setzModel->clear();
    m_setzModel->setHorizontalHeaderLabels({ tr("StartNr"), tr("Name"), tr("TischNr"), tr("Platz") });
    // The layout belongs to the series shown now; tables of a series built
    // before must not be offered for this one.
    m_layout.clear();
    m_tischDelegate->setItems({});

    const QString verbindung = m_verbindungen.value(m_gruppe);
    if (serie() < 1 || verbindung.isEmpty() || !QSqlDatabase::contains(verbindung))
        return;
    QSqlDatabase db = QSqlDatabase::database(verbindung, false);
    if (!db.isValid() || !db.isOpen())
        return;

    QHash<int, QString> namen;
    {
        QSqlQuery q = Db::abfrage(db, QStringLiteral("SELECT StartNr, Name FROM Teilnehmer"));
        while (q.next())
            if (!namen.contains(q.value(0).toInt()))
                namen.insert(q.value(0).toInt(), q.value(1).toString());
    }
    {
        QSqlQuery q
            = Db::abfrage(db, QStringLiteral("SELECT StartNr, Tisch, TischIntern, Aktiv FROM Serie%1").arg(serie()));
        while (q.next()) {
            if (!q.value(3).toBool())
                continue;
            const int startNr = q.value(0).toInt();
            auto* nr = new QStandardItem(QString::number(startNr));
            nr->setData(startNr, RolleStartNr);
            nr->setEditable(false);
            auto* name = new QStandardItem(namen.value(startNr));
            name->setEditable(false);
            m_setzModel->appendRow({ nr, name, new QStandardItem(QString::number(q.value(1).toInt())),
                new QStandardItem(QString::number(q.value(2).toInt())) });
        }
    }

    int ersterTisch = 1;
    {
        QSqlQuery q = Db::abfrage(db, QStringLiteral("SELECT ErsterTisch FROM Gruppe"));
        if (q.next())
            ersterTisch = q.value(0).toInt();
    }
    m_layout = tischLayoutBerechnen(ersterTisch, tischaufteilungOhneGrenze(m_setzModel->rowCount()));

    QStringList tische;
    for (auto it = m_layout.cbegin(); it != m_layout.cend(); ++it)
        tische << QString::number(it.key());
    m_tischDelegate->setItems(tische);
    m_platzDelegate->setItems(einsBis(4));
    ui->trvSetzliste->setItemDelegateForColumn(SpalteTisch, m_tischDelegate);
    ui->trvSetzliste->setItemDelegateForColumn(SpaltePlatz, m_platzDelegate);
}

void DlgAuslosung::onItemDoubleClicked(QModelIndex index)
{
    if (!index.isValid() || index.column() != SpaltePlatz)
        return;
    const int tisch = m_setzModel->index(index.row(), SpalteTisch).data().toString().toInt();
    auto it = m_layout.constFind(tisch);
    if (it != m_layout.constEnd())
        m_platzDelegate->setItems(einsBis(it.value()));
}

void DlgAuslosung::onAccept()
{
    m_setzliste.clear();
    for (int z = 0; z < m_setzModel->rowCount(); ++z) {
        const int startNr = m_setzModel->index(z, SpalteStartNr).data().toString().toInt();
        const int tisch = m_setzModel->index(z, SpalteTisch).data().toString().toInt();
        const int platz = m_setzModel->index(z, SpaltePlatz).data().toString().toInt();
        if (tisch == 0)
            continue;
        // A table the series does not have, or a seat the table does not
        // have, would store a seating no table list can show.
        auto layout = m_layout.constFind(tisch);
        if (layout == m_layout.constEnd()) {
            Dialoge::fehler(this, tr("TischNr %1 bei StartNr %2 ungueltig!").arg(tisch).arg(startNr));
            return;
        }
        if (platz < 1 || platz > layout.value()) {
            Dialoge::fehler(this, tr("PlatzNr %1 bei StartNr %2 ungueltig!").arg(platz).arg(startNr));
            return;
        }
        QList<QPair<int, int>>& sitze = m_setzliste[tisch];
        for (const auto& sitz : qAsConst(sitze)) {
            if (sitz.first == platz) {
                Dialoge::fehler(this, tr("PlatzNr %1 bei StartNr %2 schon vergeben!").arg(platz).arg(startNr));
                return;
            }
        }
        sitze.append({ platz, startNr });
    }
    accept();
}
