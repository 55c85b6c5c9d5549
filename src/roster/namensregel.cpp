#include "roster/namensregel.h"

#include <QCoreApplication>

namespace Namensregel
{

bool linkSicher(QStringView text)
{
    for (const QChar c : text) {
        // Nearly every name is printable ASCII, which holds no control
        // character; the separators are the four of `verboteneZeichen`.
        const ushort u = c.unicode();
        if (u >= 0x20 && u < 0x7f) {
            if (u == '$' || u == '@' || u == '|' || u == ':')
                return false;
        } else if (c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

bool formelAnfang(QStringView text)
{
    if (text.isEmpty())
        return false;
    const QChar c = text.front();
    if (c == QLatin1Char('=') || c == QLatin1Char('+') || c == QLatin1Char('@'))
        return true;
    return c == QLatin1Char('-') && text.size() > 1;
}

bool zulaessig(QStringView text)
{
    return linkSicher(text) && !formelAnfang(text);
}

QString fehlerText(const QString& name)
{
    // Control characters would garble the message itself; they are shown as '?'.
    QString sichtbar = name;
    for (QChar& c : sichtbar)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    if (linkSicher(name) && formelAnfang(name))
        return QCoreApplication::translate("Namensregel",
            "Der Name \"%1\" wird nicht gespeichert: Namen duerfen nicht mit = + @ oder - beginnen "
            "(ein Tabellenprogramm liest das als Formel); ein einzelnes - bleibt erlaubt.")
            .arg(sichtbar);
    return QCoreApplication::translate("Namensregel",
        "Der Name \"%1\" wird nicht gespeichert: Namen duerfen die Zeichen $ @ | : und Steuerzeichen "
        "nicht enthalten.")
        .arg(sichtbar);
}

} // namespace Namensregel
