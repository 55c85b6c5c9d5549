// A restore stopped at each of its file steps leaves the files a kill would
// leave; the real program, started as its own process on them, settles the
// restore before it opens anything and ends up with one whole state: the
// data of before or the restored data.

#include "testumgebung.h"
#include "spieltagbau.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QProcess>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>

#include "season/sicherung.h"
#include "storage/datenbank.h"
#include "storage/pfade.h"
#include "storage/schema.h"

namespace
{


// Rows of Spieler, and whether the day's group is there and sound.
struct Stand {
    int spieler = -1;
    int teilnehmer = -1;
    bool heil = false;
};

Stand lesen(const QString& daten, const QString& tag)
{
    Stand st;
    {
        QSqlDatabase haupt = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("stand_haupt"));
        haupt.setDatabaseName(Pfade::hauptDatenbank(daten));
        haupt.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        QSqlDatabase gruppe = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("stand_gruppe"));
        gruppe.setDatabaseName(tag + QStringLiteral("/Herren.db"));
        gruppe.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (QFile::exists(haupt.databaseName()) && QFile::exists(gruppe.databaseName()) && haupt.open()
            && gruppe.open()) {
            st.heil
                = Turnierbau::wert(haupt, QStringLiteral("PRAGMA integrity_check")).toString() == QLatin1String("ok")
                && Turnierbau::wert(gruppe, QStringLiteral("PRAGMA integrity_check")).toString() == QLatin1String("ok");
            st.spieler = Turnierbau::wert(haupt, QStringLiteral("SELECT COUNT(*) FROM Spieler")).toInt();
            st.teilnehmer = Turnierbau::wert(gruppe, QStringLiteral("SELECT COUNT(*) FROM Teilnehmer")).toInt();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("stand_haupt"));
    QSqlDatabase::removeDatabase(QStringLiteral("stand_gruppe"));
    return st;
}

} // namespace

