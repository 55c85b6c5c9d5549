#include "spieltag/offenerspieltag.h"

#include <QDate>
#include <QMap>
#include <QPointer>
#include <QSqlError>
#include <QSqlQuery>

#include "draw/auslosungsdaten.h"
#include "scoring/wertung.h"
#include "setup/teilnehmertabelle.h"
#include "storage/datenbank.h"
#include "storage/spieltagleser.h"

namespace
{

// Keeps the first database failure announced while an operation runs, so the
// operation can return it as its error text.
class Fehlerfang
{
public:
    Fehlerfang()
    {
        m_verbindung = QObject::connect(Db::Melder::instanz(), &Db::Melder::fehler, [this](const QString& text) {
            // The caller puts its own "FEHLER: " in front.
            if (m_text.isEmpty())
                m_text = text.startsWith(QLatin1String("FEHLER: ")) ? text.mid(8) : text;
        });
    }
    ~Fehlerfang() { QObject::disconnect(m_verbindung); }
    Fehlerfang(const Fehlerfang&) = delete;
    Fehlerfang& operator=(const Fehlerfang&) = delete;

    QString text(const QString& sonst) const { return m_text.isEmpty() ? sonst : m_text; }

private:
    QMetaObject::Connection m_verbindung;
    QString m_text;
};

bool scheitern(QString* fehler, const QString& text)
{
    if (fehler)
        *fehler = text;
    return false;
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
    if (!db.isValid() || !Db::tabelleVorhanden(db, QStringLiteral("Gruppe")))
        return scheitern(fehler, tr("Die Gruppe %1 ist nicht geoeffnet").arg(name.left(64)));
    Fehlerfang fang;
    QSqlQuery g = Db::abfrage(db, QStringLiteral("SELECT Serien, Datum FROM Gruppe"));
    if (!g.next())
        return scheitern(fehler, fang.text(tr("Die Gruppe %1 hat keine Einstellungen").arg(name.left(64))));
    const int serien = qMin(g.value(0).toInt(), Spieltag::maxSerien);
    const QDate datum = QDate::fromString(g.value(1).toString(), QStringLiteral("yyyy-MM-dd"));

    Db::Transaktion tx(db);
    if (!tx.begonnen())
        return scheitern(fehler, fang.text(tr("Die Gruppe %1 kann nichts speichern").arg(name)));
    QMap<int, QString> namen; // start number -> name, of every changed participant
    QMap<int, QVector<int>> geaendert; // series -> start numbers
    for (const Ergebnis& e : ergebnisse) {
        if (e.serie < 1 || e.serie > serien || (!e.punkte && !e.kosten))
            continue;
        QSqlQuery q = Db::abfrage(db, QStringLiteral("SELECT Name FROM Teilnehmer WHERE StartNr=?"), { e.startNr });
        if (!q.isActive())
            return scheitern(fehler, fang.text(tr("Teilnehmer %1 nicht lesbar").arg(e.startNr)));
        if (!q.next())
            continue;
        QStringList spalten;
        QVariantList werte;
        if (e.punkte) {
            spalten << QStringLiteral("Punkte=?");
            werte << *e.punkte;
        }
        if (e.kosten) {
            spalten << QStringLiteral("Kosten=?");
            werte << Zahl::euro(*e.kosten);
        }
        werte << e.startNr;
        if (!Wertung::zeileAendern(db,
                QStringLiteral("UPDATE Serie%1 SET %2 WHERE StartNr=?")
                    .arg(e.serie)
                    .arg(spalten.join(QLatin1Char(','))),
                werte, e.startNr))
            return scheitern(fehler, fang.text(tr("Teilnehmer %1 nicht gespeichert").arg(e.startNr)));
        namen.insert(e.startNr, q.value(0).toString());
        if (!geaendert[e.serie].contains(e.startNr))
            geaendert[e.serie] << e.startNr;
    }
    QSqlDatabase haupt = m_verbindungen.hauptDatenbank();
    for (auto it = namen.cbegin(); it != namen.cend(); ++it) {
        const Wertung::Summen s = Wertung::summenNeuBerechnen(db, it.key(), serien);
        if (!s.ok)
            return scheitern(fehler, fang.text(tr("Summen von Teilnehmer %1 nicht gespeichert").arg(it.key())));
        // The ranking follows only once the group has stored the points.
        Wertung::ranglisteNachAbschluss(db, haupt, it.key(), datum, it.value(), s.punkte);
    }
    // An outer transaction of the caller decides; the views hear of the
    // change only once it is stored.
    QPointer<OffenerSpieltag> selbst(this);
    Db::nachAbschluss(db, [selbst, name, geaendert] {
        if (!selbst)
            return;
        for (auto it = geaendert.cbegin(); it != geaendert.cend(); ++it)
            emit selbst->ergebnisGeaendert(name, it.key(), it.value());
    });
    if (!tx.abschliessen())
        return scheitern(fehler, fang.text(tr("Die Ergebnisse der Gruppe %1 sind nicht gespeichert").arg(name)));
    return true;
}

std::optional<OffenerSpieltag::Stand> OffenerSpieltag::stand(const QString& name, int startNr, int serie) const
{
    QSqlDatabase db = gruppe(name);
    if (!db.isValid() || serie < 1 || serie > Spieltag::maxSerien)
        return std::nullopt;
    // Read quietly: a caller that cannot read keeps what it showed.
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral("SELECT s.Punkte, s.Kosten, t.SummePunkte, t.SummeKosten FROM Serie%1 s "
                                  "JOIN Teilnehmer t ON t.StartNr=s.StartNr WHERE s.StartNr=?")
                       .arg(serie)))
        return std::nullopt;
    q.addBindValue(startNr);
    if (!q.exec() || !q.next())
        return std::nullopt;
    Stand s;
    s.punkte = QString::number(q.value(0).toInt());
    s.kosten = Zahl::euro(Wertung::kostenSumme({ q.value(1).toDouble() }));
    s.summePunkte = QString::number(q.value(2).toInt());
    s.summeKosten = Zahl::euro(Wertung::kostenSumme({ q.value(3).toDouble() }));
    return s;
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
