// Feeds arbitrary bytes to everything that reads a link message.

#include <QHostAddress>
#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "link/nachricht.h"
#include "link/protokoll.h"
#include "link/tischpruefung.h"
#include "link/zugang.h"
#include "scoring/eingabe.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const Nachricht m = Nachricht::lesen(text);
    if (m.code != 0) {
        // A message that reads must read back to itself.
        const Nachricht wieder = Nachricht::lesen(m.text());
        if (wieder.code != m.code || wieder.adresse != m.adresse || wieder.liste != m.liste)
            std::abort();
    }
    for (const QString& feld : m.felder) {
        if (const auto e = Protokoll::ergebnisLesen(feld); e && !std::isfinite(e->kosten))
            std::abort();
        if (Protokoll::dateinameSicher(feld) && (feld.contains(QLatin1Char('/')) || feld == QLatin1String("..")))
            std::abort();
    }
    // Result lines: only plausible ones read, and of those only the seated
    // players' at the companion's own table are taken.
    QHash<QPair<int, int>, int> sitze;
    for (int nr = 100; nr < 108; ++nr)
        sitze.insert({ 1, nr }, nr < 104 ? 1 : 2);
    Tischpruefung::Anspruch anspruch;
    anspruch.adresse = QStringLiteral("10.0.0.1");
    anspruch.frei = [](int t) { return t != 2; };
    const Tischpruefung::Ergebnis e = Tischpruefung::pruefen(m.felder, anspruch, [&sitze](int s, int nr) {
        const int t = sitze.value({ s, nr });
        return t > 0 ? Tischpruefung::Sitz { Tischpruefung::Sitz::Art::Tisch, t } : Tischpruefung::Sitz {};
    });
    if (e.angenommen.size() + e.abgelehnt > m.felder.size() || (e.tisch != 0 && e.tisch != 1))
        std::abort();
    for (const QString& zeile : e.angenommen) {
        const auto r = Protokoll::ergebnisLesen(zeile);
        if (!r || r->serie != 1 || r->startNr < 100 || r->startNr > 103 || std::abs(r->punkte) > Eingabe::maxPunkte
            || !(r->kosten >= 0.0 && r->kosten <= Eingabe::maxKosten))
            std::abort();
    }
    // Whatever the text, reading it as an address never counts a public
    // one as local.
    const QHostAddress adresse(text);
    if (Zugang::lokal(adresse)
        && !(adresse.isLoopback() || adresse.isLinkLocal() || adresse.isUniqueLocalUnicast()
            || adresse.isInSubnet(QHostAddress::parseSubnet(QStringLiteral("10.0.0.0/8")))
            || adresse.isInSubnet(QHostAddress::parseSubnet(QStringLiteral("172.16.0.0/12")))
            || adresse.isInSubnet(QHostAddress::parseSubnet(QStringLiteral("192.168.0.0/16")))
            || adresse.isInSubnet(QHostAddress::parseSubnet(QStringLiteral("::ffff:0:0/96")))))
        std::abort();
    // A nick without a valid address has no name either.
    const Nick nick = Nick::lesen(text);
    if (nick.adresse.isEmpty() && !nick.name.isEmpty())
        std::abort();
    if (const auto daten = Protokoll::dateiEntpacken(text, 1u << 20); daten && daten->size() > (1 << 20))
        std::abort();
    return 0;
}
