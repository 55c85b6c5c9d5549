#pragma once
// Who may reach the link: devices of the club's own network (loopback,
// private and link-local ranges) always, any other address only when the
// organiser names it in the settings.

#include <QHostAddress>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

namespace Zugang
{

using Netz = QPair<QHostAddress, int>;

// Loopback, IPv4 10/8, 172.16/12, 192.168/16, 169.254/16, IPv6 fc00::/7 and
// fe80::/10, also written as IPv4-mapped IPv6.
bool lokal(const QHostAddress& adresse);

// The settings text of allowed addresses: addresses or networks
// ("203.0.113.7", "203.0.113.0/24", "2001:db8::/32") separated by commas,
// semicolons or spaces; "*" allows every address. Items that do not read are
// returned in `ungueltig`.
struct Erlaubnis {
    QVector<Netz> netze;
    bool alle = false;
    QStringList ungueltig;
};
Erlaubnis erlaubnisLesen(const QStringList& eintraege);

bool zugelassen(const QHostAddress& adresse, const Erlaubnis& erlaubnis);

} // namespace Zugang
