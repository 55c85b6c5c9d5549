#include "storage/datenbank.h"

#include <QDebug>
#include <QHash>
#include <QSqlError>
#include <QSqlRecord>
#include <QVector>

#include <utility>

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

namespace
{

void einstellen(QSqlDatabase db)
{
    // A result that was stored must survive a crash or a power cut: the
    // rollback journal with full syncs keeps every committed row and never
    // leaves a half-written transaction behind.
    QSqlQuery q(db);
    q.exec(QStringLiteral("PRAGMA synchronous=FULL"));
    q.exec(QStringLiteral("PRAGMA busy_timeout=2000"));
}

} // namespace

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
    einstellen(db);
    return db;
}

bool wiederOeffnen(QSqlDatabase db)
{
    if (!db.isOpen() && !db.open()) {
        Melder::instanz()->melden(QStringLiteral("%1: %2").arg(db.databaseName(), db.lastError().text()));
        return false;
    }
    einstellen(db);
    return true;
}

QString aenderungsZaehler(QSqlDatabase db)
{
    if (!db.isOpen())
        return {};
    QSqlQuery a(db);
    QSqlQuery b(db);
    if (!a.exec(QStringLiteral("SELECT total_changes()")) || !a.next() || !b.exec(QStringLiteral("PRAGMA data_version"))
        || !b.next())
        return {};
    return a.value(0).toString() + QLatin1Char('.') + b.value(0).toString();
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
// a message of the link stores its lines) becomes a savepoint of the outer
// one instead of failing.
namespace
{
struct Folge {
    std::function<void()> bestaetigt;
    std::function<void()> verworfen;
};
struct Stand {
    int tiefe = 0;
    QVector<Folge> folgen;
};
QHash<QString, Stand>& staende()
{
    static QHash<QString, Stand> s;
    return s;
}

bool roh(QSqlDatabase db, const QString& sql)
{
    QSqlQuery q(db);
    if (q.exec(sql))
        return true;
    Melder::instanz()->melden(QStringLiteral("%1 (%2)").arg(q.lastError().text(), sql));
    return false;
}

// Runs the rollback consequences from `ab` on, newest first, and forgets
// them. They are taken out first: running them may open transactions on
// other connections, which can move the stored states.
void verwerfen(Stand& stand, int ab)
{
    const QVector<Folge> weg = stand.folgen.mid(ab);
    stand.folgen.resize(qMin(ab, stand.folgen.size()));
    for (int i = weg.size() - 1; i >= 0; --i)
        if (weg.at(i).verworfen)
            weg.at(i).verworfen();
}
} // namespace

Transaktion::Transaktion(QSqlDatabase db)
    : m_db(db)
{
    if (!m_db.isOpen())
        return;
    Stand& stand = staende()[m_db.connectionName()];
    if (stand.tiefe > 0) {
        m_ebene = stand.tiefe;
        if (!roh(m_db, QStringLiteral("SAVEPOINT rw_ebene%1").arg(m_ebene)))
            return;
        m_innen = true;
        m_begonnen = true;
        m_folgenAnfang = stand.folgen.size();
        ++stand.tiefe;
        return;
    }
    m_begonnen = m_db.transaction();
    if (m_begonnen) {
        ++stand.tiefe;
        m_folgenAnfang = 0;
    } else {
        Melder::instanz()->melden(m_db.lastError().text());
    }
}

Transaktion::~Transaktion()
{
    if (!m_begonnen || m_fertig)
        return;
    Stand& stand = staende()[m_db.connectionName()];
    --stand.tiefe;
    if (m_innen) {
        roh(m_db, QStringLiteral("ROLLBACK TO rw_ebene%1").arg(m_ebene));
        roh(m_db, QStringLiteral("RELEASE rw_ebene%1").arg(m_ebene));
        verwerfen(stand, m_folgenAnfang);
        return;
    }
    m_db.rollback();
    verwerfen(stand, 0);
}

bool Transaktion::abschliessen()
{
    if (!m_begonnen || m_fertig)
        return false;
    Stand& stand = staende()[m_db.connectionName()];
    if (m_innen) {
        if (!roh(m_db, QStringLiteral("RELEASE rw_ebene%1").arg(m_ebene)))
            return false; // the destructor rolls the savepoint back
        m_fertig = true;
        --stand.tiefe;
        return true;
    }
    m_fertig = true;
    --stand.tiefe;
    if (!m_db.commit()) {
        Melder::instanz()->melden(m_db.lastError().text());
        m_db.rollback();
        verwerfen(stand, 0);
        return false;
    }
    const QVector<Folge> folgen = std::exchange(stand.folgen, {});
    for (const Folge& f : folgen)
        if (f.bestaetigt)
            f.bestaetigt();
    return true;
}

void nachAbschluss(QSqlDatabase db, std::function<void()> bestaetigt, std::function<void()> verworfen)
{
    auto it = staende().find(db.connectionName());
    if (it == staende().end() || it->tiefe == 0) {
        if (bestaetigt)
            bestaetigt();
        return;
    }
    it->folgen.append({ std::move(bestaetigt), std::move(verworfen) });
}

bool inTransaktion(QSqlDatabase db)
{
    auto it = staende().constFind(db.connectionName());
    return it != staende().constEnd() && it->tiefe > 0;
}

} // namespace Db
