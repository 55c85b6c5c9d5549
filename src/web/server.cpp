#include "web/server.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <mutex>

#include "link/zugang.h"
#include "storage/nachladen.h"
#include "web/serverkern.h"

namespace Web
{

struct Server::Innen {
    Bearbeiter bearbeiter;
    Grenzen grenzen;
    mutable std::mutex pruefMutex;
    Pruefung pruefung;
    // Made when the server first starts: only then is the module loaded.
    std::unique_ptr<ServerKern> kern;
    QString fehler;

    bool pruefen(const QHostAddress& a) const
    {
        std::lock_guard<std::mutex> lock(pruefMutex);
        return pruefung ? pruefung(a) : Zugang::lokal(a);
    }
};

Server::Server(Bearbeiter bearbeiter, Grenzen grenzen)
    : d(std::make_unique<Innen>())
{
    d->bearbeiter = std::move(bearbeiter);
    d->grenzen = grenzen;
}

Server::~Server()
{
    anhalten();
}

Antwort Server::fehlerAntwort(int status, const QString& text)
{
    Antwort a;
    a.status = status;
    a.inhalt = QJsonDocument(QJsonObject { { QStringLiteral("fehler"), text } }).toJson(QJsonDocument::Compact);
    return a;
}

bool Server::starten(const QString& adresse, quint16 port)
{
    anhalten();
    d->fehler.clear();
    if (!d->kern) {
        const auto neu = reinterpret_cast<ServerKernNeu>(Nachladen::funktion(serverKernFunktion, &d->fehler));
        if (!neu)
            return false;
        KernAuftrag auftrag;
        auftrag.bearbeiter = d->bearbeiter;
        Innen* innen = d.get();
        auftrag.pruefung = [innen](const QHostAddress& a) { return innen->pruefen(a); };
        auftrag.grenzen = d->grenzen;
        auftrag.fehlerAntwort = &Server::fehlerAntwort;
        d->kern.reset(neu(auftrag));
    }
    return d->kern->starten(adresse, port);
}

void Server::anhalten()
{
    if (d->kern)
        d->kern->anhalten();
}

void Server::zulassen(Pruefung pruefung)
{
    std::lock_guard<std::mutex> lock(d->pruefMutex);
    d->pruefung = std::move(pruefung);
}

bool Server::zugelassen(const QHostAddress& adresse) const
{
    return d->pruefen(adresse);
}

bool Server::laeuft() const
{
    return d->kern && d->kern->laeuft();
}

quint16 Server::port() const
{
    return d->kern ? d->kern->port() : 0;
}

QString Server::fehlerText() const
{
    return d->kern ? d->kern->fehlerText() : d->fehler;
}

} // namespace Web
