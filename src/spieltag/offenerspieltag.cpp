#include "spieltag/offenerspieltag.h"

#include <QDate>
#include <QMap>
#include <QPointer>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlResult>

#include "draw/auslosungsdaten.h"
#include "scoring/wertung.h"
#include "setup/teilnehmertabelle.h"
#include "spieltag/fehlerfang.h"
#include "storage/datenbank.h"
#include "storage/spieltagleser.h"

namespace
{

// Runs a prepared statement with these values; a failure is announced with
// the statement, as every statement of the program announces it.
bool ausfuehren(QSqlQuery& q, const QVariantList& werte)
{
    for (int i = 0; i < werte.size(); ++i)
        q.bindValue(i, werte.at(i));
    if (q.exec())
        return true;
    Db::Melder::instanz()->melden(QStringLiteral("%1 (%2)").arg(q.lastError().text(), q.lastQuery()));
    return false;
}

// A change that must reach the participant's row: a statement that changes
// none is announced as a failure.
bool zeileAendern(QSqlQuery& q, const QVariantList& werte, int startNr)
{
    if (!ausfuehren(q, werte))
        return false;
    if (q.numRowsAffected() >= 1)
        return true;
    Db::Melder::instanz()->melden(
        QStringLiteral("Teilnehmer %1 ist nicht gespeichert, nichts geaendert (%2)").arg(startNr).arg(q.lastQuery()));
    return false;
}

// The texts of the statements that store results, built once: results
// arrive by the hundred, and building a text costs more than looking it up.
namespace Ergebnistexte
{
// Participants read by one statement at most.
constexpr int buendel = 50;

// The participants asked for, as the table "n" with the column "nr", each
// once: a table joined to it is searched once per participant, and of his
// rows the lowest (whether found by the index or by reading the table)
// comes first.
QString liste(int n)
{
    QString text = QStringLiteral("(?),").repeated(n);
    text.chop(1);
    return QStringLiteral("WITH n(nr) AS (VALUES %1) ").arg(text);
}

const QStringList& tabellen(int serien)
{
    static QVector<QStringList> texte;
    const int n = qBound(0, serien, Spieltag::maxSerien);
    if (texte.isEmpty()) {
        QStringList t { QStringLiteral("Teilnehmer") };
        texte << t;
        for (int s = 1; s <= Spieltag::maxSerien; ++s)
            texte << (t << QStringLiteral("Serie%1").arg(s));
    }
    return texte.at(n);
}

const QString& namen(int n)
{
    static QHash<int, QString> texte;
    auto it = texte.find(n);
    if (it == texte.end())
        it = texte.insert(
            n, liste(n) + QStringLiteral("SELECT n.nr, t.Name FROM n JOIN Teilnehmer t ON t.StartNr=n.nr"));
    return *it;
}

const QString& aendern(int serie, bool punkte, bool kosten)
{
    static QHash<int, QString> texte;
    const int schluessel = serie * 4 + (punkte ? 1 : 0) + (kosten ? 2 : 0);
    auto it = texte.find(schluessel);
    if (it == texte.end()) {
        QStringList spalten;
        if (punkte)
            spalten << QStringLiteral("Punkte=?");
        if (kosten)
            spalten << QStringLiteral("Kosten=?");
        it = texte.insert(schluessel,
            QStringLiteral("UPDATE Serie%1 SET %2 WHERE StartNr=?").arg(serie).arg(spalten.join(QLatin1Char(','))));
    }
    return *it;
}

// One row per participant: his start number, then points and costs of his
// first row in every series (of rows doubled in a broken file the lowest,
// whether found by the index or by reading the table), empty where the
// series has no row of his.
const QString& summen(int serien, int n)
{
    static QHash<QPair<int, int>, QString> texte;
    auto it = texte.find({ serien, n });
    if (it == texte.end()) {
        QString spalten = QStringLiteral("SELECT n.nr");
        QString tabellen = QStringLiteral(" FROM n");
        for (int s = 1; s <= serien; ++s) {
            spalten += QStringLiteral(", s%1.Punkte, s%1.Kosten").arg(s);
            tabellen += QStringLiteral(
                " LEFT JOIN Serie%1 s%1 ON s%1.rowid=(SELECT rowid FROM Serie%1 WHERE StartNr=n.nr LIMIT 1)")
                            .arg(s);
        }
        it = texte.insert({ serien, n }, liste(n) + spalten + tabellen);
    }
    return *it;
}

bool binden(QSqlQuery& q, const QVector<int>& nrs)
{
    for (int i = 0; i < nrs.size(); ++i)
        q.bindValue(i, nrs.at(i));
    return ausfuehren(q, {});
}
} // namespace Ergebnistexte

// The group's date, read again only when its text changes.
QDate gruppenDatum(const QString& text)
{
    static QString gelesen;
    static QDate datum;
    if (text != gelesen || gelesen.isNull()) {
        datum = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
        gelesen = text;
    }
    return datum;
}

// What a participant stored in the series, read as the sums read them:
// index s - 1 holds series s. A series without his row counts as one with
// empty values, which read as 0 and add nothing.
struct Serienwerte {
    QVector<int> punkte;
    QVector<double> kosten;
};

// Runs a statement of Ergebnistexte::summen() for these participants; none
// when it fails.
std::optional<QHash<int, Serienwerte>> serienwerteLesen(QSqlQuery& q, const QVector<int>& nrs, int serien)
{
    QHash<int, Serienwerte> werte;
    if (!Ergebnistexte::binden(q, nrs)) {
        q.finish();
        return std::nullopt;
    }
    while (q.next()) {
        Serienwerte w;
        w.punkte.reserve(serien);
        w.kosten.reserve(serien);
        for (int s = 1; s <= serien; ++s) {
            w.punkte << q.value(2 * s - 1).toInt();
            w.kosten << q.value(2 * s).toDouble();
        }
        const int nr = q.value(0).toInt();
        if (!werte.contains(nr))
            werte.insert(nr, w);
    }
    q.finish();
    return werte;
}

} // namespace

