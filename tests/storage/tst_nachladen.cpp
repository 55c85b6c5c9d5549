// The service module: found beside the build's programs, its functions
// resolved by name, and the wrappers in front of it answering sensibly
// before anything was opened or started.

#include "testumgebung.h"

#include <QDir>
#include <QHostAddress>
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
