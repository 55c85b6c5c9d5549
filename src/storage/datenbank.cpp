#include "storage/datenbank.h"

#include <QDebug>
#include <QSqlError>
#include <QSqlRecord>

namespace Db {

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

Transaktion::Transaktion(QSqlDatabase db) : m_db(db)
{
    m_begonnen = m_db.isOpen() && m_db.transaction();
    if (m_db.isOpen() && !m_begonnen)
        Melder::instanz()->melden(m_db.lastError().text());
}

Transaktion::~Transaktion()
{
    if (m_begonnen && !m_fertig)
        m_db.rollback();
}

bool Transaktion::abschliessen()
{
    if (!m_begonnen || m_fertig)
        return false;
    m_fertig = true;
    if (!m_db.commit()) {
        Melder::instanz()->melden(m_db.lastError().text());
        m_db.rollback();
        return false;
    }
    return true;
}

} // namespace Db
