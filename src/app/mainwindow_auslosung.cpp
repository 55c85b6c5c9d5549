// Table distribution, seat plan and the draws of a series.

#include "app/mainwindow.h"

#include <QDate>

#include "ui_mainwindow.h"

#include <QBrush>
#include <QHash>
#include <QSqlQuery>
#include <QStandardItemModel>

#include "setup/teilnehmertabelle.h"
#include "storage/datenbank.h"

void MainWindow::tischaufteilungBerechnen(int serie)
{
    // While a group is being set up, its name comes from the player group;
    // an opened group keeps its own name and never gains a phantom entry.
    const QString spielerGruppe = ui->cmbSpielerGruppe->currentText();
    if (!gruppeFestgelegt
        && ui->cmbTeilnehmerGruppe->findText(spielerGruppe, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
        ui->cmbTeilnehmerGruppe->addItem(spielerGruppe);
        ui->cmbTeilnehmerGruppe->setCurrentText(spielerGruppe);
    }
    const QString g = aktuelleGruppe();
    tischLayout[g].clear();

    int n = teilnehmerModel->rowCount();
    QSqlDatabase db = gruppenDatenbank();
    if (serie != 0 && db.isValid() && db.isOpen()) {
        QSqlQuery q = Db::abfrage(db, QStringLiteral("SELECT Aktiv FROM Serie%1").arg(serie));
        while (q.next())
            if (!q.value(0).toBool())
                --n;
    }
    const Tischaufteilung a = ::tischaufteilung(n);
    tischLayout[g] = tischLayoutBerechnen(ui->leTischNr1->text().toInt(), a);
    tischaufteilung.insert(g, a);
    ui->leTischaufteilung->setText(tr("%1 Spieler - 4er %2 - 3er %3").arg(n).arg(a.vierer).arg(a.dreier));
}

void MainWindow::sitzplanAufbauen(int serie)
{
    const QString g = aktuelleGruppe();
    Sitzplan plan = leererSitzplan(tischLayout.value(g));
    if (serie < 1 || serie > teilnehmerTabelle->serien()) {
        sitzplan.insert(g, plan);
        return;
    }

    // One query for the whole series instead of one per participant.
    QHash<int, bool> aktiv;
    QSqlDatabase db = gruppenDatenbank();
    const bool mitDb = db.isValid() && db.isOpen();
    if (mitDb) {
        QSqlQuery q = Db::abfrage(db, QStringLiteral("SELECT StartNr, Aktiv FROM Serie%1").arg(serie));
        while (q.next())
            if (!aktiv.contains(q.value(0).toInt()))
                aktiv.insert(q.value(0).toInt(), q.value(1).toBool());
    }
    for (int z = 0; z < teilnehmerModel->rowCount(); ++z) {
        const int startNr = teilnehmerTabelle->startNr(z);
        QStandardItem* tisch = teilnehmerTabelle->tischItem(z, serie);
        if (!tisch)
            continue;
        auto it = aktiv.constFind(startNr);
        if (it != aktiv.constEnd()) {
            if (!it.value()) {
                tisch->setText(QStringLiteral("-1"));
                tisch->setBackground(QBrush(Qt::red));
            } else {
                tisch->setBackground(teilnehmerTabelle->punkteItem(z, serie)->background());
            }
        }
        const int t = Zahl::ganz(tisch->text());
        if (t > 0)
            platzBelegen(plan, t, startNr);
    }
    sitzplan.insert(g, plan);
}

void MainWindow::onAuslosen() { nochNichtVerfuegbar(tr("Auslosen")); }
void MainWindow::auslosenZufall(int) {}
void MainWindow::auslosenRang(int) {}
void MainWindow::auslosenSpieltag(const QDate&, int) {}
void MainWindow::sitzplanSchreiben(int) {}
void MainWindow::onAuslosungZuruecksetzen() { nochNichtVerfuegbar(tr("Auslosung zuruecksetzen")); }
