#include "testumgebung.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QStandardItemModel>
#include <QTreeView>

#include "app/mainwindow.h"
#include "setup/teilnehmertabelle.h"
#include "ui_mainwindow.h"

using namespace Turnierbau;

namespace
{

struct Schliessen {
    QWidget* dlg;
    ~Schliessen()
    {
        if (static_cast<QDialog*>(dlg)->isVisible())
            static_cast<QDialog*>(dlg)->reject();
    }
};

void rosterZeile(MainWindow& w, int nr, const QString& vorname, const QString& nachname,
    const QString& mitglied = QStringLiteral("Ja"), const QString& preisskat = QStringLiteral("Nein"))
{
    QSqlQuery q(w.registry().hauptDatenbank());
    q.prepare(QStringLiteral("INSERT INTO Spieler VALUES (?, ?, ?, 'Alle', ?, ?)"));
    for (const QVariant& v : QVariantList { nr, vorname, nachname, mitglied, preisskat })
        q.addBindValue(v);
    QVERIFY(q.exec());
}

struct Gesehen {
    bool gezeigt = false;
    QStringList nummern;
    QStringList zeilen; // "nr|name|mitglied|preisskat"
};

// Opens the late-registration dialog, records what it offers, selects the
// given start numbers and presses OK (or Cancel when `abbrechen`).
Gesehen nachmelden(MainWindow& w, const QVector<int>& waehlen, bool abbrechen = false)
{
    Gesehen g;
    auto erledigt = beimNaechstenDialog("DlgNachmeldung", [&](QWidget* dlg) {
        Schliessen zu { dlg };
        auto* view = dlg->findChild<QTreeView*>(QStringLiteral("trvSpieler"));
        QVERIFY(view);
        QAbstractItemModel* m = view->model();
        for (int z = 0; z < m->rowCount(); ++z) {
            QStringList teile;
            for (int c = 0; c < 4; ++c)
                teile << m->index(z, c).data().toString();
            g.nummern << teile.first();
            g.zeilen << teile.join(QLatin1Char('|'));
            if (waehlen.contains(teile.first().toInt()))
                view->selectionModel()->select(m->index(z, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        auto* knoepfe = dlg->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        knoepfe->button(abbrechen ? QDialogButtonBox::Cancel : QDialogButtonBox::Ok)->click();
    });
    w.aktion(QStringLiteral("actNachmelden"))->trigger();
    g.gezeigt = *erledigt;
    return g;
}

QVariantList teilnehmerNummern(QSqlDatabase db)
{
    return spalte(db, QStringLiteral("SELECT StartNr FROM Teilnehmer ORDER BY StartNr"));
}

} // namespace

class TstNachmeldung : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void angebotenWerdenNurNeueSpielerNachStartNr()
    {
        auto w = fensterStarten();
        SkriptDialoge d;
        spielerAnlegen(*w, 4); // 100..103
        QVERIFY(neuesTurnier(*w, d, 2));
        teilnehmerWaehlen(*w, { 100, 101, 102 });
        // Not before the group is fixed: its players are still being chosen.
        auto zuFrueh = beimNaechstenDialog(
            "DlgNachmeldung", [](QWidget* dlg) { static_cast<QDialog*>(dlg)->reject(); }, 200);
        w->aktion(QStringLiteral("actNachmelden"))->trigger();
        QTest::qWait(300);
        QVERIFY(!*zuFrueh);
        teilnehmerWaehlen(*w, { 103 });
        teilnehmerBestaetigen(*w, d);
        QSqlDatabase db = w->registry().datenbank(w->form()->cmbTeilnehmerGruppe->currentText());
        QVERIFY(db.isOpen());
        // The roster out of order, one row reusing a participant's number
        // under other names, and a row with number 0.
        rosterZeile(
            *w, 130, QStringLiteral("Zoe"), QStringLiteral("Zander"), QStringLiteral("Nein"), QStringLiteral("Ja"));
        rosterZeile(*w, 101, QStringLiteral("Ganz"), QStringLiteral("Anders"));
        rosterZeile(*w, 0, QStringLiteral("Null"), QStringLiteral("Nummer"));
        rosterZeile(*w, 99, QStringLiteral("Erik"), QStringLiteral("Early"));
        rosterZeile(*w, 115, QStringLiteral("Mia"), QStringLiteral("Mitte"));

        const Gesehen g = nachmelden(*w, {}, true);
        QVERIFY(g.gezeigt);
        QCOMPARE(
            g.zeilen, (QStringList { "99|Erik Early|Ja|Nein", "115|Mia Mitte|Ja|Nein", "130|Zoe Zander|Nein|Ja" }));
        QCOMPARE(teilnehmerNummern(db), (QVariantList { 100, 101, 102, 103 }));
        QCOMPARE(w->teilnehmer()->rowCount(), 4);

        // OK without a selection changes nothing either.
        const Gesehen leer = nachmelden(*w, {});
        QVERIFY(leer.gezeigt);
        QCOMPARE(teilnehmerNummern(db), (QVariantList { 100, 101, 102, 103 }));
        QCOMPARE(w->teilnehmer()->rowCount(), 4);
        QVERIFY(d.fehlerTexte.isEmpty());
        fensterBeenden(w);
    }

    void dreiAusgewaehlteWerdenTeilnehmer()
    {
        auto w = fensterStarten();
        SkriptDialoge d;
        QSqlDatabase db = gruppeMitSpielern(*w, d, 4, 2);
        QVERIFY(db.isOpen());
        spielerAnlegen(*w,
            { { QStringLiteral("Ada"), QStringLiteral("Eins"), QStringLiteral("Alle"), QStringLiteral("Nein"),
                  QStringLiteral("Ja") },
                { QStringLiteral("Bo"), QStringLiteral("Zwei") }, { QStringLiteral("Cy"), QStringLiteral("Drei") },
                { QStringLiteral("Di"), QStringLiteral("Vier") },
                { QStringLiteral("Ed"), QStringLiteral("Fuenf") } }); // 104..108

        // A failing store registers nobody, says so, and leaves the table alone.
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral(
            "CREATE TRIGGER sperre BEFORE INSERT ON Serie2 BEGIN SELECT RAISE(ABORT, 'Serie2 gesperrt'); END")));
        QVERIFY(nachmelden(*w, { 104, 106, 108 }).gezeigt);
        QCOMPARE(d.fehlerTexte.size(), 1);
        QVERIFY2(d.fehlerTexte.first().contains(QStringLiteral("Serie2 gesperrt")), qPrintable(d.fehlerTexte.first()));
        QCOMPARE(teilnehmerNummern(db), (QVariantList { 100, 101, 102, 103 }));
        QCOMPARE(w->teilnehmer()->rowCount(), 4);
        QVERIFY(q.exec(QStringLiteral("DROP TRIGGER sperre")));

        const Gesehen g = nachmelden(*w, { 104, 106, 108 });
        QCOMPARE(g.nummern, (QStringList { "104", "105", "106", "107", "108" }));
        QCOMPARE(teilnehmerNummern(db), (QVariantList { 100, 101, 102, 103, 104, 106, 108 }));
        QCOMPARE(wert(db, QStringLiteral("SELECT Name FROM Teilnehmer WHERE StartNr=104")).toString(),
            QStringLiteral("Ada Eins"));
        QCOMPARE(wert(db, QStringLiteral("SELECT Mitglied FROM Teilnehmer WHERE StartNr=104")).toInt(), 0);
        QCOMPARE(wert(db, QStringLiteral("SELECT Preisskat FROM Teilnehmer WHERE StartNr=104")).toInt(), 1);
        for (int s = 1; s <= 2; ++s)
            QCOMPARE(spalte(db, QStringLiteral("SELECT Aktiv FROM Serie%1 WHERE StartNr IN (104, 106, 108)").arg(s)),
                (QVariantList { 1, 1, 1 }));

        TeilnehmerTabelle* t = w->tabelle();
        QCOMPARE(w->teilnehmer()->rowCount(), 7);
        const int z = t->zeileVon(104);
        QVERIFY(z >= 0);
        QCOMPARE(t->nameItem(z)->text(), QStringLiteral("Ada Eins"));
        QCOMPARE(t->preisskatItem(z)->text(), QStringLiteral("Ja"));
        QCOMPARE(t->tischItem(z, 1)->text(), QStringLiteral("0"));
        QCOMPARE(w->form()->leTischaufteilung->text(), QStringLiteral("7 Spieler - 4er 1 - 3er 1"));

        // Participants now: not offered again.
        const Gesehen danach = nachmelden(*w, {}, true);
        QCOMPARE(danach.nummern, (QStringList { "105", "107" }));
        fensterBeenden(w);
    }

