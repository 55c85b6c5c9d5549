#include "storage/pfade.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace Pfade
{

QString datenVerzeichnis()
{
    return QStringLiteral("%1/Reizwerk").arg(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

QString hauptDatenbank(const QString& datenVerzeichnis)
{
    return QStringLiteral("%1/%2.db").arg(datenVerzeichnis, QStringLiteral("reizwerk"));
}

QString turnierName(const QDate& datum)
{
    return datum.toString(QStringLiteral("dd_MM_yyyy"));
}

QString turnierVerzeichnis(const QString& datenVerzeichnis, const QDate& datum)
{
    return QStringLiteral("%1/%2").arg(datenVerzeichnis, turnierName(datum));
}

QString gruppenDatei(const QString& turnierVerzeichnis, const QString& gruppe)
{
    return QStringLiteral("%1/%2.db").arg(turnierVerzeichnis, gruppe);
}

QSettings* einstellungenOeffnen(QObject* parent)
{
    return new QSettings(QSettings::IniFormat, QSettings::UserScope, organisation, anwendung, parent);
}

QString verbindungsNameVon(const QString& dateiName)
{
    return dateiName.section(QLatin1Char('.'), 0, 0);
}

QStringList gruppenDateien(const QString& turnierVerzeichnis)
{
    QStringList ergebnis;
    const QFileInfoList dateien = QDir(turnierVerzeichnis).entryInfoList(QDir::Files, QDir::Time);
    for (const QFileInfo& fi : dateien)
        if (fi.fileName().endsWith(QLatin1String(".db")))
            ergebnis << fi.fileName();
    return ergebnis;
}

} // namespace Pfade
