#pragma once
// The program's end of the link to companion scoring apps: a TCP server with
// length-prefixed UTF-8 frames (see docs/link-protocol.md).

#include <QHostAddress>
#include <QObject>
#include <QString>

class Client : public QObject {
    Q_OBJECT
public:
    explicit Client(const QString& name, QObject* parent = nullptr);
    ~Client() override;

    // Starts listening; false (with fehlerText()) when the port cannot be opened.
    bool starten(const QHostAddress& adresse, quint16 port);
    bool lauscht() const;
    quint16 port() const;
    QString fehlerText() const;
    int anzahlTeilnehmer() const;

    void sendMessage(const QString& text);

signals:
    void newParticipant(QString nick);
    void newMessage(QString from, QString message);
    void participantLeft(QString nick);
    void teilnehmerZahlGeaendert(int anzahl);

private:
    class Impl;
    Impl* d;
};
