#pragma once
// Storing entered results: a series cell, the sums of a participant, and the
// match-day points in the ranking table. Used by score entry and by results
// that arrive over the link for a group that is not shown.

#include <QDate>
#include <QSqlDatabase>
#include <QString>

namespace Wertung
{

// Creates or updates the participant's Rangliste row of that day (the name
// is kept from the first insertion). False when a statement failed.
bool ranglistePunkteSpeichern(QSqlDatabase haupt, int startNr, const QDate& datum, const QString& name, int punkte);

struct Summen {
    int punkte = 0;
    double kosten = 0.0;
    bool ok = false;
};

// Recomputes a participant's SummePunkte and SummeKosten from all series
// tables of the group database and stores them in Teilnehmer.
Summen summenNeuBerechnen(QSqlDatabase gruppe, int startNr, int serien);

} // namespace Wertung