class TstWiederherstellung : public QObject
{
    Q_OBJECT
private slots:
    // A snapshot of the master database alone (the one before a roster
    // import) replaces only that file: the day's group stays as it is now,
    // byte for byte, at every step an interruption may hit.
    void programmSchliesstUnterbrocheneWiederherstellungAb_data()
    {
        QTest::addColumn<bool>("nurStammdaten");
        QTest::newRow("alles") << false;
        QTest::newRow("stammdaten") << true;
    }
    void programmSchliesstUnterbrocheneWiederherstellungAb()
    {
        QFETCH(bool, nurStammdaten);
        Testumgebung::frischesZuhause();
        const QString daten = Testumgebung::datenOrdner();
        const QString tag = daten + QLatin1Char('/') + Pfade::turnierName(QDate::currentDate());
        QVERIFY(QDir().mkpath(tag));
        auto anlegen = [&](int spieler) { herrenAnlegen(daten, tag, spieler, 2); };
        // The archive holds 12 players and participants; the data of now 8.
        anlegen(12);
        const QString archiv = Testumgebung::zuhause() + QStringLiteral("/stand.zip");
        QString fehler;
        if (nurStammdaten) {
            const QString schnappschuss
                = Sicherung::automatisch(daten, QStringLiteral("Test"), &fehler, Sicherung::Umfang::Stammdaten);
            QVERIFY2(!schnappschuss.isEmpty(), qPrintable(fehler));
            QVERIFY(QFile::rename(schnappschuss, archiv));
        } else {
            QVERIFY2(Sicherung::schreiben(daten, archiv, QStringLiteral("Test"), nullptr, &fehler), qPrintable(fehler));
        }
        QVERIFY(QFile::remove(tag + QStringLiteral("/Herren.db")));
        anlegen(8);
        const QString vorlage = Testumgebung::zuhause() + QStringLiteral("/vorlage");
        QVERIFY(QDir().mkpath(vorlage + QStringLiteral("/tag")));
        QVERIFY(QFile::copy(Pfade::hauptDatenbank(daten), vorlage + QStringLiteral("/reizwerk.db")));
        QVERIFY(QFile::copy(tag + QStringLiteral("/Herren.db"), vorlage + QStringLiteral("/tag/Herren.db")));

        const quint16 port = freierPort();
        {
            QSettings s(QSettings::IniFormat, QSettings::UserScope, Pfade::organisation, Pfade::anwendung);
            s.setValue(Pfade::schluesselLetztesTurnier, tag);
            s.setValue(QStringLiteral("Link/Port"), port);
            s.setValue(QStringLiteral("Link/Adresse"), QStringLiteral("127.0.0.1"));
            s.setValue(QStringLiteral("Web/Port"), 0);
            s.setValue(QStringLiteral("Web/Adresse"), QStringLiteral("127.0.0.1"));
        }

        int schritte = 0;
        {
            Sicherung::Wiederherstellung probe(daten);
            QVERIFY(probe.pruefen(archiv, &fehler));
            schritte = Sicherung::Test::schritte();
        }
        // Steps of the unpacking, then of moving aside and in: a restore of
        // the master database and one group takes a handful.
        schritte += 7;
        int alt = 0, neu = 0;
        for (int n = 1; n <= schritte; ++n) {
            QDir(daten).removeRecursively();
            QVERIFY(QDir().mkpath(tag));
            QVERIFY(QFile::copy(vorlage + QStringLiteral("/reizwerk.db"), Pfade::hauptDatenbank(daten)));
            QVERIFY(QFile::copy(vorlage + QStringLiteral("/tag/Herren.db"), tag + QStringLiteral("/Herren.db")));
            Sicherung::Test::abbrechenBeiSchritt(n);
            bool fertig = false;
            {
                Sicherung::Wiederherstellung r(daten);
                fertig = r.pruefen(archiv, &fehler) && r.einspielen(&fehler);
            }
            Sicherung::Test::abbrechenBeiSchritt(0);
            Testumgebung::verbindungenSchliessen();
            if (fertig)
                break;
            // Whatever step it stopped at, the group was never moved.
            if (nurStammdaten)
                QCOMPARE(Testumgebung::dateiInhalt(tag + QStringLiteral("/Herren.db")),
                    Testumgebung::dateiInhalt(vorlage + QStringLiteral("/tag/Herren.db")));

            QProcess programm;
            programm.setProgram(QStringLiteral(REIZWERK_PROGRAMM));
            programm.setArguments({ QStringLiteral("-platform"), QStringLiteral("offscreen") });
            programm.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            programm.start();
            QVERIFY(programm.waitForStarted(10000));
            // Up once the link's port takes connections; the restore was
            // settled before that.
            QElapsedTimer uhr;
            uhr.start();
            bool oben = false;
            while (!oben && uhr.elapsed() < 30000) {
                QTcpSocket probe;
                probe.connectToHost(QHostAddress::LocalHost, port);
                oben = probe.waitForConnected(200);
                if (!oben)
                    QTest::qWait(50);
            }
            QVERIFY2(oben, qPrintable(QStringLiteral("Schritt %1").arg(n)));
            programm.kill();
            QVERIFY(programm.waitForFinished(10000));

            const Stand st = lesen(daten, tag);
            const QString wo
                = QStringLiteral("Schritt %1: %2 Spieler, %3 Teilnehmer").arg(n).arg(st.spieler).arg(st.teilnehmer);
            QVERIFY2(st.heil, qPrintable(wo));
            if (nurStammdaten) {
                QVERIFY2(st.teilnehmer == 8 && (st.spieler == 8 || st.spieler == 12), qPrintable(wo));
            } else {
                QVERIFY2(st.spieler == st.teilnehmer && (st.spieler == 8 || st.spieler == 12), qPrintable(wo));
            }
            (st.spieler == 8 ? alt : neu)++;
            QVERIFY2(
                QDir(daten).entryList({ QStringLiteral(".wiederherstellen-*") }, QDir::Dirs | QDir::Hidden).isEmpty(),
                qPrintable(wo));
        }
        QVERIFY(alt > 0);
        QVERIFY(neu > 0);
    }
};

REIZWERK_TEST(TstWiederherstellung)
#include "tst_wiederherstellung.moc"
