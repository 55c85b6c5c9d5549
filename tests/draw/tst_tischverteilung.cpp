#include "testumgebung.h"

#include "draw/tischverteilung.h"

namespace
{
QVector<int> belegung(const Sitzplan& plan, int tisch)
{
    QVector<int> nrs;
    for (const Sitz& s : plan.value(tisch))
        nrs << s.startNr;
    return nrs;
}
} // namespace

class TstTischverteilung : public QObject
{
    Q_OBJECT
private slots:
    void aufteilungBisFuenfzehn()
    {
        const int erwartet[16][2] = { { 0, 0 }, { 0, 0 }, { 0, 0 }, { 0, 1 }, { 1, 0 }, { 0, 2 }, { 0, 2 }, { 1, 1 },
            { 2, 0 }, { 0, 3 }, { 1, 2 }, { 2, 1 }, { 3, 0 }, { 1, 3 }, { 2, 2 }, { 3, 1 } };
        for (int n = 0; n <= 15; ++n) {
            const Tischaufteilung a = tischaufteilung(n);
            QVERIFY2(a.vierer == erwartet[n][0] && a.dreier == erwartet[n][1], qPrintable(QString::number(n)));
        }
        // The seeding list has no lower limit: one or two rows still get a table.
        QCOMPARE(tischaufteilungOhneGrenze(0), Tischaufteilung {});
        QCOMPARE(tischaufteilungOhneGrenze(1), (Tischaufteilung { 0, 1 }));
        QCOMPARE(tischaufteilungOhneGrenze(2), (Tischaufteilung { 0, 1 }));
        QCOMPARE(tischaufteilungOhneGrenze(7), (Tischaufteilung { 1, 1 }));
    }

    void aufteilungGrosserZahlenFuelltJedenPlatz()
    {
        for (int n = 6; n <= 2000; ++n) {
            const int d = (4 - n % 4) % 4;
            const int v = (n - 3 * d) / 4;
            const Tischaufteilung a = tischaufteilung(n);
            QVERIFY2(a.vierer == v && a.dreier == d, qPrintable(QString::number(n)));
            QCOMPARE(4 * a.vierer + 3 * a.dreier, n);
        }
    }

    void nummerierungAbErstemTisch()
    {
        const TischLayout layout = tischLayoutBerechnen(3, tischaufteilung(11));
        QCOMPARE(layout.keys(), (QList<int> { 3, 4, 5 }));
        QCOMPARE(layout.values(), (QList<int> { 4, 4, 3 }));
        QVERIFY(tischLayoutBerechnen(1, tischaufteilung(2)).isEmpty());
    }

    void besetzenTischFuerTisch()
    {
        Sitzplan plan = leererSitzplan(tischLayoutBerechnen(1, tischaufteilung(7)));
        QVERIFY(besetzen(plan, { 1, 2, 3, 4, 5, 6, 7 }).isEmpty());
        QCOMPARE(belegung(plan, 1), (QVector<int> { 1, 2, 3, 4 }));
        QCOMPARE(belegung(plan, 2), (QVector<int> { 5, 6, 7 }));
        const QVector<Zuweisung> z = zuweisungen(plan);
        QCOMPARE(z.size(), 7);
        QCOMPARE(z[3].tisch, 1);
        QCOMPARE(z[3].sitz, 4);
        QCOMPARE(z[4].tisch, 2);
        QCOMPARE(z[4].sitz, 1);
        QCOMPARE(z[6].startNr, 7);

        // Five players: two tables of three, the last seat stays empty and
        // is not among the seats to store.
        Sitzplan fuenf = leererSitzplan(tischLayoutBerechnen(1, tischaufteilung(5)));
        QVERIFY(besetzen(fuenf, { 1, 2, 3, 4, 5 }).isEmpty());
        QCOMPARE(belegung(fuenf, 2), (QVector<int> { 4, 5, 0 }));
        QCOMPARE(zuweisungen(fuenf).size(), 5);

        // More players than seats: the rest is reported, not dropped silently.
        Sitzplan voll = leererSitzplan(tischLayoutBerechnen(1, tischaufteilung(3)));
        QCOMPARE(besetzen(voll, { 1, 2, 3, 4 }), QVector<int> { 4 });
    }

    void besetzenFuelltFreiePlaetzeUmBehalteneHerum()
    {
        Sitzplan plan = leererSitzplan(tischLayoutBerechnen(1, tischaufteilung(7)));
        // Table 1 keeps three players, seat 2 is free; table 2 is full.
        QVERIFY(behaltenEintragen(
            plan, { { 1, 4, 14 }, { 2, 1, 21 }, { 1, 1, 11 }, { 2, 3, 23 }, { 1, 3, 13 }, { 2, 2, 22 } })
                    .isEmpty());
        QCOMPARE(belegung(plan, 1), (QVector<int> { 11, 0, 13, 14 }));
        QCOMPARE(besetzen(plan, { 99 }), QVector<int> {});
        QCOMPARE(belegung(plan, 1), (QVector<int> { 11, 99, 13, 14 }));
        QCOMPARE(plan[1][1].position, 2);
        QCOMPARE(plan[1][3].position, 4);
    }

    void behalteneOhneGueltigenSitz()
    {
        Sitzplan plan = leererSitzplan(tischLayoutBerechnen(1, tischaufteilung(15))); // tables 1-3 of 4, 4 of 3
        // 31 holds no seat, 32 a seat the table lacks, 34 the seat 33 holds:
        // they queue for the first free seats after everyone with a valid
        // seat, so 35 gets his seat 2 although he comes last. Table 6 is not
        // in the layout; the three-seat table has room for one of the three.
        const QVector<int> ohne = behaltenEintragen(
            plan, { { 4, 0, 31 }, { 4, 4, 32 }, { 4, 1, 33 }, { 4, 1, 34 }, { 6, 1, 60 }, { 4, 2, 35 } });
        QCOMPARE(ohne, (QVector<int> { 32, 34, 60 }));
        QCOMPARE(belegung(plan, 4), (QVector<int> { 33, 35, 31 }));
        QCOMPARE(plan[4][2].position, 3);
        QCOMPARE(behaltenEintragen(plan, { { 4, 3, 36 } }), QVector<int> { 36 }); // table full
        QVERIFY(!platzBelegen(plan, 6, 61));
    }

    void umnummerierenLueckenlos()
    {
        Sitzplan plan;
        plan.insert(5, QVector<Sitz>(4));
        plan.insert(9, QVector<Sitz>(3));
        plan[9][0].startNr = 7;
        const Sitzplan neu = umnummerieren(plan, 1);
        QCOMPARE(neu.keys(), (QList<int> { 1, 2 }));
        QCOMPARE(neu.value(2).at(0).startNr, 7);
    }
};

REIZWERK_TEST(TstTischverteilung)
#include "tst_tischverteilung.moc"
