// Storage of the main window: settings, master database, reopening the last
// match day, overwriting a match day and creating a group's database.

#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QSqlDatabase>
#include <QStatusBar>

#include "season/ranglisteabgleich.h"
#include "setup/gruppenpruefung.h"
#include "setup/teilnehmertabelle.h"
#include "storage/datenbank.h"
#include "storage/pfade.h"
#include "storage/schema.h"
#include "storage/spieltagleser.h"
#include "widgets/dialoge.h"

void MainWindow::datenbankOeffnen()
{
    einstellungen = Pfade::einstellungenOeffnen(this);
    datenbankVerzeichnis = Pfade::datenVerzeichnis();
    QDir().mkpath(datenbankVerzeichnis);
    einstellungen->setValue(Pfade::schluesselDatenbankPfad, datenbankVerzeichnis);

    QSqlDatabase db = Db::oeffnen(hauptVerbindung, Pfade::hauptDatenbank(datenbankVerzeichnis));
    spieltag->verbindungen().eintragen(hauptVerbindung);
    if (db.isValid() && db.isOpen())
        Schema::stammdatenbankAnlegen(db);
}

void MainWindow::letztesTurnierOeffnen()
{
    if (!einstellungen->contains(Pfade::schluesselLetztesTurnier))
        return;
    const QString verzeichnis = Pfade::letztesTurnier(*einstellungen);
    if (verzeichnis.isEmpty() || !QDir(verzeichnis).exists())
        return;
    gruppenOeffnen(verzeichnis);
}

void MainWindow::gruppenOeffnen(const QString& verzeichnis)
{
    turnierVerzeichnis = verzeichnis;
    const QStringList dateien = Pfade::gruppenDateien(turnierVerzeichnis);
    QVector<QSqlDatabase> geoeffnet;
    for (const QString& datei : dateien) {
        QString name = Spieltag::verbindungsNameDerDatei(turnierVerzeichnis, datei);
        // Files whose stored name differs ("Sen.A.db" holding "Sen") stay
        // reachable under their full names.
        if (QSqlDatabase::contains(name) && spieltag->verbindungen().enthaelt(name))
            name = datei.chopped(3);
        if (name.isEmpty() || QSqlDatabase::contains(name))
            continue;
        QSqlDatabase db = Db::oeffnen(name, QStringLiteral("%1/%2").arg(turnierVerzeichnis, datei));
        if (!db.isValid() || !db.isOpen())
            continue;
        // A damaged group fails alone; the others open.
        QString fehler;
        if (!Gruppenpruefung::gruppeOeffenbar(db, &fehler)) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name);
            Db::Melder::instanz()->melden(fehler);
            continue;
        }
        spieltag->verbindungen().eintragen(name);
        geoeffnet << db;
        if (ui->cmbTeilnehmerGruppe->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
            ui->cmbTeilnehmerGruppe->addItem(name);
    }
    ranglisteAbgleichen(geoeffnet);

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

void MainWindow::ranglisteAbgleichen(const QVector<QSqlDatabase>& gruppen)
{
    // Before the newest group is shown, so its loaded cells and the ranking
    // agree from the start.
    QDate tag;
    if (gruppen.isEmpty() || !Pfade::istTurnierName(QFileInfo(turnierVerzeichnis).fileName(), &tag))
        return;
    QString fehler;
    const int geaendert = Saison::ranglisteAbgleichen(spieltag->verbindungen().hauptDatenbank(), tag, gruppen, &fehler);
    if (geaendert < 0)
        statusBar()->showMessage(tr("FEHLER: Die Rangliste des Spieltags wurde nicht geprueft: %1").arg(fehler));
    else if (geaendert > 0)
        statusBar()->showMessage(tr("Rangliste des Spieltags %1: %2 nach den Gruppendateien berichtigt")
                                     .arg(tag.toString(QStringLiteral("dd.MM.yyyy")),
                                         geaendert == 1 ? tr("1 Eintrag") : tr("%1 Eintraege").arg(geaendert)));
}

bool MainWindow::turnierUeberschreiben(const QString& verzeichnis)
{
    QDir dir(verzeichnis);
    if (!dir.exists())
        return true;
    // Only asks: the day's files go when the new day's first group is
    // confirmed, so a cancelled new day leaves them as they were.
    return Dialoge::frage(this, tr("Turnier %1 ist schon vorhanden!\nUeberschreiben?").arg(dir.dirName()));
}

