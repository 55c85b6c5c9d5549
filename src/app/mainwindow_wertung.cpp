// Score and cost entry: every changed cell of the results table is stored
// here, whoever changed it (typing, the game-list dialog, a draw, the link).

#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QDate>
#include <QSqlError>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QStandardItemModel>

#include "scoring/wertung.h"
#include "setup/teilnehmertabelle.h"
#include "storage/datenbank.h"

void MainWindow::onTeilnehmerItemChanged(QStandardItem* item)
{
    if (!item || teilnehmerSperre > 0)
        return;
    const QModelIndex index = item->index();
    if (!index.isValid() || index.model() != teilnehmerModel)
        return;
    const int zeile = index.row();
    const int spalte = index.column();
    const int startNr = teilnehmerTabelle->startNr(zeile);
    const int n = anzahlSerien();

    const QString gruppe = aktuelleGruppe();
    verbindungen.setAktuelle(gruppe);
    QSqlDatabase db = verbindungen.datenbank(gruppe);
    if (!db.isValid() || !db.isOpen())
        return;

    if (spalte == Spalte::Preisskat) {
        const bool ja = item->text() == QLatin1String("Ja");
        Db::ausfuehren(
            db, QStringLiteral("UPDATE Teilnehmer SET Preisskat=? WHERE StartNr=?"), { ja ? 1 : 0, startNr });
        spielerPreisskatUebernehmen(startNr, ja);
        return;
    }
    if (spalte <= Spalte::Name || spalte >= teilnehmerModel->columnCount() - 2)
        return;

    const int s = item->data(Rolle::Serie).toInt();
    switch (item->data(Rolle::Art).toInt()) {
    case Art::Punkte: {
        const int p = Zahl::ganz(item->text());
        int summe = p;
        for (int i = 1; i <= n; ++i)
            if (i != s && teilnehmerTabelle->punkteItem(zeile, i))
                summe += Zahl::ganz(teilnehmerTabelle->punkteItem(zeile, i)->text());
        // Points and their sum belong together; a crash between the two
        // statements must not leave a sum that disagrees with the series.
        Db::Transaktion t(db);
        Db::ausfuehren(db, QStringLiteral("UPDATE Serie%1 SET Punkte=? WHERE StartNr=?").arg(s), { p, startNr });
        if (QStandardItem* summenItem = teilnehmerTabelle->summePunkteItem(zeile))
            summenItem->setText(QString::number(summe));
        Db::ausfuehren(db, QStringLiteral("UPDATE Teilnehmer SET SummePunkte=? WHERE StartNr=?"), { summe, startNr });
        t.abschliessen();
        speichereRanglistenPunkte(startNr, ui->dateEdit->date(), teilnehmerTabelle->nameItem(zeile)->text(), summe);
        break;
    }
    case Art::Tisch:
        Db::ausfuehren(db, QStringLiteral("UPDATE Serie%1 SET Tisch=? WHERE StartNr=?").arg(s),
            { Zahl::ganz(item->text()), startNr });
        break;
    case Art::Kosten: {
        const double k = Zahl::dezimal(item->text());
        double summe = k;
        for (int i = 1; i <= n; ++i)
            if (i != s && teilnehmerTabelle->kostenItem(zeile, i))
                summe += Zahl::dezimal(teilnehmerTabelle->kostenItem(zeile, i)->text());
        Db::Transaktion t(db);
        Db::ausfuehren(
            db, QStringLiteral("UPDATE Serie%1 SET Kosten=? WHERE StartNr=?").arg(s), { Zahl::euro(k), startNr });
        if (QStandardItem* summenItem = teilnehmerTabelle->summeKostenItem(zeile))
            summenItem->setText(Zahl::euro(summe));
        Db::ausfuehren(db, QStringLiteral("UPDATE Teilnehmer SET SummeKosten=? WHERE StartNr=?"),
            { Zahl::allgemein(summe), startNr });
        t.abschliessen();
        break;
    }
    default:
        break;
    }
}

bool MainWindow::speichereRanglistenPunkte(int startNr, QDate datum, QString name, int punkte)
{
    Wertung::ranglistePunkteSpeichern(verbindungen.hauptDatenbank(), startNr, datum, name, punkte);
    return true;
}

void MainWindow::onKorrektur(bool on)
{
    // Changing editability emits itemChanged; none of it is an entry.
    ++teilnehmerSperre;
    const int n = anzahlSerien();
    for (int z = 0; z < teilnehmerModel->rowCount(); ++z) {
        if (QStandardItem* p = teilnehmerTabelle->preisskatItem(z))
            p->setEditable(on);
        for (int s = 1; s <= n; ++s) {
            if (QStandardItem* punkte = teilnehmerTabelle->punkteItem(z, s))
                punkte->setEditable(on);
            if (QStandardItem* kosten = teilnehmerTabelle->kostenItem(z, s))
                kosten->setEditable(on);
            QStandardItem* tisch = teilnehmerTabelle->tischItem(z, s);
            if (on && tisch && Zahl::ganz(tisch->text()) == 0)
                tisch->setEditable(true);
        }
        if (QStandardItem* summe = teilnehmerModel->item(z, Spalte::summePunkte(n)))
            summe->setEditable(on);
        if (QStandardItem* summe = teilnehmerModel->item(z, Spalte::summeKosten(n)))
            summe->setEditable(on);
    }
    --teilnehmerSperre;
}
