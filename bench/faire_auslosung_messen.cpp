// Benchmark figures of the fair draw on its own: series 6 of 1,000 players
// after five drawn series, and a match day of 40 players over four series
// drawn one after another. Each run takes another draw number; the floor is
// the plain random draw of the same players.

#include <cstdio>

#include "draw/faireauslosung.h"
#include "messung.h"

using namespace FaireAuslosung;

namespace
{

Eingabe serie(int spieler, const Vorgeschichte& v, quint64 nummer)
{
    Eingabe e;
    e.plan = leererSitzplan(tischLayoutBerechnen(1, tischaufteilung(spieler)));
    for (int i = 0; i < spieler; ++i)
        e.spieler << 100 + i;
    e.vorgeschichte = v;
    e.losnummer = nummer;
    return e;
}

} // namespace

bool faireAuslosungMessen(int laeufe)
{
    bool ok = true;
    {
        QVector<double> zeiten, boden;
        int schlechteste = 0;
        for (int lauf = 0; lauf <= laeufe; ++lauf) {
            Vorgeschichte v;
            for (int s = 1; s <= 5; ++s)
                v.rundeHinzufuegen(runde(auslosen(serie(1000, v, quint64(lauf) * 10 + quint64(s))).plan), gewichtHeute);
            const Eingabe e = serie(1000, v, quint64(lauf) * 10 + 6);
            Ergebnis r;
            const double t = Messung::sekunden([&] { r = auslosen(e); });
            schlechteste = qMax(schlechteste, r.guete.wiederholungen);
            Eingabe schlicht = e;
            schlicht.ausgleich = false;
            const double b = Messung::sekunden([&] { r = auslosen(schlicht); });
            if (lauf > 0) { // the first run warms up
                zeiten << t;
                boden << b;
            }
        }
        Messung::zeile(QStringLiteral("fair draw, 1000 players, series 6"), laeufe, Messung::median(zeiten),
            Messung::median(boden), Messung::Einheit::Sekunden, 0, 0.5);
        Messung::hinweis(QStringLiteral("fair draw, 1000 players, series 6: at most %1 repeats").arg(schlechteste));
        ok = ok && schlechteste == 0;
    }
    {
        QVector<double> zeiten, boden;
        int summe = 0;
        for (int lauf = 0; lauf <= laeufe; ++lauf) {
            int wiederholungen = 0;
            const double t = Messung::sekunden([&] {
                Vorgeschichte v;
                for (int s = 1; s <= 4; ++s) {
                    const Ergebnis r = auslosen(serie(40, v, quint64(lauf) * 10 + quint64(s)));
                    wiederholungen += r.guete.wiederholungen;
                    v.rundeHinzufuegen(runde(r.plan), gewichtHeute);
                }
            });
            summe += wiederholungen;
            const double b = Messung::sekunden([&] {
                Vorgeschichte v;
                for (int s = 1; s <= 4; ++s) {
                    Eingabe e = serie(40, v, quint64(lauf) * 10 + quint64(s));
                    e.ausgleich = false;
                    v.rundeHinzufuegen(runde(auslosen(e).plan), gewichtHeute);
                }
            });
            if (lauf > 0) {
                zeiten << t;
                boden << b;
            }
        }
        Messung::zeile(QStringLiteral("fair draw, 40 players x 4 series"), laeufe, Messung::median(zeiten),
            Messung::median(boden), Messung::Einheit::Sekunden, 0, 0.05);
        Messung::hinweis(QStringLiteral("fair draw, 40 players x 4 series: %1 repeats in all runs").arg(summe));
        ok = ok && summe == 0;
    }
    if (!ok)
        std::fprintf(stderr, "reizwerk_bench: the fair draw left repeats where none were needed\n");
    return ok;
}
