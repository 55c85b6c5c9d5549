#include "storage/gruppendaten.h"

#include <QSqlQuery>

#include "storage/datenbank.h"

namespace Gruppendaten
{

QDate datum(QSqlDatabase gruppe, const QString& name)
{
    if (!gruppe.isValid() || !gruppe.isOpen())
        return {};
    QSqlQuery q = Db::abfrage(gruppe, QStringLiteral("SELECT Datum FROM Gruppe WHERE Name=?"), { name });
    return q.next() ? QDate::fromString(q.value(0).toString(), QStringLiteral("yyyy-MM-dd")) : QDate();
}

int serien(QSqlDatabase gruppe)
{
    if (!gruppe.isValid() || !gruppe.isOpen())
        return 0;
    QSqlQuery q = Db::abfrage(gruppe, QStringLiteral("SELECT Serien FROM Gruppe"));
    return q.next() ? q.value(0).toInt() : 0;
}

} // namespace Gruppendaten
