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
constexpr qreal summenZeile = 13.0;
constexpr qreal unterschriftRaum = 22.0; // above the line, to sign on
constexpr qreal kleinsteZeile = 8.5; // below this a pencil no longer fits
constexpr qreal labelHoechstens = 200.0;
const Schrift spaltenName { 10.0, true };
const Schrift abrechnungName { 8.0, true };
const Schrift unterschriftText { kleinsteNamen, false };

// The most lines any of the table's names needs in a box of that width.
int namenZeilen(const Spieltag::Tisch& t, const Schrift& schrift, qreal breite, int maxZeilen,
    const QString& vorsatz = QString())
{
    int zeilen = 1;
    for (const Spieltag::SitzEintrag& e : t.sitze)
        zeilen = qMax(zeilen,
            int(namenSetzen(vorsatz + e.name, schrift, QSizeF(breite, 1000.0), maxZeilen).zeilen.size()));
    return zeilen;
}

// The names over the player columns: one line, or more where a name needs them.
qreal spaltenNamenHoehe(const Spieltag::Tisch& t, qreal spielerBreite)
{
    const int zeilen = namenZeilen(t, spaltenName, spielerBreite, 3);
    return zeilen > 1 ? zeilenHoehe(zeilen, Schrift { kleinsteNamen, true }) + 1.5 : 14.0;
}

qreal spaltenKopfHoehe(const Spieltag::Tisch& t, qreal spielerBreite)
{
    return spaltenNamenHoehe(t, spielerBreite) + 18.0;
}

