#pragma once
// The program's end of the link to companion scoring apps: a TCP server with
// length-prefixed UTF-8 frames and a UDP discovery answer on the same port
// (see docs/link-protocol.md).

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QString>

class QTcpServer;
class QTcpSocket;
class QUdpSocket;

class Client : public QObject
{
    Q_OBJECT
public:
    // A frame longer than this closes the connection that sent it.
    static constexpr quint32 maxFrame = 16u * 1024u * 1024u;
    // Connections beyond this many are closed at once.
    static constexpr int maxVerbindungen = 64;
    // A peer that does not read its frames is dropped once this much is queued.
    static constexpr qint64 maxRueckstau = 64 * 1024 * 1024;

    explicit Client(const QString& name, QObject* parent = nullptr);
    ~Client() override;

    // Starts listening; false (with fehlerText()) when the port cannot be opened.
    bool starten(const QHostAddress& adresse, quint16 port);
    bool lauscht() const;
    quint16 port() const;
    QString fehlerText() const;
    int anzahlTeilnehmer() const;

    void sendMessage(const QString& text);

    // One frame as it goes over the wire.
    static QByteArray frame(const QString& text);
    // The nick of a peer: name "@" address ":" port, IPv4-mapped addresses as
    // plain IPv4.
    static QString nickVon(const QString& name, const QHostAddress& adresse, quint16 port);

signals:
    void newParticipant(QString nick);
    void newMessage(QString from, QString message);
    void participantLeft(QString nick);
    void teilnehmerZahlGeaendert(int anzahl);

private:
    struct Peer {
        QString nick;
        bool teilnehmer = false; // has sent its name
        bool verworfen = false; // stopped reading; closed at the next turn
    };

    void neueVerbindung();
    void lesen(QTcpSocket* s);
    void trennen(QTcpSocket* s);
    void senden(QTcpSocket* s, const QByteArray& daten);
    void suchanfragen();
    bool udpOeffnen(const QHostAddress& adresse, quint16 port);

    QString m_name;
    QTcpServer* m_server = nullptr;
    QUdpSocket* m_udp = nullptr;
    QHash<QTcpSocket*, Peer> m_peers;
    QString m_fehler;
    int m_teilnehmer = 0;
};
