#include "testumgebung.h"

#include <QSet>

#include "draw/faireauslosung.h"

using namespace FaireAuslosung;

namespace
{

QVector<int> nummern(int n, int ab = 100)
{
    QVector<int> v(n);
    std::iota(v.begin(), v.end(), ab);
    return v;
}

Sitzplan leer(int n)
{
    return leererSitzplan(tischLayoutBerechnen(1, tischaufteilung(n)));
}

// Pairs of a round, counted here and not by the code under test.
QSet<quint64> paareVon(const Runde& r)
{
    QSet<quint64> paare;
    for (const QVector<int>& t : r)
        for (int i = 0; i < t.size(); ++i)
            for (int j = i + 1; j < t.size(); ++j)
                paare.insert(Vorgeschichte::schluessel(t[i], t[j]));
    return paare;
}

// Everyone seated exactly once, in the seats of the table split.
bool gueltig(const Sitzplan& plan, int n, QString* warum)
{
    const TischLayout layout = tischLayoutBerechnen(1, tischaufteilung(n));
    QVector<int> gesehen;
    if (plan.keys() != layout.keys()) {
        *warum = QStringLiteral("tables differ");
        return false;
    }
    for (auto it = plan.cbegin(); it != plan.cend(); ++it) {
        if (it->size() != layout.value(it.key())) {
            *warum = QStringLiteral("seats of table %1").arg(it.key());
            return false;
        }
        for (int i = 0; i < it->size(); ++i) {
            if (it->at(i).startNr == 0)
                continue;
            if (it->at(i).position != i + 1) {
                *warum = QStringLiteral("position at table %1").arg(it.key());
                return false;
            }
            gesehen << it->at(i).startNr;
        }
    }
    std::sort(gesehen.begin(), gesehen.end());
    if (gesehen != nummern(n)) {
        *warum = QStringLiteral("not everyone seated once");
        return false;
    }
    return true;
}

// Draws the series of a match day one after another, each knowing the ones
// before; returns the repeats of every series as counted from the rounds.
QVector<int> tagAuslosen(int n, int serien, quint64 nummer, QString* fehler, const QVector<Paar>& getrennt = {})
{
    QVector<int> wiederholungen;
    Vorgeschichte v;
    QSet<quint64> schonGetroffen;
    for (int s = 1; s <= serien; ++s) {
        Eingabe e;
        e.plan = leer(n);
        e.spieler = nummern(n);
        e.vorgeschichte = v;
        e.getrennt = getrennt;
        e.losnummer = nummer * 100 + quint64(s);
        const Ergebnis r = auslosen(e);
        if (!gueltig(r.plan, n, fehler) || !r.ohnePlatz.isEmpty())
            return {};
        const QSet<quint64> paare = paareVon(runde(r.plan));
        const int doppelt = int(QSet<quint64>(paare).intersect(schonGetroffen).size());
        if (doppelt != r.guete.wiederholungen) {
            *fehler = QStringLiteral("reported %1 repeats, counted %2").arg(r.guete.wiederholungen).arg(doppelt);
            return {};
        }
        for (const Paar& p : getrennt)
            if (paare.contains(Vorgeschichte::schluessel(p.first, p.second))) {
                *fehler = QStringLiteral("%1 and %2 share a table").arg(p.first).arg(p.second);
                return {};
            }
        wiederholungen << doppelt;
        schonGetroffen.unite(paare);
        v.rundeHinzufuegen(runde(r.plan), gewichtHeute);
    }
    return wiederholungen;
}

} // namespace

class TstFaireAuslosung : public QObject
{
    Q_OBJECT
private slots:
    // Known: 16 players have at most five repeat-free series (the tables of
    // an affine plane of order 4), and drawn one after another series 4 may
    // already be impossible; so 16 players are checked over 3 series. 40
    // and 100 players leave enough strangers for series 4 and 6.
    void ohneWiederholungen_data()
    {
        QTest::addColumn<int>("spieler");
        QTest::addColumn<int>("serien");
        QTest::addColumn<int>("nummern");
        QTest::newRow("16 x 3") << 16 << 3 << 200;
        QTest::newRow("40 x 4") << 40 << 4 << 200;
        QTest::newRow("100 x 6") << 100 << 6 << 200;
        QTest::newRow("9 x 4") << 9 << 4 << 200; // tables of three only
        QTest::newRow("13 x 3") << 13 << 3 << 200; // one table of four, three of three
    }
    void ohneWiederholungen()
    {
        QFETCH(int, spieler);
        QFETCH(int, serien);
        QFETCH(int, nummern);
        for (int nr = 1; nr <= nummern; ++nr) {
            QString fehler;
            const QVector<int> w = tagAuslosen(spieler, serien, quint64(nr), &fehler);
            QVERIFY2(fehler.isEmpty(), qPrintable(QStringLiteral("number %1: %2").arg(nr).arg(fehler)));
            QCOMPARE(w, QVector<int>(serien, 0));
        }
    }

