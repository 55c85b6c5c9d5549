#include "testumgebung.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSqlQuery>
#include <QSqlTableModel>
#include <QStandardItemModel>
#include <QStatusBar>

#include "app/mainwindow.h"
#include "storage/datenbank.h"
#include "storage/schema.h"
#include "ui_mainwindow.h"

using namespace Turnierbau;

namespace
{

QString createStatement(QSqlDatabase db, const QString& tabelle)
{
    // SQLite keeps the statement as written but for the keywords "CREATE TABLE".
    const QString sql
        = wert(db, QStringLiteral("SELECT sql FROM sqlite_master WHERE name='%1'").arg(tabelle)).toString();
    return sql.startsWith(QLatin1String("CREATE TABLE ")) ? QStringLiteral("CREATE table ") + sql.mid(13) : sql;
}

} // namespace

class TstStart : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void ersterStartLegtDatenUndEinstellungenAn()
    {
        Fenster w;
        const QString datei = Testumgebung::datenOrdner() + QStringLiteral("/reizwerk.db");
        QVERIFY(QFile::exists(datei));
        QSqlDatabase db = w->registry().hauptDatenbank();
        QCOMPARE(createStatement(db, QStringLiteral("Spieler")),
            QStringLiteral("CREATE table Spieler (StartNr int, VorName varchar(20), NachName varchar(20), "
                           "Gruppe varchar(20), Mitglied boolean, Preisskat boolean)"));
        QCOMPARE(createStatement(db, QStringLiteral("Rangliste")),
            QStringLiteral("CREATE table Rangliste (StartNr int, Name varchar(40), Datum date, Punkte int)"));

        QSettings s(Testumgebung::einstellungsDatei(), QSettings::IniFormat);
        QCOMPARE(s.value(QStringLiteral("databasepath")).toString(), Testumgebung::datenOrdner());
        const QList<QPair<QString, QVariant>> erwartet = { { QStringLiteral("Kosten/Platz1"), 0.0 },
            { QStringLiteral("Kosten/Platz2"), 1.5 }, { QStringLiteral("Kosten/Platz3"), 2.5 },
            { QStringLiteral("Kosten/Platz4"), 3.5 }, { QStringLiteral("Kosten/KartenGeld"), 1.0 },
            { QStringLiteral("Kosten/VerlSp1Bis5"), 1.0 }, { QStringLiteral("Kosten/VerlSpAb6"), 2.5 },
            { QStringLiteral("Kosten/Preisskat"), 10.0 }, { QStringLiteral("Kosten/PunkteGewMinusVerl"), 50 },
            { QStringLiteral("Kosten/PunkteGegen3er"), 40 }, { QStringLiteral("Kosten/PunkteGegen4er"), 30 },
            { QStringLiteral("Kosten/ListenName"), QStringLiteral("Spielliste") } };
        s.beginGroup(QStringLiteral("Kosten"));
        QCOMPARE(s.childKeys().size(), 12);
        s.endGroup();
        for (const auto& e : erwartet) {
            QVERIFY2(s.contains(e.first), qPrintable(e.first));
            QCOMPARE(s.value(e.first).toString(), e.second.toString());
        }
        for (int i = 1; i <= 5; ++i)
            QVERIFY(s.contains(QStringLiteral("Gruppe/Gruppe%1").arg(i)));

        Ui::MainWindow* ui = w->form();
        QCOMPARE(ui->tabWidget->currentIndex(), 0);
        QCOMPARE(w->spieler()->rowCount(), 0);
        QCOMPARE(ui->cmbTeilnehmerGruppe->count(), 0);
        QVERIFY(!w->aktion(QStringLiteral("actNeueSpielGruppe"))->isEnabled());
        QVERIFY(!ui->pbAuslosen->isEnabled());
        QVERIFY(!ui->pbAuslosungZuruecksetzen->isEnabled());
        QCOMPARE(ui->leAnzahlSerien->text(), QStringLiteral("2"));
        QCOMPARE(ui->leTischNr1->text(), QStringLiteral("1"));
        QCOMPARE(ui->le3erListeSpielAnzahl->text(), QStringLiteral("36"));
        QCOMPARE(ui->le4erListeSpielAnzahl->text(), QStringLiteral("48"));
        QCOMPARE(w->regeln()->item(0, 1)->text(), QStringLiteral("0.0|1.5|2.5|3.5"));
        QCOMPARE(comboTexte(ui->cmbSpielerGruppe), (QStringList { "Alle", "Senioren", "Herren", "Damen", "Jugend" }));
        QCOMPARE(ui->cmbSpielerGruppe->currentText(), QStringLiteral("Alle"));
        QCOMPARE(ui->tabWidget->tabText(0), QStringLiteral("Spielerliste"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Reizwerk"));
        QVERIFY(!ui->tbSpielerHinzu->icon().isNull());

        QVERIFY(ausloesen(*w, QStringLiteral("actInfo")));
        QCOMPARE(w.d.infos.size(), 1);
        QCOMPARE(w.d.infos.first().section(QLatin1Char('\n'), 1, 1), QStringLiteral("Reizwerk Version 1.1"));
        QVERIFY(w.d.infos.first().startsWith(QStringLiteral("ProgrammInfo\n")));
        QVERIFY(w.d.unerwartet.isEmpty());
    }

    void letztesTurnierWirdWiedergeoeffnet()
    {
        const QString tag = Testumgebung::dokumente() + QStringLiteral("/Reizwerk/07_03_2026");
        QVERIFY(QDir().mkpath(tag));
        gruppenDateiAnlegen(tag + QStringLiteral("/A.db"), QStringLiteral("A"), 4);
        gruppenDateiAnlegen(tag + QStringLiteral("/B.db"), QStringLiteral("B"), 7);
        gruppenDateiAnlegen(tag + QStringLiteral("/x.backup.db"), QStringLiteral("x"), 3);
        QFile(tag + QStringLiteral("/notiz.txt")).open(QIODevice::WriteOnly);
        alterSetzen(tag + QStringLiteral("/x.backup.db"), 300);
        alterSetzen(tag + QStringLiteral("/A.db"), 200);
        alterSetzen(tag + QStringLiteral("/B.db"), 100);
        Testumgebung::einstellen(QStringLiteral("lastdatabasedir"), tag);
        Fenster w;
        Ui::MainWindow* ui = w->form();
        QCOMPARE(comboTexte(ui->cmbTeilnehmerGruppe), (QStringList { "B", "A", "x" }));
        QCOMPARE(ui->cmbTeilnehmerGruppe->currentText(), QStringLiteral("B"));
        QVERIFY(w->registry().datenbank(QStringLiteral("x")).isOpen());
        QCOMPARE(w->teilnehmer()->rowCount(), 7);
        QCOMPARE(ui->dateEdit->date(), QDate(2026, 3, 7));
        QVERIFY(w->aktion(QStringLiteral("actNeueSpielGruppe"))->isEnabled());
        QCOMPARE(ui->tabWidget->currentIndex(), 1);
        QVERIFY(ui->pbAuslosen->isEnabled());
        QVERIFY(!ui->tbSpielerHinzu->isEnabled());

        // A vanished directory reopens nothing.
        QVERIFY(QDir(tag).removeRecursively());
        w.neuStarten();
        QCOMPARE(w->form()->cmbTeilnehmerGruppe->count(), 0);
    }

    void ueberschreibenLoeschtNurDiesenSpieltag()
    {
        const QString datenOrdner = Testumgebung::datenOrdner();
        const QString heute
            = datenOrdner + QLatin1Char('/') + QDate::currentDate().toString(QStringLiteral("dd_MM_yyyy"));
        const QString frueher = datenOrdner + QStringLiteral("/01_01_2020");
        QVERIFY(QDir().mkpath(heute));
        QVERIFY(QDir().mkpath(frueher));
        gruppenDateiAnlegen(heute + QStringLiteral("/Herren.db"), QStringLiteral("Herren"), 4);
        gruppenDateiAnlegen(frueher + QStringLiteral("/Damen.db"), QStringLiteral("Damen"), 4);
        QVERIFY(QFile(heute + QStringLiteral("/notiz.txt")).open(QIODevice::WriteOnly));
        Testumgebung::einstellen(QStringLiteral("lastdatabasedir"), heute);
        Fenster w;
        QCOMPARE(w->form()->cmbTeilnehmerGruppe->currentText(), QStringLiteral("Herren"));
        QCOMPARE(w->form()->cmbSpielerGruppe->currentText(), QStringLiteral("Herren"));
        // An open database of another match day, registered under its name.
        Db::oeffnen(QStringLiteral("Damen"), frueher + QStringLiteral("/Damen.db"));

        // No: nothing changes.
        w.d.antworte(false);
        QVERIFY(ausloesen(*w, QStringLiteral("actNeuesTurnier")));
        QCOMPARE(w.d.fragen.size(), 1);
        QCOMPARE(w.d.fragen.first(),
            QStringLiteral("Turnier %1 ist schon vorhanden!\nUeberschreiben?")
                .arg(QDate::currentDate().toString(QStringLiteral("dd_MM_yyyy"))));
        QVERIFY(QFile::exists(heute + QStringLiteral("/Herren.db")));
        QCOMPARE(w->form()->cmbTeilnehmerGruppe->currentText(), QStringLiteral("Herren"));
        QCOMPARE(w->teilnehmer()->rowCount(), 4);

        // Yes: this day's group databases go once the new day's first group
        // is confirmed; other files and other days stay.
        w.d.antworte(true);
        QVERIFY(mitDialog(w->aktion(QStringLiteral("actNeuesTurnier")), "DlgNewGroup",
            [](QWidget* dlg) { static_cast<QDialog*>(dlg)->accept(); }));
        QVERIFY(QFile::exists(heute + QStringLiteral("/Herren.db")));
        w->form()->cmbSpielerGruppe->setCurrentText(QStringLiteral("Senioren"));
        teilnehmerBestaetigen(*w, w.d);
        QVERIFY(!QFile::exists(heute + QStringLiteral("/Herren.db")));
        QVERIFY(QFile::exists(heute + QStringLiteral("/Senioren.db")));
        QVERIFY(QFile::exists(heute + QStringLiteral("/notiz.txt")));
        QVERIFY(QFile::exists(frueher + QStringLiteral("/Damen.db")));
        QVERIFY(QSqlDatabase::database(QStringLiteral("Damen"), false).isOpen());
        QVERIFY(!QSqlDatabase::contains(QStringLiteral("Herren")));
        QCOMPARE(w->registry().namen(),
            QStringList({ QStringLiteral("Senioren"), QStringLiteral("reizwerk_connection_name") }));
        QVERIFY(w.d.unerwartet.isEmpty());
    }

    void fehlgeschlageneAnweisungWirdGezeigt()
    {
        Fenster w;
        QVERIFY(!Db::ausfuehren(w->registry().hauptDatenbank(), QStringLiteral("UPDATE Gibtsnicht SET x=?"), { 1 }));
        QVERIFY(w->statusBar()->currentMessage().startsWith(QStringLiteral("FEHLER: ")));
        QVERIFY(w->statusBar()->currentMessage().contains(QStringLiteral("Gibtsnicht")));

        // Text reaches SQL as a bound value: a quote is just a character.
        QSqlDatabase db = w->registry().hauptDatenbank();
        QVERIFY(Db::ausfuehren(db, QStringLiteral("INSERT INTO Spieler VALUES (?, ?, ?, ?, 'Ja', 'Nein')"),
            { 100, QStringLiteral("O'Neil"), QStringLiteral("x'); DROP TABLE Spieler; --"),
                QStringLiteral("Jung's") }));
        QCOMPARE(wert(db, QStringLiteral("SELECT NachName FROM Spieler")).toString(),
            QStringLiteral("x'); DROP TABLE Spieler; --"));
    }
};

REIZWERK_TEST(TstStart)
#include "tst_start.moc"
