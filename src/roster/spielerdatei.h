#pragma once
// The roster text file "ReizwerkSpieler.txt": where it is looked for, how its
// lines are read, and replacing the roster with its players.

#include <QByteArray>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>

namespace Spielerdatei
{

inline const QString dateiName = QStringLiteral("ReizwerkSpieler.txt");

struct Zeile {
    QString vorname;
    QString nachname;
    QString gruppe;
    QString mitglied; // "Ja" or "Nein"
};

struct Ergebnis {
    QVector<Zeile> spieler;
    int uebersprungen = 0; // non-empty lines without exactly four fields
};

// The two places looked at, in order: documents, then downloads.
QStringList suchOrte();
// The first place that has the file, or an empty string.
QString finden();

// Reads the whole file content: one player per line, four fields separated
// by single spaces; CRLF counts as LF; "Nein"/"nein" means not a member.
Ergebnis lesen(const QByteArray& inhalt);

// Replaces the roster in one transaction, start numbers from 100 on. On any
// failure the old roster stays whole.
bool rosterErsetzen(QSqlDatabase db, const QVector<Zeile>& spieler);

} // namespace Spielerdatei