QString unterschriftVon(const QString& name)
{
    return QObject::tr("Unterschrift %1").arg(name);
}

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
    const qreal namen = spaltenNamenHoehe(t, spielerBreite);
    const qreal hoehe = spaltenKopfHoehe(t, spielerBreite);
    s.flaeche(QRectF(links, y, nrBreite + spielerBreite * t.sitze.size(), hoehe), 225);
    s.text(QRectF(links, y, nrBreite, hoehe), QObject::tr("Nr"), Schrift { 7.0, true }, Ausrichtung::Mitte);
    const Schrift klein { 7.0, false };
    for (int i = 0; i < t.sitze.size(); ++i) {
        const qreal x = links + nrBreite + i * spielerBreite;
        const Spieltag::SitzEintrag& e = t.sitze.at(i);
        s.name(QRectF(x, y + 1, spielerBreite, namen), e.name, spaltenName, Ausrichtung::Mitte, 3);
        s.text(QRectF(x, y + namen - 1, spielerBreite, 9),
            QObject::tr("Platz %1 \u00b7 Nr %2").arg(e.platz).arg(e.startNr), klein, Ausrichtung::Mitte);
        const qreal wertBreite = spielerBreite - 2 * strichBreite;
        const qreal unten = y + namen + 8;
        s.text(QRectF(x, unten, wertBreite, 10), QObject::tr("Spielwert"), klein, Ausrichtung::Mitte);
        s.text(QRectF(x + wertBreite, unten, strichBreite, 10), QObject::tr("gew."), klein, Ausrichtung::Mitte);
        s.text(QRectF(x + wertBreite + strichBreite, unten, strichBreite, 10), QObject::tr("verl."), klein,
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
// captions, under a head with the players' names.
struct Abrechnung {
    struct Zeile {
        QString text;
        bool summe;
    };
    QVector<Zeile> zeilen;
    qreal labelBreite = labelHoechstens;
    qreal spalte = 0; // per player
    qreal kopf = summenZeile; // the head with the names
    qreal unterschrift = 0; // the captions under the signature lines

    Abrechnung(const Spieltag::Tisch& t, const Regeln::Regelwerte& r, qreal breite)
    {
        const int n = qMax(1, int(t.sitze.size()));
        // A table of three with a seat left empty (five players) still plays a
        // 3-player list.
        const bool dreier = n <= 3;
        QString plaetze;
        for (int i = 0; i < n; ++i)
            plaetze += (i ? QStringLiteral(" / ") : QString()) + euro(r.platz[i]).chopped(2);
        zeilen = {
            { QObject::tr("Summe Spielwerte"), false },
            { QObject::tr("Gewonnene Spiele"), false },
            { QObject::tr("Verlorene Spiele"), false },
            { QObject::tr("(gew. \u2212 verl. Spiele) \u00d7 %1 Punkte").arg(r.punkteGewVerl), false },
            { QObject::tr("verl. Spiele der Gegenspieler \u00d7 %1 Punkte")
                    .arg(dreier ? r.punkteGegen3er : r.punkteGegen4er),
                false },
            { QObject::tr("Punkte gesamt"), true },
            { QObject::tr("verl. Spiele 1 bis 5 \u00d7 %1").arg(euro(r.verloren1bis5)), false },
            { QObject::tr("verl. Spiele ab 6 \u00d7 %1").arg(euro(r.verlorenAb6)), false },
            { QObject::tr("Kartengeld %1").arg(euro(r.kartengeld)), false },
            { QObject::tr("Platzgeld Platz 1\u2013%1: %2 \u20ac").arg(n).arg(plaetze), false },
            { QObject::tr("Kosten gesamt"), true },
        };
        // The captions take what they need, so the names get the rest.
        qreal label = breiteVon(QObject::tr("Abrechnung"), true);
        for (const Zeile& z : zeilen)
            label = qMax(label, breiteVon(z.text, z.summe));
        labelBreite = qMin(labelHoechstens, label + 6.0);
        spalte = (breite - labelBreite) / n;
        const int kopfZeilen = namenZeilen(t, abrechnungName, spalte, 4);
        if (kopfZeilen > 1)
            kopf = zeilenHoehe(kopfZeilen, Schrift { kleinsteNamen, true }) + 2.0;
        const int unterZeilen = namenZeilen(t, unterschriftText, breite / n - 12, 3, unterschriftVon(QString()));
        unterschrift = zeilenHoehe(unterZeilen, unterschriftText) + 2.0;
    }

    static qreal breiteVon(const QString& text, bool fett) { return breite(text, Schrift { 8.0, fett }); }

    qreal hoehe() const { return kopf + summenZeile * zeilen.size() + 8 + unterschriftRaum + unterschrift; }
};

void summenMalen(Seite& s, const Spieltag::Tisch& t, const Abrechnung& a, qreal links, qreal breite, qreal y)
{
    const int n = t.sitze.size();
    const Schrift label { 8.0, false };
    const Schrift fett { 8.0, true };

    s.flaeche(QRectF(links, y, breite, a.kopf), 225);
    s.text(QRectF(links, y, a.labelBreite, a.kopf), QObject::tr("Abrechnung"), fett);
    for (int i = 0; i < n; ++i)
        s.name(QRectF(links + a.labelBreite + i * a.spalte, y, a.spalte, a.kopf), t.sitze.at(i).name,
            abrechnungName, Ausrichtung::Mitte, 4);
    y += a.kopf;

    const qreal oben = y;
    for (const Abrechnung::Zeile& z : a.zeilen) {
        if (z.summe)
            s.flaeche(QRectF(links, y, breite, summenZeile), 242);
        s.text(QRectF(links, y, a.labelBreite, summenZeile), z.text, z.summe ? fett : label);
        y += summenZeile;
        s.linie(links, y, links + breite, y, z.summe ? 0.8 : 0.3);
    }
    s.rahmen(QRectF(links, oben - a.kopf, breite, y - oben + a.kopf), 0.8);
    for (int i = 0; i <= n; ++i)
        s.linie(links + a.labelBreite + i * a.spalte, oben - a.kopf, links + a.labelBreite + i * a.spalte, y, 0.5);

    // Signatures: a line per player with the name below it.
    y += unterschriftRaum;
    const qreal feld = breite / n;
    for (int i = 0; i < n; ++i) {
        const qreal x = links + i * feld;
        s.linie(x + 6, y, x + feld - 6, y, 0.5);
        s.name(QRectF(x + 6, y + 1, feld - 12, a.unterschrift), unterschriftVon(t.sitze.at(i).name),
            unterschriftText, Ausrichtung::Mitte, 3);
    }
}

} // namespace

Dokument spiellisten(
    const Spieltag::Gruppe& g, int serie, const Regeln::Regelwerte& regeln, const TischAdresse& tischAdresse)
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
    for (Spieltag::Tisch t : tische) {
        for (Spieltag::SitzEintrag& e : t.sitze)
            e.name = gedruckterName(e);
        const int sitze = qMax(1, int(t.sitze.size()));
        Blattkopf k { regeln.listenName, g.name, datumText(g.datum), serie, t.nummer,
            qMax(1, sitze <= 3 ? g.spiele3er : g.spiele4er), sitze, QString() };
        if (tischAdresse)
            k.adresse = tischAdresse(g.name, serie, t.nummer);
        const qreal spielerBreite = (breite - nrBreite) / sitze;
        const Abrechnung abrechnung(t, regeln, breite);

        // Everything on one sheet as long as a row stays writable; a group
        // with very long lists gets continuation sheets before the totals.
        int gesetzt = 0;
        bool fortsetzung = false;
        while (true) {
            d.seiten.append(Seite());
            Seite& s = d.seiten.last();
            const qreal spaltenKopf = spaltenKopfHoehe(t, spielerBreite);
            const qreal start = kopfMalen(s, k, links, breite, fortsetzung) + spaltenKopf;
            spaltenKoepfeMalen(s, t, links, start - spaltenKopf, spielerBreite);
            const int rest = k.spiele - gesetzt;
            const qreal mitSummen = unten - start - abrechnung.hoehe();
            if (rest * kleinsteZeile <= mitSummen) {
                const qreal h = rest > 0 ? qMin<qreal>(16.0, mitSummen / rest) : 0.0;
                const qreal y = spielZeilenMalen(s, sitze, gesetzt, k.spiele, links, start, spielerBreite, h);
                summenMalen(s, t, abrechnung, links, breite, y + 8);
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
