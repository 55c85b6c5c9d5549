#pragma once
// Table arithmetic of a series: how many tables of four and three a number of
// players needs, how they are numbered, and the seat plan a draw fills.

#include <QMap>
#include <QVector>

struct Tischaufteilung {
    int vierer = 0; // tables of four
    int dreier = 0; // tables of three
    bool operator==(const Tischaufteilung& o) const { return vierer == o.vierer && dreier == o.dreier; }
};

// One seat of the seat plan.
struct Sitz {
    int startNr = 0; // 0 = empty
    int position = 0; // 1-based seat at its table, 0 until set
};

// A participant at a table and seat of a series, as a draw stores it.
struct Zuweisung {
    int tisch = 0;
    int sitz = 0; // 1-based
    int startNr = 0;
};

// table number -> seats in seat order
using Sitzplan = QMap<int, QVector<Sitz>>;
// table number -> number of seats, ascending
using TischLayout = QMap<int, int>;

// Tables for n players: as many fours as possible after taking threes off
// until the rest divides by four. Fewer than three players get no table.
Tischaufteilung tischaufteilung(int spieler);

// The seeding list's variant: no lower limit, so one or two rows still get a
// table of three; zero rows get none.
Tischaufteilung tischaufteilungOhneGrenze(int spieler);

// Numbers the tables from the first table on, tables of four first.
TischLayout tischLayoutBerechnen(int ersterTisch, const Tischaufteilung& aufteilung);

// An empty seat plan for a layout.
Sitzplan leererSitzplan(const TischLayout& layout);

// Puts a start number into the first empty seat of table t; false when the
// table does not exist or is full.
bool platzBelegen(Sitzplan& plan, int tisch, int startNr);

// Enters participants who keep their table from an earlier draw. Each gets
// back the seat he holds when that seat exists and is still free, so a
// re-draw never shuffles the seats of those already placed; the others take
// the first empty seat of their table. Returns those who found no seat.
QVector<int> behaltenEintragen(Sitzplan& plan, const QVector<Zuweisung>& behalten);

// Gives every occupied seat its 1-based position.
void positionenSetzen(Sitzplan& plan);

// Seats the order one after the other into the first empty seat, tables in
// ascending number; returns the start numbers that found no seat.
QVector<int> besetzen(Sitzplan& plan, const QVector<int>& reihenfolge);

// The occupied seats, tables ascending and seats in order.
QVector<Zuweisung> zuweisungen(const Sitzplan& plan);

// The same tables renumbered consecutively from the first table on.
Sitzplan umnummerieren(const Sitzplan& plan, int ersterTisch);
