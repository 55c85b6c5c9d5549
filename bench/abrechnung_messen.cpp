// Benchmark figure of the settlement: a group of 1,000 participants over 20
// series, 100 of them in the prize skat, every second one paid; the
// settlement alone, and with its CSV and its printed pages. The floor is one
// pass that sums the costs and points of every series cell.

#include <QMap>

#include "geld/abrechnung.h"
#include "geld/geldausgabe.h"
#include "messung.h"

namespace
{

Spieltag::Gruppe gruppe()
{
    Spieltag::Gruppe g;
    g.name = QStringLiteral("Alle");
    g.datum = QDate(2026, 12, 6);
    g.serien = 20;
    for (int i = 0; i < 1000; ++i) {
        Spieltag::Teilnehmer t;
        t.startNr = 100 + i;
        t.name = QStringLiteral("Vorname%1 Nachname%1").arg(i);
        t.preisskat = i % 10 == 0;
        for (int s = 1; s <= 20; ++s) {
            Spieltag::SerienErgebnis e;
            e.tisch = i / 4 + 1;
            e.platz = i % 4 + 1;
            e.punkte = (i * 37 + s * 101) % 1500 - 200;
            e.kosten = double((i + s) % 7) * 0.5;
            t.serien << e;
        }
        g.teilnehmer << t;
    }
    return g;
}

} // namespace

bool abrechnungMessen(int laeufe)
{
    const Spieltag::Gruppe g = gruppe();
    Geld::Auszahlplan plan;
    plan.werte = { 3000, 2000, 1000 };
    for (int i = 0; i < 40; ++i)
        plan.werte << 100;
    plan.einProTisch = true;
    plan.kostenAnteil = 50;
    plan.serienPreis = 500;
    QMap<int, Geld::Zahlung> zahlungen;
    for (int i = 0; i < 1000; i += 2)
        zahlungen.insert(100 + i, { true, 0 });
    const Geld::Gebuehren gebuehren { true, 1000, 1000 };

    QVector<double> rechnen, alles, b;
    qint64 kontrolle = 0;
    for (int lauf = 0; lauf <= laeufe; ++lauf) {
        Geld::Abrechnung a;
        const double r = Messung::sekunden([&] { a = Geld::abrechnen(g, gebuehren, plan, zahlungen); });
        const double t = Messung::sekunden([&] {
            const Geld::Abrechnung neu = Geld::abrechnen(g, gebuehren, plan, zahlungen);
            kontrolle += neu.aus + Geld::abrechnungCsv(g, neu).size() + Geld::abrechnungsDokument(g, neu).seiten.size();
        });
        const double boden = Messung::sekunden([&] {
            for (const auto& tn : g.teilnehmer)
                for (const auto& e : tn.serien)
                    kontrolle += Geld::centAusKosten(e.kosten) + e.punkte;
        });
        kontrolle += a.aus;
        if (lauf > 0) {
            rechnen << r;
            alles << t;
            b << boden;
        }
    }
    Messung::zeile(QStringLiteral("settlement 1000 participants x 20 series"), laeufe, Messung::median(rechnen),
        Messung::median(b), Messung::Einheit::Sekunden, 0, 0.3);
    Messung::zeile(QStringLiteral("settlement 1000 x 20 with CSV and %1 pages")
                       .arg(Geld::abrechnungsDokument(g, Geld::abrechnen(g, gebuehren, plan, zahlungen)).seiten.size()),
        laeufe, Messung::median(alles), Messung::median(b), Messung::Einheit::Sekunden, 0, 0.3);
    return kontrolle != 0;
}
