#pragma once
// One place through which the program runs SQL: values are bound, failures are
// logged and announced, and statements that belong together share a transaction.

#include <QObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

#include <functional>

namespace Db
{

// Announces failed statements; the main window shows them in its status bar.
// The data layer never opens a dialog itself.
class Melder : public QObject
{
    Q_OBJECT
public:
    static Melder* instanz();
    void melden(const QString& text);
signals:
    void fehler(const QString& text);
};

// Opens (or creates) a SQLite file under a connection name and applies the
// settings every database of the program uses.
QSqlDatabase oeffnen(const QString& verbindungsName, const QString& datei);
// Opens a closed connection again with those settings; false when it does
// not open.
bool wiederOeffnen(QSqlDatabase db);

// A mark of the connection's stored data: the rows it changed and SQLite's
// data version, which moves with writes through other connections. A null
// string when it cannot be read.
QString aenderungsZaehler(QSqlDatabase db);

// Runs a statement with bound values. On failure the database's text is
// logged and announced, and false is returned.
bool ausfuehren(QSqlDatabase db, const QString& sql, const QVariantList& werte = {});

// Prepares and runs a statement on a query of the caller's, whose rows the
// caller then reads; on failure the database's text is announced and, when
// asked for, handed back.
bool ausfuehren(QSqlQuery& q, const QString& sql, const QVariantList& werte = {}, QString* fehler = nullptr);

// Prepares and runs a query; query.isActive() tells whether it ran.
QSqlQuery abfrage(QSqlDatabase db, const QString& sql, const QVariantList& werte = {});

// True when the table exists (a table that has no columns does not).
bool tabelleVorhanden(QSqlDatabase db, const QString& tabelle);

// Transaction that rolls back unless committed. Nested on the same
// connection, the inner one is a savepoint of the outer: rolled back, it
// undoes only its own statements; committed, its statements still wait for
// the outer one.
class Transaktion
{
public:
    explicit Transaktion(QSqlDatabase db);
    ~Transaktion();
    bool begonnen() const { return m_begonnen; }
    bool abschliessen();
    Transaktion(const Transaktion&) = delete;
    Transaktion& operator=(const Transaktion&) = delete;

private:
    QSqlDatabase m_db;
    bool m_begonnen = false;
    bool m_fertig = false;
    bool m_innen = false; // a savepoint inside an outer transaction of the same connection
    int m_ebene = 0;
    int m_folgenAnfang = 0;
};

// What follows once the statements now pending on the connection are settled:
// `bestaetigt` runs after the outermost transaction committed (at once when
// none is open), `verworfen` when the statements were rolled back instead
// (an inner savepoint's own, or all of them). Lets an entry write what
// depends on it (the ranking) only after it is really stored, and put back
// what it showed when it was not.
void nachAbschluss(QSqlDatabase db, std::function<void()> bestaetigt, std::function<void()> verworfen = {});

// True while a transaction is open on the connection.
bool inTransaktion(QSqlDatabase db);

} // namespace Db
