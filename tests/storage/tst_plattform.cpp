// What depends on the operating system: a file only its owner may read, and
// the end signals delivered through the event loop.

#include "testumgebung.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QSignalSpy>

#include <csignal>

#include "storage/plattform.h"
#include "web/tischapp.h"

namespace
{

constexpr QFileDevice::Permissions nurBesitzer = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions andere = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
    | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;

// The current disposition of a signal.
void (*handlerVon(int signal))(int)
{
    struct sigaction sa {
    };
    sigaction(signal, nullptr, &sa);
    return sa.sa_handler;
}

} // namespace

class TstPlattform : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    // The table app's secret is private from its first byte on, also when it
    // replaces a file that others could read.
    void geheimNurFuerBesitzer()
    {
        const QString ordner = Testumgebung::zuhause() + QStringLiteral("/tag");
        QVERIFY(QDir().mkpath(ordner));
        const QString pfad = QDir(ordner).filePath(Web::Schluessel::dateiName);

        Web::Schluessel s;
        QVERIFY(s.laden(ordner, true));
        QVERIFY(s.geladen());
        QCOMPARE(QFileInfo(pfad).permissions() & andere, QFileDevice::Permissions());
        QVERIFY(QFileInfo(pfad).permissions() & QFileDevice::ReadOwner);

        // A damaged secret readable by all is replaced by a private one.
        {
            QFile f(pfad);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("kaputt\n");
        }
        QVERIFY(QFile::setPermissions(pfad, nurBesitzer | QFileDevice::ReadGroup | QFileDevice::ReadOther));
        QVERIFY(s.laden(ordner, true));
        QCOMPARE(QFileInfo(pfad).permissions() & andere, QFileDevice::Permissions());
        QVERIFY(Testumgebung::dateiInhalt(pfad) != "kaputt\n");

        // The call itself, on a file being written.
        QSaveFile datei(QDir(ordner).filePath(QStringLiteral("x")));
        QVERIFY(datei.open(QIODevice::WriteOnly));
        QVERIFY(Plattform::nurFuerBesitzer(datei));
        datei.write("geheim");
        QVERIFY(datei.commit());
        QCOMPARE(QFileInfo(datei.fileName()).permissions() & andere, QFileDevice::Permissions());
    }

    void endeSignaleKommenUeberDieEreignisschleife_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
    }

    void endeSignaleKommenUeberDieEreignisschleife()
    {
        QFETCH(int, signal);
        const auto vorher = handlerVon(signal);
        {
            Plattform::Beendensignale signale;
            QVERIFY(signale.aktiv());
            QVERIFY(handlerVon(signal) != vorher);
            QSignalSpy spy(&signale, &Plattform::Beendensignale::beendenVerlangt);
            // Handled, not fatal: the process lives on and hears of it in the
            // event loop, not inside the handler. Several before the loop
            // runs are one request.
            QCOMPARE(::raise(signal), 0);
            QCOMPARE(::raise(signal), 0);
            QCOMPARE(spy.count(), 0);
            QVERIFY(spy.wait(5000));
            QTest::qWait(50);
            QCOMPARE(spy.count(), 1);
            QCOMPARE(spy.first().first().toInt(), signal);
            // Asked once, the next signal would end the process at once.
            QVERIFY(handlerVon(signal) == vorher);

            // A second object of the process does not take the handlers over.
            Plattform::Beendensignale zweite;
            QVERIFY(!zweite.aktiv());
        }
        // Gone with the object: the handlers the process had before are back.
        QVERIFY(handlerVon(signal) == vorher);
        Plattform::Beendensignale wieder;
        QVERIFY(wieder.aktiv());
    }
};

REIZWERK_TEST(TstPlattform)
#include "tst_plattform.moc"
