#include "testumgebung.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QSqlQuery>
#include <QStandardItemModel>

#include "setup/teilnehmertabelle.h"
#include "teilnehmerdialoge.h"
#include "ui_mainwindow.h"

using namespace Turnierbau;

namespace
{

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
    g.gezeigt = mitDialog(w.aktion(QStringLiteral("actNachmelden")), "DlgNachmeldung", [&](QWidget* dlg) {
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
        knopf(dlg, abbrechen ? QDialogButtonBox::Cancel : QDialogButtonBox::Ok);
    });
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
        Fenster w;
        spielerAnlegen(*w, 4); // 100..103
        QVERIFY(neuesTurnier(*w, w.d, 2));
        teilnehmerWaehlen(*w, { 100, 101, 102 });
        // Not before the group is fixed: its players are still being chosen.
        auto zuFrueh = beimNaechstenDialog(
            "DlgNachmeldung", [](QWidget* dlg) { static_cast<QDialog*>(dlg)->reject(); }, 200);
        QVERIFY(ausloesen(*w, QStringLiteral("actNachmelden")));
        QTest::qWait(300);
        QVERIFY(!*zuFrueh);
        teilnehmerWaehlen(*w, { 103 });
        teilnehmerBestaetigen(*w, w.d);
        QSqlDatabase db = w->registry().datenbank(w->form()->cmbTeilnehmerGruppe->currentText());
        QVERIFY(db.isOpen());
        // The roster out of order, one row reusing a participant's number
        // under other names, and a row with number 0.
        sql(w->registry().hauptDatenbank(),
            QStringLiteral("INSERT INTO Spieler VALUES (0, 'Null', 'Nummer', 'Alle', 'Ja', 'Nein')"));
        spielerAnlegen(*w,
            { { "Zoe", "Zander", "Alle", "Nein", "Ja", 130 }, { "Ganz", "Anders", "Alle", "Ja", "Nein", 101 },
                { "Erik", "Early", "Alle", "Ja", "Nein", 99 }, { "Mia", "Mitte", "Alle", "Ja", "Nein", 115 } });

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
        QVERIFY(w.d.fehlerTexte.isEmpty());
    }

    void dreiAusgewaehlteWerdenTeilnehmer()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(4, 2);
        QVERIFY(db.isOpen());
        spielerAnlegen(*w,
            { { "Ada", "Eins", "Alle", "Nein", "Ja" }, { "Bo", "Zwei" }, { "Cy", "Drei" }, { "Di", "Vier" },
                { "Ed", "Fuenf" } }); // 104..108

        // A failing store registers nobody, says so, and leaves the table alone.
        sql(db,
            QStringLiteral(
                "CREATE TRIGGER sperre BEFORE INSERT ON Serie2 BEGIN SELECT RAISE(ABORT, 'Serie2 gesperrt'); END"));
        QVERIFY(nachmelden(*w, { 104, 106, 108 }).gezeigt);
        QCOMPARE(w.d.fehlerTexte.size(), 1);
        QVERIFY2(
            w.d.fehlerTexte.first().contains(QStringLiteral("Serie2 gesperrt")), qPrintable(w.d.fehlerTexte.first()));
        QCOMPARE(teilnehmerNummern(db), (QVariantList { 100, 101, 102, 103 }));
        QCOMPARE(w->teilnehmer()->rowCount(), 4);
        sql(db, QStringLiteral("DROP TRIGGER sperre"));

        const Gesehen g = nachmelden(*w, { 104, 106, 108 });
        QCOMPARE(g.nummern, (QStringList { "104", "105", "106", "107", "108" }));
        QCOMPARE(teilnehmerNummern(db), (QVariantList { 100, 101, 102, 103, 104, 106, 108 }));
        // What is stored for them: TstTeilnehmerpflege.

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
    }

    void nachGelosterSerieSpieltErAbDerNaechsten()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(7, 3); // 100..106
        QVERIFY(db.isOpen());
        QCOMPARE(spielerAnlegen(*w, 1), QVector<int> { 107 });
        w->auslosenZufall(1); // tables 1 (four) and 2 (three)
        QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Serie1 WHERE Tisch > 0")).toInt(), 7);

        QVERIFY(nachmelden(*w, { 107 }).gezeigt);
        QVERIFY(w.d.fehlerTexte.isEmpty());
        // He sits out the drawn series (stored as table -1, see
        // TstTeilnehmerpflege), and the table shows it.
        TeilnehmerTabelle* t = w->tabelle();
        int z = t->zeileVon(107);
        QVERIFY(z >= 0);
        QCOMPARE(t->tischItem(z, 1)->text(), QStringLiteral("-1"));
        QCOMPARE(t->tischItem(z, 1)->background().color(), QColor(Qt::red));
        QCOMPARE(t->tischItem(z, 2)->text(), QStringLiteral("0"));
        QCOMPARE(t->tischItem(z, 3)->text(), QStringLiteral("0"));
        QCOMPARE(w->form()->leTischaufteilung->text(), QStringLiteral("8 Spieler - 4er 2 - 3er 0"));
        // Series 1 as drawn still counts seven players.
        w->tischaufteilungBerechnen(1);
        QCOMPARE(w->form()->leTischaufteilung->text(), QStringLiteral("7 Spieler - 4er 1 - 3er 1"));

        // After a restart the table still shows that he sits out series 1.
        w.neuStarten();
        t = w->tabelle();
        db = w->registry().datenbank(QStringLiteral("Alle"));
        z = t->zeileVon(107);
        QVERIFY(z >= 0);
        QCOMPARE(t->tischItem(z, 1)->text(), QStringLiteral("-1"));
        QCOMPARE(t->tischItem(z, 2)->text(), QStringLiteral("0"));

        // The next draw of series 2 seats him.
        w->auslosenZufall(2);
        const int tisch = t->tischItem(z, 2)->text().toInt();
        QVERIFY2(tisch == 1 || tisch == 2, qPrintable(t->tischItem(z, 2)->text()));
        QCOMPARE(wert(db, QStringLiteral("SELECT Tisch FROM Serie2 WHERE StartNr=107")).toInt(), tisch);
        QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Serie2 WHERE Tisch > 0")).toInt(), 8);

        // His points and costs are stored like anyone else's.
        t->punkteItem(z, 2)->setText(QStringLiteral("37"));
        t->kostenItem(z, 2)->setText(QStringLiteral("2.5"));
        QCOMPARE(wert(db, QStringLiteral("SELECT SummePunkte FROM Teilnehmer WHERE StartNr=107")).toInt(), 37);
        QCOMPARE(t->summePunkteItem(z)->text(), QStringLiteral("37"));

        // The organiser lets him play series 1 after all.
        QVERIFY(aktivDialog(*w, [](QComboBox*, QTreeView* liste) {
            QAbstractItemModel* m = liste->model();
            const int r = zeileVon(m, 107);
            QCOMPARE(m->index(r, 2).data().toString(), QStringLiteral("Nein"));
            m->setData(m->index(r, 2), QStringLiteral("Ja"));
        }));
        QCOMPARE(wert(db, QStringLiteral("SELECT Aktiv FROM Serie1 WHERE StartNr=107")).toInt(), 1);
        QCOMPARE(t->tischItem(z, 1)->text(), QStringLiteral("0"));
        QCOMPARE(t->tischItem(z, 1)->background(), t->punkteItem(z, 1)->background());

        // The re-draw keeps everyone's table and seats him in the free seat.
        auto andereTische = [&] {
            QStringList tische;
            for (int r = 0; r < t->zeilen(); ++r)
                if (r != z)
                    tische << t->tischItem(r, 1)->text();
            return tische;
        };
        const QStringList vorher = andereTische();
        w->auslosenZufall(1);
        QCOMPARE(andereTische(), vorher);
        QCOMPARE(t->tischItem(z, 1)->text(), QStringLiteral("2"));
        QCOMPARE(wert(db, QStringLiteral("SELECT Tisch FROM Serie1 WHERE StartNr=107")).toInt(), 2);
        QCOMPARE(wert(db, QStringLiteral("SELECT TischIntern FROM Serie1 WHERE StartNr=107")).toInt(), 4);
    }
};

REIZWERK_TEST(TstNachmeldung)
#include "tst_nachmeldung.moc"
