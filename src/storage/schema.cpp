#include "storage/schema.h"

#include "storage/datenbank.h"

namespace Schema
{

bool stammdatenbankAnlegen(QSqlDatabase db)
{
    if (!db.isOpen())
        return false;
    const bool spieler = Db::tabelleVorhanden(db, QStringLiteral("Spieler"));
    const bool rangliste = Db::tabelleVorhanden(db, QStringLiteral("Rangliste"));
    if (spieler && rangliste)
        return true;
    // Both tables in one transaction: a new master database is whole or not
    // there, and the first start waits for one commit to the disk, not two.
    Db::Transaktion t(db);
    if (!t.begonnen())
        return false;
    bool ok = true;
    if (!spieler)
        ok = Db::ausfuehren(db, spielerTabelle) && ok;
    if (!rangliste)
        ok = Db::ausfuehren(db, ranglisteTabelle) && ok;
    return ok && t.abschliessen();
}

bool gruppeAnlegen(QSqlDatabase db, const GruppenDaten& gruppe, const QVector<TeilnehmerEintrag>& teilnehmer)
{
    if (!db.isOpen() || Db::tabelleVorhanden(db, QStringLiteral("Gruppe")))
        return false;
    // A half-created group would reopen as a broken match day; all or nothing.
    Db::Transaktion t(db);
    if (!t.begonnen())
        return false;
    if (!Db::ausfuehren(db, gruppeTabelle) || !Db::ausfuehren(db, teilnehmerTabelle))
        return false;
    for (int s = 1; s <= gruppe.serien; ++s)
        if (!Db::ausfuehren(db, serieTabelle.arg(s)))
            return false;
    if (!Db::ausfuehren(db,
            QStringLiteral("INSERT INTO Gruppe (Name, Datum, Serien, AnzahlSpiele3er, AnzahlSpiele4er, ErsterTisch, "
                           "LetzterTisch) VALUES (?, ?, ?, ?, ?, ?, ?)"),
            { gruppe.name, gruppe.datum.toString(QStringLiteral("yyyy-MM-dd")), gruppe.serien, gruppe.spiele3er,
                gruppe.spiele4er, gruppe.ersterTisch, gruppe.letzterTisch }))
        return false;
    for (const TeilnehmerEintrag& e : teilnehmer) {
        if (!Db::ausfuehren(db,
                QStringLiteral("INSERT INTO Teilnehmer (StartNr, Name, Mitglied, Preisskat, SummePunkte, SummeKosten) "
                               "VALUES (?, ?, ?, ?, 0, 0)"),
                { e.startNr, e.name, e.mitglied, e.preisskat }))
            return false;
        for (int s = 1; s <= gruppe.serien; ++s)
            if (!Db::ausfuehren(db,
                    QStringLiteral("INSERT INTO Serie%1 (StartNr, Punkte, Tisch, TischIntern, Aktiv, Kosten) "
                                   "VALUES (?, 0, 0, 0, true, 0)")
                        .arg(s),
                    { e.startNr }))
                return false;
    }
    return t.abschliessen();
}

} // namespace Schema
