// Seats and draws of the open match day, and what the link and the table app
// read of it.

#include "spieltag/offenerspieltag.h"

#include <QPointer>
#include <QSqlError>
#include <QSqlQuery>

#include <utility>

#include "draw/auslosungsdaten.h"
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
    sitzeWerdenGeaendert(db, name, serie);
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
    sitzeWerdenGeaendert(db, name, serie);
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

struct OffenerSpieltag::Serienzeilen {
    QString gruppe;
    int serie = 0;
    std::optional<Dateistand> stand;
    struct Zeile {
        int startNr = 0;
        int tisch = 0;
        int sitz = 0; // read only for a table above 0
        bool aktiv = true;
    };
    QVector<Zeile> zeilen; // in stored order
};

std::optional<OffenerSpieltag::Dateistand> OffenerSpieltag::dateistand(QSqlDatabase db) const
{
    // A rollback undoes changes without counting them: inside a transaction
    // nothing read can be vouched for.
    if (Db::inTransaktion(db))
        return std::nullopt;
    const std::shared_ptr<QSqlQuery> q
        = anweisung(db, QStringLiteral("SELECT data_version, total_changes() FROM pragma_data_version()"), true);
    if (!q)
        return std::nullopt;
    std::optional<Dateistand> stand;
    if (q->exec() && q->next())
        stand = Dateistand { q, q->value(0).toLongLong(), q->value(1).toLongLong() };
    q->finish();
    return stand;
}

std::shared_ptr<OffenerSpieltag::Serienzeilen> OffenerSpieltag::serienzeilenLesen(
    QSqlDatabase db, const QString& name, int serie) const
{
    auto z = std::make_shared<Serienzeilen>();
    z->gruppe = name;
    z->serie = serie;
    // Taken before the reading: a commit in between makes it older, never newer.
    z->stand = dateistand(db);
    QSqlQuery q = Db::abfrage(
        db, QStringLiteral("SELECT StartNr, Tisch, TischIntern, Aktiv FROM Serie%1 ORDER BY rowid").arg(serie));
    if (!q.isActive())
        return nullptr;
    while (q.next()) {
        Serienzeilen::Zeile r;
        r.startNr = q.value(0).toInt();
        r.tisch = q.value(1).toInt();
        if (r.tisch > 0)
            r.sitz = q.value(2).toInt();
        r.aktiv = q.value(3).toBool();
        z->zeilen << r;
    }
    return z;
}

Tischaufteilung OffenerSpieltag::aufteilungBerechnen(
    const QString& name, int serie, int teilnehmer, int ersterTisch, int* spielend)
{
    int n = teilnehmer;
    QSqlDatabase db = gruppe(name);
    m_serienzeilen.reset();
    if (serie > 0 && serie <= Spieltag::maxSerien && db.isValid()) {
        // Every draw builds the seat plan right after the split, from the
        // same rows: they are kept for it.
        m_serienzeilen = serienzeilenLesen(db, name, serie);
        if (m_serienzeilen)
            for (const Serienzeilen::Zeile& r : qAsConst(m_serienzeilen->zeilen))
                if (!r.aktiv)
                    --n;
    }
    const Tischaufteilung a = ::tischaufteilung(n);
    m_sitzordnung.layouts.insert(name, tischLayoutBerechnen(ersterTisch, a));
    m_sitzordnung.aufteilungen.insert(name, a);
    if (spielend)
        *spielend = n;
    return a;
}

Sitzplan OffenerSpieltag::sitzplanAufbauen(const QString& name, int serie, QHash<int, bool>* aktiv)
{
    std::shared_ptr<Serienzeilen> z = std::exchange(m_serienzeilen, nullptr);
    Sitzplan plan = leererSitzplan(m_sitzordnung.layouts.value(name));
    QSqlDatabase db = gruppe(name);
    const std::optional<Einstellungen> e = db.isValid() ? einstellungenLesen(db) : std::nullopt;
    if (!e || serie < 1 || serie > qMin(e->serien, Spieltag::maxSerien)) {
        m_sitzordnung.plaene.insert(name, plan);
        if (aktiv)
            *aktiv = aktivInSerie(name, serie);
        return plan;
    }
    // The split's rows, unless anything was stored since.
    if (z && (z->gruppe != name || z->serie != serie || !z->stand || z->stand != dateistand(db)))
        z.reset();
    if (!z)
        z = serienzeilenLesen(db, name, serie);
    // Who holds a table keeps it (and his seat where it is free); one made
    // inactive gives his seat up. The first row of a start number counts.
    QHash<int, bool> eigene;
    QHash<int, bool>& gesehen = aktiv ? *aktiv : eigene;
    gesehen.clear();
    QVector<Zuweisung> behalten;
    if (z)
        for (const Serienzeilen::Zeile& r : qAsConst(z->zeilen)) {
            if (gesehen.contains(r.startNr))
                continue;
            gesehen.insert(r.startNr, r.aktiv);
            if (r.tisch > 0 && r.aktiv)
                behalten << Zuweisung { r.tisch, r.sitz, r.startNr };
        }
    behaltenEintragen(plan, behalten);
    m_sitzordnung.plaene.insert(name, plan);
    return plan;
}

