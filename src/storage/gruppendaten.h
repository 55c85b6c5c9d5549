#pragma once
// Reads of a group file's settings row (the table `Gruppe`).

#include <QDate>
#include <QSqlDatabase>
#include <QString>

namespace Gruppendaten
{

// The date stored for the group of that name; invalid when the file holds
// no such row.
QDate datum(QSqlDatabase gruppe, const QString& name);

// The group's number of series; 0 when it has no settings row.
int serien(QSqlDatabase gruppe);

} // namespace Gruppendaten
