#pragma once
// Checks of the new-group flow: a group's name becomes a file name and a
// connection name, its stored settings drive loops and table sizes, and the
// settings store must really hold the match day it is told about.

#include <QSqlDatabase>
#include <QString>

class QSettings;

namespace Gruppenpruefung
{

// A name the program may create a group file and a connection under: not
// empty, at most 64 characters, without / \ : $ @ | or control characters,
// not starting with a dot,
// without a space at either end, and neither the master database's name nor
// its connection's. The text says what is wrong, in German.
bool nameGueltig(const QString& name, QString* fehler = nullptr);

// A name that may travel in a message of the link or over a list title:
// no $ @ | : and no control characters.
bool textOhneTrenner(const QString& text, QString* fehler = nullptr);

// Whether an open group database may be shown: its settings lie within the
// ranges the program can handle and its tables can be read. The text names
// the file and what is wrong.
bool gruppeOeffenbar(QSqlDatabase db, QString* fehler = nullptr);

// Writes the settings store out and reports whether that worked; the text
// names the file.
bool einstellungenSichern(QSettings& s, QString* fehler = nullptr);

} // namespace Gruppenpruefung
