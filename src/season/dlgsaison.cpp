#include "season/dlgsaison.h"

#include "ui_dlgsaison.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPushButton>
#include <QSettings>
#include <QStandardItemModel>
#include <QStyle>

#include "reports/bericht.h"
#include "reports/rangliste.h"
#include "scoring/regeln.h"
#include "season/saisonausgabe.h"
#include "season/saisonmodell.h"
#include "storage/speichername.h"
#include "widgets/dialoge.h"

namespace
{

const QString schluesselRegel = QStringLiteral("Saison/Regel");
const QString schluesselBesteN = QStringLiteral("Saison/BesteN");
const QString schluesselMindest = QStringLiteral("Saison/MindestTage");

QStandardItem* zahlItem(const QString& text)
{
    auto* item = new QStandardItem(text);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

DlgSaison::DlgSaison(QSqlDatabase haupt, const QString& datenVerzeichnis, QSettings* einstellungen, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::DlgSaison)
    , m_haupt(haupt)
    , m_einstellungen(einstellungen)
    , m_datenVerzeichnis(datenVerzeichnis)
    , m_archiv(std::make_unique<Saison::Archiv>(datenVerzeichnis))
    , m_wertung(new SaisonModell(this))
    , m_unterMindest(new SaisonModell(this))
    , m_gaeste(new SaisonModell(this))
    , m_verlauf(new QStandardItemModel(this))
{
    ui->setupUi(this);
    ui->trvWertung->setModel(m_wertung);
    ui->trvUnterMindest->setModel(m_unterMindest);
    ui->trvGaeste->setModel(m_gaeste);
    ui->trvVerlauf->setModel(m_verlauf);
    ui->trvVerlauf->header()->setStretchLastSection(false);
    auswahlVerfolgen(ui->trvWertung);
    auswahlVerfolgen(ui->trvUnterMindest);
    auswahlVerfolgen(ui->trvGaeste);

    // Match-day columns just wide enough for a date or a bracketed result, a
    // wide name: a season has dozens of days.
    for (QTreeView* ansicht : { ui->trvWertung, ui->trvUnterMindest, ui->trvGaeste }) {
        const QFontMetrics fm(ansicht->font());
        const int breite = std::max(fm.horizontalAdvance(QStringLiteral("00.00.00")),
                               fm.horizontalAdvance(QStringLiteral("(-0000)")))
            + 3 * ansicht->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, ansicht) + 4;
        ansicht->header()->setMinimumSectionSize(30);
        ansicht->header()->setDefaultSectionSize(breite);
    }
    if (QPushButton* schliessen = ui->buttonBox->button(QDialogButtonBox::Close))
        schliessen->setText(tr("Schlie\u00dfen"));

    QString fehler;
    if (!Saison::ranglisteLesen(haupt, m_zeilen, &fehler)) {
        qWarning("Rangliste: %s", qPrintable(fehler));
        ui->lblStatus->setText(tr("FEHLER: %1").arg(fehler));
    } else if (!Saison::gaesteLesen(haupt, m_gastNr, &fehler)) {
        qWarning("Spieler: %s", qPrintable(fehler));
        ui->lblStatus->setText(tr("FEHLER: %1").arg(fehler));
    }

    m_fuellen = true;
    ui->cmbGruppe->addItems(m_archiv->gruppenNamen());
    const Saison::Beginn beginn
        = Saison::beginnAus(m_einstellungen ? m_einstellungen->value(Saison::schluesselBeginn).toString() : QString());
    // A leap year, so that 29 February can be chosen as a season start.
    ui->deSaisonBeginn->setDateRange(QDate(2000, 1, 1), QDate(2000, 12, 31));
    ui->deSaisonBeginn->setDate(QDate(2000, beginn.monat, beginn.tag));
    if (m_einstellungen) {
        ui->cmbRegel->setCurrentIndex(qBound(0, m_einstellungen->value(schluesselRegel, 0).toInt(), 2));
        ui->spbBesteN->setValue(m_einstellungen->value(schluesselBesteN, 5).toInt());
        ui->spbMindestTage->setValue(m_einstellungen->value(schluesselMindest, 0).toInt());
        ui->cmbGaeste->setCurrentIndex(
            int(Saison::gaesteAus(m_einstellungen->value(Saison::schluesselGaeste, 0).toInt())));
    }
    ui->spbBesteN->setEnabled(ui->cmbRegel->currentIndex() == int(Saison::Regel::BesteN));
    m_fuellen = false;

    connect(ui->cmbZeitraum, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &DlgSaison::onZeitraumGewaehlt);
    connect(ui->deVon, &QDateEdit::dateChanged, this, &DlgSaison::onDatumGeaendert);
    connect(ui->deBis, &QDateEdit::dateChanged, this, &DlgSaison::onDatumGeaendert);
    connect(ui->deSaisonBeginn, &QDateEdit::dateChanged, this, &DlgSaison::onSaisonBeginnGeaendert);
    connect(ui->cmbGruppe, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &DlgSaison::onBerechnen);
    connect(ui->cmbRegel, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &DlgSaison::onBerechnen);
    connect(ui->spbBesteN, QOverload<int>::of(&QSpinBox::valueChanged), this, &DlgSaison::onBerechnen);
    connect(ui->spbMindestTage, QOverload<int>::of(&QSpinBox::valueChanged), this, &DlgSaison::onBerechnen);
    connect(ui->cmbGaeste, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &DlgSaison::onBerechnen);
    connect(ui->pbDrucken, &QPushButton::clicked, this, &DlgSaison::onDrucken);
    connect(ui->pbPdf, &QPushButton::clicked, this, &DlgSaison::onPdf);
    connect(ui->pbCsv, &QPushButton::clicked, this, &DlgSaison::onCsv);
    connect(ui->pbHtml, &QPushButton::clicked, this, &DlgSaison::onHtml);

    onZeitraumGewaehlt(ui->cmbZeitraum->currentIndex());
}

DlgSaison::~DlgSaison()
{
    delete ui;
}

QAbstractItemModel* DlgSaison::wertungModel() const
{
    return m_wertung;
}

QAbstractItemModel* DlgSaison::unterMindestModel() const
{
    return m_unterMindest;
}

QAbstractItemModel* DlgSaison::gaesteModel() const
{
    return m_gaeste;
}

void DlgSaison::auswahlVerfolgen(QTreeView* ansicht)
{
    connect(ansicht->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this, ansicht](const QModelIndex& aktuell) {
            if (aktuell.isValid())
                verlaufZeigen(ansicht->model()->index(aktuell.row(), Saison::SpNr).data(Qt::UserRole).toInt());
        });
}

