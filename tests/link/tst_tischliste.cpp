#include "testumgebung.h"

#include <QDir>

#include "spieltag/offenerspieltag.h"
#include "storage/datenbank.h"
#include "storage/schema.h"

using namespace Turnierbau;

namespace
{
// "1/102 Berta 2/101 Erster 4/199?" (seat/start number and name, "?" when
// the group has no Teilnehmer row for her, "-" when inactive).
QString alsText(const QVector<Spieltag::SitzEintrag>& sitze)
{
    QStringList t;
    for (const Spieltag::SitzEintrag& e : sitze)
        t << QStringLiteral("%1/%2%3%4%5")
                 .arg(e.platz)
                 .arg(e.startNr)
                 .arg(e.teilnehmer ? QStringLiteral(" ") + e.name : QStringLiteral("?"))
                 .arg(e.aktiv ? QString() : QStringLiteral("-"))
                 .arg(e.mitglied ? QStringLiteral("m") : QString());
    return t.join(QLatin1Char(' '));
}
} // namespace

// What the link sends a companion that asks for a table: the group whose
// tables include it and the stored seats, read with statements kept from
// request to request, the same as the reader that prepares them anew.
class TstTischliste : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }
    void cleanup() { Testumgebung::verbindungenSchliessen(); }

    void sitzeWieGelesen()
    {
        const QString ordner = Testumgebung::datenOrdner();
        QDir().mkpath(ordner);
        OffenerSpieltag spieltag(QStringLiteral("tischliste_haupt"));
        QSqlDatabase haupt = Db::oeffnen(QStringLiteral("tischliste_haupt"), ordner + QStringLiteral("/reizwerk.db"));
        QVERIFY(Schema::stammdatenbankAnlegen(haupt));
        QSqlDatabase db = Db::oeffnen(QStringLiteral("B"), ordner + QStringLiteral("/B.db"));
        Schema::GruppenDaten g;
        g.name = QStringLiteral("Bunt");
        g.serien = 2;
        g.ersterTisch = 3;
        g.letzterTisch = 5;
        QVERIFY(Schema::gruppeAnlegen(db, g,
            { { 101, QStringLiteral("Erster"), true, false }, { 102, QStringLiteral("Berta"), false, true },
                { 103, QStringLiteral("Cäsar"), true, true }, { 104, QStringLiteral("Dora"), false, false } }));
        sql(db, QStringLiteral("UPDATE Serie1 SET Tisch=3, TischIntern=2, Aktiv=1 WHERE StartNr=101"));
        sql(db, QStringLiteral("UPDATE Serie1 SET Tisch=3, TischIntern=1, Aktiv=1 WHERE StartNr=102"));
        // Made inactive after the draw: still seated.
        sql(db, QStringLiteral("UPDATE Serie1 SET Tisch=3, TischIntern=3, Aktiv=0 WHERE StartNr=103"));
        sql(db, QStringLiteral("UPDATE Serie1 SET Tisch=4, TischIntern=1, Aktiv=1 WHERE StartNr=104"));
        // A damaged file: a start number twice (the first row counts) and a
        // seat without a participant.
        sql(db,
            QStringLiteral(
                "INSERT INTO Teilnehmer (StartNr, Name, Mitglied, Preisskat) VALUES (101, 'Zweiter', 0, 0)"));
        sql(db,
            QStringLiteral("INSERT INTO Serie1 (StartNr, Punkte, Tisch, TischIntern, Aktiv, Kosten) "
                           "VALUES (199, 0, 3, 4, 1, 0)"));
        spieltag.verbindungen().eintragen(QStringLiteral("B"));

        QVERIFY(!spieltag.gruppeDesTisches(2));
        QVERIFY(!spieltag.gruppeDesTisches(6));
        for (int tisch = 3; tisch <= 5; ++tisch) {
            const std::optional<OffenerSpieltag::GruppeDesTisches> gefunden = spieltag.gruppeDesTisches(tisch);
            QVERIFY(gefunden);
            QCOMPARE(gefunden->name, QStringLiteral("Bunt"));
            QCOMPARE(gefunden->verbindung, QStringLiteral("B"));
            QCOMPARE(gefunden->serien, 2);
        }

        const QString tisch3 = QStringLiteral("1/102 Berta 2/101 Ersterm 3/103 Cäsar-m 4/199?");
        // Twice: the kept statement answers as the first time.
        for (int mal = 0; mal < 2; ++mal) {
            QCOMPARE(alsText(spieltag.sitze(QStringLiteral("B"), 1, 3)), tisch3);
            QCOMPARE(alsText(Spieltag::sitzeLesen(db, 1, 3)), tisch3);
            QCOMPARE(alsText(spieltag.sitze(QStringLiteral("B"), 1, 4)), QStringLiteral("1/104 Dora"));
        }
        QVERIFY(spieltag.sitze(QStringLiteral("B"), 1, 5).isEmpty());
        QVERIFY(spieltag.sitze(QStringLiteral("B"), 2, 3).isEmpty());
        QVERIFY(spieltag.sitze(QStringLiteral("B"), 3, 3).isEmpty());
        QVERIFY(spieltag.sitze(QStringLiteral("tischliste_haupt"), 1, 3).isEmpty());

        // What changed since is read, not what the kept statement read.
        sql(db, QStringLiteral("UPDATE Serie1 SET Tisch=4, TischIntern=2 WHERE StartNr=103"));
        sql(db, QStringLiteral("UPDATE Gruppe SET LetzterTisch=6"));
        QCOMPARE(alsText(spieltag.sitze(QStringLiteral("B"), 1, 4)), QStringLiteral("1/104 Dora 2/103 Cäsar-m"));
        QVERIFY(spieltag.gruppeDesTisches(6));

        // Without participants at all the seats are still sent by number.
        sql(db, QStringLiteral("DROP TABLE Teilnehmer"));
        QCOMPARE(alsText(spieltag.sitze(QStringLiteral("B"), 1, 4)), QStringLiteral("1/104? 2/103?-"));
        QCOMPARE(alsText(Spieltag::sitzeLesen(db, 1, 4)), QStringLiteral("1/104? 2/103?-"));
        // Without settings the file is no group.
        sql(db, QStringLiteral("DROP TABLE Gruppe"));
        QVERIFY(!spieltag.gruppeDesTisches(4));
    }
};

REIZWERK_TEST(TstTischliste)
#include "tst_tischliste.moc"
