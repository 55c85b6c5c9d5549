// The roster as an organiser uses it in the window: a sorted table, the
// cursor moving through cells with their editors, large rosters, an import
// after a match day.

#include "testumgebung.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSqlTableModel>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTableView>

#include "app/mainwindow.h"
#include "roster/namensregel.h"
#include "roster/spielerdatei.h"
#include "roster/spielerliste.h"
#include "setup/teilnehmertabelle.h"
#include "ui_mainwindow.h"

using namespace Turnierbau;

namespace
{

enum { VorName = 1, NachName = 2, Gruppe = 3, Preisskat = 5 };

void warten()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

QString feld(MainWindow& w, int startNr, const char* spalte)
{
    return wert(w.registry().hauptDatenbank(),
        QStringLiteral("SELECT %1 FROM Spieler WHERE StartNr=%2").arg(QLatin1String(spalte)).arg(startNr))
        .toString();
}

QStringList roster(MainWindow& w)
{
    QStringList zeilen;
    for (const QVariant& v : spalte(w.registry().hauptDatenbank(),
             QStringLiteral("SELECT StartNr || '|' || VorName || '|' || NachName || '|' || Gruppe || '|' || "
                            "Preisskat FROM Spieler ORDER BY StartNr")))
        zeilen << v.toString();
    return zeilen;
}

// The open editor of the view's current cell.
template<typename T> T* editor(QTableView* v)
{
    for (T* e : v->viewport()->findChildren<T*>())
        if (!e->isHidden())
            return e;
    return nullptr;
}

int aktuelleNr(QTableView* v)
{
    return v->model()->index(v->currentIndex().row(), 0).data().toInt();
}

QModelIndex zelle(MainWindow& w, int startNr, int spalte)
{
    return w.spieler()->index(Spielerliste::zeileVon(w.spieler(), startNr), spalte);
}

void schreiben(const QString& pfad, const QByteArray& inhalt)
{
    QDir().mkpath(QFileInfo(pfad).path());
    QFile f(pfad);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(inhalt);
}

QStringList angeboten(MainWindow& w)
{
    QStringList nummern;
    const bool gezeigt = mitDialog(w.aktion(QStringLiteral("actNachmelden")), "DlgNachmeldung", [&](QWidget* dlg) {
        QAbstractItemModel* m = dlg->findChild<QTreeView*>(QStringLiteral("trvSpieler"))->model();
        nummern = spaltenTexte(m, 0);
        knopf(dlg, QDialogButtonBox::Cancel);
    });
    if (!gezeigt)
        nummern << QStringLiteral("kein Dialog");
    return nummern;
}

} // namespace

