// The roster tab: the table of players, start numbers, and the text import.

#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QFile>
#include <QHeaderView>
#include <QSet>
#include <QSignalBlocker>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QStandardItemModel>
#include <QStatusBar>

#include "draw/auslosungsdaten.h"
#include "mitglieder/spielermitgliedsmodell.h"
#include "roster/namensregel.h"
#include "roster/spielerauswahl.h"
#include "roster/spielerdatei.h"
#include "roster/spielerliste.h"
#include "setup/teilnehmertabelle.h"
#include "storage/datenbank.h"
#include "widgets/delegates.h"
#include "widgets/dialoge.h"

namespace
{
enum SpielerSpalte { StartNr = 0, VorName, NachName, Gruppe, Mitglied, Preisskat };

constexpr int AuswahlStartNr = Spielerauswahl::StartNrRolle;
constexpr int AuswahlMitglied = Spielerauswahl::MitgliedRolle;
constexpr int AuswahlPreisskat = Spielerauswahl::PreisskatRolle;

// The start number and column of the view's current cell, which outlive a
// reload of the model; a start number of 0 when there is none.
QPair<int, int> aktuelleZelle(QTableView* view, QSqlTableModel* model)
{
    const QModelIndex i = view->currentIndex();
    if (!i.isValid())
        return { 0, 0 };
    return { model->index(i.row(), StartNr).data(Qt::EditRole).toInt(), i.column() };
}

void zelleSetzen(QTableView* view, QSqlTableModel* model, int startNr, int spalte)
{
    QItemSelectionModel* auswahl = view->selectionModel();
    if (!auswahl || startNr == 0)
        return;
    const QModelIndex ziel = model->index(Spielerliste::zeileVon(model, startNr), spalte);
    if (ziel.isValid())
        auswahl->setCurrentIndex(ziel, QItemSelectionModel::ClearAndSelect);
}

// Start numbers and names that stand for players outside the roster: the
// ranking, the open match day's groups and the group being put together.
QVector<Spielerdatei::Nummer> andereNummern(const Verbindungen& verbindungen, const TeilnehmerTabelle* tabelle)
{
    QVector<Spielerdatei::Nummer> nummern = Spielerauswahl::ranglistenNummern(verbindungen.hauptDatenbank());
    const QStringList namen = verbindungen.namen();
    for (const QString& name : namen)
        if (name != verbindungen.hauptVerbindung())
            nummern << Spielerauswahl::teilnehmerNummern(verbindungen.datenbank(name));
    if (tabelle)
        for (int z = 0; z < tabelle->zeilen(); ++z)
            nummern << Spielerdatei::Nummer { tabelle->startNr(z), tabelle->nameItem(z)->text() };
    return nummern;
}
} // namespace

QVector<Spielerdatei::Nummer> MainWindow::andereStartNummern() const
{
    return andereNummern(registry(), teilnehmerTabelle);
}

void MainWindow::spielerModelAufbauen()
{
    QStringList gruppen;
    for (int i = 1; i < ui->cmbSpielerGruppe->count(); ++i)
        gruppen << ui->cmbSpielerGruppe->itemText(i);

    QSqlDatabase db = spieltag->verbindungen().hauptDatenbank();
    if (!db.isValid())
        return;
    spielerModel = new SpielerMitgliedsModell(this, db);
    spielerModel->setTable(QStringLiteral("Spieler"));
    spielerModel->setEditStrategy(QSqlTableModel::OnManualSubmit);
    spielerModel->select();
    ui->tblViewSpieler->setModel(spielerModel);
    ui->tblViewSpieler->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    ui->tblViewSpieler->hideColumn(StartNr);
    ui->tblViewSpieler->show();
    // Passing through a cell never changes it, whatever it holds.
    auto* gruppe = new ComboItemDelegate(gruppen, this);
    gruppe->setGespeichertenWertAnbieten(true);
    ui->tblViewSpieler->setItemDelegateForColumn(Gruppe, gruppe);
    auto* jaNein = new ComboItemDelegate({ QStringLiteral("Ja"), QStringLiteral("Nein") }, this);
    jaNein->setGespeichertenWertAnbieten(true);
    ui->tblViewSpieler->setItemDelegateForColumn(Mitglied, jaNein);
    ui->tblViewSpieler->setItemDelegateForColumn(Preisskat, jaNein);
    connect(spielerModel, &QSqlTableModel::dataChanged, this, &MainWindow::onSpielerDataChanged);
}

