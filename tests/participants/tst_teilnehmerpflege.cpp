#include "testumgebung.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QSqlQuery>
#include <QTreeView>

#include "participants/dlgnachmeldung.h"
#include "participants/teilnehmerpflege.h"
#include "storage/datenbank.h"
#include "storage/schema.h"
#include "teilnehmerdialoge.h"

using Turnierbau::spalte;
using Turnierbau::sql;
using Turnierbau::wert;

namespace
{

const QString verbindung = QStringLiteral("pflege_test");

// A stored group of 12 participants (100..111) with 3 series, tables 1..3.
QSqlDatabase gruppeAnlegen()
{
    QSqlDatabase db
        = Db::oeffnen(verbindung, Testumgebung::zuhause() + QStringLiteral("/%1.db").arg(QTest::currentTestFunction()));
    Schema::GruppenDaten g;
    g.name = QStringLiteral("Alle");
    g.datum = QDate(2024, 3, 9);
    g.serien = 3;
    g.ersterTisch = 1;
    g.letzterTisch = 3;
    QVector<Schema::TeilnehmerEintrag> t;
    for (int nr = 100; nr < 112; ++nr)
        t << Schema::TeilnehmerEintrag { nr, QStringLiteral("Spieler %1").arg(nr), true, false };
    Schema::gruppeAnlegen(db, g, t);
    return db;
}

NachmeldeSpieler spieler(const QString& name, bool mitglied, bool preisskat)
{
    NachmeldeSpieler s;
    s.name = name;
    s.mitglied = mitglied;
    s.preisskat = preisskat;
    return s;
}

} // namespace

