#include "testumgebung.h"

#include <QHostAddress>
#include <QSqlDatabase>
#include <QSqlQuery>

#include "link/nachricht.h"
#include "link/tischpruefung.h"
#include "link/zugang.h"

// Who may connect, and which result lines a companion may send: the rules
// without a network.
class TstGrenzen : public QObject
{
    Q_OBJECT
private slots:
    void lokaleAdressen()
    {
        for (const char* lokal : { "127.0.0.1", "127.255.0.9", "::1", "10.0.0.1", "10.255.255.255", "172.16.0.1",
                 "172.31.255.254", "192.168.1.20", "169.254.3.4", "fc00::1", "fd12:3456::7", "fe80::1", "febf::1",
                 "::ffff:192.168.1.20", "::ffff:127.0.0.1", "::ffff:10.1.2.3" })
            QVERIFY2(Zugang::lokal(QHostAddress(QString::fromLatin1(lokal))), lokal);
        // Just outside each range, public addresses, and none at all.
        for (const char* fremd : { "8.8.8.8", "11.0.0.1", "9.255.255.255", "172.15.255.255", "172.32.0.0",
                 "192.167.255.255", "192.169.0.1", "169.253.0.1", "169.255.0.1", "128.0.0.1", "0.0.0.0",
                 "::", "fe00::1", "fec0::1", "2001:db8::1", "::ffff:8.8.8.8", "::ffff:172.32.0.1", "255.255.255.255" })
            QVERIFY2(!Zugang::lokal(QHostAddress(QString::fromLatin1(fremd))), fremd);
        QVERIFY(!Zugang::lokal(QHostAddress()));
        QHostAddress mitZone(QStringLiteral("fe80::1"));
        mitZone.setScopeId(QStringLiteral("eth0"));
        QVERIFY(Zugang::lokal(mitZone));
    }

    void erlaubteAdressen()
    {
        const Zugang::Erlaubnis leer = Zugang::erlaubnisLesen({});
        QVERIFY(Zugang::zugelassen(QHostAddress(QStringLiteral("192.168.0.5")), leer));
        QVERIFY(!Zugang::zugelassen(QHostAddress(QStringLiteral("203.0.113.7")), leer));
        QVERIFY(!Zugang::zugelassen(QHostAddress(), leer));

        // As the settings store hands it over: a list when the text had commas.
        const Zugang::Erlaubnis e = Zugang::erlaubnisLesen(
            { QStringLiteral("203.0.113.7 198.51.100.0/24"), QStringLiteral("2001:db8::/32;kein-netz"),
                QStringLiteral("::ffff:100.64.0.0/106"), QStringLiteral("1.2.3.4/40") });
        QCOMPARE(e.ungueltig, QStringList({ QStringLiteral("kein-netz"), QStringLiteral("1.2.3.4/40") }));
        QVERIFY(!e.alle);
        for (const char* ja :
            { "203.0.113.7", "::ffff:203.0.113.7", "198.51.100.200", "2001:db8:1::9", "100.100.1.1", "10.0.0.1" })
            QVERIFY2(Zugang::zugelassen(QHostAddress(QString::fromLatin1(ja)), e), ja);
        for (const char* nein : { "203.0.113.8", "198.51.101.1", "2001:db9::1", "100.128.0.1", "8.8.8.8" })
            QVERIFY2(!Zugang::zugelassen(QHostAddress(QString::fromLatin1(nein)), e), nein);

        // Separators in runs, at both ends, tabs and a no-break space split
        // without leaving empty pieces; an empty entry adds nothing.
        const Zugang::Erlaubnis getrennt = Zugang::erlaubnisLesen({ QStringLiteral(" ,;203.0.113.9\t,, 198.51.100.0/24 ;"),
            QString(), QStringLiteral("192.0.2.1\u00a0192.0.2.2;*") });
        QVERIFY2(getrennt.ungueltig.isEmpty(), qPrintable(getrennt.ungueltig.join(QLatin1Char('|'))));
        QCOMPARE(getrennt.netze.size(), 4);
        QVERIFY(getrennt.alle);
        QCOMPARE(getrennt.netze.at(0).first, QHostAddress(QStringLiteral("203.0.113.9")));
        QCOMPARE(getrennt.netze.at(1).second, 24);
        QCOMPARE(getrennt.netze.at(3).first, QHostAddress(QStringLiteral("192.0.2.2")));

        const Zugang::Erlaubnis alle = Zugang::erlaubnisLesen({ QStringLiteral("*") });
        QVERIFY(alle.alle);
        QVERIFY(Zugang::zugelassen(QHostAddress(QStringLiteral("8.8.8.8")), alle));
    }