void MainWindow::turnierLoeschen(const QString& verzeichnis)
{
    QDir dir(verzeichnis);
    // Only the group databases of this match day go: a connection whose file
    // lies elsewhere belongs to another match day and stays untouched.
    const QString ziel = QFileInfo(verzeichnis).canonicalFilePath();
    const QStringList namen = QSqlDatabase::connectionNames();
    for (const QString& name : namen) {
        if (name == hauptVerbindung)
            continue;
        {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            if (QFileInfo(db.databaseName()).canonicalPath() != ziel)
                continue;
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        spieltag->verbindungen().entfernen(name);
        tischLayout.remove(name);
        tischaufteilung.remove(name);
        sitzplan.remove(name);
    }
    const QStringList dateien = Pfade::gruppenDateien(verzeichnis);
    for (const QString& datei : dateien) {
        dir.remove(datei);
        dir.remove(datei + QStringLiteral("-journal"));
    }
    // The day's points in the ranking go with its groups.
    QDate tag;
    QString fehler;
    if (Pfade::istTurnierName(dir.dirName(), &tag) && !spieltag->ranglisteVerwerfen(tag, &fehler)
        && statusBar()->currentMessage() != QStringLiteral("FEHLER: ") + fehler)
        statusBar()->showMessage(QStringLiteral("FEHLER: ") + fehler);
    dir.rmdir(verzeichnis); // only succeeds when nothing else is left in it
}

void MainWindow::gruppenDatenbankAnlegen()
{
    // The name becomes a file name; the confirmation refused unsafe
    // ones already, and no other path may create a file from one.
    if (!Gruppenpruefung::nameGueltig(ui->cmbSpielerGruppe->currentText()))
        return;
    turnierVerzeichnis = Pfade::turnierVerzeichnis(datenbankVerzeichnis, ui->dateEdit->date());
    QDir().mkpath(turnierVerzeichnis);
    // Relative to the data folder, so a copied data folder opens its own day.
    einstellungen->setValue(
        Pfade::schluesselLetztesTurnier, Pfade::turnierVerzeichnisSpeichern(datenbankVerzeichnis, turnierVerzeichnis));
    // A settings file that cannot be written would lose the match day.
    QString fehler;
    if (!Gruppenpruefung::einstellungenSichern(*einstellungen, &fehler))
        Db::Melder::instanz()->melden(fehler);

    // A group that could not be stored is not registered; the confirmation
    // says so and keeps the list open.
    const QString gruppe = ui->cmbSpielerGruppe->currentText();
    if (!gruppeSpeichern(gruppe))
        return;

    // Open the group from what was stored, also when it was current already.
    if (ui->cmbTeilnehmerGruppe->currentText() != gruppe)
        ui->cmbTeilnehmerGruppe->setCurrentText(gruppe);
    else
        onChangeAktuelleSpielGruppe(gruppe);
}

bool MainWindow::gruppeSpeichern(const QString& gruppe)
{
    int letzter = letzterTisch;
    if (tischaufteilung.contains(gruppe)) {
        const Tischaufteilung a = tischaufteilung.value(gruppe);
        letzter = ui->leTischNr1->text().toInt() + a.vierer + a.dreier - 1;
    }
    Schema::GruppenDaten daten;
    daten.name = gruppe;
    daten.datum = ui->dateEdit->date();
    daten.serien = ui->leAnzahlSerien->text().toInt();
    daten.spiele3er = ui->le3erListeSpielAnzahl->text().toInt();
    daten.spiele4er = ui->le4erListeSpielAnzahl->text().toInt();
    daten.ersterTisch = ui->leTischNr1->text().toInt();
    daten.letzterTisch = letzter;

    QVector<Schema::TeilnehmerEintrag> teilnehmer;
    teilnehmer.reserve(teilnehmerModel->rowCount());
    for (int z = 0; z < teilnehmerModel->rowCount(); ++z) {
        const TeilnehmerZelle name = teilnehmerTabelle->nameItem(z);
        Schema::TeilnehmerEintrag e;
        e.startNr = name->data(Rolle::StartNr).toInt();
        e.name = name->text();
        e.mitglied = name->data(Rolle::Mitglied).toBool();
        e.preisskat = teilnehmerTabelle->preisskatItem(z)->text() == QLatin1String("Ja");
        teilnehmer << e;
    }
    // The next group counts its tables behind this one once it is stored; a
    // file that held the group already keeps its own.
    const QMetaObject::Connection angelegt
        = connect(spieltag, &OffenerSpieltag::gruppeAngelegt, this, [this, gruppe, letzter](const QString& name) {
              if (name == gruppe)
                  letzterTisch = letzter;
          });
    QString fehler;
    const bool ok
        = spieltag->gruppeAnlegen(gruppe, Pfade::gruppenDatei(turnierVerzeichnis, gruppe), daten, teilnehmer, &fehler);
    disconnect(angelegt);
    if (ok)
        return true;
    statusBar()->showMessage(QStringLiteral("FEHLER: ") + fehler);
    return false;
}
