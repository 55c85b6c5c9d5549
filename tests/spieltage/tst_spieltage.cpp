#include "testumgebung.h"

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QSqlQuery>
#include <QStandardItemModel>
#include <QTreeWidget>

#include "app/mainwindow.h"
#include "season/sicherung.h"
#include "season/spieltagliste.h"
#include "setup/teilnehmertabelle.h"
#include "storage/pfade.h"
#include "storage/schema.h"
#include "ui_mainwindow.h"

using namespace Turnierbau;

namespace
{

QString tagName(const QDate& d)
{
    return d.toString(QStringLiteral("dd_MM_yyyy"));
}

QString iso(const QDate& d)
{
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

// "Neues Turnier" for a chosen date, one group of `serien` series with every
// roster player of the current player group, confirmed.
bool spieltagAm(Fenster& w, const QDate& datum, int serien)
{
    const bool gezeigt
        = mitDialog(w->aktion(QStringLiteral("actNeuesTurnier")), "DlgNewGroup", [datum, serien](QWidget* dlg) {
              dlg->findChild<QDateEdit*>(QStringLiteral("deSpieltag"))->setDate(datum);
              dlg->findChild<QSpinBox*>(QStringLiteral("spbAnzahlSerien"))->setValue(serien);
              static_cast<QDialog*>(dlg)->accept();
          });
    if (!gezeigt)
        return false;
    teilnehmerWaehlen(*w);
    teilnehmerBestaetigen(*w, w.d);
    return true;
}

} // namespace

class TstSpieltage : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void kopierterDatenordnerOeffnetEigeneDateien()
    {
        const QString tag = tagName(QDate::currentDate());
        QString original;
        {
            Fenster w;
            QSqlDatabase db = w.gruppe(4, 2);
            QVERIFY(db.isOpen());
            // Stored relative to the data folder.
            QCOMPARE(w->settings()->value(QStringLiteral("lastdatabasedir")).toString(), tag);
            w->tabelle()->punkteItem(w->tabelle()->zeileVon(100), 1)->setText(QStringLiteral("17"));
            original = Testumgebung::datenOrdner();
        }
        const QString alteEinstellungen = Testumgebung::einstellungsDatei();

        // The whole HOME is copied; the original stays where it is.
        for (const bool absolut : { false, true }) {
            const QString alt = Testumgebung::zuhause();
            Testumgebung::frischesZuhause();
            QVERIFY(QDir().mkpath(Testumgebung::datenOrdner() + QLatin1Char('/') + tag));
            QVERIFY(QDir().mkpath(QFileInfo(Testumgebung::einstellungsDatei()).absolutePath()));
            QVERIFY(QFile::copy(alteEinstellungen, Testumgebung::einstellungsDatei()));
            for (const QString& datei : { QStringLiteral("reizwerk.db"), tag + QStringLiteral("/Alle.db") })
                QVERIFY(QFile::copy(
                    original + QLatin1Char('/') + datei, Testumgebung::datenOrdner() + QLatin1Char('/') + datei));
            // An earlier version stored the original's absolute path.
            if (absolut)
                Testumgebung::einstellen(QStringLiteral("lastdatabasedir"), original + QLatin1Char('/') + tag);
            Q_UNUSED(alt)
            Fenster w;
            QSqlDatabase db = w->registry().datenbank(QStringLiteral("Alle"));
            QVERIFY(db.isOpen());
            QCOMPARE(
                db.databaseName(), Testumgebung::datenOrdner() + QLatin1Char('/') + tag + QStringLiteral("/Alle.db"));
            QCOMPARE(w->tabelle()->punkteItem(w->tabelle()->zeileVon(100), 1)->text(), QStringLiteral("17"));
            // A change lands in the copy, never in the original.
            w->tabelle()->punkteItem(w->tabelle()->zeileVon(100), 1)->setText(QStringLiteral("5"));
            QCOMPARE(wert(db, QStringLiteral("SELECT Punkte FROM Serie1 WHERE StartNr=100")).toInt(), 5);
        }
        {
            QSqlDatabase orig = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("original"));
            orig.setDatabaseName(original + QLatin1Char('/') + tag + QStringLiteral("/Alle.db"));
            QVERIFY(orig.open());
            QCOMPARE(wert(orig, QStringLiteral("SELECT Punkte FROM Serie1 WHERE StartNr=100")).toInt(), 17);
            orig.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("original"));

