#pragma once
// What the table app reads from a stored match day, on the window's thread:
// a table's seats and list size, the page's view of the rules, and the
// standings for the public display.

#include <QDate>
#include <QJsonObject>
#include <QSettings>
#include <QSqlDatabase>
#include <QVector>

#include <optional>

#include "storage/spieltagleser.h"
#include "web/tischapp.h"

namespace Web
{

// The seats of a table in a series of the group database; refuses a series
// that does not exist or is not drawn, a table that does not play in it, and
// a table of other than 3 or 4 players.
std::optional<Tisch> tischLesen(QSqlDatabase db, const QString& gruppe, int serie, int tisch, Fehler& f);

// What the page needs: group, series, table, players in seat order, the
// rules the computation uses and the list's length.
QJsonObject tischJson(const Tisch& t, const QSettings& einstellungen);

// The standings of every group: place (equal totals share it), name, points
// of each drawn or played series, total.
QJsonObject anzeigeJson(const QVector<Spieltag::Gruppe>& gruppen, const QDate& datum);

} // namespace Web
