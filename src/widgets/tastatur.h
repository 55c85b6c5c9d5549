#pragma once
// Spreadsheet keys for the program's tables, so a match day can be typed in
// without reaching for the mouse.

#include <QObject>

class QAbstractItemView;
class QWidget;

namespace Tastatur
{

// Typing, F2 or Enter start editing the current cell (the double click
// stays); Tab moves to the next cell. With `enterNachUnten` Enter in an open
// editor also moves the current cell one row down, as in a spreadsheet;
// tables that move on by themselves after an entry leave it off.
void tabelleBedienbar(QAbstractItemView* ansicht, bool enterNachUnten = true);

// From now on every number field of the program selects its text when the
// keyboard brings it the focus, so what is typed replaces the value: spin
// boxes, line edits with a number validator and line edits carrying the
// property "zahlenfeld". A click keeps placing the cursor.
void zahlenfelderMarkieren();

// Whether a widget counts as a number field in that sense.
bool istZahlenfeld(const QWidget* w);

} // namespace Tastatur
