// Feeds arbitrary bytes to everything that reads a link message.

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "link/nachricht.h"
#include "link/protokoll.h"

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
    // A nick without a valid address has no name either.
    const Nick nick = Nick::lesen(text);
    if (nick.adresse.isEmpty() && !nick.name.isEmpty())
        std::abort();
    if (const auto daten = Protokoll::dateiEntpacken(text, 1u << 20); daten && daten->size() > (1 << 20))
        std::abort();
    return 0;
}