int MainWindow::naechsteStartNr()
{
    QSqlDatabase db = spieltag->verbindungen().hauptDatenbank();
    if (!db.isValid())
        return 0;
    QSet<int> vergeben = Spielerauswahl::startNummern(db);
    // A number that stands for somebody in the ranking or on the open match
    // day stays his, also after he has left the roster.
    for (const Spielerdatei::Nummer& n : andereNummern(spieltag->verbindungen(), teilnehmerTabelle))
        vergeben.insert(n.startNr);
    int n = 100;
    while (vergeben.contains(n))
        ++n;
    return n;
}

void MainWindow::onNeuerSpieler()
{
    if (!spielerModel)
        return;
    const int n = naechsteStartNr();
    QSqlRecord r = spielerModel->record();
    r.setValue(QStringLiteral("StartNr"), n);
    r.setValue(QStringLiteral("VorName"), QStringLiteral("-"));
    r.setValue(QStringLiteral("NachName"), QStringLiteral("-"));
    r.setValue(QStringLiteral("Gruppe"), QStringLiteral("Alle"));
    r.setValue(QStringLiteral("Mitglied"), QStringLiteral("Ja"));
    r.setValue(QStringLiteral("Preisskat"), QStringLiteral("Nein"));
    const int zeile = spielerModel->rowCount();
    if (!spielerModel->insertRows(zeile, 1))
        return;
    {
        const QSignalBlocker sperre(spielerModel);
        spielerModel->setRecord(zeile, r);
    }
    // Stored at once, so the next number is counted from it; a button's
    // click is no view commit, so the reload cannot pull an index away.
    if (!spielerModel->submitAll()) {
        const QString fehler = spielerModel->lastError().text();
        spielerVerwerfen();
        Db::Melder::instanz()->melden(fehler);
        return;
    }
    // The reload sorts the rows as the view is sorted; the first name of the
    // new player is where typing goes on.
    zelleSetzen(ui->tblViewSpieler, spielerModel, n, VorName);
}

void MainWindow::onSpielerEntfernen()
{
    if (!spielerModel || !ui->tblViewSpieler->selectionModel())
        return;
    const QModelIndexList zeilen = ui->tblViewSpieler->selectionModel()->selectedRows();
    if (zeilen.isEmpty())
        return;
    for (const QModelIndex& i : zeilen)
        spielerModel->removeRows(i.row(), 1);
    // Several rows go together or not at all, in one commit.
    Db::Transaktion t(spielerModel->database());
    // Start numbers are given again: a pair kept apart goes with its player.
    if (!spielerModel->submitAll() || !Auslosungsdaten::trennpaareBereinigen(spielerModel->database())
        || !t.abschliessen()) {
        Db::Melder::instanz()->melden(spielerModel->lastError().text());
        spielerModel->revertAll();
    }
}

void MainWindow::onSpielerDataChanged(QModelIndex topLeft, QModelIndex bottomRight, QVector<int>)
{
    if (!spielerModel || !topLeft.isValid())
        return;
    // Storing reloads the model in the view's sort order, so the row number
    // means nothing afterwards; the player is named by his start number.
    const int s = spielerModel->index(topLeft.row(), StartNr).data(Qt::EditRole).toInt();
    const int spalte = topLeft.column();
    const bool einzeln = topLeft == bottomRight;
    // The view may be inside its commit of an editor here and still reads
    // its indexes afterwards; the reload waits for the next turn of the loop.
    QMetaObject::invokeMethod(
        this, [this, s, spalte, einzeln] { spielerAenderungSpeichern(s, spalte, einzeln); }, Qt::QueuedConnection);
}