    void nickMitIPv6()
    {
        // The whole address, not a piece of it: two IPv6 peers must not
        // share one.
        Nick n = Nick::lesen(QStringLiteral("Listenbote@::1:50123"));
        QCOMPARE(n.name, QStringLiteral("Listenbote"));
        QCOMPARE(n.adresse, QStringLiteral("::1"));
        n = Nick::lesen(QStringLiteral("Listenbote@fd00::1:50123"));
        QCOMPARE(n.adresse, QStringLiteral("fd00::1"));
        n = Nick::lesen(QStringLiteral("Listenbote@192.168.1.20:50123"));
        QCOMPARE(n.adresse, QStringLiteral("192.168.1.20"));
    }

    void nurErgebnisseDesEigenenTisches()
    {
        // Series 1: 100..103 at table 1, 104..106 at table 2; series 2
        // swapped; 107 sits nowhere; series 3 is not drawn.
        QHash<QPair<int, int>, int> sitze;
        for (int nr = 100; nr <= 106; ++nr) {
            sitze.insert({ 1, nr }, nr <= 103 ? 1 : 2);
            sitze.insert({ 2, nr }, nr <= 103 ? 2 : 1);
        }
        using Sitz = Tischpruefung::Sitz;
        const Tischpruefung::SitzVon sitzVon = [&sitze](int s, int nr) {
            if (nr < 100 || nr > 107 || s < 1 || s > 3)
                return Sitz {};
            if (s == 3)
                return Sitz { Sitz::Art::Offen, 0 };
            const int t = sitze.value({ s, nr });
            return t > 0 ? Sitz { Sitz::Art::Tisch, t } : Sitz { Sitz::Art::Ohne, 0 };
        };
        auto zeile = [](int serie, int punkte, int nr) {
            return QStringLiteral("L|x|%1|%2|a|b|1.5|c|%3").arg(serie).arg(punkte).arg(nr);
        };
        auto anspruch = [](
                            int tisch, const QHash<QPair<int, int>, QString>& halter = {},
                            std::function<bool(int)> frei = [](int) { return true; }) {
            Tischpruefung::Anspruch a;
            a.adresse = QStringLiteral("10.0.0.1");
            a.tisch = tisch;
            a.halter = [halter](int s, int t) { return halter.value({ s, t }); };
            a.frei = frei;
            return a;
        };

        // Holding table 1: its players of series 1 and the table-1 players of
        // series 2 only; series 3, drawn nowhere, takes any participant.
        Tischpruefung::Ergebnis e = Tischpruefung::pruefen(
            { zeile(1, 10, 100), zeile(1, 20, 104), zeile(2, 30, 104), zeile(2, 40, 100), zeile(1, 50, 107),
                zeile(3, 60, 100), QStringLiteral("kaputt"), zeile(1, 999999, 101), zeile(4, 1, 100), zeile(3, 5, 99) },
            anspruch(1), sitzVon);
        QCOMPARE(e.angenommen, QStringList({ zeile(1, 10, 100), zeile(2, 30, 104), zeile(3, 60, 100) }));
        QCOMPARE(e.abgelehnt, 7);
        QCOMPARE(e.tisch, 1);
        // Each refused line with its reason.
        QCOMPARE(e.abgelehnteZeilen.size(), 7);
        QCOMPARE(e.abgelehnteZeilen.at(0).zeile, zeile(1, 20, 104));
        QCOMPARE(
            e.abgelehnteZeilen.at(0).grund, QStringLiteral("Tisch 2 (Serie 1) ist nicht der Tisch dieses Begleiters"));
        QCOMPARE(e.abgelehnteZeilen.at(2).grund, QStringLiteral("Startnummer 107 hat in Serie 1 keinen Tisch"));
        QCOMPARE(e.abgelehnteZeilen.at(3).grund, QStringLiteral("1 statt 9 Teile"));
        QVERIFY2(e.abgelehnteZeilen.at(4).grund.startsWith(QStringLiteral("Punkte \"999999\"")),
            qPrintable(e.abgelehnteZeilen.at(4).grund));
        QCOMPARE(
            e.abgelehnteZeilen.at(5).grund, QStringLiteral("Serie 4 mit Startnummer 100 gibt es in der Gruppe nicht"));
        QCOMPARE(
            e.abgelehnteZeilen.at(6).grund, QStringLiteral("Serie 3 mit Startnummer 99 gibt es in der Gruppe nicht"));

        // Claims gathered from seat lists: table 2 of series 1 stays this
        // companion's while it now asks for table 1; a pair another was sent
        // last is that one's, whatever this companion asked for.
        const QHash<QPair<int, int>, QString> halter { { { 1, 2 }, QStringLiteral("10.0.0.1") },
            { { 2, 1 }, QStringLiteral("10.0.0.9") } };
        e = Tischpruefung::pruefen(
            { zeile(1, 7, 104), zeile(2, 8, 104), zeile(2, 9, 100), zeile(1, 3, 100) }, anspruch(2, halter), sitzVon);
        QCOMPARE(e.angenommen, QStringList({ zeile(1, 7, 104), zeile(2, 9, 100) }));
        QCOMPARE(e.abgelehnteZeilen.at(0).grund, QStringLiteral("Tisch 1 (Serie 2) hat der Begleiter 10.0.0.9"));
        QCOMPARE(
            e.abgelehnteZeilen.at(1).grund, QStringLiteral("Tisch 1 (Serie 1) ist nicht der Tisch dieses Begleiters"));
        // Holding no table: the pairs still count, and their table is taken
        // when nobody else holds it.
        e = Tischpruefung::pruefen({ zeile(1, 7, 104) }, anspruch(0, halter), sitzVon);
        QCOMPARE(e.angenommen, QStringList { zeile(1, 7, 104) });
        QCOMPARE(e.tisch, 2);
        e = Tischpruefung::pruefen({ zeile(1, 7, 104) }, anspruch(0, halter, [](int) { return false; }), sitzVon);
        QCOMPARE(e.angenommen, QStringList { zeile(1, 7, 104) });
        QCOMPARE(e.tisch, 0);

        // Holding nothing: the first fitting line claims its table, unless
        // another holds it.
        e = Tischpruefung::pruefen(
            { zeile(1, 5, 107), zeile(1, 20, 104), zeile(1, 10, 100), zeile(1, 21, 105) }, anspruch(0), sitzVon);
        QCOMPARE(e.tisch, 2);
        QCOMPARE(e.angenommen, QStringList({ zeile(1, 20, 104), zeile(1, 21, 105) }));
        QCOMPARE(e.abgelehnt, 2);
        e = Tischpruefung::pruefen(
            { zeile(1, 20, 104), zeile(1, 10, 100) }, anspruch(0, {}, [](int t) { return t != 2; }), sitzVon);
        QCOMPARE(e.tisch, 1);
        QCOMPARE(e.angenommen, QStringList { zeile(1, 10, 100) });
        e = Tischpruefung::pruefen({ zeile(1, 20, 104) }, anspruch(0, {}, [](int) { return false; }), sitzVon);
        QCOMPARE(e.tisch, 0);
        QVERIFY(e.angenommen.isEmpty());
        QCOMPARE(e.abgelehnt, 1);

        // Of several lines for one player and series the last counts, in
        // the place of the first.
        e = Tischpruefung::pruefen({ zeile(1, 1, 100), zeile(1, 2, 101), zeile(1, 3, 100) }, anspruch(1), sitzVon);
        QCOMPARE(e.angenommen, QStringList({ zeile(1, 3, 100), zeile(1, 2, 101) }));
        QCOMPARE(e.abgelehnt, 0);

        // A flood of lines is cut off unread.
        QStringList viele;
        for (int i = 0; i < Tischpruefung::maxZeilen + 500; ++i)
            viele << zeile(1, i % 100, 100 + i % 4);
        e = Tischpruefung::pruefen(viele, anspruch(1), sitzVon);
        QCOMPARE(e.angenommen.size(), 4);
        QCOMPARE(e.abgelehnt, 500);
        QVERIFY(Tischpruefung::pruefen(viele, anspruch(1), [](int, int) { return Sitz {}; }).angenommen.isEmpty());
    }

