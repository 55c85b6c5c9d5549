#include "storage/datenbank.h"

#include <QDebug>
#include <QHash>
#include <QSqlError>
#include <QSqlRecord>

namespace Db
{

Melder* Melder::instanz()
{
    static Melder melder;
    return &melder;
}

void Melder::melden(const QString& text)
{
    qWarning().noquote() << "FEHLER:" << text;
    emit fehler(QStringLiteral("FEHLER: ") + text);
}

QSqlDatabase oeffnen(const QString& verbindungsName, const QString& datei)
{
    if (QSqlDatabase::contains(verbindungsName)) {
        {
            QSqlDatabase alt = QSqlDatabase::database(verbindungsName, false);
            if (alt.databaseName() == datei && alt.isOpen())
                return alt;
            alt.close();
        }
        // A group of the same name from another match day: its connection
        // gives way to this file.
        QSqlDatabase::removeDatabase(verbindungsName);
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), verbindungsName);
    db.setDatabaseName(datei);
    if (!db.open()) {
        Melder::instanz()->melden(QStringLiteral("%1: %2").arg(datei, db.lastError().text()));
        return db;
    }
    // A result that was stored must survive a crash or a power cut: the
    // rollback journal with full syncs keeps every committed row and never
    // leaves a half-written transaction behind.
    QSqlQuery q(db);
    q.exec(QStringLiteral("PRAGMA synchronous=FULL"));
    q.exec(QStringLiteral("PRAGMA busy_timeout=2000"));
    return db;
}

static bool binden(QSqlQuery& q, const QString& sql, const QVariantList& werte)
{
    if (!q.prepare(sql))
        return false;
    for (int i = 0; i < werte.size(); ++i)
        q.bindValue(i, werte.at(i));
    return q.exec();
}

bool ausfuehren(QSqlDatabase db, const QString& sql, const QVariantList& werte)
{
    if (!db.isOpen()) {
        Melder::instanz()->melden(QStringLiteral("Datenbank nicht geoeffnet (%1)").arg(sql));
        return false;
    }
    QSqlQuery q(db);
    if (!binden(q, sql, werte)) {
        Melder::instanz()->melden(QStringLiteral("%1 (%2)").arg(q.lastError().text(), sql));
        return false;
    }
    return true;
}

QSqlQuery abfrage(QSqlDatabase db, const QString& sql, const QVariantList& werte)
{
    QSqlQuery q(db);
    if (!db.isOpen()) {
        Melder::instanz()->melden(QStringLiteral("Datenbank nicht geoeffnet (%1)").arg(sql));
        return q;
    }
    q.setForwardOnly(true);
    if (!binden(q, sql, werte))
        Melder::instanz()->melden(QStringLiteral("%1 (%2)").arg(q.lastError().text(), sql));
    return q;
}

bool tabelleVorhanden(QSqlDatabase db, const QString& tabelle)
{
    return db.isOpen() && !db.record(tabelle).isEmpty();
}

// Open transactions per connection: an inner transaction (a cell stored while
// a draw stores the whole series) joins the outer one instead of failing.
static QHash<QString, int>& tiefe()
{
    static QHash<QString, int> t;
    return t;
}

Transaktion::Transaktion(QSqlDatabase db)
    : m_db(db)
{
    if (!m_db.isOpen())
        return;
    int& t = tiefe()[m_db.connectionName()];
    if (t > 0) {
        m_innen = true;
        m_begonnen = true;
        ++t;
        return;
    }
    m_begonnen = m_db.transaction();
    if (m_begonnen)
        ++t;
    else
        Melder::instanz()->melden(m_db.lastError().text());
}

Transaktion::~Transaktion()
{
    if (m_begonnen && !m_fertig) {
        --tiefe()[m_db.connectionName()];
        if (!m_innen)
            m_db.rollback();
    }
}

bool Transaktion::abschliessen()
{
    if (!m_begonnen || m_fertig)
        return false;
    m_fertig = true;
    --tiefe()[m_db.connectionName()];
    if (m_innen)
        return true;
    if (!m_db.commit()) {
        Melder::instanz()->melden(m_db.lastError().text());
        m_db.rollback();
        return false;
    }
    return true;
}

} // namespace Db
