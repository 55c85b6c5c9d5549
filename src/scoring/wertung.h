#pragma once
// The statements behind stored results: a series cell, the sums of a
// participant, and the match-day points in the ranking table. The open match
// day (spieltag/offenerspieltag) runs them for every road results take.
//
// The ranking follows the group: it is written only once the group's own
// statements are committed, so a store that fails leaves no ranking behind.

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <QVector>

namespace Wertung
{

// Creates or updates the participant's Rangliste row of that day (the name
// is kept from the first insertion). False when a statement failed.
bool ranglistePunkteSpeichern(QSqlDatabase haupt, int startNr, const QDate& datum, const QString& name, int punkte);

// Sums that cannot overflow: points add up in 64 bits and are kept within
// the integer range; costs count only finite amounts.
int punkteSumme(const QVector<int>& punkte);
double kostenSumme(const QVector<double>& kosten);

// Runs a change that must reach exactly the participant's row(s): false,
// with a message, when the statement fails or changes no row.
bool zeileAendern(QSqlDatabase db, const QString& sql, const QVariantList& werte, int startNr);

// Stores a participant's table of a series, inside the caller's transaction.
bool tischSpeichern(QSqlDatabase gruppe, int startNr, int serie, int tisch);

// The stored value of one series cell as the table shows it: points and
// tables as integers, costs with one decimal. Empty when it cannot be read.
QString gespeicherterText(QSqlDatabase gruppe, int startNr, int serie, int art);

struct Summen {
    int punkte = 0;
    double kosten = 0.0;
    bool ok = false;
};

// Recomputes a participant's SummePunkte and SummeKosten from all series
// tables of the group database and stores them in Teilnehmer.
Summen summenNeuBerechnen(QSqlDatabase gruppe, int startNr, int serien);

// Stores the match-day points once the group's pending statements are
// committed (at once when none are pending); nothing when they roll back.
void ranglisteNachAbschluss(
    QSqlDatabase gruppe, QSqlDatabase haupt, int startNr, const QDate& datum, const QString& name, int punkte);

} // namespace Wertung
