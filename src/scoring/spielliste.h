#pragma once
// The game-list computation: each player's points and costs of one table and
// series from the list of games played there and the cost and point rules.
// The browser table app shows the same numbers (seite/spielliste.js); the
// program recomputes them itself before it stores anything.

#include <QSettings>
#include <QString>
#include <QVector>

#include "scoring/regeln.h"

namespace Spielliste
{

// One line of the list: a game won or lost by its declarer, or a round in
// which everyone passed ("eingepasst"), which counts towards the list's
// length and scores nothing.
struct Spiel {
    int spieler = -1; // seat index 0..n-1 of the declarer; -1 for eingepasst
    int wert = 0;
    bool gewonnen = true;
    bool eingepasst() const { return spieler < 0; }
};

struct Ergebnis {
    int punkte = 0;
    double kosten = 0.0; // euros, rounded to the cent
    int gewonnen = 0;
    int verloren = 0;
    int platz = 0; // 1 = most points; equal points share the better place
};

// Result per seat of a table of 3 or 4 players. Games must have been checked
// (spielGueltig); others are not counted.
QVector<Ergebnis> berechnen(int spielerZahl, const QVector<Spiel>& spiele, const Regeln::Regelwerte& r);

// Every value a Skat game can have, ascending: suit games 9/10/11/12 and grand
// 24 times a multiplier (2-18 for suits, 2-11 for grand), and the null games
// 23, 35, 46, 59.
const QVector<int>& spielwerte();
bool wertMoeglich(int wert);

// A game a table of that size can have played.
bool spielGueltig(const Spiel& s, int spielerZahl);

// The game list as a text file for the "SpielListen" folder: one line per
// game and the result per player, readable without the program.
QString alsText(
    const QString& kopf, const QStringList& namen, const QVector<Spiel>& spiele, const QVector<Ergebnis>& ergebnisse);

} // namespace Spielliste
