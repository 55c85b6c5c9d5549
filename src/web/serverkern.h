#pragma once
// cpp-httplib's side of Web::Server (web/server.h). It lives in the service
// module, so the library and the OpenSSL it is built with are loaded when
// the table app starts serving, after the window is up, not at start.

#include "web/server.h"

namespace Web
{

class ServerKern
{
public:
    virtual ~ServerKern() = default;
    // The methods mean what the same-named ones of Server say.
    virtual bool starten(const QString& adresse, quint16 port) = 0;
    virtual void anhalten() = 0;
    virtual bool laeuft() const = 0;
    virtual quint16 port() const = 0;
    virtual QString fehlerText() const = 0;
};

// What the module's server needs from the program: the function that answers
// requests, the one that decides on peers (called on the accepting thread),
// the bounds, and the program's error answer.
struct KernAuftrag {
    Bearbeiter bearbeiter;
    Pruefung pruefung;
    Grenzen grenzen;
    Antwort (*fehlerAntwort)(int status, const QString& text) = nullptr;
};

// The module's function that makes one (name as the module exports it).
using ServerKernNeu = ServerKern* (*)(const KernAuftrag& auftrag);
constexpr const char* serverKernFunktion = "reizwerk_web_server";

} // namespace Web
