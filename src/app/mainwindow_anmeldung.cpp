// The door: member lists read from spreadsheets into the roster, guests in
// one step, and the check-in desk; the work lives in mitglieder/.

#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QSqlTableModel>
#include <QStandardItemModel>
#include <QStatusBar>

#include "geld/geldspeicher.h"
#include "mitglieder/dlganmeldung.h"
#include "mitglieder/dlggast.h"
#include "mitglieder/dlgmitgliederliste.h"
#include "mitglieder/mitgliederliste.h"
#include "roster/namensregel.h"
#include "setup/teilnehmertabelle.h"
#include "spieltag/offenerspieltag.h"
#include "storage/datenbank.h"
#include "storage/pfade.h"
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

    auto* anmeldung = new QAction(tr("Anmeldung\u2026"), this);
    anmeldung->setObjectName(QStringLiteral("actAnmeldung"));
    anmeldung->setShortcut(QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_A));
    anmeldung->setStatusTip(tr("Spieler an der Tür in die aktuelle Gruppe aufnehmen und als bezahlt markieren"));
    connect(anmeldung, &QAction::triggered, this, &MainWindow::onAnmeldung);
    menuTurnier->insertAction(actInfo, anmeldung);

    // Who leaves the selection before the group is confirmed takes his
    // advance payment with him.
    connect(teilnehmerModel, &QAbstractItemModel::rowsAboutToBeRemoved, this,
        [this](const QModelIndex&, int erste, int letzte) { vormerkungenStreichen(erste, letzte); });
    connect(teilnehmerModel, &QAbstractItemModel::modelAboutToBeReset, this,
        [this] { vormerkungenStreichen(0, teilnehmerTabelle->zeilen() - 1); });
}

void MainWindow::vormerkungenStreichen(int erste, int letzte)
{
    if (gruppeFestgelegt || erste > letzte)
        return;
    QVector<int> startNrs;
    for (int z = std::max(0, erste); z <= letzte && z < teilnehmerTabelle->zeilen(); ++z)
        startNrs << teilnehmerTabelle->startNr(z);
    QString fehler;
    if (!Geld::vormerkungenStreichen(
            registry().hauptDatenbank(), ui->dateEdit->date(), ui->cmbSpielerGruppe->currentText(), startNrs, &fehler))
        statusBar()->showMessage(tr("FEHLER: %1").arg(fehler));
}

bool MainWindow::vormerkungenEinloesen(const QString& gruppe)
{
    // They are today's: a group of another day with the same name never
    // takes them.
    const QString heute = Pfade::turnierVerzeichnis(datenbankVerzeichnis, ui->dateEdit->date());
    if (QFileInfo(turnierVerzeichnis).canonicalFilePath() != QFileInfo(heute).canonicalFilePath())
        return false;
    QSqlDatabase db = spieltag->verbindungen().datenbank(gruppe);
    if (!db.isValid() || !db.isOpen())
        return false;
    QSet<int> teilnehmer;
    for (int z = 0; z < teilnehmerTabelle->zeilen(); ++z)
        teilnehmer.insert(teilnehmerTabelle->startNr(z));
    int anzahl = 0;
    QString fehler;
    if (!Geld::vormerkungenEinloesen(
            registry().hauptDatenbank(), db, ui->dateEdit->date(), gruppe, teilnehmer, &anzahl, &fehler)) {
        statusBar()->showMessage(tr("FEHLER: %1").arg(fehler));
        return false;
    }
    if (anzahl > 0)
        statusBar()->showMessage(
            tr("%1 an der Tür bezahlte Startgelder in die Gruppe %2 übernommen.").arg(anzahl).arg(gruppe));
    return true;
}

void MainWindow::onAnmeldung()
{
    // While a group is put together it is named after the player group the
    // selection shows; afterwards it is the opened group.
    const QString gruppe = gruppeFestgelegt ? aktuelleGruppe() : ui->cmbSpielerGruppe->currentText();
    if (gruppe.isEmpty() || (!gruppeFestgelegt && !ui->tbTeilnehmerOk->isEnabled())) {
        statusBar()->showMessage(tr("FEHLER: Erst ein Turnier mit einer Gruppe anlegen, dann anmelden."));
        return;
    }
    // Advance payments a failed confirmation left behind come in now.
    if (gruppeFestgelegt)
        vormerkungenEinloesen(gruppe);
    DlgAnmeldung::Anbindung a;
    a.gruppe = gruppe;
    a.suchen = [this](const QString& text) {
        QVector<QPair<int, QString>> treffer;
        for (const Spielerdatei::Bisher& b :
            Mitgliederliste::suchen(Spielerdatei::rosterLesen(registry().hauptDatenbank()), text))
            treffer << qMakePair(b.startNr, QStringLiteral("%1 %2").arg(b.vorname, b.nachname));
        return treffer;
    };
    a.anmelden = [this](int nr) { return anmelden(nr); };
    a.gastAufnehmen = [this](const QString& name) {
        const int nr = gastAufnehmen(name);
        if (nr == 0)
            return 0;
        const QString fehler = anmelden(nr);
        if (!fehler.isEmpty()) {
            statusBar()->showMessage(tr("FEHLER: %1").arg(fehler));
            return 0;
        }
        return nr;
    };
    a.liste = [this] {
        QVector<DlgAnmeldung::Zeile> zeilen;
        QMap<int, Geld::Zahlung> zahlungen;
        QSqlDatabase db = gruppenDatenbank();
        const bool gespeichert = gruppeFestgelegt && db.isValid() && db.isOpen();
        bool gelesen = true;
        if (gespeichert) {
            Geld::Gebuehren g;
            Geld::Auszahlplan p;
            gelesen = Geld::lesen(db, g, p, zahlungen);
        } else {
            gelesen = Geld::vorgemerkt(
                registry().hauptDatenbank(), ui->dateEdit->date(), ui->cmbSpielerGruppe->currentText(), zahlungen);
        }
        for (int z = 0; z < teilnehmerTabelle->zeilen(); ++z) {
            DlgAnmeldung::Zeile e;
            e.startNr = teilnehmerTabelle->startNr(z);
            e.name = teilnehmerTabelle->nameItem(z)->text();
            // Unknown where the payments cannot be read.
            if (gelesen) {
                const Geld::Zahlung zahlung = zahlungen.value(e.startNr);
                e.bezahlt = zahlung.alles || zahlung.betrag > 0 ? QStringLiteral("Ja") : QStringLiteral("Nein");
            }
            zeilen << e;
        }
        return zeilen;
    };
    DlgAnmeldung dlg(a, this);
    dlg.exec();
}

