#include "testumgebung.h"

#include "saisonbau.h"
#include "season/saison.h"
#include "season/saisonarchiv.h"
#include "season/saisonausgabe.h"

using namespace Saisonbau;
using Saison::Regel;

namespace
{

Saison::Vorgabe vorgabe(Regel regel, int besteN = 3, int mindest = 0)
{
    Saison::Vorgabe v;
    v.von = t1;
    v.bis = t5;
    v.regel = regel;
    v.besteN = besteN;
    v.mindestTage = mindest;
    return v;
}

// The rows as the view shows them, cells joined by '|'.
QStringList zeilenVon(const Saison::Tabelle& t, const QVector<Saison::Spieler>& liste)
{
    QStringList z;
    for (const Saison::Spieler& s : liste)
        z << Saison::zellenTexte(t, s, true).join(QLatin1Char('|'));
    return z;
}

} // namespace

class TstSaison : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void summeUndBesteN()
    {
        const QString anna = QStringLiteral("Anna \u00d6zt\u00fcrk");
        Saison::Tabelle t = Saison::berechnen(zeilen(), vorgabe(Regel::Summe));
        QCOMPARE(t.tage, (QVector<QDate> { t1, t2, t3, t4, t5 }));
        QCOMPARE(Saison::kopfTexte(t),
            (QStringList {
                "Platz", "Nr", "Name", "Tage", "Summe", "07.08.26", "14.08.26", "21.08.26", "28.08.26", "04.09.26" }));
        // Equal totals share a place and the next place skips; the renamed
        // player keeps one line under his latest name; the days of the
        // seasons before and after do not count.
        QCOMPARE(zeilenVon(t, t.gewertet),
            (QStringList { "1|101|" + anna + "|5|4500|900|1100|800|1000|700",
                "1|103|Carl Christ|3|4500|1500|1500|1500||", "3|102|Bernd Brandt|3|3500|1200|1000||1300|",
                "3|106|Frieda Fuchs|4|3500|500||1000|1000|1000", "5|104|Dora Dreyer|1|2000|||||2000",
                "6|107|Gert Gans|2|1800|1000||||800", "7|105|Emil Ernst|4|1500||-100|600|400|600" }));
        QVERIFY(t.unterMindest.isEmpty());

        // Best 3 of 5: the days that do not count in parentheses; of Emil's
        // two 600 both count, his -100 does not.
        t = Saison::berechnen(zeilen(), vorgabe(Regel::BesteN, 3));
        QCOMPARE(Saison::kopfTexte(t).mid(0, 6), (QStringList { "Platz", "Nr", "Name", "Tage", "Summe", "Beste 3" }));
        QCOMPARE(zeilenVon(t, t.gewertet),
            (QStringList { "1|103|Carl Christ|3|4500|4500|1500|1500|1500||",
                "2|102|Bernd Brandt|3|3500|3500|1200|1000||1300|",
                "3|101|" + anna + "|5|4500|3000|900|1100|(800)|1000|(700)",
                "3|106|Frieda Fuchs|4|3500|3000|(500)||1000|1000|1000", "5|104|Dora Dreyer|1|2000|2000|||||2000",
                "6|107|Gert Gans|2|1800|1800|1000||||800", "7|105|Emil Ernst|4|1500|1600||(-100)|600|400|600" }));
    }

    void schnittUndMindest()
    {
        const QString anna = QStringLiteral("Anna \u00d6zt\u00fcrk");
        // Averages: 1800/2 equals 4500/5 exactly and shares the place.
        Saison::Tabelle t = Saison::berechnen(zeilen(), vorgabe(Regel::Schnitt));
        QStringList namen, werte, plaetze;
        for (const Saison::Spieler& s : t.gewertet) {
            namen << s.name;
            werte << Saison::wertText(s, Regel::Schnitt);
            plaetze << QString::number(s.platz);
        }
        QCOMPARE(namen,
            (QStringList {
                "Dora Dreyer", "Carl Christ", "Bernd Brandt", anna, "Gert Gans", "Frieda Fuchs", "Emil Ernst" }));
        QCOMPARE(werte, (QStringList { "2000,00", "1500,00", "1166,67", "900,00", "900,00", "875,00", "375,00" }));
        QCOMPARE(plaetze, (QStringList { "1", "2", "3", "4", "4", "6", "7" }));

        // At least 3 match days: Dora (1) and Gert (2) are listed apart,
        // without a place, best value first; the places close up.
        t = Saison::berechnen(zeilen(), vorgabe(Regel::Summe, 3, 3));
        QCOMPARE(zeilenVon(t, t.gewertet),
            (QStringList { "1|101|" + anna + "|5|4500|900|1100|800|1000|700",
                "1|103|Carl Christ|3|4500|1500|1500|1500||", "3|102|Bernd Brandt|3|3500|1200|1000||1300|",
                "3|106|Frieda Fuchs|4|3500|500||1000|1000|1000", "5|105|Emil Ernst|4|1500||-100|600|400|600" }));
        QCOMPARE(zeilenVon(t, t.unterMindest),
            (QStringList { "|104|Dora Dreyer|1|2000|||||2000", "|107|Gert Gans|2|1800|1000||||800" }));

        // Exactly the minimum counts.
        t = Saison::berechnen(zeilen(), vorgabe(Regel::Summe, 3, 2));
        QCOMPARE(t.gewertet.size(), 6);
        QCOMPARE(t.unterMindest.size(), 1);
        QCOMPARE(t.unterMindest.first().startNr, 104);
    }

    void gaesteWerten_data()
    {
        QTest::addColumn<int>("art");
        QTest::addColumn<int>("mindest");
        QTest::addColumn<QStringList>("gewertet");
        QTest::addColumn<QStringList>("gaeste");
        QTest::addColumn<QStringList>("unterMindest");
        const QString anna = QStringLiteral("Anna \u00d6zt\u00fcrk");
        // Guests: 103 Carl and 107 Gert; 999 is a guest without a result.
        QTest::newRow("mit den Mitgliedern")
            << int(Saison::Gaeste::Mitwerten) << 0
            << QStringList { "1|101", "1|103", "3|102", "3|106", "5|104", "6|107", "7|105" } << QStringList()
            << QStringList();
        // The members close up their places; the guests get places of their own.
        QTest::newRow("getrennt") << int(Saison::Gaeste::Getrennt) << 0
                                  << QStringList { "1|101", "2|102", "2|106", "4|104", "5|105" }
                                  << QStringList { "1|103", "2|107" } << QStringList();
        // A guest below the minimum is listed there, like a member.
        QTest::newRow("getrennt mit Mindestzahl")
            << int(Saison::Gaeste::Getrennt) << 3 << QStringList { "1|101", "2|102", "2|106", "4|105" }
            << QStringList { "1|103" } << QStringList { "|104", "|107" };
        QTest::newRow("nicht") << int(Saison::Gaeste::Nicht) << 0
                               << QStringList { "1|101", "2|102", "2|106", "4|104", "5|105" } << QStringList()
                               << QStringList();
        QTest::newRow("nicht mit Mindestzahl")
            << int(Saison::Gaeste::Nicht) << 3 << QStringList { "1|101", "2|102", "2|106", "4|105" } << QStringList()
            << QStringList { "|104" };
    }

    void gaesteWerten()
    {
        QFETCH(int, art);
        QFETCH(int, mindest);
        QFETCH(QStringList, gewertet);
        QFETCH(QStringList, gaeste);
        QFETCH(QStringList, unterMindest);
        Saison::Vorgabe v = vorgabe(Regel::Summe, 3, mindest);
        v.gaeste = Saison::gaesteAus(art);
        v.gastNr = { 103, 107, 999 };
        const Saison::Tabelle t = Saison::berechnen(zeilen(), v);
        auto kurz = [&t](const QVector<Saison::Spieler>& liste) {
            QStringList z;
            for (const Saison::Spieler& s : liste)
                z << Saison::zellenTexte(t, s, true).mid(0, 2).join(QLatin1Char('|'));
            return z;
        };
        QCOMPARE(kurz(t.gewertet), gewertet);
        QCOMPARE(kurz(t.gaeste), gaeste);
        QCOMPARE(kurz(t.unterMindest), unterMindest);
        // Not ranked at all: the guests leave no match day behind either.
        if (v.gaeste == Saison::Gaeste::Nicht) {
            v.gastNr = { 101, 104, 105, 106, 107 };
            QCOMPARE(Saison::berechnen(zeilen(), v).tage, (QVector<QDate> { t1, t2, t3, t4 }));
        }
    }

    void gaesteAusgeben()
    {
        const QDate a(2026, 8, 7);
        const QVector<Saison::Zeile> z = { { 101, QStringLiteral("Mia"), a, 1000 },
            { 102, QStringLiteral("Gast Gustav"), a, 1200 }, { 103, QStringLiteral("Ida"), a, 900 } };
        Saison::Vorgabe v;
        v.von = v.bis = a;
        v.gaeste = Saison::Gaeste::Getrennt;
        v.gastNr = { 102 };
        Saison::Tabelle t = Saison::berechnen(z, v);
        QCOMPARE(Saison::csv(t, { QString(), QString() }),
            QByteArray("\xEF\xBB\xBF"
                       "Saisonwertung 07.08.2026 bis 07.08.2026\r\n"
                       "alle Gruppen, Summe der Punkte, G\xC3\xA4ste getrennt gewertet, 1 Spieltage\r\n"
                       "\r\n"
                       "Platz;Nr;Name;Tage;Summe;07.08.2026\r\n"
                       "1;101;Mia;1;1000;1000\r\n"
                       "2;103;Ida;1;900;900\r\n"
                       "\r\n"
                       "G\xC3\xA4ste\r\n"
                       "1;102;Gast Gustav;1;1200;1200\r\n"));
        QString html = Saison::druckHtml(t, {});
        QVERIFY(html.indexOf(QStringLiteral("Ida")) < html.indexOf(QStringLiteral("<h3>G\u00e4ste</h3>")));
        QVERIFY(html.indexOf(QStringLiteral("<h3>G\u00e4ste</h3>")) < html.indexOf(QStringLiteral("Gast Gustav")));

        v.gaeste = Saison::Gaeste::Nicht;
        t = Saison::berechnen(z, v);
        QVERIFY(Saison::unterzeile(t, {}).contains(QStringLiteral("ohne G\u00e4ste")));
        QVERIFY(!Saison::csv(t, {}).contains("Gustav"));
        html = Saison::druckHtml(t, {});
        QVERIFY(!html.contains(QStringLiteral("Gustav")));
        QVERIFY(!html.contains(QStringLiteral("G\u00e4ste</h3>")));

        // Only guests played: their table stands alone, without an empty one.
        v.gaeste = Saison::Gaeste::Getrennt;
        v.gastNr = { 101, 102, 103 };
        t = Saison::berechnen(z, v);
        QVERIFY(t.gewertet.isEmpty());
        html = Saison::druckHtml(t, {});
        QCOMPARE(html.count(QStringLiteral("<table")), 1);
        QVERIFY(!html.contains(QStringLiteral("Keine Ergebnisse")));

        // Unknown stored numbers fall back to ranking with the members.
        QCOMPARE(Saison::gaesteAus(7), Saison::Gaeste::Mitwerten);
        QCOMPARE(Saison::gaesteAus(-1), Saison::Gaeste::Mitwerten);
    }

    void zeitraumUndGruppen()
    {
        // One day only; start after end gives nothing.
        Saison::Vorgabe v = vorgabe(Regel::Summe);
        v.von = v.bis = t5;
        Saison::Tabelle t = Saison::berechnen(zeilen(), v);
        QCOMPARE(t.tage, QVector<QDate> { t5 });
        QCOMPARE(t.gewertet.size(), 5);
        QCOMPARE(t.gewertet.first().name, QStringLiteral("Dora Dreyer"));
        v.von = t5;
        v.bis = t1;
        t = Saison::berechnen(zeilen(), v);
        QVERIFY(t.tage.isEmpty() && t.gewertet.isEmpty());

        // The women's group on t1 to t4; t5 has no files and counts for nobody.
        v = vorgabe(Regel::Summe);
        v.nachGruppen = true;
        for (const QDate& d : { t1, t2, t3, t4 })
            v.teilnahme.insert(d, { 101, 104, 106 });
        t = Saison::berechnen(zeilen(), v);
        QCOMPARE(t.tage, (QVector<QDate> { t1, t2, t3, t4 }));
        QCOMPARE(zeilenVon(t, t.gewertet),
            (QStringList { QStringLiteral("1|101|Anna \u00d6zt\u00fcrk|4|3800|900|1100|800|1000"),
                "2|106|Frieda Fuchs|3|2500|500||1000|1000" }));

        // Two rows of one player on one day add up.
        QVector<Saison::Zeile> doppelt = { { 200, "X", t1, 100 }, { 200, "X", t1, 50 }, { 201, "Y", t1, 150 } };
        t = Saison::berechnen(doppelt, vorgabe(Regel::Summe));
        QCOMPARE(zeilenVon(t, t.gewertet), (QStringList { "1|200|X|1|150|150", "1|201|Y|1|150|150" }));
    }

    void saisonBeginn()
    {
        using Saison::Zeitraum;
        const Saison::Beginn august;
        QCOMPARE(Saison::beginnText(august), QStringLiteral("08-01"));
        QCOMPARE(Saison::dieseSaison(QDate(2026, 12, 6), august), Zeitraum(QDate(2026, 8, 1), QDate(2027, 7, 31)));
        QCOMPARE(Saison::dieseSaison(QDate(2026, 8, 1), august), Zeitraum(QDate(2026, 8, 1), QDate(2027, 7, 31)));
        QCOMPARE(Saison::dieseSaison(QDate(2026, 7, 31), august), Zeitraum(QDate(2025, 8, 1), QDate(2026, 7, 31)));
        QCOMPARE(Saison::diesesJahr(QDate(2026, 7, 31)), Zeitraum(QDate(2026, 1, 1), QDate(2026, 12, 31)));

        const Saison::Beginn b = Saison::beginnAus(QStringLiteral("9-15"));
        QCOMPARE(b.monat, 9);
        QCOMPARE(b.tag, 15);
        QCOMPARE(Saison::dieseSaison(QDate(2027, 1, 2), b), Zeitraum(QDate(2026, 9, 15), QDate(2027, 9, 14)));
        // A leap day as start: the 28th in other years.
        const Saison::Beginn schalttag = Saison::beginnAus(QStringLiteral("02-29"));
        QCOMPARE(schalttag.tag, 29);
        QCOMPARE(Saison::dieseSaison(QDate(2028, 3, 1), schalttag), Zeitraum(QDate(2028, 2, 29), QDate(2029, 2, 27)));
        QCOMPARE(Saison::dieseSaison(QDate(2027, 2, 28), schalttag), Zeitraum(QDate(2027, 2, 28), QDate(2028, 2, 28)));
        // What cannot be a day falls back to 1 August.
        for (const char* falsch : { "13-01", "02-30", "", "0801", "08-01-2026", "x-y" }) {
            const Saison::Beginn f = Saison::beginnAus(QString::fromLatin1(falsch));
            QVERIFY2(f.monat == 8 && f.tag == 1, falsch);
        }

        QCOMPARE(Saison::alle(zeilen(), QDate(2026, 12, 6)), Zeitraum(vorher, danach));
        QCOMPARE(Saison::alle({}, QDate(2026, 12, 6)), Zeitraum(QDate(2026, 12, 6), QDate(2026, 12, 6)));
    }

    void csvDatei()
    {
        const QDate a(2026, 8, 7), b(2026, 8, 14);
        const QVector<Saison::Zeile> z = { { 101, QStringLiteral("M\u00fcller; Sohn"), a, 1000 },
            { 101, QStringLiteral("M\u00fcller; Sohn"), b, 501 }, { 102, QStringLiteral("Anna \"Ass\" Alt"), b, 900 },
            { 103, QStringLiteral("Zoe"), a, -50 } };
        Saison::Vorgabe v;
        v.von = a;
        v.bis = b;
        v.regel = Regel::Schnitt;
        v.mindestTage = 2;
        const QByteArray bytes = Saison::csv(Saison::berechnen(z, v), { QStringLiteral("Liga"), QString() });
        QCOMPARE(bytes,
            QByteArray("\xEF\xBB\xBF"
                       "Saisonwertung 07.08.2026 bis 14.08.2026\r\n"
                       "Liga, alle Gruppen, Durchschnitt je Spieltag, gewertet ab 2 Spieltagen, 2 Spieltage\r\n"
                       "\r\n"
                       "Platz;Nr;Name;Tage;Summe;Schnitt;07.08.2026;14.08.2026\r\n"
                       "1;101;\"M\xC3\xBCller; Sohn\";2;1501;750,50;1000;501\r\n"
                       "\r\n"
                       "Weniger als 2 Spieltage\r\n"
                       ";102;\"Anna \"\"Ass\"\" Alt\";1;900;900,00;;900\r\n"
                       ";103;Zoe;1;-50;-50,00;-50;\r\n"));

        // The writer on its own: quoting, decimals, empty fields.
        Saison::CsvSchreiber w;
        w.feld(QStringLiteral("a\nb"));
        w.leer();
        w.dezimal(-0.125, 2);
        w.zahl(-7);
        w.zeileEnde();
        QCOMPARE(w.bytes(), QByteArray("\xEF\xBB\xBF\"a\nb\";;-0,13;-7\r\n"));
    }

    void csvOhneFormeln()
    {
        // Names a spreadsheet would run as formulas are quoted behind an
        // apostrophe; negative points stay numbers.
        const QDate a(2026, 8, 7);
        const QVector<Saison::Zeile> z = { { 101, QStringLiteral("=1+1 Summe"), a, 30 },
            { 102, QStringLiteral("+49 Handy"), a, 20 }, { 103, QStringLiteral("-5 Minus"), a, -5 },
            { 104, QStringLiteral("@SUMME(A1)"), a, -6 }, { 105, QStringLiteral("-"), a, -7 } };
        Saison::Vorgabe v;
        v.von = a;
        v.bis = a;
        const QByteArray bytes = Saison::csv(Saison::berechnen(z, v), { QStringLiteral("=Liga"), QString() });
        QCOMPARE(bytes,
            QByteArray("\xEF\xBB\xBF"
                       "Saisonwertung 07.08.2026 bis 07.08.2026\r\n"
                       "\"'=Liga, alle Gruppen, Summe der Punkte, 1 Spieltage\"\r\n"
                       "\r\n"
                       "Platz;Nr;Name;Tage;Summe;07.08.2026\r\n"
                       "1;101;\"'=1+1 Summe\";1;30;30\r\n"
                       "2;102;\"'+49 Handy\";1;20;20\r\n"
                       "3;103;\"'-5 Minus\";1;-5;-5\r\n"
                       "4;104;\"'@SUMME(A1)\";1;-6;-6\r\n"
                       "5;105;-;1;-7;-7\r\n"));

        struct Fall {
            const char* text;
            const char* geschrieben;
        };
        const Fall faelle[] = { { "-5", "-5" }, { "+49", "+49" }, { "-2,5", "-2,5" }, { "-", "-" }, { "5-3", "5-3" },
            { "Anna-Lena", "Anna-Lena" }, { "+", "\"'+\"" }, { "-5-3", "\"'-5-3\"" }, { "=A1", "\"'=A1\"" },
            { "\tx", "\"'\tx\"" }, { "\r=1", "\"'\r=1\"" }, { "=\"x\"", "\"'=\"\"x\"\"\"" } };
        for (const Fall& f : faelle) {
            Saison::CsvSchreiber w;
            w.feld(QString::fromLatin1(f.text));
            QCOMPARE(w.bytes().mid(3), QByteArray(f.geschrieben));
        }
    }

    void archivLesen()
    {
        const QString daten = Testumgebung::datenOrdner();
        gruppenSchreiben(daten);
        // Folders that are not match days of the program.
        QVERIFY(QDir().mkpath(daten + QStringLiteral("/1_2_2026")));
        QVERIFY(QDir().mkpath(daten + QStringLiteral("/07_08_2026 Kopie")));
        QVERIFY(QFile::copy(Pfade::gruppenDatei(Pfade::turnierVerzeichnis(daten, t1), QStringLiteral("Damen")),
            daten + QStringLiteral("/07_08_2026 Kopie/Jugend.db")));
        // A damaged group file on t3 next to the good ones.
        QFile kaputt(Pfade::gruppenDatei(Pfade::turnierVerzeichnis(daten, t3), QStringLiteral("Senioren")));
        QVERIFY(kaputt.open(QIODevice::WriteOnly));
        kaputt.write("keine Datenbank");
        kaputt.close();

        // A group whose name holds a dot keeps its whole name; a copy
        // beside a group file is still that group.
        gruppeSchreiben(
            daten, t4, QStringLiteral("1. Mannschaft"), 1, { { 108, QStringLiteral("Hugo Hahn"), { 300 } } });
        QVERIFY(QFile::copy(Pfade::gruppenDatei(Pfade::turnierVerzeichnis(daten, t4), QStringLiteral("Herren")),
            Pfade::turnierVerzeichnis(daten, t4) + QStringLiteral("/Herren.backup.db")));

        Saison::Archiv archiv(daten);
        QCOMPARE(archiv.ordner().keys(), (QList<QDate> { t1, t2, t3, t4 }));
        QCOMPARE(archiv.gruppenNamen(), (QStringList { "1. Mannschaft", "Damen", "Herren", "Senioren" }));
        QCOMPARE(archiv.teilnahme({ QStringLiteral("1. Mannschaft") }, t1, t5).value(t4), QSet<int> { 108 });
        QVERIFY(archiv.teilnahme({ QStringLiteral("1") }, t1, t5).value(t4).isEmpty());

        const QHash<QDate, QSet<int>> herren = archiv.teilnahme({ QStringLiteral("Herren") }, t2, t5);
        QCOMPARE(herren.size(), 3);
        QCOMPARE(herren.value(t2), (QSet<int> { 102, 103, 105 }));
        QCOMPARE(herren.value(t4), (QSet<int> { 102, 105 }));
        QVERIFY(!herren.contains(t1));
        const QHash<QDate, QSet<int>> beide
            = archiv.teilnahme({ QStringLiteral("Herren"), QStringLiteral("Damen") }, t1, t1);
        QCOMPARE(beide.value(t1), (QSet<int> { 101, 102, 103, 106, 107 }));

        // Anna's days in the season: t2's series lack the 100 points of a
        // correction, t5 has no files and shows the Rangliste points only.
        const QVector<Saison::VerlaufTag> v = archiv.verlauf(101, zeilen(), t1, t5);
        QCOMPARE(v.size(), 5);
        QCOMPARE(v.at(0).gruppe, QStringLiteral("Damen"));
        QCOMPARE(v.at(1).datum, t2);
        QCOMPARE(v.at(1).serien.size(), 3);
        QVERIFY(!v.at(1).serien.at(1).aktiv);
        QCOMPARE(v.at(1).serien.at(2).punkte, 700);
        QCOMPARE(v.at(1).summePunkte, 1000);
        QCOMPARE(v.at(1).ranglistenPunkte, qint64(1100));
        QCOMPARE(v.at(2).gruppe, QStringLiteral("Damen")); // the damaged file is passed over
        QCOMPARE(v.at(4).datum, t5);
        QVERIFY(v.at(4).gruppe.isEmpty());
        QVERIFY(v.at(4).serien.isEmpty());
        QCOMPARE(v.at(4).ranglistenPunkte, qint64(700));
        // Bernd sat in the men's group under his earlier names.
        const QVector<Saison::VerlaufTag> bernd = archiv.verlauf(102, zeilen(), t1, t5);
        QCOMPARE(bernd.size(), 3);
        QCOMPARE(bernd.at(2).gruppe, QStringLiteral("Herren"));
        QCOMPARE(bernd.at(2).summePunkte, 1300);
    }
};

REIZWERK_TEST(TstSaison)
#include "tst_saison.moc"
