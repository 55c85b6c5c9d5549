#include "testumgebung.h"

#include <QCalendarWidget>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPushButton>
#include <QSqlQuery>
#include <QStatusBar>

#include "auslosen.h"
#include "setup/teilnehmertabelle.h"
#include "widgets/treeview.h"

using Turnierbau::sql;

namespace
{

// What the results table shows: start number -> (table text, seat role).
Sitze angezeigt(MainWindow& w, int serie)
{
    Sitze s;
    TeilnehmerTabelle* t = w.tabelle();
    for (int z = 0; z < t->zeilen(); ++z)
        s.insert(t->startNr(z),
            { t->tischItem(z, serie)->text().toInt(), t->tischItem(z, serie)->data(Rolle::Sitz).toInt() });
    return s;
}

// Seats per table, sorted.
QMap<int, QList<int>> proTisch(const Sitze& sitze)
{
    QMap<int, QList<int>> tische;
    for (auto it = sitze.cbegin(); it != sitze.cend(); ++it)
        tische[it->first] << it->second;
    for (auto& plaetze : tische)
        std::sort(plaetze.begin(), plaetze.end());
    return tische;
}

// n participants, none of them at a table.
QMap<int, QList<int>> ungesetzt(int n)
{
    QMap<int, QList<int>> tische;
    for (int i = 0; i < n; ++i)
        tische[0] << 0;
    return tische;
}

// Everything a widget was asked to paint.
struct Gemalt : QObject {
    QRegion region;
    explicit Gemalt(QWidget* w) { w->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            region += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
};

QString gruppe(MainWindow& w)
{
    return w.form()->cmbTeilnehmerGruppe->currentText();
}

} // namespace

class TstAuslosungFenster : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void siebenSpielerZweiTische()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(7, 2);
        QVERIFY(db.isOpen());

        // A failed store: a message, nothing of the draw stored, the table
        // shows what it showed, and no transaction is left open.
        sql(db,
            QStringLiteral("CREATE TRIGGER sperre BEFORE UPDATE ON Serie1 WHEN NEW.StartNr=104 "
                           "BEGIN SELECT RAISE(ABORT, 'gesperrt'); END"));
        QVERIFY(auslosen(*w, 1));
        QVERIFY(w->statusBar()->currentMessage().startsWith(QStringLiteral("FEHLER: ")));
        QVERIFY(w->statusBar()->currentMessage().contains(QStringLiteral("gesperrt")));
        QCOMPARE(proTisch(sitzeVon(db, 1)), ungesetzt(7));
        QCOMPARE(proTisch(angezeigt(*w, 1)), ungesetzt(7));
        sql(db, QStringLiteral("DROP TRIGGER sperre"));

        w->teilnehmerAnsicht()->sortByColumn(Spalte::tisch(1), Qt::AscendingOrder);
        QVERIFY(auslosen(*w, 1));
        const Sitze s = sitzeVon(db, 1);
        QCOMPARE(s.size(), 7);
        const QMap<int, QList<int>> tische = proTisch(s);
        QCOMPARE(tische.keys(), (QList<int> { 1, 2 }));
        QCOMPARE(tische.value(1), (QList<int> { 1, 2, 3, 4 }));
        QCOMPARE(tische.value(2), (QList<int> { 1, 2, 3 }));
        QCOMPARE(angezeigt(*w, 1), s);
        QCOMPARE(w->form()->leTischaufteilung->text(), QStringLiteral("7 Spieler - 4er 1 - 3er 1"));
        // The view still sorts by table and seat after the draw.
        QAbstractItemModel* sicht = w->teilnehmerAnsicht()->model();
        QCOMPARE(s.value(sicht->index(0, 0).data(Rolle::StartNr).toInt()), qMakePair(1, 1));
        QCOMPARE(s.value(sicht->index(6, 0).data(Rolle::StartNr).toInt()), qMakePair(2, 3));
        // The other series stays undrawn.
        QCOMPARE(proTisch(sitzeVon(db, 2)).keys(), QList<int> { 0 });
        QVERIFY(w.d.unerwartet.isEmpty());

