#include "storage/nachladen.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QMutex>
#include <QStringList>

namespace Nachladen
{

namespace
{

QMutex sperre;
// Never unloaded: objects made by the module may live until the end.
QLibrary* modul = nullptr;
QString ladeFehler;

} // namespace

QString dateiName()
{
    // QLibrary adds what the system puts around a library's name (lib….so).
    return QStringLiteral("reizwerk_dienste");
}

QStringList orte()
{
    // The program's own folder, also before a QCoreApplication exists.
    const QString ordner = QCoreApplication::instance()
        ? QCoreApplication::applicationDirPath()
        : QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath();
    const QString unterordner = QStringLiteral(REIZWERK_MODULORDNER);
    return { QDir::cleanPath(ordner + QStringLiteral("/../") + unterordner),
        QDir::cleanPath(ordner + QLatin1Char('/') + unterordner) };
}

QFunctionPointer funktion(const char* name, QString* fehler)
{
    QMutexLocker halten(&sperre);
    if (!modul && ladeFehler.isEmpty()) {
        QStringList versucht;
        for (const QString& ort : orte()) {
            auto* lib = new QLibrary(ort + QLatin1Char('/') + dateiName());
            if (lib->load()) {
                modul = lib;
                break;
            }
            versucht << lib->errorString();
            delete lib;
        }
        if (!modul)
            ladeFehler = QStringLiteral("Programmteil %1 nicht ladbar (%2)")
                             .arg(dateiName(), versucht.join(QStringLiteral("; ")));
    }
    if (!modul) {
        if (fehler)
            *fehler = ladeFehler;
        return nullptr;
    }
    const QFunctionPointer f = modul->resolve(name);
    if (!f && fehler)
        *fehler = QStringLiteral("Programmteil %1 ohne %2").arg(dateiName(), QString::fromLatin1(name));
    return f;
}

bool geladen()
{
    QMutexLocker halten(&sperre);
    return modul != nullptr;
}

} // namespace Nachladen
