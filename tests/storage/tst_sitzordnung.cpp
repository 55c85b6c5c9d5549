#include "testumgebung.h"

#include <QSqlDatabase>
#include <QTemporaryDir>

#include "storage/datenbank.h"
#include "storage/schema.h"
#include "storage/spieltagleser.h"

namespace
{
// "T1: 1/104 2/103- | T2: ..." (seat/start number, "-" when inactive,
// "?" when the group has no Teilnehmer row for her).
QString alsText(const QVector<Spieltag::Tisch>& tische)
{
    QStringList t;
    for (const Spieltag::Tisch& tisch : tische) {
        QStringList sitze;
        for (const Spieltag::SitzEintrag& e : tisch.sitze)
            sitze << QStringLiteral("%1/%2%3%4")
                         .arg(e.platz)
                         .arg(e.startNr)
                         .arg(e.aktiv ? QString() : QStringLiteral("-"))
                         .arg(e.teilnehmer ? QString() : QStringLiteral("?"));
        t << QStringLiteral("T%1: %2").arg(tisch.nummer).arg(sitze.join(QLatin1Char(' ')));
    }
    return t.join(QStringLiteral(" | "));
}

// A group of seven (101-107) in one series; `zeilen` sets the series rows
// "StartNr Tisch TischIntern Aktiv".
struct Gruppendatei {
    QTemporaryDir ordner;
    QSqlDatabase db;
    explicit Gruppendatei(const QStringList& zeilen)
    {
        db = Db::oeffnen(QStringLiteral("sitzordnung"), ordner.filePath(QStringLiteral("Alle.db")));
        QVector<Schema::TeilnehmerEintrag> tn;
        for (int nr = 101; nr <= 107; ++nr)
            tn.append({ nr, QStringLiteral("Spieler %1").arg(nr), nr % 2 == 1, false });
        Schema::GruppenDaten g;
        g.name = QStringLiteral("Alle");
        g.datum = QDate(2026, 3, 6);
        g.serien = 1;
        g.ersterTisch = 1;
        g.letzterTisch = 9;
        if (!Schema::gruppeAnlegen(db, g, tn))
            qFatal("Gruppe nicht angelegt");
        for (const QString& z : zeilen) {
            const QStringList w = z.split(QLatin1Char(' '));
            Db::ausfuehren(db, QStringLiteral("UPDATE Serie1 SET Tisch=?, TischIntern=?, Aktiv=? WHERE StartNr=?"),
                { w.at(1).toInt(), w.at(2).toInt(), w.at(3).toInt(), w.at(0).toInt() });
        }
    }
    ~Gruppendatei()
    {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("sitzordnung"));
    }
};
} // namespace

// Who sits at table t in series s: the read model's tables and the reader
// straight from the file give the same answer for every case the printed
// lists, the table app, the link and the fair draw met.
class TstSitzordnung : public QObject
{
    Q_OBJECT
private slots:
    void tische_data()
    {
        QTest::addColumn<QStringList>("zeilen");
        QTest::addColumn<QString>("erwartet");
        QTest::addColumn<QString>("ohneSitz");
        const QStringList vierUndDrei { "101 1 4 1", "102 1 3 1", "103 1 2 1", "104 1 1 1", "105 2 1 1", "106 2 2 1",
            "107 2 3 1" };
        QTest::newRow("nicht ausgelost") << QStringList {} << QString() << QString();
        QTest::newRow("Vierer und Dreier")
            << vierUndDrei << QStringLiteral("T1: 1/104 2/103 3/102 4/101 | T2: 1/105 2/106 3/107") << QString();
        // Made inactive after the draw: she keeps her seat, marked.
        QStringList inaktiv = vierUndDrei;
        inaktiv[1] = QStringLiteral("102 1 3 0");
        QTest::newRow("inaktiv nach der Auslosung")
            << inaktiv << QStringLiteral("T1: 1/104 2/103 3/102- 4/101 | T2: 1/105 2/106 3/107") << QString();
        // Inactive before the draw: table -1, not seated.
        QStringList aus = vierUndDrei;
        aus[6] = QStringLiteral("107 -1 0 0");
        QTest::newRow("setzt aus") << aus << QStringLiteral("T1: 1/104 2/103 3/102 4/101 | T2: 1/105 2/106")
                                   << QStringLiteral("107");
        QTest::newRow("Dreier vor dem Vierer")
            << QStringList { "101 4 1 1", "102 4 2 1", "103 4 3 1", "104 3 2 1", "105 3 1 1", "106 3 4 1", "107 3 3 1" }
            << QStringLiteral("T3: 1/105 2/104 3/107 4/106 | T4: 1/101 2/102 3/103") << QString();
        // Typed table numbers store no seat: all three are at the table.
        QTest::newRow("getippte Tischnummer")
            << QStringList { "103 5 0 1", "101 5 0 1", "102 5 0 1" } << QStringLiteral("T5: 0/101 0/102 0/103")
            << QStringLiteral("104 105 106 107");
    }