        // A value that would leave the data folder names nothing.
        QCOMPARE(Pfade::turnierVerzeichnisLesen(QStringLiteral("/d/Reizwerk"), QStringLiteral("../x")), QString());
        QCOMPARE(
            Pfade::turnierVerzeichnisLesen(QStringLiteral("/d/Reizwerk"), QStringLiteral("/d/Reizwerk/01_02_2026")),
            QStringLiteral("/d/Reizwerk/01_02_2026"));
    }

    void fruehererSpieltagWirdKorrigiert()
    {
        Fenster w;
        QStringList menue;
        const QList<QAction*> eintraege = w->menuBar()->actions().value(0)->menu()->actions();
        for (const QAction* a : eintraege)
            if (!a->isSeparator())
                menue << a->text();
        // The match-day entries keep their order among the others, and
        // "Beenden" stays last.
        const QStringList reihe { QStringLiteral("Neues Turnier"), QString::fromUtf8("Spieltag öffnen…"),
            QStringLiteral("Neue Spielgruppe"), QString::fromUtf8("Datensicherung…"),
            QString::fromUtf8("Wiederherstellen…"), QString::fromUtf8("Saisonwertung…"), QStringLiteral("Tisch-Codes"),
            QStringLiteral("Info Reizwerk") };
        int vorher = -1;
        for (const QString& eintrag : reihe) {
            const int i = menue.indexOf(eintrag);
            QVERIFY2(i > vorher, qPrintable(eintrag));
            vorher = i;
        }
        QCOMPARE(menue.constLast(), QStringLiteral("Beenden"));
        spielerAnlegen(*w, 4);
        const QDate frueher = QDate::currentDate().addDays(-14);
        QVERIFY(spieltagAm(w, frueher, 2));
        // The day entered afterwards lands under its own date.
        const QString ordnerFrueher = Testumgebung::datenOrdner() + QLatin1Char('/') + tagName(frueher);
        QVERIFY(QFile::exists(ordnerFrueher + QStringLiteral("/Alle.db")));
        QVERIFY(!QDir(Testumgebung::datenOrdner() + QLatin1Char('/') + tagName(QDate::currentDate())).exists());
        QCOMPARE(w->form()->dateEdit->date(), frueher);
        QSqlDatabase alt = w->registry().datenbank(QStringLiteral("Alle"));
        QCOMPARE(wert(alt, QStringLiteral("SELECT Datum FROM Gruppe")).toString(), iso(frueher));
        w->tabelle()->punkteItem(w->tabelle()->zeileVon(101), 1)->setText(QStringLiteral("30"));
        QSqlDatabase haupt = w->registry().hauptDatenbank();
        QCOMPARE(
            wert(haupt, QStringLiteral("SELECT Datum || '|' || Punkte FROM Rangliste WHERE StartNr=101")).toString(),
            iso(frueher) + QStringLiteral("|30"));

        // Today's match day with a result of its own.
        QVERIFY(neuesTurnier(*w, w.d, 3));
        teilnehmerWaehlen(*w);
        teilnehmerBestaetigen(*w, w.d);
        QCOMPARE(w->form()->dateEdit->date(), QDate::currentDate());
        w->tabelle()->punkteItem(w->tabelle()->zeileVon(101), 1)->setText(QStringLiteral("8"));

        // The list shows both days, newest first, with groups and counts.
        const QVector<Spieltagliste::Spieltag> tage = Spieltagliste::lesen(w->datenVerzeichnis());
        QCOMPARE(tage.size(), 2);
        QCOMPARE(tage.at(0).datum, QDate::currentDate());
        QCOMPARE(tage.at(1).datum, frueher);
        QCOMPARE(tage.at(1).gruppen.size(), 1);
        QCOMPARE(tage.at(1).teilnehmer(), 4);

        QStringList zeilen;
        QVERIFY(mitDialog(w->aktion(QStringLiteral("actSpieltagOeffnen")), "DlgSpieltagOeffnen", [&](QWidget* dlg) {
            auto* liste = dlg->findChild<QTreeWidget*>(QStringLiteral("trvSpieltage"));
            for (int i = 0; i < liste->topLevelItemCount(); ++i)
                zeilen << liste->topLevelItem(i)->text(0) + QLatin1Char('|') + liste->topLevelItem(i)->text(1)
                        + QLatin1Char('|') + liste->topLevelItem(i)->text(2);
            liste->setCurrentItem(liste->topLevelItem(1));
            static_cast<QDialog*>(dlg)->accept();
        }));
        QCOMPARE(zeilen,
            QStringList({ QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral("|Alle (4)|4"),
                frueher.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral("|Alle (4)|4") }));

        // The earlier day is open as at a start: its date, its group, its results.
        QCOMPARE(w->form()->dateEdit->date(), frueher);
        QCOMPARE(comboTexte(w->form()->cmbTeilnehmerGruppe), QStringList { QStringLiteral("Alle") });
        QSqlDatabase db = w->registry().datenbank(QStringLiteral("Alle"));
        QCOMPARE(db.databaseName(), ordnerFrueher + QStringLiteral("/Alle.db"));
        QCOMPARE(w->tabelle()->serien(), 2);
        QCOMPARE(w->tabelle()->punkteItem(w->tabelle()->zeileVon(101), 1)->text(), QStringLiteral("30"));
        QVERIFY(w->form()->pbAuslosen->isEnabled());
        QCOMPARE(w->settings()->value(QStringLiteral("lastdatabasedir")).toString(), tagName(frueher));

        // A correction updates that day's ranking row; today's stays.
        w->tabelle()->punkteItem(w->tabelle()->zeileVon(101), 2)->setText(QStringLiteral("12"));
        QCOMPARE(wert(db, QStringLiteral("SELECT SummePunkte FROM Teilnehmer WHERE StartNr=101")).toInt(), 42);
        QCOMPARE(wert(haupt,
                     QStringLiteral("SELECT Punkte FROM Rangliste WHERE StartNr=101 AND Datum='%1'").arg(iso(frueher)))
                     .toInt(),
            42);
        QCOMPARE(wert(haupt,
                     QStringLiteral("SELECT Punkte FROM Rangliste WHERE StartNr=101 AND Datum='%1'")
                         .arg(iso(QDate::currentDate())))
                     .toInt(),
            8);
        QCOMPARE(wert(haupt, QStringLiteral("SELECT COUNT(*) FROM Rangliste")).toInt(), 2);

        // A restart reopens the day that was shown.
        w.neuStarten();
        QCOMPARE(w->form()->dateEdit->date(), frueher);
        QCOMPARE(w->tabelle()->punkteItem(w->tabelle()->zeileVon(101), 2)->text(), QStringLiteral("12"));
        QVERIFY(w.d.unerwartet.isEmpty());
    }

    // A kill between a group's commit and the ranking's left rows of
    // Rangliste behind their series; opening the day sets them right from
    // the group files, and says how many.
    void ranglisteHeiltBeimOeffnen()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(4, 2);
        TeilnehmerTabelle* t = w->tabelle();
        t->punkteItem(t->zeileVon(100), 1)->setText(QStringLiteral("20"));
        t->punkteItem(t->zeileVon(100), 2)->setText(QStringLiteral("5"));
        t->punkteItem(t->zeileVon(101), 1)->setText(QStringLiteral("10"));
        t->punkteItem(t->zeileVon(102), 1)->setText(QStringLiteral("7"));
        // A second group that day in which 101 plays as well.
        const QString zweite = w->turnierOrdner() + QStringLiteral("/Zweite.db");
        gruppenDateiAnlegen(zweite, QStringLiteral("Zweite"), 4);
        {
            QSqlDatabase z = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("zweite"));
            z.setDatabaseName(zweite);
            QVERIFY(z.open());
            for (const char* tabelle : { "Teilnehmer", "Serie1", "Serie2" })
                sql(z, QStringLiteral("DELETE FROM %1 WHERE StartNr<>101").arg(QLatin1String(tabelle)));
            sql(z, QStringLiteral("UPDATE Serie1 SET Punkte=3"));
            z.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("zweite"));
        const QString heute = iso(QDate::currentDate());
        QSqlDatabase haupt = w->registry().hauptDatenbank();
        // As a kill would leave it: the series hold more than the ranking.
        sql(haupt, QStringLiteral("UPDATE Rangliste SET Punkte=99 WHERE StartNr IN (100, 101)"));
        sql(db, QStringLiteral("UPDATE Serie2 SET Punkte=4 WHERE StartNr=102"));
        sql(db, QStringLiteral("UPDATE Serie2 SET Punkte=6 WHERE StartNr=103"));
        QCOMPARE(wert(haupt, QStringLiteral("SELECT COUNT(*) FROM Rangliste")).toInt(), 3);

        w.neuStarten();
        QVERIFY2(w->statusBar()->currentMessage().contains(QStringLiteral("2 Eintraege nach den Gruppendateien")),
            qPrintable(w->statusBar()->currentMessage()));
        auto punkte = [&](int nr) {
            return wert(w->registry().hauptDatenbank(),
                QStringLiteral("SELECT Punkte FROM Rangliste WHERE StartNr=%1 AND Datum='%2'").arg(nr).arg(heute))
                .toInt();
        };
        QCOMPARE(punkte(100), 25);
        QCOMPARE(punkte(101), 99); // plays in two groups: left alone
        QCOMPARE(punkte(102), 11);
        // No row is made for a player who has none.
        QCOMPARE(wert(w->registry().hauptDatenbank(), QStringLiteral("SELECT COUNT(*) FROM Rangliste")).toInt(), 3);

        // Healed once: the next start finds nothing to do.
        w.neuStarten();
        QVERIFY2(!w->statusBar()->currentMessage().contains(QStringLiteral("Gruppendateien")),
            qPrintable(w->statusBar()->currentMessage()));
        QCOMPARE(punkte(100), 25);
        QVERIFY(w.d.unerwartet.isEmpty());
    }

    void ueberschreibenErstBeimBestaetigen()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(5, 2);
        w->tabelle()->punkteItem(w->tabelle()->zeileVon(102), 1)->setText(QStringLiteral("25"));
        const QString heute = Testumgebung::datenOrdner() + QLatin1Char('/') + tagName(QDate::currentDate());
        const QString datei = heute + QStringLiteral("/Alle.db");
        const QByteArray vorher = Testumgebung::dateiInhalt(datei);
        QSqlDatabase haupt = w->registry().hauptDatenbank();
        auto unveraendert = [&] {
            QCOMPARE(Testumgebung::dateiInhalt(datei), vorher);
            QCOMPARE(comboTexte(w->form()->cmbTeilnehmerGruppe), QStringList { QStringLiteral("Alle") });
            QCOMPARE(w->teilnehmer()->rowCount(), 5);
            QCOMPARE(w->tabelle()->punkteItem(w->tabelle()->zeileVon(102), 1)->text(), QStringLiteral("25"));
            QVERIFY(w->form()->pbAuslosen->isEnabled());
            QCOMPARE(w->registry().datenbank(QStringLiteral("Alle")).databaseName(), datei);
            QCOMPARE(wert(haupt, QStringLiteral("SELECT COUNT(*) FROM Rangliste")).toInt(), 1);
        };

        // Yes, then Cancel in the group dialog: files and window as they were.
        w.d.antworte(true);
        QVERIFY(mitDialog(w->aktion(QStringLiteral("actNeuesTurnier")), "DlgNewGroup",
            [](QWidget* dlg) { static_cast<QDialog*>(dlg)->reject(); }));
        QCOMPARE(w.d.fragen.last(),
            QStringLiteral("Turnier %1 ist schon vorhanden!\nUeberschreiben?").arg(tagName(QDate::currentDate())));
        unveraendert();
        // An entry after the cancel is still stored.
        w->tabelle()->punkteItem(w->tabelle()->zeileVon(102), 2)->setText(QStringLiteral("3"));
        QCOMPARE(wert(db, QStringLiteral("SELECT Punkte FROM Serie2 WHERE StartNr=102")).toInt(), 3);
        w->tabelle()->punkteItem(w->tabelle()->zeileVon(102), 2)->setText(QStringLiteral("0"));
        const QByteArray nachEingabe = Testumgebung::dateiInhalt(datei);

        // Yes and OK: still nothing is deleted while players are chosen ...
        QVERIFY(neuesTurnier(*w, w.d, 3));
        QVERIFY(QFile::exists(datei));
        QVERIFY(comboTexte(w->form()->cmbTeilnehmerGruppe).isEmpty());
        QCOMPARE(w->teilnehmer()->rowCount(), 0);
        QVERIFY(!w->form()->pbAuslosen->isEnabled());
        // ... and a restart in between finds the day untouched.
        w.neuStarten();
        QCOMPARE(w->teilnehmer()->rowCount(), 5);
        QCOMPARE(Testumgebung::dateiInhalt(datei), nachEingabe);

        // Confirming the new group replaces the day: a snapshot first, then
        // the old group and its ranking rows go.
        QVERIFY(neuesTurnier(*w, w.d, 3));
        teilnehmerWaehlen(*w, { 100, 101, 103 });
        teilnehmerBestaetigen(*w, w.d);
        QVERIFY(w.d.fehlerTexte.isEmpty());
        haupt = w->registry().hauptDatenbank();
        QCOMPARE(wert(haupt, QStringLiteral("SELECT COUNT(*) FROM Rangliste")).toInt(), 0);
        db = w->registry().datenbank(QStringLiteral("Alle"));
        QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Teilnehmer")).toInt(), 3);
        QCOMPARE(wert(db, QStringLiteral("SELECT Serien FROM Gruppe")).toInt(), 3);
        QCOMPARE(w->teilnehmer()->rowCount(), 3);
        const QStringList sicherungen
            = QDir(Sicherung::ordner(w->datenVerzeichnis())).entryList({ QStringLiteral("auto_*.zip") });
        QCOMPARE(sicherungen.size(), 1);
        QVERIFY(sicherungen.first().contains(QStringLiteral("Ueberschreiben")));

        // A second list for a group that exists that day is refused, visibly.
        QVERIFY(mitDialog(w->aktion(QStringLiteral("actNeueSpielGruppe")), "DlgNewGroup",
            [](QWidget* dlg) { static_cast<QDialog*>(dlg)->accept(); }));
        teilnehmerWaehlen(*w, { 104 });
        const QByteArray gespeichert = Testumgebung::dateiInhalt(datei);
        teilnehmerBestaetigen(*w, w.d);
        QCOMPARE(w.d.fehlerTexte.size(), 1);
        QVERIFY(w.d.fehlerTexte.first().startsWith(QStringLiteral("Die Gruppe Alle gibt es am")));
        QVERIFY(w->form()->tbTeilnehmerOk->isEnabled());
        QVERIFY(!w->form()->pbAuslosen->isEnabled());
        QCOMPARE(Testumgebung::dateiInhalt(datei), gespeichert);
        QVERIFY(w.d.unerwartet.isEmpty());
    }

    void listeNurAusSpieltagOrdnern()
    {
        const QString daten = Testumgebung::datenOrdner();
        for (const char* ordner : { "05_01_2026", "31_02_2026", "12_01_2026", "Sicherungen", "notiz" })
            QVERIFY(QDir().mkpath(daten + QLatin1Char('/') + QLatin1String(ordner)));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("liste"));
            db.setDatabaseName(daten + QStringLiteral("/05_01_2026/Herren.db"));
            QVERIFY(db.open());
            Schema::GruppenDaten g;
            g.name = QStringLiteral("Herren");
            g.datum = QDate(2026, 1, 5);
            QVERIFY(Schema::gruppeAnlegen(db, g,
                { { 100, QStringLiteral("A B"), true, false }, { 101, QStringLiteral("C D"), true, false },
                    { 102, QStringLiteral("E F"), false, true } }));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("liste"));
        QFile kaputt(daten + QStringLiteral("/05_01_2026/Damen.db"));
        QVERIFY(kaputt.open(QIODevice::WriteOnly));
        kaputt.write(QByteArray(3000, 'z'));
        kaputt.close();

        const QVector<Spieltagliste::Spieltag> tage = Spieltagliste::lesen(daten);
        QCOMPARE(tage.size(), 2); // 31_02_2026 is no date
        QCOMPARE(tage.at(0).datum, QDate(2026, 1, 12));
        QVERIFY(tage.at(0).gruppen.isEmpty());
        QCOMPARE(tage.at(1).gruppen.size(), 2);
        QCOMPARE(tage.at(1).teilnehmer(), 3);
        int lesbar = 0;
        for (const Spieltagliste::Gruppe& g : tage.at(1).gruppen)
            lesbar += g.fehler.isEmpty() ? 1 : 0;
        QCOMPARE(lesbar, 1);
    }

    void fragenStehenAufNein()
    {
        // The real question box, not the script: its default button is No.
        Dialoge::Umsetzung* vorher = Dialoge::umsetzung();
        Dialoge::setUmsetzung(nullptr);
        QString standard;
        auto gesehen = beimNaechstenDialog("QMessageBox", [&standard](QWidget* w) {
            auto* box = static_cast<QMessageBox*>(w);
            standard = box->standardButton(box->defaultButton()) == QMessageBox::No ? QStringLiteral("Nein")
                                                                                    : QStringLiteral("nicht Nein");
            box->defaultButton() ? box->defaultButton()->click() : box->reject();
        });
        const bool ja = Dialoge::frage(nullptr, QStringLiteral("Loeschen?"));
        Dialoge::setUmsetzung(vorher);
        QVERIFY(*gesehen);
        QVERIFY(!ja);
        QCOMPARE(standard, QStringLiteral("Nein"));
    }
};

REIZWERK_TEST(TstSpieltage)
#include "tst_spieltage.moc"
