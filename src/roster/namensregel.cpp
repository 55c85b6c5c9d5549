#include "roster/namensregel.h"

#include <QCoreApplication>

namespace Namensregel
{

bool zulaessig(QStringView text)
{
    for (const QChar c : text)
        if (verboteneZeichen.contains(c) || c.category() == QChar::Other_Control)
            return false;
    return true;
}

QString fehlerText(const QString& name)
{
    // Control characters would garble the message itself; they are shown as '?'.
    QString sichtbar = name;
    for (QChar& c : sichtbar)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    return QCoreApplication::translate("Namensregel",
        "Der Name \"%1\" wird nicht gespeichert: Namen duerfen die Zeichen $ @ | : und Steuerzeichen "
        "nicht enthalten.")
        .arg(sichtbar);
}

} // namespace Namensregel