OffenerSpieltag::OffenerSpieltag(const QString& hauptVerbindung, QObject* parent)
    : QObject(parent)
    , m_verbindungen(hauptVerbindung)
{
}

QSqlDatabase OffenerSpieltag::gruppe(const QString& name) const
{
    if (name == m_verbindungen.hauptVerbindung())
        return QSqlDatabase();
    QSqlDatabase db = m_verbindungen.datenbank(name);
    return db.isValid() && db.isOpen() ? db : QSqlDatabase();
}

bool OffenerSpieltag::ergebnisseSpeichern(const QString& name, const QVector<Ergebnis>& ergebnisse, QString* fehler)
{
    QSqlDatabase db = gruppe(name);
    // A database without the group's settings is no group.
    const auto g = db.isValid() ? anweisung(db, QStringLiteral("SELECT Serien, Datum FROM Gruppe"), true) : nullptr;
    if (!g)
        return scheitern(fehler, tr("Die Gruppe %1 ist nicht geoeffnet").arg(name.left(64)));
    Fehlerfang fang;
    if (!ausfuehren(*g, {}) || !g->next()) {
        g->finish();
        return scheitern(fehler, fang.text(tr("Die Gruppe %1 hat keine Einstellungen").arg(name.left(64))));
    }
    const int serien = qMin(g->value(0).toInt(), Spieltag::maxSerien);
    const QDate datum = gruppenDatum(g->value(1).toString());
    g->finish();

    const QStringList& tabellen = Ergebnistexte::tabellen(serien);
    indizesAnlegen(db, tabellen, QStringLiteral("StartNr"));
    // A companion asks for a table's seats before every message of results.
    indizesAnlegen(db, tabellen.mid(1), QStringLiteral("Tisch"));

    Db::Transaktion tx(db);
    if (!tx.begonnen())
        return scheitern(fehler, fang.text(tr("Die Gruppe %1 kann nichts speichern").arg(name)));
    // Every participant named is looked up once per call, all of them
    // together, before anything is changed.
    QVector<int> gesucht;
    {
        QSet<int> gesehen;
        for (const Ergebnis& e : ergebnisse)
            if (e.serie >= 1 && e.serie <= serien && (e.punkte || e.kosten) && !gesehen.contains(e.startNr)) {
                gesehen.insert(e.startNr);
                gesucht << e.startNr;
            }
    }
    QHash<int, QString> gefunden; // start number -> name, of those the group has
    for (int anfang = 0; anfang < gesucht.size(); anfang += Ergebnistexte::buendel) {
        const QVector<int> teil = gesucht.mid(anfang, Ergebnistexte::buendel);
        const auto q = anweisung(db, Ergebnistexte::namen(int(teil.size())));
        if (!q || !Ergebnistexte::binden(*q, teil)) {
            if (q)
                q->finish();
            return scheitern(fehler, fang.text(tr("Teilnehmer %1 nicht lesbar").arg(teil.first())));
        }
        // Of rows doubled in a broken file, the first counts.
        while (q->next()) {
            const int nr = q->value(0).toInt();
            if (!gefunden.contains(nr))
                gefunden.insert(nr, q->value(1).toString());
        }
        q->finish();
    }

    QMap<int, QString> namen; // start number -> name, of every changed participant
    QMap<int, QVector<int>> geaendert; // series -> start numbers
    for (const Ergebnis& e : ergebnisse) {
        if (e.serie < 1 || e.serie > serien || (!e.punkte && !e.kosten))
            continue;
        const auto da = gefunden.constFind(e.startNr);
        if (da == gefunden.cend())
            continue;
        namen.insert(e.startNr, da.value());
        QVariantList werte;
        if (e.punkte)
            werte << *e.punkte;
        if (e.kosten)
            werte << Zahl::euro(*e.kosten);
        werte << e.startNr;
        const auto q = anweisung(db, Ergebnistexte::aendern(e.serie, bool(e.punkte), bool(e.kosten)));
        if (!q || !zeileAendern(*q, werte, e.startNr))
            return scheitern(fehler, fang.text(tr("Teilnehmer %1 nicht gespeichert").arg(e.startNr)));
        if (!geaendert[e.serie].contains(e.startNr))
            geaendert[e.serie] << e.startNr;
    }

    // The sums from every stored series (of a participant's rows in a
    // series the first), the changed participants read together; a group
    // missing a series table is summed series by series, as it always was,
    // with the missing one announced.
    const QVector<int> geaenderte = namen.keys().toVector();
    QHash<int, int> punkte; // start number -> sum of points
    QHash<int, Gelesen> frisch; // what the views are shown when they hear of it
    const auto summen = namen.isEmpty()
        ? nullptr
        : anweisung(db, QStringLiteral("UPDATE Teilnehmer SET SummePunkte=?, SummeKosten=? WHERE StartNr=?"));
    for (int anfang = 0; anfang < geaenderte.size(); anfang += Ergebnistexte::buendel) {
        const QVector<int> teil = geaenderte.mid(anfang, Ergebnistexte::buendel);
        const auto lesen = anweisung(db, Ergebnistexte::summen(serien, int(teil.size())), true);
        std::optional<QHash<int, Serienwerte>> gelesen;
        if (lesen && summen) {
            gelesen = serienwerteLesen(*lesen, teil, serien);
            if (!gelesen)
                return scheitern(fehler, fang.text(tr("Summen von Teilnehmer %1 nicht gespeichert").arg(teil.first())));
        }
        for (int nr : teil) {
            bool ok = false;
            if (gelesen) {
                const Serienwerte w = gelesen->value(nr);
                const QVector<int>& p = w.punkte;
                const QVector<double>& k = w.kosten;
                const int summe = Wertung::punkteSumme(p);
                const QString kosten = Zahl::allgemein(Wertung::kostenSumme(k));
                ok = zeileAendern(*summen, { summe, kosten, nr }, nr);
                punkte.insert(nr, summe);
                // The sum of costs as it reads back: the stored text's number.
                frisch.insert(nr, { p, k, summe, kosten.toDouble(), 0 });
            } else {
                const Wertung::Summen s = Wertung::summenNeuBerechnen(db, nr, serien);
                ok = s.ok;
                punkte.insert(nr, s.punkte);
            }
            if (!ok)
                return scheitern(fehler, fang.text(tr("Summen von Teilnehmer %1 nicht gespeichert").arg(nr)));
        }
    }
    // Only the rows the store changed are known to exist.
    for (auto it = geaendert.cbegin(); it != geaendert.cend(); ++it)
        for (int nr : it.value()) {
            const auto f = frisch.find(nr);
            if (f != frisch.end())
                f->geaendert |= quint32(1) << it.key();
        }
    // The ranking follows only once the group has stored the points, all
    // rows of the call together; the views hear of the change after that.
    // An outer transaction of the caller decides.
    QPointer<OffenerSpieltag> selbst(this);
    QSqlDatabase haupt = m_verbindungen.hauptDatenbank();
    if (!namen.isEmpty())
        Db::nachAbschluss(db, [selbst, haupt, datum, namen, punkte] {
            if (selbst) {
                selbst->ranglisteSpeichern(datum, namen, punkte);
                return;
            }
            for (auto it = namen.cbegin(); it != namen.cend(); ++it)
                Wertung::ranglistePunkteSpeichern(haupt, it.key(), datum, it.value(), punkte.value(it.key()));
        });
    Db::nachAbschluss(db, [selbst, name, geaendert, frisch] {
        if (!selbst)
            return;
        // Read in this store's transaction, after its last change; a later
        // store of the same outer transaction announces its own afterwards.
        std::optional<Frisch> vorher = std::exchange(selbst->m_frisch, Frisch { name, frisch });
        for (auto it = geaendert.cbegin(); it != geaendert.cend() && selbst; ++it)
            emit selbst->ergebnisGeaendert(name, it.key(), it.value());
        if (selbst)
            selbst->m_frisch = std::move(vorher);
    });
    if (!tx.abschliessen())
        return scheitern(fehler, fang.text(tr("Die Ergebnisse der Gruppe %1 sind nicht gespeichert").arg(name)));
    return true;
}

