#include "testumgebung.h"

#include <QDir>
#include <QSignalSpy>
#include <QSqlQuery>

#include "draw/auslosungsdaten.h"
#include "spieltag/offenerspieltag.h"
#include "storage/datenbank.h"
#include "storage/schema.h"

using namespace Turnierbau;
using Ergebnisse = QVector<OffenerSpieltag::Ergebnis>;
Q_DECLARE_METATYPE(Ergebnisse)
using Sitze = QVector<Zuweisung>;
Q_DECLARE_METATYPE(Sitze)

namespace
{

const QDate tag(2026, 3, 14);

// A match day of one group "A" with participants 100..103 and two series,
// series 2 of 100 already holding 10 points and 2.0 costs.
struct Tag {
    OffenerSpieltag spieltag { QStringLiteral("spieltag_haupt") };
    QSqlDatabase haupt;
    QSqlDatabase gruppe;

    Tag()
    {
        const QString ordner = Testumgebung::datenOrdner();
        QDir().mkpath(ordner);
        haupt = Db::oeffnen(QStringLiteral("spieltag_haupt"), ordner + QStringLiteral("/reizwerk.db"));
        Schema::stammdatenbankAnlegen(haupt);
        gruppe = Db::oeffnen(QStringLiteral("A"), ordner + QStringLiteral("/A.db"));
        Schema::GruppenDaten g;
        g.name = QStringLiteral("A");
        g.datum = tag;
        g.serien = 2;
        QVector<Schema::TeilnehmerEintrag> t;
        for (int nr = 100; nr < 104; ++nr)
            t.append({ nr, QStringLiteral("Vor Name%1").arg(nr) });
        Schema::gruppeAnlegen(gruppe, g, t);
        sql(gruppe, QStringLiteral("UPDATE Serie2 SET Punkte=10, Kosten=2.0 WHERE StartNr=100"));
        sql(gruppe, QStringLiteral("UPDATE Teilnehmer SET SummePunkte=10, SummeKosten=2.0 WHERE StartNr=100"));
        spieltag.verbindungen().eintragen(QStringLiteral("A"));
    }
    ~Tag()
    {
        haupt = QSqlDatabase();
        gruppe = QSqlDatabase();
        Testumgebung::verbindungenSchliessen();
    }

    QVariant serie(int s, int nr, const char* spalte)
    {
        return wert(gruppe, QStringLiteral("SELECT %1 FROM Serie%2 WHERE StartNr=%3").arg(spalte).arg(s).arg(nr));
    }
    QVariant rangliste(int nr)
    {
        return wert(haupt,
            QStringLiteral("SELECT Punkte FROM Rangliste WHERE StartNr=%1 AND Datum='%2'")
                .arg(nr)
                .arg(tag.toString(Qt::ISODate)));
    }
};

OffenerSpieltag::Ergebnis punkte(int nr, int serie, int p)
{
    OffenerSpieltag::Ergebnis e;
    e.startNr = nr;
    e.serie = serie;
    e.punkte = p;
    return e;
}

OffenerSpieltag::Ergebnis kosten(int nr, int serie, double k)
{
    OffenerSpieltag::Ergebnis e;
    e.startNr = nr;
    e.serie = serie;
    e.kosten = k;
    return e;
}

} // namespace

