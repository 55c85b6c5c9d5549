#pragma once
// The random draw that avoids repeat table-mates and keeps chosen pairs
// apart. A pure function of its inputs and a draw number (the seed): the same
// number, participants, earlier tables and pairs give the same seating on
// every machine, so a draw can be checked and repeated.

#include <QHash>
#include <QPair>
#include <QVector>

#include <random>

#include "draw/tischverteilung.h"

namespace FaireAuslosung
{

// Two start numbers, the smaller first.
using Paar = QPair<int, int>;
Paar paar(int a, int b);

// The tables of one series: each table's start numbers.
using Runde = QVector<QVector<int>>;

// How much each pair of players should not meet again: the sum of the
// weights of the rounds in which they already sat together. Also knows which
// of those pairs met on this match day and which only on earlier days.
class Vorgeschichte
{
public:
    // Every pair at a table of the round gains `gewicht`.
    void rundeHinzufuegen(const Runde& runde, int gewicht);
    int gewicht(int a, int b) const { return m_gewicht.value(schluessel(a, b), 0); }
    bool leer() const { return m_gewicht.isEmpty(); }
    const QHash<quint64, int>& alle() const { return m_gewicht; }
    static quint64 schluessel(int a, int b);

private:
    QHash<quint64, int> m_gewicht;
};

// A meeting earlier on the same day weighs far more than one on an earlier
// match day; a pair to keep apart weighs more than every repeat together.
inline constexpr int gewichtHeute = 100;
inline constexpr int gewichtFrueher = 1;

struct Eingabe {
    Sitzplan plan; // the layout, with those who keep their seat already in it
    QVector<int> spieler; // start numbers still to seat
    Vorgeschichte vorgeschichte;
    QVector<Paar> getrennt; // pairs that must not share a table
    quint64 losnummer = 0;
    bool ausgleich = true; // false: the plain random order, seat after seat
};

struct Guete {
    int wiederholungen = 0; // pairs at one table who sat together before
    QVector<Paar> nichtGetrennt; // pairs to keep apart who share a table
    bool operator==(const Guete& o) const
    {
        return wiederholungen == o.wiederholungen && nichtGetrennt == o.nichtGetrennt;
    }
};

struct Ergebnis {
    Sitzplan plan; // every seat with its start number and position
    QVector<int> ohnePlatz; // no empty seat was left for these
    Guete guete;
};

// Seats the players into the empty seats of the plan. The seats taken are
// the ones the plain draw takes (the first empty seats, tables in ascending
// number), so the table split and numbering stay as they are; only who sits
// at which of them is chosen. Work is bounded by a count of steps, never by
// the clock, so a slow machine gives the same seating.
Ergebnis auslosen(const Eingabe& eingabe);

// Repeat pairs and unkept pairs of a seating.
Guete bewerten(const Sitzplan& plan, const Vorgeschichte& vorgeschichte, const QVector<Paar>& getrennt);

// The tables of a seating as a round.
Runde runde(const Sitzplan& plan);

// The generator a draw number starts. The 64-bit Mersenne twister's output is
// fixed by the C++ standard, and the library's distributions (which are not)
// are avoided, so a number means the same seating with every compiler.
class Zufall
{
public:
    explicit Zufall(quint64 losnummer)
        : m_mt(losnummer)
    {
    }
    quint64 naechste() { return m_mt(); }
    // Uniform in 0 .. n-1 without the bias of a plain remainder.
    int unter(int n);

private:
    std::mt19937_64 m_mt;
};

} // namespace FaireAuslosung
