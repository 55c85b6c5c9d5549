// Money of the evening: the menu entries that open the settlement of the open
// group and mark the current participant paid; the work lives in geld/.

#include "app/mainwindow.h"

#include <QAction>
#include <QMenu>
#include <QStandardItemModel>
#include <QStatusBar>

#include "geld/dlgabrechnung.h"
#include "geld/geldspeicher.h"
#include "setup/teilnehmertabelle.h"
#include "widgets/mysortfilterproxymodel.h"
#include "widgets/treeview.h"

void MainWindow::geldEinrichten()
{
    auto* aktion = new QAction(tr("Abrechnung\u2026"), this);
    aktion->setObjectName(QStringLiteral("actAbrechnung"));
    aktion->setStatusTip(tr("Startgeld, Zahlungen und Preise der geöffneten Gruppe abrechnen"));
    connect(aktion, &QAction::triggered, this, &MainWindow::onAbrechnung);
    menuTurnier->insertAction(actInfo, aktion);

    // One key at the door: paid in full, or not, for the participant the
    // results table's cursor is on.
    auto* bezahlt = new QAction(tr("Bezahlt an/aus"), this);
    bezahlt->setObjectName(QStringLiteral("actBezahlt"));
    bezahlt->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_B));
    bezahlt->setStatusTip(tr("Markiert den Teilnehmer in der aktuellen Zeile als bezahlt oder nicht bezahlt"));
    connect(bezahlt, &QAction::triggered, this, &MainWindow::onBezahltUmschalten);
    menuTurnier->insertAction(actInfo, bezahlt);
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

void MainWindow::onBezahltUmschalten()
{
    QSqlDatabase db = gruppenDatenbank();
    const QModelIndex aktuell = teilnehmerProxy->mapToSource(teilnehmerView->currentIndex());
    if (aktuelleGruppe().isEmpty() || !db.isValid() || !db.isOpen() || !aktuell.isValid()) {
        statusBar()->showMessage(tr("Kein Teilnehmer einer gespeicherten Gruppe gew\u00e4hlt"), 5000);
        return;
    }
    const int startNr = teilnehmerModel->item(aktuell.row(), 0)->data(Rolle::StartNr).toInt();
    const QString name = teilnehmerModel->item(aktuell.row(), 1)->text();
    Geld::Gebuehren gebuehren;
    Geld::Auszahlplan plan;
    QMap<int, Geld::Zahlung> zahlungen;
    QString fehler;
    Geld::Zahlung z;
    bool ok = Geld::lesen(db, gebuehren, plan, zahlungen, &fehler);
    if (ok) {
        z = zahlungen.value(startNr);
        z.alles = !z.alles;
        ok = Geld::zahlungSpeichern(db, startNr, z, &fehler);
    }
    if (!ok)
        statusBar()->showMessage(QStringLiteral("FEHLER: ") + fehler);
    else
        statusBar()->showMessage(
            (z.alles ? tr("%1 %2: bezahlt") : tr("%1 %2: nicht bezahlt")).arg(startNr).arg(name), 5000);
}
