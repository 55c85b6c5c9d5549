#include "testumgebung.h"

#include <QHostAddress>

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
        // swapped; 107 sits nowhere.
        Tischpruefung::Sitze sitze;
        for (int nr = 100; nr <= 106; ++nr) {
            sitze.insert({ 1, nr }, nr <= 103 ? 1 : 2);
            sitze.insert({ 2, nr }, nr <= 103 ? 2 : 1);
        }
        auto zeile = [](int serie, int punkte, int nr) {
            return QStringLiteral("L|x|%1|%2|a|b|1.5|c|%3").arg(serie).arg(punkte).arg(nr);
        };
        auto immerFrei = [](int) { return true; };

        // Holding table 1: its players of series 1 and the table-1 players of
        // series 2 only.
        Tischpruefung::Ergebnis e = Tischpruefung::pruefen(
            { zeile(1, 10, 100), zeile(1, 20, 104), zeile(2, 30, 104), zeile(2, 40, 100), zeile(1, 50, 107),
                zeile(3, 60, 100), QStringLiteral("kaputt"), zeile(1, 999999, 101) },
            1, sitze, immerFrei);
        QCOMPARE(e.angenommen, QStringList({ zeile(1, 10, 100), zeile(2, 30, 104) }));
        QCOMPARE(e.abgelehnt, 6);
        QCOMPARE(e.tisch, 1);

        // Holding nothing: the first fitting line claims its table, unless
        // another holds it.
        e = Tischpruefung::pruefen(
            { zeile(1, 5, 107), zeile(1, 20, 104), zeile(1, 10, 100), zeile(1, 21, 105) }, 0, sitze, immerFrei);
        QCOMPARE(e.tisch, 2);
        QCOMPARE(e.angenommen, QStringList({ zeile(1, 20, 104), zeile(1, 21, 105) }));
        QCOMPARE(e.abgelehnt, 2);
        e = Tischpruefung::pruefen({ zeile(1, 20, 104), zeile(1, 10, 100) }, 0, sitze, [](int t) { return t != 2; });
        QCOMPARE(e.tisch, 1);
        QCOMPARE(e.angenommen, QStringList { zeile(1, 10, 100) });
        e = Tischpruefung::pruefen({ zeile(1, 20, 104) }, 0, sitze, [](int) { return false; });
        QCOMPARE(e.tisch, 0);
        QVERIFY(e.angenommen.isEmpty());
        QCOMPARE(e.abgelehnt, 1);

        // Of several lines for one player and series the last counts, in
        // the place of the first.
        e = Tischpruefung::pruefen({ zeile(1, 1, 100), zeile(1, 2, 101), zeile(1, 3, 100) }, 1, sitze, immerFrei);
        QCOMPARE(e.angenommen, QStringList({ zeile(1, 3, 100), zeile(1, 2, 101) }));
        QCOMPARE(e.abgelehnt, 0);

        // A flood of lines is cut off unread.
        QStringList viele;
        for (int i = 0; i < Tischpruefung::maxZeilen + 500; ++i)
            viele << zeile(1, i % 100, 100 + i % 4);
        e = Tischpruefung::pruefen(viele, 1, sitze, immerFrei);
        QCOMPARE(e.angenommen.size(), 4);
        QCOMPARE(e.abgelehnt, 500);
        QVERIFY(Tischpruefung::pruefen(viele, 1, {}, immerFrei).angenommen.isEmpty());
    }
};

REIZWERK_TEST(TstGrenzen)
#include "tst_grenzen.moc"
