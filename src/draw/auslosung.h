#pragma once
// The orders in which the computed draw modes seat the participants still
// without a table. Pure functions of the participants in row order, so they
// are tested without a window or a database.

#include <QHash>
#include <QVector>

#include <functional>

namespace Auslosung
{

// Random order: every participant draws a 32-bit key, read as a signed
// integer, and the order is ascending key. A key that someone already holds
// is drawn again, so a collision never costs a participant his seat; should
// the generator keep repeating itself, equal keys fall back to row order.
QVector<int> zufall(const QVector<int>& startNrs, const std::function<quint32()>& zufallszahl);

// Descending score; equal scores keep their row order.
QVector<int> absteigend(const QVector<int>& startNrs, const QVector<int>& punkte);

// Standing after the previous series: descending total points. A participant
// without a total is left out of the draw.
QVector<int> rang(const QVector<int>& startNrs, const QHash<int, int>& summen);

// Points of an earlier match day: descending, and a participant who did not
// play that day counts 0.
QVector<int> spieltag(const QVector<int>& startNrs, const QHash<int, int>& punkte);

} // namespace Auslosung
