#pragma once
// The registry of open databases: connection name to connection name, the
// master entry always present, and a marker for the current group's entry.

#include <QMap>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class Verbindungen
{
public:
    explicit Verbindungen(const QString& hauptVerbindung = QStringLiteral("reizwerk_connection_name"));

    const QString& hauptVerbindung() const { return m_haupt; }
    QSqlDatabase hauptDatenbank() const;

    // Registers a connection name and makes it current.
    void eintragen(const QString& name);
    bool enthaelt(const QString& name) const { return m_map.contains(name); }
    QStringList namen() const { return m_map.keys(); }
    const QMap<QString, QString>& map() const { return m_map; }

    // The current entry; a null string when no entry is marked (a failed
    // table search of the link can leave it so).
    QString aktuelle() const { return m_aktuell; }
    bool hatAktuelle() const { return !m_aktuell.isNull(); }
    // Marks the entry of that name current, or none when it is not registered.
    bool setAktuelle(const QString& name);
    void keineAktuelle() { m_aktuell = QString(); }
    QSqlDatabase aktuelleDatenbank() const;

    // The open database registered under a group's name (invalid when none).
    QSqlDatabase datenbank(const QString& name) const;

    // Forgets every group entry; the master entry stays and becomes current.
    void aufHauptZuruecksetzen();
    void entfernen(const QString& name);

private:
    QString m_haupt;
    QMap<QString, QString> m_map;
    QString m_aktuell;
};