void MainWindow::spielerVerwerfen()
{
    // The reverted rows are shown again through the reload, not row by row:
    // each reverted row would otherwise come back here as a change.
    {
        const QSignalBlocker sperre(spielerModel);
        spielerModel->revertAll();
    }
    spielerModel->select();
}

void MainWindow::spielerAenderungSpeichern(int startNr, int spalte, bool einzeln)
{
    if (!spielerModel)
        return;
    QTableView* view = ui->tblViewSpieler;
    const QPair<int, int> aktuell = aktuelleZelle(view, spielerModel);
    if (spielerModel->isDirty()) {
        for (int z = 0; z < spielerModel->rowCount(); ++z) {
            for (int feld : { VorName, NachName }) {
                const QModelIndex i = spielerModel->index(z, feld);
                const QString name = i.data(Qt::EditRole).toString();
                if (spielerModel->isDirty(i) && !Namensregel::zulaessig(name)) {
                    spielerVerwerfen();
                    zelleSetzen(view, spielerModel, aktuell.first, aktuell.second);
                    Dialoge::fehler(this, Namensregel::fehlerText(name));
                    return;
                }
            }
        }
        if (!spielerModel->submitAll()) {
            const QString fehler = spielerModel->lastError().text();
            spielerVerwerfen();
            Db::Melder::instanz()->melden(fehler);
            return;
        }
    }

    // Typing through a row moves on cell by cell; a click elsewhere, which
    // also ends the edit, keeps the cell clicked.
    if (aktuell.first == 0 || (aktuell.first == startNr && aktuell.second == spalte))
        zelleSetzen(view, spielerModel, startNr, spalte + 1);
    else
        zelleSetzen(view, spielerModel, aktuell.first, aktuell.second);

    if (einzeln)
        spielerInListenUebernehmen(startNr);
}

void MainWindow::spielerInListenUebernehmen(int startNr)
{
    // What the lists get is what was stored.
    const Spielerliste::Flaggen f = Spielerliste::flaggenLesen(spieltag->verbindungen().hauptDatenbank(), startNr);
    if (!f.gefunden)
        return;
    if (auswahlModel) {
        for (int z = 0; z < auswahlModel->rowCount(); ++z) {
            QStandardItem* item = auswahlModel->item(z, 0);
            if (item && item->data(AuswahlStartNr).toInt() == startNr) {
                item->setData(f.mitglied, AuswahlMitglied);
                item->setData(f.preisskat, AuswahlPreisskat);
                break;
            }
        }
    }
    if (teilnehmerTabelle) {
        const int zeile = teilnehmerTabelle->zeileVon(startNr);
        if (zeile >= 0) {
            teilnehmerTabelle->preisskatItem(zeile)->setText(f.preisskat ? tr("Ja") : tr("Nein"));
            teilnehmerTabelle->nameItem(zeile)->setData(f.mitglied, Rolle::Mitglied);
        }
    }
}

void MainWindow::spielerPreisskatUebernehmen(int startNr, bool ja)
{
    // The group's flag is stored already. A player who left the roster has
    // no row to take it, and a failing store is announced by the database;
    // the lists follow the match day's signal.
    spieltag->preisskatUebergeben(startNr, ja);
}

void MainWindow::spielerAnzeigen(int startNr)
{
    const Spielerliste::Flaggen f = Spielerliste::flaggenLesen(spieltag->verbindungen().hauptDatenbank(), startNr);
    if (f.gefunden && auswahlModel) {
        for (int z = 0; z < auswahlModel->rowCount(); ++z) {
            QStandardItem* item = auswahlModel->item(z, 0);
            if (item && item->data(AuswahlStartNr).toInt() == startNr) {
                item->setData(f.mitglied, AuswahlMitglied);
                item->setData(f.preisskat, AuswahlPreisskat);
                break;
            }
        }
    }
    // The results table may be inside its editor's commit; the roster shows
    // the stored entry from the next turn of the event loop on.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (spielerModel && !spielerModel->isDirty())
                spielerModel->select();
        },
        Qt::QueuedConnection);
}

