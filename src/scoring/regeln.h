#pragma once
// The cost and point rules and the player groups as settings: keys, captions,
// defaults, and the rules text the companion app receives.

#include <QSettings>
#include <QString>
#include <QVariant>
#include <QVector>

namespace Regeln
{

enum class Typ { Dezimal, Ganzzahl, Text };

struct Regel {
    int nummer;
    QString schluessel;
    QString titel;
    Typ typ;
    QVariant standard;
};

// The twelve rules in rule-number order.
const QVector<Regel>& alle();
const Regel* regel(int nummer);

// Role of a value item that carries its rule number.
constexpr int RolleNummer = Qt::UserRole + 1;

// Writes every missing rule key with its default; existing values stay.
void standardsSchreiben(QSettings& s);

// The value as the tree shows it: one decimal, an integer, or the text.
QString anzeige(const QSettings& s, const Regel& r);

// Stores an edited value by rule number: euro amounts as decimals with ','
// or '.', points as whole numbers, the list name unchanged. Returns false
// for no rule number, and for a value that is refused (no number, out of
// range, a list name with $ @ | : or control characters), which is then
// described in `fehler` and not stored.
bool speichern(QSettings& s, int nummer, const QString& text, QString* fehler = nullptr);

// "Platz1|Platz2|Platz3|Platz4|KartenGeld|VerlSp1Bis5|VerlSpAb6|Preisskat|
// PunkteGewMinusVerl|PunkteGegen3er|PunkteGegen4er|ListenName".
QString regelnText(const QSettings& s);

// Default player groups below settings group "Gruppe".
void gruppenStandardsSchreiben(QSettings& s);

// A player group as the settings store keeps it: key and name.
struct Spielergruppe {
    QString schluessel; // "Gruppe6"
    QString name;
};

// The player groups in the order the settings store lists them.
QVector<Spielergruppe> gruppenLesen(QSettings& s);

// Renames a group. The name must be safe as a group file's name, must not be
// "Alle" or another group's name, and "Alle" itself keeps its name. Once
// groups are maintained here, the defaults no longer overwrite them.
bool gruppeBenennen(QSettings& s, const QString& schluessel, const QString& name, QString* fehler = nullptr);

// Adds a group under the next free key with a free name ("Neue Gruppe", ...).
Spielergruppe gruppeHinzufuegen(QSettings& s);

// Removes a group; "Alle" stays. False when there was nothing to remove.
bool gruppeEntfernen(QSettings& s, const QString& schluessel);

} // namespace Regeln
