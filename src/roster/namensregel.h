#pragma once
// What a player's name may hold. The link to the companion app separates
// its fields with `$ @ | :`, so a name with one of them would split a
// message; control characters have no place in a name either. A name that
// begins like a formula ("=", "+", "@", or "-" with more after it) would be
// run as one by a spreadsheet that opens a file with it; the lone "-" of a
// new roster row is no formula and stays.

#include <QString>
#include <QStringView>

namespace Namensregel
{

// The separators of the link, in the order they are named to the user.
inline const QString verboteneZeichen = QStringLiteral("$@|:");

// True when the text holds none of the separators and no control character.
// Names stored before the formula rule pass this; they may still be offered.
bool linkSicher(QStringView text);

// True when a spreadsheet would read the text as the start of a formula.
bool formelAnfang(QStringView text);

// The rule for a name that is entered or imported: safe for the link and
// no formula start.
bool zulaessig(QStringView text);

// The message that refuses a name, naming it and what it may not hold.
QString fehlerText(const QString& name);

} // namespace Namensregel
