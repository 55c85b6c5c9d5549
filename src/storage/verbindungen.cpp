#include "storage/verbindungen.h"

Verbindungen::Verbindungen(const QString& hauptVerbindung)
    : m_haupt(hauptVerbindung)
{
    m_map.insert(m_haupt, m_haupt);
    m_aktuell = m_haupt;
}

QSqlDatabase Verbindungen::hauptDatenbank() const
{
    return datenbank(m_haupt);
}

void Verbindungen::eintragen(const QString& name)
{
    m_map.insert(name, name);
    m_aktuell = name;
}

bool Verbindungen::setAktuelle(const QString& name)
{
    if (!m_map.contains(name)) {
        m_aktuell = QString();
        return false;
    }
    m_aktuell = name;
    return true;
}

QSqlDatabase Verbindungen::aktuelleDatenbank() const
{
    return hatAktuelle() ? datenbank(m_aktuell) : QSqlDatabase();
}

QSqlDatabase Verbindungen::datenbank(const QString& name) const
{
    if (!m_map.contains(name) || !QSqlDatabase::contains(m_map.value(name)))
        return QSqlDatabase();
    return QSqlDatabase::database(m_map.value(name), false);
}

void Verbindungen::aufHauptZuruecksetzen()
{
    m_map.clear();
    m_map.insert(m_haupt, m_haupt);
    m_aktuell = m_haupt;
}

void Verbindungen::entfernen(const QString& name)
{
    if (name == m_haupt)
        return;
    m_map.remove(name);
    if (m_aktuell == name)
        m_aktuell = m_haupt;
}
