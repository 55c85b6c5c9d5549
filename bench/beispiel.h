#pragma once
// Builds a prepared match day in a given HOME: a roster, one group with its
// participants, drawn series and entered points. Shared by the benchmark and
// the README picture.

#include <QString>

class MainWindow;

namespace Beispiel
{

// Points HOME, the XDG folders and the settings store at `zuhause`. Call
// before the QApplication exists.
void zuhauseSetzen(const QString& zuhause);

// Writes a roster of `spieler` players and a stored group "Herren" of today
// with all of them and `serien` series into the data folder of the current
// HOME; the next start of the program reopens it.
void spieltagAnlegen(int spieler, int serien);

// Draws the first `gezogen` series at random and enters points and costs in
// them, through the program's own window.
void auslosenUndWerten(MainWindow& w, int gezogen);

} // namespace Beispiel
