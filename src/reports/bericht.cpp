#include "reports/bericht.h"

#include <QAbstractItemModel>
#include <QSaveFile>
#include <QSettings>
#include <QTextCodec>

#include <algorithm>

#include "setup/teilnehmertabelle.h"

namespace Bericht
{

namespace
{

const QString nl = QStringLiteral("\n");
const QString tab = QStringLiteral("\t");

QString zelle(const QStringList& zeile, int c)
{
    return c < zeile.size() ? zeile.at(c) : QString();
}

QString komma(QString text)
{
    return text.replace(QLatin1Char('.'), QLatin1Char(','));
}

// The running values every report gathers while it reads the rows.
struct Summen {
    double preisskat = 0.0;
    qint64 punkte = 0;
    double kosten = 0.0;
};

Summen summen(const Schnappschuss& s)
{
    Summen e;
    const int k = s.kopf.size();
    for (const QStringList& zeile : s.zeilen) {
        if (zelle(zeile, Spalte::Preisskat) == QLatin1String("Ja"))
            e.preisskat += s.einsatz;
        if (k >= 2) {
            e.punkte += Zahl::ganz(zelle(zeile, k - 2));
            e.kosten += Zahl::dezimal(zelle(zeile, k - 1));
        }
    }
    return e;
}

struct Format {
    bool gueltig = false;
    bool links = false;
    int breite = 0;
};

Format formatFuer(const QString& kopf)
{
    if (kopf == QLatin1String("Nr"))
        return { true, false, 3 };
    if (kopf == QLatin1String("Name"))
        return { true, true, 20 };
    if (kopf == QLatin1String("Preisskat"))
        return { true, true, 9 };
    if (kopf.startsWith(QLatin1String("PktS")))
        return { true, false, 6 };
    if (kopf.startsWith(QLatin1String("TischS")))
        return { true, false, 5 };
    if (kopf.startsWith(QLatin1String("KostenS")))
        return { true, false, 6 };
    if (kopf == QLatin1String("Summe Punkte") || kopf == QLatin1String("Summe Kosten"))
        return { true, false, 12 };
    return {};
}

QString feld(const Format& f, const QString& text)
{
    return f.links ? text.leftJustified(f.breite) : text.rightJustified(f.breite);
}

// The first 20 characters of a name, never splitting a surrogate pair.
QString nameKuerzen(const QString& name)
{
    constexpr int laenge = 20;
    if (name.size() <= laenge)
        return name;
    int n = laenge;
    if (name.at(n - 1).isHighSurrogate())
        --n;
    return name.left(n);
}

} // namespace

Schnappschuss schnappschuss(const QAbstractItemModel& kopfModell, const QAbstractItemModel& model, const QDate& datum,
    const QString& listenName, double einsatz)
{
    Schnappschuss s;
    s.datum = datum;
    s.listenName = listenName;
    s.einsatz = einsatz;
    const int spalten = kopfModell.columnCount();
    for (int c = 0; c < spalten; ++c)
        s.kopf << kopfModell.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    s.zeilen.reserve(model.rowCount());
    for (int z = 0; z < model.rowCount(); ++z) {
        QStringList zeile;
        zeile.reserve(spalten);
        for (int c = 0; c < spalten; ++c)
            zeile << model.data(model.index(z, c), Qt::DisplayRole).toString();
        s.zeilen << zeile;
    }
    return s;
}

void einstellungenLesen(const QSettings& s, QString& listenName, double& einsatz)
{
    listenName = s.value(QStringLiteral("Kosten/ListenName")).toString();
    bool ok = false;
    einsatz = s.value(QStringLiteral("Kosten/Preisskat")).toString().toDouble(&ok);
    if (!ok)
        einsatz = 0.0;
}

QString betrag(double wert)
{
    return komma(QStringLiteral("%1").arg(wert, 0, 'f', 1));
}

QString htmlText(const QString& text)
{
    QString aus;
    aus.reserve(text.size());
    const QVector<uint> zeichen = text.toUcs4();
    for (uint z : zeichen) {
        switch (z) {
        case '&':
            aus += QLatin1String("&amp;");
            break;
        case '<':
            aus += QLatin1String("&lt;");
            break;
        case '>':
            aus += QLatin1String("&gt;");
            break;
        case '"':
            aus += QLatin1String("&quot;");
            break;
        default:
            if (z < 0x100)
                aus += QChar(z);
            else
                aus += QStringLiteral("&#%1;").arg(z);
        }
    }
    return aus;
}

QString htmlKopf(const QString& titel)
{
    return QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\n"
                          "<html>\n"
                          "\t<head>\n"
                          "\t\t<title>%1</title>\n"
                          "\t<style>\n"
                          "\ttable, th, th.zahl, td, td.zahl { border: 1px solid black; border-collapse: collapse; }\n"
                          "\tth.zahl, td.zahl { padding: 5px; } th.zahl { text-align: right; } td.zahl { text-align: "
                          "right; }\n"
                          "\t</style>\n"
                          "\t</head>\n"
                          "\t<body>\n")
        .arg(htmlText(titel));
}

QString htmlFuss()
{
    return QStringLiteral("\t</body>\n</html>\n");
}

