#include "testumgebung.h"

#include <QDir>
#include <QSignalSpy>
#include <QSqlQuery>

#include "roster/spielerauswahl.h"
#include "spieltag/offenerspieltag.h"
#include "storage/datenbank.h"
#include "storage/gruppendaten.h"
#include "storage/schema.h"

using namespace Turnierbau;
using Nummern = QVector<int>;
Q_DECLARE_METATYPE(Nummern)

namespace
{

const QDate tag(2026, 5, 9);
const QString hauptName = QStringLiteral("tlnop_haupt");

// How a case makes the database refuse: a table gone, or a connection that
// only reads.
enum Stoerung { keine, tabelleWeg, nurLesen };

// The roster holds 100..105 (101 with prize skat); group "A" of the day has
// 100..102 in three series, series 1 drawn, 102 sitting out series 2. The
// ranking holds two rows of the day and one of another.
struct Tag {
    OffenerSpieltag spieltag { hauptName };
    QSqlDatabase haupt;
    QSqlDatabase gruppe;

    Tag()
    {
        const QString ordner = Testumgebung::datenOrdner();
        QDir().mkpath(ordner);
        haupt = Db::oeffnen(hauptName, ordner + QStringLiteral("/reizwerk.db"));
        Schema::stammdatenbankAnlegen(haupt);
        for (int nr = 100; nr < 106; ++nr)
            sql(haupt,
                QStringLiteral("INSERT INTO Spieler VALUES (%1, 'Vor', 'Nach%1', '%2', 'Ja', '%3')")
                    .arg(nr)
                    .arg(nr < 104 ? "Herren" : "Damen")
                    .arg(nr == 101 ? "Ja" : "Nein"));
        sql(haupt, QStringLiteral("INSERT INTO Rangliste VALUES (100, 'Vor Nach100', '2026-05-09', 10)"));
        sql(haupt, QStringLiteral("INSERT INTO Rangliste VALUES (101, 'Vor Nach101', '2026-05-09', 20)"));
        sql(haupt, QStringLiteral("INSERT INTO Rangliste VALUES (100, 'Vor Nach100', '2026-04-01', 30)"));
        spieltag.verbindungen().eintragen(hauptName);

        gruppe = Db::oeffnen(QStringLiteral("A"), ordner + QStringLiteral("/A.db"));
        Schema::GruppenDaten g;
        g.name = QStringLiteral("A");
        g.datum = tag;
        g.serien = 3;
        g.ersterTisch = 1;
        g.letzterTisch = 1;
        QVector<Schema::TeilnehmerEintrag> t;
        for (int nr = 100; nr < 103; ++nr)
            t.append({ nr, QStringLiteral("Vor Nach%1").arg(nr) });
        Schema::gruppeAnlegen(gruppe, g, t);
        sitze(gruppe, 1, { { 100, 1, 1 }, { 101, 1, 2 }, { 102, 1, 3 } });
        sql(gruppe, QStringLiteral("UPDATE Serie2 SET Aktiv=0 WHERE StartNr=102"));
        spieltag.verbindungen().eintragen(QStringLiteral("A"));
    }
    ~Tag()
    {
        haupt = QSqlDatabase();
        gruppe = QSqlDatabase();
        Testumgebung::verbindungenSchliessen();
    }

    static void stoeren(QSqlDatabase db, Stoerung s, const QString& tabelle)
    {
        if (s == tabelleWeg)
            sql(db, QStringLiteral("DROP TABLE %1").arg(tabelle));
        else if (s == nurLesen)
            sql(db, QStringLiteral("PRAGMA query_only=1"));
    }
    QVariant serie(int s, int nr, const char* spalte)
    {
        return wert(gruppe, QStringLiteral("SELECT %1 FROM Serie%2 WHERE StartNr=%3").arg(spalte).arg(s).arg(nr));
    }
    Nummern teilnehmer()
    {
        Nummern n;
        for (const QVariant& v : spalte(gruppe, QStringLiteral("SELECT StartNr FROM Teilnehmer ORDER BY StartNr")))
            n << v.toInt();
        return n;
    }
};

NachmeldeListe liste(const Nummern& nummern)
{
    NachmeldeListe l;
    for (int nr : nummern)
        l.insert(nr, NachmeldeSpieler { nr == 104, true, QStringLiteral("Vor Nach%1").arg(nr) });
    return l;
}

} // namespace

