#include "testumgebung.h"

#include <QDir>
#include <QSignalSpy>
#include <QSqlQuery>

#include "draw/auslosungsdaten.h"
#include "spieltag/offenerspieltag.h"
#include "storage/datenbank.h"
#include "storage/schema.h"

using namespace Turnierbau;

namespace
{

const QDate heute(2026, 3, 14);

// A match day with group "A" (participants 100..106, tables 5 and 6, two
// series) and group "B" (participants 200..203, tables 7 and 8); series 1 of
// A is drawn: 100 and 101 at table 5, 102 and 103 at table 6.
struct Tag {
    OffenerSpieltag spieltag { QStringLiteral("sitze_haupt") };
    QSqlDatabase haupt;
    QSqlDatabase a;
    QSqlDatabase b;

    explicit Tag(const QDate& datumA = heute)
    {
        const QString ordner = Testumgebung::datenOrdner();
        QDir().mkpath(ordner);
        haupt = Db::oeffnen(QStringLiteral("sitze_haupt"), ordner + QStringLiteral("/reizwerk.db"));
        Schema::stammdatenbankAnlegen(haupt);
        a = gruppeAnlegen(QStringLiteral("A"), datumA, 5, 6, 100, 7);
        b = gruppeAnlegen(QStringLiteral("B"), heute, 7, 8, 200, 4);
        sitze(a, 1, { { 100, 5, 1 }, { 101, 5, 2 }, { 102, 6, 1 }, { 103, 6, 2 } });
        spieltag.verbindungen().eintragen(QStringLiteral("B"));
        spieltag.verbindungen().eintragen(QStringLiteral("A"));
    }
    ~Tag()
    {
        haupt = QSqlDatabase();
        a = QSqlDatabase();
        b = QSqlDatabase();
        Testumgebung::verbindungenSchliessen();
    }

    static QSqlDatabase gruppeAnlegen(
        const QString& name, const QDate& datum, int erster, int letzter, int ersteNr, int anzahl)
    {
        QSqlDatabase db = Db::oeffnen(name, Testumgebung::datenOrdner() + QLatin1Char('/') + name + ".db");
        Schema::GruppenDaten g;
        g.name = name;
        g.datum = datum;
        g.serien = 2;
        g.ersterTisch = erster;
        g.letzterTisch = letzter;
        QVector<Schema::TeilnehmerEintrag> t;
        for (int nr = ersteNr; nr < ersteNr + anzahl; ++nr)
            t.append({ nr, QStringLiteral("Vor Name%1").arg(nr) });
        Schema::gruppeAnlegen(db, g, t);
        return db;
    }

    int tisch(int serie, int nr)
    {
        return wert(a, QStringLiteral("SELECT Tisch FROM Serie%1 WHERE StartNr=%2").arg(serie).arg(nr)).toInt();
    }
    int sitz(int serie, int nr)
    {
        return wert(a, QStringLiteral("SELECT TischIntern FROM Serie%1 WHERE StartNr=%2").arg(serie).arg(nr)).toInt();
    }
    QVariant rangliste(int nr, const QDate& datum)
    {
        return wert(haupt,
            QStringLiteral("SELECT Punkte FROM Rangliste WHERE StartNr=%1 AND Datum='%2'")
                .arg(nr)
                .arg(datum.toString(Qt::ISODate)));
    }
};

// Makes the group database refuse every change of a series table.
void verweigern(QSqlDatabase db, int serie)
{
    sql(db,
        QStringLiteral("CREATE TRIGGER nein BEFORE UPDATE ON Serie%1 BEGIN SELECT RAISE(ABORT, 'gesperrt'); END")
            .arg(serie));
}

} // namespace

