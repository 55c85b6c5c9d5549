#pragma once
// What counts as a number when points, costs or euro rules are typed in or
// arrive from outside: one rule for the results table, the game-list dialog,
// the rules tree, the link and the browser app.

#include <QString>

#include <optional>

namespace Eingabe
{

// Points of one series lie within +-maxPunkte; costs of one series and euro
// rules within 0..maxKosten. Larger values are typing slips or forgeries.
inline constexpr int maxPunkte = 100000;
inline constexpr double maxKosten = 10000.0;
// A table cell holds -1 (sits out), 0 (not seated) or a table number.
inline constexpr int maxTisch = 200;

// A whole number with an optional sign, surrounding spaces allowed; no
// thousands separators ("1.000" is refused), no decimals, within +-maxPunkte.
std::optional<int> punkte(const QString& text);

// A decimal with ',' or '.' as its one decimal point, finite, 0..maxKosten.
// "nan", "inf", exponents and thousands separators are refused.
std::optional<double> kosten(const QString& text);

// A table cell's value: -1, 0 or a table number up to maxTisch.
std::optional<int> tisch(const QString& text);

// The status-bar text for a refused entry: "FEHLER: <text> ist keine Zahl"
// or, for a number out of range, what range it must keep.
QString fehlerPunkte(const QString& text);
QString fehlerKosten(const QString& text);
QString fehlerTisch(const QString& text);

} // namespace Eingabe
