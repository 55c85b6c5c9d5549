// The service module: found beside the build's programs, its functions
// resolved by name, and the wrappers in front of it answering sensibly
// before anything was opened or started.

#include "testumgebung.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QHostAddress>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "season/zipdatei.h"
#include "storage/nachladen.h"
#include "web/server.h"

class TstNachladen : public QObject
{
    Q_OBJECT
private slots:
    void modulUndFunktionen()
    {
        QString fehler;
        QVERIFY2(Nachladen::funktion("reizwerk_zip_leser", &fehler), qPrintable(fehler));
        QVERIFY(Nachladen::funktion("reizwerk_zip_schreiber", &fehler));
        QVERIFY(Nachladen::funktion("reizwerk_web_server", &fehler));
        QVERIFY(Nachladen::funktion("reizwerk_sha256", &fehler));
        QVERIFY(Nachladen::geladen());
        // It came from one of the places the program looks in.
        bool gefunden = false;
        for (const QString& ort : Nachladen::orte())
            gefunden = gefunden || !QDir(ort).entryList({ QStringLiteral("*reizwerk_dienste*") }).isEmpty();
        QVERIFY(gefunden);

        // A name the module does not have is refused with a text naming it.
        fehler.clear();
        QVERIFY(!Nachladen::funktion("reizwerk_gibt_es_nicht", &fehler));
        QVERIFY2(fehler.contains(QStringLiteral("reizwerk_gibt_es_nicht")), qPrintable(fehler));
    }

    // The sums the backups list come from the module; the restore checks
    // them with Qt's SHA-256, so both must agree on every input and split.
    void pruefsummeWieQt()
    {
        {
            Pruefsumme abc;
            abc.hinzufuegen("a", 1);
            abc.hinzufuegen("bc", 2);
            QCOMPARE(abc.hex(), QStringLiteral("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
        }
        QRandomGenerator zufall(4711);
        for (const int groesse : { 0, 1, 63, 64, 65, 65536, 1 << 20 | 17 }) {
            QByteArray daten(groesse, Qt::Uninitialized);
            for (char& c : daten)
                c = char(zufall.bounded(256));
            Pruefsumme modul;
            int ab = 0;
            while (ab < groesse) {
                const int n = qMin(groesse - ab, int(zufall.bounded(1, 100000)));
                modul.hinzufuegen(daten.constData() + ab, n);
                ab += n;
            }
            QCOMPARE(
                modul.hex(), QString::fromLatin1(QCryptographicHash::hash(daten, QCryptographicHash::Sha256).toHex()));
            QBuffer puffer(&daten);
            QVERIFY(puffer.open(QIODevice::ReadOnly));
            Pruefsumme strom;
            QVERIFY(strom.hinzufuegen(puffer));
            QCOMPARE(
                strom.hex(), QString::fromLatin1(QCryptographicHash::hash(daten, QCryptographicHash::Sha256).toHex()));
        }
        // A device that cannot be read is said so.
        QBuffer zu;
        Pruefsumme nichts;
        QVERIFY(!nichts.hinzufuegen(zu));
    }

    void archivNichtGeoeffnet()
    {
        QString fehler;
        ZipLeser leser;
        QByteArray daten("alt");
        QVERIFY(!leser.lesen(QStringLiteral("a.txt"), 100, daten, &fehler));
        QCOMPARE(fehler, QStringLiteral("Archiv nicht geoeffnet"));
        QVERIFY(daten.isEmpty());
        QVERIFY(leser.namen().isEmpty());

        ZipSchreiber schreiber;
        fehler.clear();
        QVERIFY(!schreiber.hinzufuegen(QStringLiteral("a.txt"), "x", &fehler));
        QCOMPARE(fehler, QStringLiteral("Archiv nicht geoeffnet"));
        QVERIFY(!schreiber.schliessen(&fehler));

        // Opened, both go through the module.
        QTemporaryDir ordner;
        const QString datei = ordner.filePath(QStringLiteral("t.zip"));
        QVERIFY2(schreiber.oeffnen(datei, true, &fehler), qPrintable(fehler));
        QVERIFY(schreiber.hinzufuegen(QStringLiteral("a.txt"), "Inhalt", &fehler));
        QVERIFY2(schreiber.schliessen(&fehler), qPrintable(fehler));
        QVERIFY(leser.oeffnen(datei, &fehler));
        QCOMPARE(leser.namen(), QStringList { QStringLiteral("a.txt") });
        QVERIFY(leser.lesen(QStringLiteral("a.txt"), 100, daten, &fehler));
        QCOMPARE(daten, QByteArray("Inhalt"));
        // A second archive through the same reader replaces the first.
        QVERIFY(!leser.oeffnen(ordner.filePath(QStringLiteral("fehlt.zip")), &fehler));
        QVERIFY(!fehler.isEmpty());
        QVERIFY(leser.namen().isEmpty());
    }

    void serverVorDemStart()
    {
        Web::Server server([](const Web::Anfrage&) { return Web::Antwort {}; });
        QVERIFY(!server.laeuft());
        QCOMPARE(server.port(), quint16(0));
        QVERIFY(server.fehlerText().isEmpty());
        // The address rule answers without the server running.
        QVERIFY(server.zugelassen(QHostAddress(QStringLiteral("192.168.1.5"))));
        QVERIFY(!server.zugelassen(QHostAddress(QStringLiteral("203.0.113.7"))));
        server.zulassen([](const QHostAddress&) { return true; });
        QVERIFY(server.zugelassen(QHostAddress(QStringLiteral("203.0.113.7"))));
        server.anhalten();
        QVERIFY(!server.laeuft());
    }
};

REIZWERK_TEST(TstNachladen)
#include "tst_nachladen.moc"
