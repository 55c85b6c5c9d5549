#pragma once
// Season standings: the match-day points kept in table Rangliste, over a
// date range, per start number, ranked by total, by average per match day
// played or by the best N match days. Pure computation, no database.

#include <QDate>
#include <QHash>
#include <QPair>
#include <QSet>
#include <QString>
#include <QVector>

namespace Saison
{

// One row of table Rangliste.
struct Zeile {
    int startNr = 0;
    QString name;
    QDate datum;
    int punkte = 0;
};

enum class Regel { Summe, Schnitt, BesteN };

// How players who are no members (roster mark `Mitglied` not "Ja") are
// ranked: with the members, apart after them with places of their own, or
// not at all. Stored as its number under `schluesselGaeste`.
enum class Gaeste { Mitwerten, Getrennt, Nicht };
inline const QString schluesselGaeste = QStringLiteral("Saison/Gaeste");
Gaeste gaesteAus(int wert);

// What a ranking is asked for.
struct Vorgabe {
    QDate von;
    QDate bis;
    Regel regel = Regel::Summe;
    int besteN = 5;
    // Fewer match days played than this: listed apart, without a place. 0: no minimum.
    int mindestTage = 0;
    // With a group choice, a row counts only when its player sat in one of
    // the chosen groups on that day; a day without group files then counts
    // for nobody.
    bool nachGruppen = false;
    QHash<QDate, QSet<int>> teilnahme;
    Gaeste gaeste = Gaeste::Mitwerten;
    QSet<int> gastNr; // start numbers of the guests
};

struct Spieler {
    int startNr = 0;
    QString name; // the name of the player's latest row
    QVector<bool> gespielt; // per match-day column
    QVector<qint64> punkte; // per match-day column, 0 where not played
    QVector<bool> gewertet; // per column: counts towards the value (best N)
    int tage = 0;
    qint64 summe = 0; // over every match day played in the range
    // The value ranked by is zaehler / nenner: the total, the total of the
    // best N days (nenner 1) or the total over the days played (average).
    qint64 zaehler = 0;
    qint64 nenner = 1;
    int platz = 0; // 0: below the minimum

    double wert() const { return nenner > 0 ? double(zaehler) / double(nenner) : 0.0; }
};

struct Tabelle {
    Vorgabe vorgabe;
    QVector<QDate> tage; // the match-day columns, ascending
    QVector<Spieler> gewertet; // by place; equal values share a place
    QVector<Spieler> unterMindest; // by value, without a place
    QVector<Spieler> gaeste; // apart: by place among the guests alone
};

Tabelle berechnen(const QVector<Zeile>& zeilen, const Vorgabe& vorgabe);

// Negative, zero or positive as a ranks below, equal to or above b.
int vergleichen(const Spieler& a, const Spieler& b);

// The start of a season as month and day; stored as "MM-dd" under
// `schluesselBeginn`. A season runs from its start to the day before the
// next year's start.
struct Beginn {
    int monat = 8;
    int tag = 1;
};
inline const QString schluesselBeginn = QStringLiteral("Saison/Beginn");
// "MM-dd" (also "M-d"); anything else, or a day no year has, gives the default.
Beginn beginnAus(const QString& text);
QString beginnText(const Beginn& b);
// The season start in a year; 29 February falls on the 28th in other years.
QDate beginnIm(int jahr, const Beginn& b);

using Zeitraum = QPair<QDate, QDate>;
Zeitraum dieseSaison(const QDate& heute, const Beginn& b);
Zeitraum diesesJahr(const QDate& heute);
// From the first to the last stored match day; today alone when there is none.
Zeitraum alle(const QVector<Zeile>& zeilen, const QDate& heute);

// What the rule is called in headings and the view.
QString regelText(Regel regel, int besteN);
// The heading of the value column ("Summe", "Schnitt", "Beste 5").
QString wertKopf(Regel regel, int besteN);
// The value as shown: an integer, or the average with two decimals and a
// decimal comma.
QString wertText(const Spieler& s, Regel regel);

} // namespace Saison
