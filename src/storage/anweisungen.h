#pragma once
// Statements prepared once per connection and kept while it stays open:
// results and seat checks arrive message by message, and preparing a
// statement costs more than running it.

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <memory>

namespace Db
{

// The SQLite handle behind a driver's or a statement's handle; null when
// there is none (a statement finalized because its connection closed).
void* sqliteZeiger(const QVariant& handle);

class Anweisungen
{
public:
    // At most `hoechstens` statements are kept; beyond that all are dropped.
    explicit Anweisungen(int hoechstens = 200);
    // The statement, forward only, prepared on the connection. A connection
    // closed since, or reopened on another file, prepares it again. Null,
    // with the reason in `fehler`, when it cannot be prepared.
    std::shared_ptr<QSqlQuery> holen(QSqlDatabase db, const QString& sql, QString* fehler = nullptr);

private:
    int m_hoechstens;
    QHash<QString, std::shared_ptr<QSqlQuery>> m_liste;
};

} // namespace Db
