// Participant maintenance: active/inactive per series and late registration.

#include "app/mainwindow.h"

void MainWindow::onTeilNehmerAktivDeaktiv() { nochNichtVerfuegbar(tr("Teilnehmer aktiv/deaktiv setzen")); }
void MainWindow::onTeilnehmerNachmelden() { nochNichtVerfuegbar(tr("Teilnehmer nachmelden")); }
