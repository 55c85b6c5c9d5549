// The game-list dialog: one table's list of one series in one step.

#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QHash>
#include <QMap>
#include <QStandardItemModel>
#include <QStatusBar>

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
    // A group without a settings row or with damaged table numbers offers
    // no table; the reason is said.
    QString fehler;
    const std::optional<OffenerSpieltag::Tischbereich> t = spieltag->tischbereich(aktuelleGruppe(), &fehler);
    if (!t) {
        melden(tr("FEHLER: %1").arg(fehler));
        return;
    }
    DlgListeEintragen dlg(t->erster, t->letzter, anzahlSerien(), db, this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    int tisch = 0;
    int serie = 0;
    QList<SpielListenEintrag> liste;
    dlg.eintraege(tisch, serie, liste);
    listeAnwenden(tisch, serie, liste);
}

void MainWindow::onNaechsteListeEintragen()
{
    QSqlDatabase db = gruppenDatenbank();
    if (!gruppeFestgelegt || !db.isValid() || !db.isOpen() || !tischaufteilung.contains(aktuelleGruppe())) {
        melden(tr("Keine Spielliste einzutragen: erst eine Gruppe anlegen und ihre Teilnehmer festlegen"), 8000);
        return;
    }
    const int serie = letzteGelosteSerie();
    if (serie == 0) {
        melden(tr("Noch keine Serie ausgelost: erst auslosen (Strg+L)"), 8000);
        return;
    }
    // A group without a settings row or with damaged table numbers offers
    // no table; the reason is said.
    QString fehler;
    const std::optional<OffenerSpieltag::Tischbereich> t = spieltag->tischbereich(aktuelleGruppe(), &fehler);
    if (!t) {
        melden(tr("FEHLER: %1").arg(fehler));
        return;
    }
    int tisch = naechsterTischOhneErgebnis(serie, 0);
    if (tisch == 0) {
        melden(tr("Alle Tische von Serie %1 haben Ergebnisse; der erste wird zum Nachsehen gezeigt").arg(serie), 8000);
        for (int z = 0; z < teilnehmerTabelle->zeilen(); ++z) {
            const TeilnehmerZelle zelle = teilnehmerTabelle->tischItem(z, serie);
            const int nr = zelle ? Zahl::ganz(zelle->text()) : 0;
            if (nr > 0 && (tisch == 0 || nr < tisch))
                tisch = nr;
        }
    }
    ui->tabWidget->setCurrentIndex(1);
    DlgListeEintragen dlg(t->erster, t->letzter, anzahlSerien(), db, this);
    dlg.vorwaehlen(tisch, serie);
    dlg.weiterAnbieten([this](int tisch, int serie, const QList<SpielListenEintrag>& liste) {
        if (!listeAnwenden(tisch, serie, liste))
            return -1;
        const int naechster = naechsterTischOhneErgebnis(serie, tisch);
        if (naechster == 0)
            melden(tr("Tisch %1 eingetragen; alle Tische von Serie %2 haben jetzt Ergebnisse").arg(tisch).arg(serie));
        return naechster;
    });
    if (dlg.exec() != QDialog::Accepted)
        return;
    int gewaehlt = 0;
    int s = 0;
    QList<SpielListenEintrag> liste;
    dlg.eintraege(gewaehlt, s, liste);
    listeAnwenden(gewaehlt, s, liste);
}

int MainWindow::naechsterTischOhneErgebnis(int serie, int nach) const
{
    // Table -> whether anyone there has points or costs in the series.
    QMap<int, bool> ergebnis;
    for (int z = 0; z < teilnehmerTabelle->zeilen(); ++z) {
        const TeilnehmerZelle tisch = teilnehmerTabelle->tischItem(z, serie);
        const int nr = tisch ? Zahl::ganz(tisch->text()) : 0;
        if (nr <= 0)
            continue;
        const TeilnehmerZelle punkte = teilnehmerTabelle->punkteItem(z, serie);
        const TeilnehmerZelle kosten = teilnehmerTabelle->kostenItem(z, serie);
        const bool hat
            = (punkte && Zahl::ganz(punkte->text()) != 0) || (kosten && Zahl::dezimal(kosten->text()) != 0.0);
        ergebnis[nr] = ergebnis.value(nr, false) || hat;
    }
    // The tables after the one just entered first, then those before it.
    for (auto it = ergebnis.upperBound(nach); it != ergebnis.cend(); ++it)
        if (!it.value())
            return it.key();
    for (auto it = ergebnis.cbegin(); it != ergebnis.cend() && it.key() < nach; ++it)
        if (!it.value())
            return it.key();
    return 0;
}

bool MainWindow::listeAnwenden(int tisch, int serie, const QList<SpielListenEintrag>& liste)
{
    const int n = anzahlSerien();
    // Series 0 means none was chosen; its columns would be no series cells.
    if (liste.isEmpty() || serie < 1 || serie > qMin(n, teilnehmerTabelle->serien()))
        return false;

    QVector<OffenerSpieltag::Ergebnis> zeilen;
    for (const SpielListenEintrag& e : liste)
        zeilen.append({ e.StartNr, serie, e.Punkte, e.Kosten });
    QString fehler;
    const bool alles = spieltag->ergebnisseSpeichern(aktuelleGruppe(), zeilen, &fehler);
    if (!alles && statusBar()->currentMessage() != tr("FEHLER: %1").arg(fehler))
        melden(tr("FEHLER: %1").arg(fehler));
    if (alles)
        melden(tr("Spielliste von Tisch %1, Serie %2 eingetragen").arg(tisch).arg(serie), 8000);
    return alles;
}
