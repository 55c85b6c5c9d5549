#include "testumgebung.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "link/tischpruefung.h"

// The seats a message's lines are checked against, read once for the
// message: the answers are those of reading each series whole, also with
// the statements kept from message to message.
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

    // The statements kept between messages belong to the file they were
    // prepared on: a connection reopened on another match day's file reads
    // that file, and a series table created later is found.
    void anweisungenJeDatei()
    {
        QTemporaryDir ordner;
        QVERIFY(ordner.isValid());
        auto anlegen = [&](const QString& datei, int serien, int tisch) {
            QSqlDatabase d = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("anlegen"));
            d.setDatabaseName(ordner.filePath(datei));
            QVERIFY(d.open());
            QSqlQuery q(d);
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE Gruppe (Name TEXT, Serien INTEGER)")));
            QVERIFY(q.exec(QStringLiteral("INSERT INTO Gruppe VALUES ('A', %1)").arg(serien)));
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE Serie1 (StartNr INTEGER, Tisch INTEGER)")));
            QVERIFY(q.exec(QStringLiteral("INSERT INTO Serie1 VALUES (100, %1), (101, %1)").arg(tisch)));
            q.finish();
            d.close();
            d = QSqlDatabase();
            QSqlDatabase::removeDatabase(QStringLiteral("anlegen"));
        };
        anlegen(QStringLiteral("eins.db"), 4, 3);
        anlegen(QStringLiteral("zwei.db"), 2, 9);

        using Art = Tischpruefung::Sitz::Art;
        Tischpruefung::Anweisungen anweisungen;
        auto zeile = [](int serie, int nr) { return QStringLiteral("L|x|%1|10|a|b|1.5|c|%2").arg(serie).arg(nr); };
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("gruppe"));
            db.setDatabaseName(ordner.filePath(QStringLiteral("eins.db")));
            QVERIFY(db.open());
            for (int runde = 0; runde < 2; ++runde) {
                Tischpruefung::Sitzsuche s(db, &anweisungen);
                QCOMPARE(s.serien(), 4);
                s.vorlesen(QStringList { zeile(1, 100), zeile(2, 100) });
                QCOMPARE(s(1, 100).tisch, 3);
                QCOMPARE(s(1, 101).tisch, 3); // not named: its series is read whole
                QCOMPARE(s(2, 100).art, Art::Unbekannt); // no table Serie2
            }
            // Serie2 comes later, as a group's series table may.
            QVERIFY(QSqlQuery(db).exec(QStringLiteral("CREATE TABLE Serie2 (StartNr INTEGER, Tisch INTEGER)")));
            QVERIFY(QSqlQuery(db).exec(QStringLiteral("INSERT INTO Serie2 VALUES (100, 0)")));
            Tischpruefung::Sitzsuche s(db, &anweisungen);
            s.vorlesen(QStringList { zeile(2, 100) });
            QCOMPARE(s(2, 100).art, Art::Offen);

            // The same connection on another file.
            db.close();
            db.setDatabaseName(ordner.filePath(QStringLiteral("zwei.db")));
            QVERIFY(db.open());
            Tischpruefung::Sitzsuche zwei(db, &anweisungen);
            QCOMPARE(zwei.serien(), 2);
            zwei.vorlesen(QStringList { zeile(1, 100), zeile(2, 100) });
            QCOMPARE(zwei(1, 100).tisch, 9);
            QCOMPARE(zwei(2, 100).art, Art::Unbekannt);
            Tischpruefung::Sitzsuche ohne(db);
            QCOMPARE(ohne.serien(), 2);
            QCOMPARE(ohne(1, 101).tisch, 9);
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("gruppe"));
        // A search on a closed connection finds no group.
        QCOMPARE(Tischpruefung::Sitzsuche(QSqlDatabase(), &anweisungen).serien(), 0);
    }

    // The numbers of each taken line come with it, the last line for a
    // player and series in place of the first.
    void werteZuDenZeilen()
    {
        auto zeile = [](int serie, int punkte, const char* kosten, int nr) {
            return QStringLiteral("L|x|%1|%2|a|b|%3|c|%4").arg(serie).arg(punkte).arg(QLatin1String(kosten)).arg(nr);
        };
        const QStringList zeilen { zeile(1, 10, "1.5", 100), QStringLiteral("kaputt"), zeile(1, 20, "2", 101),
            zeile(1, -30, "0.25", 100), zeile(2, 40, "1e1", 100) };
        Tischpruefung::Anspruch anspruch;
        anspruch.adresse = QStringLiteral("10.0.0.1");
        const Tischpruefung::Ergebnis e = Tischpruefung::pruefen(zeilen, anspruch, [](int, int) {
            return Tischpruefung::Sitz { Tischpruefung::Sitz::Art::Offen, 0 };
        });
        QCOMPARE(e.angenommen, (QStringList { zeilen.at(3), zeilen.at(2), zeilen.at(4) }));
        QCOMPARE(e.werte.size(), e.angenommen.size());
        for (int i = 0; i < e.werte.size(); ++i) {
            const auto erwartet = Protokoll::ergebnisLesen(e.angenommen.at(i));
            QVERIFY(erwartet);
            QCOMPARE(e.werte.at(i).startNr, erwartet->startNr);
            QCOMPARE(e.werte.at(i).serie, erwartet->serie);
            QCOMPARE(e.werte.at(i).punkte, erwartet->punkte);
            QCOMPARE(e.werte.at(i).kosten, erwartet->kosten);
        }
        QCOMPARE(e.werte.at(0).punkte, -30);
        QCOMPARE(e.abgelehnt, 1);
    }
};

REIZWERK_TEST(TstSitzsuche)
#include "tst_sitzsuche.moc"
