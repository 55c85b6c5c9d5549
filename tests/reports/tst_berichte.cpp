#include "testumgebung.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTextCodec>

#include "reports/bericht.h"
#include "spieltag.h"

using Testumgebung::golden;

namespace
{

Bericht::Schnappschuss spieltag()
{
    Bericht::Schnappschuss s;
    s.kopf = einSerienKopf;
    s.zeilen = spieltagZeilen();
    s.datum = QDate(2026, 12, 5);
    s.listenName = QStringLiteral("Herbst & Winter");
    s.einsatz = 5.0;
    return s;
}

const QString kopfZeilen = QStringLiteral(
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\n<html>\n\t<head>\n\t\t<title>Spieltag</title>\n"
    "\t<style>\n\ttable, th, th.zahl, td, td.zahl { border: 1px solid black; border-collapse: collapse; }\n"
    "\tth.zahl, td.zahl { padding: 5px; } th.zahl { text-align: right; } td.zahl { text-align: right; }\n"
    "\t</style>\n\t</head>\n\t<body>\n");

} // namespace

class TstBerichte : public QObject
{
    Q_OBJECT
private slots:
    void htmlSpieltag()
    {
        const Bericht::Schnappschuss s = spieltag();
        const QByteArray seite = Bericht::htmlBytes(Bericht::htmlBericht(s));
        QCOMPARE(seite, golden(QStringLiteral("spieltag.html")));
        QVERIFY(!seite.contains('\r'));
        QCOMPARE(seite.count("<th>"), 8);

        // No participants: header line and a sum line of zeros.
        Bericht::Schnappschuss leer = s;
        leer.zeilen.clear();
        QCOMPARE(Bericht::htmlBericht(leer),
            kopfZeilen
                + QStringLiteral(
                    "\t<h1>Spieltag 05-12-2026 Herbst &amp; Winter</h1><br>\n<p>\n<table style=\"width:80%\">\n"
                    "\t<tr><th>Nr</th><th>Name</th><th>Preisskat</th><th>PktS1</th><th>TischS1</th>"
                    "<th>KostenS1</th><th>Summe Punkte</th><th>Summe Kosten</th>\n"
                    "\t<tr><td>Summe</td><td>-----</td><td class=\"zahl\">0,0</td><td>-----</td><td>-----</td>"
                    "<td>-----</td><td class=\"zahl\">0</td><td class=\"zahl\">0,0</td>\n"
                    "</table></p>\n\t</body>\n</html>\n"));
    }

    void htmlSummenUndZeichen()
    {
        // Only "Ja" exactly counts a stake; 123.45 rounds to one decimal.
        Bericht::Schnappschuss s;
        s.kopf = einSerienKopf;
        s.zeilen = { { "1", "a", "ja", "1", "1", "123.45", "1", "123.45" },
            { "2", "b", "Ja", "1", "1", "0.0", "1", "0.0" }, { "3", "c", "Nein", "1", "1", "0.0", "1", "x" } };
        s.einsatz = 2.5;
        const QString seite = Bericht::htmlBericht(s);
        QVERIFY(seite.contains(QStringLiteral("<td class=\"zahl\">2,5</td><td>-----</td>")));
        QVERIFY(seite.contains(QStringLiteral("<td class=\"zahl\">3</td><td class=\"zahl\">123,5</td>\n")));
        QVERIFY(seite.contains(QStringLiteral("<td class=\"zahl\">123,45</td></tr>")));

        // Characters beyond Latin-1, also outside the basic plane, become
        // references; the page then converts to Latin-1 without loss.
        QCOMPARE(Bericht::htmlText(QStringLiteral("\u00e4 \u0141 \U0001F0A1 & \"<>\"")),
            QStringLiteral("\u00e4 &#321; &#127137; &amp; &quot;&lt;&gt;&quot;"));
        QCOMPARE(Bericht::htmlBytes(Bericht::htmlText(QStringLiteral("\u00e4\u20ac"))), QByteArray("\xe4&#8364;"));
        QVERIFY(Bericht::htmlKopf(QStringLiteral("A<B")).contains(QStringLiteral("<title>A&lt;B</title>\n")));
    }

