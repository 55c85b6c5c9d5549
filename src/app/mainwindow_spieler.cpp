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

#include "app/dialoge.h"
#include "roster/spielerdatei.h"
#include "setup/teilnehmertabelle.h"
#include "storage/datenbank.h"
#include "widgets/delegates.h"

namespace
{
enum SpielerSpalte { StartNr = 0, VorName, NachName, Gruppe, Mitglied, Preisskat };

bool flagge(const QVariant& v)
{
    return v.toString() == QLatin1String("Ja");
}
} // namespace

void MainWindow::spielerModelAufbauen()
{
    QStringList gruppen;
    for (int i = 1; i < ui->cmbSpielerGruppe->count(); ++i)
        gruppen << ui->cmbSpielerGruppe->itemText(i);

    QSqlDatabase db = verbindungen.hauptDatenbank();
    if (!db.isValid())
        return;
    spielerModel = new QSqlTableModel(this, db);
    spielerModel->setTable(QStringLiteral("Spieler"));
    spielerModel->setEditStrategy(QSqlTableModel::OnManualSubmit);
    spielerModel->select();
    ui->tblViewSpieler->setModel(spielerModel);
    ui->tblViewSpieler->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    ui->tblViewSpieler->hideColumn(StartNr);
    ui->tblViewSpieler->show();
    ui->tblViewSpieler->setItemDelegateForColumn(Gruppe, new ComboItemDelegate(gruppen, this));
    auto* jaNein = new ComboItemDelegate({ QStringLiteral("Ja"), QStringLiteral("Nein") }, this);
    ui->tblViewSpieler->setItemDelegateForColumn(Mitglied, jaNein);
    ui->tblViewSpieler->setItemDelegateForColumn(Preisskat, jaNein);
    connect(spielerModel, &QSqlTableModel::dataChanged, this, &MainWindow::onSpielerDataChanged);
}

int MainWindow::naechsteStartNr()
{
    QSqlDatabase db = verbindungen.hauptDatenbank();
    if (!db.isValid())
        return 0;
    QSqlQuery q = Db::abfrage(db, QStringLiteral("SELECT StartNr FROM Spieler"));
    QSet<int> vergeben;
    while (q.next())
        vergeben.insert(q.value(0).toInt());
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
    // Qt signals each field of a record on its own; the new row is announced
    // once, as one change of the whole row, so it costs one commit.
    {
        const QSignalBlocker sperre(spielerModel);
        spielerModel->setRecord(zeile, r);
    }
    emit spielerModel->dataChanged(spielerModel->index(zeile, 0), spielerModel->index(zeile, r.count() - 1));
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
    if (!spielerModel->submitAll() || !t.abschliessen()) {
        Db::Melder::instanz()->melden(spielerModel->lastError().text());
        spielerModel->revertAll();
    }
}

void MainWindow::onSpielerDataChanged(QModelIndex topLeft, QModelIndex bottomRight, QVector<int>)
{
    if (!spielerModel->submitAll())
        Db::Melder::instanz()->melden(spielerModel->lastError().text());

    if (QItemSelectionModel* auswahl = ui->tblViewSpieler->selectionModel()) {
        const QModelIndex rechts = spielerModel->index(topLeft.row(), topLeft.column() + 1);
        if (rechts.isValid())
            auswahl->setCurrentIndex(rechts, QItemSelectionModel::ClearAndSelect);
    }
    if (topLeft != bottomRight)
        return;

    const QSqlRecord r = spielerModel->record(topLeft.row());
    if (r.isEmpty())
        return;
    const int s = r.value(QStringLiteral("StartNr")).toInt();
    const bool m = flagge(r.value(QStringLiteral("Mitglied")));
    const bool p = flagge(r.value(QStringLiteral("Preisskat")));

    if (auswahlModel) {
        for (int z = 0; z < auswahlModel->rowCount(); ++z) {
            QStandardItem* item = auswahlModel->item(z, 0);
            if (item && item->data(Rolle::StartNr).toInt() == s) {
                item->setData(m, Qt::UserRole + 2);
                item->setData(p, Qt::UserRole + 3);
                break;
            }
        }
    }
    if (teilnehmerTabelle) {
        const int zeile = teilnehmerTabelle->zeileVon(s);
        if (zeile >= 0) {
            teilnehmerTabelle->preisskatItem(zeile)->setText(p ? tr("Ja") : tr("Nein"));
            teilnehmerTabelle->nameItem(zeile)->setData(m, Rolle::Mitglied);
        }
    }
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
    QFile datei(pfad);
    if (!datei.open(QIODevice::ReadOnly)) {
        Dialoge::fehler(this, tr("Die Datei %1 kann nicht gelesen werden:\n%2").arg(pfad, datei.errorString()));
        return;
    }
    const Spielerdatei::Ergebnis e = Spielerdatei::lesen(datei.readAll());
    if (e.spieler.isEmpty()) {
        Dialoge::fehler(this,
            tr("In der Datei %1 hat keine Zeile vier durch Leerzeichen getrennte Felder.\n"
               "Die Spielerliste bleibt unveraendert.")
                .arg(pfad));
        return;
    }
    if (!sicherungVor(tr("Import der Spielerliste")))
        return;
    if (!Spielerdatei::rosterErsetzen(verbindungen.hauptDatenbank(), e.spieler)) {
        Dialoge::fehler(this, tr("Die Spielerliste konnte nicht ersetzt werden; sie bleibt unveraendert."));
        return;
    }
    if (spielerModel)
        spielerModel->select();
    statusBar()->showMessage(
        tr("%1 Spieler aus %2 gelesen, %3 Zeilen uebersprungen").arg(e.spieler.size()).arg(pfad).arg(e.uebersprungen));
}
