// Match days over time: the data folder's lock, opening an earlier match
// day, backups and restoring them.

#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlTableModel>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QStatusBar>

#include "season/dlgspieltagoeffnen.h"
#include "season/sicherung.h"
#include "season/spieltagliste.h"
#include "setup/teilnehmermodell.h"
#include "storage/datenbank.h"
#include "storage/datensperre.h"
#include "storage/pfade.h"
#include "storage/schema.h"
#include "widgets/dialoge.h"
#include "widgets/sanduhr.h"

bool MainWindow::datenOrdnerSperren()
{
    const QString daten = Pfade::datenVerzeichnis();
    datenSperre = std::make_unique<Datensperre>(daten);
    const Datensperre::Ergebnis ergebnis = datenSperre->nehmen();
    if (ergebnis == Datensperre::Ergebnis::Gesperrt)
        return true;
    if (ergebnis == Datensperre::Ergebnis::BelegtVonAnderem) {
        abgewiesen = true;
        const QString text
            = tr("Reizwerk laeuft bereits mit dem Datenordner %1 (Prozess %2).\n"
                 "Zwei Programme duerfen nicht dieselben Daten bearbeiten; dieses Programm wird beendet.")
                  .arg(QDir::toNativeSeparators(daten))
                  .arg(datenSperre->halter());
        qWarning().noquote() << text;
        // Without a screen (a script starting the program) nobody could
        // close the box, and the program would never end.
        const QString plattform = QGuiApplication::platformName();
        if (Dialoge::geskriptet() || (plattform != QLatin1String("offscreen") && plattform != QLatin1String("minimal")))
            Dialoge::fehler(this, text);
        datenSperre.reset();
        return false;
    }
    // A data folder that cannot take a lock file (read-only) still opens.
    qWarning("Reizwerk: keine Sperrdatei in %s", qPrintable(daten));
    datenSperre.reset();
    return true;
}

void MainWindow::unterbrocheneWiederherstellung()
{
    QString fehler;
    const Sicherung::Unterbrochen was = Sicherung::unterbrocheneAbschliessen(Pfade::datenVerzeichnis(), &fehler);
    if (was != Sicherung::Unterbrochen::Nichts) {
        const QString text = Sicherung::unterbrochenText(was, fehler);
        qWarning().noquote() << text;
        startMeldungen << text;
    }
}

void MainWindow::spieltageEinrichten()
{
    // The last match day is open; what the start found is shown now, with
    // what opening the day found.
    if (!startMeldungen.isEmpty()) {
        const QString befund = statusBar()->currentMessage();
        statusBar()->showMessage(
            startMeldungen.join(QStringLiteral("  ")) + (befund.isEmpty() ? QString() : QStringLiteral("  ") + befund));
    }

    actSpieltagOeffnen = new QAction(tr("Spieltag öffnen…"), this);
    actSpieltagOeffnen->setObjectName(QStringLiteral("actSpieltagOeffnen"));
    connect(actSpieltagOeffnen, &QAction::triggered, this, &MainWindow::onSpieltagOeffnen);
    actDatensicherung = new QAction(tr("Datensicherung…"), this);
    actDatensicherung->setObjectName(QStringLiteral("actDatensicherung"));
    connect(actDatensicherung, &QAction::triggered, this, &MainWindow::onDatensicherung);
    actWiederherstellen = new QAction(tr("Wiederherstellen…"), this);
    actWiederherstellen->setObjectName(QStringLiteral("actWiederherstellen"));
    connect(actWiederherstellen, &QAction::triggered, this, &MainWindow::onWiederherstellen);

    // Beside "Neues Turnier", and the backups above "Info Reizwerk".
    const QList<QAction*> eintraege = menuTurnier->actions();
    const int neu = eintraege.indexOf(actNeuesTurnier);
    menuTurnier->insertAction(eintraege.value(neu + 1), actSpieltagOeffnen);
    menuTurnier->insertSeparator(actInfo);
    menuTurnier->insertAction(actInfo, actDatensicherung);
    menuTurnier->insertAction(actInfo, actWiederherstellen);
    menuTurnier->insertSeparator(actInfo);
}

