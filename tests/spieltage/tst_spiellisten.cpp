#include "testumgebung.h"

#include <QDir>
#include <QStatusBar>
#include <QTemporaryDir>

#include "../web/webhilfe.h"
#include "app/mainwindow.h"
#include "storage/spiellisten.h"

namespace
{

using E = SpielListen::Ablage::Ergebnis;

std::function<std::optional<QByteArray>()> bytes(const QByteArray& b)
{
    return [b]() { return std::optional<QByteArray>(b); };
}

} // namespace

class TstSpielListen : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    // Who may replace which file: a device its own; another device's file
    // stays beside the new one; the table app's file is never replaced by a
    // device. The record survives a new start.
    void wemGehoertWelcheDatei()
    {
        QTemporaryDir tag;
        const QString ordner = tag.filePath(SpielListen::ordnerName);
        auto inhalt = [&](const QString& n) { return Testumgebung::dateiInhalt(ordner + QLatin1Char('/') + n); };
        {
            SpielListen::Ablage a;
            QString beiseite;
            QCOMPARE(a.vomGeraet(tag.path(), QStringLiteral("10.0.0.1"), QStringLiteral("l.txt"), 3, bytes("a1\n"),
                         true, &beiseite),
                E::Gespeichert);
            QCOMPARE(a.vomGeraet(tag.path(), QStringLiteral("10.0.0.1"), QStringLiteral("l.txt"), 3, bytes("a2\n"),
                         true, &beiseite),
                E::Gespeichert);
            QCOMPARE(inhalt(QStringLiteral("l.txt")), QByteArray("a2\n"));
            QVERIFY(beiseite.isEmpty());
            QCOMPARE(a.vomGeraet(tag.path(), QStringLiteral("10.0.0.2"), QStringLiteral("l.txt"), 3, bytes("b1\n"),
                         true, &beiseite),
                E::Beiseitegelegt);
            QCOMPARE(beiseite, QStringLiteral("l.txt.1"));
            QCOMPARE(inhalt(QStringLiteral("l.txt")), QByteArray("b1\n"));
            QCOMPARE(inhalt(QStringLiteral("l.txt.1")), QByteArray("a2\n"));
            QCOMPARE(a.wer(QStringLiteral("l.txt.1")), QStringLiteral("10.0.0.1"));

            // The table app's list: a device's file of the name goes beside it.
            QCOMPARE(a.vomTisch(tag.path(), QStringLiteral("l.txt"), "tisch\n", &beiseite), E::Beiseitegelegt);
            QCOMPARE(beiseite, QStringLiteral("l.txt.2"));
            QCOMPARE(inhalt(QStringLiteral("l.txt.2")), QByteArray("b1\n"));
            QCOMPARE(a.vomTisch(tag.path(), QStringLiteral("l.txt"), "tisch 2\n"), E::Gespeichert);
            QCOMPARE(
                a.vomGeraet(tag.path(), QStringLiteral("10.0.0.2"), QStringLiteral("l.txt"), 3, bytes("b2\n"), true),
                E::Geschuetzt);
            QCOMPARE(inhalt(QStringLiteral("l.txt")), QByteArray("tisch 2\n"));
            // The record is no file a device may write.
            QCOMPARE(
                a.vomGeraet(tag.path(), QStringLiteral("10.0.0.2"), SpielListen::herkunftDatei, 1, bytes("x"), false),
                E::Ungueltig);
        }
        // A new start knows who wrote what.
        SpielListen::Ablage a;
        QCOMPARE(a.vomGeraet(tag.path(), QStringLiteral("10.0.0.1"), QStringLiteral("l.txt"), 3, bytes("a3\n"), true),
            E::Geschuetzt);
        QCOMPARE(a.vomGeraet(tag.path(), QStringLiteral("10.0.0.2"), QStringLiteral("l.txt.1"), 3, bytes("b3\n"), true),
            E::Beiseitegelegt);
        QCOMPARE(inhalt(QStringLiteral("l.txt.1.1")), QByteArray("a2\n"));
        QCOMPARE(a.vomGeraet(tag.path(), QStringLiteral("10.0.0.2"), QStringLiteral("l.txt.1"), 3, bytes("b4\n"), true),
            E::Gespeichert);
        // A file from before the record was kept belongs to nobody known and
        // is kept too.
        QFile alt(ordner + QStringLiteral("/alt.txt"));
        QVERIFY(alt.open(QIODevice::WriteOnly));
        alt.write("vorher\n");
        alt.close();
        SpielListen::Ablage b;
        QCOMPARE(b.vomGeraet(tag.path(), QStringLiteral("10.0.0.1"), QStringLiteral("alt.txt"), 2, bytes("a\n"), true),
            E::Beiseitegelegt);
        QCOMPARE(inhalt(QStringLiteral("alt.txt.1")), QByteArray("vorher\n"));
    }

    // One device cannot take the day's room: each has its own share, and the
    // files it keeps aside for others still count for their writers.
    void jedesGeraetSeinAnteil()
    {
        QTemporaryDir tag;
        SpielListen::Ablage a(6, 1000, 3, 300);
        const QByteArray hundert(100, 'x');
        auto von = [&](const char* geraet, const QString& name, const QByteArray& b) {
            return a.vomGeraet(tag.path(), QString::fromLatin1(geraet), name, b.size(), bytes(b), false);
        };
        QCOMPARE(von("10.0.0.1", QStringLiteral("1"), hundert), E::Gespeichert);
        QCOMPARE(von("10.0.0.1", QStringLiteral("2"), hundert), E::Gespeichert);
        QCOMPARE(von("10.0.0.1", QStringLiteral("3"), hundert), E::Gespeichert);
        QCOMPARE(von("10.0.0.1", QStringLiteral("4"), QByteArray(1, 'x')), E::VollGeraet);
        // Its own file is replaced within its share.
        QCOMPARE(von("10.0.0.1", QStringLiteral("3"), QByteArray(100, 'y')), E::Gespeichert);
        QCOMPARE(von("10.0.0.1", QStringLiteral("3"), QByteArray(101, 'y')), E::VollGeraet);
        // Another device is served.
        QCOMPARE(von("10.0.0.2", QStringLiteral("1"), hundert), E::Beiseitegelegt);
        QCOMPARE(von("10.0.0.2", QStringLiteral("5"), hundert), E::Gespeichert);
        // Data that does not match its announced size is not stored.
        QCOMPARE(a.vomGeraet(tag.path(), QStringLiteral("10.0.0.3"), QStringLiteral("8"), 5, bytes("1234"), false),
            E::Ungueltig);
        QVERIFY(!QFile::exists(tag.filePath(QStringLiteral("SpielListen/8"))));
        // The day holds six files in all, whoever wrote them.
        QCOMPARE(von("10.0.0.3", QStringLiteral("6"), hundert), E::Gespeichert);
        QCOMPARE(von("10.0.0.3", QStringLiteral("7"), hundert), E::VollTag);
        // A file that would not fit is never unpacked.
        bool gefragt = false;
        QCOMPARE(a.vomGeraet(
                     tag.path(), QStringLiteral("10.0.0.4"), QStringLiteral("9"), 50,
                     [&]() {
                         gefragt = true;
                         return std::optional<QByteArray>(QByteArray(50, 'z'));
                     },
                     false),
            E::VollTag);
        QVERIFY(!gefragt);
    }

    // Over the link: a companion's list replaced by another device stays
    // beside it, and the status bar names the kept file (who may replace
    // what: wemGehoertWelcheDatei).
    void ueberDenLink()
    {
        Fenster w;
        w.gruppe(4, 2);
        auto senden = [&](const QString& von, const QString& text) {
            QVERIFY(QMetaObject::invokeMethod(w.get(), "appendMessage", Q_ARG(QString, von), Q_ARG(QString, text)));
        };
        const QString ordner = w->turnierOrdner() + QStringLiteral("/SpielListen");
        senden(QStringLiteral("Listenbote@192.168.1.5:4000"), QStringLiteral("16:192.168.1.5:Alle$t1.txt@eins"));
        QCOMPARE(Testumgebung::dateiInhalt(ordner + QStringLiteral("/t1.txt")), QByteArray("eins\n"));
        senden(QStringLiteral("Listenbote@192.168.1.6:4000"), QStringLiteral("16:192.168.1.6:Alle$t1.txt@zwei"));
        QCOMPARE(Testumgebung::dateiInhalt(ordner + QStringLiteral("/t1.txt")), QByteArray("zwei\n"));
        QCOMPARE(Testumgebung::dateiInhalt(ordner + QStringLiteral("/t1.txt.1")), QByteArray("eins\n"));
        QVERIFY2(w->statusBar()->currentMessage().contains(QStringLiteral("t1.txt.1")),
            qPrintable(w->statusBar()->currentMessage()));
    }

    // The table app's list of a table: a device's file of that name stays
    // beside it, and no device replaces it afterwards.
    void tischAppListeBleibt()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(7, 3);
        Turnierbau::sitze(db, 1,
            { { 100, 1, 1 }, { 101, 1, 2 }, { 102, 1, 3 }, { 103, 1, 4 }, { 104, 2, 1 }, { 105, 2, 2 },
                { 106, 2, 3 } });
        auto senden = [&](const QString& text) {
            QVERIFY(QMetaObject::invokeMethod(w.get(), "appendMessage",
                Q_ARG(QString, QStringLiteral("Listenbote@192.168.1.5:4000")), Q_ARG(QString, text)));
        };
        const QString datei = w->turnierOrdner() + QStringLiteral("/SpielListen/Alle_Serie1_Tisch2.txt");
        senden(QStringLiteral("16:192.168.1.5:Alle$Alle_Serie1_Tisch2.txt@vom Geraet"));
        QCOMPARE(Testumgebung::dateiInhalt(datei), QByteArray("vom Geraet\n"));

        QString adresse = w->tischAdresse(QStringLiteral("Alle"), 1, 2);
        adresse.replace(QLatin1String("/tisch?"), QStringLiteral("/api/liste?"));
        const HttpAntwort a = http(QStringLiteral("POST"), adresse,
            R"({"spiele":[{"spieler":104,"wert":23,"gewonnen":true},{"spieler":105,"wert":24,"gewonnen":false}]})");
        QCOMPARE(a.status, 200);
        const QByteArray tischListe = Testumgebung::dateiInhalt(datei);
        QVERIFY(tischListe.contains("Tisch 2"));
        QCOMPARE(Testumgebung::dateiInhalt(datei + QStringLiteral(".1")), QByteArray("vom Geraet\n"));
        QVERIFY2(w->statusBar()->currentMessage().contains(QStringLiteral("Alle_Serie1_Tisch2.txt.1")),
            qPrintable(w->statusBar()->currentMessage()));

        // A device's file of that name no longer replaces the table's list.
        senden(QStringLiteral("16:192.168.1.5:Alle$Alle_Serie1_Tisch2.txt@spaeter"));
        QCOMPARE(Testumgebung::dateiInhalt(datei), tischListe);
        QVERIFY2(w->statusBar()->currentMessage().contains(QStringLiteral("Tisch-App")),
            qPrintable(w->statusBar()->currentMessage()));
        QVERIFY(!QFile::exists(datei + QStringLiteral(".2")));
    }
};

REIZWERK_TEST(TstSpielListen)
#include "tst_spiellisten.moc"
