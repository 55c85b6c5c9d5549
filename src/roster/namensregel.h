#pragma once
// What a player's name may hold. The link to the companion app separates
// its fields with `$ @ | :`, so a name with one of them would split a
// message; control characters have no place in a name either.

#include <QString>
#include <QStringView>

namespace Namensregel
{

// The separators of the link, in the order they are named to the user.
inline const QString verboteneZeichen = QStringLiteral("$@|:");

// True when the text holds none of the separators and no control character.
bool zulaessig(QStringView text);

// The message that refuses a name, naming it and what it may not hold.
QString fehlerText(const QString& name);

} // namespace Namensregel
