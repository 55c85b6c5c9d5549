#pragma once
// Keeps the first database failure announced while an operation of the open
// match day runs, so the operation can return it as its error text.

#include <QObject>
#include <QString>

#include "storage/datenbank.h"

class Fehlerfang
{
public:
    Fehlerfang()
    {
        m_verbindung = QObject::connect(Db::Melder::instanz(), &Db::Melder::fehler, [this](const QString& text) {
            // The caller puts its own "FEHLER: " in front.
            if (m_text.isEmpty())
                m_text = text.startsWith(QLatin1String("FEHLER: ")) ? text.mid(8) : text;
        });
    }
    ~Fehlerfang() { QObject::disconnect(m_verbindung); }
    Fehlerfang(const Fehlerfang&) = delete;
    Fehlerfang& operator=(const Fehlerfang&) = delete;

    QString text(const QString& sonst) const { return m_text.isEmpty() ? sonst : m_text; }

private:
    QMetaObject::Connection m_verbindung;
    QString m_text;
};

// An operation's failure: the text for the caller, and false to return.
inline bool scheitern(QString* fehler, const QString& text)
{
    if (fehler)
        *fehler = text;
    return false;
}