    void sitzeAusDerGruppe()
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("sitzsuche"));
        db.setDatabaseName(QStringLiteral(":memory:"));
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("CREATE TABLE Gruppe (Name TEXT, Serien INTEGER)")));
        QVERIFY(q.exec(QStringLiteral("INSERT INTO Gruppe VALUES ('Alle', 3)")));
        QVERIFY(q.exec(QStringLiteral("CREATE TABLE Serie1 (StartNr INTEGER, Tisch INTEGER)")));
        QVERIFY(q.exec(QStringLiteral("INSERT INTO Serie1 VALUES (100, 4), (101, -1), (102, 0)")));
        // Series 2 is not drawn: all at 0 or sitting out.
        QVERIFY(q.exec(QStringLiteral("CREATE TABLE Serie2 (StartNr INTEGER, Tisch INTEGER)")));
        QVERIFY(q.exec(QStringLiteral("INSERT INTO Serie2 VALUES (100, 0), (101, -1), (102, 0)")));
        QVERIFY(q.exec(QStringLiteral("CREATE TABLE Serie4 (StartNr INTEGER, Tisch INTEGER)")));
        QVERIFY(q.exec(QStringLiteral("INSERT INTO Serie4 VALUES (100, 4)")));
        using Art = Tischpruefung::Sitz::Art;
        {
            Tischpruefung::Sitzsuche suche(db);
            QCOMPARE(suche(1, 100).art, Art::Tisch);
            QCOMPARE(suche(1, 100).tisch, 4);
            QCOMPARE(suche(1, 101).art, Art::Ohne);
            // A late registrant still at 0 in a drawn series has no seat.
            QCOMPARE(suche(1, 102).art, Art::Ohne);
            QCOMPARE(suche(1, 103).art, Art::Unbekannt);
            QCOMPARE(suche(2, 100).art, Art::Offen);
            QCOMPARE(suche(2, 101).art, Art::Offen);
            QCOMPARE(suche(2, 103).art, Art::Unbekannt);
            // A series the group does not have, or whose table is missing.
            QCOMPARE(suche(4, 100).art, Art::Unbekannt);
            QCOMPARE(suche(3, 100).art, Art::Unbekannt);
            QCOMPARE(suche(0, 100).art, Art::Unbekannt);
            // Read once per message: a later change is not seen within it.
            QVERIFY(q.exec(QStringLiteral("UPDATE Serie1 SET Tisch=5 WHERE StartNr=100")));
            QCOMPARE(suche(1, 100).tisch, 4);
            QCOMPARE(Tischpruefung::Sitzsuche(db)(1, 100).tisch, 5);
            // The master database or no database: nobody is seated.
            QCOMPARE(Tischpruefung::Sitzsuche(QSqlDatabase())(1, 100).art, Art::Unbekannt);
        }
        q.clear();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("sitzsuche"));
    }
};

REIZWERK_TEST(TstGrenzen)
#include "tst_grenzen.moc"
