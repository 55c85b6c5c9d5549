#include "storage/sqlitedirekt.h"

#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

#include <algorithm>

#include "storage/anweisungen.h"
#include "storage/datenbank.h"

namespace Db
{

namespace
{

// The connection's handle, when Qt's SQLite driver holds it open.
sqlite3* handle(const QSqlDatabase& db)
{
    if (!db.isValid() || !db.isOpen() || !db.driver())
        return nullptr;
    const QVariant h = db.driver()->handle();
    return qstrcmp(h.typeName(), "sqlite3*") == 0 ? static_cast<sqlite3*>(sqliteZeiger(h)) : nullptr;
}

} // namespace

Direkt::Direkt(QSqlDatabase db, const QString& sql)
    : m_db(handle(db))
    , m_sql(sql)
{
    if (!m_db) {
        m_fehler = QStringLiteral("Datenbank nicht geoeffnet");
        Melder::instanz()->melden(QStringLiteral("%1 (%2)").arg(m_fehler, m_sql));
        return;
    }
    const QByteArray text = sql.toUtf8();
    const int code = sqlite3_prepare_v2(m_db, text.constData(), text.size(), &m_anweisung, nullptr);
    if (code != SQLITE_OK) {
        sqlite3_finalize(m_anweisung);
        m_anweisung = nullptr;
        scheitern(code);
        return;
    }
    m_texte.resize(sqlite3_bind_parameter_count(m_anweisung));
}

Direkt::~Direkt()
{
    // Before the bound texts go.
    sqlite3_finalize(m_anweisung);
}

void Direkt::binden(int stelle, int wert)
{
    if (m_anweisung)
        sqlite3_bind_int(m_anweisung, stelle + 1, wert);
}

void Direkt::binden(int stelle, const QString& text)
{
    if (!m_anweisung || stelle < 0 || stelle >= m_texte.size())
        return;
    if (text.isNull()) {
        sqlite3_bind_null(m_anweisung, stelle + 1);
        m_texte[stelle].clear();
        return;
    }
    // SQLite reads the bytes where they are until they are bound anew, so
    // nothing is copied per value. Nearly every name is ASCII: it goes into
    // the place's own buffer, which keeps its memory from row to row.
    QByteArray& puffer = m_texte[stelle];
    const int n = text.size();
    const QChar* zeichen = text.constData();
    if (std::all_of(zeichen, zeichen + n, [](QChar c) { return c.unicode() < 0x80; })) {
        puffer.resize(n);
        std::transform(zeichen, zeichen + n, puffer.data(), [](QChar c) { return char(c.unicode()); });
    } else {
        puffer = text.toUtf8();
    }
    sqlite3_bind_text(m_anweisung, stelle + 1, puffer.constData(), puffer.size(), SQLITE_STATIC);
}

bool Direkt::ausfuehren()
{
    if (!m_anweisung)
        return false;
    const int code = sqlite3_step(m_anweisung);
    // A failed step reports its cause again on reset; the next run starts clean.
    sqlite3_reset(m_anweisung);
    if (code == SQLITE_DONE || code == SQLITE_ROW)
        return true;
    return scheitern(code);
}

bool Direkt::naechste()
{
    if (!m_anweisung)
        return false;
    const int code = sqlite3_step(m_anweisung);
    if (code == SQLITE_ROW)
        return true;
    sqlite3_reset(m_anweisung);
    return code == SQLITE_DONE ? false : scheitern(code);
}

int Direkt::ganz(int spalte) const
{
    return m_anweisung ? sqlite3_column_int(m_anweisung, spalte) : 0;
}

QString Direkt::text(int spalte) const
{
    if (!m_anweisung || sqlite3_column_type(m_anweisung, spalte) == SQLITE_NULL)
        return QString();
    const auto* zeichen = reinterpret_cast<const char*>(sqlite3_column_text(m_anweisung, spalte));
    return QString::fromUtf8(zeichen, sqlite3_column_bytes(m_anweisung, spalte));
}

bool Direkt::scheitern(int code)
{
    m_fehler = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(code));
    if (m_fehler.isEmpty())
        m_fehler = QString::fromUtf8(sqlite3_errstr(code));
    Melder::instanz()->melden(QStringLiteral("%1 (%2)").arg(m_fehler, m_sql));
    return false;
}

} // namespace Db