class TstTeilnehmerOperationen : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    // Late registration: all chosen or nobody, sitting out the drawn series,
    // one signal after the commit and none when nothing changed.
    void nachmelden_data()
    {
        QTest::addColumn<QString>("gruppe");
        QTest::addColumn<Nummern>("nummern");
        QTest::addColumn<int>("stoerung");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<Nummern>("danach");
        QTest::addColumn<int>("signale");

        const Nummern vorher { 100, 101, 102 };
        QTest::newRow("einer") << "A" << Nummern { 104 } << int(keine) << true << Nummern { 100, 101, 102, 104 } << 1;
        QTest::newRow("zwei") << "A" << Nummern { 103, 105 } << int(keine) << true
                              << Nummern { 100, 101, 102, 103, 105 } << 1;
        QTest::newRow("schon Teilnehmer") << "A" << Nummern { 101 } << int(keine) << true << vorher << 0;
        QTest::newRow("Startnummer nicht im Roster")
            << "A" << Nummern { 103, 999 } << int(keine) << false << vorher << 0;
        QTest::newRow("Gruppe unbekannt") << "X" << Nummern { 103 } << int(keine) << false << vorher << 0;
        QTest::newRow("Serie fehlt") << "A" << Nummern { 103 } << int(tabelleWeg) << false << vorher << 0;
        QTest::newRow("nur lesbar") << "A" << Nummern { 103 } << int(nurLesen) << false << vorher << 0;
    }
    void nachmelden()
    {
        QFETCH(QString, gruppe);
        QFETCH(Nummern, nummern);
        QFETCH(int, stoerung);
        QFETCH(bool, ok);
        QFETCH(Nummern, danach);
        QFETCH(int, signale);

        Tag t;
        Tag::stoeren(t.gruppe, Stoerung(stoerung), QStringLiteral("Serie3"));
        QSignalSpy spy(&t.spieltag, &OffenerSpieltag::teilnehmerGeaendert);
        Teilnehmerpflege::NachmeldeErgebnis e;
        QString fehler;
        const bool r = t.spieltag.nachmelden(gruppe, liste(nummern), &e, &fehler);
        QCOMPARE(r, ok);
        QCOMPARE(fehler.isEmpty(), ok);
        if (stoerung == nurLesen)
            sql(t.gruppe, QStringLiteral("PRAGMA query_only=0"));
        QCOMPARE(t.teilnehmer(), danach);
        QCOMPARE(spy.count(), signale);
        if (signale > 0)
            QCOMPARE(spy.at(0).at(0).toString(), gruppe);
        if (!ok)
            return;
        QCOMPARE(e.eingetragen.size() + e.schonTeilnehmer.size(), nummern.size());
        // Series 1 is drawn: a newcomer sits it out, stored as table -1.
        QCOMPARE(e.inaktivIn, QVector<int> { 1 });
        for (int nr : e.eingetragen.keys()) {
            QCOMPARE(t.serie(1, nr, "Aktiv").toInt(), 0);
            QCOMPARE(t.serie(1, nr, "Tisch").toInt(), -1);
            QCOMPARE(t.serie(3, nr, "Aktiv").toInt(), 1);
            QCOMPARE(
                wert(t.gruppe, QStringLiteral("SELECT Preisskat FROM Teilnehmer WHERE StartNr=%1").arg(nr)).toInt(),
                nr == 104 ? 1 : 0);
        }
    }

    void aktivSetzen_data()
    {
        QTest::addColumn<QString>("gruppe");
        QTest::addColumn<int>("serie");
        QTest::addColumn<int>("startNr");
        QTest::addColumn<bool>("aktiv");
        QTest::addColumn<int>("stoerung");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("gespeichert"); // Aktiv of 101 in series 2, or of 102 for 102
        QTest::addColumn<int>("signale");

        QTest::newRow("aussetzen") << "A" << 2 << 101 << false << int(keine) << true << 0 << 1;
        QTest::newRow("wieder dabei") << "A" << 2 << 102 << true << int(keine) << true << 1 << 1;
        QTest::newRow("unveraendert") << "A" << 2 << 101 << true << int(keine) << true << 1 << 0;
        QTest::newRow("Startnummer unbekannt") << "A" << 2 << 999 << false << int(keine) << false << 1 << 0;
        QTest::newRow("Serie 0") << "A" << 0 << 101 << false << int(keine) << false << 1 << 0;
        QTest::newRow("Serie hinter der letzten") << "A" << 4 << 101 << false << int(keine) << false << 1 << 0;
        QTest::newRow("Gruppe unbekannt") << "X" << 2 << 101 << false << int(keine) << false << 1 << 0;
        QTest::newRow("nur lesbar") << "A" << 2 << 101 << false << int(nurLesen) << false << 1 << 0;
        QTest::newRow("Serie fehlt") << "A" << 2 << 101 << false << int(tabelleWeg) << false << -1 << 0;
    }
    void aktivSetzen()
    {
        QFETCH(QString, gruppe);
        QFETCH(int, serie);
        QFETCH(int, startNr);
        QFETCH(bool, aktiv);
        QFETCH(int, stoerung);
        QFETCH(bool, ok);
        QFETCH(int, gespeichert);
        QFETCH(int, signale);

        Tag t;
        Tag::stoeren(t.gruppe, Stoerung(stoerung), QStringLiteral("Serie2"));
        QSignalSpy spy(&t.spieltag, &OffenerSpieltag::teilnehmerGeaendert);
        QString fehler;
        QCOMPARE(t.spieltag.aktivSetzen(gruppe, serie, startNr, aktiv, &fehler), ok);
        QCOMPARE(fehler.isEmpty(), ok);
        QCOMPARE(spy.count(), signale);
        if (gespeichert >= 0)
            QCOMPARE(t.serie(2, startNr == 102 ? 102 : 101, "Aktiv").toInt(), gespeichert);
        // Nothing else moved.
        if (stoerung != tabelleWeg)
            QCOMPARE(t.serie(2, 100, "Aktiv").toInt(), 1);
    }

    void preisskatUebergeben_data()
    {
        QTest::addColumn<int>("startNr");
        QTest::addColumn<bool>("ja");
        QTest::addColumn<int>("stoerung");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("gespeichert"); // Preisskat of the roster row
        QTest::addColumn<int>("signale");

        QTest::newRow("Ja") << 100 << true << int(keine) << true << "Ja" << 1;
        QTest::newRow("Nein") << 101 << false << int(keine) << true << "Nein" << 1;
        QTest::newRow("unveraendert") << 101 << true << int(keine) << true << "Ja" << 0;
        QTest::newRow("nicht im Roster") << 999 << true << int(keine) << false << QString() << 0;
        QTest::newRow("nur lesbar") << 100 << true << int(nurLesen) << false << "Nein" << 0;
        QTest::newRow("Roster fehlt") << 100 << true << int(tabelleWeg) << false << QString() << 0;
    }
    void preisskatUebergeben()
    {
        QFETCH(int, startNr);
        QFETCH(bool, ja);
        QFETCH(int, stoerung);
        QFETCH(bool, ok);
        QFETCH(QString, gespeichert);
        QFETCH(int, signale);

        Tag t;
        Tag::stoeren(t.haupt, Stoerung(stoerung), QStringLiteral("Spieler"));
        QSignalSpy spy(&t.spieltag, &OffenerSpieltag::spielerGeaendert);
        QString fehler;
        QCOMPARE(t.spieltag.preisskatUebergeben(startNr, ja, &fehler), ok);
        QCOMPARE(fehler.isEmpty(), ok);
        QCOMPARE(spy.count(), signale);
        if (signale > 0)
            QCOMPARE(spy.at(0).at(0).toInt(), startNr);
        if (!gespeichert.isEmpty())
            QCOMPARE(
                wert(t.haupt, QStringLiteral("SELECT Preisskat FROM Spieler WHERE StartNr=%1").arg(startNr)).toString(),
                gespeichert);
    }

    // A confirmed group's file: created with its participants and
    // registered, or neither; a file that holds the group keeps it.
    void gruppeAnlegen_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("vorher"); // statement run on the file first, or "-" for a path that cannot be
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("teilnehmer");
        QTest::addColumn<int>("signale");

        QTest::newRow("neu") << "B" << QString() << true << 2 << 1;
        QTest::newRow("Datei hat die Gruppe") << "B"
                                              << "CREATE TABLE Gruppe (Name varchar(20))" << true << 0 << 0;
        QTest::newRow("Tabelle im Weg") << "B"
                                        << "CREATE TABLE Teilnehmer (x int)" << false << 0 << 0;
        QTest::newRow("Ordner fehlt") << "B"
                                      << "-" << false << 0 << 0;
        QTest::newRow("kein Name") << "" << QString() << false << 0 << 0;
        QTest::newRow("Stammdatenbank") << hauptName << QString() << false << 0 << 0;
    }
    void gruppeAnlegen()
    {
        QFETCH(QString, name);
        QFETCH(QString, vorher);
        QFETCH(bool, ok);
        QFETCH(int, teilnehmer);
        QFETCH(int, signale);

        Tag t;
        QString datei = Testumgebung::datenOrdner() + QStringLiteral("/B.db");
        if (vorher == QLatin1String("-"))
            datei = Testumgebung::datenOrdner() + QStringLiteral("/fehlt/B.db");
        else if (!vorher.isEmpty()) {
            QSqlDatabase db = Db::oeffnen(QStringLiteral("tlnop_vorher"), datei);
            sql(db, vorher);
            db.close();
        }
        Schema::GruppenDaten g;
        g.name = name;
        g.datum = tag;
        g.serien = 2;
        QSignalSpy spy(&t.spieltag, &OffenerSpieltag::gruppeAngelegt);
        QString fehler;
        QCOMPARE(t.spieltag.gruppeAnlegen(name, datei, g,
                     { { 104, QStringLiteral("Vor Nach104") }, { 105, QStringLiteral("Vor Nach105") } }, &fehler),
            ok);
        QCOMPARE(fehler.isEmpty(), ok);
        QCOMPARE(spy.count(), signale);
        QCOMPARE(t.spieltag.verbindungen().enthaelt(name), ok || name == hauptName);
        QSqlDatabase db = t.spieltag.gruppe(name);
        QCOMPARE(db.isValid(), ok);
        if (!ok) {
            // Nothing half-created stays in a file that exists.
            if (vorher.startsWith(QLatin1String("CREATE"))) {
                QSqlDatabase pruefen = Db::oeffnen(QStringLiteral("tlnop_pruefen"), datei);
                QVERIFY(!Db::tabelleVorhanden(pruefen, QStringLiteral("Gruppe")));
            }
            return;
        }
        if (teilnehmer > 0) {
            QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Teilnehmer")).toInt(), teilnehmer);
            QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Serie2 WHERE Aktiv=1")).toInt(), teilnehmer);
            QCOMPARE(Gruppendaten::datum(db, name), tag);
            QCOMPARE(Gruppendaten::serien(db), 2);
        } else {
            QVERIFY(!Db::tabelleVorhanden(db, QStringLiteral("Teilnehmer")));
        }
    }

    void ranglisteVerwerfen_data()
    {
        QTest::addColumn<QDate>("datum");
        QTest::addColumn<int>("stoerung");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("bleiben");
        QTest::addColumn<int>("signale");

        QTest::newRow("der Tag") << tag << int(keine) << true << 1 << 1;
        QTest::newRow("ein Tag ohne Punkte") << QDate(2026, 6, 1) << int(keine) << true << 3 << 0;
        QTest::newRow("nur lesbar") << tag << int(nurLesen) << false << 3 << 0;
        QTest::newRow("Rangliste fehlt") << tag << int(tabelleWeg) << false << -1 << 0;
    }
    void ranglisteVerwerfen()
    {
        QFETCH(QDate, datum);
        QFETCH(int, stoerung);
        QFETCH(bool, ok);
        QFETCH(int, bleiben);
        QFETCH(int, signale);

        Tag t;
        Tag::stoeren(t.haupt, Stoerung(stoerung), QStringLiteral("Rangliste"));
        QSignalSpy spy(&t.spieltag, &OffenerSpieltag::ranglisteGeaendert);
        QString fehler;
        QCOMPARE(t.spieltag.ranglisteVerwerfen(datum, &fehler), ok);
        QCOMPARE(fehler.isEmpty(), ok);
        QCOMPARE(spy.count(), signale);
        if (bleiben >= 0)
            QCOMPARE(wert(t.haupt, QStringLiteral("SELECT COUNT(*) FROM Rangliste")).toInt(), bleiben);
    }

    // The roster's readers for the choice list and the number checks, and
    // the players moving with a renamed player group.
    void spielerauswahl()
    {
        Tag t;
        QCOMPARE(Spielerauswahl::lesen(t.haupt, QStringLiteral("Alle")).size(), 6);
        const QVector<Spielerauswahl::Spieler> damen = Spielerauswahl::lesen(t.haupt, QStringLiteral("Damen"));
        QCOMPARE(damen.size(), 2);
        QCOMPARE(damen.at(0).startNr, 104);
        QCOMPARE(damen.at(0).nachname, QStringLiteral("Nach104"));
        QVERIFY(damen.at(0).mitglied);
        QVERIFY(!damen.at(0).preisskat);
        QVERIFY(Spielerauswahl::lesen(t.haupt, QStringLiteral("Herren")).at(1).preisskat);
        QCOMPARE(Spielerauswahl::startNummern(t.haupt), (QSet<int> { 100, 101, 102, 103, 104, 105 }));
        QCOMPARE(Spielerauswahl::ranglistenNummern(t.haupt).size(), 2);
        QCOMPARE(Spielerauswahl::teilnehmerNummern(t.gruppe).size(), 3);
        QVERIFY(Spielerauswahl::teilnehmerNummern(t.haupt).isEmpty());

        QVERIFY(Spielerauswahl::gruppeUmbenennen(t.haupt, QStringLiteral("Damen"), QStringLiteral("Frauen")));
        QCOMPARE(Spielerauswahl::lesen(t.haupt, QStringLiteral("Frauen")).size(), 2);
        QVERIFY(Spielerauswahl::lesen(t.haupt, QStringLiteral("Damen")).isEmpty());
        sql(t.haupt, QStringLiteral("PRAGMA query_only=1"));
        QString fehler;
        QVERIFY(!Spielerauswahl::gruppeUmbenennen(t.haupt, QStringLiteral("Frauen"), QStringLiteral("X"), &fehler));
        QVERIFY(!fehler.isEmpty());
    }
};

REIZWERK_TEST(TstTeilnehmerOperationen)
#include "tst_teilnehmeroperationen.moc"
