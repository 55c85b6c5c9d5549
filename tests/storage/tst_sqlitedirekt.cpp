// Rows written and read through SQLite's own interface on a Qt connection
// must be the rows Qt writes and reads: same values, same types, inside the
// connection's transaction, and failures announced like any statement's.

#include "testumgebung.h"

#include <QSignalSpy>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "storage/datenbank.h"
#include "storage/sqlitedirekt.h"

class TstSqliteDirekt : public QObject
{
    Q_OBJECT

    QTemporaryDir m_ordner;
    QSqlDatabase m_db;

    static QVariantList zeile(QSqlDatabase db, const QString& tabelle, int nr)
    {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("SELECT typeof(t), t, typeof(z), z FROM %1 WHERE nr=?").arg(tabelle));
        q.addBindValue(nr);
        if (!q.exec() || !q.next())
            return {};
        return { q.value(0), q.value(1), q.value(2), q.value(3) };
    }

private slots:
    void init()
    {
        Testumgebung::frischesZuhause();
        m_db = Db::oeffnen(QStringLiteral("direkt"), m_ordner.filePath(QStringLiteral("direkt.db")));
        QVERIFY(m_db.isOpen());
        for (const QString& t : { QStringLiteral("direkt"), QStringLiteral("qt") })
            QVERIFY(Db::ausfuehren(m_db,
                QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (nr INTEGER PRIMARY KEY, t TEXT, z INTEGER)").arg(t)));
        QVERIFY(Db::ausfuehren(m_db, QStringLiteral("DELETE FROM direkt")));
        QVERIFY(Db::ausfuehren(m_db, QStringLiteral("DELETE FROM qt")));
    }
    void cleanup()
    {
        m_db = QSqlDatabase();
        Testumgebung::verbindungenSchliessen();
    }

    // Every kind of text a name can be, bound one after the other to the same
    // place (a long one, then a short one, then non-ASCII and ASCII again),
    // stored as Qt stores it and read back as Qt reads it.
    void werteWieQt()
    {
        const QVector<QPair<QString, int>> werte = {
            { QStringLiteral("Otto"), 1 },
            { QStringLiteral("Mueller-Luedenscheidt-Wanne-Eickel"), -7 },
            { QStringLiteral("Al"), 0 },
            { QStringLiteral("J\u00fcrgen M\u00fcller"), 2147483647 },
            { QStringLiteral("Bo"), -2147483647 - 1 },
            { QStringLiteral("\u00c9mile \U0001F0A1 \u4e2d"), 3 },
            { QString(), 4 },
            { QStringLiteral(""), 5 },
            { QStringLiteral("Zoe"), 6 },
            { QString(300, QLatin1Char('x')), 7 },
        };
        {
            Db::Direkt d(m_db, QStringLiteral("INSERT INTO direkt (nr, t, z) VALUES (?, ?, ?)"));
            QVERIFY(d.bereit());
            QSqlQuery q(m_db);
            QVERIFY(q.prepare(QStringLiteral("INSERT INTO qt (nr, t, z) VALUES (?, ?, ?)")));
            for (int i = 0; i < werte.size(); ++i) {
                d.binden(0, i);
                d.binden(1, werte.at(i).first);
                d.binden(2, werte.at(i).second);
                QVERIFY2(d.ausfuehren(), qPrintable(d.fehler()));
                q.bindValue(0, i);
                q.bindValue(1, werte.at(i).first);
                q.bindValue(2, werte.at(i).second);
                QVERIFY(q.exec());
            }
        }
        for (int i = 0; i < werte.size(); ++i) {
            const QVariantList direkt = zeile(m_db, QStringLiteral("direkt"), i);
            QCOMPARE(direkt.size(), 4);
            QCOMPARE(direkt, zeile(m_db, QStringLiteral("qt"), i));
            QCOMPARE(direkt.at(1).toString(), werte.at(i).first);
        }
        QCOMPARE(zeile(m_db, QStringLiteral("direkt"), 6).at(0).toString(), QStringLiteral("null"));
        QCOMPARE(zeile(m_db, QStringLiteral("direkt"), 7).at(0).toString(), QStringLiteral("text"));

        // Read back through the same interface: what Qt reads.
        Db::Direkt lesen(m_db, QStringLiteral("SELECT nr, t, z FROM direkt ORDER BY nr"));
        int n = 0;
        while (lesen.naechste()) {
            const int i = lesen.ganz(0);
            QCOMPARE(i, n++);
            QCOMPARE(lesen.text(1), werte.at(i).first);
            QCOMPARE(lesen.text(1).isNull(), werte.at(i).first.isNull());
            QCOMPARE(lesen.ganz(2), werte.at(i).second);
        }
        QCOMPARE(n, werte.size());
        QVERIFY(lesen.fehler().isEmpty());
        // Read again: the statement starts over.
        QVERIFY(lesen.naechste());
        QCOMPARE(lesen.ganz(0), 0);
    }

    // The connection's transaction holds the rows; a failed row is announced,
    // names SQLite's reason, and the statement goes on with the next one.
    void transaktionUndFehler()
    {
        QSignalSpy gemeldet(Db::Melder::instanz(), &Db::Melder::fehler);
        {
            Db::Transaktion tx(m_db);
            QVERIFY(tx.begonnen());
            Db::Direkt d(m_db, QStringLiteral("INSERT INTO direkt (nr, t) VALUES (?, ?)"));
            d.binden(0, 1);
            d.binden(1, QStringLiteral("a"));
            QVERIFY(d.ausfuehren());
            // Not committed: rolled back with the transaction.
        }
        QCOMPARE(zeile(m_db, QStringLiteral("direkt"), 1).size(), 0);
        QCOMPARE(gemeldet.count(), 0);

        Db::Direkt d(m_db, QStringLiteral("INSERT INTO direkt (nr, t) VALUES (?, ?)"));
        d.binden(0, 1);
        d.binden(1, QStringLiteral("a"));
        QVERIFY(d.ausfuehren());
        d.binden(1, QStringLiteral("b"));
        QVERIFY(!d.ausfuehren());
        QVERIFY2(d.fehler().contains(QStringLiteral("UNIQUE")), qPrintable(d.fehler()));
        QCOMPARE(gemeldet.count(), 1);
        QVERIFY(gemeldet.first().first().toString().contains(QStringLiteral("INSERT INTO direkt")));
        d.binden(0, 2);
        QVERIFY(d.ausfuehren());
        QCOMPARE(zeile(m_db, QStringLiteral("direkt"), 2).value(1).toString(), QStringLiteral("b"));

        // A statement that cannot be prepared, and a closed connection.
        Db::Direkt falsch(m_db, QStringLiteral("SELECT * FROM fehlt"));
        QVERIFY(!falsch.bereit());
        QVERIFY(!falsch.naechste());
        QVERIFY(falsch.fehler().contains(QStringLiteral("fehlt")));
        QCOMPARE(gemeldet.count(), 2);
        m_db.close();
        Db::Direkt zu(m_db, QStringLiteral("SELECT 1"));
        QVERIFY(!zu.bereit());
        QVERIFY(!zu.ausfuehren());
        QCOMPARE(gemeldet.count(), 3);
    }
};

REIZWERK_TEST(TstSqliteDirekt)
#include "tst_sqlitedirekt.moc"