void DlgSaison::zeitraumSetzen(const QDate& von, const QDate& bis)
{
    m_fuellen = true;
    ui->deVon->setDate(von);
    ui->deBis->setDate(bis);
    m_fuellen = false;
    onBerechnen();
}

void DlgSaison::onZeitraumGewaehlt(int index)
{
    const QDate heute = QDate::currentDate();
    switch (index) {
    case DieseSaison: {
        const QDate b = ui->deSaisonBeginn->date();
        const Saison::Zeitraum z = Saison::dieseSaison(heute, { b.month(), b.day() });
        zeitraumSetzen(z.first, z.second);
        break;
    }
    case DiesesJahr: {
        const Saison::Zeitraum z = Saison::diesesJahr(heute);
        zeitraumSetzen(z.first, z.second);
        break;
    }
    case Alle: {
        const Saison::Zeitraum z = Saison::alle(m_zeilen, heute);
        zeitraumSetzen(z.first, z.second);
        break;
    }
    default:
        onBerechnen();
    }
}

void DlgSaison::onDatumGeaendert()
{
    if (m_fuellen)
        return;
    // A date set by hand is a range of its own; the preset no longer applies.
    if (ui->cmbZeitraum->currentIndex() != Eigener) {
        m_fuellen = true;
        ui->cmbZeitraum->setCurrentIndex(Eigener);
        m_fuellen = false;
    }
    onBerechnen();
}

void DlgSaison::onSaisonBeginnGeaendert()
{
    if (m_fuellen)
        return;
    const QDate b = ui->deSaisonBeginn->date();
    if (m_einstellungen)
        m_einstellungen->setValue(Saison::schluesselBeginn, Saison::beginnText({ b.month(), b.day() }));
    if (ui->cmbZeitraum->currentIndex() == DieseSaison)
        onZeitraumGewaehlt(DieseSaison);
}

