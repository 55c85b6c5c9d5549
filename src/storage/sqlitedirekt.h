#pragma once
// SQLite's own interface on a connection Qt opened, for the places where
// thousands of rows pass in one go (the roster's import and its reading):
// Qt's driver hands every value through a QVariant and a UTF-16 copy that
// SQLite converts back, which costs more than SQLite's own work on the row.
// The statement runs on the same connection, inside its open transaction.

#include <QByteArray>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

struct sqlite3;
struct sqlite3_stmt;

namespace Db
{

class Direkt
{
public:
    // Prepares `sql` on the connection; a failure is announced like any
    // failed statement, and bereit() is false.
    Direkt(QSqlDatabase db, const QString& sql);
    ~Direkt();
    Direkt(const Direkt&) = delete;
    Direkt& operator=(const Direkt&) = delete;

    bool bereit() const { return m_anweisung != nullptr; }
    // SQLite's text of the last failure.
    QString fehler() const { return m_fehler; }

    // Values of the next run, counted from 0 as QSqlQuery counts them; a
    // null text is bound as NULL, as Qt binds it.
    void binden(int stelle, int wert);
    void binden(int stelle, const QString& text);

    // Runs a statement that returns no rows, and makes it ready for the next
    // values. False (announced) when it failed.
    bool ausfuehren();
    // The next row of a query; false at the end and on a failure, which is
    // announced (fehler() tells them apart).
    bool naechste();
    int ganz(int spalte) const;
    // A NULL comes back as a null string.
    QString text(int spalte) const;

private:
    bool scheitern(int code);

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_anweisung = nullptr;
    QString m_sql;
    QString m_fehler;
    QVector<QByteArray> m_texte; // the bound texts, alive while bound
};

} // namespace Db
