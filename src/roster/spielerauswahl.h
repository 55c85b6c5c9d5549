#pragma once
// What the window reads from the roster for its choice lists and number
// checks, and the one roster write of a renamed player group.

#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

#include "roster/spielerdatei.h"

namespace Spielerauswahl
{

// A roster player as the participant choice list offers him.
struct Spieler {
    int startNr = 0;
    QString vorname;
    QString nachname;
    bool mitglied = false; // "Ja" in the roster
    bool preisskat = false; // "Ja" in the roster
};

// The players of a player group in stored order; "Alle" stands for every
// player of the roster.
QVector<Spieler> lesen(QSqlDatabase haupt, const QString& gruppe);

// Every start number of the roster.
QSet<int> startNummern(QSqlDatabase haupt);

// Start numbers with their names held outside the roster: in the ranking
// of the master database, and among a group's participants.
QVector<Spielerdatei::Nummer> ranglistenNummern(QSqlDatabase haupt);
QVector<Spielerdatei::Nummer> teilnehmerNummern(QSqlDatabase gruppe);

// The players of player group `alt` move to `neu`; false with the
// database's text when it was not stored.
bool gruppeUmbenennen(QSqlDatabase haupt, const QString& alt, const QString& neu, QString* fehler = nullptr);

} // namespace Spielerauswahl
