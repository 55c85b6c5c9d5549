// Reading a group as the results table shows it, without any widget: the
// window builds its rows from what this returns.

#include "spieltag/offenerspieltag.h"

#include <QSqlQuery>

#include <algorithm>

#include "storage/datenbank.h"

std::optional<OffenerSpieltag::GruppenInhalt> OffenerSpieltag::gruppeLesen(const QString& name) const
{
    QSqlDatabase db = gruppe(name);
    if (!db.isValid() || !db.isOpen())
        return std::nullopt;
    GruppenInhalt inhalt;
    {
        QSqlQuery q = Db::abfrage(
            db, QStringLiteral("SELECT Datum, Serien, AnzahlSpiele3er, AnzahlSpiele4er, ErsterTisch FROM Gruppe"));
        if (!q.next())
            return std::nullopt;
        inhalt.datum = QDate::fromString(q.value(0).toString(), QStringLiteral("yyyy-MM-dd"));
        inhalt.serien = q.value(1).toInt();
        inhalt.spiele3er = q.value(2).toInt();
        inhalt.spiele4er = q.value(3).toInt();
        inhalt.ersterTisch = q.value(4).toInt();
    }
    {
        QSqlQuery q = Db::abfrage(
            db, QStringLiteral("SELECT StartNr, Name, Mitglied, Preisskat, SummePunkte, SummeKosten FROM Teilnehmer"));
        while (q.next())
            inhalt.teilnehmer.append({ q.value(0).toInt(), q.value(1).toString(), q.value(2).toBool(),
                q.value(3).toBool(), q.value(4).toInt(), q.value(5).toDouble() });
    }
    // The table lists participants by start number; sorted here, its rows
    // go in already in that order. Stable, so that of equal numbers the one
    // stored first stays first, as it would in a sorted table.
    std::stable_sort(inhalt.teilnehmer.begin(), inhalt.teilnehmer.end(),
        [](const GruppenTeilnehmer& a, const GruppenTeilnehmer& b) { return a.startNr < b.startNr; });

    const int serien = std::clamp(inhalt.serien, 0, 20);
    inhalt.werte.resize(serien);
    for (int s = 1; s <= serien; ++s) {
        QVector<SerienWert>& werte = inhalt.werte[s - 1];
        werte.reserve(inhalt.teilnehmer.size());
        QSqlQuery q
            = Db::abfrage(db, QStringLiteral("SELECT StartNr, Punkte, Tisch, TischIntern, Kosten FROM Serie%1").arg(s));
        while (q.next())
            werte.append({ q.value(0).toInt(), q.value(1).toInt(), q.value(2).toInt(), q.value(3).toInt(),
                q.value(4).toDouble() });
    }
    return inhalt;
}