    void einzigeLoesungGefunden()
    {
        // 16 players on the points of the affine plane over GF(4): its five
        // parallel classes are five repeat-free series. Given any four, the
        // fifth is the only repeat-free seating left, and the draw finds it.
        auto mal = [](int a, int b) {
            static const int tafel[4][4] = { { 0, 0, 0, 0 }, { 0, 1, 2, 3 }, { 0, 2, 3, 1 }, { 0, 3, 1, 2 } };
            return tafel[a][b];
        };
        auto klasse = [&](int k) {
            Runde r;
            for (int b = 0; b < 4; ++b) {
                QVector<int> tisch;
                for (int x = 0; x < 4; ++x)
                    tisch << (k == 4 ? 100 + 4 * b + x : 100 + 4 * x + (mal(k, x) ^ b));
                r << tisch;
            }
            return r;
        };
        for (int fehlt = 0; fehlt < 5; ++fehlt) {
            Eingabe e;
            e.plan = leer(16);
            e.spieler = nummern(16);
            for (int k = 0; k < 5; ++k)
                if (k != fehlt)
                    e.vorgeschichte.rundeHinzufuegen(klasse(k), gewichtHeute);
            QSet<quint64> erwartet = paareVon(klasse(fehlt));
            for (quint64 nr = 1; nr <= 40; ++nr) {
                e.losnummer = nr;
                const Ergebnis r = auslosen(e);
                QCOMPARE(r.guete.wiederholungen, 0);
                QCOMPARE(paareVon(runde(r.plan)), erwartet);
            }
        }
    }

    void getrenntePaare()
    {
        // Couples 100/101, 102/103, ... and a family of three.
        QVector<Paar> getrennt;
        for (int a = 100; a < 120; a += 2)
            getrennt << paar(a, a + 1);
        getrennt << paar(130, 131) << paar(131, 132) << paar(130, 132);
        for (int nr = 1; nr <= 100; ++nr) {
            QString fehler;
            const QVector<int> w = tagAuslosen(40, 4, quint64(nr), &fehler, getrennt);
            QVERIFY2(fehler.isEmpty(), qPrintable(QStringLiteral("number %1: %2").arg(nr).arg(fehler)));
            QCOMPARE(w, QVector<int>(4, 0));
        }

        // Three who must all be apart at two tables: one pair cannot be,
        // and the draw names exactly one.
        Eingabe e;
        e.plan = leer(7);
        e.spieler = nummern(7);
        e.getrennt = { paar(100, 101), paar(101, 102), paar(100, 102) };
        for (quint64 nr = 1; nr <= 50; ++nr) {
            e.losnummer = nr;
            const Ergebnis r = auslosen(e);
            QCOMPARE(r.guete.nichtGetrennt.size(), 1);
            QVERIFY(e.getrennt.contains(r.guete.nichtGetrennt.first()));
        }
        // One table only: the pair sits together and is named.
        e.plan = leer(4);
        e.spieler = nummern(4);
        e.getrennt = { paar(103, 100) };
        QCOMPARE(auslosen(e).guete.nichtGetrennt, (QVector<Paar> { paar(100, 103) }));
        // A pair of whom one is not playing is no concern.
        e.getrennt = { paar(100, 999) };
        QVERIFY(auslosen(e).guete.nichtGetrennt.isEmpty());
    }

    void gleicheNummerGleicheSitze()
    {
        Vorgeschichte v;
        Eingabe vorher;
        vorher.plan = leer(40);
        vorher.spieler = nummern(40);
        vorher.losnummer = 7;
        v.rundeHinzufuegen(runde(auslosen(vorher).plan), gewichtHeute);

        Eingabe e;
        e.plan = leer(40);
        e.spieler = nummern(40);
        e.vorgeschichte = v;
        e.getrennt = { paar(100, 101) };
        QSet<QVector<QVector<int>>> verschieden;
        for (quint64 nr : { quint64(1), quint64(2), quint64(123456789), quint64(999999999) }) {
            e.losnummer = nr;
            const Ergebnis a = auslosen(e);
            // The row order the participants come in does not matter.
            Eingabe umgekehrt = e;
            std::reverse(umgekehrt.spieler.begin(), umgekehrt.spieler.end());
            const Ergebnis b = auslosen(umgekehrt);
            QCOMPARE(runde(b.plan), runde(a.plan));
            QCOMPARE(b.guete, a.guete);
            verschieden.insert(runde(a.plan));
            // Nor does it with the plain draw.
            Eingabe schlicht = e;
            schlicht.ausgleich = false;
            Eingabe schlichtUmgekehrt = umgekehrt;
            schlichtUmgekehrt.ausgleich = false;
            QCOMPARE(runde(auslosen(schlichtUmgekehrt).plan), runde(auslosen(schlicht).plan));
        }
        QCOMPARE(verschieden.size(), 4);
    }

