#include "participants/teilnehmerpflege.h"

#include <QSqlError>
#include <QSqlQuery>

#include "draw/tischverteilung.h"
#include "storage/datenbank.h"

namespace Teilnehmerpflege
{

namespace
{

bool nichtOffen(QSqlDatabase db, QString* fehler)
{
    if (db.isValid() && db.isOpen())
        return false;
    if (fehler)
        *fehler = QStringLiteral("Datenbank der Gruppe nicht geoeffnet");
    return true;
}

} // namespace

AktivStand aktivLesen(QSqlDatabase db, int serie, int startNr)
{
    AktivStand stand;
    if (nichtOffen(db, nullptr))
        return stand;
    QSqlQuery q(db);
    if (Db::ausfuehren(
            q, QStringLiteral("SELECT Aktiv FROM Serie%1 WHERE StartNr=%2").arg(serie).arg(startNr), {}, nullptr)
        && q.next()) {
        stand.gefunden = true;
        stand.aktiv = q.value(0).toBool();
    }
    return stand;
}

QMap<int, bool> aktivFlags(QSqlDatabase db, int serie)
{
    QMap<int, bool> flags;
    if (nichtOffen(db, nullptr))
        return flags;
    QSqlQuery q(db);
    if (!Db::ausfuehren(q, QStringLiteral("SELECT StartNr, Aktiv FROM Serie%1").arg(serie), {}, nullptr))
        return flags;
    while (q.next())
        if (!flags.contains(q.value(0).toInt()))
            flags.insert(q.value(0).toInt(), q.value(1).toBool());
    return flags;
}

bool aktivSetzen(QSqlDatabase db, int serie, int startNr, bool aktiv, QString* fehler)
{
    if (nichtOffen(db, fehler))
        return false;
    QSqlQuery q(db);
    if (!Db::ausfuehren(q,
            QStringLiteral("UPDATE Serie%1 SET Aktiv=%2 WHERE StartNr=%3").arg(serie).arg(aktiv ? 1 : 0).arg(startNr),
            {}, fehler))
        return false;
    if (!aktiv && q.numRowsAffected() == 0) {
        const QString text = QStringLiteral("Teilnehmer %1 hat keine Zeile in Serie %2").arg(startNr).arg(serie);
        Db::Melder::instanz()->melden(text);
        if (fehler)
            *fehler = text;
        return false;
    }
    return true;
}

NachmeldeListe teilnehmerLesen(QSqlDatabase db)
{
    NachmeldeListe liste;
    if (nichtOffen(db, nullptr))
        return liste;
    QSqlQuery q(db);
    if (!Db::ausfuehren(q, QStringLiteral("SELECT StartNr, Name, Mitglied, Preisskat FROM Teilnehmer"), {}, nullptr))
        return liste;
    while (q.next())
        liste.insert(
            q.value(0).toInt(), NachmeldeSpieler { q.value(3).toBool(), q.value(2).toBool(), q.value(1).toString() });
    return liste;
}

QVector<int> gelosteSerien(QSqlDatabase db, int serien)
{
    QVector<int> gelost;
    if (nichtOffen(db, nullptr))
        return gelost;
    for (int s = 1; s <= serien; ++s) {
        QSqlQuery q(db);
        if (Db::ausfuehren(q, QStringLiteral("SELECT COUNT(*) FROM Serie%1 WHERE Tisch > 0 OR TischIntern > 0").arg(s),
                {}, nullptr)
            && q.next() && q.value(0).toInt() > 0)
            gelost << s;
    }
    return gelost;
}

NachmeldeErgebnis nachmelden(QSqlDatabase db, const NachmeldeListe& spieler)
{
    NachmeldeErgebnis e;
    // A failure leaves nothing stored, so the result names no player.
    auto fehlschlag = [&e] {
        NachmeldeErgebnis f;
        f.fehler = e.fehler;
        return f;
    };
    if (nichtOffen(db, &e.fehler))
        return e;

    Db::Transaktion t(db);
    if (!t.begonnen()) {
        e.fehler = db.lastError().text();
        return e;
    }

    int serien = 0;
    int ersterTisch = 0;
    int letzterTisch = 0;
    {
        QSqlQuery q(db);
        if (!Db::ausfuehren(q, QStringLiteral("SELECT Serien, ErsterTisch, LetzterTisch FROM Gruppe"), {}, &e.fehler))
            return fehlschlag();
        if (!q.next()) {
            e.fehler = QStringLiteral("Die Gruppe ist nicht gespeichert");
            return fehlschlag();
        }
        serien = q.value(0).toInt();
        ersterTisch = q.value(1).toInt();
        letzterTisch = q.value(2).toInt();
    }
    // Decided before the new rows exist, from the tables already handed out.
    e.inaktivIn = gelosteSerien(db, serien);

    for (auto it = spieler.cbegin(); it != spieler.cend(); ++it) {
        const int nr = it.key();
        if (nr <= 0)
            continue;
        {
            QSqlQuery q(db);
            if (!Db::ausfuehren(
                    q, QStringLiteral("SELECT COUNT(*) FROM Teilnehmer WHERE StartNr=%1").arg(nr), {}, &e.fehler)
                || !q.next())
                return fehlschlag();
            if (q.value(0).toInt() > 0) {
                e.schonTeilnehmer << nr;
                continue;
            }
        }
        QSqlQuery q(db);
        if (!Db::ausfuehren(q,
                QStringLiteral("INSERT INTO Teilnehmer (StartNr, Name, Mitglied, Preisskat, SummePunkte, SummeKosten) "
                               "VALUES (%1, ?, ?, ?, 0, 0)")
                    .arg(nr),
                { it->name, it->mitglied ? 1 : 0, it->preisskat ? 1 : 0 }, &e.fehler))
            return fehlschlag();
        for (int s = 1; s <= serien; ++s) {
            // In a drawn series he sits out, stored as such (table -1), so
            // the table and the reports show it after a restart as well.
            const int aktiv = e.inaktivIn.contains(s) ? 0 : 1;
            if (!Db::ausfuehren(q,
                    QStringLiteral("INSERT INTO Serie%1 (StartNr, Punkte, Tisch, TischIntern, Aktiv, Kosten) "
                                   "VALUES (%2, 0, %3, 0, %4, 0)")
                        .arg(s)
                        .arg(nr)
                        .arg(aktiv ? 0 : -1)
                        .arg(aktiv),
                    {}, &e.fehler))
                return fehlschlag();
        }
        e.eingetragen.insert(nr, *it);
    }

    if (!e.eingetragen.isEmpty()) {
        // A following group starts behind this group's last table; when the
        // added players need another table, that table must count as taken.
        QSqlQuery q(db);
        if (!Db::ausfuehren(q, QStringLiteral("SELECT COUNT(*) FROM Teilnehmer"), {}, &e.fehler) || !q.next())
            return fehlschlag();
        const Tischaufteilung a = tischaufteilung(q.value(0).toInt());
        const int benoetigt = ersterTisch + a.vierer + a.dreier - 1;
        if (benoetigt > letzterTisch
            && !Db::ausfuehren(q, QStringLiteral("UPDATE Gruppe SET LetzterTisch=%1").arg(benoetigt), {}, &e.fehler))
            return fehlschlag();
    }

    if (!t.abschliessen()) {
        e.fehler = db.lastError().text();
        return fehlschlag();
    }
    e.ok = true;
    return e;
}

} // namespace Teilnehmerpflege
