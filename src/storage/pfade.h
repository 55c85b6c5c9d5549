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

// The settings store of the program: INI, user scope, read and written as
// UTF-8, so values typed into the file by hand keep their umlauts.
QSettings* einstellungenOeffnen(QObject* parent);
// Sets a just-opened INI store to UTF-8; a hand-edited Latin-1 file is read
// as Latin-1 once and stored as UTF-8.
void einstellungenAlsUtf8(QSettings& s);

// A file's connection name: its name up to the first dot (x.backup.db -> x).
QString verbindungsNameVon(const QString& dateiName);

// "lastdatabasedir" is kept relative to the data directory when the match
// day lies inside it, so a copied or restored data folder opens its own
// files. What to store for a match-day directory:
QString turnierVerzeichnisSpeichern(const QString& datenVerzeichnis, const QString& turnierVerzeichnis);
// The match-day directory a stored value means: a relative value lies in the
// data directory; an absolute one (written by earlier versions) is used when
// it lies in the data directory, otherwise the data directory's own folder
// of that name stands in for it. Empty when the value names nothing there.
QString turnierVerzeichnisLesen(const QString& datenVerzeichnis, const QString& gespeichert);
// The same, read from the settings store ("databasepath" names the data
// directory).
QString letztesTurnier(const QSettings& einstellungen);

// True for a match-day directory's name "dd_MM_yyyy" that is a real date.
bool istTurnierName(const QString& name, QDate* datum = nullptr);

// The group databases of a match-day directory, newest modification first:
// every file whose name ends with ".db".
QStringList gruppenDateien(const QString& turnierVerzeichnis);

} // namespace Pfade
