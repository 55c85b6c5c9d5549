#include "scoring/regeln.h"

#include <algorithm>

#include "scoring/eingabe.h"
#include "setup/gruppenpruefung.h"

namespace Regeln
{

const QVector<Regel>& alle()
{
    static const QVector<Regel> regeln = [] {
        const Regelwerte d;
        return QVector<Regel> {
            { 1, QStringLiteral("Kosten/Platz1"), QStringLiteral("Platz1"), Typ::Dezimal, d.platz[0] },
            { 2, QStringLiteral("Kosten/Platz2"), QStringLiteral("Platz2"), Typ::Dezimal, d.platz[1] },
            { 3, QStringLiteral("Kosten/Platz3"), QStringLiteral("Platz3"), Typ::Dezimal, d.platz[2] },
            { 4, QStringLiteral("Kosten/Platz4"), QStringLiteral("Platz4"), Typ::Dezimal, d.platz[3] },
            { 5, QStringLiteral("Kosten/KartenGeld"), QStringLiteral("Kartengeld Euro"), Typ::Dezimal, d.kartengeld },
            { 6, QStringLiteral("Kosten/VerlSp1Bis5"), QStringLiteral("Verlorene Spiele 1 bis 5 Euro"), Typ::Dezimal,
                d.verloren1bis5 },
            { 7, QStringLiteral("Kosten/VerlSpAb6"), QStringLiteral("Verlorene Spiele ab 6 Euro"), Typ::Dezimal,
                d.verlorenAb6 },
            { 8, QStringLiteral("Kosten/Preisskat"), QStringLiteral("Preisskat Euro"), Typ::Dezimal, d.preisskat },
            { 9, QStringLiteral("Kosten/PunkteGewMinusVerl"), QStringLiteral("Punkte gew. Spiele abzgl. verl. Spiele"),
                Typ::Ganzzahl, d.punkteGewVerl },
            { 10, QStringLiteral("Kosten/PunkteGegen3er"),
                QStringLiteral("Punkte Verl. Spiele der Gegenspieler 3er Liste"), Typ::Ganzzahl, d.punkteGegen3er },
            { 11, QStringLiteral("Kosten/PunkteGegen4er"),
                QStringLiteral("Punkte Verl. Spiele der Gegenspieler 4er Liste"), Typ::Ganzzahl, d.punkteGegen4er },
            { 12, QStringLiteral("Kosten/ListenName"), QStringLiteral("ListeNname"), Typ::Text, d.listenName },
        };
    }();
    return regeln;
}

Regelwerte werteLesen(const QSettings& s)
{
    Regelwerte r;
    auto wert = [&s](int nummer) {
        const Regel* regel = Regeln::regel(nummer);
        return s.value(regel->schluessel, regel->standard);
    };
    for (int i = 0; i < 4; ++i)
        r.platz[i] = wert(1 + i).toDouble();
    r.kartengeld = wert(5).toDouble();
    r.verloren1bis5 = wert(6).toDouble();
    r.verlorenAb6 = wert(7).toDouble();
    r.preisskat = wert(8).toDouble();
    r.punkteGewVerl = wert(9).toInt();
    r.punkteGegen3er = wert(10).toInt();
    r.punkteGegen4er = wert(11).toInt();
    r.listenName = wert(12).toString();
    r.verlorenBis = std::clamp(s.value(QStringLiteral("Geld/VerlorenBis"), r.verlorenBis).toInt(), 0, 1000);
    r.passGeld = std::clamp(s.value(QStringLiteral("Geld/PassCent"), 0).toInt(), 0, 100000) / 100.0;
    return r;
}

const Regel* regel(int nummer)
{
    for (const Regel& r : alle())
        if (r.nummer == nummer)
            return &r;
    return nullptr;
}

void standardsSchreiben(QSettings& s)
{
    for (const Regel& r : alle())
        if (!s.contains(r.schluessel))
            s.setValue(r.schluessel, r.standard);
}

QString anzeige(const QSettings& s, const Regel& r)
{
    const QVariant v = s.value(r.schluessel, r.standard);
    switch (r.typ) {
    case Typ::Dezimal:
        return QString::number(v.toDouble(), 'f', 1);
    case Typ::Ganzzahl:
        return QString::number(v.toInt());
    case Typ::Text:
        break;
    }
    return v.toString();
}

bool speichern(QSettings& s, int nummer, const QString& text, QString* fehler)
{
    const Regel* r = regel(nummer);
    if (!r)
        return false;
    switch (r->typ) {
    case Typ::Dezimal: {
        const std::optional<double> betrag = Eingabe::kosten(text);
        if (!betrag) {
            if (fehler)
                *fehler = Eingabe::fehlerKosten(text);
            return false;
        }
        s.setValue(r->schluessel, *betrag);
        break;
    }
    case Typ::Ganzzahl: {
        const std::optional<int> punkte = Eingabe::punkte(text);
        if (!punkte || *punkte < 0) {
            if (fehler)
                *fehler = punkte ? QStringLiteral("FEHLER: %1 ist negativ").arg(*punkte) : Eingabe::fehlerPunkte(text);
            return false;
        }
        s.setValue(r->schluessel, *punkte);
        break;
    }
    case Typ::Text: {
        // The list name travels inside the rules message, whose fields these
        // characters separate.
        QString grund;
        if (!Gruppenpruefung::textOhneTrenner(text, &grund)) {
            if (fehler)
                *fehler = QStringLiteral("FEHLER: Listenname %1").arg(grund);
            return false;
        }
        s.setValue(r->schluessel, text);
        break;
    }
    }
    return true;
}

QString regelnText(const QSettings& s)
{
    QString text;
    for (const Regel& r : alle()) {
        const QVariant v = s.value(r.schluessel, r.standard);
        switch (r.typ) {
        case Typ::Dezimal:
            text += QString::number(v.toDouble(), 'g', 6) + QLatin1Char('|');
            break;
        case Typ::Ganzzahl:
            text += QString::number(v.toInt()) + QLatin1Char('|');
            break;
        case Typ::Text:
            text += v.toString();
            break;
        }
    }
    return text;
}

void gruppenStandardsSchreiben(QSettings& s)
{
    s.beginGroup(QStringLiteral("Gruppe"));
    if (!s.childGroups().contains(QStringLiteral("Gruppen"), Qt::CaseSensitive)) {
        s.setValue(QStringLiteral("Gruppe1"), QStringLiteral("Alle"));
        s.setValue(QStringLiteral("Gruppe2"), QStringLiteral("Senioren"));
        s.setValue(QStringLiteral("Gruppe3"), QStringLiteral("Herren"));
        s.setValue(QStringLiteral("Gruppe4"), QStringLiteral("Damen"));
        s.setValue(QStringLiteral("Gruppe5"), QStringLiteral("Jugend"));
    }
    s.endGroup();
}

namespace
{
const QString alleSpieler = QStringLiteral("Alle");

// Groups edited in the program are kept as they are: the defaults are only
// written while this marker group is absent.
void alsGepflegtMarkieren(QSettings& s)
{
    s.setValue(QStringLiteral("Gruppe/Gruppen/Gepflegt"), true);
}
} // namespace

QVector<Spielergruppe> gruppenLesen(QSettings& s)
{
    QVector<Spielergruppe> gruppen;
    s.beginGroup(QStringLiteral("Gruppe"));
    const QStringList schluessel = s.childKeys();
    for (const QString& k : schluessel)
        gruppen.append({ k, s.value(k).toString() });
    s.endGroup();
    return gruppen;
}

bool gruppeBenennen(QSettings& s, const QString& schluessel, const QString& name, QString* fehler)
{
    auto ablehnen = [fehler](const QString& text) {
        if (fehler)
            *fehler = text;
        return false;
    };
    const QVector<Spielergruppe> gruppen = gruppenLesen(s);
    auto it = std::find_if(
        gruppen.cbegin(), gruppen.cend(), [&](const Spielergruppe& g) { return g.schluessel == schluessel; });
    if (it == gruppen.cend())
        return ablehnen(QStringLiteral("Die Spielergruppe %1 gibt es nicht").arg(schluessel));
    if (it->name == alleSpieler)
        return ablehnen(QStringLiteral("Die Gruppe \"Alle\" steht fuer alle Spieler und behaelt ihren Namen"));
    QString grund;
    if (!Gruppenpruefung::nameGueltig(name, &grund))
        return ablehnen(grund);
    for (const Spielergruppe& g : gruppen)
        if (g.schluessel != schluessel && g.name.compare(name, Qt::CaseInsensitive) == 0)
            return ablehnen(QStringLiteral("Die Spielergruppe \"%1\" gibt es schon").arg(g.name));
    if (name.compare(alleSpieler, Qt::CaseInsensitive) == 0)
        return ablehnen(QStringLiteral("Der Name \"Alle\" steht fuer alle Spieler"));
    s.setValue(QStringLiteral("Gruppe/") + schluessel, name);
    alsGepflegtMarkieren(s);
    return true;
}

Spielergruppe gruppeHinzufuegen(QSettings& s)
{
    const QVector<Spielergruppe> gruppen = gruppenLesen(s);
    int nummer = 1;
    QStringList namen;
    for (const Spielergruppe& g : gruppen) {
        if (g.schluessel.startsWith(QLatin1String("Gruppe")))
            nummer = qMax(nummer, g.schluessel.mid(6).toInt() + 1);
        namen << g.name.toLower();
    }
    Spielergruppe neu { QStringLiteral("Gruppe%1").arg(nummer), QStringLiteral("Neue Gruppe") };
    for (int n = 2; namen.contains(neu.name.toLower()); ++n)
        neu.name = QStringLiteral("Neue Gruppe %1").arg(n);
    s.setValue(QStringLiteral("Gruppe/") + neu.schluessel, neu.name);
    alsGepflegtMarkieren(s);
    return neu;
}

bool gruppeEntfernen(QSettings& s, const QString& schluessel)
{
    const QString k = QStringLiteral("Gruppe/") + schluessel;
    if (schluessel.isEmpty() || !s.contains(k) || s.value(k).toString() == alleSpieler)
        return false;
    s.remove(k);
    alsGepflegtMarkieren(s);
    return true;
}

} // namespace Regeln