    void tische()
    {
        QFETCH(QStringList, zeilen);
        QFETCH(QString, erwartet);
        QFETCH(QString, ohneSitz);
        Gruppendatei d(zeilen);
        Spieltag::Gruppe g;
        QString fehler;
        QVERIFY2(Spieltag::gruppeLesen(d.db, g, &fehler), qPrintable(fehler));
        const QVector<Spieltag::Tisch> tische = Spieltag::tische(g, 1);
        QCOMPARE(alsText(tische), erwartet);
        QCOMPARE(alsText(Spieltag::tischeLesen(d.db, 1)), erwartet);
        QStringList ohne;
        for (const Spieltag::Teilnehmer* t : Spieltag::nichtSpielend(g, 1))
            ohne << QString::number(t->startNr);
        QCOMPARE(ohne.join(QLatin1Char(' ')), ohneSitz);

        // One table asked for, both ways, with names and flags.
        const auto ein = [](const Spieltag::Tisch& t) { return alsText(QVector<Spieltag::Tisch> { t }); };
        for (const Spieltag::Tisch& t : tische) {
            QCOMPARE(ein(Spieltag::Tisch { t.nummer, Spieltag::sitzeLesen(d.db, 1, t.nummer) }), ein(t));
            QCOMPARE(alsText(Spieltag::tischeLesen(d.db, 1, t.nummer)), ein(t));
            QCOMPARE(ein(Spieltag::tisch(g, 1, t.nummer)), ein(t));
            const QVector<Spieltag::SitzEintrag> sitze = Spieltag::sitzeLesen(d.db, 1, t.nummer);
            for (const Spieltag::SitzEintrag& e : sitze) {
                QCOMPARE(e.name, QStringLiteral("Spieler %1").arg(e.startNr));
                QCOMPARE(e.mitglied, e.startNr % 2 == 1);
            }
        }
        // Table 0 is nobody's table; no table, no seats; no such series.
        QVERIFY(Spieltag::sitzeLesen(d.db, 1, 0).isEmpty());
        QVERIFY(Spieltag::sitzeLesen(d.db, 1, 8).isEmpty());
        QCOMPARE(Spieltag::tisch(g, 1, 8).nummer, 0);
        QVERIFY(Spieltag::tischeLesen(d.db, 2).isEmpty());
        QVERIFY(Spieltag::tische(g, 2).isEmpty());
    }

    // A series row without a Teilnehmer row (a damaged file) is read from
    // the file with its start number only; the read model has no such player.
    void ohneTeilnehmerZeile()
    {
        Gruppendatei d({ "101 1 1 1", "102 1 2 1", "103 1 3 1" });
        QVERIFY(Db::ausfuehren(d.db,
            QStringLiteral("INSERT INTO Serie1 (StartNr, Punkte, Tisch, TischIntern, Aktiv, Kosten) "
                           "VALUES (199, 0, 1, 4, 1, 0)")));
        QCOMPARE(alsText(Spieltag::tischeLesen(d.db, 1)), QStringLiteral("T1: 1/101 2/102 3/103 4/199?"));
        const QVector<Spieltag::SitzEintrag> sitze = Spieltag::sitzeLesen(d.db, 1, 1);
        QCOMPARE(sitze.size(), 4);
        QVERIFY(sitze.at(3).name.isEmpty());
        Spieltag::Gruppe g;
        QVERIFY(Spieltag::gruppeLesen(d.db, g));
        QCOMPARE(alsText(Spieltag::tische(g, 1)), QStringLiteral("T1: 1/101 2/102 3/103"));
    }
};

REIZWERK_TEST(TstSitzordnung)
#include "tst_sitzordnung.moc"
