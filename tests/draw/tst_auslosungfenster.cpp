#include "testumgebung.h"

#include <QAbstractButton>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QStatusBar>

#include "app/mainwindow.h"
#include "setup/teilnehmertabelle.h"
#include "ui_mainwindow.h"
#include "widgets/treeview.h"

namespace
{

using Sitze = QMap<int, QPair<int, int>>; // start number -> (table, seat)

Sitze gespeichert(QSqlDatabase db, int serie)
{
    Sitze s;
    QSqlQuery q(db);
    q.exec(QStringLiteral("SELECT StartNr, Tisch, TischIntern FROM Serie%1").arg(serie));
    while (q.next())
        s.insert(q.value(0).toInt(), { q.value(1).toInt(), q.value(2).toInt() });
    return s;
}

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

// Runs a draw through the dialog: choose series and mode, then OK.
bool auslosen(MainWindow& w, int serie, const char* modus = "rbZufall", std::function<void(QDialog*)> weiter = {})
{
    const QByteArray rb(modus);
    auto gezeigt = beimNaechstenDialog("DlgAuslosung", [serie, rb, weiter](QWidget* dlg) {
        dlg->findChild<QComboBox*>(QStringLiteral("comboBox"))->setCurrentIndex(serie - 1);
        dlg->findChild<QRadioButton*>(QString::fromLatin1(rb))->click();
        if (weiter)
            weiter(static_cast<QDialog*>(dlg));
        dlg->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Ok)->click();
    });
    w.form()->pbAuslosen->click();
    return *gezeigt;
}

void sql(QSqlDatabase db, const QString& text)
{
    QSqlQuery q(db);
    QVERIFY2(q.exec(text), qPrintable(text));
}

} // namespace

