#include "testumgebung.h"

#include <QSqlQuery>

#include <limits>

#include "scoring/eingabe.h"
#include "scoring/wertung.h"
#include "setup/gruppenpruefung.h"
#include "storage/datenbank.h"

class TstEingabe : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void punkteNurGanzeZahlenImBereich()
    {
        QCOMPARE(Eingabe::punkte(QStringLiteral("23")), std::optional<int>(23));
        QCOMPARE(Eingabe::punkte(QStringLiteral(" -17 ")), std::optional<int>(-17));
        QCOMPARE(Eingabe::punkte(QStringLiteral("+5")), std::optional<int>(5));
        QCOMPARE(Eingabe::punkte(QStringLiteral("100000")), std::optional<int>(100000));
        QCOMPARE(Eingabe::punkte(QStringLiteral("-100000")), std::optional<int>(-100000));
        for (const char* falsch : { "6o", "nan", "inf", "1.000", "1,5", "", " ", "100001", "-100001", "2147483648",
                 "0x10", "1e3", "--1", "\u0663" /* an Arabic-Indic three */ })
            QVERIFY2(!Eingabe::punkte(QString::fromUtf8(falsch)), falsch);
        QCOMPARE(Eingabe::fehlerPunkte(QStringLiteral("6o")), QStringLiteral("FEHLER: 6o ist keine Zahl"));
        QCOMPARE(Eingabe::fehlerPunkte(QStringLiteral("1.000")), QStringLiteral("FEHLER: 1.000 ist keine Zahl"));
        QCOMPARE(Eingabe::fehlerPunkte(QString()), QStringLiteral("FEHLER: (leer) ist keine Zahl"));
        QCOMPARE(Eingabe::fehlerPunkte(QStringLiteral("2147483647")),
            QStringLiteral("FEHLER: 2147483647 liegt nicht zwischen -100000 und 100000"));
    }

    void kostenMitKommaOderPunkt()
    {
        QCOMPARE(Eingabe::kosten(QStringLiteral("4,5")), std::optional<double>(4.5));
        QCOMPARE(Eingabe::kosten(QStringLiteral("4.5")), std::optional<double>(4.5));
        QCOMPARE(Eingabe::kosten(QStringLiteral("3")), std::optional<double>(3.0));
        QCOMPARE(Eingabe::kosten(QStringLiteral("10000")), std::optional<double>(10000.0));
        for (const char* falsch :
            { "nan", "inf", "-inf", "1e308", "-1", "-0,5", "4,5,0", "1.000,50", "10000,1", "abc", "", "4 5" })
            QVERIFY2(!Eingabe::kosten(QString::fromLatin1(falsch)), falsch);
        QCOMPARE(Eingabe::fehlerKosten(QStringLiteral("nan")), QStringLiteral("FEHLER: nan ist keine Zahl"));
        QCOMPARE(
            Eingabe::fehlerKosten(QStringLiteral("-1")), QStringLiteral("FEHLER: -1 liegt nicht zwischen 0 und 10000"));
    }

    void tischNummern()
    {
        QCOMPARE(Eingabe::tisch(QStringLiteral("-1")), std::optional<int>(-1));
        QCOMPARE(Eingabe::tisch(QStringLiteral("0")), std::optional<int>(0));
        QCOMPARE(Eingabe::tisch(QStringLiteral("1000")), std::optional<int>(1000));
        for (const char* falsch : { "-2", "1001", "x", "1.5", "" })
            QVERIFY2(!Eingabe::tisch(QString::fromLatin1(falsch)), falsch);
    }

    void summenOhneUeberlauf()
    {
        const int max = std::numeric_limits<int>::max();
        QCOMPARE(Wertung::punkteSumme({ max, max }), max);
        QCOMPARE(Wertung::punkteSumme({ std::numeric_limits<int>::min(), -5 }), std::numeric_limits<int>::min());
        QCOMPARE(Wertung::punkteSumme({ 10, -3, 23 }), 30);
        const double inf = std::numeric_limits<double>::infinity();
        QCOMPARE(Wertung::kostenSumme({ 1.5, inf, std::nan(""), 2.0 }), 3.5);
        QCOMPARE(Wertung::kostenSumme({ 1e308, 1e308 }), 0.0);
    }

    void gruppennamenAlsDateinamen()
    {
        for (const char* gut :
            { "Senioren", "Alte Herren", "Jugend-2", "Gaeste_A", "O'Neill", "1. Mannschaft", "Sen.A", "x.backup" })
            QVERIFY2(Gruppenpruefung::nameGueltig(QString::fromLatin1(gut)), gut);
        for (const char* schlecht :
            { "", "Damen/Jugend", ".", "..", ".Sen", "../../../fremd", "..\\x", "C:", "Kai$", "a@b", "a|b", " Herren",
                "Herren ", "reizwerk", "Reizwerk", "reizwerk_connection_name", "Zeile\nzwei", "Tab\tulator" })
            QVERIFY2(!Gruppenpruefung::nameGueltig(QString::fromLatin1(schlecht)), schlecht);
        QVERIFY(!Gruppenpruefung::nameGueltig(QString(65, QLatin1Char('x'))));
        QString fehler;
        QVERIFY(!Gruppenpruefung::nameGueltig(QStringLiteral("Damen/Jugend"), &fehler));
        QVERIFY2(fehler.contains(QStringLiteral("/")), qPrintable(fehler));

        QVERIFY(Gruppenpruefung::textOhneTrenner(QStringLiteral("Liste, Herbst")));
        for (const char* schlecht : { "Liste:Herbst", "a$", "@", "x|y", "Ton\x07" })
            QVERIFY2(!Gruppenpruefung::textOhneTrenner(QString::fromLatin1(schlecht)), schlecht);
    }

    // A cell stored inside a larger transaction (a message of the link) is a
    // savepoint: rolled back on its own it takes only its statements along,
    // and what depends on it follows the outer transaction's fate.
    void verschachtelteTransaktionen()
    {
        const QString datei = Testumgebung::zuhause() + QStringLiteral("/t.db");
        {
            QSqlDatabase db = Db::oeffnen(QStringLiteral("tx_test"), datei);
            QVERIFY(db.isOpen());
            Turnierbau::sql(db, QStringLiteral("CREATE TABLE t (x int)"));
            int bestaetigt = 0;
            int verworfen = 0;
            {
                Db::Transaktion aussen(db);
                QVERIFY(aussen.begonnen());
                QVERIFY(Db::ausfuehren(db, QStringLiteral("INSERT INTO t VALUES (1)")));
                {
                    Db::Transaktion innen(db);
                    QVERIFY(innen.begonnen());
                    Db::nachAbschluss(
                        db, [&] { ++bestaetigt; }, [&] { ++verworfen; });
                    QVERIFY(Db::ausfuehren(db, QStringLiteral("INSERT INTO t VALUES (2)")));
                    // not committed: only this savepoint goes
                }
                QCOMPARE(verworfen, 1);
                {
                    Db::Transaktion innen(db);
                    Db::nachAbschluss(
                        db, [&] { ++bestaetigt; }, [&] { ++verworfen; });
                    QVERIFY(Db::ausfuehren(db, QStringLiteral("INSERT INTO t VALUES (3)")));
                    QVERIFY(innen.abschliessen());
                }
                QCOMPARE(bestaetigt, 0); // waits for the outer one
                QVERIFY(aussen.abschliessen());
            }
            QCOMPARE(bestaetigt, 1);
            QCOMPARE(verworfen, 1);
            QCOMPARE(Turnierbau::spalte(db, QStringLiteral("SELECT x FROM t ORDER BY x")), (QVariantList { 1, 3 }));

            {
                Db::Transaktion aussen(db);
                {
                    Db::Transaktion innen(db);
                    Db::nachAbschluss(
                        db, [&] { ++bestaetigt; }, [&] { ++verworfen; });
                    QVERIFY(Db::ausfuehren(db, QStringLiteral("INSERT INTO t VALUES (4)")));
                    QVERIFY(innen.abschliessen());
                }
                // the outer one rolls back: the inner's consequences too
            }
            QCOMPARE(bestaetigt, 1);
            QCOMPARE(verworfen, 2);
            QCOMPARE(Turnierbau::wert(db, QStringLiteral("SELECT COUNT(*) FROM t")).toInt(), 2);
            QVERIFY(!Db::inTransaktion(db));
            // Without a transaction the consequence follows at once.
            Db::nachAbschluss(db, [&] { ++bestaetigt; });
            QCOMPARE(bestaetigt, 2);
        }
        QSqlDatabase::removeDatabase(QStringLiteral("tx_test"));
    }
};

REIZWERK_TEST(TstEingabe)
#include "tst_eingabe.moc"
