#include "storage/anweisungen.h"

#include <QSqlError>
#include <QSqlResult>
#include <QVariant>

namespace Db
{

void* sqliteZeiger(const QVariant& handle)
{
    if (!handle.isValid() || !handle.constData())
        return nullptr;
    const char* typ = handle.typeName();
    if (qstrcmp(typ, "sqlite3*") != 0 && qstrcmp(typ, "sqlite3_stmt*") != 0)
        return nullptr;
    return *static_cast<void* const*>(handle.constData());
}

Anweisungen::Anweisungen(int hoechstens)
    : m_hoechstens(hoechstens)
{
}

std::shared_ptr<QSqlQuery> Anweisungen::holen(QSqlDatabase db, const QString& sql, QString* fehler)
{
    const QString schluessel = db.connectionName() + QLatin1Char('\n') + sql;
    auto it = m_liste.find(schluessel);
    if (it != m_liste.end()) {
        // Closing a connection finalizes its statements.
        const QSqlQuery& q = **it;
        if (q.driver() == db.driver() && db.isOpen() && q.result() && sqliteZeiger(q.result()->handle()))
            return it.value();
        m_liste.erase(it);
    }
    if (!db.isValid() || !db.isOpen()) {
        if (fehler)
            *fehler = QStringLiteral("Datenbank nicht geoeffnet");
        return nullptr;
    }
    if (m_liste.size() >= m_hoechstens)
        m_liste.clear();
    auto q = std::make_shared<QSqlQuery>(db);
    q->setForwardOnly(true);
    if (!q->prepare(sql)) {
        if (fehler)
            *fehler = q->lastError().text();
        return nullptr;
    }
    m_liste.insert(schluessel, q);
    return q;
}

} // namespace Db