bool OffenerSpieltag::ranglisteSpeichern(
    const QDate& datum, const QMap<int, QString>& namen, const QHash<int, int>& punkte)
{
    QSqlDatabase haupt = m_verbindungen.hauptDatenbank();
    if (!haupt.isValid() || !haupt.isOpen())
        return true;
    indizesAnlegen(haupt, { QStringLiteral("Rangliste") }, QStringLiteral("StartNr, Datum"));
    const QString tag = datum.toString(QStringLiteral("yyyy-MM-dd"));
    // One commit for all rows (a single row commits alone); a row that
    // fails is announced and the others are kept, as when each was stored
    // alone.
    std::optional<Db::Transaktion> tx;
    if (namen.size() > 1)
        tx.emplace(haupt);
    const auto aendern = anweisung(haupt, QStringLiteral("UPDATE Rangliste SET Punkte=? WHERE StartNr=? AND Datum=?"));
    const auto anlegen
        = anweisung(haupt, QStringLiteral("INSERT INTO Rangliste (StartNr, Name, Datum, Punkte) VALUES (?, ?, ?, ?)"));
    if (!aendern || !anlegen)
        return false;
    bool ok = true;
    for (auto it = namen.cbegin(); it != namen.cend(); ++it) {
        const int p = punkte.value(it.key());
        // The name stays as the day's first store wrote it.
        if (!ausfuehren(*aendern, { p, it.key(), tag }))
            ok = false;
        else if (aendern->numRowsAffected() < 1 && !ausfuehren(*anlegen, { it.key(), it.value(), tag, p }))
            ok = false;
    }
    return (!tx || !tx->begonnen() || tx->abschliessen()) && ok;
}

