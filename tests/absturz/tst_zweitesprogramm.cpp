// Two copies of the real program on one data folder: the second says that
// Reizwerk already runs there and ends; after the first was killed, its lock
// is taken over by the next start.

#include "sperre.h"
#include "testumgebung.h"

#include <QHostAddress>
#include <QProcess>
#include <QSettings>
#include <QTcpServer>

#include "storage/pfade.h"

namespace
{

using Sperre::halter;
using Sperre::wartenAufHalter;

void starten(QProcess& p)
{
    p.setProgram(QStringLiteral(REIZWERK_PROGRAMM));
    p.setArguments({ QStringLiteral("-platform"), QStringLiteral("offscreen") });
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start();
}

} // namespace

class TstZweitesProgramm : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        Testumgebung::frischesZuhause();
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        QSettings s(QSettings::IniFormat, QSettings::UserScope, Pfade::organisation, Pfade::anwendung);
        s.setValue(QStringLiteral("Link/Port"), probe.serverPort());
        s.setValue(QStringLiteral("Link/Adresse"), QStringLiteral("127.0.0.1"));
    }

    void zweitesEndetVerwaisteSperreWirdUebernommen()
    {
        QProcess erstes;
        starten(erstes);
        QVERIFY(erstes.waitForStarted(10000));
        QVERIFY(wartenAufHalter(erstes.processId()));

        QProcess zweites;
        starten(zweites);
        QVERIFY(zweites.waitForStarted(10000));
        QVERIFY(zweites.waitForFinished(30000));
        QCOMPARE(zweites.exitStatus(), QProcess::NormalExit);
        QCOMPARE(zweites.exitCode(), 1);
        QVERIFY(zweites.readAll().contains("Reizwerk laeuft bereits mit dem Datenordner"));
        QCOMPARE(halter(), erstes.processId());
        QCOMPARE(erstes.state(), QProcess::Running);

        // A crash leaves the lock behind; the next start takes it over.
        const qint64 erster = erstes.processId();
        erstes.kill();
        QVERIFY(erstes.waitForFinished(10000));
        QCOMPARE(halter(), erster);
        QProcess drittes;
        starten(drittes);
        QVERIFY(drittes.waitForStarted(10000));
        QVERIFY(wartenAufHalter(drittes.processId()));
        QVERIFY(!drittes.waitForFinished(500));
        drittes.kill();
        drittes.waitForFinished(10000);
    }
};

REIZWERK_TEST(TstZweitesProgramm)
#include "tst_zweitesprogramm.moc"
