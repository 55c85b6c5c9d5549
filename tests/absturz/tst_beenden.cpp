// The real program asked to end by a signal (logout, kill, Ctrl+C) ends as
// when its window is closed: exit code 0, its window's state kept, its lock
// given up, and the next start finds the data folder free.

#include "sperre.h"
#include "testumgebung.h"
#include "spieltagbau.h"

#include <QHostAddress>
#include <QProcess>
#include <QSettings>
#include <QTcpServer>

#include <csignal>

#include "storage/pfade.h"

namespace
{

using Sperre::halter;
using Sperre::wartenAufHalter;

QString sperrDatei()
{
    return Sperre::datei();
}


} // namespace

class TstBeenden : public QObject
{
    Q_OBJECT

    quint16 m_port = 0;

    QSettings einstellungen() const
    {
        return QSettings(QSettings::IniFormat, QSettings::UserScope, Pfade::organisation, Pfade::anwendung);
    }

    void starten(QProcess& p)
    {
        p.setProgram(QStringLiteral(REIZWERK_PROGRAMM));
        p.setArguments({ QStringLiteral("-platform"), QStringLiteral("offscreen") });
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start();
    }

    // The program is up: it holds the lock and its link server takes connections.
    bool laeuft(QProcess& p)
    {
        if (!p.waitForStarted(10000) || !wartenAufHalter(p.processId()))
            return false;
        QElapsedTimer uhr;
        uhr.start();
        while (uhr.elapsed() < 30000) {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, m_port);
            if (probe.waitForConnected(200))
                return true;
            QTest::qWait(50);
        }
        return false;
    }

private slots:
    void init()
    {
        Testumgebung::frischesZuhause();
        m_port = freierPort();
        QSettings s(QSettings::IniFormat, QSettings::UserScope, Pfade::organisation, Pfade::anwendung);
        s.setValue(QStringLiteral("Link/Port"), m_port);
        s.setValue(QStringLiteral("Link/Adresse"), QStringLiteral("127.0.0.1"));
        s.setValue(QStringLiteral("Web/Port"), 0);
        s.setValue(QStringLiteral("Web/Adresse"), QStringLiteral("127.0.0.1"));
    }

    void endetSauberAufSignal_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
    }

    void endetSauberAufSignal()
    {
        QFETCH(int, signal);
        QVERIFY(!einstellungen().contains(QStringLiteral("Fenster/Groesse")));
        QProcess programm;
        starten(programm);
        QVERIFY2(laeuft(programm), "Das Programm kommt nicht hoch");

        QCOMPARE(::kill(pid_t(programm.processId()), signal), 0);
        QVERIFY(programm.waitForFinished(30000));
        QCOMPARE(programm.exitStatus(), QProcess::NormalExit);
        QCOMPARE(programm.exitCode(), 0);
        QVERIFY2(!QFile::exists(sperrDatei()), "Die Sperre blieb liegen");
        // It went the way of a closed window, which keeps the window's size.
        QVERIFY(einstellungen().contains(QStringLiteral("Fenster/Groesse")));
        // Its link server is closed: the port is free again.
        QTcpServer danach;
        QVERIFY(danach.listen(QHostAddress::LocalHost, m_port));
        danach.close();

        // The next start takes the folder without a stale lock to recognise.
        QProcess wieder;
        starten(wieder);
        QVERIFY(laeuft(wieder));
        wieder.terminate(); // SIGTERM
        QVERIFY(wieder.waitForFinished(30000));
        QCOMPARE(wieder.exitStatus(), QProcess::NormalExit);
        QCOMPARE(wieder.exitCode(), 0);
        QVERIFY(!QFile::exists(sperrDatei()));
    }
};

REIZWERK_TEST(TstBeenden)
#include "tst_beenden.moc"