std::shared_ptr<QSqlQuery> OffenerSpieltag::anweisung(QSqlDatabase db, const QString& sql, bool leise) const
{
    QString fehler;
    auto q = m_anweisungen.holen(db, sql, &fehler);
    if (!q && !leise)
        Db::Melder::instanz()->melden(QStringLiteral("%1 (%2)").arg(fehler, sql));
    return q;
}

void OffenerSpieltag::indizesAnlegen(QSqlDatabase db, const QStringList& tabellen, const QString& spalten)
{
    // Asked before every store: put together without parsing a pattern.
    const QString schluessel = db.connectionName() + QLatin1Char('\n')
        + QString::number(quintptr(Db::sqliteZeiger(db.driver()->handle()))) + QLatin1Char('\n')
        + tabellen.join(QLatin1Char(',')) + QLatin1Char('\n') + spalten;
    if (m_indiziert.contains(schluessel))
        return;
    // An index only speeds up: a table that is missing stays missing, and
    // what cannot be created is looked up without one. Inside a caller's
    // transaction it may still be rolled back, so it is tried again.
    const bool aussen = Db::inTransaktion(db);
    Db::Transaktion tx(db);
    QString name = spalten;
    name.remove(QLatin1Char(' ')).replace(QLatin1Char(','), QLatin1Char('_'));
    QSqlQuery q(db);
    for (const QString& t : tabellen)
        q.exec(QStringLiteral("CREATE INDEX IF NOT EXISTS %1_%2 ON %1 (%3)").arg(t, name, spalten));
    if (tx.begonnen() && tx.abschliessen() && !aussen)
        m_indiziert.insert(schluessel);
}

