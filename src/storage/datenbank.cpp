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

bool ausfuehren(QSqlQuery& q, const QString& sql, const QVariantList& werte, QString* fehler)
{
    bool ok = q.prepare(sql);
    if (ok) {
        for (int i = 0; i < werte.size(); ++i)
            q.bindValue(i, werte.at(i));
        ok = q.exec();
    }
    if (!ok) {
        const QString text = q.lastError().text();
        Melder::instanz()->melden(QStringLiteral("%1 (%2)").arg(text, sql));
        if (fehler)
            *fehler = text;
    }
    return ok;
}

static bool offen(QSqlDatabase db, const QString& sql)
{
    if (db.isOpen())
        return true;
    Melder::instanz()->melden(QStringLiteral("Datenbank nicht geoeffnet (%1)").arg(sql));
    return false;
}

bool ausfuehren(QSqlDatabase db, const QString& sql, const QVariantList& werte)
{
    if (!offen(db, sql))
        return false;
    QSqlQuery q(db);
    return ausfuehren(q, sql, werte);
}

QSqlQuery abfrage(QSqlDatabase db, const QString& sql, const QVariantList& werte)
{
    QSqlQuery q(db);
    if (!offen(db, sql))
        return q;
    q.setForwardOnly(true);
    ausfuehren(q, sql, werte);
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
