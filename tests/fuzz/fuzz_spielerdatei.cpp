// Feeds arbitrary bytes to the roster file reader.

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

#include "roster/namensregel.h"
#include "roster/spielerdatei.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray inhalt(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const Spielerdatei::Ergebnis e = Spielerdatei::lesen(inhalt);
    // A refused file yields nobody; an accepted one is mostly valid lines.
    if (!e.fehler.isEmpty() && !e.spieler.isEmpty())
        std::abort();
    if (e.fehler.isEmpty() && (e.spieler.isEmpty() || e.uebersprungen > e.spieler.size()))
        std::abort();
    for (const Spielerdatei::Zeile& z : e.spieler) {
        if (z.mitglied != QLatin1String("Ja") && z.mitglied != QLatin1String("Nein"))
            std::abort();
        // A tab-separated line may carry "Hans Peter" as one field; no field
        // keeps a TAB or the padding around it.
        for (const QString* feld : { &z.vorname, &z.nachname, &z.gruppe })
            if (feld->isEmpty() || feld->contains(QLatin1Char('\t')) || *feld != feld->trimmed()
                || !Namensregel::zulaessig(*feld))
                std::abort();
    }
    return 0;
}
