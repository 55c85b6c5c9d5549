// The door: member lists read from spreadsheets into the roster; the work
// lives in mitglieder/.

#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QSqlTableModel>
#include <QStatusBar>

#include "mitglieder/dlggast.h"
#include "mitglieder/dlgmitgliederliste.h"
#include "mitglieder/mitgliederliste.h"
#include "widgets/dialoge.h"

void MainWindow::anmeldungEinrichten()
{
    auto* importieren = new QAction(tr("Spieler importieren\u2026"), this);
    importieren->setObjectName(QStringLiteral("actSpielerImportieren"));
    importieren->setStatusTip(tr("Spieler aus einer Mitgliederliste (CSV, Text oder Excel .xlsx) übernehmen"));
    connect(importieren, &QAction::triggered, this, &MainWindow::onSpielerImportieren);
    menuTurnier->insertAction(actInfo, importieren);

    auto* gast = new QAction(tr("Gast aufnehmen\u2026"), this);
    gast->setObjectName(QStringLiteral("actGastAufnehmen"));
    gast->setShortcut(QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_G));
    gast->setStatusTip(tr("Einen Gast (kein Mitglied) mit Name und Gruppe in die Spielerliste aufnehmen"));
    connect(gast, &QAction::triggered, this, &MainWindow::onGastAufnehmen);
    menuTurnier->insertAction(actInfo, gast);
}

void MainWindow::onGastAufnehmen()
{
    gastAufnehmen(QString());
}

int MainWindow::gastAufnehmen(const QString& name)
{
    QStringList gruppen;
    for (int i = 1; i < ui->cmbSpielerGruppe->count(); ++i)
        gruppen << ui->cmbSpielerGruppe->itemText(i);
    if (gruppen.isEmpty()) {
        statusBar()->showMessage(tr("FEHLER: Es gibt noch keine Spielergruppe fuer den Gast."));
        return 0;
    }
    DlgGast dlg(gruppen, ui->cmbSpielerGruppe->currentText(), this);
    if (!name.isEmpty())
        dlg.nameVorgeben(name);
    if (dlg.exec() != QDialog::Accepted)
        return 0;
    const int startNr = naechsteStartNr();
    QString fehler;
    if (!Mitgliederliste::gastAnlegen(
            verbindungen.hauptDatenbank(), startNr, dlg.vorname(), dlg.nachname(), dlg.gruppe(), &fehler)) {
        statusBar()->showMessage(tr("FEHLER: %1").arg(fehler));
        return 0;
    }
    if (spielerModel && !spielerModel->isDirty())
        spielerModel->select();
    auswahlLaden(ui->cmbSpielerGruppe->currentText());
    statusBar()->showMessage(
        tr("Gast %1 %2 mit Startnummer %3 aufgenommen").arg(dlg.vorname(), dlg.nachname()).arg(startNr));
    return startNr;
}

void MainWindow::onSpielerImportieren()
{
    const QString pfad = Dialoge::oeffnenName(this, tr("Spieler importieren"), QString(),
        tr("Mitgliederlisten (*.csv *.txt *.tsv *.xlsx);;Alle Dateien (*)"));
    if (pfad.isEmpty())
        return;
    const Mitgliederliste::Tabelle tabelle = Mitgliederliste::dateiLesen(pfad);
    if (!tabelle.fehler.isEmpty() || tabelle.zeilen.isEmpty()) {
        Dialoge::fehler(this,
            tr("Die Datei %1 wird nicht geladen.\n%2\nDie Spielerliste bleibt unveraendert.")
                .arg(pfad, tabelle.fehler.isEmpty() ? tr("Sie enthält keine Zeilen.") : tabelle.fehler));
        return;
    }
    DlgMitgliederliste dlg(tabelle, Mitgliederliste::gespeicherteZuordnung(tabelle.zeilen.first()), this);
    if (dlg.exec() != QDialog::Accepted) {
        statusBar()->showMessage(tr("Die Spielerliste bleibt unveraendert."));
        return;
    }
    const Mitgliederliste::Zuordnung zuordnung = dlg.zuordnung();
    Mitgliederliste::zuordnungSpeichern(zuordnung);

    QSqlDatabase db = verbindungen.hauptDatenbank();
    const QString standardGruppe = ui->cmbSpielerGruppe->currentText();
    const Mitgliederliste::Plan plan = Mitgliederliste::planen(
        Mitgliederliste::rosterLesen(db), andereStartNummern(), tabelle, zuordnung, standardGruppe);
    using Art = Mitgliederliste::Art;
    const QString zusammenfassung = tr(
        "%1 neu, %2 geändert, %3 unverändert, %4 übersprungen; %5 Spieler der Liste fehlen in der Datei und bleiben.")
                                        .arg(plan.anzahl(Art::Neu))
                                        .arg(plan.anzahl(Art::Geaendert))
                                        .arg(plan.anzahl(Art::Unveraendert))
                                        .arg(plan.anzahl(Art::Uebersprungen))
                                        .arg(plan.fehlend.size());
    // Every line is shown before anything is stored.
    Dialoge::liste(
        this, tr("Spieler importieren"), tr("%1\n%2").arg(QFileInfo(pfad).fileName(), zusammenfassung), plan.bericht());
    if (plan.anzahl(Art::Neu) + plan.anzahl(Art::Geaendert) == 0) {
        statusBar()->showMessage(tr("Nichts zu übernehmen: %1").arg(zusammenfassung));
        return;
    }
    if (!Dialoge::frage(this, tr("Die Spieler so übernehmen?\n%1").arg(zusammenfassung))) {
        statusBar()->showMessage(tr("Die Spielerliste bleibt unveraendert."));
        return;
    }
    if (!sicherungVor(tr("Import der Spielerliste"), nullptr, true))
        return;
    if (!Mitgliederliste::uebernehmen(db, plan)) {
        Dialoge::fehler(this, tr("Die Spieler konnten nicht übernommen werden; die Spielerliste bleibt unveraendert."));
        return;
    }
    if (spielerModel)
        spielerVerwerfen();
    auswahlLaden(ui->cmbSpielerGruppe->currentText());
    statusBar()->showMessage(tr("Spieler importiert: %1").arg(zusammenfassung));
}
