#include "app/sprache.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace Sprache
{

bool deutschVerwenden(const QString& gebietsschema)
{
    const QString name = gebietsschema.trimmed();
    if (name.isEmpty() || name == QLatin1String("C") || name.startsWith(QLatin1String("C."))
        || name == QLatin1String("POSIX"))
        return true;
    return name.startsWith(QLatin1String("de"), Qt::CaseInsensitive) && (name.size() == 2 || !name.at(2).isLetter());
}

QTranslator* einrichten(QCoreApplication& anwendung, const QString& gebietsschema)
{
    if (!deutschVerwenden(gebietsschema))
        return nullptr;
    auto* uebersetzer = new QTranslator(&anwendung);
    // qtbase_de covers every module the program uses; qt_de is the older
    // catalogue that merely includes it on most installations.
    const QString pfad = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
    if (!uebersetzer->load(QStringLiteral("qtbase_de"), pfad) && !uebersetzer->load(QStringLiteral("qt_de"), pfad)) {
        delete uebersetzer;
        return nullptr;
    }
    anwendung.installTranslator(uebersetzer);
    return uebersetzer;
}

QTranslator* einrichten(QCoreApplication& anwendung)
{
    return einrichten(anwendung, QLocale::system().name());
}

} // namespace Sprache
