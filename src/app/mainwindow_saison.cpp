// Season standings: the menu entry and the slot that opens the standings of
// many match days; the work lives in season/.

#include "app/mainwindow.h"

#include <QAction>
#include <QMenu>

#include "season/dlgsaison.h"

void MainWindow::saisonEinrichten()
{
    auto* aktion = new QAction(tr("Saisonwertung\u2026"), this);
    aktion->setObjectName(QStringLiteral("actSaisonwertung"));
    aktion->setStatusTip(tr("Rangliste über viele Spieltage: Summe, Durchschnitt oder beste Spieltage"));
    connect(aktion, &QAction::triggered, this, &MainWindow::onSaisonwertung);
    menuTurnier->insertAction(actInfo, aktion);
}

void MainWindow::onSaisonwertung()
{
    DlgSaison dlg(spieltag->verbindungen().hauptDatenbank(), datenbankVerzeichnis, einstellungen, this);
    dlg.exec();
}
