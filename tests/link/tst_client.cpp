#include "testumgebung.h"

#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTcpServer>
#include <QUdpSocket>

#include <memory>
#include <vector>

#include "begleiter.h"
#include "link/client.h"

class TstClient : public QObject
{
    Q_OBJECT
private slots:
    void anmeldenSendenAbmelden()
    {
        Client c(QStringLiteral("Reizwerk"));
        QVERIFY(c.starten(QHostAddress::LocalHost, 0));
        QVERIFY(c.lauscht());
        QVERIFY(c.port() > 0);
        QSignalSpy neu(&c, &Client::newParticipant);
        QSignalSpy nachricht(&c, &Client::newMessage);
        QSignalSpy weg(&c, &Client::participantLeft);

        // A peer that has not sent its name is no participant and hears nothing.
        Begleiter stumm;
        stumm.socket.connectToHost(QHostAddress::LocalHost, c.port());
        QVERIFY(stumm.warte([&] { return stumm.socket.state() == QAbstractSocket::ConnectedState; }));

        Begleiter b;
        QVERIFY(b.anmelden(c.port(), QStringLiteral("Listenbote")));
        QCOMPARE(neu.count(), 1);
        const QString nick = QStringLiteral("Listenbote@127.0.0.1:%1").arg(b.socket.localPort());
        QCOMPARE(neu.at(0).at(0).toString(), nick);
        QCOMPARE(c.anzahlTeilnehmer(), 1);

        b.senden(QStringLiteral("Grüße $@: aus Tisch 7"));
        QVERIFY(b.warte([&] { return nachricht.count() == 1; }));
        QCOMPARE(nachricht.at(0).at(0).toString(), nick);
        QCOMPARE(nachricht.at(0).at(1).toString(), QStringLiteral("Grüße $@: aus Tisch 7"));

        // A frame that arrives byte by byte is still one message; an empty
        // frame is one too.
        const QByteArray f = Begleiter::frame("langsam");
        for (char byte : f) {
            b.roh(QByteArray(1, byte));
            QTest::qWait(1);
        }
        b.roh(Begleiter::frame(QByteArray()));
        QVERIFY(b.warte([&] { return nachricht.count() == 3; }));
        QCOMPARE(nachricht.at(1).at(1).toString(), QStringLiteral("langsam"));
        QCOMPARE(nachricht.at(2).at(1).toString(), QString());

        c.sendMessage(QStringLiteral("an alle ä"));
        QCOMPARE(b.frames(1), QStringList { QStringLiteral("an alle ä") });
        QTest::qWait(50);
        QCOMPARE(stumm.socket.bytesAvailable(), 0);

        b.socket.disconnectFromHost();
        QVERIFY(b.warte([&] { return weg.count() == 1; }));
        QCOMPARE(weg.at(0).at(0).toString(), nick);
        QCOMPARE(c.anzahlTeilnehmer(), 0);
        // Leaving before the name is no leave of a participant.
        stumm.socket.disconnectFromHost();
        QTest::qWait(50);
        QCOMPARE(weg.count(), 1);
    }

    void zuLangerFrameTrennt()
    {
        Client c(QStringLiteral("Reizwerk"));
        QVERIFY(c.starten(QHostAddress::LocalHost, 0));
        QSignalSpy nachricht(&c, &Client::newMessage);
        QSignalSpy weg(&c, &Client::participantLeft);
        Begleiter b;
        QVERIFY(b.anmelden(c.port()));
        QByteArray kopf(4, Qt::Uninitialized);
        qToBigEndian<quint32>(Client::maxFrame + 1, kopf.data());
        b.roh(kopf + "abc");
        QVERIFY(b.getrennt());
        QVERIFY(b.warte([&] { return weg.count() == 1; }));
        QCOMPARE(nachricht.count(), 0);

        // Exactly the limit is still taken.
        Begleiter gross;
        QVERIFY(gross.anmelden(c.port()));
        gross.roh(Begleiter::frame(QByteArray(int(Client::maxFrame), 'x')));
        QVERIFY(gross.warte([&] { return nachricht.count() == 1; }, 20000));
        QCOMPARE(nachricht.at(0).at(1).toString().size(), int(Client::maxFrame));
    }

