#include "testumgebung.h"

#include <QSqlDatabase>
#include <QSqlQuery>

#include "link/tischpruefung.h"

// The seats a message's lines are checked against, read once for the
// message: the answers are those of reading each series whole.
class TstSitzsuche : public QObject
{
    Q_OBJECT
private slots:
    void vorgelesenWieGanzGelesen()
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("vorlesen"));
        db.setDatabaseName(QStringLiteral(":memory:"));
        QVERIFY(db.open());
        {
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE Gruppe (Name TEXT, Serien INTEGER)")));
            QVERIFY(q.exec(QStringLiteral("INSERT INTO Gruppe VALUES ('Alle', 4)")));
            // Series 1 is drawn (101 sits out, 102 came late), series 2 is
            // not, series 3 has no table, series 4 is drawn at its last row.
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE Serie1 (StartNr INTEGER, Tisch INTEGER)")));
            QVERIFY(q.exec(QStringLiteral("INSERT INTO Serie1 VALUES (100, 4), (101, -1), (102, 0), (103, 2)")));
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE Serie2 (StartNr INTEGER, Tisch INTEGER)")));
            QVERIFY(q.exec(QStringLiteral("INSERT INTO Serie2 VALUES (100, 0), (101, -1), (102, 0), (103, 0)")));
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE Serie4 (StartNr INTEGER, Tisch INTEGER)")));
            QVERIFY(q.exec(QStringLiteral("INSERT INTO Serie4 VALUES (100, 0), (101, 0), (102, 0), (103, 7)")));
        }
        auto zeile = [](int serie, int nr) { return QStringLiteral("L|x|%1|10|a|b|1.5|c|%2").arg(serie).arg(nr); };
        const QStringList zeilen { zeile(1, 100), zeile(1, 101), zeile(1, 102), zeile(1, 999), zeile(2, 100),
            zeile(2, 101), zeile(3, 100), zeile(4, 100), zeile(4, 103), zeile(9, 100), QStringLiteral("kaputt") };

        {
            Tischpruefung::Sitzsuche vorgelesen(db);
            vorgelesen.vorlesen(zeilen);
            // What was read for the message stays, as with a whole series.
            {
                QSqlQuery q(db);
                QVERIFY(q.exec(QStringLiteral("UPDATE Serie1 SET Tisch=5 WHERE StartNr=100")));
            }
            QCOMPARE(vorgelesen(1, 100).tisch, 4);
            QVERIFY(QSqlQuery(db).exec(QStringLiteral("UPDATE Serie1 SET Tisch=4 WHERE StartNr=100")));

            using Art = Tischpruefung::Sitz::Art;
            // Those named and those not (103 of series 1 and 2): all as read whole.
            const QVector<QPair<int, int>> fragen { { 1, 100 }, { 1, 101 }, { 1, 102 }, { 1, 999 }, { 2, 100 },
                { 2, 101 }, { 3, 100 }, { 4, 100 }, { 4, 103 }, { 9, 100 }, { 1, 103 }, { 2, 103 }, { 4, 101 } };
            Tischpruefung::Sitzsuche ganz(db);
            for (const auto& f : fragen) {
                const Tischpruefung::Sitz a = vorgelesen(f.first, f.second);
                const Tischpruefung::Sitz b = ganz(f.first, f.second);
                QVERIFY2(a.art == b.art && a.tisch == b.tisch,
                    qPrintable(QStringLiteral("%1/%2").arg(f.first).arg(f.second)));
            }
            QCOMPARE(ganz(1, 100).art, Art::Tisch);
            QCOMPARE(ganz(1, 101).art, Art::Ohne);
            QCOMPARE(ganz(1, 102).art, Art::Ohne);
            QCOMPARE(ganz(1, 999).art, Art::Unbekannt);
            QCOMPARE(ganz(2, 100).art, Art::Offen);
            QCOMPARE(ganz(3, 100).art, Art::Unbekannt);
            QCOMPARE(ganz(4, 100).art, Art::Ohne);
            QCOMPARE(ganz(4, 103).tisch, 7);
        }

        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("vorlesen"));
    }
};

REIZWERK_TEST(TstSitzsuche)
#include "tst_sitzsuche.moc"
