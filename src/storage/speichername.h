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

// A match-day document: "<group>_<yyyy-MM-dd>_<kind>[_S<series>].<endung>",
// the same pattern for reports, PDFs and prints, so the files of a folder
// sort by group and date.
QString spieltag(const QString& ordner, const QString& gruppe, const QDate& datum, const QString& art,
    const QString& endung, int serie = 0);

// A date as file names carry it: "yyyy-MM-dd".
QString datum(const QDate& datum);

// The name with "." and the suffix added when it has none; a suffix the
// user typed stays.
QString mitEndung(const QString& datei, const QString& endung);

} // namespace Speichername
