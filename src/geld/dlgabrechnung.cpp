#include "geld/dlgabrechnung.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "geld/geldausgabe.h"
#include "geld/geldspeicher.h"
#include "print/blatt.h"
#include "print/vorschau.h"
#include "reports/bericht.h"
#include "widgets/dialoge.h"

DlgAbrechnung::DlgAbrechnung(QSqlDatabase db, QSettings& einstellungen, const QString& ordner, QWidget* eltern)
    : QDialog(eltern)
    , m_db(db)
    , m_einstellungen(einstellungen)
    , m_ordner(ordner)
{
    setObjectName(QStringLiteral("Abrechnung"));
    setWindowTitle(tr("Abrechnung"));
    resize(900, 640);

    auto* gebuehren = new QGroupBox(tr("Gebühren und Auszahlplan"), this);
    gebuehren->setObjectName(QStringLiteral("gbGebuehren"));
    auto* form = new QFormLayout(gebuehren);
    m_startgeld = new QLineEdit(gebuehren);
    m_startgeld->setObjectName(QStringLiteral("leStartgeld"));
    form->addRow(tr("Startgeld (€)"), m_startgeld);
    m_preisskat = new QLabel(gebuehren);
    m_preisskat->setObjectName(QStringLiteral("lblPreisskat"));
    form->addRow(tr("Preisskat (€, aus den Regeln)"), m_preisskat);
    m_planArt = new QComboBox(gebuehren);
    m_planArt->setObjectName(QStringLiteral("cbPlanArt"));
    m_planArt->addItems({ tr("Prozent des Topfes"), tr("feste Beträge (€)") });
    form->addRow(tr("Preise nach Platz"), m_planArt);
    m_planWerte = new QLineEdit(gebuehren);
    m_planWerte->setObjectName(QStringLiteral("lePlanWerte"));
    m_planWerte->setToolTip(tr("Je Platz ein Wert, getrennt durch ';', z. B. 40;25;15;10;10"));
    form->addRow(tr("Werte je Platz"), m_planWerte);
    m_proTisch = new QCheckBox(tr("ein Preis je Tisch"), gebuehren);
    m_proTisch->setObjectName(QStringLiteral("chkProTisch"));
    m_anzahl = new QSpinBox(gebuehren);
    m_anzahl->setObjectName(QStringLiteral("sbAnzahlPreise"));
    m_anzahl->setRange(0, 1000);
    auto* anzahlZeile = new QHBoxLayout;
    anzahlZeile->addWidget(m_anzahl);
    anzahlZeile->addWidget(m_proTisch);
    form->addRow(tr("Anzahl Preise"), anzahlZeile);
    m_kostenAnteil = new QSpinBox(gebuehren);
    m_kostenAnteil->setObjectName(QStringLiteral("sbKostenAnteil"));
    m_kostenAnteil->setRange(0, 100);
    m_kostenAnteil->setSuffix(QStringLiteral(" %"));
    form->addRow(tr("Anteil der Serienkosten im Topf"), m_kostenAnteil);
    m_serienPreis = new QLineEdit(gebuehren);
    m_serienPreis->setObjectName(QStringLiteral("leSerienPreis"));
    form->addRow(tr("Serienpreis für den Besten (€, 0 = keiner)"), m_serienPreis);
    // These two apply where the program computes costs itself: the game
    // lists of the table app. Costs typed in or sent by a companion stay as
    // they are.
    m_verlorenBis = new QSpinBox(gebuehren);
    m_verlorenBis->setObjectName(QStringLiteral("sbVerlorenBis"));
    m_verlorenBis->setRange(0, 48);
    form->addRow(tr("Verlorene Spiele zum ersten Satz (Tisch-App)"), m_verlorenBis);
    m_passGeld = new QLineEdit(gebuehren);
    m_passGeld->setObjectName(QStringLiteral("lePassGeld"));
    form->addRow(tr("Gebühr je eingepasstem Spiel und Spieler (Tisch-App, €)"), m_passGeld);
    auto* festlegen = new QPushButton(tr("Für diesen Spieltag festlegen"), gebuehren);
    festlegen->setObjectName(QStringLiteral("btnFestlegen"));
    form->addRow(festlegen);
    connect(festlegen, &QPushButton::clicked, this, &DlgAbrechnung::onFestlegen);

    m_tabelle = new QTableWidget(0, Spalten, this);
    m_tabelle->setObjectName(QStringLiteral("twAbrechnung"));
    m_tabelle->setHorizontalHeaderLabels(
        { tr("Nr"), tr("Name"), tr("Schuld"), tr("Bezahlt"), tr("Gezahlt"), tr("Preise"), tr("Saldo") });
    m_tabelle->horizontalHeader()->setSectionResizeMode(Name, QHeaderView::Stretch);
    m_tabelle->verticalHeader()->hide();
    m_tabelle->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tabelle->setToolTip(tr("Leertaste: bezahlt an/aus"));
    m_tabelle->installEventFilter(this);
    connect(m_tabelle, &QTableWidget::itemChanged, this, &DlgAbrechnung::onZelleGeaendert);

    m_summen = new QLabel(this);
    m_summen->setObjectName(QStringLiteral("lblSummen"));
    m_summen->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("lblStatus"));

    auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Close, this);
    knoepfe->setObjectName(QStringLiteral("buttonBox"));
    auto* drucken = knoepfe->addButton(tr("Drucken\u2026"), QDialogButtonBox::ActionRole);
    drucken->setObjectName(QStringLiteral("btnDrucken"));
    auto* belege = knoepfe->addButton(tr("Belege\u2026"), QDialogButtonBox::ActionRole);
    belege->setObjectName(QStringLiteral("btnBelege"));
    connect(belege, &QPushButton::clicked, this, &DlgAbrechnung::onBelege);
    auto* pdf = knoepfe->addButton(tr("Als PDF\u2026"), QDialogButtonBox::ActionRole);
    pdf->setObjectName(QStringLiteral("btnPdf"));
    auto* csv = knoepfe->addButton(tr("CSV\u2026"), QDialogButtonBox::ActionRole);
    csv->setObjectName(QStringLiteral("btnCsv"));
    connect(drucken, &QPushButton::clicked, this, &DlgAbrechnung::onDrucken);
    connect(pdf, &QPushButton::clicked, this, &DlgAbrechnung::onPdf);
    connect(csv, &QPushButton::clicked, this, &DlgAbrechnung::onCsv);
    connect(knoepfe, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(gebuehren);
    layout->addWidget(m_tabelle, 1);
    layout->addWidget(m_summen);
    layout->addWidget(m_status);
    layout->addWidget(knoepfe);

    laden();
}

