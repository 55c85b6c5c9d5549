// The game-list dialog: one table's list of one series in one step.

#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QHash>
#include <QMap>
#include <QSqlQuery>
#include <QStandardItemModel>
#include <QStatusBar>

#include "scoring/dlglisteeintragen.h"
#include "setup/teilnehmertabelle.h"
#include "storage/datenbank.h"
#include "storage/spieltagleser.h"

namespace
{

struct Tische {
    int erster = 0;
    int letzter = 0;
};

// The group's tables as the dialog offers them; none when the group has no
// row or its numbers are damaged (which is said).
std::optional<Tische> tischeLesen(QSqlDatabase db, const QString& gruppe)
{
    QSqlQuery q = Db::abfrage(db, QStringLiteral("SELECT ErsterTisch, LetzterTisch FROM Gruppe"));
    if (!q.next())
        return std::nullopt;
    const Tische t { q.value(0).toInt(), q.value(1).toInt() };
    // A last table below the first means the group has no tables (0 before
    // its split is known); the dialog then offers none.
    if (t.erster < 1 || t.erster > Spieltag::maxTischNummer || t.letzter < 0
        || t.letzter > Spieltag::maxTischNummer) {
        Db::Melder::instanz()->melden(
            QObject::tr("Tische %1 bis %2 der Gruppe %3 sind ungueltig").arg(t.erster).arg(t.letzter).arg(gruppe));
        return std::nullopt;
    }
    return t;
}

} // namespace

void MainWindow::onListeEintragen()
{
    // The dialog lists the players of the group the results table shows, so
    // the list is applied to the same group it was read from.
    QSqlDatabase db = gruppenDatenbank();
    if (!db.isValid() || !db.isOpen())
        return;
    if (!tischaufteilung.contains(aktuelleGruppe()))
        return;
    const std::optional<Tische> t = tischeLesen(db, aktuelleGruppe());
    if (!t)
        return;
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
    const std::optional<Tische> t = tischeLesen(db, aktuelleGruppe());
    if (!t)
        return;
    int tisch = naechsterTischOhneErgebnis(serie, 0);
    if (tisch == 0) {
        melden(tr("Alle Tische von Serie %1 haben Ergebnisse; der erste wird zum Nachsehen gezeigt").arg(serie), 8000);
        for (int z = 0; z < teilnehmerTabelle->zeilen(); ++z) {
            const QStandardItem* zelle = teilnehmerTabelle->tischItem(z, serie);
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
        const QStandardItem* tisch = teilnehmerTabelle->tischItem(z, serie);
        const int nr = tisch ? Zahl::ganz(tisch->text()) : 0;
        if (nr <= 0)
            continue;
        const QStandardItem* punkte = teilnehmerTabelle->punkteItem(z, serie);
        const QStandardItem* kosten = teilnehmerTabelle->kostenItem(z, serie);
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
