// The master database is created whole or not at all, and a database that
// lacks one of its tables gets it without losing what it holds.

#include "testumgebung.h"

#include <QSqlQuery>

#include "storage/datenbank.h"
#include "storage/schema.h"

using namespace Turnierbau;

class TstStammdatenbank : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }
    void cleanup() { Testumgebung::verbindungenSchliessen(); }

    void anlegen_data()
    {
        QTest::addColumn<QStringList>("vorher");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("spieler");
        QTest::addColumn<bool>("rangliste");
        QTest::addColumn<int>("spielerZeilen");
        QTest::newRow("leer") << QStringList() << true << true << true << 0;
        QTest::newRow("Spieler schon da")
            << QStringList { QStringLiteral("CREATE TABLE Spieler (StartNr INTEGER PRIMARY KEY, VorName TEXT, "
                                            "NachName TEXT, Gruppe TEXT, Mitglied TEXT, Preisskat TEXT)"),
                   QStringLiteral("INSERT INTO Spieler VALUES (100, 'Otto', 'Lehmann', 'Alle', 'Ja', 'Nein')") }
            << true << true << true << 1;
        // The second table cannot be created (its name is taken by an
        // index): the first one must not stay behind on its own.
        QTest::newRow("zweite Tabelle scheitert")
            << QStringList { QStringLiteral("CREATE TABLE x (a)"), QStringLiteral("CREATE INDEX Rangliste ON x (a)") }
            << false << false << false << -1;
    }
    void anlegen()
    {
        QFETCH(QStringList, vorher);
        QFETCH(bool, ok);
        QFETCH(bool, spieler);
        QFETCH(bool, rangliste);
        QFETCH(int, spielerZeilen);
        QSqlDatabase db = Db::oeffnen(
            QStringLiteral("stammdaten_test"), Testumgebung::zuhause() + QStringLiteral("/stammdaten.db"));
        QVERIFY(db.isOpen());
        for (const QString& sql : vorher)
            QVERIFY2(Db::ausfuehren(db, sql), qPrintable(sql));

        QCOMPARE(Schema::stammdatenbankAnlegen(db), ok);
        QCOMPARE(Db::tabelleVorhanden(db, QStringLiteral("Spieler")), spieler);
        QCOMPARE(Db::tabelleVorhanden(db, QStringLiteral("Rangliste")), rangliste);
        if (spielerZeilen >= 0)
            QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Spieler")).toInt(), spielerZeilen);
        // No transaction is left open on the connection.
        QVERIFY(db.transaction());
        QVERIFY(db.rollback());
        // A second call finds everything there and changes nothing.
        if (ok)
            QVERIFY(Schema::stammdatenbankAnlegen(db));
    }
};

REIZWERK_TEST(TstStammdatenbank)
#include "tst_stammdatenbank.moc"