class TstOffenerSpieltag : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    // What a stored entry leaves: the series cell, the sums from every
    // stored series, the ranking row of the group's date, and one signal per
    // changed series naming the participants.
    void speichern_data()
    {
        QTest::addColumn<Ergebnisse>("zeilen");
        QTest::addColumn<int>("punkte100"); // series 1
        QTest::addColumn<double>("kosten100"); // series 1
        QTest::addColumn<int>("summe100");
        QTest::addColumn<double>("summeKosten100");
        QTest::addColumn<QVariant>("rang100");
        QTest::addColumn<QVariant>("rang101");
        QTest::addColumn<int>("signale");

        QTest::newRow("punkte zur gespeicherten Serie")
            << Ergebnisse { punkte(100, 1, 23) } << 23 << 0.0 << 33 << 2.0 << QVariant(33) << QVariant() << 1;
        QTest::newRow("kosten mit einer Stelle")
            << Ergebnisse { kosten(100, 1, 1.26) } << 0 << 1.3 << 10 << 3.3 << QVariant(10) << QVariant() << 1;
        QTest::newRow("negative Punkte") << Ergebnisse { punkte(100, 1, -40) } << -40 << 0.0 << -30 << 2.0
                                         << QVariant(-30) << QVariant() << 1;
        QTest::newRow("ein Tisch, zwei Serien")
            << Ergebnisse { punkte(100, 1, 5), punkte(101, 1, 7), punkte(101, 2, 1) } << 5 << 0.0 << 15 << 2.0
            << QVariant(15) << QVariant(8) << 2;
        QTest::newRow("fremde Zeilen uebergangen")
            << Ergebnisse { punkte(999, 1, 5), punkte(100, 3, 9), punkte(100, 0, 9), punkte(100, 1, 4) } << 4 << 0.0
            << 14 << 2.0 << QVariant(14) << QVariant() << 1;
        QTest::newRow("nichts zu speichern")
            << Ergebnisse { punkte(999, 1, 5) } << 0 << 0.0 << 10 << 2.0 << QVariant() << QVariant() << 0;
    }
    void speichern()
    {
        QFETCH(Ergebnisse, zeilen);
        QFETCH(int, punkte100);
        QFETCH(double, kosten100);
        QFETCH(int, summe100);
        QFETCH(double, summeKosten100);
        QFETCH(QVariant, rang100);
        QFETCH(QVariant, rang101);
        QFETCH(int, signale);

        Tag t;
        QSignalSpy spy(&t.spieltag, &OffenerSpieltag::ergebnisGeaendert);
        QString fehler;
        QVERIFY2(t.spieltag.ergebnisseSpeichern(QStringLiteral("A"), zeilen, &fehler), qPrintable(fehler));
        QCOMPARE(t.serie(1, 100, "Punkte").toInt(), punkte100);
        QCOMPARE(t.serie(1, 100, "Kosten").toDouble(), kosten100);
        QCOMPARE(
            wert(t.gruppe, QStringLiteral("SELECT SummePunkte FROM Teilnehmer WHERE StartNr=100")).toInt(), summe100);
        QCOMPARE(wert(t.gruppe, QStringLiteral("SELECT SummeKosten FROM Teilnehmer WHERE StartNr=100")).toDouble(),
            summeKosten100);
        QCOMPARE(t.rangliste(100).isValid(), rang100.isValid());
        if (rang100.isValid())
            QCOMPARE(t.rangliste(100).toInt(), rang100.toInt());
        QCOMPARE(t.rangliste(101).isValid(), rang101.isValid());
        if (rang101.isValid())
            QCOMPARE(t.rangliste(101).toInt(), rang101.toInt());
        QCOMPARE(spy.size(), signale);
        if (signale > 0) {
            QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("A"));
            QVERIFY(spy.at(0).at(2).value<QVector<int>>().contains(zeilen.last().startNr));
        }
        // The view reads what it shows from the same store.
        const auto stand = t.spieltag.stand(QStringLiteral("A"), 100, 1);
        QVERIFY(stand);
        QCOMPARE(stand->punkte, QString::number(punkte100));
        QCOMPARE(stand->summePunkte, QString::number(summe100));
    }

    // A refused operation stores nothing (all lines or none), writes no
    // ranking, signals nothing and says why.
    void abgelehnt_data()
    {
        QTest::addColumn<QString>("gruppe");
        QTest::addColumn<QString>("vorher"); // statement that breaks the day first
        QTest::addColumn<QString>("fehlerteil");

        QTest::newRow("Gruppe nicht offen") << QStringLiteral("B") << QString() << QStringLiteral("nicht geoeffnet");
        QTest::newRow("Stammdatenbank ist keine Gruppe")
            << QStringLiteral("spieltag_haupt") << QString() << QStringLiteral("nicht geoeffnet");
        QTest::newRow("Serienzeile fehlt")
            << QStringLiteral("A") << QStringLiteral("DELETE FROM Serie1 WHERE StartNr=101") << QStringLiteral("101");
        QTest::newRow("Serientabelle fehlt")
            << QStringLiteral("A") << QStringLiteral("DROP TABLE Serie1") << QStringLiteral("Serie1");
        QTest::newRow("Gruppenzeile fehlt")
            << QStringLiteral("A") << QStringLiteral("DELETE FROM Gruppe") << QStringLiteral("Einstellungen");
        QTest::newRow("Serienanweisung scheitert")
            << QStringLiteral("A")
            << QStringLiteral(
                   "CREATE TRIGGER sperre BEFORE UPDATE ON Serie1 BEGIN SELECT RAISE(ABORT, 'gesperrt'); END")
            << QStringLiteral("gesperrt");
        // The series rows are written before the sums; those go back too.
        QTest::newRow("Summenanweisung scheitert")
            << QStringLiteral("A")
            << QStringLiteral("CREATE TRIGGER sperre BEFORE UPDATE ON "
                              "Teilnehmer BEGIN SELECT RAISE(ABORT, 'gesperrt'); END")
            << QStringLiteral("gesperrt");
    }
    void abgelehnt()
    {
        QFETCH(QString, gruppe);
        QFETCH(QString, vorher);
        QFETCH(QString, fehlerteil);

        Tag t;
        if (!vorher.isEmpty())
            sql(t.gruppe, vorher);
        QSignalSpy spy(&t.spieltag, &OffenerSpieltag::ergebnisGeaendert);
        QString fehler;
        QVERIFY(!t.spieltag.ergebnisseSpeichern(gruppe, { punkte(100, 1, 23), punkte(101, 1, 5) }, &fehler));
        QVERIFY2(fehler.contains(fehlerteil), qPrintable(fehler));
        QVERIFY(!fehler.startsWith(QLatin1String("FEHLER")));
        if (Db::tabelleVorhanden(t.gruppe, QStringLiteral("Serie1")))
            QCOMPARE(t.serie(1, 100, "Punkte").toInt(), 0);
        QCOMPARE(wert(t.gruppe, QStringLiteral("SELECT SummePunkte FROM Teilnehmer WHERE StartNr=100")).toInt(), 10);
        QVERIFY(!t.rangliste(100).isValid());
        QCOMPARE(spy.size(), 0);
    }

    // Inside a caller's transaction the store waits for it: rolled back,
    // nothing is stored, ranked or signalled; committed, the signal follows.
    void aeussereTransaktion()
    {
        Tag t;
        QSignalSpy spy(&t.spieltag, &OffenerSpieltag::ergebnisGeaendert);
        {
            Db::Transaktion aussen(t.gruppe);
            QVERIFY(t.spieltag.ergebnisseSpeichern(QStringLiteral("A"), { punkte(100, 1, 23) }));
            QCOMPARE(spy.size(), 0);
        }
        QCOMPARE(t.serie(1, 100, "Punkte").toInt(), 0);
        QVERIFY(!t.rangliste(100).isValid());
        QCOMPARE(spy.size(), 0);
        {
            Db::Transaktion aussen(t.gruppe);
            QVERIFY(t.spieltag.ergebnisseSpeichern(QStringLiteral("A"), { punkte(100, 1, 23) }));
            QCOMPARE(spy.size(), 0);
            QVERIFY(aussen.abschliessen());
        }
        QCOMPARE(spy.size(), 1);
        QCOMPARE(t.rangliste(100).toInt(), 33);
    }

    // The seats of a series are stored all or none, a draw's number with
    // them; a refusal leaves the series, the number and the views as they were.
    void sitze_data()
    {
        QTest::addColumn<QString>("gruppe");
        QTest::addColumn<int>("serie");
        QTest::addColumn<Sitze>("sitze");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("fehlerteil");

        const Sitze tisch { { 1, 1, 100 }, { 1, 2, 101 }, { 1, 3, 102 }, { 1, 4, 103 } };
        QTest::newRow("ein Tisch") << QStringLiteral("A") << 2 << tisch << true << QString();
        QTest::newRow("inaktiv markiert")
            << QStringLiteral("A") << 1 << Sitze { { 1, 1, 100 }, { -1, 0, 101 } } << true << QString();
        QTest::newRow("Teilnehmer ohne Zeile")
            << QStringLiteral("A") << 1 << (Sitze(tisch) << Zuweisung { 2, 1, 999 }) << false << QStringLiteral("999");
        QTest::newRow("Serie fehlt") << QStringLiteral("A") << 3 << tisch << false << QStringLiteral("Serie3");
        QTest::newRow("Serie 0") << QStringLiteral("A") << 0 << tisch << false << QStringLiteral("Serie 0");
        QTest::newRow("Gruppe nicht offen")
            << QStringLiteral("B") << 1 << tisch << false << QStringLiteral("nicht geoeffnet");
    }
    void sitze()
    {
        QFETCH(QString, gruppe);
        QFETCH(int, serie);
        QFETCH(Sitze, sitze);
        QFETCH(bool, ok);
        QFETCH(QString, fehlerteil);

        Tag t;
        QSignalSpy spy(&t.spieltag, &OffenerSpieltag::sitzeGeaendert);
        const Spieltag::Losung losung { 4711, 1, 0 };
        QString fehler;
        QCOMPARE(t.spieltag.sitzeSpeichern(gruppe, serie, sitze, losung, &fehler), ok);
        QVERIFY2(fehler.contains(fehlerteil), qPrintable(fehler));
        QCOMPARE(spy.size(), ok ? 1 : 0);
        const int s = qBound(1, serie, 2);
        for (const Zuweisung& z : sitze) {
            if (z.startNr == 999)
                continue;
            QCOMPARE(t.serie(s, z.startNr, "Tisch").toInt(), ok ? z.tisch : 0);
            QCOMPARE(t.serie(s, z.startNr, "TischIntern").toInt(), ok ? z.sitz : 0);
        }
        const std::optional<Spieltag::Losung> gespeichert = Auslosungsdaten::losungLesen(t.gruppe, s);
        QCOMPARE(bool(gespeichert), ok);
        if (ok)
            QCOMPARE(gespeichert->losnummer, losung.losnummer);
    }

    // The prize-skat flag is stored for a participant the group has, and
    // refused (saying why) for one it does not have.
    void preisskat_data()
    {
        QTest::addColumn<QString>("gruppe");
        QTest::addColumn<int>("startNr");
        QTest::addColumn<bool>("ok");

        QTest::newRow("gesetzt") << QStringLiteral("A") << 101 << true;
        QTest::newRow("unbekannter Teilnehmer") << QStringLiteral("A") << 999 << false;
        QTest::newRow("Gruppe nicht offen") << QStringLiteral("B") << 101 << false;
    }
    void preisskat()
    {
        QFETCH(QString, gruppe);
        QFETCH(int, startNr);
        QFETCH(bool, ok);

        Tag t;
        QString fehler;
        QCOMPARE(t.spieltag.preisskatSetzen(gruppe, startNr, true, &fehler), ok);
        QCOMPARE(fehler.isEmpty(), ok);
        QCOMPARE(t.spieltag.preisskat(QStringLiteral("A"), 101), std::optional<bool>(ok));
        QVERIFY(!t.spieltag.preisskat(QStringLiteral("A"), 999));
        QCOMPARE(t.spieltag.summen(QStringLiteral("A"), 100)->summeKosten, QStringLiteral("2.0"));
    }
    // A batch is stored whole or not at all, wherever its refused line
    // stands: no series cell, sum, ranking row or signal of the valid lines
    // stays behind, and the next batch is stored as usual.
    void stapelGanzOderGarNicht_data()
    {
        QTest::addColumn<int>("stelle"); // where the refused line stands
        QTest::newRow("zuerst") << 0;
        QTest::newRow("mitten") << 2;
        QTest::newRow("zuletzt") << 4;
    }
    void stapelGanzOderGarNicht()
    {
        QFETCH(int, stelle);
        Tag t;
        // 103 has lost his row of series 2: his line cannot be stored.
        sql(t.gruppe, QStringLiteral("DELETE FROM Serie2 WHERE StartNr=103"));
        Ergebnisse zeilen { punkte(100, 1, 11), kosten(101, 1, 1.5), punkte(102, 2, 7), punkte(101, 2, 4) };
        zeilen.insert(stelle, punkte(103, 2, 3));
        QSignalSpy spy(&t.spieltag, &OffenerSpieltag::ergebnisGeaendert);
        QString fehler;
        QVERIFY(!t.spieltag.ergebnisseSpeichern(QStringLiteral("A"), zeilen, &fehler));
        QVERIFY2(fehler.contains(QLatin1String("103")), qPrintable(fehler));
        QCOMPARE(t.serie(1, 100, "Punkte").toInt(), 0);
        QCOMPARE(t.serie(1, 101, "Kosten").toDouble(), 0.0);
        QCOMPARE(t.serie(2, 102, "Punkte").toInt(), 0);
        QCOMPARE(t.serie(2, 101, "Punkte").toInt(), 0);
        QCOMPARE(t.serie(2, 100, "Punkte").toInt(), 10);
        const QString summen = QStringLiteral("SELECT group_concat(SummePunkte || '/' || SummeKosten, ' ') FROM "
                                              "(SELECT * FROM Teilnehmer ORDER BY StartNr)");
        QCOMPARE(wert(t.gruppe, summen).toString(), QStringLiteral("10/2 0/0 0/0 0/0"));
        QCOMPARE(wert(t.haupt, QStringLiteral("SELECT COUNT(*) FROM Rangliste")).toInt(), 0);
        QCOMPARE(spy.size(), 0);

        zeilen.removeAt(stelle);
        QVERIFY2(t.spieltag.ergebnisseSpeichern(QStringLiteral("A"), zeilen, &fehler), qPrintable(fehler));
        QCOMPARE(wert(t.gruppe, summen).toString(), QStringLiteral("21/2 4/1.5 7/0 0/0"));
        QCOMPARE(t.rangliste(100).toInt(), 21);
        QCOMPARE(t.rangliste(101).toInt(), 4);
        QCOMPARE(t.rangliste(102).toInt(), 7);
        QVERIFY(!t.rangliste(103).isValid());
        QCOMPARE(spy.size(), 2);
    }

    // The ranking has one row per participant and day, however many lines
    // and stores name him; it keeps the name of the day's first store and
    // follows the sum of every later one.
    void ranglisteEineZeile()
    {
        Tag t;
        QVERIFY(t.spieltag.ergebnisseSpeichern(
            QStringLiteral("A"), { punkte(101, 1, 5), punkte(101, 2, 6), kosten(101, 1, 0.5) }));
        sql(t.gruppe, QStringLiteral("UPDATE Teilnehmer SET Name='Neu' WHERE StartNr=101"));
        QVERIFY(t.spieltag.ergebnisseSpeichern(QStringLiteral("A"), { punkte(101, 1, 20) }));
        const QString zeilen
            = QStringLiteral("SELECT COUNT(*), MIN(Name), MIN(Punkte) FROM Rangliste WHERE StartNr=101 AND Datum='%1'")
                  .arg(tag.toString(Qt::ISODate));
        QSqlQuery q(t.haupt);
        QVERIFY(q.exec(zeilen) && q.next());
        QCOMPARE(q.value(0).toInt(), 1);
        QCOMPARE(q.value(1).toString(), QStringLiteral("Vor Name101"));
        QCOMPARE(q.value(2).toInt(), 26);
    }

    // A connection closed and opened again, on the same file or on another
    // day's file under the same name, stores and reads as a new one would.
    void verbindungNeuGeoeffnet()
    {
        Tag t;
        QVERIFY(t.spieltag.ergebnisseSpeichern(QStringLiteral("A"), { punkte(100, 1, 1) }));
        QCOMPARE(t.spieltag.stand(QStringLiteral("A"), 100, 1)->summePunkte, QStringLiteral("11"));
        t.gruppe.close();
        QVERIFY(t.gruppe.open());
        QString fehler;
        QVERIFY2(t.spieltag.ergebnisseSpeichern(QStringLiteral("A"), { punkte(100, 1, 2) }, &fehler), qPrintable(fehler));
        QCOMPARE(t.spieltag.stand(QStringLiteral("A"), 100, 1)->summePunkte, QStringLiteral("12"));

        t.gruppe = QSqlDatabase();
        const QString anderer = Testumgebung::datenOrdner() + QStringLiteral("/A2.db");
        t.gruppe = Db::oeffnen(QStringLiteral("A"), anderer);
        QVERIFY(t.gruppe.isOpen());
        Schema::GruppenDaten g;
        g.name = QStringLiteral("A");
        g.datum = tag.addDays(7);
        g.serien = 3;
        Schema::gruppeAnlegen(t.gruppe, g, { { 100, QStringLiteral("Vor Name100") } });
        QVERIFY2(t.spieltag.ergebnisseSpeichern(QStringLiteral("A"), { punkte(100, 3, 9) }, &fehler), qPrintable(fehler));
        QCOMPARE(t.spieltag.stand(QStringLiteral("A"), 100, 3)->summePunkte, QStringLiteral("9"));
        QCOMPARE(t.serie(3, 100, "Punkte").toInt(), 9);
        QCOMPARE(wert(t.haupt, QStringLiteral("SELECT Punkte FROM Rangliste WHERE StartNr=100 AND Datum='%1'")
                                   .arg(tag.addDays(7).toString(Qt::ISODate)))
                     .toInt(),
            9);
        QCOMPARE(t.rangliste(100).toInt(), 12);
    }

    // The sums read every series as stored: of a participant's rows in a
    // series the first, a series without his row adds nothing, values are
    // read as numbers the way the rest of the program reads them, and a
    // group missing a series table still sums the others.
    void summenAusSerien_data()
    {
        QTest::addColumn<QStringList>("vorher"); // statements on the group first
        QTest::addColumn<int>("summe100");
        QTest::addColumn<QString>("summeKosten100");

        // Series 1 gets 5 points below; series 2 holds 10 and 2.0.
        QTest::newRow("gespeichert") << QStringList() << 15 << QStringLiteral("2");
        QTest::newRow("doppelte Zeile: die erste zaehlt")
            << QStringList { QStringLiteral("INSERT INTO Serie2 (StartNr, Punkte, Kosten) VALUES (100, 50, '7.0')") }
            << 15 << QStringLiteral("2");
        QTest::newRow("doppelte Zeile: die erste auch ohne Index")
            << QStringList { QStringLiteral("DROP INDEX IF EXISTS Serie2_StartNr"),
                   QStringLiteral("DELETE FROM Serie2 WHERE StartNr=100"),
                   QStringLiteral("INSERT INTO Serie2 (StartNr, Punkte, Kosten) VALUES (100, 4, '1.5')"),
                   QStringLiteral("INSERT INTO Serie2 (StartNr, Punkte, Kosten) VALUES (100, 50, '7.0')") }
            << 9 << QStringLiteral("1.5");
        QTest::newRow("ohne Zeile in Serie 2")
            << QStringList { QStringLiteral("DELETE FROM Serie2 WHERE StartNr=100") } << 5 << QStringLiteral("0");
        QTest::newRow("Text statt Zahlen")
            << QStringList { QStringLiteral("UPDATE Serie2 SET Punkte='12abc', Kosten='x' WHERE StartNr=100") } << 5
            << QStringLiteral("0");
        QTest::newRow("Zahlen als Text") << QStringList {
            QStringLiteral("UPDATE Serie2 SET Punkte='12', Kosten='3.5' WHERE StartNr=100")
        } << 17 << QStringLiteral("3.5");
        QTest::newRow("Serientabelle fehlt")
            << QStringList { QStringLiteral("DROP TABLE Serie2") } << 5 << QStringLiteral("0");
    }
    void summenAusSerien()
    {
        QFETCH(QStringList, vorher);
        QFETCH(int, summe100);
        QFETCH(QString, summeKosten100);

        Tag t;
        // A store before, so the indexes exist and the statements are kept.
        QVERIFY(t.spieltag.ergebnisseSpeichern(QStringLiteral("A"), { punkte(103, 1, 1) }));
        for (const QString& v : vorher)
            sql(t.gruppe, v);
        QString fehler;
        QVERIFY2(t.spieltag.ergebnisseSpeichern(QStringLiteral("A"), { punkte(100, 1, 5), punkte(101, 1, 3) }, &fehler),
            qPrintable(fehler));
        QCOMPARE(
            wert(t.gruppe, QStringLiteral("SELECT SummePunkte FROM Teilnehmer WHERE StartNr=100")).toInt(), summe100);
        QCOMPARE(wert(t.gruppe, QStringLiteral("SELECT SummeKosten FROM Teilnehmer WHERE StartNr=100")).toString(),
            summeKosten100);
        QCOMPARE(t.rangliste(100).toInt(), summe100);
        // The other participant of the same call is summed apart.
        QCOMPARE(wert(t.gruppe, QStringLiteral("SELECT SummePunkte FROM Teilnehmer WHERE StartNr=101")).toInt(), 3);
        QCOMPARE(t.rangliste(101).toInt(), 3);
    }

    // Many participants stored in one call are read in several bundles:
    // every one's sums equal those read series by series, one at a time.
    void summenVielerTeilnehmer()
    {
        const QString ordner = Testumgebung::datenOrdner();
        QDir().mkpath(ordner);
        OffenerSpieltag spieltag(QStringLiteral("viele_haupt"));
        QSqlDatabase haupt = Db::oeffnen(QStringLiteral("viele_haupt"), ordner + QStringLiteral("/reizwerk.db"));
        Schema::stammdatenbankAnlegen(haupt);
        QSqlDatabase gruppe = Db::oeffnen(QStringLiteral("V"), ordner + QStringLiteral("/V.db"));
        Schema::GruppenDaten g;
        g.name = QStringLiteral("V");
        g.datum = tag;
        g.serien = 3;
        QVector<Schema::TeilnehmerEintrag> teilnehmer;
        constexpr int anzahl = 123;
        for (int nr = 100; nr < 100 + anzahl; ++nr)
            teilnehmer.append({ nr, QStringLiteral("Vor Name%1").arg(nr) });
        Schema::gruppeAnlegen(gruppe, g, teilnehmer);
        spieltag.verbindungen().eintragen(QStringLiteral("V"));
        // Series 2 and 3 hold differing values, some doubled, some missing.
        for (int nr = 100; nr < 100 + anzahl; ++nr) {
            sql(gruppe,
                QStringLiteral("UPDATE Serie2 SET Punkte=%1, Kosten='%2' WHERE StartNr=%3")
                    .arg(nr % 7 - 3)
                    .arg(nr % 4 * 0.5)
                    .arg(nr));
            sql(gruppe,
                QStringLiteral("UPDATE Serie3 SET Punkte=%1, Kosten='%2' WHERE StartNr=%3")
                    .arg(nr % 11)
                    .arg(nr % 3 * 1.5)
                    .arg(nr));
            if (nr % 10 == 0)
                sql(gruppe,
                    QStringLiteral("INSERT INTO Serie3 (StartNr, Punkte, Kosten) VALUES (%1, 1000, '9.0')").arg(nr));
            if (nr % 13 == 0)
                sql(gruppe, QStringLiteral("DELETE FROM Serie2 WHERE StartNr=%1").arg(nr));
        }
        QVector<OffenerSpieltag::Ergebnis> zeilen;
        for (int nr = 100 + anzahl - 1; nr >= 100; --nr)
            zeilen << punkte(nr, 1, nr % 5);
        QSignalSpy spy(&spieltag, &OffenerSpieltag::ergebnisGeaendert);
        QString fehler;
        QVERIFY2(spieltag.ergebnisseSpeichern(QStringLiteral("V"), zeilen, &fehler), qPrintable(fehler));
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(2).value<QVector<int>>().size(), anzahl);

        for (int nr = 100; nr < 100 + anzahl; ++nr) {
            int p = 0;
            double k = 0.0;
            for (int s = 1; s <= 3; ++s) {
                QSqlQuery q(gruppe);
                QVERIFY(q.exec(QStringLiteral("SELECT Punkte, Kosten FROM Serie%1 WHERE StartNr=%2 ORDER BY rowid")
                                   .arg(s)
                                   .arg(nr)));
                if (q.next()) {
                    p += q.value(0).toInt();
                    k += q.value(1).toDouble();
                }
            }
            QCOMPARE(
                wert(gruppe, QStringLiteral("SELECT SummePunkte FROM Teilnehmer WHERE StartNr=%1").arg(nr)).toInt(), p);
            QCOMPARE(
                wert(gruppe, QStringLiteral("SELECT SummeKosten FROM Teilnehmer WHERE StartNr=%1").arg(nr)).toDouble(),
                k);
            QCOMPARE(wert(haupt, QStringLiteral("SELECT Punkte FROM Rangliste WHERE StartNr=%1").arg(nr)).toInt(), p);
        }
        haupt = QSqlDatabase();
        gruppe = QSqlDatabase();
        Testumgebung::verbindungenSchliessen();
    }

    // Several participants' state read together: each as stored, those the
    // series does not have left out, however long the list.
    void staende()
    {
        Tag t;
        QVERIFY(t.spieltag.ergebnisseSpeichern(
            QStringLiteral("A"), { punkte(101, 2, 6), kosten(102, 2, 1.26), punkte(103, 1, 2) }));
        QVector<int> nrs;
        for (int i = 0; i < 40; ++i)
            nrs << (i % 5 == 4 ? 999 : 100 + i % 5);
        const QHash<int, OffenerSpieltag::Stand> s = t.spieltag.staende(QStringLiteral("A"), 2, nrs);
        QCOMPARE(s.size(), 4);
        QCOMPARE(s.value(100).punkte, QStringLiteral("10"));
        QCOMPARE(s.value(100).kosten, QStringLiteral("2.0"));
        QCOMPARE(s.value(101).punkte, QStringLiteral("6"));
        QCOMPARE(s.value(101).summePunkte, QStringLiteral("6"));
        QCOMPARE(s.value(102).kosten, QStringLiteral("1.3"));
        QCOMPARE(s.value(102).summeKosten, QStringLiteral("1.3"));
        QCOMPARE(s.value(103).punkte, QStringLiteral("0"));
        QCOMPARE(s.value(103).summePunkte, QStringLiteral("2"));
        // A bundle filled up with repeats of the last one reads each once.
        const QHash<int, OffenerSpieltag::Stand> drei = t.spieltag.staende(QStringLiteral("A"), 2, { 103, 101, 102 });
        QCOMPARE(drei.size(), 3);
        QCOMPARE(drei.value(101).punkte, QStringLiteral("6"));
        QCOMPARE(drei.value(102).kosten, QStringLiteral("1.3"));
        QCOMPARE(drei.value(103).summePunkte, QStringLiteral("2"));
        QVERIFY(t.spieltag.staende(QStringLiteral("A"), 3, nrs).isEmpty());
        QVERIFY(t.spieltag.staende(QStringLiteral("B"), 2, nrs).isEmpty());
    }

    // While a store announces its change the views get what it read back in
    // its own transaction; that must be exactly what reading the file gives
    // (sums of costs as their stored text reads back), and nothing of it
    // may outlive the announcement.
    void staendeBeimMelden()
    {
        Tag t;
        struct Meldung {
            int serie;
            QHash<int, OffenerSpieltag::Stand> geaendert, andereSerie;
        };
        QVector<Meldung> gemeldet;
        connect(&t.spieltag, &OffenerSpieltag::ergebnisGeaendert, this,
            [&](const QString& g, int serie, const QVector<int>& nrs) {
                QVector<int> mit = nrs;
                mit << 102 << 999; // untouched and unknown: read from the file
                gemeldet.append({ serie, t.spieltag.staende(g, serie, mit), t.spieltag.staende(g, 3 - serie, nrs) });
            });
        auto gleich = [&](const Meldung& m, const QString& wo) {
            for (const auto* h : { &m.geaendert, &m.andereSerie }) {
                const int serie = h == &m.geaendert ? m.serie : 3 - m.serie;
                const QHash<int, OffenerSpieltag::Stand> datei
                    = t.spieltag.staende(QStringLiteral("A"), serie, h->keys().toVector());
                QVERIFY2(datei.size() == h->size(), qPrintable(wo));
                for (auto it = h->cbegin(); it != h->cend(); ++it) {
                    const OffenerSpieltag::Stand& d = datei.value(it.key());
                    const QString was = QStringLiteral("%1, Serie %2, Nr. %3").arg(wo).arg(serie).arg(it.key());
                    QVERIFY2(it->punkte == d.punkte && it->kosten == d.kosten && it->summePunkte == d.summePunkte
                            && it->summeKosten == d.summeKosten,
                        qPrintable(QStringLiteral("%1: %2/%3/%4/%5 gemeldet, %6/%7/%8/%9 gespeichert")
                                       .arg(was, it->punkte, it->kosten, it->summePunkte, it->summeKosten, d.punkte,
                                           d.kosten, d.summePunkte, d.summeKosten)));
                }
            }
        };

        QVERIFY(t.spieltag.ergebnisseSpeichern(QStringLiteral("A"),
            { kosten(100, 1, 1234567.891), kosten(101, 1, 0.1), kosten(101, 2, 0.2), punkte(103, 1, -7) }));
        QCOMPARE(gemeldet.size(), 2);
        QCOMPARE(gemeldet.at(0).geaendert.size(), 4); // 100, 101, 103 and 102 from the file
        QCOMPARE(gemeldet.at(0).geaendert.value(102).summePunkte, QStringLiteral("0"));
        for (const Meldung& m : gemeldet)
            gleich(m, QStringLiteral("ein Aufruf"));
        // The sum of costs as its six-digit text reads back, not the exact sum.
        QCOMPARE(gemeldet.at(0).geaendert.value(100).summeKosten,
            t.spieltag.staende(QStringLiteral("A"), 1, { 100 }).value(100).summeKosten);

        // Two stores of one participant in the caller's transaction: each
        // announces what it read, the last one what the file holds.
        gemeldet.clear();
        {
            Db::Transaktion aussen(t.gruppe);
            QVERIFY(t.spieltag.ergebnisseSpeichern(QStringLiteral("A"), { punkte(100, 1, 5) }));
            QVERIFY(t.spieltag.ergebnisseSpeichern(QStringLiteral("A"), { punkte(100, 2, 7), kosten(100, 1, 0.55) }));
            QVERIFY(aussen.abschliessen());
        }
        QCOMPARE(gemeldet.size(), 3);
        QCOMPARE(gemeldet.at(0).geaendert.value(100).punkte, QStringLiteral("5"));
        QCOMPARE(gemeldet.at(0).geaendert.value(100).summePunkte, QStringLiteral("15"));
        gleich(gemeldet.at(1), QStringLiteral("zweiter Aufruf"));
        gleich(gemeldet.at(2), QStringLiteral("zweiter Aufruf"));
        QCOMPARE(gemeldet.at(2).geaendert.value(100).summePunkte, QStringLiteral("12"));

        // Afterwards the file is read again: a change made beside the store
        // shows.
        sql(t.gruppe, QStringLiteral("UPDATE Serie1 SET Punkte=77 WHERE StartNr=100"));
        QCOMPARE(t.spieltag.staende(QStringLiteral("A"), 1, { 100 }).value(100).punkte, QStringLiteral("77"));
    }
};

REIZWERK_TEST(TstOffenerSpieltag)
#include "tst_offenerspieltag.moc"