struct OffenerSpieltag::Vorrunden {
    // The connection's statement that asks for its data version: one
    // prepared anew (the connection closed or changed since) leaves nothing
    // kept valid.
    std::shared_ptr<QSqlQuery> version;
    qint64 datenVersion = -1;
    QHash<int, FaireAuslosung::Runde> serien;
    // The sum of the series before `bis`, as the last draw asked for it.
    int bis = 0;
    FaireAuslosung::Vorgeschichte summe;
};

FaireAuslosung::Vorgeschichte OffenerSpieltag::vorgeschichte(const QString& name, int serie)
{
    QSqlDatabase db = gruppe(name);
    if (!db.isValid() || serie < 2) {
        return {};
    }
    serie = qMin(serie, Spieltag::maxSerien + 1);
    // PRAGMA data_version changes with every commit of another connection.
    const std::shared_ptr<QSqlQuery> version = anweisung(db, QStringLiteral("PRAGMA data_version"), true);
    qint64 stand = -1;
    if (version) {
        if (version->exec() && version->next())
            stand = version->value(0).toLongLong();
        version->finish();
    }
    std::shared_ptr<Vorrunden>& v = m_vorrunden[name];
    if (!v || v->version != version || v->datenVersion != stand)
        v = std::make_shared<Vorrunden>(Vorrunden { version, stand, {}, 0, {} });
    if (v->bis == serie)
        return v->summe;
    FaireAuslosung::Vorgeschichte summe;
    for (int s = 1; s < serie; ++s) {
        auto it = v->serien.constFind(s);
        if (it == v->serien.constEnd())
            it = v->serien.insert(s, Auslosungsdaten::rundeLesen(db, s));
        summe.rundeHinzufuegen(*it, FaireAuslosung::gewichtHeute);
    }
    v->bis = serie;
    v->summe = summe;
    // Without a version to compare, nothing is kept.
    if (stand < 0)
        m_vorrunden.remove(name);
    return summe;
}

void OffenerSpieltag::sitzeWerdenGeaendert(QSqlDatabase db, const QString& name, int serie)
{
    auto vergessen = [this, name, serie] {
        const auto it = m_vorrunden.constFind(name);
        if (it == m_vorrunden.constEnd())
            return;
        if (serie < 1) {
            m_vorrunden.erase(it);
            return;
        }
        (*it)->serien.remove(serie);
        if (serie < (*it)->bis) {
            (*it)->bis = 0;
            (*it)->summe = {};
        }
    };
    vergessen();
    // What was read while the change was open is no longer stored then.
    QPointer<OffenerSpieltag> selbst(this);
    Db::nachAbschluss(db, {}, [selbst, vergessen] {
        if (selbst)
            vergessen();
    });
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
        if (!db.isValid())
            continue;
        // Asked before every table's seats: kept prepared. A file that
        // cannot prepare it is asked as before, which tells what is wrong.
        const QString sql = QStringLiteral("SELECT Name, Serien FROM Gruppe WHERE ErsterTisch<=? AND LetzterTisch>=?");
        if (const auto q = anweisung(db, sql, true)) {
            q->bindValue(0, tisch);
            q->bindValue(1, tisch);
            const bool gelesen = q->exec();
            std::optional<GruppeDesTisches> gefunden;
            if (gelesen && q->next())
                gefunden = GruppeDesTisches { q->value(0).toString(), name, q->value(1).toInt() };
            q->finish();
            if (gefunden)
                return gefunden;
            if (gelesen)
                continue;
        }
        if (!Db::tabelleVorhanden(db, QStringLiteral("Gruppe")))
            continue;
        QSqlQuery q = Db::abfrage(db, sql, { tisch, tisch });
        if (q.next())
            return GruppeDesTisches { q.value(0).toString(), name, q.value(1).toInt() };
    }
    return std::nullopt;
}

QVector<Spieltag::SitzEintrag> OffenerSpieltag::sitze(const QString& verbindung, int serie, int tisch) const
{
    QSqlDatabase db = gruppe(verbindung);
    if (!db.isValid() || serie < 1 || tisch < 1)
        return {};
    const auto q = anweisung(db, Spieltag::sitzeAbfrage(serie), true);
    if (!q)
        return Spieltag::sitzeLesen(db, serie, tisch);
    q->bindValue(0, tisch);
    if (!q->exec()) {
        q->finish();
        return Spieltag::sitzeLesen(db, serie, tisch);
    }
    return Spieltag::sitzeAusAbfrage(*q);
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
