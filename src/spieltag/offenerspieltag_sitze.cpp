// Seats and draws of the open match day, and what the link and the table app
// read of it.

#include "spieltag/offenerspieltag.h"

#include <QPointer>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

#include "scoring/wertung.h"
#include "spieltag/fehlerfang.h"
#include "storage/datenbank.h"

namespace
{

// The settings a seat operation checks against, read quietly: the caller
// says what is missing.
struct Einstellungen {
    int serien = 0;
    int ersterTisch = 0;
    int letzterTisch = 0;
};

std::optional<Einstellungen> einstellungenLesen(QSqlDatabase db)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT Serien, ErsterTisch, LetzterTisch FROM Gruppe")) || !q.next())
        return std::nullopt;
    return Einstellungen { q.value(0).toInt(), q.value(1).toInt(), q.value(2).toInt() };
}

} // namespace

void OffenerSpieltag::Sitzordnung::vergessen(const QString& gruppe)
{
    layouts.remove(gruppe);
    aufteilungen.remove(gruppe);
    plaene.remove(gruppe);
}

void OffenerSpieltag::Sitzordnung::leeren()
{
    layouts.clear();
    aufteilungen.clear();
    plaene.clear();
}

std::optional<OffenerSpieltag::Tischbereich> OffenerSpieltag::tischbereich(const QString& name, QString* fehler) const
{
    QSqlDatabase db = gruppe(name);
    if (!db.isValid()) {
        scheitern(fehler, tr("Die Gruppe %1 ist nicht geoeffnet").arg(name.left(64)));
        return std::nullopt;
    }
    const std::optional<Einstellungen> e = einstellungenLesen(db);
    if (!e) {
        scheitern(fehler, tr("Die Gruppe %1 hat keine Einstellungen").arg(name.left(64)));
        return std::nullopt;
    }
    if (e->ersterTisch < 1 || e->ersterTisch > Spieltag::maxTischNummer || e->letzterTisch < 0
        || e->letzterTisch > Spieltag::maxTischNummer) {
        scheitern(fehler,
            tr("Tische %1 bis %2 der Gruppe %3 sind ungueltig").arg(e->ersterTisch).arg(e->letzterTisch).arg(name));
        return std::nullopt;
    }
    return Tischbereich { e->ersterTisch, e->letzterTisch };
}

bool OffenerSpieltag::tischSetzen(const QString& name, int startNr, int serie, int tisch, QString* fehler)
{
    QSqlDatabase db = gruppe(name);
    if (!db.isValid())
        return scheitern(fehler, tr("Die Gruppe %1 ist nicht geoeffnet").arg(name.left(64)));
    // A series the group does not have is refused; the table number itself
    // is stored as typed (-1 marks an inactive player), as the draw and the
    // seat list leave a table outside the group's range to the organiser.
    if (const std::optional<Einstellungen> e = einstellungenLesen(db))
        if (serie < 1 || serie > qMin(e->serien, Spieltag::maxSerien))
            return scheitern(fehler, tr("Eine Serie %1 gibt es in der Gruppe %2 nicht").arg(serie).arg(name));
    if (serie < 1 || serie > Spieltag::maxSerien)
        return scheitern(fehler, tr("Eine Serie %1 gibt es in der Gruppe %2 nicht").arg(serie).arg(name));
    if (tisch < -1 || tisch > Spieltag::maxTischNummer)
        return scheitern(fehler, tr("Tisch %1 ist keine gueltige Tischnummer").arg(tisch));
    Fehlerfang fang;
    Db::Transaktion tx(db);
    if (!tx.begonnen())
        return scheitern(fehler, fang.text(tr("Die Gruppe %1 kann nichts speichern").arg(name)));
    if (!Wertung::tischSpeichern(db, startNr, serie, tisch))
        return scheitern(fehler, fang.text(tr("Teilnehmer %1 nicht gespeichert").arg(startNr)));
    QPointer<OffenerSpieltag> selbst(this);
    Db::nachAbschluss(db, [selbst, name, serie] {
        if (selbst)
            emit selbst->sitzeGeaendert(name, serie);
    });
    if (!tx.abschliessen())
        return scheitern(fehler, fang.text(tr("Der Tisch von Teilnehmer %1 ist nicht gespeichert").arg(startNr)));
    return true;
}

bool OffenerSpieltag::auslosungZuruecksetzen(const QString& name, int serie, QString* fehler)
{
    QSqlDatabase db = gruppe(name);
    if (!db.isValid())
        return scheitern(fehler, tr("Die Gruppe %1 ist nicht geoeffnet").arg(name.left(64)));
    const std::optional<Einstellungen> e = einstellungenLesen(db);
    if (!e)
        return scheitern(fehler, tr("Die Gruppe %1 hat keine Einstellungen").arg(name.left(64)));
    if (serie < 1 || serie > qMin(e->serien, Spieltag::maxSerien))
        return scheitern(fehler, tr("Eine Serie %1 gibt es in der Gruppe %2 nicht").arg(serie).arg(name));
    Fehlerfang fang;
    Db::Transaktion tx(db);
    if (!tx.begonnen())
        return scheitern(fehler, fang.text(tr("Die Gruppe %1 kann nichts speichern").arg(name)));
    if (!Db::ausfuehren(db, QStringLiteral("UPDATE Serie%1 SET Tisch=0, TischIntern=0").arg(serie)))
        return scheitern(fehler, fang.text(tr("Die Auslosung von Serie %1 ist nicht zurueckgesetzt").arg(serie)));
    QPointer<OffenerSpieltag> selbst(this);
    Db::nachAbschluss(db, [selbst, name, serie] {
        if (selbst)
            emit selbst->sitzeGeaendert(name, serie);
    });
    if (!tx.abschliessen())
        return scheitern(fehler, fang.text(tr("Die Auslosung von Serie %1 ist nicht zurueckgesetzt").arg(serie)));
    return true;
}