void MainWindow::gruppenSchliessen()
{
    // Every group connection on a file of the data folder, also those a new
    // match day only forgot, so no name stands in the way of the next day.
    const QString daten = QDir::cleanPath(datenbankVerzeichnis) + QLatin1Char('/');
    const QStringList namen = QSqlDatabase::connectionNames();
    for (const QString& name : namen) {
        if (name == hauptVerbindung)
            continue;
        {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            if (!QDir::cleanPath(db.databaseName()).startsWith(daten))
                continue;
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    spieltag->verbindungen().aufHauptZuruecksetzen();
    spieltag->sitzordnung().leeren();
    ueberschriebenerSpieltag.clear();
    ui->cmbTeilnehmerGruppe->clear();
    ++teilnehmerSperre;
    teilnehmerModel->removeRows(0, teilnehmerModel->rowCount());
    --teilnehmerSperre;
    ui->leTischaufteilung->clear();
    ui->pbAuslosen->setEnabled(false);
    ui->pbAuslosungZuruecksetzen->setEnabled(false);
    ui->tbSpielerWeg->setEnabled(true);
    ui->tbSpielerHinzu->setEnabled(true);
    ui->tbTeilnehmerOk->setEnabled(true);
    gruppeFestgelegt = false;
    actNeueSpielGruppe->setEnabled(false);
}

void MainWindow::spieltagWechseln(const QString& verzeichnis)
{
    gruppenSchliessen();
    QDate tag;
    if (Pfade::istTurnierName(QFileInfo(verzeichnis).fileName(), &tag))
        ui->dateEdit->setDate(tag);
    // The shown day is the one the next start reopens.
    einstellungen->setValue(
        Pfade::schluesselLetztesTurnier, Pfade::turnierVerzeichnisSpeichern(datenbankVerzeichnis, verzeichnis));
    gruppenOeffnen(verzeichnis);
}

void MainWindow::onSpieltagOeffnen()
{
    QVector<Spieltagliste::Spieltag> tage;
    {
        const Sanduhr warten;
        tage = Spieltagliste::lesen(datenbankVerzeichnis);
    }
    if (tage.isEmpty()) {
        statusBar()->showMessage(
            tr("Im Datenordner %1 ist kein Spieltag gespeichert.").arg(datenbankVerzeichnis), 5000);
        return;
    }
    DlgSpieltagOeffnen dlg(tage, turnierVerzeichnis, this);
    if (dlg.exec() != QDialog::Accepted || dlg.verzeichnis().isEmpty())
        return;
    statusBar()->clearMessage();
    spieltagWechseln(dlg.verzeichnis());
    // What opening the day found (a healed ranking) stays in view.
    const QString befund = statusBar()->currentMessage();
    const QString geoeffnet
        = tr("Spieltag %1 geoeffnet").arg(ui->dateEdit->date().toString(QStringLiteral("dd.MM.yyyy")));
    if (befund.isEmpty())
        statusBar()->showMessage(geoeffnet, 5000);
    else
        statusBar()->showMessage(geoeffnet + QStringLiteral("; ") + befund);
}

bool MainWindow::gruppeAnlegenErlaubt(const QString& gruppe)
{
    const QString verzeichnis = Pfade::turnierVerzeichnis(datenbankVerzeichnis, ui->dateEdit->date());
    if (!ueberschriebenerSpieltag.isEmpty()
        && QDir::cleanPath(ueberschriebenerSpieltag) == QDir::cleanPath(verzeichnis)) {
        if (!sicherungVor(tr("Ueberschreiben von %1").arg(QFileInfo(verzeichnis).fileName())))
            return false;
        turnierLoeschen(verzeichnis);
        ueberschriebenerSpieltag.clear();
        return true;
    }
    const QFileInfo datei(Pfade::gruppenDatei(verzeichnis, gruppe));
    if (datei.exists() && datei.size() > 0) {
        Dialoge::fehler(this,
            tr("Die Gruppe %1 gibt es am %2 schon.\n"
               "Die Teilnehmerliste wurde nicht gespeichert; fuer eine weitere Gruppe bitte eine andere "
               "Spielergruppe waehlen.")
                .arg(gruppe, ui->dateEdit->date().toString(QStringLiteral("dd.MM.yyyy"))));
        return false;
    }
    return true;
}

bool MainWindow::sicherungVor(const QString& anlass, QString* datei, bool nurStammdaten)
{
    QString fehler;
    QString ziel;
    {
        const Sanduhr warten;
        ziel = Sicherung::automatisch(datenbankVerzeichnis, anlass, &fehler,
            nurStammdaten ? Sicherung::Umfang::Stammdaten : Sicherung::Umfang::Alles);
    }
    if (ziel.isEmpty()) {
        Dialoge::fehler(this,
            tr("Vor \"%1\" konnte keine Sicherung angelegt werden:\n%2\nEs wurde nichts geaendert.")
                .arg(anlass, fehler));
        return false;
    }
    if (datei)
        *datei = ziel;
    return true;
}

void MainWindow::onDatensicherung()
{
    const QString vorschlag
        = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
              .filePath(QStringLiteral("Reizwerk-Sicherung_%1.zip")
                            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm"))));
    QString datei
        = Dialoge::speicherName(this, tr("Datensicherung speichern"), vorschlag, tr("Datensicherung (*.zip)"));
    if (datei.isEmpty())
        return;
    if (!datei.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive))
        datei += QStringLiteral(".zip");
    Sicherung::Inhalt inhalt;
    QString fehler;
    bool ok = false;
    {
        const Sanduhr warten;
        ok = Sicherung::schreiben(datenbankVerzeichnis, datei, tr("Datensicherung"), &inhalt, &fehler);
    }
    if (!ok) {
        Dialoge::fehler(this, tr("Die Datensicherung %1 konnte nicht geschrieben werden:\n%2").arg(datei, fehler));
        return;
    }
    if (!inhalt.nichtGesichert.isEmpty())
        Dialoge::fehler(this,
            tr("Diese Dateien sind nicht lesbar und fehlen in der Datensicherung:\n%1")
                .arg(inhalt.nichtGesichert.join(QLatin1Char('\n'))));
    statusBar()->showMessage(tr("Datensicherung geschrieben: %2 in %1").arg(datei, Sicherung::beschreibung(inhalt)));
}

void MainWindow::onWiederherstellen()
{
    const QString datei = Dialoge::oeffnenName(this, tr("Datensicherung wiederherstellen"),
        Sicherung::ordner(datenbankVerzeichnis), tr("Datensicherung (*.zip)"));
    if (datei.isEmpty())
        return;
    Sicherung::Wiederherstellung wiederherstellung(datenbankVerzeichnis);
    QString fehler;
    bool geprueft = false;
    {
        const Sanduhr warten;
        geprueft = wiederherstellung.pruefen(datei, &fehler);
    }
    if (!geprueft) {
        Dialoge::fehler(this,
            tr("Die Datei %1 kann nicht wiederhergestellt werden:\n%2\nEs wurde nichts geaendert.").arg(datei, fehler));
        return;
    }
    const Sicherung::Inhalt& inhalt = wiederherstellung.inhalt();
    const bool nurStammdaten = inhalt.umfang == Sicherung::Umfang::Stammdaten;
    const QString ersetzt = nurStammdaten
        ? tr("Die jetzige Spielerliste und Rangliste werden dadurch ersetzt; die Spieltage bleiben. Sie werden "
             "vorher gesichert.")
        : tr("Alle jetzigen Spieltage und die Spielerliste werden dadurch ersetzt; sie werden vorher gesichert.");
    if (!Dialoge::frage(this,
            tr("Datensicherung vom %1 wiederherstellen?\n%2\n\n%3")
                .arg(inhalt.zeitpunkt.toString(QStringLiteral("dd.MM.yyyy HH:mm")), Sicherung::beschreibung(inhalt),
                    ersetzt)))
        return;
    QString vorher;
    if (!sicherungVor(tr("Wiederherstellen"), &vorher, nurStammdaten))
        return;

    gruppenSchliessen();
    QSqlDatabase haupt = spieltag->verbindungen().hauptDatenbank();
    haupt.close();
    bool ok = false;
    {
        const Sanduhr warten;
        ok = wiederherstellung.einspielen(&fehler);
    }
    // The same connection opens again, so the roster model keeps working.
    if (Db::wiederOeffnen(haupt))
        Schema::stammdatenbankAnlegen(haupt);
    if (spielerModel)
        spielerModel->select();
    auswahlLaden(ui->cmbSpielerGruppe->currentText());
    letztesTurnierOeffnen();
    if (!ok) {
        Dialoge::fehler(this,
            tr("Die Wiederherstellung ist unvollstaendig:\n%1\nDie Daten von vorher liegen in der Sicherung %2.")
                .arg(fehler, vorher));
        return;
    }
    statusBar()->showMessage(tr("Datensicherung vom %1 wiederhergestellt; die Daten von vorher liegen in %2")
                                 .arg(inhalt.zeitpunkt.toString(QStringLiteral("dd.MM.yyyy HH:mm")), vorher));
}
