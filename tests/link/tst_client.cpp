#include "testumgebung.h"

#include <QNetworkDatagram>
#include <QSignalSpy>
#include <QTcpServer>
#include <QUdpSocket>

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