std::optional<OffenerSpieltag::Stand> OffenerSpieltag::stand(const QString& name, int startNr, int serie) const
{
    const QHash<int, Stand> s = staende(name, serie, { startNr });
    const auto it = s.constFind(startNr);
    if (it == s.cend())
        return std::nullopt;
    return it.value();
}

QHash<int, OffenerSpieltag::Stand> OffenerSpieltag::staende(
    const QString& name, int serie, const QVector<int>& startNrs) const
{
    QHash<int, Stand> staende;
    QSqlDatabase db = gruppe(name);
    if (!db.isValid() || serie < 1 || serie > Spieltag::maxSerien || startNrs.isEmpty())
        return staende;
    // While a store announces its change, what it read back is the stored
    // state of its participants.
    QVector<int> lesen;
    if (m_frisch && m_frisch->gruppe == name) {
        for (int nr : startNrs) {
            const auto it = m_frisch->teilnehmer.constFind(nr);
            if (it == m_frisch->teilnehmer.cend() || !(it->geaendert & (quint32(1) << serie))
                || serie > it->punkte.size() || serie > it->kosten.size()) {
                lesen << nr;
                continue;
            }
            Stand s;
            s.punkte = QString::number(it->punkte.at(serie - 1));
            s.kosten = Zahl::euro(Wertung::kostenSumme({ it->kosten.at(serie - 1) }));
            s.summePunkte = QString::number(it->summePunkte);
            s.summeKosten = Zahl::euro(Wertung::kostenSumme({ it->summeKosten }));
            staende.insert(nr, s);
        }
        if (lesen.isEmpty())
            return staende;
    } else {
        lesen = startNrs;
    }
    // Read quietly: a caller that cannot read keeps what it showed. The
    // participants come in bundles of 1, 2, 4, 8 or 16, so few statements
    // are prepared, and their texts are built once.
    constexpr int buendel = 16;
    static QHash<QPair<int, int>, QString> texte;
    for (int anfang = 0; anfang < lesen.size(); anfang += buendel) {
        int n = 1;
        while (n < buendel && n < lesen.size() - anfang)
            n *= 2;
        auto text = texte.find({ serie, n });
        if (text == texte.end()) {
            QString platzhalter = QStringLiteral("?,").repeated(n);
            platzhalter.chop(1);
            text = texte.insert({ serie, n },
                QStringLiteral("SELECT s.StartNr, s.Punkte, s.Kosten, t.SummePunkte, t.SummeKosten FROM Serie%1 s "
                               "JOIN Teilnehmer t ON t.StartNr=s.StartNr WHERE s.StartNr IN (%2)")
                    .arg(serie)
                    .arg(platzhalter));
        }
        const auto q = anweisung(db, *text, true);
        if (!q)
            return staende;
        for (int i = 0; i < n; ++i)
            q->bindValue(i, lesen.value(qMin(anfang + i, int(lesen.size()) - 1)));
        if (!q->exec()) {
            q->finish();
            return staende;
        }
        while (q->next()) {
            const int nr = q->value(0).toInt();
            // Of rows doubled in a broken file, the first counts.
            if (staende.contains(nr))
                continue;
            Stand s;
            s.punkte = QString::number(q->value(1).toInt());
            s.kosten = Zahl::euro(Wertung::kostenSumme({ q->value(2).toDouble() }));
            s.summePunkte = QString::number(q->value(3).toInt());
            s.summeKosten = Zahl::euro(Wertung::kostenSumme({ q->value(4).toDouble() }));
            staende.insert(nr, s);
        }
        q->finish();
    }
    return staende;
}

