#include "link/zugang.h"

namespace Zugang
{

namespace
{
// The IPv4 form of an IPv4-mapped address, so that one rule covers both.
QHostAddress einfach(const QHostAddress& adresse)
{
    bool v4 = false;
    const quint32 ip4 = adresse.toIPv4Address(&v4);
    if (v4)
        return QHostAddress(ip4);
    QHostAddress ohneZone = adresse;
    ohneZone.setScopeId(QString());
    return ohneZone;
}

const QVector<Netz>& lokaleNetze()
{
    static const QVector<Netz> netze {
        QHostAddress::parseSubnet(QStringLiteral("127.0.0.0/8")),
        QHostAddress::parseSubnet(QStringLiteral("10.0.0.0/8")),
        QHostAddress::parseSubnet(QStringLiteral("172.16.0.0/12")),
        QHostAddress::parseSubnet(QStringLiteral("192.168.0.0/16")),
        QHostAddress::parseSubnet(QStringLiteral("169.254.0.0/16")),
        QHostAddress::parseSubnet(QStringLiteral("::1/128")),
        QHostAddress::parseSubnet(QStringLiteral("fc00::/7")),
        QHostAddress::parseSubnet(QStringLiteral("fe80::/10")),
    };
    return netze;
}

bool inNetz(const QHostAddress& adresse, const QVector<Netz>& netze)
{
    for (const Netz& n : netze)
        if (adresse.isInSubnet(n))
            return true;
    return false;
}
} // namespace

bool lokal(const QHostAddress& adresse)
{
    if (adresse.isNull())
        return false;
    return inNetz(einfach(adresse), lokaleNetze());
}

Erlaubnis erlaubnisLesen(const QStringList& eintraege)
{
    Erlaubnis e;
    for (const QString& eintrag : eintraege) {
        // Split by hand at commas, semicolons and white space: a regular
        // expression here would be compiled at every start.
        QStringList teile;
        int anfang = 0;
        for (int i = 0; i <= eintrag.size(); ++i) {
            if (i < eintrag.size()) {
                const QChar c = eintrag.at(i);
                if (c != QLatin1Char(',') && c != QLatin1Char(';') && !c.isSpace())
                    continue;
            }
            if (i > anfang)
                teile << eintrag.mid(anfang, i - anfang);
            anfang = i + 1;
        }
        for (const QString& teil : teile) {
            if (teil == QLatin1String("*")) {
                e.alle = true;
                continue;
            }
            Netz netz;
            if (teil.contains(QLatin1Char('/'))) {
                netz = QHostAddress::parseSubnet(teil);
            } else {
                const QHostAddress a(teil);
                if (!a.isNull())
                    netz = { a, a.protocol() == QAbstractSocket::IPv4Protocol ? 32 : 128 };
            }
            if (netz.first.isNull() || netz.second < 0) {
                e.ungueltig << teil;
                continue;
            }
            // A network written as IPv4-mapped IPv6 is kept as IPv4, the form
            // addresses are compared in.
            const QHostAddress v4 = einfach(netz.first);
            if (netz.first.protocol() == QAbstractSocket::IPv6Protocol && v4.protocol() == QAbstractSocket::IPv4Protocol
                && netz.second >= 96)
                netz = { v4, netz.second - 96 };
            else if (v4.protocol() == QAbstractSocket::IPv6Protocol)
                netz.first = v4;
            e.netze << netz;
        }
    }
    return e;
}

bool zugelassen(const QHostAddress& adresse, const Erlaubnis& erlaubnis)
{
    if (adresse.isNull())
        return false;
    if (lokal(adresse) || erlaubnis.alle)
        return true;
    return inNetz(einfach(adresse), erlaubnis.netze);
}

} // namespace Zugang
