#pragma once
// Heals the ranking of a match day after a crash: the group files are the
// record of every series' points, and a player's row of table Rangliste for
// that day holds their sum. A kill between the group's commit and the
// ranking's commit leaves the row behind; opening the day puts it right.

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

namespace Saison
{

// Sets every existing Rangliste row of `tag` whose points differ from the
// sum of the player's points in the `gruppen` databases' series tables to
// that sum. No row is inserted; a start number that plays in two of the
// groups is left as it is. Returns the rows changed, or -1 (with the
// database's text) when nothing could be changed.
int ranglisteAbgleichen(
    QSqlDatabase haupt, const QDate& tag, const QVector<QSqlDatabase>& gruppen, QString* fehler = nullptr);

} // namespace Saison