QString DlgAbrechnung::meldung() const
{
    return m_status->text();
}

void DlgAbrechnung::fehler(const QString& text)
{
    m_status->setText(tr("FEHLER: %1").arg(text));
}

bool DlgAbrechnung::aktualisieren()
{
    // Results from the link or the table app may have come in while the
    // dialog was open; what is written out is what is stored now.
    QString grund;
    if (!Spieltag::gruppeLesen(m_db, m_gruppe, &grund)
        || !Geld::lesen(m_db, m_gebuehren, m_plan, m_zahlungen, &grund)) {
        fehler(grund);
        return false;
    }
    if (!m_gebuehren.gesetzt)
        m_plan = Geld::planVorgabe(m_einstellungen);
    neuBerechnen();
    return true;
}

bool DlgAbrechnung::laden()
{
    if (!aktualisieren())
        return false;
    // A day without its own plan shows the defaults, applied once fixed.
    felderZeigen();
    return true;
}

void DlgAbrechnung::felderZeigen()
{
    const Geld::Gebuehren anzeige = m_gebuehren.gesetzt ? m_gebuehren : Geld::gebuehrenVorgabe(m_einstellungen);
    m_startgeld->setText(Geld::centText(anzeige.startgeld));
    m_preisskat->setText(Geld::centText(anzeige.preisskat));
    m_planArt->setCurrentIndex(m_plan.art == Geld::Auszahlplan::Art::Betrag ? 1 : 0);
    m_planWerte->setText(Geld::werteText(m_plan));
    m_proTisch->setChecked(m_plan.einProTisch);
    m_anzahl->setValue(m_plan.anzahl);
    m_kostenAnteil->setValue(m_plan.kostenAnteil);
    m_serienPreis->setText(Geld::centText(m_plan.serienPreis));
    m_verlorenBis->setValue(m_einstellungen.value(QStringLiteral("Geld/VerlorenBis"), 5).toInt());
    m_passGeld->setText(Geld::centText(m_einstellungen.value(QStringLiteral("Geld/PassCent"), 0).toLongLong()));
}