    // Silent connections and frames that never end are closed, so they
    // cannot hold the connection slots for good.
    void stilleVerbindungenEnden()
    {
        Client c(QStringLiteral("Reizwerk"));
        QVERIFY(c.starten(QHostAddress::LocalHost, 0));
        Client::Grenzen g = c.grenzen();
        QCOMPARE(g.namensFristMs, 10000);
        QCOMPARE(g.frameFristMs, 30000);
        g.namensFristMs = 1500;
        g.frameFristMs = 1000;
        c.grenzenSetzen(g);
        QSignalSpy neu(&c, &Client::newParticipant);
        QSignalSpy weg(&c, &Client::participantLeft);

        // Every slot taken by connections that never name themselves.
        std::vector<std::unique_ptr<Begleiter>> stumme;
        for (int i = 0; i < Client::maxVerbindungen; ++i) {
            stumme.push_back(std::make_unique<Begleiter>());
            stumme.back()->socket.connectToHost(QHostAddress::LocalHost, c.port());
        }
        QVERIFY(QTest::qWaitFor([&] { return c.anzahlVerbindungen() == Client::maxVerbindungen; }, 5000));
        Begleiter abgewiesen;
        abgewiesen.socket.connectToHost(QHostAddress::LocalHost, c.port());
        // Refused before any deadline could have freed a slot.
        QVERIFY(abgewiesen.getrennt(1000));
        QCOMPARE(c.anzahlVerbindungen(), Client::maxVerbindungen);
        QVERIFY(QTest::qWaitFor([&] { return c.anzahlVerbindungen() == 0; }, 5000));
        QCOMPARE(neu.count(), 0);

        // A participant that waits is no fault; one stuck inside a frame
        // (also inside its four length bytes) is.
        Begleiter wartet, halb, kopf;
        QVERIFY(wartet.anmelden(c.port()));
        QVERIFY(halb.anmelden(c.port()));
        QVERIFY(kopf.anmelden(c.port()));
        halb.roh(Begleiter::frame("1234567890").left(8));
        kopf.roh(QByteArray(2, '\0'));
        QVERIFY(halb.getrennt());
        QVERIFY(kopf.getrennt());
        QVERIFY(wartet.warte([&] { return weg.count() == 2; }));
        // A frame that trickles in within its time is taken.
        QSignalSpy nachricht(&c, &Client::newMessage);
        for (const char byte : Begleiter::frame("langsam")) {
            wartet.roh(QByteArray(1, byte));
            QTest::qWait(40);
        }
        QVERIFY(wartet.warte([&] { return nachricht.count() == 1; }));
        QTest::qWait(1200);
        QCOMPARE(wartet.socket.state(), QAbstractSocket::ConnectedState);
        QCOMPARE(c.anzahlTeilnehmer(), 1);
    }

    // What waits to be sent to one peer, and what all peers together have
    // sent and not yet been handled, is bounded.
    // One device cannot hold every slot: its named connections are bounded,
    // the one silent longest making room, and idle ones without a table end.
    void eineAdresseHaeltNichtAlles()
    {
        Client c(QStringLiteral("Reizwerk"));
        QVERIFY(c.starten(QHostAddress::LocalHost, 0));
        Client::Grenzen g = c.grenzen();
        QCOMPARE(g.jeAdresse, 4);
        QCOMPARE(g.leerlaufMs, 30 * 60 * 1000);
        g.jeAdresse = 3;
        c.grenzenSetzen(g);
        QSignalSpy weg(&c, &Client::participantLeft);

        std::vector<std::unique_ptr<Begleiter>> viele;
        for (int i = 0; i < 3; ++i) {
            viele.push_back(std::make_unique<Begleiter>());
            QVERIFY(viele.back()->anmelden(c.port(), QStringLiteral("x")));
        }
        // The second and third speak again; the first stays silent.
        QTest::qWait(30);
        viele.at(1)->senden(QStringLiteral("a"));
        viele.at(2)->senden(QStringLiteral("b"));
        QTest::qWait(30);
        // A fourth from the same address: the silent first goes, the new one
        // is served.
        Begleiter neu;
        QVERIFY(neu.anmelden(c.port(), QStringLiteral("x")));
        QVERIFY(viele.at(0)->getrennt());
        QCOMPARE(c.anzahlTeilnehmer(), 3);
        QCOMPARE(weg.count(), 1);
        // Another address is not touched.
        Begleiter anderer;
        QVERIFY(anderer.anmelden(c.port(), QStringLiteral("x"), QHostAddress(QStringLiteral("127.0.0.2"))));
        QCOMPARE(c.anzahlTeilnehmer(), 4);

        // Idle: without a table every named connection ends; the address
        // that holds a table keeps its connections.
        c.tischGehalten(QStringLiteral("127.0.0.2"), true);
        g.leerlaufMs = 300;
        c.grenzenSetzen(g);
        QVERIFY(neu.getrennt(5000));
        QVERIFY(viele.at(1)->getrennt(5000));
        QTest::qWait(400);
        QCOMPARE(anderer.socket.state(), QAbstractSocket::ConnectedState);
        QCOMPARE(c.anzahlTeilnehmer(), 1);
        c.tischGehalten(QStringLiteral("127.0.0.2"), false);
        QVERIFY(anderer.getrennt(5000));
    }

