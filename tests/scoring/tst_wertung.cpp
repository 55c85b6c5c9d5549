#include "testumgebung.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QSqlTableModel>
#include <QStandardItemModel>
#include <QStatusBar>

#include "app/mainwindow.h"
#include "setup/teilnehmertabelle.h"
#include "storage/datenbank.h"
#include "ui_mainwindow.h"
#include "widgets/mysortfilterproxymodel.h"
#include "widgets/treeview.h"

using namespace Turnierbau;

namespace
{
// Types into a cell the way the view does: its delegate's editor on the
// view's index, committed through the delegate into the sorted model.
void editorEingabe(MainWindow& w, const TeilnehmerZelle& item, const QString& text)
{
    TreeView* view = w.teilnehmerAnsicht();
    const QModelIndex index = w.teilnehmerSortierung()->mapFromSource(item->index());
    QVERIFY(index.isValid());
    QVERIFY(index.flags() & Qt::ItemIsEditable);
    QAbstractItemDelegate* delegate = view->itemDelegate(index);
    QStyleOptionViewItem option;
    std::unique_ptr<QWidget> editor(delegate->createEditor(view->viewport(), option, index));
    QVERIFY(editor);
    delegate->setEditorData(editor.get(), index);
    if (auto* zeile = qobject_cast<QLineEdit*>(editor.get()))
        zeile->setText(text);
    else if (auto* auswahl = qobject_cast<QComboBox*>(editor.get()))
        auswahl->setCurrentText(text);
    else
        QFAIL("unexpected editor");
    delegate->setModelData(editor.get(), view->model(), index);
}

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
        // Sums and ranking from the stored series: TstOffenerSpieltag::speichern.
        QCOMPARE(t->summePunkteItem(z)->text(), QStringLiteral("38"));
        QCOMPARE(wert(haupt, QStringLiteral("SELECT Punkte || '|' || Name || '|' || Datum FROM Rangliste")).toString(),
            QStringLiteral("38|Vorname2 Nachname2|%1").arg(heute()));
        // Another edit the same day updates the same ranking row.
        t->punkteItem(z, 1)->setText(QStringLiteral("-2"));
        QCOMPARE(wert(haupt, QStringLiteral("SELECT COUNT(*) FROM Rangliste")).toInt(), 1);
        QCOMPARE(wert(haupt, QStringLiteral("SELECT Punkte FROM Rangliste")).toInt(), 26);
        // Text that is no number is refused: the cell shows the stored 5.
        t->punkteItem(z, 3)->setText(QStringLiteral("fuenf"));
        QCOMPARE(t->punkteItem(z, 3)->text(), QStringLiteral("5"));
        QCOMPARE(t->summePunkteItem(z)->text(), QStringLiteral("26"));
        QCOMPARE(wert(db, QStringLiteral("SELECT Punkte FROM Serie3 WHERE StartNr=101")).toInt(), 5);
        QCOMPARE(
            w->statusBar()->currentMessage(), QStringLiteral("FEHLER: fuenf ist keine Zahl; der alte Wert 5 bleibt"));
        {
            // One entry: a notice for the typed cell, then one for what the
            // match day stored in its row (cell and sums), and one store.
            QSignalSpy notizen(w->teilnehmer(), &QAbstractItemModel::dataChanged);
            QSignalSpy eingaben(w->teilnehmer(), &TeilnehmerModell::eingabe);
            t->punkteItem(z, 3)->setText(QStringLiteral("0"));
            QCOMPARE(eingaben.count(), 1);
            QCOMPARE(notizen.count(), 2);
            QCOMPARE(notizen.last().at(0).toModelIndex().row(), z);
            QCOMPARE(notizen.last().at(1).toModelIndex().column(), Spalte::summePunkte(3));
        }
        QCOMPARE(t->summePunkteItem(z)->text(), QStringLiteral("21"));
        QCOMPARE(t->punkteItem(z, 3)->data(Rolle::Gespeichert).toString(), QStringLiteral("0"));

