#include "season/saisonausgabe.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextDocument>

#include <algorithm>

namespace Saison
{

CsvSchreiber::CsvSchreiber()
    : m_daten("\xEF\xBB\xBF")
{
}

void CsvSchreiber::trenner()
{
    if (!m_zeilenAnfang)
        m_daten += ';';
    m_zeilenAnfang = false;
}

bool CsvSchreiber::alsFormelGelesen(const QString& text)
{
    if (text.isEmpty() || text == QLatin1String("-"))
        return false;
    if (!QStringLiteral("=+-@\t\r").contains(text.front()))
        return false;
    // A signed number is a number to the spreadsheet, not a formula.
    static const QRegularExpression zahl(QStringLiteral("^[+-]\\d+([.,]\\d+)?$"));
    return !zahl.match(text).hasMatch();
}

void CsvSchreiber::feld(const QString& text)
{
    trenner();
    // A leading apostrophe makes the spreadsheet take the cell as text; it
    // shows, which is the price of a name that cannot run as a formula.
    const bool formel = alsFormelGelesen(text);
    if (formel || text.contains(QLatin1Char(';')) || text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\n'))
        || text.contains(QLatin1Char('\r'))) {
        QString t = formel ? QLatin1Char('\'') + text : text;
        t.replace(QLatin1Char('"'), QLatin1String("\"\""));
        m_daten += '"' + t.toUtf8() + '"';
    } else {
        m_daten += text.toUtf8();
    }
}

void CsvSchreiber::zahl(qint64 wert)
{
    trenner();
    m_daten += QByteArray::number(wert);
}

void CsvSchreiber::dezimal(double wert, int stellen)
{
    trenner();
    m_daten += QByteArray::number(wert, 'f', stellen).replace('.', ',');
}

void CsvSchreiber::leer()
{
    trenner();
}

void CsvSchreiber::zeileEnde()
{
    m_daten += "\r\n";
    m_zeilenAnfang = true;
}

static QString datum(const QDate& d)
{
    return d.toString(QStringLiteral("dd.MM.yyyy"));
}

QString ueberschrift(const Tabelle& t)
{
    return QStringLiteral("Saisonwertung %1 bis %2").arg(datum(t.vorgabe.von), datum(t.vorgabe.bis));
}

QString unterzeile(const Tabelle& t, const Titel& titel)
{
    QStringList teile;
    if (!titel.listenName.isEmpty())
        teile << titel.listenName;
    teile << (titel.gruppe.isEmpty() ? QStringLiteral("alle Gruppen") : QStringLiteral("Gruppe %1").arg(titel.gruppe));
    teile << regelText(t.vorgabe.regel, t.vorgabe.besteN);
    if (t.vorgabe.mindestTage > 0)
        teile << QStringLiteral("gewertet ab %1 Spieltagen").arg(t.vorgabe.mindestTage);
    if (t.vorgabe.gaeste == Gaeste::Getrennt)
        teile << QStringLiteral("G\u00e4ste getrennt gewertet");
    else if (t.vorgabe.gaeste == Gaeste::Nicht)
        teile << QStringLiteral("ohne G\u00e4ste");
    teile << QStringLiteral("%1 Spieltage").arg(t.tage.size());
    return teile.join(QStringLiteral(", "));
}

int festeSpalten(const Tabelle& t)
{
    return t.vorgabe.regel == Regel::Summe ? SpWert : SpWert + 1;
}

QStringList kopfTexte(const Tabelle& t, const QString& datumsFormat)
{
    QStringList k = { QStringLiteral("Platz"), QStringLiteral("Nr"), QStringLiteral("Name"), QStringLiteral("Tage"),
        QStringLiteral("Summe") };
    if (festeSpalten(t) > SpWert)
        k << wertKopf(t.vorgabe.regel, t.vorgabe.besteN);
    for (const QDate& d : t.tage)
        k << d.toString(datumsFormat);
    return k;
}

QString zellenText(const Tabelle& t, const Spieler& s, int spalte, bool klammern)
{
    const int fest = festeSpalten(t);
    switch (spalte) {
    case SpPlatz:
        return s.platz > 0 ? QString::number(s.platz) : QString();
    case SpNr:
        return QString::number(s.startNr);
    case SpName:
        return s.name;
    case SpTage:
        return QString::number(s.tage);
    case SpSumme:
        return QString::number(s.summe);
    default:
        break;
    }
    if (spalte < fest)
        return wertText(s, t.vorgabe.regel);
    const int c = spalte - fest;
    if (c >= t.tage.size() || !s.gespielt.value(c))
        return QString();
    if (klammern && !s.gewertet.value(c))
        return QStringLiteral("(%1)").arg(s.punkte.value(c));
    return QString::number(s.punkte.value(c));
}

QStringList zellenTexte(const Tabelle& t, const Spieler& s, bool klammern)
{
    QStringList z;
    const int spalten = festeSpalten(t) + t.tage.size();
    for (int c = 0; c < spalten; ++c)
        z << zellenText(t, s, c, klammern);
    return z;
}

QByteArray csv(const Tabelle& t, const Titel& titel)
{
    CsvSchreiber w;
    w.feld(ueberschrift(t));
    w.zeileEnde();
    w.feld(unterzeile(t, titel));
    w.zeileEnde();
    w.zeileEnde();
    const QStringList kopf = kopfTexte(t, QStringLiteral("dd.MM.yyyy"));
    for (const QString& k : kopf)
        w.feld(k);
    w.zeileEnde();
    auto zeile = [&](const Spieler& s) {
        if (s.platz > 0)
            w.zahl(s.platz);
        else
            w.leer();
        w.zahl(s.startNr);
        w.feld(s.name);
        w.zahl(s.tage);
        w.zahl(s.summe);
        if (t.vorgabe.regel == Regel::Schnitt)
            w.dezimal(s.wert(), 2);
        else if (t.vorgabe.regel == Regel::BesteN)
            w.zahl(s.zaehler);
        for (int c = 0; c < t.tage.size(); ++c) {
            if (s.gespielt.value(c))
                w.zahl(s.punkte.value(c));
            else
                w.leer();
        }
        w.zeileEnde();
    };
    for (const Spieler& s : t.gewertet)
        zeile(s);
    if (!t.gaeste.isEmpty()) {
        w.zeileEnde();
        w.feld(QStringLiteral("G\u00e4ste"));
        w.zeileEnde();
        for (const Spieler& s : t.gaeste)
            zeile(s);
    }
    if (!t.unterMindest.isEmpty()) {
        w.zeileEnde();
        w.feld(QStringLiteral("Weniger als %1 Spieltage").arg(t.vorgabe.mindestTage));
        w.zeileEnde();
        for (const Spieler& s : t.unterMindest)
            zeile(s);
    }
    return w.bytes();
}

namespace
{

// Match-day columns per block: the first block also carries the fixed
// columns, the following ones only place and name.
constexpr int ersterBlock = 8;
constexpr int weitereBloecke = 11;

QString zelle(const QString& text, bool rechts, bool kopf = false)
{
    const QString tag = kopf ? QStringLiteral("th") : QStringLiteral("td");
    // Cells never wrap: a name or a number broken over lines is hard to read;
    // the blocks of match days keep the table within the page instead.
    return QStringLiteral("<%1 style=\"white-space: nowrap\"%2>%3</%1>")
        .arg(tag, rechts ? QStringLiteral(" align=\"right\"") : QString(), text.toHtmlEscaped());
}

QString block(const Tabelle& t, const QVector<Spieler>& spieler, const QVector<int>& spalten)
{
    const QStringList kopf = kopfTexte(t);
    // The heading row repeats on every page the table runs over.
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n<thead><tr>");
    for (int c : spalten)
        html += zelle(kopf.value(c), c != SpName, true);
    html += QStringLiteral("</tr></thead>\n");
    for (const Spieler& s : spieler) {
        const QStringList z = zellenTexte(t, s, true);
        html += QStringLiteral("<tr>");
        for (int c : spalten)
            html += zelle(z.value(c), c != SpName);
        html += QStringLiteral("</tr>\n");
    }
    html += QStringLiteral("</table>\n");
    return html;
}

QString tabellen(const Tabelle& t, const QVector<Spieler>& spieler)
{
    const int fest = festeSpalten(t);
    const int tage = t.tage.size();
    QVector<int> spalten;
    for (int c = 0; c < fest; ++c)
        spalten << c;
    const int erste = std::min(tage, ersterBlock);
    for (int i = 0; i < erste; ++i)
        spalten << fest + i;
    QString html = block(t, spieler, spalten);
    for (int von = erste; von < tage; von += weitereBloecke) {
        const int bis = std::min(tage, von + weitereBloecke);
        html += QStringLiteral("<p>Spieltage %1 bis %2</p>\n").arg(von + 1).arg(bis);
        spalten = { SpPlatz, SpName };
        for (int i = von; i < bis; ++i)
            spalten << fest + i;
        html += block(t, spieler, spalten);
    }
    return html;
}

} // namespace

QString druckHtml(const Tabelle& t, const Titel& titel)
{
    QString html = QStringLiteral("<html><body>\n<h2>%1</h2>\n<p>%2</p>\n")
                       .arg(ueberschrift(t).toHtmlEscaped(), unterzeile(t, titel).toHtmlEscaped());
    if (t.gewertet.isEmpty() && t.unterMindest.isEmpty() && t.gaeste.isEmpty())
        html += QStringLiteral("<p>Keine Ergebnisse im Zeitraum.</p>\n");
    else if (!t.gewertet.isEmpty() || t.gaeste.isEmpty())
        html += tabellen(t, t.gewertet);
    if (!t.gaeste.isEmpty()) {
        html += QStringLiteral("<h3>G\u00e4ste</h3>\n");
        html += tabellen(t, t.gaeste);
    }
    if (!t.unterMindest.isEmpty()) {
        html += QStringLiteral("<h3>Weniger als %1 Spieltage</h3>\n").arg(t.vorgabe.mindestTage);
        html += tabellen(t, t.unterMindest);
    }
    html += QStringLiteral("</body></html>\n");
    return html;
}

void dokumentEinrichten(QTextDocument& doc, const QString& html)
{
    QFont schrift = doc.defaultFont();
    schrift.setPointSizeF(8);
    doc.setDefaultFont(schrift);
    doc.setHtml(html);
}

static void seiteEinrichten(QPagedPaintDevice& geraet)
{
    geraet.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
}

bool pdfSchreiben(const QString& datei, const Tabelle& t, const Titel& titel, QString* fehler)
{
    QSaveFile f(datei);
    if (!f.open(QIODevice::WriteOnly)) {
        if (fehler)
            *fehler = f.errorString();
        return false;
    }
    {
        QPdfWriter pdf(&f);
        seiteEinrichten(pdf);
        pdf.setTitle(ueberschrift(t));
        pdf.setCreator(QStringLiteral("Reizwerk"));
        QTextDocument doc;
        dokumentEinrichten(doc, druckHtml(t, titel));
        // The document keeps a margin of its own and numbers the pages.
        doc.print(&pdf);
    }
    if (!f.commit()) {
        if (fehler)
            *fehler = f.errorString();
        return false;
    }
    return true;
}

void druckvorschau(QWidget* eltern, const Tabelle& t, const Titel& titel)
{
    QPrinter drucker(QPrinter::HighResolution);
    seiteEinrichten(drucker);
    drucker.setDocName(ueberschrift(t));
    QTextDocument doc;
    dokumentEinrichten(doc, druckHtml(t, titel));
    QPrintPreviewDialog vorschau(&drucker, eltern);
    vorschau.setObjectName(QStringLiteral("dlgSaisonVorschau"));
    QObject::connect(&vorschau, &QPrintPreviewDialog::paintRequested, &vorschau, [&doc](QPrinter* p) { doc.print(p); });
    vorschau.exec();
}

} // namespace Saison
