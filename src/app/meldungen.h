#pragma once
// The messages of this session: whatever the status bar showed, with its
// time, so a message replaced by the next one can still be read.

#include <QDateTime>
#include <QString>
#include <QVector>

class Meldungsprotokoll
{
public:
    struct Eintrag {
        QDateTime zeit;
        QString text;
        bool fehler = false;
    };

    // At most this many are kept; a peer on the link could otherwise fill
    // the memory with refusals.
    static constexpr int hoechstens = 10000;

    void aufnehmen(const QString& text, const QDateTime& zeit = QDateTime::currentDateTime());
    const QVector<Eintrag>& eintraege() const { return m_eintraege; }
    // How many of the oldest were dropped to stay within the bound.
    int verworfen() const { return m_verworfen; }
    int fehlerAnzahl() const;

    // A failure is a message that starts with "FEHLER".
    static bool istFehler(const QString& text);
    // One line of the log: "hh:mm:ss  text".
    static QString zeile(const Eintrag& e);

private:
    QVector<Eintrag> m_eintraege;
    int m_verworfen = 0;
};
