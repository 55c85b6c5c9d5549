#include "geld/abrechnung.h"

#include <QMap>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace Geld
{

bool centAusText(const QString& text, qint64& cent)
{
    static const QRegularExpression muster(QStringLiteral("^(\\d{1,9})(?:[.,](\\d{1,2}))?$"));
    const auto m = muster.match(text.trimmed());
    if (!m.hasMatch())
        return false;
    qint64 wert = m.captured(1).toLongLong() * 100;
    QString nachkomma = m.captured(2);
    if (nachkomma.size() == 1)
        nachkomma += QLatin1Char('0');
    wert += nachkomma.toLongLong();
    cent = wert;
    return true;
}

QString centText(qint64 cent)
{
    const qint64 betrag = cent < 0 ? -cent : cent;
    return QStringLiteral("%1%2,%3")
        .arg(cent < 0 ? QStringLiteral("-") : QString())
        .arg(betrag / 100)
        .arg(betrag % 100, 2, 10, QLatin1Char('0'));
}

qint64 centAusKosten(double euro)
{
    return std::llround(euro * 100.0);
}

PlatzPreise platzPreise(qint64 topf, const Auszahlplan& plan, int anzahlTische)
{
    PlatzPreise p;
    const int anzahl = std::min<int>(plan.einProTisch ? anzahlTische : plan.anzahl, plan.werte.size());
    qint64 summe = 0;
    for (int i = 0; i < anzahl; ++i) {
        const qint64 w = std::max<qint64>(0, plan.werte.at(i));
        // Shares round down so that the places never pay out more than the pot.
        const qint64 b = plan.art == Auszahlplan::Art::Prozent ? topf * w / 10000 : w;
        p.betraege.append(b);
        summe += b;
    }
    p.rest = plan.art == Auszahlplan::Art::Prozent ? std::max<qint64>(0, topf - summe) : 0;
    return p;
}

Verteilung verteilen(const QVector<qint64>& summenAbsteigend, const QVector<qint64>& preise)
{
    Verteilung v;
    v.preise.fill(0, summenAbsteigend.size());
    int i = 0;
    while (i < summenAbsteigend.size() && i < preise.size()) {
        int j = i;
        while (j + 1 < summenAbsteigend.size() && summenAbsteigend.at(j + 1) == summenAbsteigend.at(i))
            ++j;
        qint64 summe = 0;
        for (int k = i; k <= j && k < preise.size(); ++k)
            summe += preise.at(k);
        const int anzahl = j - i + 1;
        const qint64 anteil = summe / anzahl;
        for (int k = i; k <= j; ++k)
            v.preise[k] = anteil;
        v.rest += summe - anteil * anzahl;
        i = j + 1;
    }
    return v;
}

int tischZahl(const Spieltag::Gruppe& g)
{
    for (int s = 1; s <= g.serien; ++s) {
        if (g.serieGelost(s))
            return Spieltag::tische(g, s).size();
    }
    return (g.teilnehmer.size() + 3) / 4;
}

namespace
{

// Indices of the entries sorted by the key highest first (start number
// breaks ties so the order is stable) and their keys.
struct Rang {
    QVector<int> index;
    QVector<qint64> summen;
};

template<typename Schluessel>
Rang rangfolge(const QVector<int>& auswahl, Schluessel schluessel, const Spieltag::Gruppe& g)
{
    Rang r;
    r.index = auswahl;
    std::stable_sort(r.index.begin(), r.index.end(), [&](int a, int b) {
        const qint64 sa = schluessel(a), sb = schluessel(b);
        if (sa != sb)
            return sa > sb;
        return g.teilnehmer.at(a).startNr < g.teilnehmer.at(b).startNr;
    });
    for (int i : r.index)
        r.summen.append(schluessel(i));
    return r;
}

} // namespace

Abrechnung abrechnen(
    const Spieltag::Gruppe& g, const Gebuehren& gebuehren, const Auszahlplan& plan, const QMap<int, Zahlung>& zahlungen)
{
    Abrechnung a;
    a.gebuehrenGesetzt = gebuehren.gesetzt;
    a.anzahlTische = tischZahl(g);
    const int n = g.teilnehmer.size();
    a.zeilen.resize(n);
    qint64 kostenSumme = 0;
    QVector<int> alle, preisskat;
    QVector<qint64> summen(n, 0);
    for (int i = 0; i < n; ++i) {
        const auto& t = g.teilnehmer.at(i);
        Zeile& z = a.zeilen[i];
        z.startNr = t.startNr;
        z.name = t.name;
        // The series cells are the record, as on the printed results list.
        for (const auto& s : t.serien) {
            z.kosten += centAusKosten(s.kosten);
            summen[i] += s.punkte;
        }
        kostenSumme += z.kosten;
        if (gebuehren.gesetzt) {
            z.startgeld = gebuehren.startgeld;
            if (t.preisskat)
                z.preisskat = gebuehren.preisskat;
        }
        alle.append(i);
        if (t.preisskat)
            preisskat.append(i);
    }
    if (gebuehren.gesetzt) {
        a.topf = gebuehren.startgeld * n + kostenSumme * std::clamp(plan.kostenAnteil, 0, 100) / 100;
        const auto punkte = [&](int i) { return summen.at(i); };

        const Rang r = rangfolge(alle, punkte, g);
        const PlatzPreise pp = platzPreise(a.topf, plan, a.anzahlTische);
        const Verteilung v = verteilen(r.summen, pp.betraege);
        for (int k = 0; k < r.index.size(); ++k)
            a.zeilen[r.index.at(k)].preis = v.preise.at(k);
        a.rundungsRest += pp.rest + v.rest;

        a.preisskatTopf = gebuehren.preisskat * preisskat.size();
        const Rang rp = rangfolge(preisskat, punkte, g);
        // Fixed amounts belong to the main pot; the prize-skat pot is shared
        // in their proportions so that it never pays out more than came in.
        Auszahlplan preisskatPlan = plan;
        if (plan.art == Auszahlplan::Art::Betrag) {
            preisskatPlan.art = Auszahlplan::Art::Prozent;
            qint64 summe = 0;
            for (qint64 w : plan.werte)
                summe += std::max<qint64>(0, w);
            for (qint64& w : preisskatPlan.werte)
                w = summe > 0 ? std::max<qint64>(0, w) * 10000 / summe : 0;
        }
        const PlatzPreise ppp = platzPreise(a.preisskatTopf, preisskatPlan, a.anzahlTische);
        const Verteilung vp = verteilen(rp.summen, ppp.betraege);
        for (int k = 0; k < rp.index.size(); ++k)
            a.zeilen[rp.index.at(k)].preisskatPreis = vp.preise.at(k);
        a.rundungsRest += ppp.rest + vp.rest;

        if (plan.serienPreis > 0) {
            for (int s = 1; s <= g.serien; ++s) {
                if (!g.serieGespielt(s))
                    continue;
                QVector<int> spieler;
                for (int i = 0; i < n; ++i) {
                    if (g.teilnehmer.at(i).serie(s).tisch > 0)
                        spieler.append(i);
                }
                const Rang rs = rangfolge(
                    spieler, [&](int i) { return qint64(g.teilnehmer.at(i).serie(s).punkte); }, g);
                const Verteilung vs = verteilen(rs.summen, { plan.serienPreis });
                for (int k = 0; k < rs.index.size(); ++k)
                    a.zeilen[rs.index.at(k)].serienPreis += vs.preise.at(k);
                a.rundungsRest += vs.rest;
            }
        }
    }
    for (int i = 0; i < n; ++i) {
        Zeile& z = a.zeilen[i];
        const auto it = zahlungen.constFind(z.startNr);
        if (it != zahlungen.constEnd())
            z.gezahlt = it->alles ? z.schuld() : std::max<qint64>(0, it->betrag);
        a.schuld += z.schuld();
        a.gezahlt += z.gezahlt;
        a.aus += z.gewinn();
        if (z.saldo() < 0)
            a.offen -= z.saldo();
        else
            a.auszuzahlen += z.saldo();
    }
    return a;
}

} // namespace Geld
