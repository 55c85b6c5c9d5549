#include "season/saison.h"

#include <algorithm>

#include "scoring/platzierung.h"

namespace Saison
{

int vergleichen(const Spieler& a, const Spieler& b)
{
    // Cross-multiplied, so averages compare exactly: two players with the
    // same average share a place even where the decimals cannot show it.
    const qint64 links = a.zaehler * b.nenner;
    const qint64 rechts = b.zaehler * a.nenner;
    return links < rechts ? -1 : (links > rechts ? 1 : 0);
}

static bool vorher(const Spieler& a, const Spieler& b)
{
    const int v = vergleichen(a, b);
    if (v != 0)
        return v > 0;
    const int n = a.name.compare(b.name, Qt::CaseInsensitive);
    if (n != 0)
        return n < 0;
    return a.startNr < b.startNr;
}

Gaeste gaesteAus(int wert)
{
    return wert == int(Gaeste::Getrennt) ? Gaeste::Getrennt
                                         : (wert == int(Gaeste::Nicht) ? Gaeste::Nicht : Gaeste::Mitwerten);
}

static void plaetzeVergeben(QVector<Spieler>& liste)
{
    std::sort(liste.begin(), liste.end(), vorher);
    const QVector<int> platz
        = Platzierung::plaetze(liste, [](const Spieler& a, const Spieler& b) { return vergleichen(a, b) > 0; });
    for (int i = 0; i < liste.size(); ++i)
        liste[i].platz = platz.at(i);
}

Tabelle berechnen(const QVector<Zeile>& zeilen, const Vorgabe& vorgabe)
{
    Tabelle t;
    t.vorgabe = vorgabe;
    const bool bereichGueltig = vorgabe.von.isValid() && vorgabe.bis.isValid();

    // A player keeps one line through a change of name; the line shows the
    // name of his latest row, in or out of the range.
    QHash<int, QPair<QDate, QString>> namen;
    QVector<const Zeile*> gezaehlt;
    gezaehlt.reserve(zeilen.size());
    QSet<QDate> tage;
    for (const Zeile& z : zeilen) {
        auto n = namen.find(z.startNr);
        if (n == namen.end())
            namen.insert(z.startNr, { z.datum, z.name });
        else if (!(z.datum < n->first))
            *n = { z.datum, z.name };
        if (!bereichGueltig || !z.datum.isValid() || z.datum < vorgabe.von || vorgabe.bis < z.datum)
            continue;
        if (vorgabe.gaeste == Gaeste::Nicht && vorgabe.gastNr.contains(z.startNr))
            continue;
        if (vorgabe.nachGruppen) {
            const auto tag = vorgabe.teilnahme.constFind(z.datum);
            if (tag == vorgabe.teilnahme.constEnd() || !tag->contains(z.startNr))
                continue;
        }
        gezaehlt << &z;
        tage.insert(z.datum);
    }

    t.tage = QVector<QDate>(tage.cbegin(), tage.cend());
    std::sort(t.tage.begin(), t.tage.end());
    QHash<QDate, int> spalte;
    for (int i = 0; i < t.tage.size(); ++i)
        spalte.insert(t.tage.at(i), i);
    const int spalten = t.tage.size();

    QHash<int, int> index;
    QVector<Spieler> alle;
    for (const Zeile* z : qAsConst(gezaehlt)) {
        auto it = index.constFind(z->startNr);
        if (it == index.constEnd()) {
            Spieler s;
            s.startNr = z->startNr;
            s.name = namen.value(z->startNr).second;
            s.gespielt.fill(false, spalten);
            s.punkte.fill(0, spalten);
            s.gewertet.fill(false, spalten);
            it = index.insert(z->startNr, alle.size());
            alle << s;
        }
        Spieler& s = alle[*it];
        const int c = spalte.value(z->datum);
        // Two rows of one player on one day (older data) add up, as in the
        // ranking page.
        s.gespielt[c] = true;
        s.punkte[c] += z->punkte;
    }

    const int n = std::max(1, vorgabe.besteN);
    for (Spieler& s : alle) {
        QVector<int> gespielt;
        for (int c = 0; c < spalten; ++c)
            if (s.gespielt.at(c))
                gespielt << c;
        s.tage = gespielt.size();
        for (int c : qAsConst(gespielt))
            s.summe += s.punkte.at(c);
        switch (vorgabe.regel) {
        case Regel::Summe:
            s.zaehler = s.summe;
            s.nenner = 1;
            std::fill(s.gewertet.begin(), s.gewertet.end(), true);
            break;
        case Regel::Schnitt:
            s.zaehler = s.summe;
            s.nenner = std::max(1, s.tage);
            std::fill(s.gewertet.begin(), s.gewertet.end(), true);
            break;
        case Regel::BesteN: {
            // Of equal day results the earlier day counts.
            std::stable_sort(
                gespielt.begin(), gespielt.end(), [&s](int a, int b) { return s.punkte.at(a) > s.punkte.at(b); });
            const int k = std::min(n, int(gespielt.size()));
            s.zaehler = 0;
            s.nenner = 1;
            for (int i = 0; i < k; ++i) {
                s.gewertet[gespielt.at(i)] = true;
                s.zaehler += s.punkte.at(gespielt.at(i));
            }
            break;
        }
        }
        for (int c = 0; c < spalten; ++c)
            if (!s.gespielt.at(c))
                s.gewertet[c] = false;
        if (vorgabe.mindestTage > 0 && s.tage < vorgabe.mindestTage)
            t.unterMindest << s;
        else if (vorgabe.gaeste == Gaeste::Getrennt && vorgabe.gastNr.contains(s.startNr))
            t.gaeste << s;
        else
            t.gewertet << s;
    }

    plaetzeVergeben(t.gewertet);
    plaetzeVergeben(t.gaeste);
    std::sort(t.unterMindest.begin(), t.unterMindest.end(), vorher);
    return t;
}

Beginn beginnAus(const QString& text)
{
    const QStringList teile = text.trimmed().split(QLatin1Char('-'));
    if (teile.size() != 2)
        return {};
    bool okM = false, okT = false;
    const int monat = teile.at(0).toInt(&okM);
    const int tag = teile.at(1).toInt(&okT);
    // A leap year takes every day a season could start on.
    if (!okM || !okT || !QDate(2000, monat, tag).isValid())
        return {};
    return { monat, tag };
}

QString beginnText(const Beginn& b)
{
    return QStringLiteral("%1-%2").arg(b.monat, 2, 10, QLatin1Char('0')).arg(b.tag, 2, 10, QLatin1Char('0'));
}

QDate beginnIm(int jahr, const Beginn& b)
{
    const QDate d(jahr, b.monat, b.tag);
    return d.isValid() ? d : QDate(jahr, b.monat, 1).addMonths(1).addDays(-1);
}

Zeitraum dieseSaison(const QDate& heute, const Beginn& b)
{
    QDate von = beginnIm(heute.year(), b);
    if (heute < von)
        von = beginnIm(heute.year() - 1, b);
    return { von, beginnIm(von.year() + 1, b).addDays(-1) };
}

Zeitraum diesesJahr(const QDate& heute)
{
    return { QDate(heute.year(), 1, 1), QDate(heute.year(), 12, 31) };
}

Zeitraum alle(const QVector<Zeile>& zeilen, const QDate& heute)
{
    QDate von, bis;
    for (const Zeile& z : zeilen) {
        if (!z.datum.isValid())
            continue;
        if (!von.isValid() || z.datum < von)
            von = z.datum;
        if (!bis.isValid() || bis < z.datum)
            bis = z.datum;
    }
    if (!von.isValid())
        return { heute, heute };
    return { von, bis };
}

QString regelText(Regel regel, int besteN)
{
    switch (regel) {
    case Regel::Schnitt:
        return QStringLiteral("Durchschnitt je Spieltag");
    case Regel::BesteN:
        return QStringLiteral("beste %1 Spieltage").arg(besteN);
    case Regel::Summe:
        break;
    }
    return QStringLiteral("Summe der Punkte");
}

QString wertKopf(Regel regel, int besteN)
{
    switch (regel) {
    case Regel::Schnitt:
        return QStringLiteral("Schnitt");
    case Regel::BesteN:
        return QStringLiteral("Beste %1").arg(besteN);
    case Regel::Summe:
        break;
    }
    return QStringLiteral("Summe");
}

QString wertText(const Spieler& s, Regel regel)
{
    if (regel != Regel::Schnitt)
        return QString::number(s.zaehler);
    return QString::number(s.wert(), 'f', 2).replace(QLatin1Char('.'), QLatin1Char(','));
}

} // namespace Saison
