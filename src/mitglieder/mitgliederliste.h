#pragma once
// Member lists as clubs and federations export them from their
// spreadsheets: a CSV/text file (separator, quoting and encoding found out)
// or an .xlsx workbook, read into rows of cells; a column mapping chosen by
// the organiser; and the merge of the rows into the roster, planned first
// (every line taken, changed or skipped, with the reason) and stored in one
// transaction. Players missing from the list stay in the roster.

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>

#include "roster/spielerdatei.h"

namespace Mitgliederliste
{

// A member list is at most a few thousand lines.
constexpr qint64 maxGroesse = 20 * 1024 * 1024;

struct Tabelle {
    QVector<QStringList> zeilen; // the cells of every non-empty row, in the file's order
    QString kodierung; // "UTF-8", "UTF-16", "Windows-1252" or "xlsx"
    QChar trenner; // the CSV separator found; null for .xlsx
    QString fehler; // set when the file is refused as a whole
};

// Reads the bytes of a CSV or text file: UTF-16 with byte order mark, UTF-8,
// else Windows-1252; the separator (";", TAB or ",") is the one the first
// row holds most often outside quotes.
Tabelle csvLesen(const QByteArray& inhalt);
// Reads the first worksheet of an .xlsx workbook: shared and inline
// strings, numbers as written, gaps in the cell references kept as empty cells.
Tabelle xlsxLesen(const QString& pfad);
// Either of the two, by the file's content (a zip archive is a workbook).
Tabelle dateiLesen(const QString& pfad);

// Which column (from 0) holds what; -1 for none.
struct Zuordnung {
    int vorname = -1;
    int nachname = -1;
    int gruppe = -1;
    int mitglied = -1;
    int mitgliedsNr = -1;
    int verein = -1;
    bool kopfzeile = true; // the first row names the columns
    bool vollstaendig() const { return vorname >= 0 && nachname >= 0; }
};

// A guess from the first row's captions ("Vorname", "Name", "Mitgliedsnummer" ...).
Zuordnung raten(const QStringList& kopf);
// The mapping kept under "Mitgliederliste/..." in the settings; `raten` where none is kept.
Zuordnung gespeicherteZuordnung(const QStringList& kopf);
void zuordnungSpeichern(const Zuordnung& z);

// A player of the roster with his member data.
struct Bisher {
    Spielerdatei::Bisher spieler;
    QString gruppe;
    QString mitglied;
    QString mitgliedsNr;
    QString verein;
};

enum class Art { Neu, Geaendert, Unveraendert, Uebersprungen };

struct Eintrag {
    Art art = Art::Neu;
    int zeile = 0; // row number in the file, from 1
    int startNr = 0;
    QString vorname, nachname, gruppe, mitglied, mitgliedsNr, verein;
    QString grund; // why skipped, or what changed
};

struct Plan {
    QVector<Eintrag> eintraege; // every data row of the file, in its order
    QVector<Spielerdatei::Bisher> fehlend; // in the roster, not in the file: they stay
    int anzahl(Art a) const;
    // One line per row and per missing player, for the organiser to read before storing.
    QStringList bericht() const;
};

// Matches every row: by member number where the row and a roster player
// have one, else by first and last name. A known player keeps his start
// number and flags; a new one gets the lowest free number from 100 that is
// neither in the roster nor used elsewhere (`anderswo`). A row without
// a first or last name, with a name the name rule refuses, or a second row
// for the same player is skipped with its reason. `standardGruppe` is
// taken where the row names no player group.
Plan planen(const QVector<Bisher>& roster, const QVector<Spielerdatei::Nummer>& anderswo, const Tabelle& tabelle,
    const Zuordnung& z, const QString& standardGruppe);

// The roster with every player's member data.
QVector<Bisher> rosterLesen(QSqlDatabase db);

// Creates the member-data table beside `Spieler` (and the trigger that
// removes a row with its player) where it is missing.
bool tabelleAnlegen(QSqlDatabase db);
// Member number and club of one start number (empty where none is kept).
QString mitgliedsNr(QSqlDatabase db, int startNr);
QString verein(QSqlDatabase db, int startNr);

// Stores the new and changed players of the plan in one transaction; on any
// failure the roster stays as it was.
bool uebernehmen(QSqlDatabase db, const Plan& plan);

// The roster players a text typed at the door stands for: the one with
// that start number when it is a number; else everybody whose "first last"
// holds the text (case ignored), or only the one whose whole name it is.
QVector<Spielerdatei::Bisher> suchen(const QVector<Spielerdatei::Bisher>& roster, const QString& eingabe);

// One player of the roster as the check-in desk takes him into a group.
struct Anmeldung {
    QString vorname;
    QString nachname;
    bool mitglied = true; // only "Nein" marks a guest
    bool preisskat = false; // only "Ja" plays for the prize
    QString name() const { return vorname + QLatin1Char(' ') + nachname; }
};
// False when the start number is not in the roster.
bool anmeldungLesen(QSqlDatabase db, int startNr, Anmeldung& spieler);

// Adds a guest (member mark "Nein") under the given start number; false
// with the reason when a name is refused or the number is taken.
bool gastAnlegen(QSqlDatabase db, int startNr, const QString& vorname, const QString& nachname, const QString& gruppe,
    QString* fehler);

} // namespace Mitgliederliste
