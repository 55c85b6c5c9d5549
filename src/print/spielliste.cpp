// The game-list sheets: one A4 page per table with the players as column
// heads, numbered game rows, the rows a table fills in at the end with the
// rules' numbers, and a signature per player.

#include <QObject>

#include "print/dokumente.h"
#include "print/dokumenthilfe.h"
#include "print/tabellensatz.h"

namespace Druck
{

namespace
{

constexpr qreal nrBreite = 20.0;
constexpr qreal strichBreite = 19.0; // each of the two tally columns
constexpr qreal kopfHoehe = 46.0;
constexpr qreal qrSeite = 56.0;
constexpr qreal spaltenKopf = 32.0;
constexpr qreal summenZeile = 13.0;
constexpr qreal unterschrift = 34.0;
constexpr qreal kleinsteZeile = 8.5; // below this a pencil no longer fits

struct Blattkopf {
    QString listenName, gruppe, datum;
    int serie = 0;
    int tisch = 0;
    int spiele = 0;
    int sitze = 0;
    QString adresse;
};

// The sheet's head; returns where the player columns start.
qreal kopfMalen(Seite& s, const Blattkopf& k, qreal links, qreal breite, bool fortsetzung)
{
    const bool mitQr = !k.adresse.isEmpty();
    const qreal textBreite = breite - (mitQr ? qrSeite + 8 : 0);
    s.text(QRectF(links, rand, textBreite * 0.62, 26), k.listenName, Schrift { 18.0, true }, Ausrichtung::Links, 9.0);
    s.text(QRectF(links + textBreite * 0.62, rand, textBreite * 0.38, 26), QObject::tr("Tisch %1").arg(k.tisch),
        Schrift { 22.0, true }, Ausrichtung::Rechts);
    QString zeile = QObject::tr("Gruppe %1 \u00b7 %2 \u00b7 Serie %3").arg(k.gruppe, k.datum).arg(k.serie);
    s.text(QRectF(links, rand + 26, textBreite * 0.7, 16), zeile, Schrift { 11.0, false }, Ausrichtung::Links, 7.0);
    const QString art = fortsetzung ? QObject::tr("Fortsetzung")
                                    : QObject::tr("%1er-Tisch, %2 Spiele").arg(k.sitze <= 3 ? 3 : 4).arg(k.spiele);
    s.text(QRectF(links + textBreite * 0.7, rand + 26, textBreite * 0.3, 16), art, Schrift { 9.0, false },
        Ausrichtung::Rechts);
    qreal y = rand + kopfHoehe;
    if (mitQr) {
        s.qr(QRectF(links + breite - qrSeite, rand - 4, qrSeite, qrSeite), k.adresse);
        s.text(
            QRectF(links, rand + qrSeite - 4, breite, 9), k.adresse, Schrift { 6.0, false }, Ausrichtung::Rechts, 4.0);
        y = qMax(y, rand + qrSeite + 6);
    }
    return y;
}

// Column heads over the game rows: the number, then per player the name
// above "Spielwert", "gew." and "verl.".
void spaltenKoepfeMalen(Seite& s, const Spieltag::Tisch& t, qreal links, qreal y, qreal spielerBreite)
{
    s.flaeche(QRectF(links, y, nrBreite + spielerBreite * t.sitze.size(), spaltenKopf), 225);
    s.text(QRectF(links, y, nrBreite, spaltenKopf), QObject::tr("Nr"), Schrift { 7.0, true }, Ausrichtung::Mitte);
    const Schrift klein { 7.0, false };
    for (int i = 0; i < t.sitze.size(); ++i) {
        const qreal x = links + nrBreite + i * spielerBreite;
        const Spieltag::SitzEintrag& e = t.sitze.at(i);
        s.text(QRectF(x, y + 1, spielerBreite, 14), e.name, Schrift { 10.0, true }, Ausrichtung::Mitte, 5.0);
        s.text(QRectF(x, y + 13, spielerBreite, 9), QObject::tr("Platz %1 \u00b7 Nr %2").arg(e.platz).arg(e.startNr),
            klein, Ausrichtung::Mitte);
        const qreal wertBreite = spielerBreite - 2 * strichBreite;
        s.text(QRectF(x, y + 22, wertBreite, 10), QObject::tr("Spielwert"), klein, Ausrichtung::Mitte);
        s.text(QRectF(x + wertBreite, y + 22, strichBreite, 10), QObject::tr("gew."), klein, Ausrichtung::Mitte);
        s.text(QRectF(x + wertBreite + strichBreite, y + 22, strichBreite, 10), QObject::tr("verl."), klein,
            Ausrichtung::Mitte);
    }
}

// Game rows von..bis-1 (0-based) from y with height h each.
qreal spielZeilenMalen(Seite& s, int sitze, int von, int bis, qreal links, qreal y, qreal spielerBreite, qreal h)
{
    const qreal rechts = links + nrBreite + spielerBreite * sitze;
    const qreal oben = y;
    const Schrift nr { qMin<qreal>(8.0, h * 0.75), false };
    for (int i = von; i < bis; ++i) {
        s.text(QRectF(links, y, nrBreite, h), QString::number(i + 1), nr, Ausrichtung::Rechts);
        y += h;
        // A stronger line after every round, when each player has dealt once.
        s.linie(links, y, rechts, y, (i + 1) % sitze == 0 ? 0.8 : 0.25);
    }
    s.linie(links, oben, links, y, 0.8);
    s.linie(links + nrBreite, oben, links + nrBreite, y, 0.8);
    for (int p = 0; p < sitze; ++p) {
        const qreal x = links + nrBreite + p * spielerBreite;
        const qreal wertBreite = spielerBreite - 2 * strichBreite;
        s.linie(x + wertBreite, oben, x + wertBreite, y, 0.25);
        s.linie(x + wertBreite + strichBreite, oben, x + wertBreite + strichBreite, y, 0.25);
        s.linie(x + spielerBreite, oben, x + spielerBreite, y, 0.8);
    }
    return y;
}

// The rows a table fills in at the end, with the rules' numbers in their
// captions; then the signatures.
void summenMalen(Seite& s, const Spieltag::Tisch& t, const Regelwerte& r, qreal links, qreal breite, qreal y)
{
    const int n = t.sitze.size();
    // A table of three with a seat left empty (five players) still plays a
    // 3-player list.
    const bool dreier = n <= 3;
    const qreal labelBreite = 200.0;
    const qreal spalte = (breite - labelBreite) / n;
    const Schrift label { 8.0, false };
    const Schrift fett { 8.0, true };

    s.flaeche(QRectF(links, y, breite, summenZeile), 225);
    s.text(QRectF(links, y, labelBreite, summenZeile), QObject::tr("Abrechnung"), fett);
    for (int i = 0; i < n; ++i)
        s.text(QRectF(links + labelBreite + i * spalte, y, spalte, summenZeile), t.sitze.at(i).name, fett,
            Ausrichtung::Mitte, 5.0);
    y += summenZeile;

    QString plaetze;
    for (int i = 0; i < n; ++i)
        plaetze += (i ? QStringLiteral(" / ") : QString()) + euro(r.platz[i]).chopped(2);
    struct Zeile {
        QString text;
        bool summe;
    };
    const QVector<Zeile> zeilen = {
        { QObject::tr("Summe Spielwerte"), false },
        { QObject::tr("Gewonnene Spiele"), false },
        { QObject::tr("Verlorene Spiele"), false },
        { QObject::tr("(gew. \u2212 verl. Spiele) \u00d7 %1 Punkte").arg(r.punkteGewMinusVerl), false },
        { QObject::tr("verl. Spiele der Gegenspieler \u00d7 %1 Punkte")
                .arg(dreier ? r.punkteGegen3er : r.punkteGegen4er),
            false },
        { QObject::tr("Punkte gesamt"), true },
        { QObject::tr("verl. Spiele 1 bis 5 \u00d7 %1").arg(euro(r.verlSp1Bis5)), false },
        { QObject::tr("verl. Spiele ab 6 \u00d7 %1").arg(euro(r.verlSpAb6)), false },
        { QObject::tr("Kartengeld %1").arg(euro(r.kartenGeld)), false },
        { QObject::tr("Platzgeld Platz 1\u2013%1: %2 \u20ac").arg(n).arg(plaetze), false },
        { QObject::tr("Kosten gesamt"), true },
    };
    const qreal oben = y;
    for (const Zeile& z : zeilen) {
        if (z.summe)
            s.flaeche(QRectF(links, y, breite, summenZeile), 242);
        s.text(QRectF(links, y, labelBreite, summenZeile), z.text, z.summe ? fett : label);
        y += summenZeile;
        s.linie(links, y, links + breite, y, z.summe ? 0.8 : 0.3);
    }
    s.rahmen(QRectF(links, oben - summenZeile, breite, y - oben + summenZeile), 0.8);
    for (int i = 0; i <= n; ++i)
        s.linie(links + labelBreite + i * spalte, oben - summenZeile, links + labelBreite + i * spalte, y, 0.5);

    // Signatures: a line per player with the name below it.
    y += unterschrift - 12;
    const qreal feld = breite / n;
    for (int i = 0; i < n; ++i) {
        const qreal x = links + i * feld;
        s.linie(x + 6, y, x + feld - 6, y, 0.5);
        s.text(QRectF(x + 6, y + 1, feld - 12, 10), QObject::tr("Unterschrift %1").arg(t.sitze.at(i).name),
            Schrift { 6.5, false }, Ausrichtung::Mitte, 4.5);
    }
}

qreal summenHoehe()
{
    return summenZeile * 12 + 8 + unterschrift;
}

} // namespace

Dokument spiellisten(const Spieltag::Gruppe& g, int serie, const Regelwerte& regeln, const TischAdresse& tischAdresse)
{
    const QString titel = QObject::tr("Spiellisten Serie %1 \u2013 %2").arg(serie).arg(g.name);
    const QString vorschlag = dateiName(g.name, g.datum, QStringLiteral("Spiellisten"), serie);
    const QVector<Spieltag::Tisch> tische = Spieltag::tische(g, serie);
    if (tische.isEmpty())
        return hinweisDokument(titel, vorschlag, QObject::tr("Serie %1 ist noch nicht ausgelost.").arg(serie));

    Dokument d;
    d.titel = titel;
    d.dateiVorschlag = vorschlag;
    const qreal links = rand;
    const qreal breite = d.blatt().width() - 2 * rand;
    const qreal unten = inhaltUnten(d);
    for (const Spieltag::Tisch& t : tische) {
        const int sitze = qMax(1, int(t.sitze.size()));
        Blattkopf k { regeln.listenName, g.name, datumText(g.datum), serie, t.nummer,
            qMax(1, sitze <= 3 ? g.spiele3er : g.spiele4er), sitze, QString() };
        if (tischAdresse)
            k.adresse = tischAdresse(g.name, serie, t.nummer);
        const qreal spielerBreite = (breite - nrBreite) / sitze;

        // Everything on one sheet as long as a row stays writable; a group
        // with very long lists gets continuation sheets before the totals.
        int gesetzt = 0;
        bool fortsetzung = false;
        while (true) {
            d.seiten.append(Seite());
            Seite& s = d.seiten.last();
            const qreal start = kopfMalen(s, k, links, breite, fortsetzung) + spaltenKopf;
            spaltenKoepfeMalen(s, t, links, start - spaltenKopf, spielerBreite);
            const int rest = k.spiele - gesetzt;
            const qreal mitSummen = unten - start - summenHoehe();
            if (rest * kleinsteZeile <= mitSummen) {
                const qreal h = rest > 0 ? qMin<qreal>(16.0, mitSummen / rest) : 0.0;
                const qreal y = spielZeilenMalen(s, sitze, gesetzt, k.spiele, links, start, spielerBreite, h);
                summenMalen(s, t, regeln, links, breite, y + 8);
                break;
            }
            const int passen = qMax(1, int((unten - start) / 10.0));
            const int bis = qMin(k.spiele, gesetzt + passen);
            spielZeilenMalen(s, sitze, gesetzt, bis, links, start, spielerBreite, 10.0);
            gesetzt = bis;
            fortsetzung = true;
        }
    }
    seitenFuss(d, QObject::tr("%1 \u00b7 %2 \u00b7 Spiellisten Serie %3").arg(g.name, datumText(g.datum)).arg(serie));
    return d;
}

} // namespace Druck
