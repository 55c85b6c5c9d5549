#include "testumgebung.h"

#include "scoring/platzierung.h"

// Equal totals share a place, wherever a ranking is shown: the cases the
// results notice, the ranking over dates, the table app's standings, a
// game list's places and the season each relied on.
class TstPlatzierung : public QObject
{
    Q_OBJECT
private slots:
    void plaetze_data()
    {
        QTest::addColumn<QVector<qint64>>("summen");
        QTest::addColumn<QVector<int>>("erwartet");
        QTest::newRow("leer") << QVector<qint64> {} << QVector<int> {};
        QTest::newRow("einer") << QVector<qint64> { -7 } << QVector<int> { 1 };
        QTest::newRow("verschieden") << QVector<qint64> { 900, 500, -20 } << QVector<int> { 1, 2, 3 };
        QTest::newRow("gleich vorne") << QVector<qint64> { 5, 5, 5, 2, 2, 1, -3 }
                                      << QVector<int> { 1, 1, 1, 4, 4, 6, 7 };
        QTest::newRow("gleich in der Mitte") << QVector<qint64> { 100, 80, 80, 50 } << QVector<int> { 1, 2, 2, 4 };
        QTest::newRow("gleich hinten") << QVector<qint64> { 3, 2, 0, 0 } << QVector<int> { 1, 2, 3, 3 };
        QTest::newRow("alle gleich") << QVector<qint64> { 0, 0, 0, 0 } << QVector<int> { 1, 1, 1, 1 };
        // A game list's seats come in seat order, not by points.
        QTest::newRow("Sitzreihenfolge") << QVector<qint64> { 40, 130, 40, -60 } << QVector<int> { 2, 1, 2, 4 };
        QTest::newRow("Sitzreihenfolge alle gleich") << QVector<qint64> { 12, 12, 12 } << QVector<int> { 1, 1, 1 };
        QTest::newRow("grosse Summen") << QVector<qint64> { 3000000000LL, -3000000000LL, 3000000000LL }
                                       << QVector<int> { 1, 3, 1 };
    }

    void plaetze()
    {
        QFETCH(QVector<qint64>, summen);
        QFETCH(QVector<int>, erwartet);
        QCOMPARE(Platzierung::plaetze(summen), erwartet);
    }

    // The season ranks by a ratio, not by a total: values of which neither
    // is better share a place even where their numbers differ.
    void eigeneOrdnung()
    {
        struct Schnitt {
            qint64 zaehler, nenner;
        };
        const auto besser
            = [](const Schnitt& a, const Schnitt& b) { return a.zaehler * b.nenner > b.zaehler * a.nenner; };
        const QVector<Schnitt> werte { { 4500, 5 }, { 2000, 1 }, { 1800, 2 }, { 375, 1 }, { 1500, 1 } };
        QCOMPARE(Platzierung::plaetze(werte, besser), (QVector<int> { 3, 1, 3, 5, 2 }));
    }
};

REIZWERK_TEST(TstPlatzierung)
#include "tst_platzierung.moc"