void DlgSaison::onBerechnen()
{
    if (m_fuellen)
        return;
    Saison::Vorgabe v;
    v.von = ui->deVon->date();
    v.bis = ui->deBis->date();
    v.regel = Saison::Regel(ui->cmbRegel->currentIndex());
    v.besteN = ui->spbBesteN->value();
    v.mindestTage = ui->spbMindestTage->value();
    v.gaeste = Saison::gaesteAus(ui->cmbGaeste->currentIndex());
    v.gastNr = m_gastNr;
    ui->spbBesteN->setEnabled(v.regel == Saison::Regel::BesteN);
    if (ui->cmbGruppe->currentIndex() > 0) {
        v.nachGruppen = true;
        v.teilnahme = m_archiv->teilnahme({ ui->cmbGruppe->currentText() }, v.von, v.bis);
    }
    if (m_einstellungen) {
        m_einstellungen->setValue(schluesselRegel, int(v.regel));
        m_einstellungen->setValue(schluesselBesteN, v.besteN);
        m_einstellungen->setValue(schluesselMindest, v.mindestTage);
        m_einstellungen->setValue(Saison::schluesselGaeste, int(v.gaeste));
    }
    m_tabelle = Saison::berechnen(m_zeilen, v);

    m_wertung->setzen(m_tabelle, false);
    m_unterMindest->setzen(m_tabelle, true);
    m_gaeste->setzen(m_tabelle, SaisonModell::Gaeste);
    for (QTreeView* ansicht : { ui->trvWertung, ui->trvUnterMindest, ui->trvGaeste }) {
        ansicht->header()->resizeSection(Saison::SpPlatz, 45);
        ansicht->header()->resizeSection(Saison::SpNr, 45);
        ansicht->header()->resizeSection(Saison::SpName, 200);
        ansicht->header()->resizeSection(Saison::SpTage, 45);
    }
    ui->wgUnterMindest->setVisible(!m_tabelle.unterMindest.isEmpty());
    ui->wgGaesteWertung->setVisible(!m_tabelle.gaeste.isEmpty());
    ui->lblUnterMindest->setText(tr("Weniger als %1 Spieltage, nicht gewertet").arg(v.mindestTage));
    m_verlauf->clear();
    ui->lblVerlauf->setText(tr("Verlauf: einen Spieler in der Tabelle wählen"));
    if (ui->lblStatus->text().startsWith(QLatin1String("FEHLER")))
        return;
    ui->lblStatus->setText(
        Saison::ueberschrift(m_tabelle) + QStringLiteral(": ") + Saison::unterzeile(m_tabelle, titel()));
}

void DlgSaison::verlaufZeigen(int startNr)
{
    const QVector<Saison::VerlaufTag> tage
        = m_archiv->verlauf(startNr, m_zeilen, m_tabelle.vorgabe.von, m_tabelle.vorgabe.bis);
    int serien = 0;
    for (const Saison::VerlaufTag& t : tage)
        serien = std::max(serien, int(t.serien.size()));
    m_verlauf->clear();
    QStringList kopf = { tr("Datum"), tr("Gruppe") };
    for (int s = 1; s <= serien; ++s)
        kopf << tr("S%1").arg(s);
    kopf << tr("Summe") << tr("Kosten") << tr("Rangliste");
    m_verlauf->setColumnCount(kopf.size());
    m_verlauf->setHorizontalHeaderLabels(kopf);
    for (const Saison::VerlaufTag& t : tage) {
        QList<QStandardItem*> zeile;
        zeile << new QStandardItem(t.datum.toString(QStringLiteral("dd.MM.yyyy")));
        const bool gefunden = !t.gruppe.isEmpty();
        zeile << new QStandardItem(gefunden ? t.gruppe : tr("keine Gruppendatei"));
        for (int s = 0; s < serien; ++s) {
            if (s >= t.serien.size())
                zeile << zahlItem(QString());
            else if (!t.serien.at(s).aktiv)
                zeile << zahlItem(QStringLiteral("-"));
            else
                zeile << zahlItem(QString::number(t.serien.at(s).punkte));
        }
        zeile << zahlItem(gefunden ? QString::number(t.summePunkte) : QString());
        zeile << zahlItem(
            gefunden ? QString::number(t.summeKosten, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(',')) : QString());
        zeile << zahlItem(QString::number(t.ranglistenPunkte));
        m_verlauf->appendRow(zeile);
    }
    ui->trvVerlauf->header()->resizeSections(QHeaderView::ResizeToContents);
    QString name;
    for (const QVector<Saison::Spieler>* liste : { &m_tabelle.gewertet, &m_tabelle.unterMindest, &m_tabelle.gaeste })
        for (const Saison::Spieler& s : *liste)
            if (s.startNr == startNr)
                name = s.name;
    ui->lblVerlauf->setText(tr("Verlauf: %1 (Nr %2), %3 Spieltage").arg(name).arg(startNr).arg(tage.size()));
}

