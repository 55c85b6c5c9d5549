// Runs the real program as its own process on a prepared match day, sends
// results from a companion over loopback, kills the program with SIGKILL in
// the middle of that traffic and restarts it: what was stored stays stored,
// every database stays sound, and the group reopens.

#include "testumgebung.h"
#include "spieltagbau.h"

#include <QHostAddress>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QSqlQuery>
#include <QTcpServer>

#include "../link/begleiter.h"
#include "storage/datenbank.h"
#include "storage/pfade.h"
#include "storage/schema.h"

namespace
{

constexpr int Spieler = 40;
constexpr int Serien = 2;


// A result line: nine parts, series in part 2, points in 3, costs in 6,
// start number in 8.
QString zeile(int serie, int punkte, double kosten, int startNr)
{
    return QStringLiteral("x|y|%1|%2|a|b|%3|c|%4").arg(serie).arg(punkte).arg(kosten, 0, 'f', 1).arg(startNr);
}

struct Stand {
    QHash<int, int> punkte; // start number -> points of the series under test
    bool ok = true;
    QString fehler;
};

} // namespace

class TstAbsturz : public QObject
{
    Q_OBJECT

    QString m_tag;
    quint16 m_port = 0;

    void spieltagVorbereiten()
    {
        Testumgebung::frischesZuhause();
        const QString daten = Testumgebung::datenOrdner();
        m_tag = daten + QStringLiteral("/") + Pfade::turnierName(QDate::currentDate());
        QVERIFY(QDir().mkpath(m_tag));
        herrenAnlegen(daten, m_tag, Spieler, Serien);
        if (QTest::currentTestFailed())
            return;
        {
            QSqlDatabase gruppe
                = Db::oeffnen(QStringLiteral("vorbereitung_gruppe"), m_tag + QStringLiteral("/Herren.db"));
            // Both series are drawn: table 1 + i/4, seat i%4 + 1.
            for (int i = 0; i < Spieler; ++i)
                for (int serie = 1; serie <= Serien; ++serie)
                    QVERIFY(Db::ausfuehren(gruppe,
                        QStringLiteral("UPDATE Serie%1 SET Tisch=?, TischIntern=? WHERE StartNr=?").arg(serie),
                        { 1 + i / 4, i % 4 + 1, 100 + i }));
        }
        Testumgebung::verbindungenSchliessen();
        m_port = freierPort();
        QSettings s(QSettings::IniFormat, QSettings::UserScope, Pfade::organisation, Pfade::anwendung);
        s.setValue(Pfade::schluesselLetztesTurnier, m_tag);
        s.setValue(QStringLiteral("Link/Port"), m_port);
        s.setValue(QStringLiteral("Link/Adresse"), QStringLiteral("127.0.0.1"));
        // The table app's server too stays on loopback, at a free port.
        s.setValue(QStringLiteral("Web/Port"), 0);
        s.setValue(QStringLiteral("Web/Adresse"), QStringLiteral("127.0.0.1"));
    }

    bool starten(QProcess& programm, Begleiter& b)
    {
        programm.setProgram(QStringLiteral(REIZWERK_PROGRAMM));
        programm.setArguments({ QStringLiteral("-platform"), QStringLiteral("offscreen") });
        programm.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        programm.start();
        if (!programm.waitForStarted(10000))
            return false;
        // The program is up once its port takes connections and it answers a join.
        QElapsedTimer uhr;
        uhr.start();
        while (uhr.elapsed() < 30000) {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, m_port);
            if (probe.waitForConnected(200)) {
                probe.abort();
                return b.anmelden(m_port);
            }
            QTest::qWait(50);
        }
        return false;
    }

    // Reads the stored state on a connection of the test's own and checks
    // what must hold after any crash.
    Stand pruefen(int serie)
    {
        Stand st;
        auto fehler = [&st](const QString& text) {
            st.ok = false;
            st.fehler += text + QLatin1Char('\n');
        };
        {
            QSqlDatabase haupt = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("pruef_haupt"));
            haupt.setDatabaseName(Pfade::hauptDatenbank(Testumgebung::datenOrdner()));
            QSqlDatabase gruppe = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("pruef_gruppe"));
            gruppe.setDatabaseName(m_tag + QStringLiteral("/Herren.db"));
            if (!haupt.open() || !gruppe.open())
                fehler(QStringLiteral("Datenbank laesst sich nicht oeffnen"));
            for (QSqlDatabase* db : { &haupt, &gruppe })
                if (Turnierbau::wert(*db, QStringLiteral("PRAGMA integrity_check")).toString() != QLatin1String("ok"))
                    fehler(QStringLiteral("integrity_check: %1").arg(db->databaseName()));
            if (Turnierbau::wert(haupt, QStringLiteral("SELECT COUNT(*) FROM Spieler")).toInt() != Spieler)
                fehler(QStringLiteral("Spielerliste veraendert"));
            // No half-written group: every participant has his row in every series.
            for (const QString& t :
                { QStringLiteral("Teilnehmer"), QStringLiteral("Serie1"), QStringLiteral("Serie2") })
                if (Turnierbau::wert(gruppe, QStringLiteral("SELECT COUNT(*) FROM %1").arg(t)).toInt() != Spieler)
                    fehler(QStringLiteral("Zeilenzahl in %1").arg(t));
            // A series row and its sum are stored together or not at all.
            QSqlQuery q(gruppe);
            q.exec(
                QStringLiteral("SELECT t.StartNr, t.SummePunkte, s1.Punkte + s2.Punkte, s%1.Punkte FROM Teilnehmer t "
                               "JOIN Serie1 s1 ON s1.StartNr=t.StartNr JOIN Serie2 s2 ON s2.StartNr=t.StartNr")
                    .arg(serie));
            while (q.next()) {
                if (q.value(1).toInt() != q.value(2).toInt())
                    fehler(QStringLiteral("Summe von %1: %2 statt %3")
                               .arg(q.value(0).toInt())
                               .arg(q.value(1).toInt())
                               .arg(q.value(2).toInt()));
                st.punkte.insert(q.value(0).toInt(), q.value(3).toInt());
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("pruef_haupt"));
        QSqlDatabase::removeDatabase(QStringLiteral("pruef_gruppe"));
        return st;
    }

    int gespeichert(int serie, const QHash<int, int>& erwartet)
    {
        const Stand st = pruefen(serie);
        int n = 0;
        for (auto it = erwartet.cbegin(); it != erwartet.cend(); ++it)
            if (st.punkte.value(it.key()) == it.value())
                ++n;
        return n;
    }

