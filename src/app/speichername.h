#pragma once
// File names for the reports: a suggestion that says what a file holds, and
// the suffix added when the organiser leaves it out.

#include <QDate>
#include <QString>
#include <QStringList>

namespace Speichername
{

// The parts joined by "_" with ".endung" in the folder; characters a file
// name cannot hold on any common system become "_", spaces stay.
QString vorschlag(const QString& ordner, const QStringList& teile, const QString& endung);

// A match-day report: "<group>_<dd-MM-yyyy>_<kind>.<endung>".
QString spieltag(
    const QString& ordner, const QString& gruppe, const QDate& datum, const QString& art, const QString& endung);

// The name with "." and the suffix added when it has none; a suffix the
// user typed stays.
QString mitEndung(const QString& datei, const QString& endung);

} // namespace Speichername