class TstSitzoperationen : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    // A typed table number is stored as typed, also one outside the group's
    // range (the organiser may seat a player at a borrowed table); a number
    // no table can have, an unknown participant or series, or a refusing
    // database leave the series as it was and no view hears of a change.
    void tischSetzen_data()
    {
        QTest::addColumn<QString>("gruppe");
        QTest::addColumn<int>("startNr");
        QTest::addColumn<int>("serie");
        QTest::addColumn<int>("tisch");
        QTest::addColumn<bool>("verweigert");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("fehlerteil");

        QTest::newRow("letzter Tisch der Gruppe") << "A" << 104 << 2 << 6 << false << true << QString();
        QTest::newRow("erster Tisch der Gruppe") << "A" << 104 << 1 << 5 << false << true << QString();
        QTest::newRow("inaktiv") << "A" << 100 << 1 << -1 << false << true << QString();
        QTest::newRow("kein Tisch") << "A" << 100 << 1 << 0 << false << true << QString();
        QTest::newRow("vor dem Bereich") << "A" << 104 << 2 << 4 << false << true << QString();
        QTest::newRow("Tisch der anderen Gruppe") << "A" << 104 << 2 << 7 << false << true << QString();
        QTest::newRow("groesser als jede Tischnummer") << "A" << 104 << 2 << 1001 << false << false << "1001";
        QTest::newRow("unter -1") << "A" << 104 << 2 << -2 << false << false << "-2";
        QTest::newRow("unbekannter Teilnehmer") << "A" << 999 << 2 << 5 << false << false << "999";
        QTest::newRow("Serie fehlt") << "A" << 104 << 3 << 5 << false << false << "Serie 3";
        QTest::newRow("Gruppe nicht offen") << "C" << 104 << 2 << 5 << false << false << "nicht geoeffnet";
        QTest::newRow("Datenbank verweigert") << "A" << 104 << 2 << 5 << true << false << "gesperrt";
    }
    void tischSetzen()
    {
        QFETCH(QString, gruppe);
        QFETCH(int, startNr);
        QFETCH(int, serie);
        QFETCH(int, tisch);
        QFETCH(bool, verweigert);
        QFETCH(bool, ok);
        QFETCH(QString, fehlerteil);

        Tag t;
        if (verweigert)
            verweigern(t.a, serie);
        const int vorher = serie <= 2 ? t.tisch(serie, startNr) : 0;
        QSignalSpy spy(&t.spieltag, &OffenerSpieltag::sitzeGeaendert);
        QString fehler;
        QCOMPARE(t.spieltag.tischSetzen(gruppe, startNr, serie, tisch, &fehler), ok);
        QVERIFY2(fehler.contains(fehlerteil), qPrintable(fehler));
        QCOMPARE(fehler.isEmpty(), ok);
        QCOMPARE(spy.size(), ok ? 1 : 0);
        if (ok) {
            QCOMPARE(spy.at(0).at(0).toString(), gruppe);
            QCOMPARE(spy.at(0).at(1).toInt(), serie);
        }
        if (serie <= 2)
            QCOMPARE(t.tisch(serie, startNr), ok ? tisch : vorher);
    }

    // Taking a draw back clears every seat of the series at once and keeps
    // its number for drawing it again; a series nobody sits in has nothing
    // to clear; a refusing database leaves everything as it was.
    void zuruecksetzen_data()
    {
        QTest::addColumn<QString>("gruppe");
        QTest::addColumn<int>("serie");
        QTest::addColumn<bool>("verweigert");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("fehlerteil");

        QTest::newRow("ausgeloste Serie") << "A" << 1 << false << true << QString();
        QTest::newRow("nicht ausgelost") << "A" << 2 << false << true << QString();
        QTest::newRow("Serie 0") << "A" << 0 << false << false << "Serie 0";
        QTest::newRow("Serie fehlt") << "A" << 3 << false << false << "Serie 3";
        QTest::newRow("Gruppe nicht offen") << "C" << 1 << false << false << "nicht geoeffnet";
        QTest::newRow("Datenbank verweigert") << "A" << 1 << true << false << "gesperrt";
    }
    void zuruecksetzen()
    {
        QFETCH(QString, gruppe);
        QFETCH(int, serie);
        QFETCH(bool, verweigert);
        QFETCH(bool, ok);
        QFETCH(QString, fehlerteil);

        Tag t;
        QVERIFY(Auslosungsdaten::losungSpeichern(t.a, 1, { 4711, 0, 0 }));
        if (verweigert)
            verweigern(t.a, 1);
        QSignalSpy spy(&t.spieltag, &OffenerSpieltag::sitzeGeaendert);
        QString fehler;
        QCOMPARE(t.spieltag.auslosungZuruecksetzen(gruppe, serie, &fehler), ok);
        QVERIFY2(fehler.contains(fehlerteil), qPrintable(fehler));
        QCOMPARE(spy.size(), ok ? 1 : 0);
        const QVector<int> tische { 5, 5, 6, 6 };
        for (int i = 0; i < tische.size(); ++i) {
            QCOMPARE(t.tisch(1, 100 + i), ok && serie == 1 ? 0 : tische.at(i));
            QCOMPARE(t.sitz(1, 100 + i), ok && serie == 1 ? 0 : 1 + i % 2);
        }
        const std::optional<Spieltag::Losung> losung = Auslosungsdaten::losungLesen(t.a, 1);
        QVERIFY(losung);
        QCOMPARE(losung->losnummer, qint64(4711));
    }

    // The layout counts those active in the stored series; the seat plan
    // keeps every active participant stored at a table on his seat.
    void sitzordnung_data()
    {
        QTest::addColumn<int>("serie");
        QTest::addColumn<QVector<int>>("inaktiv");
        QTest::addColumn<int>("spielend");
        QTest::addColumn<int>("vierer");
        QTest::addColumn<int>("dreier");
        QTest::addColumn<QVector<int>>("imPlan"); // start numbers seated in the plan

        QTest::newRow("alle aktiv") << 1 << QVector<int> {} << 7 << 1 << 1 << QVector<int> { 100, 101, 102, 103 };
        QTest::newRow("einer inaktiv gibt seinen Platz ab")
            << 1 << QVector<int> { 102 } << 6 << 0 << 2 << QVector<int> { 100, 101, 103 };
        QTest::newRow("ungeloste Serie") << 2 << QVector<int> { 104 } << 6 << 0 << 2 << QVector<int> {};
        QTest::newRow("Serie 0 zaehlt alle") << 0 << QVector<int> { 104 } << 7 << 1 << 1 << QVector<int> {};
    }
    void sitzordnung()
    {
        QFETCH(int, serie);
        QFETCH(QVector<int>, inaktiv);
        QFETCH(int, spielend);
        QFETCH(int, vierer);
        QFETCH(int, dreier);
        QFETCH(QVector<int>, imPlan);

        Tag t;
        for (int nr : inaktiv)
            sql(t.a, QStringLiteral("UPDATE Serie%1 SET Aktiv=0 WHERE StartNr=%2").arg(qMax(serie, 1)).arg(nr));
        int n = 0;
        const Tischaufteilung aufteilung = t.spieltag.aufteilungBerechnen(QStringLiteral("A"), serie, 7, 5, &n);
        QCOMPARE(n, spielend);
        QCOMPARE(aufteilung.vierer, vierer);
        QCOMPARE(aufteilung.dreier, dreier);
        const TischLayout layout = t.spieltag.sitzordnung().layouts.value(QStringLiteral("A"));
        QCOMPARE(layout.size(), vierer + dreier);
        QCOMPARE(layout.firstKey(), 5);

        const Sitzplan plan = t.spieltag.sitzplanAufbauen(QStringLiteral("A"), serie);
        QCOMPARE(t.spieltag.sitzordnung().plaene.value(QStringLiteral("A")).keys(), layout.keys());
        QVector<int> gesessen;
        for (auto it = plan.cbegin(); it != plan.cend(); ++it)
            for (int i = 0; i < it.value().size(); ++i)
                if (const int nr = it.value().at(i).startNr) {
                    gesessen << nr;
                    // Kept at his stored table, on his stored seat.
                    QCOMPARE(it.key(), t.tisch(serie, nr));
                    QCOMPARE(i + 1, t.sitz(serie, nr));
                }
        std::sort(gesessen.begin(), gesessen.end());
        QCOMPARE(gesessen, imPlan);

        t.spieltag.sitzordnung().vergessen(QStringLiteral("A"));
        QVERIFY(!t.spieltag.sitzordnung().layouts.contains(QStringLiteral("A")));
        QVERIFY(!t.spieltag.sitzordnung().plaene.contains(QStringLiteral("A")));
    }

    // The seat plan takes the rows the table split has just read only while
    // nothing was stored in between, through this connection or another.
    void sitzplanNachAenderung_data()
    {
        QTest::addColumn<QString>("aenderung");
        QTest::newRow("nichts gespeichert") << QString();
        QTest::newRow("diese Verbindung") << "diese";
        QTest::newRow("andere Verbindung") << "andere";
    }
    void sitzplanNachAenderung()
    {
        QFETCH(QString, aenderung);

        Tag t;
        const QString a = QStringLiteral("A");
        int n = 0;
        t.spieltag.aufteilungBerechnen(a, 1, 7, 5, &n);
        QCOMPARE(n, 7);
        // 100 gives his seat at table 5 up, 104 is stored on its third seat.
        auto aendern = [](QSqlDatabase db) {
            sql(db, QStringLiteral("UPDATE Serie1 SET Aktiv=0 WHERE StartNr=100"));
            sql(db, QStringLiteral("UPDATE Serie1 SET Tisch=5, TischIntern=3 WHERE StartNr=104"));
        };
        if (aenderung == QLatin1String("diese")) {
            aendern(t.a);
        } else if (aenderung == QLatin1String("andere")) {
            QSqlDatabase fremd = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fremd"));
            fremd.setDatabaseName(t.a.databaseName());
            QVERIFY(fremd.open());
            aendern(fremd);
            fremd.close();
            fremd = QSqlDatabase();
            QSqlDatabase::removeDatabase(QStringLiteral("fremd"));
        }
        QHash<int, bool> aktiv;
        const Sitzplan plan = t.spieltag.sitzplanAufbauen(a, 1, &aktiv);
        QCOMPARE(aktiv, t.spieltag.aktivInSerie(a, 1));
        const bool geaendert = !aenderung.isEmpty();
        QCOMPARE(aktiv.value(100), !geaendert);
        QCOMPARE(plan.value(5).at(0).startNr, geaendert ? 0 : 100);
        QCOMPARE(plan.value(5).at(1).startNr, 101);
        QCOMPARE(plan.value(5).at(2).startNr, geaendert ? 104 : 0);
    }

    // What the link and the table app read: the table's group, the roster,
    // and a mark that moves with every stored change of a group, also one
    // written through another connection.
    void lesen_data()
    {
        QTest::addColumn<int>("tisch");
        QTest::addColumn<QString>("gruppe");
        QTest::addColumn<int>("serien");

        QTest::newRow("Tisch von A") << 6 << "A" << 2;
        QTest::newRow("Tisch von B") << 7 << "B" << 2;
        QTest::newRow("kein Tisch des Tages") << 9 << QString() << 0;
    }
    void lesen()
    {
        QFETCH(int, tisch);
        QFETCH(QString, gruppe);
        QFETCH(int, serien);

        Tag t;
        const auto gefunden = t.spieltag.gruppeDesTisches(tisch);
        QCOMPARE(bool(gefunden), !gruppe.isEmpty());
        if (gefunden) {
            QCOMPARE(gefunden->name, gruppe);
            QCOMPARE(gefunden->verbindung, gruppe);
            QCOMPARE(gefunden->serien, serien);
        }
        const auto bereich = t.spieltag.tischbereich(QStringLiteral("B"));
        QVERIFY(bereich);
        QCOMPARE(bereich->erster, 7);
        QCOMPARE(bereich->letzter, 8);

        sql(t.haupt,
            "INSERT INTO Spieler (StartNr, VorName, NachName, Mitglied, Preisskat) VALUES "
            "(7, 'Ida', 'Kranz', 'Ja', 'Nein'), (8, 'Ole', 'Berg', 'Nein', 'Ja')");
        const QVector<OffenerSpieltag::RosterEintrag> roster = t.spieltag.roster();
        QCOMPARE(roster.size(), 2);
        QCOMPARE(roster.at(0).nachName, QStringLiteral("Kranz"));
        QVERIFY(roster.at(0).mitglied && !roster.at(0).preisskat);
        QVERIFY(!roster.at(1).mitglied && roster.at(1).preisskat);

        const QString vorher = t.spieltag.aenderungsStand();
        QVERIFY(vorher.startsWith(QStringLiteral("A|")));
        QVERIFY(!vorher.contains(QLatin1Char('?')));
        QVERIFY(t.spieltag.tischSetzen(QStringLiteral("A"), 104, 2, 5));
        const QString nachEintrag = t.spieltag.aenderungsStand();
        QVERIFY(nachEintrag != vorher);
        {
            QSqlDatabase fremd = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fremd"));
            fremd.setDatabaseName(t.b.databaseName());
            QVERIFY(fremd.open());
            sql(fremd, QStringLiteral("UPDATE Serie1 SET Punkte=3 WHERE StartNr=200"));
            fremd.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("fremd"));
        QVERIFY(t.spieltag.aenderungsStand() != nachEintrag);
    }

    // The random draw's history of the day is kept between draws, yet is
    // always what is stored: after each of the day's own changes to seats
    // and flags, after one rolled back, and after another connection's.
    void vorgeschichte_data()
    {
        QTest::addColumn<QString>("aenderung");
        QTest::newRow("Plaetze gespeichert") << "sitze";
        QTest::newRow("Tisch eingetragen") << "tisch";
        QTest::newRow("Auslosung zurueckgesetzt") << "zuruecksetzen";
        QTest::newRow("inaktiv gesetzt") << "inaktiv";
        QTest::newRow("zurueckgenommen") << "zurueckgenommen";
        QTest::newRow("andere Verbindung") << "fremd";
    }
    void vorgeschichte()
    {
        QFETCH(QString, aenderung);

        Tag t;
        const QString a = QStringLiteral("A");
        // What a plain reading of the stored series before `serie` gives.
        auto gespeichert = [&t](int serie) {
            FaireAuslosung::Vorgeschichte v;
            for (int s = 1; s < serie; ++s)
                v.rundeHinzufuegen(Auslosungsdaten::rundeLesen(t.a, s), FaireAuslosung::gewichtHeute);
            return v.alle();
        };
        const QHash<quint64, int> vorher = t.spieltag.vorgeschichte(a, 2).alle();
        QCOMPARE(vorher.size(), 2);
        QCOMPARE(vorher.value(FaireAuslosung::Vorgeschichte::schluessel(100, 101)), FaireAuslosung::gewichtHeute);
        QCOMPARE(vorher, gespeichert(2));
        QCOMPARE(t.spieltag.vorgeschichte(a, 3).alle(), gespeichert(3));
        QVERIFY(t.spieltag.vorgeschichte(a, 1).leer());

        QString fehler;
        if (aenderung == QLatin1String("sitze")) {
            QVERIFY2(t.spieltag.sitzeSpeichern(a, 1, { { 5, 3, 102 } }, std::nullopt, &fehler), qPrintable(fehler));
        } else if (aenderung == QLatin1String("tisch")) {
            QVERIFY2(t.spieltag.tischSetzen(a, 104, 1, 6, &fehler), qPrintable(fehler));
        } else if (aenderung == QLatin1String("zuruecksetzen")) {
            QVERIFY2(t.spieltag.auslosungZuruecksetzen(a, 1, &fehler), qPrintable(fehler));
        } else if (aenderung == QLatin1String("inaktiv")) {
            QVERIFY2(t.spieltag.aktivSetzen(a, 1, 100, false, &fehler), qPrintable(fehler));
        } else if (aenderung == QLatin1String("zurueckgenommen")) {
            // Read while the seats are stored but not committed, then rolled back.
            Db::Transaktion tx(t.a);
            QVERIFY(tx.begonnen());
            QVERIFY2(t.spieltag.sitzeSpeichern(a, 1, { { 5, 3, 102 } }, std::nullopt, &fehler), qPrintable(fehler));
            QVERIFY(t.spieltag.vorgeschichte(a, 2).alle() != vorher);
        } else {
            QSqlDatabase fremd = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fremd"));
            fremd.setDatabaseName(t.a.databaseName());
            QVERIFY(fremd.open());
            sql(fremd, QStringLiteral("UPDATE Serie1 SET Tisch=5, TischIntern=3 WHERE StartNr=104"));
            fremd.close();
            fremd = QSqlDatabase();
            QSqlDatabase::removeDatabase(QStringLiteral("fremd"));
        }
        const QHash<quint64, int> nachher = t.spieltag.vorgeschichte(a, 2).alle();
        QCOMPARE(nachher, gespeichert(2));
        QCOMPARE(nachher != vorher, aenderung != QLatin1String("zurueckgenommen"));
        QCOMPARE(t.spieltag.vorgeschichte(a, 3).alle(), gespeichert(3));
        QCOMPARE(t.spieltag.vorgeschichte(a, 2).alle(), nachher);
    }

    // The draws by standing read the group's sums and one day's ranking;
    // rows of other days do not count.
    void rangDaten()
    {
        Tag t;
        sql(t.a, QStringLiteral("UPDATE Teilnehmer SET SummePunkte=StartNr*2"));
        sql(t.haupt,
            "INSERT INTO Rangliste (StartNr, Name, Datum, Punkte) VALUES (100, 'x', '2026-03-14', 40), "
            "(100, 'x', '2026-03-07', 99), (101, 'y', '2026-03-14', -5)");
        const QHash<int, int> summen = Auslosungsdaten::summenLesen(t.a);
        QCOMPARE(summen.size(), 7);
        QCOMPARE(summen.value(103), 206);
        const QHash<int, int> rang = Auslosungsdaten::ranglistePunkte(t.haupt, heute);
        QCOMPARE(rang, (QHash<int, int> { { 100, 40 }, { 101, -5 } }));
        QVERIFY(Auslosungsdaten::ranglistePunkte(t.haupt, QDate(2026, 1, 1)).isEmpty());
    }

    // Correcting an earlier match day changes that day's data: the group's
    // series and sums, and the ranking row under that day's date, while the
    // rows of other days stay.
    void korrekturFrueherTag_data()
    {
        QTest::addColumn<QDate>("datum");
        QTest::newRow("frueherer Spieltag") << QDate(2026, 2, 1);
        QTest::newRow("heutiger Spieltag") << heute;
    }
    void korrekturFrueherTag()
    {
        QFETCH(QDate, datum);

        Tag t(datum);
        const QDate andererTag = datum == heute ? QDate(2026, 2, 1) : heute;
        sql(t.a, QStringLiteral("UPDATE Serie2 SET Punkte=10 WHERE StartNr=100"));
        sql(t.a, QStringLiteral("UPDATE Teilnehmer SET SummePunkte=10 WHERE StartNr=100"));
        sql(t.haupt,
            QStringLiteral("INSERT INTO Rangliste (StartNr, Name, Datum, Punkte) VALUES (100, 'Vor Name100', '%1', "
                           "10), (100, 'Vor Name100', '%2', 77)")
                .arg(datum.toString(Qt::ISODate), andererTag.toString(Qt::ISODate)));
        QSignalSpy ergebnis(&t.spieltag, &OffenerSpieltag::ergebnisGeaendert);
        QSignalSpy sitze(&t.spieltag, &OffenerSpieltag::sitzeGeaendert);

        OffenerSpieltag::Ergebnis e;
        e.startNr = 100;
        e.serie = 1;
        e.punkte = 23;
        QString fehler;
        QVERIFY2(t.spieltag.ergebnisseSpeichern(QStringLiteral("A"), { e }, &fehler), qPrintable(fehler));
        QVERIFY2(t.spieltag.tischSetzen(QStringLiteral("A"), 104, 1, 6, &fehler), qPrintable(fehler));
        QCOMPARE(t.rangliste(100, datum).toInt(), 33);
        QCOMPARE(t.rangliste(100, andererTag).toInt(), 77);
        QCOMPARE(wert(t.haupt, QStringLiteral("SELECT COUNT(*) FROM Rangliste")).toInt(), 2);
        QCOMPARE(t.spieltag.summen(QStringLiteral("A"), 100)->summePunkte, QStringLiteral("33"));
        QCOMPARE(t.tisch(1, 104), 6);
        QCOMPARE(ergebnis.size(), 1);
        QCOMPARE(sitze.size(), 1);
    }
};

REIZWERK_TEST(TstSitzoperationen)
#include "tst_sitzoperationen.moc"
