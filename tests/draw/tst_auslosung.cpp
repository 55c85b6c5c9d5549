#include "testumgebung.h"

#include <algorithm>

#include "draw/auslosung.h"

namespace
{
// Hands out the given keys in turn, then keeps repeating the last one.
std::function<quint32()> folge(QVector<quint32> schluessel)
{
    auto i = std::make_shared<int>(0);
    return [schluessel, i] { return schluessel[qMin((*i)++, schluessel.size() - 1)]; };
}
} // namespace

class TstAuslosung : public QObject
{
    Q_OBJECT
private slots:
    void zufallNachSchluessel()
    {
        // Ascending key read as a signed integer: 0xFFFFFFFF is -1.
        QCOMPARE(Auslosung::zufall({ 100, 101, 102 }, folge({ 7, 0xFFFFFFFFu, 3 })), (QVector<int> { 101, 102, 100 }));
        QVERIFY(Auslosung::zufall({}, folge({ 1 })).isEmpty());
    }

    void zufallGleicheSchluesselVerlierenNiemanden()
    {
        // 101 draws the key 100 already holds and draws again.
        QCOMPARE(Auslosung::zufall({ 100, 101, 102 }, folge({ 5, 5, 3, 9 })), (QVector<int> { 101, 100, 102 }));
        // A generator that never stops repeating itself: everybody is still
        // seated, in row order, and the draw ends.
        const QVector<int> alle { 100, 101, 102, 103, 104 };
        QCOMPARE(Auslosung::zufall(alle, [] { return 42u; }), alle);
        // A real generator over many players yields a permutation.
        QVector<int> viele(1000);
        std::iota(viele.begin(), viele.end(), 100);
        QVector<int> gezogen = Auslosung::zufall(viele, [] { return QRandomGenerator::global()->generate(); });
        QVERIFY(gezogen != viele);
        std::sort(gezogen.begin(), gezogen.end());
        QCOMPARE(gezogen, viele);
    }

    void rangAbsteigendZeilenfolgeBeiGleichstand()
    {
        QCOMPARE(Auslosung::rang({ 100, 101, 102 }, { { 100, 120 }, { 101, 80 }, { 102, 120 } }),
            (QVector<int> { 100, 102, 101 }));
        // Without a total the participant is not part of the order.
        QCOMPARE(Auslosung::rang({ 100, 101, 102, 103 }, { { 103, -4 }, { 100, 0 }, { 102, 0 } }),
            (QVector<int> { 100, 102, 103 }));
    }

    void spieltagFehlendeZaehlenNull()
    {
        const QVector<int> reihe { 100, 101, 102, 103, 104, 105 };
        const QHash<int, int> punkte { { 100, 50 }, { 102, -10 }, { 104, 30 }, { 105, -5 } };
        QCOMPARE(Auslosung::spieltag(reihe, punkte), (QVector<int> { 100, 104, 101, 103, 105, 102 }));
    }
};

REIZWERK_TEST(TstAuslosung)
#include "tst_auslosung.moc"
