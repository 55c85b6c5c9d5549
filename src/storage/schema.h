#pragma once
// The tables of the master and group databases, created exactly as stored
// files of earlier match days have them.

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

namespace Schema
{

inline const QString spielerTabelle = QStringLiteral(
    "CREATE table Spieler (StartNr int, VorName varchar(20), NachName varchar(20), Gruppe varchar(20), "
    "Mitglied boolean, Preisskat boolean)");
inline const QString ranglisteTabelle
    = QStringLiteral("CREATE table Rangliste (StartNr int, Name varchar(40), Datum date, Punkte int)");
inline const QString gruppeTabelle = QStringLiteral(
    "CREATE table Gruppe (Name varchar(20),Datum date, Serien int, AnzahlSpiele3er int,AnzahlSpiele4er int, "
    "ErsterTisch int, LetzterTisch int)");
inline const QString teilnehmerTabelle
    = QStringLiteral("CREATE table Teilnehmer (StartNr int, Name varchar(40), Mitglied boolean, Preisskat boolean, "
                     "SummePunkte int, SummeKosten smallmoney)");
// %1 = series number
inline const QString serieTabelle = QStringLiteral(
    "CREATE table Serie%1 (StartNr int, Punkte int,Tisch int, TischIntern int, Aktiv boolean, Kosten smallmoney)");

// Creates Spieler and Rangliste where missing; existing tables stay as they are.
bool stammdatenbankAnlegen(QSqlDatabase db);

// What a new group's database holds besides its participants.
struct GruppenDaten {
    QString name;
    QDate datum;
    int serien = 2;
    int spiele3er = 36;
    int spiele4er = 48;
    int ersterTisch = 1;
    int letzterTisch = 0;
};

struct TeilnehmerEintrag {
    int startNr = 0;
    QString name;
    bool mitglied = false;
    bool preisskat = false;
};

// Creates the group tables and writes the group row, one Teilnehmer row and
// one row per series for every participant, all in one transaction. A file
// that already holds a Gruppe table is left alone (returns false).
bool gruppeAnlegen(QSqlDatabase db, const GruppenDaten& gruppe, const QVector<TeilnehmerEintrag>& teilnehmer);

} // namespace Schema
