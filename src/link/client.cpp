#include "link/client.h"

// Placeholder until the transport is built: the link reports that it is not
// available instead of pretending to listen.
class Client::Impl {};

Client::Client(const QString&, QObject* parent) : QObject(parent), d(new Impl) {}
Client::~Client() { delete d; }
bool Client::starten(const QHostAddress&, quint16) { return false; }
bool Client::lauscht() const { return false; }
quint16 Client::port() const { return 0; }
QString Client::fehlerText() const { return QStringLiteral("Verbindung noch nicht eingebaut"); }
int Client::anzahlTeilnehmer() const { return 0; }
void Client::sendMessage(const QString&) {}
