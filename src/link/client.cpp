#include "link/client.h"

#include <QNetworkDatagram>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>
#include <QtEndian>

namespace
{
const QByteArray suchFrage = QByteArrayLiteral("Bietnetz?");
}

Client::Client(const QString& name, QObject* parent)
    : QObject(parent)
    , m_name(name)
{
}

Client::~Client()
{
    // The owner may be half destroyed by now; it must hear nothing more.
    blockSignals(true);
    const QList<QTcpSocket*> sockets = m_peers.keys();
    for (QTcpSocket* s : sockets) {
        disconnect(s, nullptr, this, nullptr);
        s->abort();
    }
    m_peers.clear();
}

QByteArray Client::frame(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    QByteArray f(4, Qt::Uninitialized);
    qToBigEndian<quint32>(quint32(utf8.size()), f.data());
    return f + utf8;
}

QString Client::nickVon(const QString& name, const QHostAddress& adresse, quint16 port)
{
    bool v4 = false;
    const quint32 ip4 = adresse.toIPv4Address(&v4);
    const QString ip = v4 ? QHostAddress(ip4).toString() : adresse.toString();
    return name + QLatin1Char('@') + ip + QLatin1Char(':') + QString::number(port);
}

bool Client::starten(const QHostAddress& adresse, quint16 port)
{
    delete m_server;
    delete m_udp;
    m_server = nullptr;
    m_udp = nullptr;
    m_fehler.clear();
    if (adresse.isNull()) {
        m_fehler = tr("ungueltige Adresse");
        return false;
    }

    // With a free port chosen by the system the UDP port of the same number
    // may be taken; then try another one.
    const int versuche = port == 0 ? 5 : 1;
    for (int i = 0; i < versuche; ++i) {
        m_server = new QTcpServer(this);
        m_server->setMaxPendingConnections(maxVerbindungen);
        if (!m_server->listen(adresse, port)) {
            m_fehler = m_server->errorString();
            delete m_server;
            m_server = nullptr;
            return false;
        }
        connect(m_server, &QTcpServer::newConnection, this, &Client::neueVerbindung);
        if (udpOeffnen(adresse, m_server->serverPort()))
            return true;
        if (port != 0) {
            // The companions can still connect by a known port.
            qWarning("Link: Suche nicht verfuegbar: %s", qPrintable(m_fehler));
            return true;
        }
        delete m_server;
        m_server = nullptr;
    }
    return false;
}

bool Client::udpOeffnen(const QHostAddress& adresse, quint16 port)
{
    m_udp = new QUdpSocket(this);
    if (!m_udp->bind(adresse, port)) {
        m_fehler = tr("Suche: %1").arg(m_udp->errorString());
        delete m_udp;
        m_udp = nullptr;
        return false;
    }
    connect(m_udp, &QUdpSocket::readyRead, this, &Client::suchanfragen);
    return true;
}

bool Client::lauscht() const
{
    return m_server && m_server->isListening();
}

quint16 Client::port() const
{
    return lauscht() ? m_server->serverPort() : 0;
}

QString Client::fehlerText() const
{
    return m_fehler;
}

int Client::anzahlTeilnehmer() const
{
    return m_teilnehmer;
}

void Client::neueVerbindung()
{
    while (m_server && m_server->hasPendingConnections()) {
        QTcpSocket* s = m_server->nextPendingConnection();
        if (!s)
            break;
        if (m_peers.size() >= maxVerbindungen) {
            s->abort();
            s->deleteLater();
            continue;
        }
        // Qt then holds at most one whole frame for us; a larger one is
        // refused by its header before it is read.
        s->setReadBufferSize(qint64(maxFrame) + 4);
        m_peers.insert(s, Peer {});
        connect(s, &QTcpSocket::readyRead, this, [this, s] { lesen(s); });
        connect(s, &QTcpSocket::disconnected, this, [this, s] { trennen(s); });
        connect(s, &QAbstractSocket::errorOccurred, this, [this, s] {
            // A reset connection may end without disconnected().
            if (s->state() != QAbstractSocket::ConnectedState)
                trennen(s);
        });
        if (s->bytesAvailable() > 0)
            lesen(s);
    }
}

void Client::lesen(QTcpSocket* s)
{
    QPointer<QTcpSocket> wache(s);
    while (wache && m_peers.contains(s) && !m_peers.value(s).verworfen && s->bytesAvailable() >= 4) {
        char kopf[4];
        if (s->peek(kopf, 4) != 4)
            return;
        const quint32 n = qFromBigEndian<quint32>(kopf);
        if (n > maxFrame) {
            trennen(s);
            return;
        }
        if (s->bytesAvailable() < qint64(n) + 4)
            return;
        s->read(kopf, 4);
        const QString text = QString::fromUtf8(s->read(n));

        Peer& p = m_peers[s];
        if (!p.teilnehmer) {
            p.teilnehmer = true;
            p.nick = nickVon(text, s->peerAddress(), s->peerPort());
            ++m_teilnehmer;
            const QString nick = p.nick;
            senden(s, frame(m_name));
            emit newParticipant(nick);
            emit teilnehmerZahlGeaendert(m_teilnehmer);
        } else {
            emit newMessage(p.nick, text);
        }
    }
}

void Client::trennen(QTcpSocket* s)
{
    if (!m_peers.contains(s))
        return;
    const Peer p = m_peers.take(s);
    disconnect(s, nullptr, this, nullptr);
    s->abort();
    s->deleteLater();
    if (p.teilnehmer) {
        --m_teilnehmer;
        emit participantLeft(p.nick);
        emit teilnehmerZahlGeaendert(m_teilnehmer);
    }
}

void Client::senden(QTcpSocket* s, const QByteArray& daten)
{
    auto it = m_peers.find(s);
    if (it == m_peers.end() || it->verworfen)
        return;
    if (s->bytesToWrite() + daten.size() > maxRueckstau) {
        // Closed later, so that nobody is told of a leave in the middle of
        // a send.
        it->verworfen = true;
        QPointer<QTcpSocket> wache(s);
        QMetaObject::invokeMethod(
            this,
            [this, wache] {
                if (wache)
                    trennen(wache);
            },
            Qt::QueuedConnection);
        return;
    }
    s->write(daten);
}

void Client::sendMessage(const QString& text)
{
    const QByteArray f = frame(text);
    if (quint32(f.size() - 4) > maxFrame) {
        qWarning("Link: Nachricht zu lang, nicht gesendet (%d Bytes)", int(f.size() - 4));
        return;
    }
    const QList<QTcpSocket*> sockets = m_peers.keys();
    for (QTcpSocket* s : sockets)
        if (m_peers.value(s).teilnehmer)
            senden(s, f);
}

void Client::suchanfragen()
{
    while (m_udp && m_udp->hasPendingDatagrams()) {
        const QNetworkDatagram d = m_udp->receiveDatagram(64);
        if (d.data() != suchFrage)
            continue;
        const QHostAddress absender = d.senderAddress();
        // Answers go to the asking host only, never to a group address.
        if (absender.isNull() || absender.isMulticast() || absender.isBroadcast() || d.senderPort() <= 0)
            continue;
        const QByteArray antwort = (m_name + QLatin1Char(' ') + QString::number(port())).toUtf8();
        m_udp->writeDatagram(antwort, absender, quint16(d.senderPort()));
    }
}
