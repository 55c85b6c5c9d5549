#pragma once
// The HTTP server of the table app. It hands every request, already bounded
// in size and time, to one function of ours on a worker thread and sends back
// what that function answers. Only web/httpserver.cpp knows cpp-httplib; it
// is loaded with the service module when the server first starts.

#include <QByteArray>
#include <QHostAddress>
#include <QMap>
#include <QString>

#include <functional>
#include <memory>

namespace Web
{

struct Anfrage {
    QString methode; // "GET", "POST", ...
    QString pfad; // without the query
    QMap<QString, QString> parameter; // query parameters, percent-decoded
    QByteArray koerper;
    QString absender; // the peer's IP address
};

struct Antwort {
    int status = 200;
    QByteArray typ = "application/json; charset=utf-8";
    QByteArray inhalt;
    bool zwischenspeichern = false; // static files may be cached for a while
};

using Bearbeiter = std::function<Antwort(const Anfrage&)>;
// Whether a peer may connect at all; asked on the accepting thread.
using Pruefung = std::function<bool(const QHostAddress&)>;

struct Grenzen {
    int arbeiter = 16; // connections served at the same time
    int wartend = 128; // accepted connections waiting for a worker
    int zeitLimitSek = 5; // a read or write that waits longer ends the connection
    int hoechstDauerSek = 30; // no connection lives longer than this
    int keepAliveAnfragen = 20;
    quint64 maxKoerper = 64 * 1024;
    // The request line and headers: at most this many header lines and
    // bytes, all of it within kopfFristSek of its first byte.
    int kopfZeilen = 100;
    int kopfBytes = 16 * 1024;
    int kopfFristSek = 10;
    // Connections one address may hold, served or waiting: a browser opens
    // at most six to one server, and one device must not take every worker.
    int proAdresse = 6;
};

class Server
{
public:
    explicit Server(Bearbeiter bearbeiter, Grenzen grenzen = {});
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Listens on the address ("*" for every address, IPv4 and IPv6) and the
    // port (0: the system picks one). False with fehlerText() when the port
    // cannot be opened.
    bool starten(const QString& adresse, quint16 port);
    void anhalten();

    // Which peers are served; the others are refused at once. Without a
    // rule only the local network's addresses are.
    void zulassen(Pruefung pruefung);
    bool zugelassen(const QHostAddress& adresse) const;

    bool laeuft() const;
    quint16 port() const;
    QString fehlerText() const;

    // The answer a request gets when all workers are busy and the waiting
    // line is full; also given by errors the library detects itself.
    static Antwort fehlerAntwort(int status, const QString& text);

private:
    struct Innen;
    std::unique_ptr<Innen> d;
};

} // namespace Web
