#pragma once
// What the season reads from the data folder: the rows of table Rangliste,
// the match-day folders, who sat in which group on a day, and a player's
// results per match day and series. Group files are read once and kept for
// as long as the archive lives (a dialog's lifetime).

#include <QDate>
#include <QHash>
#include <QMap>
#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>

#include "season/saison.h"
#include "storage/spieltagleser.h"

namespace Saison
{

// Every row of Rangliste; rows whose "Datum" is not of the form yyyy-MM-dd
// are left out. False (with the database's text) when the table cannot be read.
bool ranglisteLesen(QSqlDatabase haupt, QVector<Zeile>& zeilen, QString* fehler = nullptr);
// The start numbers in the roster whose member mark is not "Ja".
bool gaesteLesen(QSqlDatabase haupt, QSet<int>& gaeste, QString* fehler = nullptr);

// One match day of a player: his group and series as stored in that day's
// folder, next to his points in Rangliste.
struct VerlaufTag {
    QDate datum;
    qint64 ranglistenPunkte = 0;
    // From the group files; `gruppe` empty when the day has no file that
    // names him.
    QString gruppe;
    QVector<Spieltag::SerienErgebnis> serien;
    int summePunkte = 0;
    double summeKosten = 0.0;
};

class Archiv
{
public:
    explicit Archiv(const QString& datenVerzeichnis);

    // The match-day folders (named dd_MM_yyyy) of the data folder by date.
    const QMap<QDate, QString>& ordner() const { return m_ordner; }
    // The group names of every match day's files, sorted, each once.
    QStringList gruppenNamen() const;

    // Per match day in [von, bis] that has a folder: the start numbers of the
    // participants of the named groups.
    QHash<QDate, QSet<int>> teilnahme(const QStringList& gruppen, const QDate& von, const QDate& bis);

    // The groups stored for a day (none when it has no folder or files).
    const QVector<Spieltag::Gruppe>& gruppen(const QDate& tag);

    // A player's days: every day of `zeilen` (his Rangliste rows) in
    // [von, bis], ascending, with his series where a group file of that day
    // holds him.
    QVector<VerlaufTag> verlauf(int startNr, const QVector<Zeile>& zeilen, const QDate& von, const QDate& bis);

private:
    QSet<int> teilnehmerVon(const QString& datei);
    // The group a file of a match-day folder holds, named as the rest of
    // the program names it ("1. Mannschaft.db" is "1. Mannschaft", a copy
    // "Herren.backup.db" is "Herren"); each file is looked at once.
    QString gruppeDerDatei(const QString& ordner, const QString& datei) const;

    QString m_verzeichnis;
    QMap<QDate, QString> m_ordner;
    QHash<QString, QSet<int>> m_teilnehmer; // by group file
    mutable QHash<QString, QString> m_gruppeDerDatei; // by group file
    QHash<QDate, QVector<Spieltag::Gruppe>> m_gruppen;
};

} // namespace Saison