    void nachGelosterSerieSpieltErAbDerNaechsten()
    {
        auto w = fensterStarten();
        SkriptDialoge d;
        QSqlDatabase db = gruppeMitSpielern(*w, d, 7, 3); // 100..106
        QVERIFY(db.isOpen());
        const QVector<int> spaet = spielerAnlegen(*w, 1); // 107
        QCOMPARE(spaet, QVector<int> { 107 });

        // Series 1 drawn: tables 1 (four) and 2 (three).
        QSqlQuery q(db);
        QVERIFY(
            q.exec(QStringLiteral("UPDATE Serie1 SET Tisch = CASE WHEN StartNr < 104 THEN 1 ELSE 2 END, "
                                  "TischIntern = CASE WHEN StartNr < 104 THEN StartNr - 99 ELSE StartNr - 103 END")));

        QVERIFY(nachmelden(*w, { 107 }).gezeigt);
        QVERIFY(d.fehlerTexte.isEmpty());
        QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Teilnehmer WHERE StartNr=107")).toInt(), 1);
        QCOMPARE(spalte(db,
                     QStringLiteral("SELECT Aktiv FROM Serie1 WHERE StartNr=107 UNION ALL "
                                    "SELECT Aktiv FROM Serie2 WHERE StartNr=107 UNION ALL "
                                    "SELECT Aktiv FROM Serie3 WHERE StartNr=107")),
            (QVariantList { 0, 1, 1 }));
        // The "-1" of the new row was not taken for a table entry.
        QCOMPARE(spalte(db, QStringLiteral("SELECT Tisch FROM Serie1 WHERE StartNr=107")), QVariantList { 0 });

        TeilnehmerTabelle* t = w->tabelle();
        const int z = t->zeileVon(107);
        QVERIFY(z >= 0);
        QCOMPARE(t->tischItem(z, 1)->text(), QStringLiteral("-1"));
        QCOMPARE(t->tischItem(z, 1)->background().color(), QColor(Qt::red));
        QCOMPARE(t->tischItem(z, 2)->text(), QStringLiteral("0"));
        QCOMPARE(t->tischItem(z, 3)->text(), QStringLiteral("0"));
        QCOMPARE(w->form()->leTischaufteilung->text(), QStringLiteral("8 Spieler - 4er 2 - 3er 0"));
        // Series 1 as drawn still counts seven players.
        w->tischaufteilungBerechnen(1);
        QCOMPARE(w->form()->leTischaufteilung->text(), QStringLiteral("7 Spieler - 4er 1 - 3er 1"));

        // The next draw of series 2 seats him.
        w->auslosenZufall(2);
        const int tisch = t->tischItem(z, 2)->text().toInt();
        QVERIFY2(tisch == 1 || tisch == 2, qPrintable(t->tischItem(z, 2)->text()));
        QCOMPARE(wert(db, QStringLiteral("SELECT Tisch FROM Serie2 WHERE StartNr=107")).toInt(), tisch);
        QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Serie2 WHERE Tisch > 0")).toInt(), 8);

        // His points and costs are stored like anyone else's.
        t->punkteItem(z, 2)->setText(QStringLiteral("37"));
        t->kostenItem(z, 2)->setText(QStringLiteral("2.5"));
        QCOMPARE(wert(db, QStringLiteral("SELECT Punkte FROM Serie2 WHERE StartNr=107")).toInt(), 37);
        QCOMPARE(wert(db, QStringLiteral("SELECT Kosten FROM Serie2 WHERE StartNr=107")).toDouble(), 2.5);
        QCOMPARE(wert(db, QStringLiteral("SELECT SummePunkte FROM Teilnehmer WHERE StartNr=107")).toInt(), 37);
        QCOMPARE(wert(db, QStringLiteral("SELECT SummeKosten FROM Teilnehmer WHERE StartNr=107")).toDouble(), 2.5);
        QCOMPARE(t->summePunkteItem(z)->text(), QStringLiteral("37"));
        fensterBeenden(w);
    }
    void wiederAufgenommenerWirdBeimNaechstenLosGesetzt()
    {
        auto w = fensterStarten();
        SkriptDialoge d;
        QSqlDatabase db = gruppeMitSpielern(*w, d, 7, 2); // 100..106
        QVERIFY(db.isOpen());
        spielerAnlegen(*w, 1); // 107
        w->auslosenZufall(1);
        QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Serie1 WHERE Tisch > 0")).toInt(), 7);
        QVERIFY(nachmelden(*w, { 107 }).gezeigt);
        TeilnehmerTabelle* t = w->tabelle();
        const int z = t->zeileVon(107);
        QVERIFY(z >= 0);
        QCOMPARE(t->tischItem(z, 1)->text(), QStringLiteral("-1"));

        // The organiser lets him play series 1 after all.
        auto gezeigt = beimNaechstenDialog("DlgTlnAktiv", [](QWidget* dlg) {
            Schliessen zu { dlg };
            auto* view = dlg->findChild<QTreeView*>(QStringLiteral("trvTeilnehmer"));
            QVERIFY(view);
            QAbstractItemModel* m = view->model();
            for (int r = 0; r < m->rowCount(); ++r)
                if (m->index(r, 0).data().toInt() == 107) {
                    QCOMPARE(m->index(r, 2).data().toString(), QStringLiteral("Nein"));
                    m->setData(m->index(r, 2), QStringLiteral("Ja"));
                }
        });
        w->aktion(QStringLiteral("actTeilnehmerAktiv"))->trigger();
        QVERIFY(*gezeigt);
        QCOMPARE(wert(db, QStringLiteral("SELECT Aktiv FROM Serie1 WHERE StartNr=107")).toInt(), 1);
        QCOMPARE(t->tischItem(z, 1)->text(), QStringLiteral("0"));
        QCOMPARE(t->tischItem(z, 1)->background(), t->punkteItem(z, 1)->background());

        // The re-draw keeps everyone's table and seats him in the free seat.
        QStringList vorher;
        for (int r = 0; r < t->zeilen(); ++r)
            if (r != z)
                vorher << t->tischItem(r, 1)->text();
        w->auslosenZufall(1);
        QStringList nachher;
        for (int r = 0; r < t->zeilen(); ++r)
            if (r != z)
                nachher << t->tischItem(r, 1)->text();
        QCOMPARE(nachher, vorher);
        QCOMPARE(t->tischItem(z, 1)->text(), QStringLiteral("2"));
        QCOMPARE(wert(db, QStringLiteral("SELECT Tisch FROM Serie1 WHERE StartNr=107")).toInt(), 2);
        QCOMPARE(wert(db, QStringLiteral("SELECT TischIntern FROM Serie1 WHERE StartNr=107")).toInt(), 4);
        fensterBeenden(w);
    }
};

REIZWERK_TEST(TstNachmeldung)
#include "tst_nachmeldung.moc"
