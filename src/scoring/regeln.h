#pragma once
// The cost and point rules and the player groups as settings: keys, captions,
// defaults, and the rules text the companion app receives.

#include <QSettings>
#include <QString>
#include <QVariant>
#include <QVector>

namespace Regeln
{

// The cost and point rules as numbers. The member defaults are the defaults of
// every rule: the settings written at start, the rules tree and every reader
// take them from here.
struct Regelwerte {
    double platz[4] = { 0.0, 1.5, 2.5, 3.5 }; // rules 1-4, by place at the table
    double kartengeld = 1.0; // rule 5
    double verloren1bis5 = 1.0; // rule 6
    double verlorenAb6 = 2.5; // rule 7
    double preisskat = 10.0; // rule 8, the prize-skat stake
    int punkteGewVerl = 50; // rule 9
    int punkteGegen3er = 40; // rule 10
    int punkteGegen4er = 30; // rule 11
    QString listenName = QStringLiteral("Spielliste"); // rule 12
    // Club fees beside the rules, used only where the program computes the
    // costs itself: lost games charged at rule 6 before rule 7 applies
    // (settings "Geld/VerlorenBis"), and a fee every player at the table pays
    // per round passed in (settings "Geld/PassCent", in cents; here in euros).
    int verlorenBis = 5;
    double passGeld = 0.0;
};

// The one reader of the rules: missing keys give the defaults above; the
// club fees are bounded (0-1000 games, 0-1000 euros).
Regelwerte werteLesen(const QSettings& s);

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