        // Costs: stored with one decimal, the sum shown with one and stored in short form.
        t->kostenItem(z, 2)->setText(QStringLiteral("1"));
        t->kostenItem(z, 3)->setText(QStringLiteral("0.5"));
        t->kostenItem(z, 1)->setText(QStringLiteral("2.5"));
        QCOMPARE(wert(db, QStringLiteral("SELECT Kosten FROM Serie1 WHERE StartNr=101")).toDouble(), 2.5);
        QCOMPARE(t->summeKostenItem(z)->text(), QStringLiteral("4.0"));
        QCOMPARE(wert(db, QStringLiteral("SELECT SummeKosten FROM Teilnehmer WHERE StartNr=101")).toString(),
            QStringLiteral("4"));
        // More decimals are stored with one; cell and sum show what is stored.
        t->kostenItem(z, 1)->setText(QStringLiteral("2.25"));
        QCOMPARE(t->kostenItem(z, 1)->text(), QStringLiteral("2.3"));
        QCOMPARE(t->summeKostenItem(z)->text(), QStringLiteral("3.8"));

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
        QAction* korrektur = aktionBereit(*w, QStringLiteral("actKorrektur"));
        QVERIFY(korrektur);
        QVERIFY(ausloesen(*w, QStringLiteral("actKorrektur")));
        QVERIFY(korrektur->isChecked());
        QVERIFY(t->preisskatItem(frei)->isEditable());
        QVERIFY(t->punkteItem(frei, 2)->isEditable());
        QVERIFY(t->kostenItem(frei, 1)->isEditable());
        QVERIFY(t->tischItem(frei, 1)->isEditable());
        QVERIFY(!t->tischItem(gesetzt, 1)->isEditable());
        QVERIFY(t->summePunkteItem(frei)->isEditable());
        QVERIFY(!t->nrItem(frei)->isEditable());
        QVERIFY(!t->nameItem(frei)->isEditable());

        // A sum edited by hand is never stored, nor kept on screen.
        t->summePunkteItem(frei)->setText(QStringLiteral("999"));
        t->summeKostenItem(frei)->setText(QStringLiteral("99.9"));
        QCOMPARE(t->summePunkteItem(frei)->text(), QStringLiteral("0"));
        QCOMPARE(t->summeKostenItem(frei)->text(), QStringLiteral("0.0"));
        QCOMPARE(wert(db, QStringLiteral("SELECT SummePunkte FROM Teilnehmer WHERE StartNr=101")).toInt(), 0);
        QCOMPARE(wert(db, QStringLiteral("SELECT SummeKosten FROM Teilnehmer WHERE StartNr=101")).toInt(), 0);
        QCOMPARE(wert(w->registry().hauptDatenbank(), QStringLiteral("SELECT COUNT(*) FROM Rangliste")).toInt(), 0);
        t->punkteItem(frei, 1)->setText(QStringLiteral("12"));
        QCOMPARE(t->summePunkteItem(frei)->text(), QStringLiteral("12"));

        QVERIFY(ausloesen(*w, QStringLiteral("actKorrektur")));
        QVERIFY(!t->punkteItem(frei, 2)->isEditable());
        QVERIFY(!t->summePunkteItem(frei)->isEditable());
        // The seat cell opened for editing stays open; a seated one stays closed.
        QVERIFY(t->tischItem(frei, 1)->isEditable());
        QVERIFY(!t->tischItem(gesetzt, 1)->isEditable());

