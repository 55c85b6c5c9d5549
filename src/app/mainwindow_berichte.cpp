// Reports: match-day files and the ranking.

#include "app/mainwindow.h"

#include <QTextStream>

void MainWindow::onTeilnehmerAusgabeInDatei() { nochNichtVerfuegbar(tr("Ausgabe in Datei")); }
void MainWindow::onTeilnehmerTextAusgabe() { nochNichtVerfuegbar(tr("Textdatei")); }
void MainWindow::onTeilnehmerExcelAusgabe() { nochNichtVerfuegbar(tr("Excel-Import-Datei")); }
void MainWindow::onTeilnehmerHtmlAusgabe() { nochNichtVerfuegbar(tr("HTML Datei")); }
void MainWindow::onRangliste() { nochNichtVerfuegbar(tr("Rangliste")); }
void MainWindow::htmlKopfAusgeben(QTextStream&, QString) {}
void MainWindow::htmlFussAusgeben(QTextStream&) {}
