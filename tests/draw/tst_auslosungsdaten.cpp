#include "testumgebung.h"

#include <QDir>
#include <QSqlQuery>

#include "draw/auslosungsdaten.h"
#include "storage/datenbank.h"
#include "storage/schema.h"

using namespace Auslosungsdaten;
using Turnierbau::sql;

namespace
{

// A group file of a match day, four players, series 1 at one table and
// series 2 at two tables of two (so the pairs are easy to tell apart).
void tagAnlegen(const QString& daten, const QString& tag, const QString& gruppe, int erster)
{
    const QString ordner = QDir(daten).filePath(tag);
    QDir().mkpath(ordner);
    const QString datei = QDir(ordner).filePath(gruppe + QStringLiteral(".db"));
    Turnierbau::gruppenDateiAnlegen(datei, gruppe, 4);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("tag"));
        db.setDatabaseName(datei);
        QVERIFY(db.open());
        sql(db, QStringLiteral("UPDATE Teilnehmer SET StartNr=StartNr+%1").arg(erster - 100));
        for (int s = 1; s <= 2; ++s)
            sql(db, QStringLiteral("UPDATE Serie%1 SET StartNr=StartNr+%2").arg(s).arg(erster - 100));
        Turnierbau::sitze(
            db, 1, { { erster, 1, 1 }, { erster + 1, 1, 2 }, { erster + 2, 1, 3 }, { erster + 3, 1, 4 } });
        Turnierbau::sitze(
            db, 2, { { erster, 1, 1 }, { erster + 1, 2, 1 }, { erster + 2, 1, 2 }, { erster + 3, 2, 2 } });
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("tag"));
}

} // namespace

class TstAuslosungsdaten : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void fruehereSpieltageLesen()
    {
        const QString daten = Testumgebung::datenOrdner();
        tagAnlegen(daten, QStringLiteral("01_03_2024"), QStringLiteral("Herren"), 100);
        tagAnlegen(daten, QStringLiteral("08_03_2024"), QStringLiteral("Herren"), 200);
        tagAnlegen(daten, QStringLiteral("08_03_2024"), QStringLiteral("Damen"), 300);
        tagAnlegen(daten, QStringLiteral("15_03_2024"), QStringLiteral("Herren"), 400); // the day itself
        tagAnlegen(daten, QStringLiteral("22_03_2024"), QStringLiteral("Herren"), 500); // later
        QDir().mkpath(QDir(daten).filePath(QStringLiteral("31_02_2024"))); // no date
        const QDate tag(2024, 3, 15);
        const QString herren = QStringLiteral("Herren");

        QVERIFY(fruehereSpieltage(daten, tag, herren, 0).isEmpty());
        const QVector<FaireAuslosung::Runde> eins = fruehereSpieltage(daten, tag, herren, 1);
        QCOMPARE(eins, (QVector<FaireAuslosung::Runde> { { { 200, 201, 202, 203 } }, { { 200, 202 }, { 201, 203 } } }));
        const QVector<FaireAuslosung::Runde> zwei = fruehereSpieltage(daten, tag, herren, 5);
        QCOMPARE(zwei.size(), 4);
        QCOMPARE(zwei.mid(0, 2), eins);
        QCOMPARE(zwei.at(2), (FaireAuslosung::Runde { { 100, 101, 102, 103 } }));
        QCOMPARE(fruehereSpieltage(daten, tag, QStringLiteral("Damen"), 5).size(), 2);

        // Earlier days weigh little: the draw avoids them when it can.
        FaireAuslosung::Vorgeschichte v;
        for (const FaireAuslosung::Runde& r : zwei)
            v.rundeHinzufuegen(r, FaireAuslosung::gewichtFrueher);
        QCOMPARE(v.gewicht(200, 202), 2);
        QCOMPARE(v.gewicht(200, 201), 1);
        QCOMPARE(v.gewicht(200, 100), 0);
    }

    void trennpaareSpeichern()
    {
        const QString name = QStringLiteral("trennpaare");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(Testumgebung::zuhause() + QStringLiteral("/haupt.db"));
            QVERIFY(db.open());
            QVERIFY(Schema::stammdatenbankAnlegen(db));
            for (int nr = 100; nr < 104; ++nr)
                sql(db, QStringLiteral("INSERT INTO Spieler VALUES (%1, 'A', 'B', 'Alle', 'Ja', 'Nein')").arg(nr));
            // The table is created with the first pair; reading writes nothing.
            QVERIFY(trennpaareLesen(db).isEmpty());
            QVERIFY(trennpaareBereinigen(db));
            QVERIFY(trennpaarEntfernen(db, 100, 101));
            QVERIFY(!Db::tabelleVorhanden(db, QStringLiteral("Trennpaare")));
            QString fehler;
            QVERIFY(trennpaarHinzufuegen(db, 103, 100, &fehler));
            QVERIFY(Db::tabelleVorhanden(db, QStringLiteral("Trennpaare")));
            QVERIFY(!trennpaarHinzufuegen(db, 100, 103, &fehler));
            QVERIFY(fehler.contains(QStringLiteral("schon")));
            QVERIFY(!trennpaarHinzufuegen(db, 101, 101, &fehler));
            QVERIFY(!trennpaarHinzufuegen(db, 101, 999, &fehler));
            QVERIFY(fehler.contains(QStringLiteral("999")));
            QVERIFY(trennpaarHinzufuegen(db, 101, 102, &fehler));
            QCOMPARE(trennpaareLesen(db), (QVector<FaireAuslosung::Paar> { { 100, 103 }, { 101, 102 } }));
            QVERIFY(trennpaarEntfernen(db, 102, 101));
            QCOMPARE(trennpaareLesen(db), (QVector<FaireAuslosung::Paar> { { 100, 103 } }));
            // A number that left the roster counts no more, and goes with
            // the clean-up.
            sql(db, QStringLiteral("DELETE FROM Spieler WHERE StartNr=103"));
            QVERIFY(trennpaareLesen(db).isEmpty());
            QCOMPARE(Turnierbau::wert(db, QStringLiteral("SELECT COUNT(*) FROM Trennpaare")).toInt(), 1);
            QVERIFY(trennpaareBereinigen(db));
            QCOMPARE(Turnierbau::wert(db, QStringLiteral("SELECT COUNT(*) FROM Trennpaare")).toInt(), 0);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

    void gueteTexte()
    {
        FaireAuslosung::Guete g;
        QCOMPARE(gueteText(g), QStringLiteral("0 Wiederholungen"));
        g.wiederholungen = 1;
        g.nichtGetrennt = { { 100, 101 }, { 102, 104 } };
        QCOMPARE(gueteText(g), QStringLiteral("1 Wiederholung, nicht getrennt: 100/101, 102/104"));
        QCOMPARE(gueteText(Losung { 5, 3, 1 }), QStringLiteral("3 Wiederholungen, 1 Paar nicht getrennt"));
        QCOMPARE(gueteText(Losung { 5, 0, 2 }), QStringLiteral("0 Wiederholungen, 2 Paare nicht getrennt"));
        // New numbers are positive and have at most nine digits.
        for (int i = 0; i < 100; ++i) {
            const qint64 n = neueLosnummer();
            QVERIFY(n > 0 && n < 1000000000);
        }
    }
};

REIZWERK_TEST(TstAuslosungsdaten)
#include "tst_auslosungsdaten.moc"
