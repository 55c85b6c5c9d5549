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
// Frames one peer may have handled before the next waiting peer gets its go.
constexpr int nachrichtenAmStueck = 32;
} // namespace

Client::Client(const QString& name, QObject* parent)
    : QObject(parent)
    , m_name(name)
{
    // A zero timer, not a posted call: the loop serves input, painting and
    // other timers between two turns.
    m_runde.setSingleShot(true);
    m_runde.setInterval(0);
    connect(&m_runde, &QTimer::timeout, this, &Client::runde);
    connect(&m_fristen, &QTimer::timeout, this, &Client::fristenPruefen);
    grenzenSetzen(m_grenzen);
}

Client::~Client()
{
    // The owner may be half destroyed by now; it must hear nothing more.
    blockSignals(true);
    m_runde.stop();
    m_fristen.stop();
    const QList<QTcpSocket*> sockets = m_peers.keys();
    for (QTcpSocket* s : sockets) {
        disconnect(s, nullptr, this, nullptr);
        s->abort();
    }
    m_peers.clear();
    m_bereit.clear();
}

QByteArray Client::frame(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    QByteArray f(4, Qt::Uninitialized);
    qToBigEndian<quint32>(quint32(utf8.size()), f.data());
    return f + utf8;
}

QString Client::adresseVon(const QHostAddress& adresse)
{
    bool v4 = false;
    const quint32 ip4 = adresse.toIPv4Address(&v4);
    return v4 ? QHostAddress(ip4).toString() : adresse.toString();
}

QString Client::nickVon(const QString& name, const QHostAddress& adresse, quint16 port)
{
    return name + QLatin1Char('@') + adresseVon(adresse) + QLatin1Char(':') + QString::number(port);
}

