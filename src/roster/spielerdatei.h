#pragma once
// The roster text file "ReizwerkSpieler.txt": where it is looked for, how its
// lines are read, and replacing the roster with its players without giving
// anyone's start number to somebody else.

#include <QByteArray>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>

namespace Spielerdatei
{

inline const QString dateiName = QStringLiteral("ReizwerkSpieler.txt");

// A member list is a few hundred lines; anything near this size is no roster.
constexpr qint64 maxGroesse = 10 * 1024 * 1024;

struct Zeile {
    QString vorname;
    QString nachname;
    QString gruppe;
    QString mitglied; // "Ja" or "Nein"
};

// A non-empty line that was left out, with its number (from 1) and why.
struct Uebersprungen {
    int nummer = 0;
    QString text;
    QString grund;
};

struct Ergebnis {
    QVector<Zeile> spieler;
    // Non-empty lines that were left out: not exactly four fields, an empty
    // field, or a character a name may not hold.
    int uebersprungen = 0;
    QVector<Uebersprungen> uebersprungeneZeilen;
    // The bytes were no valid UTF-8 and were read as Windows-1252.
    bool windows1252 = false;
    // Set when the file is refused as a whole; `spieler` is then empty.
    QString fehler;
};

// The two places looked at, in order: documents, then downloads.
QStringList suchOrte();
// The first place that has the file, or an empty string.
QString finden();

// Reads the whole file content: one player per line, four fields separated
// by single spaces, or by TABs in a line that holds one (a spreadsheet's
// text export, whose fields may hold spaces: "Hans Peter", "von Berg");
// CRLF, LF and a lone CR end a line; "Nein"/"nein" means not a member.
// UTF-8 (with or without byte order mark) and UTF-16/32 with a byte order
// mark are decoded as such, anything else as Windows-1252. A file that is
// too large, holds a NUL or another control character (other than TAB and
// the line ends), or whose lines are mostly invalid is refused.
Ergebnis lesen(const QByteArray& inhalt);
// Reads the file at `pfad` as `lesen` does; a file that cannot be read or is
// too large is refused without reading it whole.
Ergebnis dateiLesen(const QString& pfad);

// A start number and the name ("first last") it stands for somewhere.
struct Nummer {
    int startNr = 0;
    QString name;
};

// A player of the roster as it is now.
struct Bisher {
    int startNr = 0;
    QString vorname;
    QString nachname;
    QString preisskat;
};

// One row of the new roster.
struct Eintrag {
    int startNr = 0;
    Zeile zeile;
    QString preisskat = QStringLiteral("Nein");
    bool behalten = false; // was in the roster under this number already
};

struct Plan {
    QVector<Eintrag> eintraege; // in the file's order
    int behalten = 0;
    int neu = 0;
};

// Gives every line of the file a start number. A player whose first and last
// name are in the roster keeps his number and his prize-skat flag; a new
// player gets back a number that only he was known by elsewhere (ranking,
// match-day groups), else the lowest free number from 100 on: one that is
// not in the new roster and not used for somebody else.
Plan planen(const QVector<Bisher>& roster, const QVector<Nummer>& anderswo, const QVector<Zeile>& spieler);

// The roster as it is stored.
QVector<Bisher> rosterLesen(QSqlDatabase db);
// Start numbers with their names from a query yielding (StartNr, Name).
QVector<Nummer> nummernLesen(QSqlDatabase db, const QString& sql);

// Replaces the roster in one transaction. On any failure the old roster
// stays whole.
bool rosterErsetzen(QSqlDatabase db, const QVector<Eintrag>& eintraege);

} // namespace Spielerdatei
