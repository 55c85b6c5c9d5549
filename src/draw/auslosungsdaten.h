#pragma once
// What the fair draw reads and keeps: the pairs to keep apart (master
// database, by start number), the tables of earlier series and match days,
// each drawn series' number and quality (group database), and its settings.
// Knows no window; failures are announced through Db::Melder.

#include <QDate>
#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

#include <optional>

#include "draw/faireauslosung.h"
#include "storage/spieltagleser.h"

class QSettings;

namespace Auslosungsdaten
{

// Pairs to keep apart, beside Spieler in the master database.
inline const QString trennpaareTabelle
    = QStringLiteral("CREATE TABLE IF NOT EXISTS Trennpaare (StartNrA int, StartNrB int)");
// Per drawn series its number and quality, in the group database.
inline const QString losungTabelle
    = QStringLiteral("CREATE TABLE IF NOT EXISTS Auslosung (Serie int PRIMARY KEY, Losnummer int, Wiederholungen int, "
                     "NichtGetrennt int)");

// Settings, in a group of their own.
inline const QString schluesselAusgleich = QStringLiteral("Auslosung/WiederholungenVermeiden");
inline const QString schluesselSpieltage = QStringLiteral("Auslosung/FruehereSpieltage");
inline constexpr int maxSpieltage = 52;

struct Einstellung {
    bool ausgleich = true; // off: the plain random draw
    int spieltage = 0; // earlier match days that count besides this one
};
Einstellung einstellungLesen(const QSettings& s);
void einstellungSchreiben(QSettings& s, const Einstellung& e);

// The pairs, smaller start number first, ascending; pairs of which a player
// has left the roster are not among them. The table is created with the
// first pair.
QVector<FaireAuslosung::Paar> trennpaareLesen(QSqlDatabase haupt);
// False with a German text when the pair cannot be stored (the same player
// twice, a start number not in the roster, a pair already there, a failed
// statement).
bool trennpaarHinzufuegen(QSqlDatabase haupt, int a, int b, QString* fehler);
bool trennpaarEntfernen(QSqlDatabase haupt, int a, int b);
// Drops the pairs of players no longer in the roster.
bool trennpaareBereinigen(QSqlDatabase haupt);

// The tables of a stored series: active participants with a table above 0.
FaireAuslosung::Runde rundeLesen(QSqlDatabase gruppe, int serie);
// Every series of the last `anzahl` match days before `tag` that have a
// group of this name in the data folder.
QVector<FaireAuslosung::Runde> fruehereSpieltage(
    const QString& datenVerzeichnis, const QDate& tag, const QString& gruppe, int anzahl);

// What the draws by standing read: each participant's sum of points in the
// group, and each player's points of a match day's ranking. A start number
// that comes back twice keeps its first value.
QHash<int, int> summenLesen(QSqlDatabase gruppe);
QHash<int, int> ranglistePunkte(QSqlDatabase haupt, const QDate& tag);

using Losung = Spieltag::Losung;
bool losungSpeichern(QSqlDatabase gruppe, int serie, const Losung& l);
std::optional<Losung> losungLesen(QSqlDatabase gruppe, int serie);
// A series seated another way keeps no number that would not give its seats.
bool losungVergessen(QSqlDatabase gruppe, int serie);

// A new number: positive and at most nine digits, easy to read out and type.
qint64 neueLosnummer();
inline constexpr qint64 maxLosnummer = 999999999999999LL;

// The status bar's and the seating list's words for a draw's quality.
QString gueteText(const FaireAuslosung::Guete& g);
QString gueteText(const Losung& l);

} // namespace Auslosungsdaten
