// Storage of the main window: settings, master database, reopening the last
// match day, overwriting a match day and creating a group's database.

#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QSqlDatabase>

#include "app/dialoge.h"
#include "setup/gruppenpruefung.h"
#include "setup/teilnehmertabelle.h"
#include "storage/datenbank.h"
#include "storage/pfade.h"
#include "storage/schema.h"

void MainWindow::datenbankOeffnen()
{
    einstellungen = Pfade::einstellungenOeffnen(this);
    datenbankVerzeichnis = Pfade::datenVerzeichnis();
    QDir().mkpath(datenbankVerzeichnis);
    einstellungen->setValue(Pfade::schluesselDatenbankPfad, datenbankVerzeichnis);

    QSqlDatabase db = Db::oeffnen(hauptVerbindung, Pfade::hauptDatenbank(datenbankVerzeichnis));
    verbindungen.eintragen(hauptVerbindung);
    if (db.isValid() && db.isOpen())
        Schema::stammdatenbankAnlegen(db);
}

void MainWindow::letztesTurnierOeffnen()
{
    if (!einstellungen->contains(Pfade::schluesselLetztesTurnier))
        return;
    turnierVerzeichnis = einstellungen->value(Pfade::schluesselLetztesTurnier).toString();
    if (turnierVerzeichnis.isEmpty() || !QDir(turnierVerzeichnis).exists())
        return;

    const QStringList dateien = Pfade::gruppenDateien(turnierVerzeichnis);
    for (const QString& datei : dateien) {
        QString name = Pfade::verbindungsNameVon(datei);
        // eingabe: files an earlier version stored under names with dots
        // ("Sen.A.db", "Sen.B.db") stay reachable under their full names.
        if (QSqlDatabase::contains(name) && verbindungen.enthaelt(name))
            name = datei.chopped(3);
        if (name.isEmpty() || QSqlDatabase::contains(name))
            continue;
        QSqlDatabase db = Db::oeffnen(name, QStringLiteral("%1/%2").arg(turnierVerzeichnis, datei));
        if (!db.isValid() || !db.isOpen())
            continue;
        // eingabe: a damaged group fails alone; the others open.
        QString fehler;
        if (!Gruppenpruefung::gruppeOeffenbar(db, &fehler)) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            Db::Melder::instanz()->melden(fehler);
            continue;
        }
        verbindungen.eintragen(name);
        if (ui->cmbTeilnehmerGruppe->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
            ui->cmbTeilnehmerGruppe->addItem(name);
    }

    if (ui->cmbTeilnehmerGruppe->count() > 0) {
        // Adding the first entry already made it current and opened it; open
        // the newest group explicitly for the case it was there before.
        const QString neueste = ui->cmbTeilnehmerGruppe->itemText(0);
        if (ui->cmbTeilnehmerGruppe->currentIndex() != 0)
            ui->cmbTeilnehmerGruppe->setCurrentIndex(0);
        else
            onChangeAktuelleSpielGruppe(neueste);
        ui->cmbSpielerGruppe->setCurrentText(neueste);
        actNeueSpielGruppe->setEnabled(true);
    }
}

bool MainWindow::turnierUeberschreiben(const QString& verzeichnis)
{
    QDir dir(verzeichnis);
    if (!dir.exists())
        return true;
    if (!Dialoge::frage(this, tr("Turnier %1 ist schon vorhanden!\nUeberschreiben?").arg(dir.dirName())))
        return false;

    // Only the group databases of this match day go: a connection whose file
    // lies elsewhere belongs to another match day and stays untouched.
    const QString ziel = QFileInfo(verzeichnis).canonicalFilePath();
    const QStringList namen = QSqlDatabase::connectionNames();
    for (const QString& name : namen) {
        if (name == hauptVerbindung)
            continue;
        QString datei;
        {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            datei = db.databaseName();
            if (QFileInfo(datei).canonicalPath() != ziel)
                continue;
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        verbindungen.entfernen(name);
    }
    const QStringList dateien = Pfade::gruppenDateien(verzeichnis);
    for (const QString& datei : dateien) {
        dir.remove(datei);
        dir.remove(datei + QStringLiteral("-journal"));
    }
    verbindungen.aufHauptZuruecksetzen();
    dir.rmdir(verzeichnis); // only succeeds when nothing else is left in it
    return true;
}

void MainWindow::gruppenDatenbankAnlegen()
{
    // eingabe: the name becomes a file name; the confirmation refused unsafe
    // ones already, and no other path may create a file from one.
    if (!Gruppenpruefung::nameGueltig(ui->cmbSpielerGruppe->currentText()))
        return;
    turnierVerzeichnis = Pfade::turnierVerzeichnis(datenbankVerzeichnis, ui->dateEdit->date());
    QDir().mkpath(turnierVerzeichnis);
    einstellungen->setValue(Pfade::schluesselLetztesTurnier, turnierVerzeichnis);
    // eingabe: a settings file that cannot be written would lose the match day.
    QString fehler;
    if (!Gruppenpruefung::einstellungenSichern(*einstellungen, &fehler))
        Db::Melder::instanz()->melden(fehler);

    const QString gruppe = ui->cmbSpielerGruppe->currentText();
    QSqlDatabase db = Db::oeffnen(gruppe, Pfade::gruppenDatei(turnierVerzeichnis, gruppe));
    verbindungen.eintragen(gruppe);
    if (db.isValid() && db.isOpen() && !Db::tabelleVorhanden(db, QStringLiteral("Gruppe")))
        gruppeSpeichern(db);

    // Open the group from what was stored, also when it was current already.
    if (ui->cmbTeilnehmerGruppe->currentText() != gruppe)
        ui->cmbTeilnehmerGruppe->setCurrentText(gruppe);
    else
        onChangeAktuelleSpielGruppe(gruppe);
}

void MainWindow::gruppeSpeichern(QSqlDatabase db)
{
    const QString gruppe = ui->cmbSpielerGruppe->currentText();
    if (tischaufteilung.contains(gruppe)) {
        const Tischaufteilung a = tischaufteilung.value(gruppe);
        letzterTisch = ui->leTischNr1->text().toInt() + a.vierer + a.dreier - 1;
    }
    Schema::GruppenDaten daten;
    daten.name = gruppe;
    daten.datum = ui->dateEdit->date();
    daten.serien = ui->leAnzahlSerien->text().toInt();
    daten.spiele3er = ui->le3erListeSpielAnzahl->text().toInt();
    daten.spiele4er = ui->le4erListeSpielAnzahl->text().toInt();
    daten.ersterTisch = ui->leTischNr1->text().toInt();
    daten.letzterTisch = letzterTisch;

    QVector<Schema::TeilnehmerEintrag> teilnehmer;
    teilnehmer.reserve(teilnehmerModel->rowCount());
    for (int z = 0; z < teilnehmerModel->rowCount(); ++z) {
        const QStandardItem* name = teilnehmerTabelle->nameItem(z);
        Schema::TeilnehmerEintrag e;
        e.startNr = name->data(Rolle::StartNr).toInt();
        e.name = name->text();
        e.mitglied = name->data(Rolle::Mitglied).toBool();
        e.preisskat = teilnehmerTabelle->preisskatItem(z)->text() == QLatin1String("Ja");
        teilnehmer << e;
    }
    Schema::gruppeAnlegen(db, daten, teilnehmer);
}
