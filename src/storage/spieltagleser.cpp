#include "storage/spieltagleser.h"

#include "storage/pfade.h"

#include <QAtomicInt>
#include <QHash>
#include <QMap>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <algorithm>
#include <cmath>

namespace Spieltag
{

QString Teilnehmer::nachName() const
{
    const int leer = name.indexOf(QLatin1Char(' '));
    return leer < 0 ? name : name.mid(leer + 1);
}

const Teilnehmer* Gruppe::teilnehmerMit(int startNr) const
{
    auto it = std::lower_bound(teilnehmer.cbegin(), teilnehmer.cend(), startNr,
        [](const Teilnehmer& t, int nr) { return t.startNr < nr; });
    return it != teilnehmer.cend() && it->startNr == startNr ? &*it : nullptr;
}

bool Gruppe::serieGelost(int s) const
{
    if (s < 1 || s > serien)
        return false;
    return std::any_of(
        teilnehmer.cbegin(), teilnehmer.cend(), [s](const Teilnehmer& t) { return t.serie(s).tisch > 0; });
}

bool Gruppe::serieGespielt(int s) const
{
    if (s < 1 || s > serien)
        return false;
    return std::any_of(teilnehmer.cbegin(), teilnehmer.cend(), [s](const Teilnehmer& t) {
        const SerienErgebnis& e = t.serie(s);
        return e.punkte != 0 || e.kosten != 0.0;
    });
}

int Gruppe::letzteGeloste() const
{
    for (int s = serien; s >= 1; --s)
        if (serieGelost(s))
            return s;
    return 0;
}

namespace
{
// The one seating rule: tables ascending, seats in seat order, rows on one
// seat in the order they were read.
QVector<Tisch> ordnen(QMap<int, QVector<SitzEintrag>>& nachTisch)
{
    QVector<Tisch> ergebnis;
    ergebnis.reserve(nachTisch.size());
    for (auto it = nachTisch.begin(); it != nachTisch.end(); ++it) {
        std::stable_sort(it->begin(), it->end(),
            [](const SitzEintrag& a, const SitzEintrag& b) { return a.platz < b.platz; });
        ergebnis.append({ it.key(), it.value() });
    }
    return ergebnis;
}
} // namespace

QVector<Tisch> tische(const Gruppe& g, int serie)
{
    if (serie < 1 || serie > g.serien)
        return {};
    QMap<int, QVector<SitzEintrag>> nachTisch;
    for (const Teilnehmer& t : g.teilnehmer) {
        const SerienErgebnis& e = t.serie(serie);
        if (e.tisch > 0)
            nachTisch[e.tisch].append({ e.platz, t.startNr, t.name, e.aktiv, t.mitglied, t.preisskat, true });
    }
    return ordnen(nachTisch);
}

QString sitzeAbfrage(int serie)
{
    // The first Teilnehmer row of a start number counts, as a look-up by
    // start number finds it; a seat without one is kept.
    return QStringLiteral("SELECT s.StartNr, s.TischIntern, s.Aktiv, p.rowid IS NOT NULL, p.Name, p.Mitglied, "
                          "p.Preisskat FROM Serie%1 s LEFT JOIN Teilnehmer p ON p.rowid=(SELECT rowid FROM "
                          "Teilnehmer WHERE StartNr=s.StartNr LIMIT 1) WHERE s.Tisch=?")
        .arg(serie);
}

QVector<SitzEintrag> sitzeAusAbfrage(QSqlQuery& q)
{
    QVector<SitzEintrag> sitze;
    while (q.next()) {
        SitzEintrag e;
        e.startNr = q.value(0).toInt();
        e.platz = q.value(1).toInt();
        e.aktiv = q.value(2).toInt() != 0;
        e.teilnehmer = q.value(3).toInt() != 0;
        if (e.teilnehmer) {
            e.name = q.value(4).toString();
            e.mitglied = q.value(5).toInt() != 0;
            e.preisskat = q.value(6).toInt() != 0;
        }
        sitze.append(e);
    }
    q.finish();
    std::stable_sort(
        sitze.begin(), sitze.end(), [](const SitzEintrag& a, const SitzEintrag& b) { return a.platz < b.platz; });
    return sitze;
}

QVector<Tisch> tischeLesen(QSqlDatabase db, int serie, int nummer)
{
    if (!db.isValid() || !db.isOpen() || serie < 1)
        return {};
    if (nummer > 0) {
        QSqlQuery eine(db);
        eine.setForwardOnly(true);
        if (eine.prepare(sitzeAbfrage(serie))) {
            eine.addBindValue(nummer);
            if (!eine.exec())
                return {};
            const QVector<SitzEintrag> sitze = sitzeAusAbfrage(eine);
            return sitze.isEmpty() ? QVector<Tisch>() : QVector<Tisch> { Tisch { nummer, sitze } };
        }
        // A file whose tables do not join (no Teilnehmer table, say) is read
        // seat by seat below.
    }
    QSqlQuery q(db);
    q.setForwardOnly(true);
    const QString sql = QStringLiteral("SELECT StartNr, Tisch, TischIntern, Aktiv FROM Serie%1 WHERE ").arg(serie);
    if (nummer > 0) {
        q.prepare(sql + QStringLiteral("Tisch=?"));
        q.addBindValue(nummer);
    } else {
        q.prepare(sql + QStringLiteral("Tisch>0"));
    }
    if (!q.exec())
        return {};
    QMap<int, QVector<SitzEintrag>> nachTisch;
    // One table asks for its few players one by one; a whole series reads
    // the participants once (the first row of a start number wins), since a
    // look-up per seat is what made a draw over earlier series slow.
    struct Angaben {
        QString name;
        bool mitglied = false;
        bool preisskat = false;
    };
    QHash<int, Angaben> alle;
    QSqlQuery t(db);
    t.setForwardOnly(true);
    if (nummer > 0) {
        t.prepare(QStringLiteral("SELECT Name, Mitglied, Preisskat FROM Teilnehmer WHERE StartNr=?"));
    } else if (t.exec(QStringLiteral("SELECT StartNr, Name, Mitglied, Preisskat FROM Teilnehmer"))) {
        while (t.next())
            if (!alle.contains(t.value(0).toInt()))
                alle.insert(
                    t.value(0).toInt(), { t.value(1).toString(), t.value(2).toInt() != 0, t.value(3).toInt() != 0 });
        t.finish();
    }
    while (q.next()) {
        SitzEintrag e;
        e.startNr = q.value(0).toInt();
        e.platz = q.value(2).toInt();
        e.aktiv = q.value(3).toInt() != 0;
        if (nummer > 0) {
            t.addBindValue(e.startNr);
            e.teilnehmer = t.exec() && t.next();
            if (e.teilnehmer) {
                e.name = t.value(0).toString();
                e.mitglied = t.value(1).toInt() != 0;
                e.preisskat = t.value(2).toInt() != 0;
            }
            t.finish();
        } else {
            const auto a = alle.constFind(e.startNr);
            e.teilnehmer = a != alle.constEnd();
            if (e.teilnehmer) {
                e.name = a->name;
                e.mitglied = a->mitglied;
                e.preisskat = a->preisskat;
            }
        }
        nachTisch[q.value(1).toInt()].append(e);
    }
    return ordnen(nachTisch);
}

QVector<SitzEintrag> sitzeLesen(QSqlDatabase db, int serie, int nummer)
{
    if (nummer < 1)
        return {};
    const QVector<Tisch> t = tischeLesen(db, serie, nummer);
    return t.isEmpty() ? QVector<SitzEintrag>() : t.first().sitze;
}

Tisch tisch(const Gruppe& g, int serie, int nummer)
{
    const QVector<Tisch> alle = tische(g, serie);
    for (const Tisch& t : alle)
        if (t.nummer == nummer)
            return t;
    return {};
}

QVector<const Teilnehmer*> nichtSpielend(const Gruppe& g, int serie)
{
    QVector<const Teilnehmer*> ergebnis;
    if (!g.serieGelost(serie))
        return ergebnis;
    for (const Teilnehmer& t : g.teilnehmer)
        if (t.serie(serie).tisch <= 0)
            ergebnis.append(&t);
    return ergebnis;
}

// More tables than any club room holds; guards loops over a damaged file.
static constexpr int maxTische = 10000;

bool einstellungenGueltig(const Gruppe& g, QString* fehler)
{
    QString text;
    if (g.serien < 1 || g.serien > maxSerien)
        text = QStringLiteral("Serien %1 liegt nicht zwischen 1 und %2").arg(g.serien).arg(maxSerien);
    else if (g.ersterTisch < 1 || g.ersterTisch > maxTischNummer)
        text = QStringLiteral("ErsterTisch %1 liegt nicht zwischen 1 und %2").arg(g.ersterTisch).arg(maxTischNummer);
    // A last table below the first means no tables: a group of two players
    // stores the table before its first, and one created without a table
    // split keeps the last table of an earlier group, or 0. Only the first
    // table is bounded by 200: a group of a thousand players from table 1
    // ends at table 250.
    else if (g.letzterTisch < 0 || g.letzterTisch > g.ersterTisch + maxTische)
        text = QStringLiteral("LetzterTisch %1 liegt nicht zwischen 0 und %2")
                   .arg(g.letzterTisch)
                   .arg(g.ersterTisch + maxTische);
    else if (g.spiele3er < 0 || g.spiele3er > 1000 || g.spiele4er < 0 || g.spiele4er > 1000)
        text = QStringLiteral("Spielanzahl liegt nicht zwischen 0 und 1000");
    if (fehler && !text.isEmpty())
        *fehler = text;
    return text.isEmpty();
}

static bool lesenFehler(QString* fehler, const QString& text)
{
    if (fehler)
        *fehler = text;
    return false;
}

static bool zahlGueltig(double d)
{
    return std::isfinite(d);
}

bool gruppeLesen(QSqlDatabase db, Gruppe& g, QString* fehler)
{
    g = Gruppe();
    if (!db.isOpen())
        return lesenFehler(fehler, QStringLiteral("Datenbank nicht geoeffnet"));
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT Name, Datum, Serien, AnzahlSpiele3er, AnzahlSpiele4er, ErsterTisch, "
                               "LetzterTisch FROM Gruppe"))
        || !q.next())
        return lesenFehler(fehler, QStringLiteral("keine Gruppe gespeichert"));
    g.name = q.value(0).toString();
    g.datum = QDate::fromString(q.value(1).toString(), QStringLiteral("yyyy-MM-dd"));
    g.serien = q.value(2).toInt();
    g.spiele3er = q.value(3).toInt();
    g.spiele4er = q.value(4).toInt();
    g.ersterTisch = q.value(5).toInt();
    g.letzterTisch = q.value(6).toInt();
    if (!einstellungenGueltig(g, fehler))
        return false;

    if (!q.exec(QStringLiteral("SELECT StartNr, Name, Mitglied, Preisskat, SummePunkte, SummeKosten FROM Teilnehmer "
                               "ORDER BY StartNr")))
        return lesenFehler(fehler, q.lastError().text());
    QHash<int, int> zeile;
    while (q.next()) {
        Teilnehmer t;
        t.startNr = q.value(0).toInt();
        if (zeile.contains(t.startNr))
            continue;
        t.name = q.value(1).toString();
        t.mitglied = q.value(2).toInt() != 0;
        t.preisskat = q.value(3).toInt() != 0;
        t.summePunkte = q.value(4).toInt();
        const double k = q.value(5).toDouble();
        t.summeKosten = zahlGueltig(k) ? k : 0.0;
        t.serien.resize(g.serien);
        zeile.insert(t.startNr, g.teilnehmer.size());
        g.teilnehmer.append(t);
    }
    for (int s = 1; s <= g.serien; ++s) {
        if (!q.exec(QStringLiteral("SELECT StartNr, Punkte, Tisch, TischIntern, Aktiv, Kosten FROM Serie%1").arg(s)))
            return lesenFehler(fehler, q.lastError().text());
        while (q.next()) {
            const auto it = zeile.constFind(q.value(0).toInt());
            if (it == zeile.constEnd())
                continue;
            SerienErgebnis& e = g.teilnehmer[*it].serien[s - 1];
            e.punkte = q.value(1).toInt();
            e.tisch = q.value(2).toInt();
            e.platz = q.value(3).toInt();
            e.aktiv = q.value(4).toInt() != 0;
            const double k = q.value(5).toDouble();
            e.kosten = zahlGueltig(k) ? k : 0.0;
        }
    }
    // Kept by the fair draw; files without that table have no numbers.
    if (q.exec(QStringLiteral("SELECT Serie, Losnummer, Wiederholungen, NichtGetrennt FROM Auslosung")))
        while (q.next())
            g.losungen.insert(
                q.value(0).toInt(), Losung { q.value(1).toLongLong(), q.value(2).toInt(), q.value(3).toInt() });
    return true;
}

bool gruppeAusDateiLesen(const QString& datei, Gruppe& g, QString* fehler)
{
    static QAtomicInt zaehler;
    const QString name = QStringLiteral("spieltagleser_%1").arg(zaehler.fetchAndAddRelaxed(1));
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(datei);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=2000"));
        if (!db.open())
            lesenFehler(fehler, db.lastError().text());
        else
            ok = gruppeLesen(db, g, fehler);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

QString verbindungsNameDerDatei(const QString& verzeichnis, const QString& dateiName)
{
    const QString name = Pfade::verbindungsNameVon(dateiName);
    if (!dateiName.endsWith(QLatin1String(".db")))
        return name;
    const QString ganz = dateiName.chopped(3);
    if (ganz == name)
        return name;
    static QAtomicInt zaehler;
    const QString verbindung = QStringLiteral("gruppenname_%1").arg(zaehler.fetchAndAddRelaxed(1));
    QString gespeichert;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), verbindung);
        db.setDatabaseName(verzeichnis + QLatin1Char('/') + dateiName);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=2000"));
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("SELECT Name FROM Gruppe")) && q.next())
                gespeichert = q.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(verbindung);
    return gespeichert == ganz ? ganz : name;
}

} // namespace Spieltag
