#include "storage/speichername.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace Speichername
{

QString vorschlag(const QString& ordner, const QStringList& teile, const QString& endung)
{
    static const QRegularExpression verboten(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]"));
    QStringList sauber;
    for (const QString& t : teile) {
        QString s = t.trimmed();
        s.replace(verboten, QStringLiteral("_"));
        if (!s.isEmpty())
            sauber << s;
    }
    QString name = sauber.join(QLatin1Char('_'));
    // A leading dot would hide the file on most systems.
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    if (name.isEmpty())
        name = QStringLiteral("Ausgabe");
    name += QLatin1Char('.') + endung;
    return ordner.isEmpty() ? name : QDir(ordner).filePath(name);
}

QString spieltag(const QString& ordner, const QString& gruppe, const QDate& tag, const QString& art,
    const QString& endung, int serie)
{
    QStringList teile { gruppe, datum(tag), art };
    if (serie > 0)
        teile << QStringLiteral("S%1").arg(serie);
    return vorschlag(ordner, teile, endung);
}

QString datum(const QDate& tag)
{
    return tag.isValid() ? tag.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

QString mitEndung(const QString& datei, const QString& endung)
{
    if (datei.isEmpty() || endung.isEmpty())
        return datei;
    // "bericht." means the same as "bericht".
    QString name = datei;
    while (name.endsWith(QLatin1Char('.')))
        name.chop(1);
    // A suffix the organiser typed himself (".htm", ".csv") is his choice;
    // a dot inside a name ("Gr. A_...") makes no suffix.
    static const QRegularExpression kurz(QStringLiteral("^[A-Za-z0-9]{1,5}$"));
    if (kurz.match(QFileInfo(name).suffix()).hasMatch())
        return name;
    return name + QLatin1Char('.') + endung;
}

} // namespace Speichername