class TstRosterFenster : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void sortierteListeAendertNurDenBearbeitetenSpieler()
    {
        Fenster w;
        spielerAnlegen(*w,
            { { QStringLiteral("Anna"), QStringLiteral("Berg") }, { QStringLiteral("Bernd"), QStringLiteral("Cord") },
                { QStringLiteral("Carl"), QStringLiteral("Dorn") } });
        QTableView* v = w->form()->tblViewSpieler;
        v->sortByColumn(NachName, Qt::AscendingOrder);

        // The new player "-" sorts first once stored; typing goes to him.
        w->form()->pbNeuerSpieler->click();
        warten();
        QCOMPARE(aktuelleNr(v), 103);
        QCOMPARE(v->currentIndex().column(), int(VorName));
        QLineEdit* e = editor<QLineEdit>(v);
        QVERIFY(e);
        e->setText(QStringLiteral("Zora"));
        QTest::keyClick(e, Qt::Key_Return);
        QTRY_COMPARE(feld(*w, 103, "VorName"), QStringLiteral("Zora"));
        QTRY_COMPARE(v->currentIndex().column(), int(NachName));
        QCOMPARE(aktuelleNr(v), 103);

        e = editor<QLineEdit>(v);
        QVERIFY(e);
        e->setText(QStringLiteral("Zeh"));
        QTest::keyClick(e, Qt::Key_Return);
        QTRY_COMPARE(feld(*w, 103, "NachName"), QStringLiteral("Zeh"));
        // Now sorted last, still the one being typed in.
        QTRY_COMPARE(v->currentIndex().column(), int(Gruppe));
        QCOMPARE(aktuelleNr(v), 103);
        QCOMPARE(v->currentIndex().row(), 3);

        // The cursor passes through his group cell: nothing changes.
        QComboBox* box = editor<QComboBox>(v);
        QVERIFY(box);
        QCOMPARE(box->currentText(), QStringLiteral("Alle"));
        v->setCurrentIndex(zelle(*w, 100, VorName));
        warten();
        QCOMPARE(roster(*w),
            (QStringList { "100|Anna|Berg|Alle|Nein", "101|Bernd|Cord|Alle|Nein", "102|Carl|Dorn|Alle|Nein",
                "103|Zora|Zeh|Alle|Nein" }));
        // A click elsewhere ends the edit and keeps the cell clicked.
        QCOMPARE(aktuelleNr(v), 100);
        QCOMPARE(v->currentIndex().column(), int(VorName));
    }

    void gruppenZelleAendertSichNurDurchWahl()
    {
        Fenster w;
        QVector<Spieler> liste = nummeriert(3);
        liste[1].gruppe = QStringLiteral("Importiert");
        liste[2].gruppe = QString();
        spielerAnlegen(*w, liste);
        QTableView* v = w->form()->tblViewSpieler;
        v->sortByColumn(Gruppe, Qt::DescendingOrder);
        const QStringList vorher = roster(*w);
        for (int nr : { 100, 101, 102 }) {
            v->setCurrentIndex(zelle(*w, nr, Gruppe));
            QComboBox* box = editor<QComboBox>(v);
            QVERIFY(box);
            QCOMPARE(box->currentText(), feld(*w, nr, "Gruppe"));
            v->setCurrentIndex(zelle(*w, nr, VorName));
            warten();
            QCOMPARE(roster(*w), vorher);
        }

        // What is picked is stored, for the player picked.
        v->setCurrentIndex(zelle(*w, 101, Gruppe));
        QComboBox* box = editor<QComboBox>(v);
        QVERIFY(box);
        QVERIFY(box->findText(QStringLiteral("Senioren")) >= 0);
        box->setCurrentIndex(box->findText(QStringLiteral("Senioren")));
        // Leaving the cell commits inside the view's own change of the
        // current cell; the model must not be reloaded under it there.
        bool neuGeladen = false;
        connect(w->spieler(), &QAbstractItemModel::modelAboutToBeReset, this, [&neuGeladen] { neuGeladen = true; });
        v->setCurrentIndex(zelle(*w, 100, VorName));
        QVERIFY(!neuGeladen);
        QTRY_COMPARE(feld(*w, 101, "Gruppe"), QStringLiteral("Senioren"));
        QVERIFY(neuGeladen);
        disconnect(w->spieler(), nullptr, this, nullptr);
        QCOMPARE(feld(*w, 100, "Gruppe"), QStringLiteral("Alle"));
        QCOMPARE(feld(*w, 102, "Gruppe"), QString());
    }

    void preisskatErreichtDenRichtigenTeilnehmer()
    {
        Fenster w;
        QVector<Spieler> liste = nummeriert(4);
        liste[0].preisskat = QStringLiteral("Ja");
        spielerAnlegen(*w, liste);
        QVERIFY(neuesTurnier(*w, w.d, 2));
        teilnehmerWaehlen(*w);
        TeilnehmerTabelle* t = w->tabelle();
        QCOMPARE(t->zeilen(), 4);

        // Editors open as the cursor moves only in the visible roster.
        w->form()->tabWidget->setCurrentIndex(0);
        QTableView* v = w->form()->tblViewSpieler;
        v->sortByColumn(Preisskat, Qt::AscendingOrder);
        v->setCurrentIndex(zelle(*w, 102, Preisskat));
        QComboBox* box = editor<QComboBox>(v);
        QVERIFY(box);
        box->setCurrentText(QStringLiteral("Ja"));
        v->setCurrentIndex(zelle(*w, 103, VorName));
        QTRY_COMPARE(feld(*w, 102, "Preisskat"), QStringLiteral("Ja"));
        QTRY_COMPARE(t->preisskatItem(t->zeileVon(102))->text(), QStringLiteral("Ja"));
        QCOMPARE(t->preisskatItem(t->zeileVon(100))->text(), QStringLiteral("Ja"));
        QCOMPARE(t->preisskatItem(t->zeileVon(101))->text(), QStringLiteral("Nein"));
        QCOMPARE(t->preisskatItem(t->zeileVon(103))->text(), QStringLiteral("Nein"));
    }

    void tausendSpieler()
    {
        Fenster w;
        spielerAnlegen(*w, 1000);
        QVERIFY(neuesTurnier(*w, w.d, 2));
        teilnehmerWaehlen(*w, { 100, 700, 1099 });
        teilnehmerBestaetigen(*w, w.d);
        TeilnehmerTabelle* t = w->tabelle();
        QCOMPARE(t->zeilen(), 3);

        // From the results table to the roster: the row is far past what the
        // roster model has fetched.
        QVERIFY(w->spieler()->rowCount() < 1000);
        t->preisskatItem(t->zeileVon(1099))->setText(QStringLiteral("Ja"));
        QCOMPARE(feld(*w, 1099, "Preisskat"), QStringLiteral("Ja"));
        QCOMPARE(
            wert(w->registry().hauptDatenbank(), QStringLiteral("SELECT COUNT(*) FROM Spieler WHERE Preisskat='Ja'"))
                .toInt(),
            1);
        warten();
        QCOMPARE(zelle(*w, 1099, Preisskat).data().toString(), QStringLiteral("Ja"));

        // From the roster to the results table, with the roster sorted.
        w->form()->tblViewSpieler->sortByColumn(NachName, Qt::DescendingOrder);
        QVERIFY(w->spieler()->setData(zelle(*w, 700, Preisskat), QStringLiteral("Ja")));
        warten();
        QCOMPARE(feld(*w, 700, "Preisskat"), QStringLiteral("Ja"));
        QCOMPARE(t->preisskatItem(t->zeileVon(700))->text(), QStringLiteral("Ja"));

        // Late registration offers everybody else, in start-number order.
        const QStringList nummern = angeboten(*w);
        QCOMPARE(nummern.size(), 997);
        QCOMPARE(nummern.first(), QStringLiteral("101"));
        QCOMPARE(nummern.last(), QStringLiteral("1098"));
    }

    void importNachEinemSpieltag()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(12, 2);
        QVERIFY(db.isValid());
        QSqlDatabase haupt = w->registry().hauptDatenbank();
        sql(haupt,
            QStringLiteral("INSERT INTO Rangliste SELECT StartNr, VorName || ' ' || NachName, '2026-01-01', 10 "
                           "FROM Spieler"));
        sql(haupt, QStringLiteral("UPDATE Spieler SET Preisskat='Ja' WHERE StartNr=101"));

        schreiben(Testumgebung::dokumente() + QStringLiteral("/ReizwerkSpieler.txt"),
            "Vorname2 Nachname2 Alle Ja\n"
            "Otto Lehmann Herren Ja\n"
            "Vorname5 Nachname5 Alle nein\n"
            "Kai$ Test Alle Ja\n");
        w.d.antworte(true);
        w->form()->pbSpielerAusListeLaden->click();
        QCOMPARE(w.d.fragen.size(), 2);
        QVERIFY(w.d.fragen.last().contains(QStringLiteral("12 Spielern")));
        QVERIFY(w.d.fragen.last().contains(QStringLiteral("die 3 Spieler")));
        QVERIFY(w.d.fehlerTexte.isEmpty());
        QCOMPARE(roster(*w),
            (QStringList { "101|Vorname2|Nachname2|Alle|Ja", "104|Vorname5|Nachname5|Alle|Nein",
                "112|Otto|Lehmann|Herren|Nein" }));
        const QString meldung = w->statusBar()->currentMessage();
        QVERIFY2(meldung.startsWith(QStringLiteral("3 Spieler gelesen, 1 Zeilen uebersprungen (2 behalten, 1 neu)")),
            qPrintable(meldung));
        QCOMPARE(w.d.infos.size(), 1);
        QVERIFY2(
            w.d.infos.first().contains(QStringLiteral("Zeile 4: Kai$ Test Alle Ja")), qPrintable(w.d.infos.first()));
        QCOMPARE(w->spieler()->rowCount(), 3);

        // The match day's prize-skat flag reaches the same person's roster row.
        TeilnehmerTabelle* t = w->tabelle();
        t->preisskatItem(t->zeileVon(104))->setText(QStringLiteral("Ja"));
        QCOMPARE(feld(*w, 104, "Preisskat"), QStringLiteral("Ja"));
        QCOMPARE(feld(*w, 112, "Preisskat"), QStringLiteral("Nein"));
        QCOMPARE(angeboten(*w), QStringList { QStringLiteral("112") });

        // A player added by hand does not get a departed player's number either.
        w->form()->pbNeuerSpieler->click();
        QCOMPARE(feld(*w, 113, "VorName"), QStringLiteral("-"));
        QCOMPARE(roster(*w).size(), 4);
    }

    void importDateiKodierungUndAbweisung()
    {
        Fenster w;
        spielerAnlegen(*w, 2);
        const QString pfad = Testumgebung::dokumente() + QStringLiteral("/ReizwerkSpieler.txt");

        // Random bytes and a NUL are refused; the roster stays and no question is asked.
        QByteArray muell(4096, '\0');
        for (int i = 0; i < muell.size(); ++i)
            muell[i] = char((i * 7919) % 251);
        for (const QByteArray& inhalt : { muell, QByteArray("Anna Berg Damen Ja\nBernd\0 Cord Herren Ja\n", 41) }) {
            schreiben(pfad, inhalt);
            w->form()->pbSpielerAusListeLaden->click();
        }
        QCOMPARE(w.d.fehlerTexte.size(), 2);
        QVERIFY(w.d.fehlerTexte.last().contains(QStringLiteral("Steuerzeichen")));
        QVERIFY(w.d.fehlerTexte.last().contains(QStringLiteral("unveraendert")));
        QVERIFY(w.d.fragen.isEmpty());
        QCOMPARE(roster(*w).size(), 2);

        // Latin-1 is read as Windows-1252, and the status bar says so.
        schreiben(pfad, "Hans M\xfcller Herren Ja\n");
        w.d.antworte(true);
        w->form()->pbSpielerAusListeLaden->click();
        QCOMPARE(roster(*w), QStringList { QString::fromUtf8("100|Hans|M\xc3\xbcller|Herren|Nein") });
        QVERIFY(w->statusBar()->currentMessage().contains(QStringLiteral("Windows-1252")));
    }

    // A name with a separator of the link or one a spreadsheet would run as
    // a formula: typed into a roster cell it is refused and the stored name
    // shown again. A name stored before the rule is not offered for late
    // registration when the link cannot carry it (the organiser is told
    // why), and still offered when it only looks like a formula.
    void namenWerdenAbgewiesen_data()
    {
        QTest::addColumn<int>("spalte");
        QTest::addColumn<QString>("getippt");
        QTest::addColumn<QString>("grund");
        QTest::addColumn<QString>("frueher");
        QTest::addColumn<QStringList>("erwartet");

        QTest::newRow("Trennzeichen") << int(VorName) << QStringLiteral("Kai$") << QStringLiteral("Kai$")
                                      << QStringLiteral("Ute|Kurz") << QStringList { "101", "102" };
        QTest::newRow("Formel") << int(NachName) << QStringLiteral("=1+1 Summe") << QStringLiteral("Formel")
                                << QStringLiteral("=Alt") << QStringList { "101", "102", "103" };
        QTest::newRow("Minuszahl") << int(NachName) << QStringLiteral("-5 Minus") << QStringLiteral("Formel")
                                   << QStringLiteral("=Alt") << QStringList { "101", "102", "103" };
    }
    void namenWerdenAbgewiesen()
    {
        QFETCH(int, spalte);
        QFETCH(QString, getippt);
        QFETCH(QString, grund);
        QFETCH(QString, frueher);
        QFETCH(QStringList, erwartet);

        Fenster w;
        QVector<Spieler> liste = nummeriert(4);
        liste[3].vorname = frueher;
        spielerAnlegen(*w, liste);
        QTableView* v = w->form()->tblViewSpieler;
        const char* feldName = spalte == VorName ? "VorName" : "NachName";
        const QString gespeichert = feld(*w, 100, feldName);

        v->setCurrentIndex(zelle(*w, 100, spalte));
        QLineEdit* e = editor<QLineEdit>(v);
        QVERIFY(e);
        e->setText(getippt);
        QTest::keyClick(e, Qt::Key_Return);
        QTRY_COMPARE(w.d.fehlerTexte.size(), 1);
        QVERIFY(w.d.fehlerTexte.first().contains(getippt));
        QVERIFY(w.d.fehlerTexte.first().contains(grund));
        QCOMPARE(feld(*w, 100, feldName), gespeichert);
        QCOMPARE(zelle(*w, 100, spalte).data().toString(), gespeichert);
        QVERIFY(!w->spieler()->isDirty());

        // A name without them is taken.
        QVERIFY(w->spieler()->setData(zelle(*w, 101, NachName), QStringLiteral("Kurz-Lang")));
        warten();
        QCOMPARE(feld(*w, 101, "NachName"), QStringLiteral("Kurz-Lang"));
        QCOMPARE(w.d.fehlerTexte.size(), 1);

        QVERIFY(neuesTurnier(*w, w.d, 2));
        teilnehmerWaehlen(*w, { 100 });
        teilnehmerBestaetigen(*w, w.d);
        QCOMPARE(angeboten(*w), erwartet);
        const bool gesagt = erwartet.size() < 3;
        QCOMPARE(w.d.fehlerTexte.size(), gesagt ? 2 : 1);
        if (gesagt)
            QVERIFY(w.d.fehlerTexte.last().contains(frueher));
    }

    void formelNamenWerdenAbgewiesen()
    {
        for (const char* gut : { "-", "Anna", "Anna-Lena", "O'Brien", "Jean-", "5", "M\xfcller" })
            QVERIFY2(Namensregel::zulaessig(QString::fromLatin1(gut)), gut);
        for (const char* formel : { "=1+1", "=", "+49", "+", "@A1", "-5", "-Anna", "--" })
            QVERIFY2(!Namensregel::zulaessig(QString::fromLatin1(formel)), formel);

        // A new row keeps its lone "-".
        Fenster w;
        w->form()->pbNeuerSpieler->click();
        warten();
        QCOMPARE(feld(*w, 100, "VorName"), QStringLiteral("-"));
        QCOMPARE(feld(*w, 100, "NachName"), QStringLiteral("-"));
        QVERIFY(w.d.fehlerTexte.isEmpty());

        // Imported: the lines with such a name are skipped and counted.
        const Spielerdatei::Ergebnis e = Spielerdatei::lesen("Anna Berg Damen Ja\n"
                                                             "+49 Handy Herren Ja\n"
                                                             "Eva -5 Damen Ja\n"
                                                             "=A1 Berg Damen Ja\n"
                                                             "- - Alle Ja\n"
                                                             "Bernd Cord-Dahl Herren Nein\n"
                                                             "Carl Dorn Herren Ja\n");
        QVERIFY2(e.fehler.isEmpty(), qPrintable(e.fehler));
        QCOMPARE(e.uebersprungen, 3);
        QCOMPARE(e.spieler.size(), 4);
        QCOMPARE(e.spieler[1].vorname, QStringLiteral("-"));
        QCOMPARE(e.spieler[2].nachname, QStringLiteral("Cord-Dahl"));
    }
};

REIZWERK_TEST(TstRosterFenster)
#include "tst_rosterfenster.moc"