void MainWindow::onSpielerAusDateiLaden()
{
    const QString pfad = Spielerdatei::finden();
    if (pfad.isEmpty()) {
        const QStringList orte = Spielerdatei::suchOrte();
        Dialoge::fehler(this,
            tr("Die Datei %1 wurde nicht gefunden.\nGesucht in:\n%2\n%3")
                .arg(Spielerdatei::dateiName, orte.value(0), orte.value(1)));
        return;
    }
    const Spielerdatei::Ergebnis e = Spielerdatei::dateiLesen(pfad);
    if (!e.fehler.isEmpty()) {
        Dialoge::fehler(this,
            tr("Die Datei %1 wird nicht geladen.\n%2\nDie Spielerliste bleibt unveraendert.").arg(pfad, e.fehler));
        return;
    }
    QSqlDatabase db = spieltag->verbindungen().hauptDatenbank();
    const QVector<Spielerdatei::Bisher> bisher = Spielerdatei::rosterLesen(db);
    const Spielerdatei::Plan plan
        = Spielerdatei::planen(bisher, andereNummern(spieltag->verbindungen(), teilnehmerTabelle), e.spieler);
    if (!bisher.isEmpty()
        && !Dialoge::frage(this,
            tr("Die Spielerliste mit %1 Spielern durch die %2 Spieler aus %3 ersetzen?\n"
               "%4 davon sind schon in der Liste und behalten ihre Startnummer, %5 sind neu.")
                .arg(bisher.size())
                .arg(plan.eintraege.size())
                .arg(pfad)
                .arg(plan.behalten)
                .arg(plan.neu))) {
        statusBar()->showMessage(tr("Die Spielerliste bleibt unveraendert."));
        return;
    }

    // Up to here nothing is changed; a snapshot of the master database, the
    // only file the import changes, is taken before the one step that
    // replaces the roster.
    if (!sicherungVor(tr("Import der Spielerliste"), nullptr, true))
        return;

    if (!Spielerdatei::rosterErsetzen(db, plan.eintraege)) {
        Dialoge::fehler(this, tr("Die Spielerliste konnte nicht ersetzt werden; sie bleibt unveraendert."));
        return;
    }
    // Who kept his start number keeps his pairs; who left the roster not.
    Auslosungsdaten::trennpaareBereinigen(db);
    if (spielerModel)
        spielerVerwerfen();
    // The choice list shows the rows just stored, as reading them back would.
    auswahlZeigen(Spielerauswahl::ausEintraegen(plan.eintraege, ui->cmbSpielerGruppe->currentText()));
    // The counts first: the file's path can be long, and the status bar is
    // shared with the link's label.
    QString meldung = tr("%1 Spieler gelesen, %2 Zeilen uebersprungen (%3 behalten, %4 neu) aus %5")
                          .arg(plan.eintraege.size())
                          .arg(e.uebersprungen)
                          .arg(plan.behalten)
                          .arg(plan.neu)
                          .arg(pfad);
    if (e.windows1252)
        meldung += tr(" (kein UTF-8, als Windows-1252 gelesen)");
    statusBar()->showMessage(meldung);
    if (!e.uebersprungeneZeilen.isEmpty()) {
        // A player left out must not go unnoticed.
        QStringList zeilen;
        for (const Spielerdatei::Uebersprungen& u : e.uebersprungeneZeilen)
            zeilen << tr("Zeile %1: %2 (%3)").arg(u.nummer).arg(u.text, u.grund);
        Dialoge::liste(this, tr("Uebersprungene Zeilen"),
            tr("%1 Zeilen aus %2 wurden nicht uebernommen:").arg(zeilen.size()).arg(pfad), zeilen);
    }
}
