#pragma once
// The money of one group and evening in whole cents: what every participant
// owes and paid, the prizes by place, the prize-skat pot, and the totals the
// treasurer checks. Pure functions; the stored costs of a series come in as
// they are (typed in or sent by a companion), never derived here.

#include <QMap>
#include <QString>
#include <QVector>

#include "storage/spieltagleser.h"

namespace Geld
{

// "12,50" or "12.50" or "12" (euro) to cents; false for anything else,
// negative amounts and more than two decimals.
bool centAusText(const QString& text, qint64& cent);
// 1250 -> "12,50"; -5 -> "-0,05".
QString centText(qint64 cent);
// A stored cost (a decimal from the database) to cents, rounded.
qint64 centAusKosten(double euro);

// How the pot is paid out by place.
struct Auszahlplan {
    enum class Art { Prozent, Betrag };
    Art art = Art::Prozent;
    // Per place from first: hundredths of a percent (4000 = 40 %) or cents.
    QVector<qint64> werte;
    // Number of prizes: fixed, or one per table; the plan's list only pays
    // the places it names.
    bool einProTisch = false;
    int anzahl = 0;
    // Whole percent of the summed series costs added to the pot.
    int kostenAnteil = 0;
    // Cents for the best of every series; 0 for no series prizes.
    qint64 serienPreis = 0;
};

// The fees of a group's evening, stored with the day; `gesetzt` false for a
// day that had none.
struct Gebuehren {
    bool gesetzt = false;
    qint64 startgeld = 0;
    qint64 preisskat = 0; // per prize-skat player, from the cost rules
};

// Amounts of the places 1..n (n = the number of prizes, cut to the plan's
// list). Percent shares are rounded down to the cent; what that leaves of
// the pot is `rest`.
struct PlatzPreise {
    QVector<qint64> betraege;
    qint64 rest = 0;
};
PlatzPreise platzPreise(qint64 topf, const Auszahlplan& plan, int anzahlTische);

// Prizes for totals in ranking order (highest first): equal totals share
// the summed prizes of the places they occupy, each rounded down to the
// cent; `rest` is what that rounding leaves unpaid.
struct Verteilung {
    QVector<qint64> preise; // per entry of the totals
    qint64 rest = 0;
};
Verteilung verteilen(const QVector<qint64>& summenAbsteigend, const QVector<qint64>& preise);

// What a participant paid: all of it, or an amount.
struct Zahlung {
    bool alles = false;
    qint64 betrag = 0;
};

struct Zeile {
    int startNr = 0;
    QString name;
    qint64 startgeld = 0;
    qint64 kosten = 0; // summed costs of all series
    qint64 preisskat = 0;
    qint64 gezahlt = 0;
    qint64 preis = 0; // place prize
    qint64 preisskatPreis = 0;
    qint64 serienPreis = 0;
    qint64 schuld() const { return startgeld + kosten + preisskat; }
    qint64 gewinn() const { return preis + preisskatPreis + serienPreis; }
    // Positive: the club pays her out; negative: she still pays.
    qint64 saldo() const { return gezahlt + gewinn() - schuld(); }
};

struct Abrechnung {
    bool gebuehrenGesetzt = false;
    QVector<Zeile> zeilen; // ascending start number
    qint64 topf = 0; // place prizes
    qint64 preisskatTopf = 0;
    qint64 rundungsRest = 0; // of both pots, kept by the club
    int anzahlTische = 0;
    // Totals, each the sum of its lines.
    qint64 schuld = 0; // in: everything owed
    qint64 gezahlt = 0;
    qint64 aus = 0; // out: every prize
    qint64 verbleib() const { return schuld - aus; } // what the club keeps
    qint64 offen = 0; // sum of negative balances, as a positive amount
    qint64 auszuzahlen = 0; // sum of positive balances
};

// The tables of the group's first drawn series, or a quarter of the
// participants rounded up when none is drawn.
int tischZahl(const Spieltag::Gruppe& g);

// The settlement of a group: the summed series points decide places (among all
// participants for the pot, among the prize-skat players for theirs, per
// series for the series prizes). A plan of fixed amounts shares the
// prize-skat pot in the proportions of those amounts. Payments by start
// number.
Abrechnung abrechnen(const Spieltag::Gruppe& g, const Gebuehren& gebuehren, const Auszahlplan& plan,
    const QMap<int, Zahlung>& zahlungen);

} // namespace Geld