        // A failed store is shown, and the table shows what is stored.
        sql(db, QStringLiteral("DROP TABLE Serie2"));
        t->punkteItem(frei, 2)->setText(QStringLiteral("17"));
        QVERIFY(w->statusBar()->currentMessage().startsWith(QStringLiteral("FEHLER: ")));
        QCOMPARE(t->punkteItem(frei, 2)->text(), QStringLiteral("0"));
        QCOMPARE(t->summePunkteItem(frei)->text(), QStringLiteral("12"));
    }

    // What the organiser types into the table in correction mode, through
    // the editor the view opens, is stored exactly as shown, or refused.
    void eingabenUeberDenEditor()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(4, 2);
        QSqlDatabase haupt = w->registry().hauptDatenbank();
        TeilnehmerTabelle* t = w->tabelle();
        QVERIFY(ausloesen(*w, QStringLiteral("actKorrektur")));
        const int z = t->zeileVon(102);
        auto tippen = [&](const TeilnehmerZelle& item, const QString& text) { editorEingabe(*w, item, text); };
        auto gespeichert = [&](const QString& sql) { return wert(db, sql.arg(102)).toString(); };

        tippen(t->punkteItem(z, 1), QStringLiteral("12"));
        QCOMPARE(t->punkteItem(z, 1)->text(), QStringLiteral("12"));
        QCOMPARE(gespeichert(QStringLiteral("SELECT Punkte FROM Serie1 WHERE StartNr=%1")), QStringLiteral("12"));

        for (const QString& falsch : { QStringLiteral("6o"), QStringLiteral("nan"), QStringLiteral("inf"),
                 QStringLiteral("1.000"), QStringLiteral("Tisch") }) {
            tippen(t->punkteItem(z, 1), falsch);
            QCOMPARE(t->punkteItem(z, 1)->text(), QStringLiteral("12"));
            QCOMPARE(w->statusBar()->currentMessage(),
                QStringLiteral("FEHLER: %1 ist keine Zahl; der alte Wert 12 bleibt").arg(falsch));
        }
        tippen(t->punkteItem(z, 2), QStringLiteral("2147483647"));
        QCOMPARE(t->punkteItem(z, 2)->text(), QStringLiteral("0"));
        QVERIFY(w->statusBar()->currentMessage().contains(QStringLiteral("liegt nicht zwischen")));
        QCOMPARE(gespeichert(QStringLiteral("SELECT Punkte FROM Serie1 WHERE StartNr=%1")), QStringLiteral("12"));
        QCOMPARE(
            gespeichert(QStringLiteral("SELECT SummePunkte FROM Teilnehmer WHERE StartNr=%1")), QStringLiteral("12"));
        QCOMPARE(t->summePunkteItem(z)->text(), QStringLiteral("12"));
        QCOMPARE(wert(haupt, QStringLiteral("SELECT Punkte FROM Rangliste WHERE StartNr=102")).toInt(), 12);

        // Costs take a decimal comma and are shown as stored.
        tippen(t->kostenItem(z, 1), QStringLiteral("4,5"));
        QCOMPARE(t->kostenItem(z, 1)->text(), QStringLiteral("4.5"));
        QCOMPARE(wert(db, QStringLiteral("SELECT Kosten FROM Serie1 WHERE StartNr=102")).toDouble(), 4.5);
        QCOMPARE(t->summeKostenItem(z)->text(), QStringLiteral("4.5"));
        QCOMPARE(wert(db, QStringLiteral("SELECT SummeKosten FROM Teilnehmer WHERE StartNr=102")).toDouble(), 4.5);
        for (const QString& falsch : { QStringLiteral("nan"), QStringLiteral("inf"), QStringLiteral("1e308"),
                 QStringLiteral("-2"), QStringLiteral("10000,5"), QStringLiteral("vier") }) {
            tippen(t->kostenItem(z, 2), falsch);
            QCOMPARE(t->kostenItem(z, 2)->text(), QStringLiteral("0.0"));
            QVERIFY2(w->statusBar()->currentMessage().startsWith(QStringLiteral("FEHLER: ")),
                qPrintable(w->statusBar()->currentMessage()));
        }
        QCOMPARE(wert(db, QStringLiteral("SELECT Kosten FROM Serie2 WHERE StartNr=102")).toDouble(), 0.0);
        QCOMPARE(t->summeKostenItem(z)->text(), QStringLiteral("4.5"));

        // A table number typed for an unseated player must be one.
        tippen(t->tischItem(z, 2), QStringLiteral("x"));
        QCOMPARE(t->tischItem(z, 2)->text(), QStringLiteral("0"));
        tippen(t->tischItem(z, 2), QStringLiteral("3"));
        QCOMPARE(wert(db, QStringLiteral("SELECT Tisch FROM Serie2 WHERE StartNr=102")).toInt(), 3);

        // After a restart the table shows the same values.
        w.neuStarten();
        t = w->tabelle();
        const int z2 = t->zeileVon(102);
        QCOMPARE(t->punkteItem(z2, 1)->text(), QStringLiteral("12"));
        QCOMPARE(t->kostenItem(z2, 1)->text(), QStringLiteral("4.5"));
        QCOMPARE(t->summeKostenItem(z2)->text(), QStringLiteral("4.5"));

        // Clearing a cell stores 0 and shows it as a reopened table would.
        QVERIFY(ausloesen(*w, QStringLiteral("actKorrektur")));
        editorEingabe(*w, t->punkteItem(z2, 1), QString());
        QCOMPARE(t->punkteItem(z2, 1)->text(), QStringLiteral("0"));
        editorEingabe(*w, t->kostenItem(z2, 1), QStringLiteral(" "));
        QCOMPARE(t->kostenItem(z2, 1)->text(), QStringLiteral("0.0"));
        QVERIFY2(!w->statusBar()->currentMessage().startsWith(QStringLiteral("FEHLER")),
            qPrintable(w->statusBar()->currentMessage()));
        db = w->registry().datenbank(w->form()->cmbTeilnehmerGruppe->currentText());
        QCOMPARE(wert(db, QStringLiteral("SELECT Punkte FROM Serie1 WHERE StartNr=102")).toInt(), 0);
        QCOMPARE(wert(db, QStringLiteral("SELECT Kosten FROM Serie1 WHERE StartNr=102")).toDouble(), 0.0);
        QCOMPARE(wert(db, QStringLiteral("SELECT SummePunkte FROM Teilnehmer WHERE StartNr=102")).toInt(), 0);
        QCOMPARE(t->summeKostenItem(z2)->text(), QStringLiteral("0.0"));
        w.neuStarten();
        t = w->tabelle();
        QCOMPARE(t->punkteItem(t->zeileVon(102), 1)->text(), QStringLiteral("0"));
        QCOMPARE(t->kostenItem(t->zeileVon(102), 1)->text(), QStringLiteral("0.0"));
    }

    // A refused entry leaves the cells showing what is stored, and the
    // status bar says why. What the store refuses, and that it keeps nothing
    // of such an entry (the ranking included), is checked without a window
    // in TstOffenerSpieltag::abgelehnt.
    void fehlgeschlagenerEintragBleibtGanzAus()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(4, 2);
        QSqlDatabase haupt = w->registry().hauptDatenbank();
        TeilnehmerTabelle* t = w->tabelle();
        const int z = t->zeileVon(101);
        t->punkteItem(z, 2)->setText(QStringLiteral("10"));

        sql(db,
            QStringLiteral("CREATE TRIGGER sperre BEFORE UPDATE ON Serie1 BEGIN "
                           "SELECT RAISE(ABORT, 'Serie gesperrt'); END"));
        t->punkteItem(z, 1)->setText(QStringLiteral("33"));
        QCOMPARE(t->punkteItem(z, 1)->text(), QStringLiteral("0"));
        QCOMPARE(t->summePunkteItem(z)->text(), QStringLiteral("10"));
        QVERIFY(w->statusBar()->currentMessage().contains(QStringLiteral("Serie gesperrt")));
        t->kostenItem(z, 1)->setText(QStringLiteral("2,5"));
        QCOMPARE(t->kostenItem(z, 1)->text(), QStringLiteral("0.0"));
        QCOMPARE(t->summeKostenItem(z)->text(), QStringLiteral("0.0"));
        sql(db, QStringLiteral("DROP TRIGGER sperre"));

        // The prize-skat cell, too, shows what is stored.
        sql(db,
            QStringLiteral("CREATE TRIGGER sperre BEFORE UPDATE ON Teilnehmer BEGIN "
                           "SELECT RAISE(ABORT, 'gesperrt'); END"));
        t->preisskatItem(z)->setText(QStringLiteral("Ja"));
        QCOMPARE(t->preisskatItem(z)->text(), QStringLiteral("Nein"));
        QCOMPARE(wert(haupt, QStringLiteral("SELECT Preisskat FROM Spieler WHERE StartNr=101")).toString(),
            QStringLiteral("Nein"));
    }

    // Inside a caller's transaction the store waits for its commit (checked
    // without a window in TstOffenerSpieltag::aeussereTransaktion); rolled
    // back, the table shows the stored values again.
    void rangNachDemAbschlussDerGruppe()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(4, 2);
        TeilnehmerTabelle* t = w->tabelle();
        const int a = t->zeileVon(100);
        const int b = t->zeileVon(101);
        t->punkteItem(a, 1)->setText(QStringLiteral("30"));
        {
            Db::Transaktion gruppe(db);
            t->punkteItem(a, 1)->setText(QStringLiteral("98"));
            t->kostenItem(b, 2)->setText(QStringLiteral("1,5"));
            QCOMPARE(t->punkteItem(a, 1)->text(), QStringLiteral("98"));
            // never committed
        }
        QCOMPARE(t->punkteItem(a, 1)->text(), QStringLiteral("30"));
        QCOMPARE(t->summePunkteItem(a)->text(), QStringLiteral("30"));
        QCOMPARE(t->kostenItem(b, 2)->text(), QStringLiteral("0.0"));
        QCOMPARE(t->summeKostenItem(b)->text(), QStringLiteral("0.0"));
    }

    void ohneGruppeBleibtEsInDerTabelle()
    {
        Fenster w;
        spielerAnlegen(*w, 3);
        QVERIFY(neuesTurnier(*w, w.d, 2));
        teilnehmerWaehlen(*w);
        // Not confirmed: no group database yet, so nothing can be entered.
        w->tabelle()->punkteItem(0, 1)->setText(QStringLiteral("40"));
        QCOMPARE(w->tabelle()->punkteItem(0, 1)->text(), QStringLiteral("0"));
        QVERIFY(w->statusBar()->currentMessage().startsWith(QStringLiteral("FEHLER: ")));
        QCOMPARE(w->tabelle()->summePunkteItem(0)->text(), QStringLiteral("0"));
        QCOMPARE(wert(w->registry().hauptDatenbank(), QStringLiteral("SELECT COUNT(*) FROM Rangliste")).toInt(), 0);
    }

    // Before the list is confirmed the prize-skat flag of a new participant
    // can be changed, and the group is stored with it.
    void preisskatVorDemBestaetigen()
    {
        Fenster w;
        spielerAnlegen(*w, 3);
        QVERIFY(neuesTurnier(*w, w.d, 2));
        teilnehmerWaehlen(*w);
        TeilnehmerTabelle* t = w->tabelle();
        const int z = t->zeileVon(101);
        QVERIFY(t->preisskatItem(z)->isEditable());
        QVERIFY(!t->punkteItem(z, 1)->isEditable());
        editorEingabe(*w, t->preisskatItem(z), QStringLiteral("Ja"));
        QCOMPARE(t->preisskatItem(z)->text(), QStringLiteral("Ja"));
        teilnehmerBestaetigen(*w, w.d);
        QSqlDatabase db = w->registry().datenbank(QStringLiteral("Alle"));
        QCOMPARE(wert(db, QStringLiteral("SELECT Preisskat FROM Teilnehmer WHERE StartNr=101")).toInt(), 1);
        QCOMPARE(wert(db, QStringLiteral("SELECT Preisskat FROM Teilnehmer WHERE StartNr=100")).toInt(), 0);
        QCOMPARE(t->preisskatItem(t->zeileVon(101))->text(), QStringLiteral("Ja"));
        QVERIFY(!t->preisskatItem(t->zeileVon(101))->isEditable());
    }
};

REIZWERK_TEST(TstWertung)
#include "tst_wertung.moc"
