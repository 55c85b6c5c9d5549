#include "print/tabellensatz.h"

#include <QObject>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace Druck
{

namespace
{

constexpr qreal fussHoehe = 20.0;
constexpr qreal polster = 10.0; // per column beyond its widest text
constexpr qreal blockLuecke = 16.0;
constexpr qreal kleinsteSchrift = 5.0;

qreal summe(const QVector<qreal>& v)
{
    return std::accumulate(v.cbegin(), v.cend(), qreal(0));
}

// Title and subtitle at the top of a new page; returns where the table starts.
qreal kopfZeilen(Seite& s, const Dokument& d, const Tabellensatz& t)
{
    const qreal links = rand;
    const qreal rechts = d.blatt().width() - rand;
    qreal y = rand;
    const Schrift titel { 18.0, true };
    s.text(QRectF(links, y, rechts - links, 26), t.titel, titel, Ausrichtung::Links, 10.0);
    y += 26;
    if (!t.untertitel.isEmpty()) {
        s.text(QRectF(links, y, rechts - links, 18), t.untertitel, Schrift { 11.0, false }, Ausrichtung::Links, 7.0);
        y += 18;
    }
    return y + 10;
}

} // namespace

qreal inhaltUnten(const Dokument& d)
{
    return d.blatt().height() - rand - fussHoehe;
}

void tabelleSetzen(Dokument& d, const Tabellensatz& t, bool querErlaubt)
{
    const int n = t.spalten.size();
    if (n == 0)
        return;
    int bloecke = qMax(1, t.bloecke);
    Schrift schrift = t.schrift;
    Schrift kopf { schrift.groesse, true };

    QVector<qreal> natur(n, 0);
    int dehnbar = -1;
    for (int c = 0; c < n; ++c) {
        natur[c] = breite(t.spalten.at(c).kopf, kopf);
        if (t.spalten.at(c).dehnbar && dehnbar < 0)
            dehnbar = c;
    }
    for (const QStringList& z : t.zeilen)
        for (int c = 0; c < n && c < z.size(); ++c)
            natur[c] = qMax(natur[c], breite(z.at(c), schrift));
    for (qreal& w : natur)
        w += polster;

    // The name column may give up to half its width: its longest texts are
    // then set smaller or on two lines, but never narrower than the longest
    // name needs on two lines at the smallest size names are set in.
    qreal namenMindestens = 0;
    if (dehnbar >= 0)
        for (const QStringList& z : t.zeilen)
            if (dehnbar < z.size())
                namenMindestens
                    = qMax(namenMindestens, namenBreite(z.at(dehnbar), Schrift { kleinsteNamen, schrift.fett }));
    QVector<qreal> knapp = natur;
    if (dehnbar >= 0)
        knapp[dehnbar] = std::max(
            { breite(t.spalten.at(dehnbar).kopf, kopf) + polster, natur[dehnbar] * 0.5, namenMindestens });
    auto noetig = [&](const QVector<qreal>& w) { return summe(w) * bloecke + blockLuecke * (bloecke - 1); };
    // Fewer tables side by side rather than names set too small to read.
    while (bloecke > 1 && noetig(knapp) > d.blatt().width() - 2 * rand)
        --bloecke;

    if (d.seiten.isEmpty() && querErlaubt)
        d.ausrichtung = noetig(knapp) > a4Breite - 2 * rand ? QPageLayout::Landscape : QPageLayout::Portrait;
    const qreal verfuegbar = d.blatt().width() - 2 * rand;
    // Too wide even with the names set smaller: everything is set smaller
    // alike, so the names keep their share of the width.
    QVector<qreal> w = natur;
    if (noetig(knapp) > verfuegbar) {
        const qreal faktor = verfuegbar / noetig(natur);
        schrift.groesse = qMax(kleinsteSchrift, std::floor(schrift.groesse * faktor * 10) / 10);
        kopf.groesse = schrift.groesse;
        for (qreal& x : w)
            x *= faktor;
    }

    // Widths for one block: the name column takes what is left (or gives
    // what is missing), otherwise the leftover is spread over all columns.
    const qreal blockBreite = (verfuegbar - blockLuecke * (bloecke - 1)) / bloecke;
    const qreal rest = blockBreite - summe(w);
    if (dehnbar >= 0)
        w[dehnbar] += rest;
    else
        for (qreal& x : w)
            x += rest / n;
    // Set smaller alike, the names would fall below their smallest size:
    // the other columns give the width, their texts set smaller still.
    if (dehnbar >= 0 && w[dehnbar] < namenMindestens) {
        const qreal andere = blockBreite - w[dehnbar];
        const qreal faktor = andere > 0 ? qMax<qreal>(0, blockBreite - namenMindestens) / andere : 0;
        for (int c = 0; c < n; ++c)
            if (c != dehnbar)
                w[c] *= faktor;
        w[dehnbar] = blockBreite - (andere * faktor);
    }

    // A row is as high as a name on more lines needs, where one does.
    qreal zeilenHoehe = schrift.groesse * 1.75;
    if (dehnbar >= 0) {
        int namenZeilen = 0;
        for (const QStringList& z : t.zeilen)
            if (dehnbar < z.size())
                namenZeilen = qMax(namenZeilen,
                    int(namenSetzen(z.at(dehnbar), schrift, QSizeF(w[dehnbar], 1000.0), 3).zeilen.size()));
        if (namenZeilen > 0)
            zeilenHoehe = qMax(zeilenHoehe, Druck::zeilenHoehe(namenZeilen, Schrift { kleinsteNamen, false }) + 1.0);
    }
    const qreal kopfHoehe = schrift.groesse * 2.0;
    const qreal unten = inhaltUnten(d);

    auto zeileMalen = [&](Seite& s, qreal x, qreal y, const QStringList& texte, bool istKopf, bool schattiert) {
        const qreal h = istKopf ? kopfHoehe : zeilenHoehe;
        if (istKopf || schattiert)
            s.flaeche(QRectF(x, y, blockBreite, h), istKopf ? 215 : 242);
        qreal cx = x;
        for (int c = 0; c < n; ++c) {
            const TabellenSpalte& sp = t.spalten.at(c);
            const QString text = c < texte.size() ? texte.at(c) : QString();
            if (c == dehnbar && !istKopf)
                s.name(QRectF(cx, y, w[c], h), text, schrift, sp.ausrichtung, 3);
            else
                s.text(QRectF(cx, y, w[c], h), text, istKopf ? kopf : schrift, sp.ausrichtung, kleinsteSchrift);
            cx += w[c];
        }
        s.linie(x, y + h, x + blockBreite, y + h, istKopf ? 0.8 : 0.3);
    };

    QStringList kopfTexte;
    for (const TabellenSpalte& sp : t.spalten)
        kopfTexte << sp.kopf;

    int naechste = 0;
    qreal y = 0;
    do {
        d.seiten.append(Seite());
        Seite& s = d.seiten.last();
        const qreal start = kopfZeilen(s, d, t);
        const int proBlock = qMax(1, int((unten - start - kopfHoehe) / zeilenHoehe));
        y = start + kopfHoehe;
        for (int b = 0; b < bloecke; ++b) {
            const int von = naechste + b * proBlock;
            if (b > 0 && von >= t.zeilen.size())
                break;
            const qreal x = rand + b * (blockBreite + blockLuecke);
            zeileMalen(s, x, start, kopfTexte, true, false);
            const int bis = qMin(int(t.zeilen.size()), von + proBlock);
            for (int i = von; i < bis; ++i)
                zeileMalen(
                    s, x, start + kopfHoehe + (i - von) * zeilenHoehe, t.zeilen.at(i), false, (i - von) % 2 == 1);
            if (b == 0)
                y = start + kopfHoehe + (bis - von) * zeilenHoehe;
        }
        naechste += proBlock * bloecke;
    } while (naechste < t.zeilen.size());

    if (t.notizen.isEmpty())
        return;
    const Schrift notiz { qMax(kleinsteSchrift, schrift.groesse * 0.9), false };
    const qreal notizHoehe = notiz.groesse * 1.6;
    y += notizHoehe * 0.6;
    if (y + notizHoehe * t.notizen.size() > unten) {
        d.seiten.append(Seite());
        y = kopfZeilen(d.seiten.last(), d, t);
    }
    for (const QString& zeile : t.notizen) {
        d.seiten.last().text(QRectF(rand, y, verfuegbar, notizHoehe), zeile, notiz);
        y += notizHoehe;
    }
}

void seitenFuss(Dokument& d, const QString& links)
{
    const int n = d.seiten.size();
    const qreal breiteInnen = d.blatt().width() - 2 * rand;
    const qreal y = inhaltUnten(d) + 6;
    const Schrift klein { 8.0, false };
    for (int i = 0; i < n; ++i) {
        Seite& s = d.seiten[i];
        s.linie(rand, y, rand + breiteInnen, y, 0.3);
        const QRectF zeile(rand, y + 2, breiteInnen, 12);
        s.text(QRectF(zeile.left(), zeile.top(), breiteInnen * 0.75, 12), links, klein);
        s.text(zeile, QObject::tr("Seite %1 von %2").arg(i + 1).arg(n), klein, Ausrichtung::Rechts);
    }
}

} // namespace Druck