    void tischaufteilungBleibt()
    {
        for (int n = 3; n <= 60; ++n) {
            for (bool ausgleich : { true, false }) {
                Eingabe e;
                e.plan = leer(n);
                e.spieler = nummern(n);
                e.losnummer = quint64(n);
                e.ausgleich = ausgleich;
                const Ergebnis r = auslosen(e);
                QString warum;
                QVERIFY2(gueltig(r.plan, n, &warum), qPrintable(QStringLiteral("%1: %2").arg(n).arg(warum)));
                // The seats the plain draw fills, seat after seat: with 5
                // players the last seat of the second table stays empty.
                Sitzplan zumVergleich = leer(n);
                besetzen(zumVergleich, nummern(n));
                for (auto it = zumVergleich.cbegin(); it != zumVergleich.cend(); ++it)
                    for (int i = 0; i < it->size(); ++i)
                        QCOMPARE(r.plan.value(it.key()).at(i).startNr == 0, it->at(i).startNr == 0);
                QVERIFY(r.ohnePlatz.isEmpty());
            }
        }
        // More players than seats: those left over are named.
        Eingabe e;
        e.plan = leer(4);
        e.spieler = nummern(6);
        e.losnummer = 5;
        const Ergebnis r = auslosen(e);
        QCOMPARE(r.ohnePlatz.size(), 2);
        QCOMPARE(runde(r.plan).value(0).size() + r.ohnePlatz.size(), 6);
    }

    void freiePlaetzeNachDerselbenRegel()
    {
        // Two tables of four, each with one seat free; 107 sat with all of
        // table 1 before and must take the seat at table 2, 108 the other.
        for (quint64 nr = 1; nr <= 50; ++nr) {
            Eingabe e;
            e.plan = leer(8);
            const int fest[2][3] = { { 100, 101, 102 }, { 103, 104, 105 } };
            for (int t = 0; t < 2; ++t)
                for (int i = 0; i < 3; ++i)
                    e.plan[t + 1][i + 1] = Sitz { fest[t][i], i + 2 };
            e.spieler = { 108, 107 };
            for (int frueher : { 100, 101, 102 })
                e.vorgeschichte.rundeHinzufuegen({ { 107, frueher } }, gewichtHeute);
            e.losnummer = nr;
            const Ergebnis r = auslosen(e);
            QCOMPARE(r.plan.value(1).at(0).startNr, 108);
            QCOMPARE(r.plan.value(2).at(0).startNr, 107);
            QCOMPARE(r.plan.value(1).at(1).startNr, 100); // kept seats stay
            QCOMPARE(r.plan.value(2).at(3).startNr, 105);
            QCOMPARE(r.guete.wiederholungen, 0);
        }
    }

    void ohneAusgleichWiederholtSich()
    {
        // The plain draw, with the switch off, knows nothing of earlier
        // series: over many numbers some series repeat pairs.
        int mitWiederholung = 0;
        Vorgeschichte v;
        Eingabe erste;
        erste.plan = leer(16);
        erste.spieler = nummern(16);
        erste.losnummer = 1;
        v.rundeHinzufuegen(runde(auslosen(erste).plan), gewichtHeute);
        for (quint64 nr = 1; nr <= 50; ++nr) {
            Eingabe e = erste;
            e.vorgeschichte = v;
            e.losnummer = nr;
            e.ausgleich = false;
            mitWiederholung += auslosen(e).guete.wiederholungen > 0;
            e.ausgleich = true;
            QCOMPARE(auslosen(e).guete.wiederholungen, 0);
        }
        QVERIFY(mitWiederholung > 25);
    }

    void zufallOhneVerzerrung()
    {
        // The same number gives the same values, and unter(n) stays in range
        // and reaches every value.
        Zufall a(42), b(42);
        QVector<int> anzahl(7, 0);
        for (int i = 0; i < 7000; ++i) {
            const int x = a.unter(7);
            QCOMPARE(b.unter(7), x);
            QVERIFY(x >= 0 && x < 7);
            ++anzahl[x];
        }
        for (int k : anzahl)
            QVERIFY(k > 800 && k < 1200);
        QCOMPARE(a.unter(1), 0);
        // The standard fixes the 10000th value of the 64-bit twister seeded
        // with its default seed.
        Zufall standard(5489u);
        quint64 x = 0;
        for (int i = 0; i < 10000; ++i)
            x = standard.naechste();
        QCOMPARE(x, Q_UINT64_C(9981545732273789042));
    }
};

REIZWERK_TEST(TstFaireAuslosung)
#include "tst_faireauslosung.moc"
