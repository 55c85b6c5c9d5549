#pragma once
// The program's end of the link to companion scoring apps: a TCP server with
// length-prefixed UTF-8 frames and a UDP discovery answer on the same port
// (see docs/link-protocol.md).
//
// One peer must not be able to stall the window or fill the machine: frames
// are handled a bounded number per event-loop turn, peers that keep the
// program busy, stop reading, stay silent or hang inside a frame are
// dropped, and what all peers may hold in memory is capped.

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include "link/zugang.h"

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

    // The bounds a peer is held to. The defaults are the documented ones;
    // tests shorten them.
    struct Grenzen {
        // A peer with more unsent output than this is dropped.
        qint64 ausgang = 4 * 1024 * 1024;
        // Received bytes not yet handled, summed over all peers; beyond it
        // the peer holding most is dropped.
        qint64 eingang = 64 * 1024 * 1024;
        // Time to send the name after connecting.
        int namensFristMs = 10000;
        // Time a frame may take from its first byte to its last.
        int frameFristMs = 30000;
        // Frames handled per event-loop turn, and the turn's time budget.
        int nachrichtenJeRunde = 200;
        int msJeRunde = 20;
        // A peer that keeps this many frames waiting, turn after turn,
        // floods and is dropped.
        int rueckstau = 2000;
        // Named connections one address may hold: a phone that reconnects
        // before its old connection dies needs two or three. Beyond it the
        // one of that address that has been silent longest goes.
        int jeAdresse = 4;
        // A named connection whose address holds no table and that has sent
        // nothing for this long is dropped.
        int leerlaufMs = 30 * 60 * 1000;
    };

    explicit Client(const QString& name, QObject* parent = nullptr);
    ~Client() override;

    // Starts listening; false (with fehlerText()) when the port cannot be opened.
    bool starten(const QHostAddress& adresse, quint16 port);
    bool lauscht() const;
    quint16 port() const;
    QString fehlerText() const;
    int anzahlTeilnehmer() const;
    // Open connections, participants or not.
    int anzahlVerbindungen() const;

    // Addresses outside the local network that may connect nevertheless.
    void erlauben(const Zugang::Erlaubnis& erlaubnis);
    void grenzenSetzen(const Grenzen& grenzen);
    const Grenzen& grenzen() const { return m_grenzen; }
    // Bytes received from all peers and not yet handled.
    qint64 eingangGesamt() const;

    void sendMessage(const QString& text);

    // Whether the companion at this address holds a table; its connections
    // are then kept however long they are silent.
    void tischGehalten(const QString& adresse, bool gehalten);

    // The address part of a nick, as nickVon writes it.
    static QString adresseVon(const QHostAddress& adresse);

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
        QElapsedTimer verbunden;
        QElapsedTimer zuletzt; // since the last whole frame
        QString adresse;
        QElapsedTimer imFrameSeit; // invalid while no frame is begun
        int rueckstau = 0; // frames handled while more were waiting
    };
    enum class Stand { Leer, MehrDa, Getrennt };

    void neueVerbindung();
    void eingetroffen(QTcpSocket* s);
    void runde();
    Stand lesen(QTcpSocket* s, int hoechstens, int& erledigt);
    void fristenPruefen();
    void trennen(QTcpSocket* s);
    void platzJeAdresse(QTcpSocket* neu, const QString& adresse);
    void senden(QTcpSocket* s, const QByteArray& daten);
    void suchanfragen();
    bool udpOeffnen(const QHostAddress& adresse, quint16 port);

    QString m_name;
    QTcpServer* m_server = nullptr;
    QUdpSocket* m_udp = nullptr;
    QHash<QTcpSocket*, Peer> m_peers;
    // Peers with whole frames waiting, in the order they get their turn.
    QList<QTcpSocket*> m_bereit;
    QTimer m_runde;
    QTimer m_fristen;
    Grenzen m_grenzen;
    Zugang::Erlaubnis m_erlaubnis;
    QString m_fehler;
    int m_teilnehmer = 0;
    QSet<QString> m_tischHalter;
};