        // A table number outside the layout is not entered into the seat plan.
        w->tabelle()->tischItem(w->tabelle()->zeileVon(100), 2)->setText(QStringLiteral("6"));
        w->tabelle()->tischItem(w->tabelle()->zeileVon(101), 2)->setText(QStringLiteral("2"));
        w->tischaufteilungBerechnen(2);
        w->sitzplanAufbauen(2);
        const Sitzplan plan = w->sitzplanVon(gruppe(*w));
        QCOMPARE(plan.keys(), (QList<int> { 1, 2 }));
        QCOMPARE(plan.value(2).at(0).startNr, 101);
        for (const QVector<Sitz>& tisch : plan)
            for (const Sitz& sitz : tisch)
                QVERIFY(sitz.startNr != 100);
    }

    // How many tables for how many players, numbered from the first table,
    // and the empty seat of five players: TstTischverteilung. Too few for a
    // table: nobody is seated, and the status bar says so.
    void tischeNachSpielerzahl()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(2, 1);
        QVERIFY(auslosen(*w, 1));
        QCOMPARE(proTisch(sitzeVon(db, 1)), ungesetzt(2));
        QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("2 Teilnehmer ohne Platz"));
        QVERIFY(w->layoutVon(gruppe(*w)).isEmpty());
    }

    void rangVorserie()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(4, 1);
        sql(db, QStringLiteral("UPDATE Teilnehmer SET SummePunkte=120 WHERE StartNr IN (100, 102)"));
        sql(db, QStringLiteral("UPDATE Teilnehmer SET SummePunkte=80 WHERE StartNr=101"));
        // Without a Teilnehmer record there is no standing to seat by.
        sql(db, QStringLiteral("DELETE FROM Teilnehmer WHERE StartNr=103"));
        QVERIFY(auslosen(*w, 1, "rbRang"));
        const Sitze s = sitzeVon(db, 1);
        QCOMPARE(s.value(100), qMakePair(1, 1));
        QCOMPARE(s.value(102), qMakePair(1, 2));
        QCOMPARE(s.value(101), qMakePair(1, 3));
        QCOMPARE(s.value(103), qMakePair(0, 0));
        QCOMPARE(angezeigt(*w, 1), s);
    }

    void letzterSpieltag()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(6, 1);
        QSqlDatabase haupt = w->registry().hauptDatenbank();
        for (auto [nr, punkte] : { std::pair { 100, 50 }, { 102, -10 }, { 104, 30 }, { 105, -5 } })
            sql(haupt, QStringLiteral("INSERT INTO Rangliste VALUES (%1, 'x', '2024-03-08', %2)").arg(nr).arg(punkte));
        sql(haupt, QStringLiteral("INSERT INTO Rangliste VALUES (101, 'x', '2024-03-01', 999)"));
        QVERIFY(auslosen(*w, 1, "rbSpieltag", [](QWidget* dlg) {
            dlg->findChild<QCalendarWidget*>(QStringLiteral("calendarWidget"))->setSelectedDate(QDate(2024, 3, 8));
        }));
        // Only the chosen day counts: 101's points of another day do not;
        // he sits with those at 0 (the order itself: TstAuslosung).
        const Sitze s = sitzeVon(db, 1);
        QCOMPARE(s.value(100), qMakePair(1, 1));
        QCOMPARE(s.value(101), qMakePair(1, 3));
        QCOMPARE(s.value(102), qMakePair(2, 3));
    }

    void neuAuslosenSetztNurOhneTisch()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(7, 1);
        // Seats in reverse row order, so seat order and row order differ.
        sql(db, QStringLiteral("UPDATE Teilnehmer SET SummePunkte=StartNr"));
        QVERIFY(auslosen(*w, 1, "rbRang"));
        const Sitze vorher = sitzeVon(db, 1);
        QCOMPARE(vorher.value(105), qMakePair(1, 2));
        QCOMPARE(vorher.value(100), qMakePair(2, 3));

        // 105 loses his seat; a re-draw seats him alone, into the free
        // seat, and nobody else moves.
        const TeilnehmerZelle zelle = w->tabelle()->tischItem(w->tabelle()->zeileVon(105), 1);
        zelle->setData(0, Rolle::Sitz);
        zelle->setText(QStringLiteral("0"));
        sql(db, QStringLiteral("UPDATE Serie1 SET Tisch=0, TischIntern=0 WHERE StartNr=105"));
        QVERIFY(auslosen(*w, 1));
        QCOMPARE(sitzeVon(db, 1), vorher);
        QCOMPARE(angezeigt(*w, 1), vorher);
    }

    void inaktivUndZuruecksetzen()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(8, 2);
        sql(db, QStringLiteral("UPDATE Serie2 SET Aktiv=0 WHERE StartNr=101"));
        QVERIFY(auslosen(*w, 1));
        QVERIFY(auslosen(*w, 2));
        const TeilnehmerZelle zelle = w->tabelle()->tischItem(w->tabelle()->zeileVon(101), 2);
        QCOMPARE(zelle->text(), QStringLiteral("-1"));
        QCOMPARE(zelle->background().color(), QColor(Qt::red));
        QCOMPARE(zelle->background().style(), Qt::SolidPattern);
        QCOMPARE(w->form()->leTischaufteilung->text(), QStringLiteral("7 Spieler - 4er 1 - 3er 1"));
        const Sitze serie1 = sitzeVon(db, 1);
        const Sitze serie2 = sitzeVon(db, 2);
        Sitze ohne101 = serie2;
        QCOMPARE(ohne101.take(101).second, 0);
        QCOMPARE(proTisch(ohne101).value(1), (QList<int> { 1, 2, 3, 4 }));
        QCOMPARE(proTisch(ohne101).value(2), (QList<int> { 1, 2, 3 }));
        // Counting without a series counts every row, inactive or not.
        w->tischaufteilungBerechnen(0);
        QCOMPARE(w->form()->leTischaufteilung->text(), QStringLiteral("8 Spieler - 4er 2 - 3er 0"));

        // No series header clicked: no question, nothing changes.
        w.d.fragen.clear();
        QVERIFY(QMetaObject::invokeMethod(w.get(), "onAuslosungZuruecksetzen"));
        QVERIFY(w.d.fragen.isEmpty());
        QCOMPARE(sitzeVon(db, 2), serie2);

        emit w->teilnehmerAnsicht()->header()->sectionPressed(Spalte::tisch(2));
        QCOMPARE(w->serieGewaehlt(), 2);
        w.d.antworte(false);
        w->form()->pbAuslosungZuruecksetzen->click();
        QCOMPARE(w.d.fragen, QStringList { QStringLiteral("Auslosung von Serie 2 zuruecksetzen?") });
        QCOMPARE(sitzeVon(db, 2), serie2);

        w.d.antworte(true);
        w->form()->pbAuslosungZuruecksetzen->click();
        QCOMPARE(w.d.fragen.size(), 2);
        QCOMPARE(proTisch(sitzeVon(db, 2)), ungesetzt(8));
        QCOMPARE(proTisch(angezeigt(*w, 2)), ungesetzt(8));
        QCOMPARE(zelle->background().style(), Qt::NoBrush);
        QCOMPARE(sitzeVon(db, 1), serie1);

        // The next draw seats the series anew and marks 101 again.
        QVERIFY(auslosen(*w, 2));
        QCOMPARE(zelle->text(), QStringLiteral("-1"));
        QCOMPARE(proTisch(sitzeVon(db, 2)).value(2), (QList<int> { 1, 2, 3 }));

        // Active again: the next distribution takes the red mark away.
        sql(db, QStringLiteral("UPDATE Serie2 SET Aktiv=1 WHERE StartNr=101"));
        w->tischaufteilungBerechnen(2);
        w->sitzplanAufbauen(2);
        QCOMPARE(zelle->background().style(), Qt::NoBrush);
    }

    void gelosteSpalteNeuGemalt()
    {
        // A draw changes one column: the table repaints that column where it
        // is in sight, and the kept columns beside it, which do not show it,
        // nothing.
        Fenster w;
        w.gruppe(60, 2);
        w->resize(1400, 900);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(&*w));
        auto* tabelle = w->findChild<TreeView*>(QStringLiteral("teilnehmerView"));
        auto* fest = w->findChild<TreeView*>(QStringLiteral("teilnehmerFest"));
        QVERIFY(tabelle && fest);
        const int spalte = Spalte::tisch(1);
        QVERIFY(fest->isColumnHidden(spalte));
        tabelle->scrollTo(tabelle->model()->index(0, spalte));
        QTest::qWait(50);
        // Drawn once and reset, the column is as wide as the tables' numbers
        // make it: the draw measured is no reason to move any other column.
        w->auslosenZufall(1);
        QVector<Zuweisung> leer;
        for (int z = 0; z < w->tabelle()->zeilen(); ++z)
            leer << Zuweisung { 0, 0, w->tabelle()->startNr(z) };
        QVERIFY(w->tischeSpeichern(1, leer, true));
        QTest::qWait(50);
        QCOMPARE(proTisch(angezeigt(*w, 1)), ungesetzt(60));
        const QRect streifen = QRect(
            tabelle->columnViewportPosition(spalte), 0, tabelle->columnWidth(spalte), tabelle->viewport()->height())
                                   .intersected(tabelle->viewport()->rect());
        QVERIFY(!streifen.isEmpty());
        {
            // Until the window's own layout and paints have settled.
            Gemalt ruhe(tabelle->viewport());
            for (int i = 0; i < 50; ++i) {
                ruhe.region = QRegion();
                QTest::qWait(100);
                if (ruhe.region.isEmpty())
                    break;
            }
        }
        Gemalt inTabelle(tabelle->viewport());
        Gemalt inFest(fest->viewport());
        w->auslosenZufall(1);
        QTest::qWait(50);
        QVERIFY(!proTisch(angezeigt(*w, 1)).contains(0));
        QCOMPARE(inTabelle.region.intersected(streifen), QRegion(streifen));
        QVERIFY2(inTabelle.region.subtracted(streifen).isEmpty(), "cells outside the drawn column were repainted");
        QVERIFY(inFest.region.isEmpty());
    }

    void tausendSpieler()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(1000, 1);
        QElapsedTimer uhr;
        uhr.start();
        QVERIFY(auslosen(*w, 1));
        const qint64 ms = uhr.elapsed();
        qInfo("Auslosung von 1000 Teilnehmern: %lld ms", ms);
        // Well under a second when stored in one go; work per cell that
        // grows with the table (or a commit per row) takes over a minute.
        QVERIFY2(ms < 20000, qPrintable(QString::number(ms)));
        const Sitze s = sitzeVon(db, 1);
        QCOMPARE(s.size(), 1000);
        const QMap<int, QList<int>> tische = proTisch(s);
        QCOMPARE(tische.size(), 250);
        QCOMPARE(tische.firstKey(), 1);
        QCOMPARE(tische.lastKey(), 250);
        for (const QList<int>& plaetze : tische)
            QCOMPARE(plaetze, (QList<int> { 1, 2, 3, 4 }));
        QCOMPARE(angezeigt(*w, 1), s);
    }
};

REIZWERK_TEST(TstAuslosungFenster)
#include "tst_auslosungfenster.moc"
