#include "testumgebung.h"

#include <QSqlQuery>
#include <QStandardItemModel>

#include "app/mainwindow.h"
#include "setup/teilnehmertabelle.h"
#include "storage/datenbank.h"
#include "ui_mainwindow.h"
#include "widgets/treeview.h"

using namespace Turnierbau;

namespace
{

// A new participant's row as the table showed it with one standard item per
// cell, so the table's own model is checked against that, role by role.
QList<QStandardItem*> itemZeile(const TeilnehmerZeile& t, int n)
{
    QList<QStandardItem*> zeile;
    auto* nr = new QStandardItem(QString::number(t.startNr));
    nr->setData(t.startNr, Rolle::StartNr);
    nr->setEditable(false);
    auto* name = new QStandardItem(t.name);
    name->setData(t.startNr, Rolle::StartNr);
    name->setData(t.mitglied, Rolle::Mitglied);
    name->setEditable(false);
    auto* preisskat = new QStandardItem(t.preisskat ? QStringLiteral("Ja") : QStringLiteral("Nein"));
    preisskat->setEditable(false);
    zeile << nr << name << preisskat;
    const Qt::GlobalColor farben[] = { Qt::red, Qt::darkGreen, Qt::blue };
    for (int s = 1; s <= n; ++s)
        for (int k = 0; k < 3; ++k) {
            auto* item = new QStandardItem(k == 2 ? QStringLiteral("0.0") : QStringLiteral("0"));
            item->setData(s, Rolle::Serie);
            item->setData(3 * s + k, Rolle::Spalte);
            item->setData(Art::Punkte + k, Rolle::Art);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            item->setForeground(QBrush(farben[k]));
            item->setEditable(false);
            if (k != 1)
                item->setData(item->text(), Rolle::Gespeichert);
            zeile << item;
        }
    for (const QString& text : { QStringLiteral("0"), QStringLiteral("0.0") }) {
        auto* summe = new QStandardItem(text);
        summe->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        summe->setEditable(false);
        zeile << summe;
    }
    return zeile;
}

// A row as a new participant gets it, with what the database stores for
// him written the way an entry writes it into the table's cells.
QList<QStandardItem*> erwarteteZeile(QSqlDatabase db, const QSqlQuery& t, int n, bool mitSerien)
{
    const int nr = t.value(0).toInt();
    QList<QStandardItem*> z = itemZeile({ nr, t.value(1).toString(), t.value(2).toBool(), t.value(3).toBool() }, n);
    z.at(Spalte::summePunkte(n))->setText(QString::number(t.value(4).toInt()));
    z.at(Spalte::summeKosten(n))->setText(Zahl::euro(t.value(5).toDouble()));
    for (int s = 1; mitSerien && s <= n; ++s) {
        QSqlQuery q = Db::abfrage(db,
            QStringLiteral("SELECT Punkte, Tisch, TischIntern, Kosten FROM Serie%1 WHERE StartNr=?").arg(s), { nr });
        while (q.next()) {
            QStandardItem* p = z.at(Spalte::punkte(s));
            p->setText(QString::number(q.value(0).toInt()));
            p->setData(p->text(), Rolle::Gespeichert);
            z.at(Spalte::tisch(s))->setText(QString::number(q.value(1).toInt()));
            z.at(Spalte::tisch(s))->setData(q.value(2).toInt(), Rolle::Sitz);
            QStandardItem* k = z.at(Spalte::kosten(s));
            k->setText(Zahl::euro(q.value(3).toDouble()));
            k->setData(k->text(), Rolle::Gespeichert);
        }
    }
    return z;
}

} // namespace