void Client::tischGehalten(const QString& adresse, bool gehalten)
{
    if (gehalten)
        m_tischHalter.insert(adresse);
    else
        m_tischHalter.remove(adresse);
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

int Client::anzahlVerbindungen() const
{
    return m_peers.size();
}

void Client::erlauben(const Zugang::Erlaubnis& erlaubnis)
{
    m_erlaubnis = erlaubnis;
}

void Client::grenzenSetzen(const Grenzen& grenzen)
{
    m_grenzen = grenzen;
    // Checked often enough that a deadline is missed by a fraction of it.
    const int kuerzeste = qMin(qMin(m_grenzen.namensFristMs, m_grenzen.frameFristMs), m_grenzen.leerlaufMs);
    m_fristen.setInterval(qBound(10, kuerzeste / 5, 1000));
}

qint64 Client::eingangGesamt() const
{
    qint64 summe = 0;
    for (auto it = m_peers.cbegin(); it != m_peers.cend(); ++it)
        summe += it.key()->bytesAvailable();
    return summe;
}

void Client::neueVerbindung()
{
    while (m_server && m_server->hasPendingConnections()) {
        QTcpSocket* s = m_server->nextPendingConnection();
        if (!s)
            break;
        if (m_peers.size() >= maxVerbindungen || !Zugang::zugelassen(s->peerAddress(), m_erlaubnis)) {
            s->abort();
            s->deleteLater();
            continue;
        }
        // Qt then holds at most one whole frame for us; a larger one is
        // refused by its header before it is read.
        s->setReadBufferSize(qint64(maxFrame) + 4);
        Peer p;
        p.verbunden.start();
        p.zuletzt.start();
        p.adresse = adresseVon(s->peerAddress());
        m_peers.insert(s, p);
        connect(s, &QTcpSocket::readyRead, this, [this, s] { eingetroffen(s); });
        connect(s, &QTcpSocket::disconnected, this, [this, s] { trennen(s); });
        connect(s, &QAbstractSocket::errorOccurred, this, [this, s] {
            // A reset connection may end without disconnected().
            if (s->state() != QAbstractSocket::ConnectedState)
                trennen(s);
        });
        if (!m_fristen.isActive())
            m_fristen.start();
        if (s->bytesAvailable() > 0)
            eingetroffen(s);
    }
}

void Client::eingetroffen(QTcpSocket* s)
{
    if (!m_peers.contains(s))
        return;
    // Too much held for all peers together: the peer holding most goes, which
    // is rarely a companion with its few short messages.
    while (eingangGesamt() > m_grenzen.eingang) {
        QTcpSocket* groesster = nullptr;
        for (auto it = m_peers.cbegin(); it != m_peers.cend(); ++it)
            if (!groesster || it.key()->bytesAvailable() > groesster->bytesAvailable())
                groesster = it.key();
        qWarning(
            "Link: %s haelt zu viele ungelesene Daten und wird getrennt", qPrintable(m_peers.value(groesster).nick));
        trennen(groesster);
        if (groesster == s)
            return;
    }
    if (!m_bereit.contains(s))
        m_bereit.append(s);
    if (!m_runde.isActive())
        m_runde.start();
}

void Client::runde()
{
    QElapsedTimer uhr;
    uhr.start();
    int erledigt = 0;
    while (!m_bereit.isEmpty() && erledigt < m_grenzen.nachrichtenJeRunde && uhr.elapsed() < m_grenzen.msJeRunde) {
        QTcpSocket* s = m_bereit.takeFirst();
        if (!m_peers.contains(s))
            continue;
        int n = 0;
        const Stand stand = lesen(s, qMin(nachrichtenAmStueck, m_grenzen.nachrichtenJeRunde - erledigt), n);
        erledigt += n;
        if (stand != Stand::MehrDa)
            continue;
        Peer& p = m_peers[s];
        p.rueckstau += n;
        if (p.rueckstau > m_grenzen.rueckstau) {
            qWarning("Link: %s sendet mehr als verarbeitet werden kann und wird getrennt", qPrintable(p.nick));
            trennen(s);
            continue;
        }
        m_bereit.append(s);
    }
    if (!m_bereit.isEmpty())
        m_runde.start();
}

Client::Stand Client::lesen(QTcpSocket* s, int hoechstens, int& erledigt)
{
    QPointer<QTcpSocket> wache(s);
    erledigt = 0;
    while (erledigt < hoechstens) {
        if (!wache || !m_peers.contains(s))
            return Stand::Getrennt;
        if (m_peers.value(s).verworfen)
            return Stand::Leer;
        const qint64 da = s->bytesAvailable();
        char kopf[4];
        if (da < 4 || s->peek(kopf, 4) != 4)
            break;
        const quint32 n = qFromBigEndian<quint32>(kopf);
        if (n > maxFrame) {
            trennen(s);
            return Stand::Getrennt;
        }
        if (da < qint64(n) + 4)
            break;
        s->read(kopf, 4);
        const QString text = QString::fromUtf8(s->read(n));
        ++erledigt;

        if (!m_peers.value(s).teilnehmer) {
            // Closing others changes the table of peers: looked up again below.
            platzJeAdresse(s, m_peers.value(s).adresse);
            if (!wache || !m_peers.contains(s))
                return Stand::Getrennt;
        }
        Peer& p = m_peers[s];
        p.imFrameSeit.invalidate();
        p.zuletzt.start();
        if (!p.teilnehmer) {
            p.teilnehmer = true;
            p.nick = nickVon(text, s->peerAddress(), s->peerPort());
            ++m_teilnehmer;
            const QString nick = p.nick;
            senden(s, frame(m_name));
            emit newParticipant(nick);
            emit teilnehmerZahlGeaendert(m_teilnehmer);
        } else {
            const QString nick = p.nick;
            emit newMessage(nick, text);
        }
    }
    if (!wache || !m_peers.contains(s))
        return Stand::Getrennt;

    Peer& p = m_peers[s];
    const qint64 da = s->bytesAvailable();
    char kopf[4];
    if (da >= 4 && s->peek(kopf, 4) == 4 && da >= qint64(qFromBigEndian<quint32>(kopf)) + 4 && !p.verworfen)
        return Stand::MehrDa;
    p.rueckstau = 0;
    // A frame begun and not finished: its deadline runs from its first byte.
    if (da == 0)
        p.imFrameSeit.invalidate();
    else if (!p.imFrameSeit.isValid())
        p.imFrameSeit.start();
    return Stand::Leer;
}

void Client::fristenPruefen()
{
    QList<QTcpSocket*> abgelaufen;
    for (auto it = m_peers.cbegin(); it != m_peers.cend(); ++it) {
        const Peer& p = it.value();
        if ((!p.teilnehmer && p.verbunden.hasExpired(m_grenzen.namensFristMs))
            || (p.imFrameSeit.isValid() && p.imFrameSeit.hasExpired(m_grenzen.frameFristMs))
            || (p.teilnehmer && p.zuletzt.hasExpired(m_grenzen.leerlaufMs) && !m_tischHalter.contains(p.adresse)))
            abgelaufen << it.key();
    }
    for (QTcpSocket* s : qAsConst(abgelaufen))
        trennen(s);
    if (m_peers.isEmpty())
        m_fristen.stop();
}

void Client::trennen(QTcpSocket* s)
{
    if (!m_peers.contains(s))
        return;
    const Peer p = m_peers.take(s);
    m_bereit.removeAll(s);
    disconnect(s, nullptr, this, nullptr);
    s->abort();
    s->deleteLater();
    if (p.teilnehmer) {
        --m_teilnehmer;
        emit participantLeft(p.nick);
        emit teilnehmerZahlGeaendert(m_teilnehmer);
    }
}

void Client::platzJeAdresse(QTcpSocket* neu, const QString& adresse)
{
    // One device must not hold every slot: its own oldest silent connection
    // makes room, so a phone that reconnects is always served.
    while (true) {
        int benannt = 0;
        QTcpSocket* stillste = nullptr;
        for (auto it = m_peers.cbegin(); it != m_peers.cend(); ++it) {
            if (it.key() == neu || !it->teilnehmer || it->adresse != adresse)
                continue;
            ++benannt;
            if (!stillste || it->zuletzt.elapsed() > m_peers.value(stillste).zuletzt.elapsed())
                stillste = it.key();
        }
        if (benannt < qMax(1, m_grenzen.jeAdresse))
            return;
        qWarning("Link: %s haelt schon %d Verbindungen; die stillste wird getrennt", qPrintable(adresse), benannt);
        trennen(stillste);
    }
}

void Client::senden(QTcpSocket* s, const QByteArray& daten)
{
    auto it = m_peers.find(s);
    if (it == m_peers.end() || it->verworfen)
        return;
    // One message always goes out; a queue beyond the bound means the peer
    // does not read.
    const qint64 wartend = s->bytesToWrite();
    if (wartend > 0 && wartend + daten.size() > m_grenzen.ausgang) {
        qWarning("Link: %s liest nicht und wird getrennt", qPrintable(it->nick));
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
        // Answers go to the asking host only, never to a group address, and
        // only to hosts that could connect.
        if (absender.isNull() || absender.isMulticast() || absender.isBroadcast() || d.senderPort() <= 0
            || !Zugang::zugelassen(absender, m_erlaubnis))
            continue;
        const QByteArray antwort = (m_name + QLatin1Char(' ') + QString::number(port())).toUtf8();
        m_udp->writeDatagram(antwort, absender, quint16(d.senderPort()));
    }
}
