#pragma once
// Spreadsheet keys for the program's tables, so a match day can be typed in
// without reaching for the mouse.

#include <QObject>

class QAbstractItemView;

namespace Tastatur
{

// Typing, F2 or Enter start editing the current cell (the double click
// stays); Tab moves to the next cell. With `enterNachUnten` Enter in an open
// editor also moves the current cell one row down, as in a spreadsheet;
// tables that move on by themselves after an entry leave it off.
void tabelleBedienbar(QAbstractItemView* ansicht, bool enterNachUnten = true);

} // namespace Tastatur