void DlgAbrechnung::neuBerechnen()
{
    m_abrechnung = Geld::abrechnen(m_gruppe, m_gebuehren, m_plan, m_zahlungen);
    m_fuellen = true;
    const int aktuelle = m_tabelle->currentRow();
    m_tabelle->setRowCount(m_abrechnung.zeilen.size());
    for (int r = 0; r < m_abrechnung.zeilen.size(); ++r) {
        const Geld::Zeile& z = m_abrechnung.zeilen.at(r);
        const auto zelle = [&](int spalte, const QString& text, bool rechts, Qt::ItemFlags flags) {
            auto* item = new QTableWidgetItem(text);
            item->setFlags(flags);
            if (rechts)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_tabelle->setItem(r, spalte, item);
            return item;
        };
        const Qt::ItemFlags lesen = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        zelle(Nr, QString::number(z.startNr), true, lesen)->setData(Qt::UserRole, z.startNr);
        zelle(Name, z.name, false, lesen);
        zelle(Schuld, Geld::centText(z.schuld()), true, lesen);
        const Geld::Zahlung zahlung = m_zahlungen.value(z.startNr);
        zelle(Bezahlt, QString(), false, lesen | Qt::ItemIsUserCheckable)
            ->setCheckState(zahlung.alles ? Qt::Checked : Qt::Unchecked);
        zelle(Betrag, Geld::centText(z.gezahlt), true, zahlung.alles ? lesen : lesen | Qt::ItemIsEditable);
        zelle(Preise, Geld::centText(z.gewinn()), true, lesen);
        zelle(Saldo, Geld::centText(z.saldo()), true, lesen);
    }
    if (aktuelle >= 0 && aktuelle < m_tabelle->rowCount())
        m_tabelle->setCurrentCell(aktuelle, Bezahlt);
    m_fuellen = false;

    QStringList zeilen;
    if (!m_abrechnung.gebuehrenGesetzt)
        zeilen << tr("keine Gebühren");
    else
        zeilen << tr("Preistopf %1 € · Preisskat-Topf %2 € · %3 Tische")
                      .arg(Geld::centText(m_abrechnung.topf), Geld::centText(m_abrechnung.preisskatTopf))
                      .arg(m_abrechnung.anzahlTische);
    QStringList summen;
    for (const auto& s : Geld::summenZeilen(m_abrechnung))
        summen << QStringLiteral("%1: %2 €").arg(s.first, Geld::centText(s.second));
    zeilen << summen.join(QStringLiteral(" · "));
    m_summen->setText(zeilen.join(QLatin1Char('\n')));
}

void DlgAbrechnung::onFestlegen()
{
    Geld::Gebuehren g = m_gebuehren.gesetzt ? m_gebuehren : Geld::gebuehrenVorgabe(m_einstellungen);
    Geld::Auszahlplan p;
    p.art = m_planArt->currentIndex() == 1 ? Geld::Auszahlplan::Art::Betrag : Geld::Auszahlplan::Art::Prozent;
    p.einProTisch = m_proTisch->isChecked();
    p.anzahl = m_anzahl->value();
    p.kostenAnteil = m_kostenAnteil->value();
    QString grund;
    qint64 passGeld = 0;
    if (!Geld::centAusText(m_passGeld->text(), passGeld) || passGeld > 100000)
        grund = tr("Gebühr je eingepasstem Spiel \"%1\" ist kein Betrag in Euro.").arg(m_passGeld->text());
    else if (!Geld::centAusText(m_startgeld->text(), g.startgeld))
        grund = tr("Startgeld \"%1\" ist kein Betrag in Euro.").arg(m_startgeld->text());
    else if (!Geld::werteAusText(m_planWerte->text(), p.art, p.werte))
        grund = tr("Die Werte je Platz \"%1\" sind keine Beträge (Prozent zusammen höchstens 100).")
                    .arg(m_planWerte->text());
    else if (!Geld::centAusText(m_serienPreis->text(), p.serienPreis))
        grund = tr("Serienpreis \"%1\" ist kein Betrag in Euro.").arg(m_serienPreis->text());
    else if (!Geld::festlegen(m_db, g, p, &grund)) {
    } else {
        g.gesetzt = true;
        m_gebuehren = g;
        m_plan = p;
        Geld::vorgabeSpeichern(m_einstellungen, g, p);
        m_einstellungen.setValue(QStringLiteral("Geld/VerlorenBis"), m_verlorenBis->value());
        m_einstellungen.setValue(QStringLiteral("Geld/PassCent"), passGeld);
        m_status->clear();
    }
    if (!grund.isEmpty())
        fehler(grund);
    felderZeigen();
    neuBerechnen();
}

