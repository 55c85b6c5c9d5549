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
// A table cell holds -1 (sits out), 0 (not seated) or a table number, at
// most the highest table number a stored group may have.
inline constexpr int maxTisch = 1000;

// A whole number with an optional sign, surrounding spaces allowed; no
// thousands separators ("1.000" is refused), no decimals, within +-maxPunkte.
std::optional<int> punkte(const QString& text);

// A decimal with ',' or '.' as its one decimal point, finite, 0..maxKosten.
// "nan", "inf", exponents and thousands separators are refused.
std::optional<double> kosten(const QString& text);

// Numbers as a companion's number formatter writes them (JavaScript, Python,
// Java, C): '.' as decimal point, any number of decimals, an optional
// exponent ("1.0999999999999999", "1e1", "2.5E-1"). Points must be whole
// ("12.0" and "1e2" are); costs come back rounded to the one decimal every
// stored amount has. The bounds are those of typed entries.
std::optional<int> punkteGeschrieben(const QString& text);
std::optional<double> kostenGeschrieben(const QString& text);

// A results cell or game-list field left empty means 0, as clearing a
// value stores 0; other text follows punkte() and kosten().
std::optional<int> punkteOderLeer(const QString& text);
std::optional<double> kostenOderLeer(const QString& text);

// A table cell's value: -1, 0 or a table number up to maxTisch.
std::optional<int> tisch(const QString& text);

// The status-bar text for a refused entry: "FEHLER: <text> ist keine Zahl"
// or, for a number out of range, what range it must keep.
QString fehlerPunkte(const QString& text);
QString fehlerKosten(const QString& text);
QString fehlerTisch(const QString& text);

} // namespace Eingabe
