// The game-list dialog: one table's list of one series in one step.

#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QHash>
#include <QSqlQuery>
#include <QStandardItemModel>

#include "scoring/dlglisteeintragen.h"
#include "setup/teilnehmertabelle.h"
#include "storage/datenbank.h"
#include "storage/spieltagleser.h"

void MainWindow::onListeEintragen()
{
    // The dialog lists the players of the group the results table shows, so
    // the list is applied to the same group it was read from.
    QSqlDatabase db = gruppenDatenbank();
    if (!db.isValid() || !db.isOpen())
        return;
    if (!tischaufteilung.contains(aktuelleGruppe()))
        return;
    int ersterTisch = 0;
    int letzterTisch = 0;
    {
        QSqlQuery q = Db::abfrage(db, QStringLiteral("SELECT ErsterTisch, LetzterTisch FROM Gruppe"));
        if (!q.next())
            return;
        ersterTisch = q.value(0).toInt();
        letzterTisch = q.value(1).toInt();
    }
    const int n = anzahlSerien();
    // A last table below the first means the group has no tables (0 before
    // its split is known); the dialog then offers none.
    if (ersterTisch < 1 || ersterTisch > Spieltag::maxTischNummer || letzterTisch < 0
        || letzterTisch > Spieltag::maxTischNummer) {
        Db::Melder::instanz()->melden(tr("Tische %1 bis %2 der Gruppe %3 sind ungueltig")
                                          .arg(ersterTisch)
                                          .arg(letzterTisch)
                                          .arg(aktuelleGruppe()));
        return;
    }

    DlgListeEintragen dlg(ersterTisch, letzterTisch, n, db, this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    int tisch = 0;
    int serie = 0;
    QList<SpielListenEintrag> liste;
    dlg.eintraege(tisch, serie, liste);
    // Series 0 means none was chosen; its columns would be no series cells.
    if (liste.isEmpty() || serie < 1 || serie > qMin(n, teilnehmerTabelle->serien()))
        return;

    QHash<int, SpielListenEintrag> nachStartNr;
    for (const SpielListenEintrag& e : qAsConst(liste))
        nachStartNr.insert(e.StartNr, e);
    // Signals stay active: score entry stores each changed cell and the sums.
    for (int z = 0; z < teilnehmerModel->rowCount(); ++z) {
        auto it = nachStartNr.constFind(teilnehmerTabelle->startNr(z));
        if (it == nachStartNr.constEnd())
            continue;
        if (QStandardItem* punkte = teilnehmerTabelle->punkteItem(z, serie))
            punkte->setText(QStringLiteral("%1").arg(it->Punkte));
        if (QStandardItem* kosten = teilnehmerTabelle->kostenItem(z, serie))
            kosten->setText(Zahl::euro(it->Kosten));
    }
}