QHash<int, bool> OffenerSpieltag::aktivInSerie(const QString& name, int serie) const
{
    QHash<int, bool> aktiv;
    QSqlDatabase db = gruppe(name);
    if (!db.isValid() || serie < 1 || serie > Spieltag::maxSerien)
        return aktiv;
    // One query for the whole series instead of one per participant.
    QSqlQuery q = Db::abfrage(db, QStringLiteral("SELECT StartNr, Aktiv FROM Serie%1").arg(serie));
    while (q.next())
        if (!aktiv.contains(q.value(0).toInt()))
            aktiv.insert(q.value(0).toInt(), q.value(1).toBool());
    return aktiv;
}

Tischaufteilung OffenerSpieltag::aufteilungBerechnen(
    const QString& name, int serie, int teilnehmer, int ersterTisch, int* spielend)
{
    int n = teilnehmer;
    QSqlDatabase db = gruppe(name);
    if (serie > 0 && serie <= Spieltag::maxSerien && db.isValid()) {
        QSqlQuery q = Db::abfrage(db, QStringLiteral("SELECT Aktiv FROM Serie%1").arg(serie));
        while (q.next())
            if (!q.value(0).toBool())
                --n;
    }
    const Tischaufteilung a = ::tischaufteilung(n);
    m_sitzordnung.layouts.insert(name, tischLayoutBerechnen(ersterTisch, a));
    m_sitzordnung.aufteilungen.insert(name, a);
    if (spielend)
        *spielend = n;
    return a;
}

Sitzplan OffenerSpieltag::sitzplanAufbauen(const QString& name, int serie)
{
    Sitzplan plan = leererSitzplan(m_sitzordnung.layouts.value(name));
    QSqlDatabase db = gruppe(name);
    const std::optional<Einstellungen> e = db.isValid() ? einstellungenLesen(db) : std::nullopt;
    if (!e || serie < 1 || serie > qMin(e->serien, Spieltag::maxSerien)) {
        m_sitzordnung.plaene.insert(name, plan);
        return plan;
    }
    // Who holds a table keeps it (and his seat where it is free); one made
    // inactive gives his seat up.
    QVector<Zuweisung> behalten;
    QSet<int> gesehen;
    QSqlQuery q = Db::abfrage(
        db, QStringLiteral("SELECT StartNr, Tisch, TischIntern, Aktiv FROM Serie%1 ORDER BY rowid").arg(serie));
    while (q.next()) {
        const int startNr = q.value(0).toInt();
        if (gesehen.contains(startNr))
            continue;
        gesehen.insert(startNr);
        if (q.value(1).toInt() > 0 && q.value(3).toBool())
            behalten << Zuweisung { q.value(1).toInt(), q.value(2).toInt(), startNr };
    }
    behaltenEintragen(plan, behalten);
    m_sitzordnung.plaene.insert(name, plan);
    return plan;
}

QVector<OffenerSpieltag::RosterEintrag> OffenerSpieltag::roster() const
{
    QVector<RosterEintrag> liste;
    QSqlDatabase db = m_verbindungen.hauptDatenbank();
    if (!db.isValid() || !db.isOpen())
        return liste;
    QSqlQuery q
        = Db::abfrage(db, QStringLiteral("SELECT StartNr, VorName, NachName, Mitglied, Preisskat FROM Spieler"));
    while (q.next())
        liste << RosterEintrag { q.value(0).toInt(), q.value(1).toString(), q.value(2).toString(),
            q.value(3).toString() == QLatin1String("Ja"), q.value(4).toString() == QLatin1String("Ja") };
    return liste;
}

std::optional<OffenerSpieltag::GruppeDesTisches> OffenerSpieltag::gruppeDesTisches(int tisch) const
{
    const QStringList namen = m_verbindungen.namen();
    for (const QString& name : namen) {
        QSqlDatabase db = gruppe(name);
        if (!db.isValid() || !Db::tabelleVorhanden(db, QStringLiteral("Gruppe")))
            continue;
        QSqlQuery q = Db::abfrage(db,
            QStringLiteral("SELECT Name, Serien FROM Gruppe WHERE ErsterTisch<=? AND LetzterTisch>=?"),
            { tisch, tisch });
        if (q.next())
            return GruppeDesTisches { q.value(0).toString(), name, q.value(1).toInt() };
    }
    return std::nullopt;
}

QString OffenerSpieltag::aenderungsStand() const
{
    QStringList teile;
    const QStringList namen = m_verbindungen.namen();
    for (const QString& name : namen) {
        if (name == m_verbindungen.hauptVerbindung())
            continue;
        const QString zaehler = Db::aenderungsZaehler(m_verbindungen.datenbank(name));
        teile << name << (zaehler.isNull() ? QStringLiteral("?") : zaehler);
    }
    return teile.join(QLatin1Char('|'));
}
