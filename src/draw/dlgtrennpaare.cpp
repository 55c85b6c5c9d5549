#include "draw/dlgtrennpaare.h"

#include "ui_dlgtrennpaare.h"

#include <QHash>
#include <QSettings>
#include <QSqlQuery>
#include <QStandardItemModel>

#include "draw/auslosungsdaten.h"
#include "storage/datenbank.h"
#include "widgets/dialoge.h"

namespace
{
constexpr int rolleStartNr = Qt::UserRole + 1;
}

DlgTrennpaare::DlgTrennpaare(QSqlDatabase haupt, QSettings* einstellungen, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::DlgTrennpaare)
    , m_haupt(haupt)
    , m_einstellungen(einstellungen)
    , m_paare(new QStandardItemModel(this))
{
    ui->setupUi(this);
    ui->trvTrennpaare->setModel(m_paare);
    const Auslosungsdaten::Einstellung e = Auslosungsdaten::einstellungLesen(*m_einstellungen);
    ui->cbWiederholungenVermeiden->setChecked(e.ausgleich);
    ui->spbSpieltage->setMaximum(Auslosungsdaten::maxSpieltage);
    ui->spbSpieltage->setValue(e.spieltage);
    ui->spbSpieltage->setEnabled(e.ausgleich);

    if (m_haupt.isValid() && m_haupt.isOpen()) {
        QSqlQuery q = Db::abfrage(m_haupt,
            QStringLiteral("SELECT StartNr, VorName, NachName FROM Spieler ORDER BY NachName, VorName, StartNr"));
        while (q.next()) {
            const int nr = q.value(0).toInt();
            const QString text = QStringLiteral("%1 %2 (%3)").arg(q.value(1).toString(), q.value(2).toString()).arg(nr);
            ui->cmbSpielerA->addItem(text, nr);
            ui->cmbSpielerB->addItem(text, nr);
        }
    }
    paareLaden();

    connect(ui->cbWiederholungenVermeiden, &QCheckBox::toggled, this, &DlgTrennpaare::onAusgleich);
    connect(ui->spbSpieltage, QOverload<int>::of(&QSpinBox::valueChanged), this, &DlgTrennpaare::onSpieltage);
    connect(ui->pbTrennen, &QPushButton::clicked, this, &DlgTrennpaare::onTrennen);
    connect(ui->pbEntfernen, &QPushButton::clicked, this, &DlgTrennpaare::onEntfernen);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

DlgTrennpaare::~DlgTrennpaare()
{
    delete ui;
}

void DlgTrennpaare::paareLaden()
{
    m_paare->clear();
    m_paare->setHorizontalHeaderLabels({ tr("StartNr"), tr("Name"), tr("StartNr"), tr("Name") });
    QHash<int, QString> namen;
    for (int i = 0; i < ui->cmbSpielerA->count(); ++i) {
        QString text = ui->cmbSpielerA->itemText(i);
        namen.insert(ui->cmbSpielerA->itemData(i).toInt(), text.left(text.lastIndexOf(QLatin1String(" ("))));
    }
    for (const FaireAuslosung::Paar& p : Auslosungsdaten::trennpaareLesen(m_haupt)) {
        QList<QStandardItem*> zeile;
        for (int nr : { p.first, p.second }) {
            auto* nummer = new QStandardItem(QString::number(nr));
            nummer->setData(nr, rolleStartNr);
            zeile << nummer << new QStandardItem(namen.value(nr));
        }
        m_paare->appendRow(zeile);
    }
}

void DlgTrennpaare::onAusgleich(bool an)
{
    Auslosungsdaten::Einstellung e = Auslosungsdaten::einstellungLesen(*m_einstellungen);
    e.ausgleich = an;
    Auslosungsdaten::einstellungSchreiben(*m_einstellungen, e);
    ui->spbSpieltage->setEnabled(an);
}

void DlgTrennpaare::onSpieltage(int anzahl)
{
    Auslosungsdaten::Einstellung e = Auslosungsdaten::einstellungLesen(*m_einstellungen);
    e.spieltage = anzahl;
    Auslosungsdaten::einstellungSchreiben(*m_einstellungen, e);
}

void DlgTrennpaare::onTrennen()
{
    const int a = ui->cmbSpielerA->currentData().toInt();
    const int b = ui->cmbSpielerB->currentData().toInt();
    QString fehler;
    if (ui->cmbSpielerA->currentIndex() < 0 || ui->cmbSpielerB->currentIndex() < 0)
        fehler = tr("Bitte zwei Spieler waehlen");
    else if (Auslosungsdaten::trennpaarHinzufuegen(m_haupt, a, b, &fehler))
        fehler.clear();
    ui->lblMeldung->setText(fehler.isEmpty() ? QString() : tr("FEHLER: %1").arg(fehler));
    paareLaden();
}

void DlgTrennpaare::onEntfernen()
{
    const QModelIndexList zeilen
        = ui->trvTrennpaare->selectionModel() ? ui->trvTrennpaare->selectionModel()->selectedRows() : QModelIndexList();
    if (zeilen.isEmpty())
        return;
    const int a = m_paare->item(zeilen.first().row(), 0)->data(rolleStartNr).toInt();
    const int b = m_paare->item(zeilen.first().row(), 2)->data(rolleStartNr).toInt();
    if (!Dialoge::frage(this, tr("%1 und %2 wieder an einem Tisch zulassen?").arg(a).arg(b)))
        return;
    ui->lblMeldung->setText(
        Auslosungsdaten::trennpaarEntfernen(m_haupt, a, b) ? QString() : tr("FEHLER: nicht entfernt"));
    paareLaden();
}