    void speicherBleibtBegrenzt()
    {
        Client c(QStringLiteral("Reizwerk"));
        QVERIFY(c.starten(QHostAddress::LocalHost, 0));
        QCOMPARE(c.grenzen().ausgang, qint64(4) * 1024 * 1024);
        QCOMPARE(c.grenzen().eingang, qint64(64) * 1024 * 1024);
        Client::Grenzen g = c.grenzen();
        g.ausgang = 256 * 1024;
        g.eingang = 1024 * 1024;
        c.grenzenSetzen(g);
        QSignalSpy weg(&c, &Client::participantLeft);

        // A peer that does not read: small buffers on its side, so the
        // program's queue grows soon.
        Begleiter liestNicht, liest;
        liestNicht.socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4096);
        QVERIFY(liestNicht.anmelden(c.port()));
        liestNicht.socket.setReadBufferSize(1);
        QVERIFY(liest.anmelden(c.port()));
        const QString gross(100 * 1024, QLatin1Char('x'));
        int gesendet = 0;
        for (; gesendet < 400 && weg.isEmpty(); ++gesendet) {
            c.sendMessage(gross);
            liest.frames(1, 2000);
        }
        QVERIFY(liest.warte([&] { return weg.count() == 1; }));
        QVERIFY2(gesendet < 400, "the peer that does not read was never dropped");
        QCOMPARE(
            weg.at(0).at(0).toString(), QStringLiteral("Listenbote@127.0.0.1:%1").arg(liestNicht.socket.localPort()));
        QCOMPARE(c.anzahlTeilnehmer(), 1);

        // Stalled large frames of several peers: the one holding most goes
        // once together they hold more than the bound.
        Begleiter a, b;
        QVERIFY(a.anmelden(c.port()));
        QVERIFY(b.anmelden(c.port()));
        QByteArray kopf(4, Qt::Uninitialized);
        qToBigEndian<quint32>(4 * 1024 * 1024, kopf.data());
        a.roh(kopf + QByteArray(400 * 1024, 'a'));
        QVERIFY(a.warte([&] { return c.eingangGesamt() >= 400 * 1024; }));
        b.roh(kopf + QByteArray(700 * 1024, 'b'));
        QVERIFY(b.getrennt());
        QCOMPARE(a.socket.state(), QAbstractSocket::ConnectedState);
        QVERIFY(c.eingangGesamt() <= g.eingang);
        QCOMPARE(c.anzahlTeilnehmer(), 2);
    }

    void sucheUndPort()
    {
        Client c(QStringLiteral("Reizwerk"));
        QVERIFY(c.starten(QHostAddress::LocalHost, 0));
        QUdpSocket frager;
        QVERIFY(frager.bind(QHostAddress(QHostAddress::LocalHost), 0));
        frager.writeDatagram("Bietnetz?", QHostAddress::LocalHost, c.port());
        QVERIFY(QTest::qWaitFor([&] { return frager.hasPendingDatagrams(); }, 3000));
        QCOMPARE(frager.receiveDatagram().data(), QStringLiteral("Reizwerk %1").arg(c.port()).toUtf8());

        // Anything else gets no answer.
        frager.writeDatagram("Bietnetz? ", QHostAddress::LocalHost, c.port());
        frager.writeDatagram("bietnetz?", QHostAddress::LocalHost, c.port());
        QTest::qWait(200);
        QVERIFY(!frager.hasPendingDatagrams());

        // A port that is taken is reported, not pretended.
        Client zweiter(QStringLiteral("Reizwerk"));
        QVERIFY(!zweiter.starten(QHostAddress::LocalHost, c.port()));
        QVERIFY(!zweiter.lauscht());
        QVERIFY(!zweiter.fehlerText().isEmpty());
        QCOMPARE(zweiter.port(), quint16(0));

        // Peers reached through IPv4-mapped addresses are named by IPv4.
        QCOMPARE(Client::nickVon(QStringLiteral("L"), QHostAddress(QStringLiteral("::ffff:10.1.2.3")), 7),
            QStringLiteral("L@10.1.2.3:7"));
        QCOMPARE(
            Client::nickVon(QStringLiteral("L"), QHostAddress(QStringLiteral("::1")), 7), QStringLiteral("L@::1:7"));
    }
};

REIZWERK_TEST(TstClient)
#include "tst_client.moc"
