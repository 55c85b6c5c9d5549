#pragma once
// Read-only picture of a match day as it is stored: a group's settings, its
// participants and their seats and results per series. Printing, the browser
// table app and the season read through this, never through the window's
// widgets; the results table stays the one place that edits.

#include <QDate>
#include <QMap>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>

class QSqlQuery;

namespace Spieltag
{

// Ranges a stored group must keep; a file outside them is not opened. A
// group of 1,000 players needs 250 tables, so table numbers reach 1000.
inline constexpr int maxSerien = 20;
inline constexpr int maxTischNummer = 1000;

// One participant in one series.
struct SerienErgebnis {
    int tisch = 0; // 0 = not drawn, -1 = marked inactive
    int platz = 0; // seat position 1..4 at the table, 0 = not drawn
    bool aktiv = true; // the flag as it is now; the seat stays until the next draw
    int punkte = 0;
    double kosten = 0.0;
};

struct Teilnehmer {
    int startNr = 0;
    QString name; // "VorName NachName"
    bool mitglied = false;
    bool preisskat = false;
    int summePunkte = 0;
    double summeKosten = 0.0;
    QVector<SerienErgebnis> serien; // index s-1 for series s

    const SerienErgebnis& serie(int s) const { return serien.at(s - 1); }
    // The surname for sorting: everything after the first space.
    QString nachName() const;
};

// A random draw's number and quality, stored beside the series tables.
struct Losung {
    qint64 losnummer = 0;
    int wiederholungen = 0; // pairs at one table who sat together before
    int nichtGetrennt = 0; // pairs to keep apart who share a table
};

struct Gruppe {
    QString name;
    QDate datum;
    int serien = 0;
    int spiele3er = 36;
    int spiele4er = 48;
    int ersterTisch = 1;
    int letzterTisch = 0;
    QVector<Teilnehmer> teilnehmer; // ascending start number
    QMap<int, Losung> losungen; // series -> its random draw, when it has one

    const Teilnehmer* teilnehmerMit(int startNr) const;
    // A series counts as drawn when a participant has a table.
    bool serieGelost(int s) const;
    // A series counts as played when any participant has points or costs in it.
    bool serieGespielt(int s) const;
    // The highest drawn series, 0 when none is.
    int letzteGeloste() const;
};

struct SitzEintrag {
    int platz = 0;
    int startNr = 0;
    QString name;
    // Made inactive after the draw: she keeps her seat until the next draw
    // and is marked inactive wherever the table is shown.
    bool aktiv = true;
    bool mitglied = false;
    bool preisskat = false;
    bool teilnehmer = true; // false when the group has no Teilnehmer row for her
};

struct Tisch {
    int nummer = 0;
    QVector<SitzEintrag> sitze; // seat order
};

// Who sits at table t in series s, the one reader for every place that
// shows or sends a table (printed lists, the table app, the link): the
// stored seating of the series (`Tisch`, `TischIntern`).
// A flag changed after the draw counts from the next draw on, so a
// participant made inactive afterwards keeps her seat, marked inactive.
// Tables come ascending, each in seat order; rows on one seat keep the order
// they were read in and are all shown (a table number typed into the results
// table stores no seat, so everyone typed to a table shares seat 0).

// The tables of a drawn series from a read group: every participant with a
// table number above 0.
QVector<Tisch> tische(const Gruppe& g, int serie);
// The table of a series with that number (nummer 0 when there is none).
Tisch tisch(const Gruppe& g, int serie, int nummer);
// Participants without a seat in a drawn series (table -1 or 0), ascending
// start number; nobody while the series is not drawn.
QVector<const Teilnehmer*> nichtSpielend(const Gruppe& g, int serie);

// The same straight from the group database, for a table asked for while the
// day goes on: every row of the series with a table number above 0, or only
// those of table `nummer` when it is above 0. A row without a `Teilnehmer`
// row is kept with `teilnehmer` false and no name. Empty when the series
// table cannot be read.
QVector<Tisch> tischeLesen(QSqlDatabase db, int serie, int nummer = 0);
// The seats of one table (nummer above 0) of a series from the database.
QVector<SitzEintrag> sitzeLesen(QSqlDatabase db, int serie, int nummer);
// The one statement behind it, for a caller that keeps it prepared: bind the
// table number, execute, and read the seats with sitzeAusAbfrage (which
// finishes the statement).
QString sitzeAbfrage(int serie);
QVector<SitzEintrag> sitzeAusAbfrage(QSqlQuery& q);

// Checks a group's stored settings against the ranges above; the text says
// what is wrong in German.
bool einstellungenGueltig(const Gruppe& g, QString* fehler = nullptr);

// Reads a group from its open database. False with a German text when the
// tables are missing or the stored settings are out of range.
bool gruppeLesen(QSqlDatabase db, Gruppe& g, QString* fehler = nullptr);

// Reads a group file that the program may not have open, through a private
// read-only connection that is removed again.
bool gruppeAusDateiLesen(const QString& datei, Gruppe& g, QString* fehler = nullptr);

// The connection name a group file opens under: the file name up to its
// first dot ("x.backup.db" is a copy of x), unless the whole name before
// ".db" is the `Name` stored in the file's own `Gruppe` table ("1. Mannschaft.db").
QString verbindungsNameDerDatei(const QString& verzeichnis, const QString& dateiName);

} // namespace Spieltag
