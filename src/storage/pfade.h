#pragma once
// Directory and file names of the data folder, and the settings keys.

#include <QDate>
#include <QSettings>
#include <QString>
#include <QStringList>

namespace Pfade
{

inline const QString hauptVerbindung = QStringLiteral("reizwerk_connection_name");
inline const QString organisation = QStringLiteral("Kartenhof");
inline const QString anwendung = QStringLiteral("Reizwerk");

inline const QString schluesselDatenbankPfad = QStringLiteral("databasepath");
inline const QString schluesselLetztesTurnier = QStringLiteral("lastdatabasedir");

// "%1/Reizwerk" in the writable documents location.
QString datenVerzeichnis();
// "%1/reizwerk.db" in the data directory.
QString hauptDatenbank(const QString& datenVerzeichnis);
// "dd_MM_yyyy", the name of a match day's directory.
QString turnierName(const QDate& datum);
QString turnierVerzeichnis(const QString& datenVerzeichnis, const QDate& datum);
QString gruppenDatei(const QString& turnierVerzeichnis, const QString& gruppe);

// The settings store of the program: INI, user scope.
QSettings* einstellungenOeffnen(QObject* parent);

// A file's connection name: its name up to the first dot (x.backup.db -> x).
QString verbindungsNameVon(const QString& dateiName);

// The group databases of a match-day directory, newest modification first:
// every file whose name ends with ".db".
QStringList gruppenDateien(const QString& turnierVerzeichnis);

} // namespace Pfade
