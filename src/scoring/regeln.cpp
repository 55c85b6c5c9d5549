#include "scoring/regeln.h"

#include "scoring/eingabe.h"
#include "setup/gruppenpruefung.h"

namespace Regeln
{

const QVector<Regel>& alle()
{
    static const QVector<Regel> regeln = {
        { 1, QStringLiteral("Kosten/Platz1"), QStringLiteral("Platz1"), Typ::Dezimal, 0.0 },
        { 2, QStringLiteral("Kosten/Platz2"), QStringLiteral("Platz2"), Typ::Dezimal, 1.5 },
        { 3, QStringLiteral("Kosten/Platz3"), QStringLiteral("Platz3"), Typ::Dezimal, 2.5 },
        { 4, QStringLiteral("Kosten/Platz4"), QStringLiteral("Platz4"), Typ::Dezimal, 3.5 },
        { 5, QStringLiteral("Kosten/KartenGeld"), QStringLiteral("Kartengeld Euro"), Typ::Dezimal, 1.0 },
        { 6, QStringLiteral("Kosten/VerlSp1Bis5"), QStringLiteral("Verlorene Spiele 1 bis 5 Euro"), Typ::Dezimal, 1.0 },
        { 7, QStringLiteral("Kosten/VerlSpAb6"), QStringLiteral("Verlorene Spiele ab 6 Euro"), Typ::Dezimal, 2.5 },
        { 8, QStringLiteral("Kosten/Preisskat"), QStringLiteral("Preisskat Euro"), Typ::Dezimal, 10.0 },
        { 9, QStringLiteral("Kosten/PunkteGewMinusVerl"), QStringLiteral("Punkte gew. Spiele abzgl. verl. Spiele"),
            Typ::Ganzzahl, 50 },
        { 10, QStringLiteral("Kosten/PunkteGegen3er"), QStringLiteral("Punkte Verl. Spiele der Gegenspieler 3er Liste"),
            Typ::Ganzzahl, 40 },
        { 11, QStringLiteral("Kosten/PunkteGegen4er"), QStringLiteral("Punkte Verl. Spiele der Gegenspieler 4er Liste"),
            Typ::Ganzzahl, 30 },
        { 12, QStringLiteral("Kosten/ListenName"), QStringLiteral("ListeNname"), Typ::Text,
            QStringLiteral("Spielliste") },
    };
    return regeln;
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

} // namespace Regeln
