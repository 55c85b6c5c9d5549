// The game-list dialog: one table's list of one series in one step.

#include "app/mainwindow.h"

void MainWindow::onListeEintragen() { nochNichtVerfuegbar(tr("Liste eintragen")); }
