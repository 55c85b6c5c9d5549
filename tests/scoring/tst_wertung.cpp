#include "testumgebung.h"

#include <QAction>
#include <QSqlQuery>
#include <QSqlTableModel>
#include <QStandardItemModel>
#include <QStatusBar>

#include "app/mainwindow.h"
#include "setup/teilnehmertabelle.h"
#include "ui_mainwindow.h"

using namespace Turnierbau;

namespace
{
QString heute()
{
    return QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
}
} // namespace

class TstWertung : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void punkteUndSummen()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(4, 3);
        QSqlDatabase haupt = w->registry().hauptDatenbank();
        TeilnehmerTabelle* t = w->tabelle();
        const int z = t->zeileVon(101);
        t->punkteItem(z, 1)->setText(QStringLiteral("10"));
        t->punkteItem(z, 3)->setText(QStringLiteral("5"));
        t->punkteItem(z, 2)->setText(QStringLiteral("23"));
        QCOMPARE(wert(db, QStringLiteral("SELECT Punkte FROM Serie2 WHERE StartNr=101")).toInt(), 23);
        QCOMPARE(t->summePunkteItem(z)->text(), QStringLiteral("38"));
        QCOMPARE(wert(db, QStringLiteral("SELECT SummePunkte FROM Teilnehmer WHERE StartNr=101")).toInt(), 38);
        QCOMPARE(wert(haupt, QStringLiteral("SELECT COUNT(*) FROM Rangliste")).toInt(), 1);
        QCOMPARE(wert(haupt, QStringLiteral("SELECT Punkte || '|' || Name || '|' || Datum FROM Rangliste")).toString(),
            QStringLiteral("38|Vorname2 Nachname2|%1").arg(heute()));
        // Another edit the same day updates the same ranking row.
        t->punkteItem(z, 1)->setText(QStringLiteral("-2"));
        QCOMPARE(wert(haupt, QStringLiteral("SELECT COUNT(*) FROM Rangliste")).toInt(), 1);
        QCOMPARE(wert(haupt, QStringLiteral("SELECT Punkte FROM Rangliste")).toInt(), 26);
        // Text that is no number counts 0.
        t->punkteItem(z, 3)->setText(QStringLiteral("fuenf"));
        QCOMPARE(t->summePunkteItem(z)->text(), QStringLiteral("21"));
        QCOMPARE(wert(db, QStringLiteral("SELECT Punkte FROM Serie3 WHERE StartNr=101")).toInt(), 0);

        // Costs: stored with one decimal, the sum shown with one and stored in short form.
        t->kostenItem(z, 2)->setText(QStringLiteral("1"));
        t->kostenItem(z, 3)->setText(QStringLiteral("0.5"));
        t->kostenItem(z, 1)->setText(QStringLiteral("2.5"));
        QCOMPARE(wert(db, QStringLiteral("SELECT Kosten FROM Serie1 WHERE StartNr=101")).toDouble(), 2.5);
        QCOMPARE(t->summeKostenItem(z)->text(), QStringLiteral("4.0"));
        QCOMPARE(wert(db, QStringLiteral("SELECT SummeKosten FROM Teilnehmer WHERE StartNr=101")).toString(),
            QStringLiteral("4"));
        t->kostenItem(z, 1)->setText(QStringLiteral("2.25"));
        QCOMPARE(wert(db, QStringLiteral("SELECT Kosten FROM Serie1 WHERE StartNr=101")).toDouble(), 2.3);
        QCOMPARE(wert(db, QStringLiteral("SELECT SummeKosten FROM Teilnehmer WHERE StartNr=101")).toDouble(), 3.75);

        // Table numbers are stored, and neither touch the ranking.
        t->tischItem(z, 2)->setText(QStringLiteral("7"));
        QCOMPARE(wert(db, QStringLiteral("SELECT Tisch FROM Serie2 WHERE StartNr=101")).toInt(), 7);
        QCOMPARE(wert(haupt, QStringLiteral("SELECT Punkte FROM Rangliste")).toInt(), 21);
        QCOMPARE(wert(haupt, QStringLiteral("SELECT COUNT(*) FROM Rangliste")).toInt(), 1);
        // The other participants are untouched.
        QCOMPARE(wert(db, QStringLiteral("SELECT SUM(Punkte) FROM Serie2 WHERE StartNr<>101")).toInt(), 0);

        // The prize-skat flag goes back into the roster, both ways.
        const QString preisskat = QStringLiteral("SELECT Preisskat FROM %1 WHERE StartNr=102");
        t->preisskatItem(t->zeileVon(102))->setText(QStringLiteral("Ja"));
        QCOMPARE(wert(db, preisskat.arg(QStringLiteral("Teilnehmer"))).toInt(), 1);
        QCOMPARE(wert(haupt, preisskat.arg(QStringLiteral("Spieler"))).toString(), QStringLiteral("Ja"));
        t->preisskatItem(t->zeileVon(102))->setText(QStringLiteral("Nein"));
        QCOMPARE(wert(db, preisskat.arg(QStringLiteral("Teilnehmer"))).toInt(), 0);
        QCOMPARE(wert(haupt, preisskat.arg(QStringLiteral("Spieler"))).toString(), QStringLiteral("Nein"));
        QCOMPARE(wert(haupt, QStringLiteral("SELECT COUNT(*) FROM Rangliste")).toInt(), 1);
    }

    void korrekturModus()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(4, 2);
        TeilnehmerTabelle* t = w->tabelle();
        const int gesetzt = t->zeileVon(100);
        const int frei = t->zeileVon(101);
        t->tischItem(gesetzt, 1)->setText(QStringLiteral("1"));
        QAction* korrektur = w->aktion(QStringLiteral("actKorrektur"));
        korrektur->trigger();
        QVERIFY(korrektur->isChecked());
        QVERIFY(t->preisskatItem(frei)->isEditable());
        QVERIFY(t->punkteItem(frei, 2)->isEditable());
        QVERIFY(t->kostenItem(frei, 1)->isEditable());
        QVERIFY(t->tischItem(frei, 1)->isEditable());
        QVERIFY(!t->tischItem(gesetzt, 1)->isEditable());
        QVERIFY(t->summePunkteItem(frei)->isEditable());
        QVERIFY(!t->nrItem(frei)->isEditable());
        QVERIFY(!t->nameItem(frei)->isEditable());

        // A sum edited by hand is only shown, never stored.
        t->summePunkteItem(frei)->setText(QStringLiteral("999"));
        t->summeKostenItem(frei)->setText(QStringLiteral("99.9"));
        QCOMPARE(wert(db, QStringLiteral("SELECT SummePunkte FROM Teilnehmer WHERE StartNr=101")).toInt(), 0);
        QCOMPARE(wert(db, QStringLiteral("SELECT SummeKosten FROM Teilnehmer WHERE StartNr=101")).toInt(), 0);
        QCOMPARE(wert(w->registry().hauptDatenbank(), QStringLiteral("SELECT COUNT(*) FROM Rangliste")).toInt(), 0);
        t->punkteItem(frei, 1)->setText(QStringLiteral("12"));
        QCOMPARE(t->summePunkteItem(frei)->text(), QStringLiteral("12"));

        korrektur->trigger();
        QVERIFY(!t->punkteItem(frei, 2)->isEditable());
        QVERIFY(!t->summePunkteItem(frei)->isEditable());
        // The seat cell opened for editing stays open; a seated one stays closed.
        QVERIFY(t->tischItem(frei, 1)->isEditable());
        QVERIFY(!t->tischItem(gesetzt, 1)->isEditable());

        // A failed store is shown, and the table keeps what was typed.
        sql(db, QStringLiteral("DROP TABLE Serie2"));
        t->punkteItem(frei, 2)->setText(QStringLiteral("17"));
        QVERIFY(w->statusBar()->currentMessage().startsWith(QStringLiteral("FEHLER: ")));
        QCOMPARE(t->punkteItem(frei, 2)->text(), QStringLiteral("17"));
    }

    void ohneGruppeBleibtEsInDerTabelle()
    {
        Fenster w;
        spielerAnlegen(*w, 3);
        QVERIFY(neuesTurnier(*w, w.d, 2));
        teilnehmerWaehlen(*w);
        // Not confirmed: no group database yet.
        w->tabelle()->punkteItem(0, 1)->setText(QStringLiteral("40"));
        QCOMPARE(w->tabelle()->summePunkteItem(0)->text(), QStringLiteral("0"));
        QCOMPARE(wert(w->registry().hauptDatenbank(), QStringLiteral("SELECT COUNT(*) FROM Rangliste")).toInt(), 0);
    }
};

REIZWERK_TEST(TstWertung)
#include "tst_wertung.moc"