    void einstellungen()
    {
        QTemporaryDir dir;
        QSettings ini(dir.filePath(QStringLiteral("t.ini")), QSettings::IniFormat);
        QString name;
        double einsatz = -1;
        Bericht::einstellungenLesen(ini, name, einsatz);
        QCOMPARE(name, QString());
        QCOMPARE(einsatz, 0.0);
        ini.setValue(QStringLiteral("Kosten/ListenName"), QStringLiteral("Liga"));
        // The rules tab stores the stake as a number.
        ini.setValue(QStringLiteral("Kosten/Preisskat"), 7.5);
        Bericht::einstellungenLesen(ini, name, einsatz);
        QCOMPARE(name, QStringLiteral("Liga"));
        QCOMPARE(einsatz, 7.5);
        // A decimal comma is no number.
        ini.setValue(QStringLiteral("Kosten/Preisskat"), QStringLiteral("7,5"));
        Bericht::einstellungenLesen(ini, name, einsatz);
        QCOMPARE(einsatz, 0.0);
    }

    void reihenfolgeStabil()
    {
        Bericht::Schnappschuss s;
        s.kopf = einSerienKopf;
        const QStringList summen = { "5", "7", "5", "x", "7", "-1", "0" };
        for (int i = 0; i < summen.size(); ++i)
            s.zeilen << QStringList { QString::number(110 - i), "n", "Nein", "0", "0", "0.0", summen.at(i), "0.0" };
        QCOMPARE(Bericht::reihenfolge(s), (QVector<int> { 1, 4, 0, 2, 3, 6, 5 }));
    }

    void textDatei()
    {
        const Bericht::Schnappschuss s = spieltag();
        QTextCodec* utf8 = QTextCodec::codecForName("UTF-8");
        QCOMPARE(Bericht::lokaleBytes(Bericht::textBericht(s), utf8), golden(QStringLiteral("spieltag.txt")));

        // In a Latin-1 locale umlauts stay single bytes; what it cannot hold
        // becomes its replacement character.
        const QByteArray latin1 = Bericht::lokaleBytes(Bericht::textBericht(s), QTextCodec::codecForName("ISO-8859-1"));
        QVERIFY(latin1.contains("Dr, Ludwig & S\xf6hne   Ja"));
        QVERIFY(latin1.contains("101 ?ukasz \"Luk\" <Nowak> Nein"));

        // No participants: title, header, an empty line and zero incomes.
        Bericht::Schnappschuss leer = s;
        leer.zeilen.clear();
        leer.listenName.clear();
        QCOMPARE(Bericht::textBericht(leer),
            QStringLiteral("Spieltag 05-12-2026 \n"
                           " Nr Name                 Preisskat  PktS1 TischS1 KostenS1 Summe Punkte Summe Kosten \n"
                           "\n"
                           "Preisskat Einnahmen Euro 0,0 Spielkosten Einnahmen Euro 0,0\n"));

        // A name is cut to 20 characters, never in the middle of a character
        // outside the basic plane.
        Bericht::Schnappschuss lang = s;
        lang.zeilen
            = { { "7", QStringLiteral("1234567890123456789\U0001F0A1xyz"), "Ja", "1", "1", "0.0", "1", "0.0" } };
        const QString zeile = Bericht::textBericht(lang).split(QLatin1Char('\n')).at(2);
        QVERIFY2(zeile.startsWith(QStringLiteral("  7 1234567890123456789  Ja        ")), qPrintable(zeile));
    }

    void excelDatei()
    {
        const Bericht::Schnappschuss s = spieltag();
        QCOMPARE(Bericht::lokaleBytes(Bericht::excelBericht(s), QTextCodec::codecForName("UTF-8")),
            golden(QStringLiteral("spieltag_excel.txt")));

        Bericht::Schnappschuss leer = s;
        leer.zeilen.clear();
        const QStringList zeilen = Bericht::excelBericht(leer).split(QLatin1Char('\n'));
        QCOMPARE(zeilen.size(), 4); // title, header, sums, and nothing after the last line end
        QCOMPARE(zeilen.at(1), einSerienKopf.join(QLatin1Char('\t')));
        QCOMPARE(zeilen.at(2), QStringLiteral("Summen\t\t0,0\t\t\t\t\t0,0"));
        QCOMPARE(zeilen.at(2).split(QLatin1Char('\t')).size(), einSerienKopf.size());
        QCOMPARE(zeilen.at(3), QString());
    }
};

REIZWERK_TEST(TstBerichte)
#include "tst_berichte.moc"