QVector<int> reihenfolge(const Schnappschuss& s)
{
    const int k = s.kopf.size();
    QVector<int> folge(s.zeilen.size());
    QVector<int> schluessel(s.zeilen.size());
    for (int z = 0; z < s.zeilen.size(); ++z) {
        folge[z] = z;
        schluessel[z] = k >= 2 ? Zahl::ganz(zelle(s.zeilen.at(z), k - 2)) : 0;
    }
    std::stable_sort(folge.begin(), folge.end(), [&schluessel](int a, int b) { return schluessel[a] > schluessel[b]; });
    return folge;
}

QString htmlBericht(const Schnappschuss& s)
{
    const int k = s.kopf.size();
    const Summen e = summen(s);
    QString seite = htmlKopf(QStringLiteral("Spieltag"));
    seite += QStringLiteral("\t<h1>Spieltag %1 %2</h1><br>\n")
                 .arg(s.datum.toString(QStringLiteral("dd-MM-yyyy")), htmlText(s.listenName));
    seite += QStringLiteral("<p>\n<table style=\"width:80%\">\n\t<tr>");
    for (const QString& kopf : s.kopf)
        seite += QStringLiteral("<th>%1</th>").arg(htmlText(kopf));
    seite += nl;

    const QVector<int> folge = reihenfolge(s);
    for (int z : folge) {
        const QStringList& zeile = s.zeilen.at(z);
        seite += QStringLiteral("\t<tr>");
        for (int c = 0; c < k; ++c) {
            seite += c == Spalte::Name || c == Spalte::Preisskat ? QStringLiteral("<td>")
                                                                 : QStringLiteral("<td class=\"zahl\">");
            seite += htmlText(komma(zelle(zeile, c)));
            seite += QStringLiteral("</td>");
        }
        seite += QStringLiteral("</tr>\n");
    }

    seite += QStringLiteral("\t<tr><td>");
    for (int c = 0; c < k; ++c) {
        if (c == 0)
            seite += QStringLiteral("Summe</td>");
        else if (c == Spalte::Preisskat)
            seite += QStringLiteral("<td class=\"zahl\">%1</td>").arg(betrag(e.preisskat));
        else if (c == k - 2)
            seite += QStringLiteral("<td class=\"zahl\">%1</td>").arg(e.punkte);
        else if (c == k - 1)
            seite += QStringLiteral("<td class=\"zahl\">%1</td>").arg(betrag(e.kosten));
        else
            seite += QStringLiteral("<td>-----</td>");
    }
    seite += nl;
    seite += QStringLiteral("</table></p>\n");
    seite += htmlFuss();
    return seite;
}

QString textBericht(const Schnappschuss& s)
{
    QVector<Format> formate;
    formate.reserve(s.kopf.size());
    for (const QString& kopf : s.kopf)
        formate << formatFuer(kopf);

    QString text = QStringLiteral("Spieltag %1 %2\n").arg(s.datum.toString(QStringLiteral("dd-MM-yyyy")), s.listenName);
    for (int c = 0; c < s.kopf.size(); ++c)
        if (formate.at(c).gueltig)
            text += feld(formate.at(c), s.kopf.at(c)) + QLatin1Char(' ');
    text += nl;

    const Summen e = summen(s);
    const QVector<int> folge = reihenfolge(s);
    for (int z : folge) {
        const QStringList& zeile = s.zeilen.at(z);
        for (int c = 0; c < s.kopf.size(); ++c) {
            if (!formate.at(c).gueltig)
                continue;
            QString wert = komma(zelle(zeile, c));
            if (s.kopf.at(c) == QLatin1String("Name"))
                wert = nameKuerzen(wert);
            text += feld(formate.at(c), wert) + QLatin1Char(' ');
        }
        text += nl;
    }
    text += nl;
    text += QStringLiteral("Preisskat Einnahmen Euro %1 Spielkosten Einnahmen Euro %2\n")
                .arg(betrag(e.preisskat), betrag(e.kosten));
    return text;
}

QString excelBericht(const Schnappschuss& s)
{
    const int k = s.kopf.size();
    QString text
        = QStringLiteral("Spieltag\t%1\t%2\n").arg(s.datum.toString(QStringLiteral("dd-MM-yyyy")), s.listenName);
    text += s.kopf.join(tab) + nl;

    const Summen e = summen(s);
    const QVector<int> folge = reihenfolge(s);
    for (int z : folge) {
        QStringList zellen;
        zellen.reserve(k);
        for (int c = 0; c < k; ++c)
            zellen << komma(zelle(s.zeilen.at(z), c));
        text += zellen.join(tab) + nl;
    }

    text += QStringLiteral("Summen");
    for (int c = 0; c < k; ++c) {
        if (c == Spalte::Preisskat)
            text += betrag(e.preisskat) + tab;
        else if (c == k - 1)
            text += betrag(e.kosten);
        else
            text += tab;
    }
    text += nl;
    return text;
}

QByteArray htmlBytes(const QString& seite)
{
    return seite.toLatin1();
}

QByteArray lokaleBytes(const QString& text, QTextCodec* codec)
{
    if (!codec)
        codec = QTextCodec::codecForLocale();
    return codec->fromUnicode(text);
}

bool dateiSchreiben(const QString& datei, const QByteArray& inhalt, bool textModus, QString* grund)
{
    QSaveFile f(datei);
    QIODevice::OpenMode modus = QIODevice::WriteOnly;
    if (textModus)
        modus |= QIODevice::Text;
    if (!f.open(modus) || f.write(inhalt) != inhalt.size() || !f.commit()) {
        if (grund)
            *grund = f.errorString();
        f.cancelWriting();
        return false;
    }
    return true;
}

} // namespace Bericht
