#pragma once
// A hand-built evening for the money tests: 23 players in one series at five
// tables of four and one of three, entry 10 €, costs 2,50 € each, five
// prize-skat players at 10 €.
//
//   index  StartNr  points  table  prize skat
//   0      100      1000    1
//   1, 2   101,102   900    1      (tie for second)
//   3..22  103..122  890 - 10*(i-3)   i/4+1, 20..22 at table 6
//   prize skat: 104 (880), 110 (820), 111 (810), 120 (720), 122 (700)

#include <QProcess>
#include <QVector>

#include "geld/abrechnung.h"
#include "storage/spieltagleser.h"

namespace Geldbau
{

inline Spieltag::Gruppe abend()
{
    Spieltag::Gruppe g;
    g.name = QStringLiteral("Herren");
    g.datum = QDate(2026, 12, 6);
    g.serien = 1;
    g.letzterTisch = 6;
    const QVector<int> preisskat { 4, 10, 11, 20, 22 };
    for (int i = 0; i < 23; ++i) {
        Spieltag::Teilnehmer t;
        t.startNr = 100 + i;
        t.name = QStringLiteral("Vorname%1 Nachname%1").arg(i + 1);
        t.preisskat = preisskat.contains(i);
        t.summePunkte = i == 0 ? 1000 : i <= 2 ? 900 : 890 - 10 * (i - 3);
        t.summeKosten = 2.5;
        Spieltag::SerienErgebnis s;
        s.tisch = i < 20 ? i / 4 + 1 : 6;
        s.platz = i < 20 ? i % 4 + 1 : i - 19;
        s.punkte = t.summePunkte;
        s.kosten = 2.5;
        t.serien = { s };
        g.teilnehmer.append(t);
    }
    return g;
}

inline Geld::Auszahlplan plan()
{
    Geld::Auszahlplan p;
    p.art = Geld::Auszahlplan::Art::Prozent;
    p.werte = { 4000, 2500, 1500, 1000, 1000 };
    p.einProTisch = true;
    return p;
}

inline Geld::Gebuehren gebuehren()
{
    Geld::Gebuehren g;
    g.gesetzt = true;
    g.startgeld = 1000;
    g.preisskat = 1000;
    return g;
}

// Everybody paid all, but 105 paid 5 € and 106 nothing.
inline QMap<int, Geld::Zahlung> zahlungen()
{
    QMap<int, Geld::Zahlung> z;
    for (int nr = 100; nr <= 122; ++nr) {
        if (nr != 105 && nr != 106)
            z.insert(nr, { true, 0 });
    }
    z.insert(105, { false, 500 });
    return z;
}

// The text of a PDF, as laid out.
inline QString pdfText(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
        { QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-") });
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace Geldbau