void DlgAbrechnung::bezahltUmschalten(int zeile)
{
    if (zeile < 0 || zeile >= m_abrechnung.zeilen.size())
        return;
    const int nr = m_abrechnung.zeilen.at(zeile).startNr;
    Geld::Zahlung z = m_zahlungen.value(nr);
    z.alles = !z.alles;
    QString grund;
    if (!Geld::zahlungSpeichern(m_db, nr, z, &grund))
        fehler(grund);
    else if (!z.alles && z.betrag <= 0)
        m_zahlungen.remove(nr);
    else
        m_zahlungen.insert(nr, z);
    neuBerechnen();
}

void DlgAbrechnung::onZelleGeaendert(QTableWidgetItem* item)
{
    if (m_fuellen || !item)
        return;
    const int zeile = item->row();
    if (item->column() == Bezahlt) {
        const bool angehakt = item->checkState() == Qt::Checked;
        // The table is rebuilt after this signal has returned.
        if (angehakt != m_zahlungen.value(m_abrechnung.zeilen.at(zeile).startNr).alles)
            QMetaObject::invokeMethod(
                this, [this, zeile] { bezahltUmschalten(zeile); }, Qt::QueuedConnection);
        return;
    }
    if (item->column() != Betrag)
        return;
    const int nr = m_abrechnung.zeilen.at(zeile).startNr;
    Geld::Zahlung z = m_zahlungen.value(nr);
    QString grund;
    if (!Geld::centAusText(item->text(), z.betrag))
        fehler(tr("\"%1\" ist kein Betrag in Euro.").arg(item->text()));
    else if (!Geld::zahlungSpeichern(m_db, nr, z, &grund))
        fehler(grund);
    else if (z.betrag <= 0)
        m_zahlungen.remove(nr);
    else
        m_zahlungen.insert(nr, z);
    // Shown again from what is stored, refused or not; the table is rebuilt
    // after this signal has returned.
    QMetaObject::invokeMethod(
        this, [this] { neuBerechnen(); }, Qt::QueuedConnection);
}

bool DlgAbrechnung::eventFilter(QObject* objekt, QEvent* ereignis)
{
    if (objekt == m_tabelle && ereignis->type() == QEvent::KeyPress) {
        auto* taste = static_cast<QKeyEvent*>(ereignis);
        // While an amount is typed the keys go to its editor, not here.
        if (taste->key() == Qt::Key_Space && taste->modifiers() == Qt::NoModifier) {
            bezahltUmschalten(m_tabelle->currentRow());
            return true;
        }
    }
    return QDialog::eventFilter(objekt, ereignis);
}

QString DlgAbrechnung::zielDatei(const QString& titel, const QString& filter, const QString& endung)
{
    const QString vorschlag = QDir(m_ordner).filePath(
        Druck::dateiTeil(QStringLiteral("%1_%2_Abrechnung.%3")
                             .arg(m_gruppe.name, m_gruppe.datum.toString(QStringLiteral("yyyy-MM-dd")), endung)));
    return Dialoge::speicherZiel(this, titel, vorschlag, filter, endung);
}

void DlgAbrechnung::onDrucken()
{
    if (!aktualisieren())
        return;
    Druck::vorschauZeigen(this, Geld::abrechnungsDokument(m_gruppe, m_abrechnung), m_ordner);
}

void DlgAbrechnung::onBelege()
{
    if (!aktualisieren())
        return;
    const Druck::Dokument d = Geld::belege(m_gruppe, m_abrechnung);
    if (!d.hinweis.isEmpty())
        Dialoge::info(this, tr("Belege"), d.hinweis);
    else
        Druck::vorschauZeigen(this, d, m_ordner);
}

void DlgAbrechnung::onPdf()
{
    if (!aktualisieren())
        return;
    const QString datei = zielDatei(tr("PDF schreiben"), tr("PDF-Datei (*.pdf)"), QStringLiteral("pdf"));
    if (datei.isEmpty())
        return;
    QString grund;
    if (!Druck::pdfSchreiben(Geld::abrechnungsDokument(m_gruppe, m_abrechnung), datei, &grund))
        Dialoge::fehler(this, tr("Die Datei %1 konnte nicht geschrieben werden:\n%2").arg(datei, grund));
}

void DlgAbrechnung::onCsv()
{
    if (!aktualisieren())
        return;
    const QString datei
        = zielDatei(tr("Abrechnung schreiben"), tr("Tabelle für Tabellenkalkulation (*.csv)"), QStringLiteral("csv"));
    if (datei.isEmpty())
        return;
    QString grund;
    if (!Bericht::dateiSchreiben(datei, Geld::abrechnungCsv(m_gruppe, m_abrechnung), false, &grund))
        Dialoge::fehler(this, tr("Die Datei %1 konnte nicht geschrieben werden:\n%2").arg(datei, grund));
}