class TstTeilnehmerpflege : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { Testumgebung::verbindungenSchliessen(); }

    void nachmeldungSitztGelosteSerienAus()
    {
        QSqlDatabase db = gruppeAnlegen();
        QVERIFY(db.isOpen());
        // Series 1 drawn (a table), series 2 drawn by seat position only,
        // series 3 not drawn.
        sql(db, QStringLiteral("UPDATE Serie1 SET Tisch=1, TischIntern=2 WHERE StartNr=104"));
        sql(db, QStringLiteral("UPDATE Serie2 SET TischIntern=3 WHERE StartNr=105"));
        QCOMPARE(Teilnehmerpflege::gelosteSerien(db, 3), (QVector<int> { 1, 2 }));

        NachmeldeListe wahl;
        wahl.insert(201, spieler(QStringLiteral("Bert O'Brien"), false, true));
        wahl.insert(200, spieler(QStringLiteral("Anna Alt"), true, false));
        wahl.insert(103, spieler(QStringLiteral("Anders Benannt"), true, true)); // already a participant
        const auto e = Teilnehmerpflege::nachmelden(db, wahl);
        QVERIFY2(e.ok, qPrintable(e.fehler));
        QCOMPARE(e.eingetragen.keys(), (QList<int> { 200, 201 }));
        QCOMPARE(e.schonTeilnehmer, QVector<int> { 103 });
        QCOMPARE(e.inaktivIn, (QVector<int> { 1, 2 }));

        QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Teilnehmer")).toInt(), 14);
        QCOMPARE(wert(db, QStringLiteral("SELECT Name FROM Teilnehmer WHERE StartNr=103")).toString(),
            QStringLiteral("Spieler 103"));
        QCOMPARE(
            wert(db,
                QStringLiteral("SELECT Name || '|' || Mitglied || '|' || Preisskat || '|' || SummePunkte || '|' || "
                               "SummeKosten FROM Teilnehmer WHERE StartNr=201"))
                .toString(),
            QStringLiteral("Bert O'Brien|0|1|0|0"));
        QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Teilnehmer WHERE StartNr=201")).toInt(), 1);

        for (int s = 1; s <= 3; ++s) {
            QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Serie%1").arg(s)).toInt(), 14);
            QCOMPARE(spalte(db, QStringLiteral("SELECT Aktiv FROM Serie%1 WHERE StartNr>=200 ORDER BY StartNr").arg(s)),
                (QVariantList { s == 3 ? 1 : 0, s == 3 ? 1 : 0 }));
            QCOMPARE(wert(db,
                         QStringLiteral("SELECT SUM(ABS(Punkte)+ABS(TischIntern)+ABS(Kosten)) FROM "
                                        "Serie%1 WHERE StartNr>=200")
                             .arg(s))
                         .toInt(),
                0);
            // In a drawn series they sit out, stored as table -1.
            QCOMPARE(spalte(db, QStringLiteral("SELECT Tisch FROM Serie%1 WHERE StartNr>=200 ORDER BY StartNr").arg(s)),
                (QVariantList { s == 3 ? 0 : -1, s == 3 ? 0 : -1 }));
            QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Serie%1 WHERE StartNr=103").arg(s)).toInt(), 1);
        }
        // 14 players need four tables; the next group must start behind them.
        QCOMPARE(wert(db, QStringLiteral("SELECT LetzterTisch FROM Gruppe")).toInt(), 4);

        // Nothing drawn: a late player plays every series.
        sql(db, QStringLiteral("UPDATE Serie1 SET Tisch=0, TischIntern=0"));
        sql(db, QStringLiteral("UPDATE Serie2 SET Tisch=0, TischIntern=0"));
        const auto zweite = Teilnehmerpflege::nachmelden(db, { { 202, spieler(QStringLiteral("C D"), true, true) } });
        QVERIFY(zweite.ok);
        QVERIFY(zweite.inaktivIn.isEmpty());
        QCOMPARE(wert(db,
                     QStringLiteral("SELECT SUM(Aktiv) FROM (SELECT Aktiv FROM Serie1 WHERE StartNr=202 UNION ALL "
                                    "SELECT Aktiv FROM Serie2 WHERE StartNr=202 UNION ALL SELECT Aktiv FROM "
                                    "Serie3 WHERE StartNr=202)"))
                     .toInt(),
            3);
        // A last table that is large enough stays as it is.
        QCOMPARE(wert(db, QStringLiteral("SELECT LetzterTisch FROM Gruppe")).toInt(), 4);

        // Registering the same player again adds no second row.
        const auto nochmal = Teilnehmerpflege::nachmelden(db, { { 202, spieler(QStringLiteral("C D"), true, true) } });
        QVERIFY(nochmal.ok);
        QVERIFY(nochmal.eingetragen.isEmpty());
        QCOMPARE(nochmal.schonTeilnehmer, QVector<int> { 202 });
        QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Teilnehmer WHERE StartNr=202")).toInt(), 1);
        QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Serie3 WHERE StartNr=202")).toInt(), 1);
    }

    void fehlgeschlageneNachmeldungSpeichertNichts()
    {
        QSqlDatabase db = gruppeAnlegen();
        QVERIFY(db.isOpen());
        sql(db,
            QStringLiteral("CREATE TRIGGER sperre BEFORE INSERT ON Serie3 WHEN NEW.StartNr=301 "
                           "BEGIN SELECT RAISE(ABORT, 'Serie3 gesperrt'); END"));
        NachmeldeListe wahl;
        wahl.insert(300, spieler(QStringLiteral("A B"), true, false));
        wahl.insert(301, spieler(QStringLiteral("C D"), true, false));
        wahl.insert(0, spieler(QStringLiteral("Niemand"), true, false));
        const auto e = Teilnehmerpflege::nachmelden(db, wahl);
        QVERIFY(!e.ok);
        QVERIFY2(e.fehler.contains(QStringLiteral("Serie3 gesperrt")), qPrintable(e.fehler));
        QVERIFY(e.eingetragen.isEmpty());
        // 300 was written before 301 failed; the transaction takes it back.
        for (const QString& tabelle : { QStringLiteral("Teilnehmer"), QStringLiteral("Serie1"),
                 QStringLiteral("Serie2"), QStringLiteral("Serie3") })
            QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM %1").arg(tabelle)).toInt(), 12);
        QCOMPARE(wert(db, QStringLiteral("SELECT LetzterTisch FROM Gruppe")).toInt(), 3);

        sql(db, QStringLiteral("DROP TRIGGER sperre"));
        const auto zweite = Teilnehmerpflege::nachmelden(db, wahl);
        QVERIFY(zweite.ok);
        QCOMPARE(zweite.eingetragen.keys(), (QList<int> { 300, 301 }));
        QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Teilnehmer WHERE StartNr=0")).toInt(), 0);

        const auto ohneDb = Teilnehmerpflege::nachmelden(QSqlDatabase(), wahl);
        QVERIFY(!ohneDb.ok);
        QVERIFY(!ohneDb.fehler.isEmpty());
    }

    void aktivFlagLesenUndSetzen()
    {
        QSqlDatabase db = gruppeAnlegen();
        QVERIFY(db.isOpen());
        QString fehler;
        QVERIFY(Teilnehmerpflege::aktivSetzen(db, 2, 101, false, &fehler));
        QCOMPARE(wert(db, QStringLiteral("SELECT Aktiv FROM Serie2 WHERE StartNr=101")).toInt(), 0);
        QCOMPARE(wert(db, QStringLiteral("SELECT SUM(Aktiv) FROM Serie2")).toInt(), 11);
        QCOMPARE(wert(db, QStringLiteral("SELECT SUM(Aktiv) FROM Serie1")).toInt(), 12);
        auto stand = Teilnehmerpflege::aktivLesen(db, 2, 101);
        QVERIFY(stand.gefunden);
        QVERIFY(!stand.aktiv);
        QVERIFY(Teilnehmerpflege::aktivLesen(db, 1, 101).aktiv);

        // Without a row a participant counts as active: "Ja" needs no row,
        // "Nein" could not be kept and is refused.
        stand = Teilnehmerpflege::aktivLesen(db, 2, 999);
        QVERIFY(!stand.gefunden);
        QVERIFY(stand.aktiv);
        QVERIFY(Teilnehmerpflege::aktivSetzen(db, 2, 999, true, &fehler));
        QVERIFY(!Teilnehmerpflege::aktivSetzen(db, 2, 999, false, &fehler));
        QVERIFY(fehler.contains(QStringLiteral("999")));
        // A failed update is checked through the dialog in TstTlnAktiv.
    }

    void auswahlDerNachmeldung()
    {
        NachmeldeListe kandidaten;
        for (int nr : { 130, 99, 115, 1000, 120 })
            kandidaten.insert(nr, spieler(QStringLiteral("Name %1").arg(nr), nr % 2 == 0, nr > 110));
        DlgNachmeldung dlg(kandidaten);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        auto* liste = dlg.findChild<QTreeView*>(QStringLiteral("trvSpieler"));
        QVERIFY(liste);
        QAbstractItemModel* m = liste->model();
        QCOMPARE(kopfTexte(m), (QStringList { "StartNr", "Name", "Mitglied", "Preisskat" }));
        QCOMPARE(spaltenTexte(m, 0), (QStringList { "99", "115", "120", "130", "1000" }));
        QCOMPARE(m->index(2, 2).data().toString(), QStringLiteral("Ja"));
        QCOMPARE(m->index(2, 3).data().toString(), QStringLiteral("Ja"));
        QCOMPARE(m->index(0, 3).data().toString(), QStringLiteral("Nein"));
        QCOMPARE(m->index(1, 2).data().toString(), QStringLiteral("Nein"));

        // A click toggles a row: three clicks on different rows select three.
        for (int z : { 4, 0, 2 }) {
            const QRect r = liste->visualRect(m->index(z, 1));
            QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, r.center());
        }
        knopf(&dlg, QDialogButtonBox::Ok);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        const NachmeldeListe wahl = dlg.auswahl();
        QCOMPARE(wahl.keys(), (QList<int> { 99, 120, 1000 }));
        QCOMPARE(wahl.value(120).name, QStringLiteral("Name 120"));
        QVERIFY(wahl.value(120).mitglied);
        QVERIFY(wahl.value(120).preisskat);
        QVERIFY(!wahl.value(99).mitglied);
        QVERIFY(!wahl.value(99).preisskat);
        QVERIFY(wahl.value(1000).mitglied);

        DlgNachmeldung leer(kandidaten);
        knopf(&leer, QDialogButtonBox::Ok);
        QCOMPARE(leer.result(), int(QDialog::Accepted));
        QVERIFY(leer.auswahl().isEmpty());
    }
};

REIZWERK_TEST(TstTeilnehmerpflege)
#include "tst_teilnehmerpflege.moc"
