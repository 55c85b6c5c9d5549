// Feeds arbitrary bytes to the roster file reader.

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

#include "roster/spielerdatei.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray inhalt(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const Spielerdatei::Ergebnis e = Spielerdatei::lesen(inhalt);
    const int zeilen = inhalt.count('\n') + 1;
    if (e.spieler.size() + e.uebersprungen > zeilen)
        std::abort();
    for (const Spielerdatei::Zeile& z : e.spieler) {
        if (z.mitglied != QLatin1String("Ja") && z.mitglied != QLatin1String("Nein"))
            std::abort();
        for (const QString* feld : { &z.vorname, &z.nachname, &z.gruppe })
            if (feld->contains(QLatin1Char(' ')) || feld->contains(QLatin1Char('\n')))
                std::abort();
    }
    return 0;
}