class TstGruppeOeffnen : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    // An opened group shows, cell by cell, what a new row with the stored
    // values entered would show: every text, role, flag, alignment and
    // colour of each cell kind. Rows stand in start-number order, a number
    // stored twice keeps its stored order, and only its first row takes the
    // series values.
    void jedeZelleWieGespeichert()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(6, 3);
        QVERIFY(db.isOpen());
        // Number 100 stored last, 103 a second time at the end.
        sql(db, QStringLiteral("INSERT INTO Teilnehmer SELECT * FROM Teilnehmer WHERE StartNr=100"));
        sql(db,
            QStringLiteral("DELETE FROM Teilnehmer WHERE rowid=(SELECT MIN(rowid) FROM Teilnehmer WHERE StartNr=100)"));
        sql(db,
            QStringLiteral("INSERT INTO Teilnehmer (StartNr, Name, Mitglied, Preisskat, SummePunkte, SummeKosten) "
                           "VALUES (103, 'Zweite Dreihundertdrei', 1, 1, 7, 0.5)"));
        sql(db, QStringLiteral("UPDATE Serie1 SET Punkte=-25, Tisch=2, TischIntern=4, Kosten=1.5 WHERE StartNr=100"));
        sql(db, QStringLiteral("UPDATE Serie2 SET Punkte=118, Tisch=1, TischIntern=2, Kosten=0 WHERE StartNr=103"));
        sql(db, QStringLiteral("UPDATE Serie3 SET Kosten=2.34, Tisch=3, TischIntern=1 WHERE StartNr=105"));
        sql(db, QStringLiteral("DELETE FROM Serie3 WHERE StartNr=101"));
        sql(db, QStringLiteral("UPDATE Teilnehmer SET SummePunkte=-25, SummeKosten=1.5 WHERE StartNr=100"));
        sql(db, QStringLiteral("UPDATE Teilnehmer SET Preisskat=1, Mitglied=0 WHERE StartNr=102"));
        w.neuStarten();
        db = w->registry().datenbank(w->form()->cmbTeilnehmerGruppe->currentText());
        QVERIFY(db.isOpen());

        TeilnehmerModell* m = w->teilnehmer();
        const int n = 3;
        QCOMPARE(m->columnCount(), Spalte::anzahl(n));
        QCOMPARE(m->rowCount(), 7);
        QCOMPARE(spaltenTexte(m, Spalte::Nr), (QStringList { "100", "101", "102", "103", "103", "104", "105" }));
        QCOMPARE(m->item(4, Spalte::Name)->text(), QStringLiteral("Zweite Dreihundertdrei"));

        // Expected rows in the order the table must show them.
        QSqlQuery t = Db::abfrage(db,
            QStringLiteral("SELECT StartNr, Name, Mitglied, Preisskat, SummePunkte, SummeKosten FROM Teilnehmer "
                           "ORDER BY StartNr, rowid"));
        int zeile = 0;
        int vorige = -1;
        int geprueft = 0;
        while (t.next()) {
            const int nr = t.value(0).toInt();
            const QList<QStandardItem*> soll = erwarteteZeile(db, t, n, nr != vorige);
            vorige = nr;
            for (int c = 0; c < soll.size(); ++c) {
                const TeilnehmerZelle ist = m->item(zeile, c);
                QVERIFY2(ist, qPrintable(QStringLiteral("row %1 column %2").arg(zeile).arg(c)));
                for (int rolle : { int(Qt::DisplayRole), int(Qt::TextAlignmentRole), int(Qt::ForegroundRole),
                         Qt::UserRole + 1, Qt::UserRole + 2, Qt::UserRole + 3, Qt::UserRole + 4, Qt::UserRole + 5 })
                    QVERIFY2(ist->data(rolle) == soll.at(c)->data(rolle),
                        qPrintable(QStringLiteral("row %1 column %2 role %3: %4 != %5")
                                       .arg(zeile)
                                       .arg(c)
                                       .arg(rolle)
                                       .arg(ist->data(rolle).toString(), soll.at(c)->data(rolle).toString())));
                QCOMPARE(ist->flags(), soll.at(c)->flags());
                ++geprueft;
            }
            qDeleteAll(soll);
            ++zeile;
        }
        QCOMPARE(geprueft, 7 * Spalte::anzahl(n));
        // Spot checks against the figures written above, so the expectation
        // cannot drift with the code it checks.
        TeilnehmerTabelle* tab = w->tabelle();
        QCOMPARE(tab->zeileVon(100), 0);
        QCOMPARE(tab->punkteItem(0, 1)->text(), QStringLiteral("-25"));
        QCOMPARE(tab->tischItem(0, 1)->data(Rolle::Sitz).toInt(), 4);
        QCOMPARE(tab->kostenItem(0, 1)->data(Rolle::Gespeichert).toString(), QStringLiteral("1.5"));
        QCOMPARE(tab->punkteItem(3, 2)->text(), QStringLiteral("118"));
        QCOMPARE(tab->punkteItem(4, 2)->text(), QStringLiteral("0"));
        QVERIFY(!tab->tischItem(4, 2)->data(Rolle::Sitz).isValid());
        QVERIFY(!tab->tischItem(1, 3)->data(Rolle::Sitz).isValid());
        QCOMPARE(tab->kostenItem(6, 3)->text(), QStringLiteral("2.3"));
        QCOMPARE(tab->summeKostenItem(4)->text(), QStringLiteral("0.5"));
        QCOMPARE(tab->preisskatItem(2)->text(), QStringLiteral("Ja"));
        QCOMPARE(tab->nameItem(2)->data(Rolle::Mitglied).toBool(), false);
        QCOMPARE(tab->nameItem(4)->data(Rolle::StartNr).toInt(), 103);

        // The header: captions, right-aligned series and sums, and the
        // series number on each table column.
        for (int s = 1; s <= n; ++s) {
            QCOMPARE(m->headerData(Spalte::tisch(s), Qt::Horizontal, Rolle::KopfSerie).toInt(), s);
            QVERIFY(!m->headerData(Spalte::punkte(s), Qt::Horizontal, Rolle::KopfSerie).isValid());
            QCOMPARE(m->headerData(Spalte::kosten(s), Qt::Horizontal, Qt::TextAlignmentRole).toInt(),
                int(Qt::AlignRight | Qt::AlignVCenter));
        }
        QVERIFY(!m->headerData(Spalte::Name, Qt::Horizontal, Qt::TextAlignmentRole).isValid());
        QCOMPARE(m->headerData(Spalte::summeKosten(n), Qt::Horizontal).toString(), QStringLiteral("Summe Kosten"));

        // The view sorted by start number shows the same order.
        TreeView* ansicht = w->teilnehmerAnsicht();
        QCOMPARE(spaltenTexte(ansicht->model(), Spalte::Name), spaltenTexte(m, Spalte::Name));
    }
};

REIZWERK_TEST(TstGruppeOeffnen)
#include "tst_gruppeoeffnen.moc"
