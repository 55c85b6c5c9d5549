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

QString turnierVerzeichnisSpeichern(const QString& datenVerzeichnis, const QString& turnierVerzeichnis)
{
    const QString daten = QDir::cleanPath(datenVerzeichnis);
    const QString turnier = QDir::cleanPath(turnierVerzeichnis);
    if (turnier.startsWith(daten + QLatin1Char('/')))
        return turnier.mid(daten.size() + 1);
    return turnier;
}

QString turnierVerzeichnisLesen(const QString& datenVerzeichnis, const QString& gespeichert)
{
    if (gespeichert.isEmpty())
        return {};
    const QString daten = QDir::cleanPath(datenVerzeichnis);
    if (QDir::isRelativePath(gespeichert)) {
        const QString pfad = QDir::cleanPath(daten + QLatin1Char('/') + gespeichert);
        // "../x" would leave the data directory.
        return pfad.startsWith(daten + QLatin1Char('/')) ? pfad : QString();
    }
    const QString pfad = QDir::cleanPath(gespeichert);
    if (pfad.startsWith(daten + QLatin1Char('/')))
        return pfad;
    // An absolute path of the folder this data was copied from: its match
    // day of the same name here, never the original's files.
    const QString hier = daten + QLatin1Char('/') + QFileInfo(pfad).fileName();
    return QFileInfo(hier).isDir() ? hier : QString();
}

QString letztesTurnier(const QSettings& einstellungen)
{
    const QString daten = einstellungen.value(schluesselDatenbankPfad, datenVerzeichnis()).toString();
    return turnierVerzeichnisLesen(daten, einstellungen.value(schluesselLetztesTurnier).toString());
}

bool istTurnierName(const QString& name, QDate* datum)
{
    if (name.size() != 10)
        return false;
    const QDate d = QDate::fromString(name, QStringLiteral("dd_MM_yyyy"));
    if (!d.isValid())
        return false;
    if (datum)
        *datum = d;
    return true;
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