Saison::Titel DlgSaison::titel() const
{
    Saison::Titel t;
    if (m_einstellungen)
        t.listenName = Regeln::werteLesen(*m_einstellungen).listenName;
    if (ui->cmbGruppe->currentIndex() > 0)
        t.gruppe = ui->cmbGruppe->currentText();
    return t;
}

QString DlgSaison::dateiVorschlag(const QString& endung) const
{
    // Named like the match-day files, so a folder sorts by group and date;
    // the ranking page knows no groups and is named as the ranking button
    // names it.
    const QString von = Speichername::datum(m_tabelle.vorgabe.von);
    const QString bis = Speichername::datum(m_tabelle.vorgabe.bis);
    if (endung == QLatin1String("html"))
        return Speichername::vorschlag(m_datenVerzeichnis, { QStringLiteral("Rangliste"), von, bis }, endung);
    const QString gruppe = titel().gruppe;
    if (gruppe.isEmpty())
        return Speichername::vorschlag(m_datenVerzeichnis, { QStringLiteral("Saison"), von, bis }, endung);
    return Speichername::vorschlag(m_datenVerzeichnis, { gruppe, von, bis, QStringLiteral("Saison") }, endung);
}

QString DlgSaison::zielDatei(const QString& titel, const QString& filter, const QString& endung)
{
    return Dialoge::speicherZiel(this, titel, dateiVorschlag(endung), filter, endung);
}

void DlgSaison::onDrucken()
{
    Saison::druckvorschau(this, m_tabelle, titel());
}

void DlgSaison::onPdf()
{
    const QString datei = zielDatei(tr("PDF schreiben"), tr("PDF-Datei (*.pdf)"), QStringLiteral("pdf"));
    if (datei.isEmpty())
        return;
    QString grund;
    if (!Saison::pdfSchreiben(datei, m_tabelle, titel(), &grund))
        Dialoge::fehler(this, tr("Die Datei %1 konnte nicht geschrieben werden:\n%2").arg(datei, grund));
}

void DlgSaison::onCsv()
{
    const QString datei
        = zielDatei(tr("Tabelle schreiben"), tr("Tabelle f\u00fcr Tabellenkalkulation (*.csv)"), QStringLiteral("csv"));
    if (datei.isEmpty())
        return;
    QString grund;
    if (!Bericht::dateiSchreiben(datei, Saison::csv(m_tabelle, titel()), false, &grund))
        Dialoge::fehler(this, tr("Die Datei %1 konnte nicht geschrieben werden:\n%2").arg(datei, grund));
}

void DlgSaison::onHtml()
{
    // The page of the ranking button, byte for byte, for the range chosen
    // here; it knows neither groups nor rules.
    const QDate von = m_tabelle.vorgabe.von;
    const QDate bis = m_tabelle.vorgabe.bis;
    const QString seite
        = Rangliste::html(Rangliste::auswerten(Rangliste::lesen(m_haupt), von, bis), von, bis, titel().listenName);
    const QString datei = zielDatei(tr("Datei schreiben"), tr("html-Datei (*.html)"), QStringLiteral("html"));
    if (datei.isEmpty())
        return;
    QString grund;
    if (!Bericht::dateiSchreiben(datei, Bericht::htmlBytes(seite), false, &grund))
        Dialoge::fehler(this, tr("Die Datei %1 konnte nicht geschrieben werden:\n%2").arg(datei, grund));
}
