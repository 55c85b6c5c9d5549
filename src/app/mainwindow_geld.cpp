// Money of the evening: the menu entry and the slot that opens the settlement
// of the open group; the work lives in geld/.

#include "app/mainwindow.h"

#include <QAction>
#include <QMenu>
#include <QStatusBar>

#include "geld/dlgabrechnung.h"

void MainWindow::geldEinrichten()
{
    auto* aktion = new QAction(tr("Abrechnung\u2026"), this);
    aktion->setObjectName(QStringLiteral("actAbrechnung"));
    aktion->setStatusTip(tr("Startgeld, Zahlungen und Preise der geöffneten Gruppe abrechnen"));
    connect(aktion, &QAction::triggered, this, &MainWindow::onAbrechnung);
    menuTurnier->insertAction(actInfo, aktion);
}

void MainWindow::onAbrechnung()
{
    QSqlDatabase db = gruppenDatenbank();
    if (aktuelleGruppe().isEmpty() || !db.isValid() || !db.isOpen()) {
        statusBar()->showMessage(tr("Keine Gruppe ge\u00f6ffnet, nichts abzurechnen"), 5000);
        return;
    }
    DlgAbrechnung dlg(db, *einstellungen, turnierVerzeichnis, this);
    dlg.exec();
}
