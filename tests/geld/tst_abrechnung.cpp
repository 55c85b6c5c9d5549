#include "testumgebung.h"

#include "geldbau.h"

#include "geld/abrechnung.h"

using Geld::Auszahlplan;

class TstAbrechnung : public QObject
{
    Q_OBJECT

private slots:
    void betraege_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("gueltig");
        QTest::addColumn<qint64>("cent");
        QTest::newRow("ganz") << "10" << true << qint64(1000);
        QTest::newRow("komma") << "12,5" << true << qint64(1250);
        QTest::newRow("punkt") << "0.30" << true << qint64(30);
        QTest::newRow("leerzeichen") << " 7,05 " << true << qint64(705);
        QTest::newRow("drei Stellen") << "1,005" << false << qint64(0);
        QTest::newRow("negativ") << "-1" << false << qint64(0);
        QTest::newRow("Text") << "zehn" << false << qint64(0);
        QTest::newRow("leer") << "" << false << qint64(0);
    }
    void betraege()
    {
        QFETCH(QString, text);
        QFETCH(bool, gueltig);
        QFETCH(qint64, cent);
        qint64 c = -1;
        QCOMPARE(Geld::centAusText(text, c), gueltig);
        if (gueltig) {
            QCOMPARE(c, cent);
            // Shown back as typed, in the program's form.
            QCOMPARE(
                Geld::centText(c), QStringLiteral("%1,%2").arg(cent / 100).arg(cent % 100, 2, 10, QLatin1Char('0')));
        }
        QCOMPARE(Geld::centText(-5), QStringLiteral("-0,05"));
        // A stored 0.1 + 0.2 is 30 cents, not a fraction that shows.
        QCOMPARE(Geld::centAusKosten(0.1 + 0.2), qint64(30));
    }

    void platzPreise_data()
    {
        QTest::addColumn<qint64>("topf");
        QTest::addColumn<int>("art");
        QTest::addColumn<QVector<qint64>>("werte");
        QTest::addColumn<bool>("proTisch");
        QTest::addColumn<int>("anzahl");
        QTest::addColumn<int>("tische");
        QTest::addColumn<QVector<qint64>>("erwartet");
        QTest::addColumn<qint64>("rest");
        const QVector<qint64> plan { 4000, 2500, 1500, 1000, 1000 };
        // 23 × 10 € = 230 €: 92; 57,50; 34,50; 23; 23.
        QTest::newRow("je Tisch, Liste kürzer") << qint64(23000) << 0 << plan << true << 0 << 6
                                                << QVector<qint64> { 9200, 5750, 3450, 2300, 2300 } << qint64(0);
        QTest::newRow("je Tisch, weniger Tische")
            << qint64(23000) << 0 << plan << true << 0 << 2 << QVector<qint64> { 9200, 5750 } << qint64(8050);
        QTest::newRow("feste Zahl 3") << qint64(23000) << 0 << plan << false << 3 << 6
                                      << QVector<qint64> { 9200, 5750, 3450 } << qint64(4600);
        // 100,01 € in thirds: 33,33 + 33,33 + 33,34 (of 33,3434) = 100,00, 1 ct left.
        QTest::newRow("Rundungsrest") << qint64(10001) << 0 << QVector<qint64> { 3333, 3333, 3334 } << false << 3 << 1
                                      << QVector<qint64> { 3333, 3333, 3334 } << qint64(1);
        QTest::newRow("feste Beträge") << qint64(23000) << 1 << QVector<qint64> { 5000, 3000 } << false << 5 << 6
                                       << QVector<qint64> { 5000, 3000 } << qint64(0);
        QTest::newRow("kein Preis") << qint64(23000) << 0 << plan << false << 0 << 6 << QVector<qint64> {}
                                    << qint64(23000);
    }
    void platzPreise()
    {
        QFETCH(qint64, topf);
        QFETCH(int, art);
        QFETCH(QVector<qint64>, werte);
        QFETCH(bool, proTisch);
        QFETCH(int, anzahl);
        QFETCH(int, tische);
        QFETCH(QVector<qint64>, erwartet);
        QFETCH(qint64, rest);
        Auszahlplan p;
        p.art = art == 0 ? Auszahlplan::Art::Prozent : Auszahlplan::Art::Betrag;
        p.werte = werte;
        p.einProTisch = proTisch;
        p.anzahl = anzahl;
        const auto pp = Geld::platzPreise(topf, p, tische);
        QCOMPARE(pp.betraege, erwartet);
        QCOMPARE(pp.rest, rest);
    }

    void gleicheSummen_data()
    {
        QTest::addColumn<QVector<qint64>>("summen");
        QTest::addColumn<QVector<qint64>>("preise");
        QTest::addColumn<QVector<qint64>>("erwartet");
        QTest::addColumn<qint64>("rest");
        // Second and third share 57,50 + 34,50 = 92 €.
        QTest::newRow("Zweite geteilt") << QVector<qint64> { 1000, 900, 900, 890, 880, 870 }
                                        << QVector<qint64> { 9200, 5750, 3450, 2300, 2300 }
                                        << QVector<qint64> { 9200, 4600, 4600, 2300, 2300, 0 } << qint64(0);
        // Three share 10 + 5 + 2 € = 17 €: 5,66 each, 2 ct left.
        QTest::newRow("drei Erste") << QVector<qint64> { 50, 50, 50, 10 } << QVector<qint64> { 1000, 500, 200 }
                                    << QVector<qint64> { 566, 566, 566, 0 } << qint64(2);
        // The tie reaches past the last prize: two share the last one.
        QTest::newRow("über den letzten Preis") << QVector<qint64> { 10, 9, 9, 8 } << QVector<qint64> { 100, 51 }
                                                << QVector<qint64> { 100, 25, 25, 0 } << qint64(1);
        QTest::newRow("mehr Preise als Spieler")
            << QVector<qint64> { 3, 2 } << QVector<qint64> { 100, 50, 25 } << QVector<qint64> { 100, 50 } << qint64(0);
        QTest::newRow("niemand") << QVector<qint64> {} << QVector<qint64> { 100 } << QVector<qint64> {} << qint64(0);
    }
    void gleicheSummen()
    {
        QFETCH(QVector<qint64>, summen);
        QFETCH(QVector<qint64>, preise);
        QFETCH(QVector<qint64>, erwartet);
        QFETCH(qint64, rest);
        const auto v = Geld::verteilen(summen, preise);
        QCOMPARE(v.preise, erwartet);
        QCOMPARE(v.rest, rest);
    }

    void abend()
    {
        const auto g = Geldbau::abend();
        QCOMPARE(Geld::tischZahl(g), 6);
        const auto a = Geld::abrechnen(g, Geldbau::gebuehren(), Geldbau::plan(), Geldbau::zahlungen());
        QCOMPARE(a.zeilen.size(), 23);
        QCOMPARE(a.topf, qint64(23000));
        QCOMPARE(a.preisskatTopf, qint64(5000));
        QCOMPARE(a.rundungsRest, qint64(0));
        // Place prizes by start number; the tie for second shares 92 €.
        QMap<int, qint64> preis, preisskat;
        for (const auto& z : a.zeilen) {
            if (z.preis)
                preis.insert(z.startNr, z.preis);
            if (z.preisskatPreis)
                preisskat.insert(z.startNr, z.preisskatPreis);
        }
        QCOMPARE(
            preis, (QMap<int, qint64> { { 100, 9200 }, { 101, 4600 }, { 102, 4600 }, { 103, 2300 }, { 104, 2300 } }));
        // 50 € among the five prize-skat players, 40/25/15/10/10 %.
        QCOMPARE(
            preisskat, (QMap<int, qint64> { { 104, 2000 }, { 110, 1250 }, { 111, 750 }, { 120, 500 }, { 122, 500 } }));
        const auto& z104 = a.zeilen.at(4);
        QCOMPARE(z104.schuld(), qint64(1000 + 250 + 1000));
        QCOMPARE(z104.gezahlt, qint64(2250));
        QCOMPARE(z104.saldo(), qint64(4300));
        QCOMPARE(a.zeilen.at(5).saldo(), qint64(-750));
        QCOMPARE(a.zeilen.at(6).saldo(), qint64(-1250));
        // In: 23 × 12,50 + 5 × 10 = 337,50; paid: all but 12,50 + 7,50.
        QCOMPARE(a.schuld, qint64(33750));
        QCOMPARE(a.gezahlt, qint64(31750));
        QCOMPARE(a.aus, qint64(28000));
        QCOMPARE(a.verbleib(), qint64(5750));
        QCOMPARE(a.offen, qint64(2000));
        QCOMPARE(a.auszuzahlen, qint64(28000));
        // Every total is the sum of its lines.
        qint64 schuld = 0, gezahlt = 0, aus = 0, saldo = 0;
        for (const auto& z : a.zeilen) {
            schuld += z.schuld();
            gezahlt += z.gezahlt;
            aus += z.gewinn();
            saldo += z.saldo();
        }
        QCOMPARE(schuld, a.schuld);
        QCOMPARE(gezahlt, a.gezahlt);
        QCOMPARE(aus, a.aus);
        QCOMPARE(saldo, a.auszuzahlen - a.offen);
    }

    void kostenAnteilUndSerienpreis()
    {
        auto g = Geldbau::abend();
        auto plan = Geldbau::plan();
        // Half of the 57,50 € costs into the pot: 230 + 28,75 = 258,75 €;
        // 40 % = 103,50; 25 % = 64,6875 -> 64,68; 15 % = 38,8125 -> 38,81;
        // 10 % = 25,875 -> 25,87 twice; 2 ct left by the shares.
        plan.kostenAnteil = 50;
        plan.serienPreis = 1001;
        // 100 drops to 900: three share first, 103,50 + 64,68 + 38,81 =
        // 206,99 -> 68,99 each, 2 ct left; and the series prize, 3,33 each,
        // 2 ct left.
        g.teilnehmer[0].serien[0].punkte = 900;
        const auto a = Geld::abrechnen(g, Geldbau::gebuehren(), plan, Geldbau::zahlungen());
        QCOMPARE(a.topf, qint64(25875));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(a.zeilen.at(i).preis, qint64(6899));
            QCOMPARE(a.zeilen.at(i).serienPreis, qint64(333));
        }
        QCOMPARE(a.zeilen.at(3).preis, qint64(2587));
        QCOMPARE(a.zeilen.at(4).preis, qint64(2587));
        QCOMPARE(a.zeilen.at(3).serienPreis, qint64(0));
        QCOMPARE(a.rundungsRest, qint64(2 + 2 + 2));
        QCOMPARE(a.aus, qint64(3 * 6899 + 2 * 2587 + 5000 + 3 * 333));
        QCOMPARE(a.verbleib(), a.schuld - a.aus);
    }

    void festeBetraege()
    {
        auto plan = Geldbau::plan();
        plan.art = Auszahlplan::Art::Betrag;
        plan.werte = { 5000, 3000, 2000 };
        const auto a = Geld::abrechnen(Geldbau::abend(), Geldbau::gebuehren(), plan, Geldbau::zahlungen());
        // 50 €, then 30 € + 20 € shared by the two on second place.
        QCOMPARE(a.zeilen.at(0).preis, qint64(5000));
        QCOMPARE(a.zeilen.at(1).preis, qint64(2500));
        QCOMPARE(a.zeilen.at(2).preis, qint64(2500));
        QCOMPARE(a.zeilen.at(3).preis, qint64(0));
        // The 50 € prize-skat pot in the proportions 50:30:20.
        QCOMPARE(a.zeilen.at(4).preisskatPreis, qint64(2500));
        QCOMPARE(a.zeilen.at(10).preisskatPreis, qint64(1500));
        QCOMPARE(a.zeilen.at(11).preisskatPreis, qint64(1000));
        QCOMPARE(a.zeilen.at(20).preisskatPreis, qint64(0));
        QCOMPARE(a.aus, qint64(10000 + 5000));
        QCOMPARE(a.verbleib(), qint64(33750 - 15000));
    }

    void alterSpieltagOhneGebuehren()
    {
        const auto a = Geld::abrechnen(Geldbau::abend(), Geld::Gebuehren {}, Geldbau::plan(), {});
        QVERIFY(!a.gebuehrenGesetzt);
        QCOMPARE(a.topf, qint64(0));
        QCOMPARE(a.aus, qint64(0));
        // The series costs are still owed.
        QCOMPARE(a.schuld, qint64(23 * 250));
        QCOMPARE(a.offen, qint64(23 * 250));
    }
};

REIZWERK_TEST(TstAbrechnung)
#include "tst_abrechnung.moc"