bool OffenerSpieltag::sitzeSpeichern(const QString& name, int serie, const QVector<Zuweisung>& sitze,
    const std::optional<Spieltag::Losung>& losung, QString* fehler)
{
    QSqlDatabase db = gruppe(name);
    if (!db.isValid())
        return scheitern(fehler, tr("Die Gruppe %1 ist nicht geoeffnet").arg(name.left(64)));
    if (serie < 1 || serie > Spieltag::maxSerien)
        return scheitern(fehler, tr("Eine Serie %1 gibt es nicht").arg(serie));
    Fehlerfang fang;
    Db::Transaktion tx(db);
    if (!tx.begonnen())
        return scheitern(fehler, fang.text(tr("Die Gruppe %1 kann nichts speichern").arg(name)));
    sitzeWerdenGeaendert(db, name, serie);
    if (losung && !Auslosungsdaten::losungSpeichern(db, serie, *losung))
        return scheitern(fehler, fang.text(tr("Die Losnummer von Serie %1 ist nicht gespeichert").arg(serie)));
    // Prepared once: a draw of a large group stores hundreds of seats.
    QSqlQuery q(db);
    const QString sql = QStringLiteral("UPDATE Serie%1 SET Tisch=?, TischIntern=? WHERE StartNr=?").arg(serie);
    if (!q.prepare(sql)) {
        Db::Melder::instanz()->melden(QStringLiteral("%1 (%2)").arg(q.lastError().text(), sql));
        return scheitern(fehler, fang.text(tr("Serie %1 nicht lesbar").arg(serie)));
    }
    for (const Zuweisung& z : sitze) {
        q.bindValue(0, z.tisch);
        q.bindValue(1, z.sitz);
        q.bindValue(2, z.startNr);
        if (!q.exec()) {
            Db::Melder::instanz()->melden(QStringLiteral("%1 (%2)").arg(q.lastError().text(), sql));
            return scheitern(fehler, fang.text(tr("Der Platz von Teilnehmer %1 ist nicht gespeichert").arg(z.startNr)));
        }
        // A seat shown but not stored would be lost on reopening.
        if (q.numRowsAffected() < 1)
            return scheitern(fehler, tr("Teilnehmer %1 hat keine Zeile in Serie %2").arg(z.startNr).arg(serie));
    }
    QPointer<OffenerSpieltag> selbst(this);
    Db::nachAbschluss(db, [selbst, name, serie] {
        if (selbst)
            emit selbst->sitzeGeaendert(name, serie);
    });
    if (!tx.abschliessen())
        return scheitern(fehler, fang.text(tr("Die Plaetze von Serie %1 sind nicht gespeichert").arg(serie)));
    return true;
}

std::optional<OffenerSpieltag::Stand> OffenerSpieltag::summen(const QString& name, int startNr) const
{
    QSqlDatabase db = gruppe(name);
    if (!db.isValid())
        return std::nullopt;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral("SELECT SummePunkte, SummeKosten FROM Teilnehmer WHERE StartNr=?")))
        return std::nullopt;
    q.addBindValue(startNr);
    if (!q.exec() || !q.next())
        return std::nullopt;
    Stand s;
    s.summePunkte = QString::number(q.value(0).toInt());
    s.summeKosten = Zahl::euro(Wertung::kostenSumme({ q.value(1).toDouble() }));
    return s;
}

bool OffenerSpieltag::preisskatSetzen(const QString& name, int startNr, bool ja, QString* fehler)
{
    QSqlDatabase db = gruppe(name);
    if (!db.isValid())
        return scheitern(fehler, tr("Die Gruppe %1 ist nicht geoeffnet").arg(name.left(64)));
    Fehlerfang fang;
    Db::Transaktion tx(db);
    if (!tx.begonnen())
        return scheitern(fehler, fang.text(tr("Die Gruppe %1 kann nichts speichern").arg(name)));
    if (!Wertung::zeileAendern(
            db, QStringLiteral("UPDATE Teilnehmer SET Preisskat=? WHERE StartNr=?"), { ja ? 1 : 0, startNr }, startNr))
        return scheitern(fehler, fang.text(tr("Teilnehmer %1 nicht gespeichert").arg(startNr)));
    if (!tx.abschliessen())
        return scheitern(fehler, fang.text(tr("Teilnehmer %1 nicht gespeichert").arg(startNr)));
    return true;
}

std::optional<bool> OffenerSpieltag::preisskat(const QString& name, int startNr) const
{
    QSqlDatabase db = gruppe(name);
    if (!db.isValid())
        return std::nullopt;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral("SELECT Preisskat FROM Teilnehmer WHERE StartNr=?")))
        return std::nullopt;
    q.addBindValue(startNr);
    if (!q.exec() || !q.next())
        return std::nullopt;
    return q.value(0).toInt() != 0;
}
