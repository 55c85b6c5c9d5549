#include "app/meldungen.h"

void Meldungsprotokoll::aufnehmen(const QString& text, const QDateTime& zeit)
{
    // The status bar shows one line; a message of several lines is kept as
    // it was shown.
    const QString t = text.simplified();
    if (t.isEmpty())
        return;
    if (m_eintraege.size() >= hoechstens) {
        // Dropped in blocks, so a flood does not move the whole list per message.
        const int weg = hoechstens / 10;
        m_eintraege.remove(0, weg);
        m_verworfen += weg;
    }
    m_eintraege.append({ zeit, t, istFehler(t) });
}

int Meldungsprotokoll::fehlerAnzahl() const
{
    int n = 0;
    for (const Eintrag& e : m_eintraege)
        n += e.fehler ? 1 : 0;
    return n;
}

bool Meldungsprotokoll::istFehler(const QString& text)
{
    return text.trimmed().startsWith(QLatin1String("FEHLER"));
}

QString Meldungsprotokoll::zeile(const Eintrag& e)
{
    return QStringLiteral("%1  %2").arg(e.zeit.toString(QStringLiteral("HH:mm:ss")), e.text);
}