QString MainWindow::anmelden(int startNr)
{
    Mitgliederliste::Anmeldung spieler;
    if (!Mitgliederliste::anmeldungLesen(registry().hauptDatenbank(), startNr, spieler))
        return tr("Startnummer %1 ist nicht in der Spielerliste").arg(startNr);
    const QString name = spieler.name();
    if (!Namensregel::linkSicher(spieler.vorname) || !Namensregel::linkSicher(spieler.nachname))
        return Namensregel::fehlerText(name);
    const bool mitglied = spieler.mitglied;
    const bool preisskat = spieler.preisskat;
    QSqlDatabase db = gruppenDatenbank();
    if (!gruppeFestgelegt || !db.isValid() || !db.isOpen()) {
        // Still being put together: into the participant selection, which
        // is confirmed as before; the payment is kept until the group has
        // its file.
        const QDate tag = ui->dateEdit->date();
        const QString gruppe = ui->cmbSpielerGruppe->currentText();
        QMap<int, Geld::Zahlung> vorgemerkt;
        QString fehler;
        if (!Geld::vorgemerkt(registry().hauptDatenbank(), tag, gruppe, vorgemerkt, &fehler))
            return fehler;
        const bool dabei = teilnehmerTabelle->zeileVon(startNr) >= 0;
        if (dabei && vorgemerkt.value(startNr).alles)
            return tr("%1 ist schon angemeldet").arg(name);
        if (!Geld::vormerken(registry().hauptDatenbank(), tag, gruppe, startNr, Geld::Zahlung { true, 0 }, &fehler))
            return tr("%1 ist nicht angemeldet: %2").arg(name, fehler);
        // Ticked in the list before, paid at the door now.
        if (dabei)
            return QString();
        const int n = anzahlSerien();
        if (teilnehmerTabelle->serien() != n)
            teilnehmerKopfAufbauen(n);
        TeilnehmerZeile t;
        t.startNr = startNr;
        t.name = name;
        t.mitglied = mitglied;
        t.preisskat = preisskat;
        TeilnehmerTabelle::Zeile zeile = TeilnehmerTabelle::neueZeile(t, n);
        zeile.zellen[Spalte::Preisskat].editierbar = true;
        teilnehmerModel->zeileAnhaengen(std::move(zeile));
        tischaufteilungBerechnen(0);
        return QString();
    }
    // Confirmed: a late registration, then paid in full at the door.
    if (teilnehmerTabelle->zeileVon(startNr) < 0) {
        NachmeldeListe liste;
        liste.insert(startNr, NachmeldeSpieler { preisskat, mitglied, name });
        Teilnehmerpflege::NachmeldeErgebnis e;
        QString fehlerText;
        if (!spieltag->nachmelden(aktuelleGruppe(), liste, &e, &fehlerText))
            return tr("Nachmeldung fehlgeschlagen: %1").arg(fehlerText);
        nachgemeldeteZeigen(e);
    }
    QString fehler;
    if (!Geld::zahlungSpeichern(db, startNr, Geld::Zahlung { true, 0 }, &fehler))
        return tr("%1 ist angemeldet, aber nicht als bezahlt gespeichert: %2").arg(name, fehler);
    return QString();
}

void MainWindow::onGastAufnehmen()
{
    gastAufnehmen(QString());
}

int MainWindow::gastAufnehmen(const QString& name)
{
    QStringList gruppen;
    for (int i = 0; i < ui->cmbSpielerGruppe->count(); ++i)
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
            registry().hauptDatenbank(), startNr, dlg.vorname(), dlg.nachname(), dlg.gruppe(), &fehler)) {
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

    QSqlDatabase db = registry().hauptDatenbank();
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