class TstAuslosungFenster : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void siebenSpielerZweiTische()
    {
        auto w = fensterStarten();
        {
            SkriptDialoge d;
            QSqlDatabase db = Turnierbau::gruppeMitSpielern(*w, d, 7, 2);
            QVERIFY(db.isOpen());
            w->teilnehmerAnsicht()->sortByColumn(Spalte::tisch(1), Qt::AscendingOrder);
            QVERIFY(auslosen(*w, 1));
            const Sitze s = gespeichert(db, 1);
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
            QCOMPARE(proTisch(gespeichert(db, 2)).keys(), QList<int> { 0 });
            QVERIFY(d.unerwartet.isEmpty());
        }
        fensterBeenden(w);
    }

    void fuenfSpielerLetzterPlatzBleibtLeer()
    {
        auto w = fensterStarten();
        {
            SkriptDialoge d;
            QSqlDatabase db = Turnierbau::gruppeMitSpielern(*w, d, 5, 1);
            QVERIFY(auslosen(*w, 1));
            const QMap<int, QList<int>> tische = proTisch(gespeichert(db, 1));
            QCOMPARE(tische.value(1), (QList<int> { 1, 2, 3 }));
            QCOMPARE(tische.value(2), (QList<int> { 1, 2 }));
            QCOMPARE(tische.keys(), (QList<int> { 1, 2 }));
            const Sitzplan plan = w->sitzplanVon(w->form()->cmbTeilnehmerGruppe->currentText());
            QCOMPARE(plan.value(2).size(), 3);
            QCOMPARE(plan.value(2).at(2).startNr, 0);
        }
        fensterBeenden(w);
    }

    void zuWenigeSpieler()
    {
        auto w = fensterStarten();
        {
            SkriptDialoge d;
            QSqlDatabase db = Turnierbau::gruppeMitSpielern(*w, d, 2, 1);
            QVERIFY(auslosen(*w, 1));
            QVERIFY(w->layoutVon(w->form()->cmbTeilnehmerGruppe->currentText()).isEmpty());
            QCOMPARE(proTisch(gespeichert(db, 1)), ungesetzt(2));
            QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("2 Teilnehmer ohne Platz"));
        }
        fensterBeenden(w);
    }

    void ersterTischDreiBeiElfSpielern()
    {
        auto w = fensterStarten();
        {
            SkriptDialoge d;
            QSqlDatabase db = Turnierbau::gruppeMitSpielern(*w, d, 11, 1, 3);
            QVERIFY(auslosen(*w, 1));
            const QMap<int, int> layout = w->layoutVon(w->form()->cmbTeilnehmerGruppe->currentText());
            QCOMPARE(layout.keys(), (QList<int> { 3, 4, 5 }));
            QCOMPARE(layout.values(), (QList<int> { 4, 4, 3 }));
            const QMap<int, QList<int>> tische = proTisch(gespeichert(db, 1));
            QCOMPARE(tische.value(3), (QList<int> { 1, 2, 3, 4 }));
            QCOMPARE(tische.value(4), (QList<int> { 1, 2, 3, 4 }));
            QCOMPARE(tische.value(5), (QList<int> { 1, 2, 3 }));
        }
        fensterBeenden(w);
    }

    void rangVorserie()
    {
        auto w = fensterStarten();
        {
            SkriptDialoge d;
            QSqlDatabase db = Turnierbau::gruppeMitSpielern(*w, d, 4, 1);
            sql(db, QStringLiteral("UPDATE Teilnehmer SET SummePunkte=120 WHERE StartNr IN (100, 102)"));
            sql(db, QStringLiteral("UPDATE Teilnehmer SET SummePunkte=80 WHERE StartNr=101"));
            // Without a Teilnehmer record there is no standing to seat by.
            sql(db, QStringLiteral("DELETE FROM Teilnehmer WHERE StartNr=103"));
            QVERIFY(auslosen(*w, 1, "rbRang"));
            const Sitze s = gespeichert(db, 1);
            QCOMPARE(s.value(100), qMakePair(1, 1));
            QCOMPARE(s.value(102), qMakePair(1, 2));
            QCOMPARE(s.value(101), qMakePair(1, 3));
            QCOMPARE(s.value(103), qMakePair(0, 0));
            QCOMPARE(angezeigt(*w, 1), s);
        }
        fensterBeenden(w);
    }

    void letzterSpieltag()
    {
        auto w = fensterStarten();
        {
            SkriptDialoge d;
            QSqlDatabase db = Turnierbau::gruppeMitSpielern(*w, d, 6, 1);
            QSqlDatabase haupt = w->registry().hauptDatenbank();
            const QString tag = QStringLiteral("2024-03-08");
            for (auto [nr, punkte] : { std::pair { 100, 50 }, { 102, -10 }, { 104, 30 }, { 105, -5 } })
                sql(haupt,
                    QStringLiteral("INSERT INTO Rangliste VALUES (%1, 'x', '%2', %3)").arg(nr).arg(tag).arg(punkte));
            sql(haupt, QStringLiteral("INSERT INTO Rangliste VALUES (101, 'x', '2024-03-01', 999)"));
            QVERIFY(auslosen(*w, 1, "rbSpieltag", [](QDialog* dlg) {
                dlg->findChild<QCalendarWidget*>(QStringLiteral("calendarWidget"))->setSelectedDate(QDate(2024, 3, 8));
            }));
            // 101 and 103 did not play that day: 0 points, between the
            // positive and the negative scores, in row order.
            const Sitze s = gespeichert(db, 1);
            QCOMPARE(s.value(100), qMakePair(1, 1));
            QCOMPARE(s.value(104), qMakePair(1, 2));
            QCOMPARE(s.value(101), qMakePair(1, 3));
            QCOMPARE(s.value(103), qMakePair(2, 1));
            QCOMPARE(s.value(105), qMakePair(2, 2));
            QCOMPARE(s.value(102), qMakePair(2, 3));
        }
        fensterBeenden(w);
    }

    void neuAuslosenSetztNurOhneTisch()
    {
        auto w = fensterStarten();
        {
            SkriptDialoge d;
            QSqlDatabase db = Turnierbau::gruppeMitSpielern(*w, d, 7, 1);
            // Seats in reverse row order, so seat order and row order differ.
            sql(db, QStringLiteral("UPDATE Teilnehmer SET SummePunkte=StartNr"));
            QVERIFY(auslosen(*w, 1, "rbRang"));
            const Sitze vorher = gespeichert(db, 1);
            QCOMPARE(vorher.value(105), qMakePair(1, 2));
            QCOMPARE(vorher.value(100), qMakePair(2, 3));

            // 105 loses his seat; a re-draw seats him alone, into the free
            // seat, and nobody else moves.
            QStandardItem* zelle = w->tabelle()->tischItem(w->tabelle()->zeileVon(105), 1);
            zelle->setData(0, Rolle::Sitz);
            zelle->setText(QStringLiteral("0"));
            sql(db, QStringLiteral("UPDATE Serie1 SET Tisch=0, TischIntern=0 WHERE StartNr=105"));
            QVERIFY(auslosen(*w, 1));
            QCOMPARE(gespeichert(db, 1), vorher);
            QCOMPARE(angezeigt(*w, 1), vorher);
        }
        fensterBeenden(w);
    }

    void inaktivInSerieZwei()
    {
        auto w = fensterStarten();
        {
            SkriptDialoge d;
            QSqlDatabase db = Turnierbau::gruppeMitSpielern(*w, d, 8, 2);
            sql(db, QStringLiteral("UPDATE Serie2 SET Aktiv=0 WHERE StartNr=101"));
            QVERIFY(auslosen(*w, 2));
            QStandardItem* zelle = w->tabelle()->tischItem(w->tabelle()->zeileVon(101), 2);
            QCOMPARE(zelle->text(), QStringLiteral("-1"));
            QCOMPARE(zelle->background().color(), QColor(Qt::red));
            QCOMPARE(zelle->background().style(), Qt::SolidPattern);
            QCOMPARE(w->form()->leTischaufteilung->text(), QStringLiteral("7 Spieler - 4er 1 - 3er 1"));
            Sitze s = gespeichert(db, 2);
            QCOMPARE(s.take(101).second, 0);
            const QMap<int, QList<int>> tische = proTisch(s);
            QCOMPARE(tische.value(1), (QList<int> { 1, 2, 3, 4 }));
            QCOMPARE(tische.value(2), (QList<int> { 1, 2, 3 }));

            // Counting without a series counts every row, inactive or not.
            w->tischaufteilungBerechnen(0);
            QCOMPARE(w->form()->leTischaufteilung->text(), QStringLiteral("8 Spieler - 4er 2 - 3er 0"));

            // Active again: the next distribution takes the red mark away.
            sql(db, QStringLiteral("UPDATE Serie2 SET Aktiv=1 WHERE StartNr=101"));
            w->tischaufteilungBerechnen(2);
            w->sitzplanAufbauen(2);
            QCOMPARE(zelle->background().style(), Qt::NoBrush);
        }
        fensterBeenden(w);
    }

    void tischAusserhalbDesLayouts()
    {
        auto w = fensterStarten();
        {
            SkriptDialoge d;
            Turnierbau::gruppeMitSpielern(*w, d, 7, 1);
            w->tabelle()->tischItem(w->tabelle()->zeileVon(100), 1)->setText(QStringLiteral("6"));
            w->tabelle()->tischItem(w->tabelle()->zeileVon(101), 1)->setText(QStringLiteral("2"));
            w->tischaufteilungBerechnen(1);
            w->sitzplanAufbauen(1);
            const Sitzplan plan = w->sitzplanVon(w->form()->cmbTeilnehmerGruppe->currentText());
            QCOMPARE(plan.keys(), (QList<int> { 1, 2 }));
            QCOMPARE(plan.value(2).at(0).startNr, 101);
            for (const QVector<Sitz>& tisch : plan)
                for (const Sitz& sitz : tisch)
                    QVERIFY(sitz.startNr != 100);
        }
        fensterBeenden(w);
    }

    void zuruecksetzen()
    {
        auto w = fensterStarten();
        {
            SkriptDialoge d;
            QSqlDatabase db = Turnierbau::gruppeMitSpielern(*w, d, 8, 2);
            sql(db, QStringLiteral("UPDATE Serie2 SET Aktiv=0 WHERE StartNr=101"));
            QVERIFY(auslosen(*w, 1));
            QVERIFY(auslosen(*w, 2));
            const Sitze serie1 = gespeichert(db, 1);
            const Sitze serie2 = gespeichert(db, 2);

            // No series header clicked: no question, nothing changes.
            d.fragen.clear();
            QVERIFY(QMetaObject::invokeMethod(w.get(), "onAuslosungZuruecksetzen"));
            QVERIFY(d.fragen.isEmpty());
            QCOMPARE(gespeichert(db, 2), serie2);

            emit w->teilnehmerAnsicht()->header()->sectionPressed(Spalte::tisch(2));
            QCOMPARE(w->serieGewaehlt(), 2);
            d.antworte(false);
            w->form()->pbAuslosungZuruecksetzen->click();
            QCOMPARE(d.fragen, QStringList { QStringLiteral("Auslosung von Serie 2 zuruecksetzen?") });
            QCOMPARE(gespeichert(db, 2), serie2);

            d.antworte(true);
            w->form()->pbAuslosungZuruecksetzen->click();
            QCOMPARE(d.fragen.size(), 2);
            QCOMPARE(proTisch(gespeichert(db, 2)), ungesetzt(8));
            QCOMPARE(proTisch(angezeigt(*w, 2)), ungesetzt(8));
            QCOMPARE(w->tabelle()->tischItem(w->tabelle()->zeileVon(101), 2)->background().style(), Qt::NoBrush);
            QCOMPARE(gespeichert(db, 1), serie1);

            // The next draw seats the series anew and marks 101 again.
            QVERIFY(auslosen(*w, 2));
            QCOMPARE(w->tabelle()->tischItem(w->tabelle()->zeileVon(101), 2)->text(), QStringLiteral("-1"));
            QCOMPARE(proTisch(gespeichert(db, 2)).value(2), (QList<int> { 1, 2, 3 }));
        }
        fensterBeenden(w);
    }

    void fehlschlagBeimSpeichernAendertNichts()
    {
        auto w = fensterStarten();
        {
            SkriptDialoge d;
            QSqlDatabase db = Turnierbau::gruppeMitSpielern(*w, d, 7, 1);
            sql(db,
                QStringLiteral("CREATE TRIGGER sperre BEFORE UPDATE ON Serie1 WHEN NEW.StartNr=104 "
                               "BEGIN SELECT RAISE(ABORT, 'gesperrt'); END"));
            QVERIFY(auslosen(*w, 1));
            QVERIFY(w->statusBar()->currentMessage().startsWith(QStringLiteral("FEHLER: ")));
            QVERIFY(w->statusBar()->currentMessage().contains(QStringLiteral("gesperrt")));
            // Nothing of the draw is stored and the table shows what it showed.
            QCOMPARE(proTisch(gespeichert(db, 1)), ungesetzt(7));
            QCOMPARE(proTisch(angezeigt(*w, 1)), ungesetzt(7));

            // No transaction is left open: the next draw goes through.
            sql(db, QStringLiteral("DROP TRIGGER sperre"));
            QVERIFY(auslosen(*w, 1));
            QCOMPARE(proTisch(gespeichert(db, 1)).value(2), (QList<int> { 1, 2, 3 }));
            QCOMPARE(angezeigt(*w, 1), gespeichert(db, 1));
        }
        fensterBeenden(w);
    }

    void tausendSpieler()
    {
        auto w = fensterStarten();
        {
            SkriptDialoge d;
            QSqlDatabase db = Turnierbau::gruppeMitSpielern(*w, d, 1000, 1);
            QElapsedTimer uhr;
            uhr.start();
            QVERIFY(auslosen(*w, 1));
            const qint64 ms = uhr.elapsed();
            qInfo("Auslosung von 1000 Teilnehmern: %lld ms", ms);
            // Well under a second when stored in one go; work per cell that
            // grows with the table (or a commit per row) takes over a minute.
            QVERIFY2(ms < 20000, qPrintable(QString::number(ms)));
            const Sitze s = gespeichert(db, 1);
            QCOMPARE(s.size(), 1000);
            const QMap<int, QList<int>> tische = proTisch(s);
            QCOMPARE(tische.size(), 250);
            QCOMPARE(tische.firstKey(), 1);
            QCOMPARE(tische.lastKey(), 250);
            for (const QList<int>& plaetze : tische)
                QCOMPARE(plaetze, (QList<int> { 1, 2, 3, 4 }));
            QCOMPARE(angezeigt(*w, 1), s);
        }
        fensterBeenden(w);
    }
};

REIZWERK_TEST(TstAuslosungFenster)
#include "tst_auslosungfenster.moc"