private slots:
    void absturzMittenImVerkehr()
    {
        spieltagVorbereiten();
        QHash<int, int> bestaetigt; // results seen stored before a kill
        QRandomGenerator zufall(20261206);
        for (int runde = 0; runde < 5; ++runde) {
            QProcess programm;
            Begleiter b;
            QVERIFY2(starten(programm, b), "Das Programm meldet sich nicht an der Verbindung");
            QVERIFY(!b.bis(QStringLiteral("4:")).isEmpty());
            // The group reopened: it answers for a drawn table with its players.
            b.senden(QStringLiteral("5:127.0.0.1:x$%1@1").arg(1 + runde));
            const QStringList antwort = b.bis(QStringLiteral("6:"));
            QVERIFY2(!antwort.isEmpty(), "Keine Tischliste nach dem Neustart");
            QCOMPARE(antwort.last().section(QLatin1Char('$'), 1).split(QLatin1Char('@')).size(), 2 + 4);

            // Everything confirmed before earlier kills is still there.
            const Stand vorher = pruefen(2);
            QVERIFY2(vorher.ok, qPrintable(vorher.fehler));
            for (auto it = bestaetigt.cbegin(); it != bestaetigt.cend(); ++it)
                QCOMPARE(vorher.punkte.value(it.key()), it.value());

            // Ten messages of four lines each, every player once, series 2;
            // the companion takes each table before sending its results.
            QHash<int, int> gesendet;
            const int killNach = runde == 0 ? 0 : int(zufall.bounded(1, 10));
            for (int m = 0; m < 10; ++m) {
                QStringList zeilen;
                for (int k = 0; k < 4; ++k) {
                    const int nr = 100 + m * 4 + k;
                    const int punkte = 1000 * (runde + 1) + m * 4 + k;
                    zeilen << zeile(2, punkte, 0.5 * k, nr);
                    gesendet.insert(nr, punkte);
                }
                b.senden(QStringLiteral("5:127.0.0.1:x$%1@2").arg(m + 1));
                b.senden(QStringLiteral("7:127.0.0.1:Herren$") + zeilen.join(QLatin1Char('@')));
                if (m == killNach)
                    break;
            }
            // Kill at a different point each round: at once, or once some of it is stored.
            if (runde % 2 == 1) {
                const int ziel = int(zufall.bounded(1, 4 * (killNach + 1) + 1));
                b.warte([&] { return gespeichert(2, gesendet) >= ziel; }, 10000);
            }
            const Stand davor = pruefen(2);
            for (auto it = gesendet.cbegin(); it != gesendet.cend(); ++it)
                if (davor.punkte.value(it.key()) == it.value())
                    bestaetigt.insert(it.key(), it.value());
            programm.kill();
            QVERIFY(programm.waitForFinished(10000));
            QCOMPARE(programm.exitStatus(), QProcess::CrashExit);

            const Stand danach = pruefen(2);
            QVERIFY2(danach.ok, qPrintable(danach.fehler));
            for (auto it = bestaetigt.cbegin(); it != bestaetigt.cend(); ++it)
                QCOMPARE(danach.punkte.value(it.key()), it.value());
            // Whatever else is there is either the old or the sent value.
            for (auto it = gesendet.cbegin(); it != gesendet.cend(); ++it) {
                const int wert = danach.punkte.value(it.key());
                QVERIFY(wert == it.value() || wert < 1000 * (runde + 1));
            }
        }
        // The rounds that waited did see results stored, so the checks above
        // had something to hold on to.
        QVERIFY2(bestaetigt.size() >= 2, qPrintable(QString::number(bestaetigt.size())));
    }

    // A damaged value in the group file of the last match day neither stops
    // the start nor makes it grow without bound: the program comes up and
    // answers on the link.
    void beschaedigteGruppeStartet()
    {
        for (const QString& schaden :
            { QStringLiteral("UPDATE Gruppe SET Serien=-2"), QStringLiteral("UPDATE Gruppe SET Serien=100000"),
                QStringLiteral("UPDATE Gruppe SET LetzterTisch=2147483646") }) {
            spieltagVorbereiten();
            {
                QSqlDatabase gruppe = Db::oeffnen(QStringLiteral("schaden"), m_tag + QStringLiteral("/Herren.db"));
                QVERIFY(Db::ausfuehren(gruppe, schaden));
            }
            Testumgebung::verbindungenSchliessen();
            QProcess programm;
            Begleiter b;
            QVERIFY2(starten(programm, b), qPrintable(schaden));
            QTest::qWait(300);
            QCOMPARE(programm.state(), QProcess::Running);
            programm.kill();
            QVERIFY(programm.waitForFinished(10000));
        }
    }
};

REIZWERK_TEST(TstAbsturz)
#include "tst_absturz.moc"
