#include "draw/auslosungsdaten.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QRandomGenerator>
#include <QSettings>
#include <QSqlQuery>

#include <algorithm>
#include <tuple>

#include "storage/datenbank.h"
#include "storage/pfade.h"
#include "storage/spieltagleser.h"

namespace Auslosungsdaten
{

using FaireAuslosung::Paar;
using FaireAuslosung::Runde;

Einstellung einstellungLesen(const QSettings& s)
{
    Einstellung e;
    e.ausgleich = s.value(schluesselAusgleich, true).toBool();
    e.spieltage = qBound(0, s.value(schluesselSpieltage, 0).toInt(), maxSpieltage);
    return e;
}

void einstellungSchreiben(QSettings& s, const Einstellung& e)
{
    s.setValue(schluesselAusgleich, e.ausgleich);
    s.setValue(schluesselSpieltage, qBound(0, e.spieltage, maxSpieltage));
}

static bool offen(QSqlDatabase db)
{
    return db.isValid() && db.isOpen();
}

bool trennpaareBereinigen(QSqlDatabase haupt)
{
    if (!offen(haupt))
        return false;
    if (!Db::tabelleVorhanden(haupt, QStringLiteral("Trennpaare")))
        return true;
    return Db::ausfuehren(haupt,
        QStringLiteral("DELETE FROM Trennpaare WHERE StartNrA NOT IN (SELECT StartNr FROM Spieler) "
                       "OR StartNrB NOT IN (SELECT StartNr FROM Spieler)"));
}

QVector<Paar> trennpaareLesen(QSqlDatabase haupt)
{
    // Only reads, so a draw writes nothing to the roster's database; a pair
    // whose player has gone is left out here and deleted with the player.
    QVector<Paar> paare;
    if (!offen(haupt) || !Db::tabelleVorhanden(haupt, QStringLiteral("Trennpaare")))
        return paare;
    QSqlQuery q = Db::abfrage(haupt,
        QStringLiteral("SELECT StartNrA, StartNrB FROM Trennpaare WHERE StartNrA IN (SELECT StartNr FROM Spieler) "
                       "AND StartNrB IN (SELECT StartNr FROM Spieler)"));
    while (q.next()) {
        const Paar p = FaireAuslosung::paar(q.value(0).toInt(), q.value(1).toInt());
        if (p.first != p.second)
            paare << p;
    }
    std::sort(paare.begin(), paare.end());
    paare.erase(std::unique(paare.begin(), paare.end()), paare.end());
    return paare;
}

bool trennpaarHinzufuegen(QSqlDatabase haupt, int a, int b, QString* fehler)
{
    auto nein = [fehler](const QString& text) {
        if (fehler)
            *fehler = text;
        return false;
    };
    if (!offen(haupt))
        return nein(QStringLiteral("Stammdatenbank nicht geoeffnet"));
    if (a == b)
        return nein(QStringLiteral("Ein Spieler kann nicht von sich selbst getrennt werden"));
    const Paar p = FaireAuslosung::paar(a, b);
    if (trennpaareLesen(haupt).contains(p))
        return nein(QStringLiteral("%1 und %2 sind schon getrennt").arg(p.first).arg(p.second));
    for (int nr : { p.first, p.second }) {
        QSqlQuery q = Db::abfrage(haupt, QStringLiteral("SELECT COUNT(*) FROM Spieler WHERE StartNr=?"), { nr });
        if (!q.next() || q.value(0).toInt() == 0)
            return nein(QStringLiteral("Startnummer %1 steht nicht in der Spielerliste").arg(nr));
    }
    if (!Db::ausfuehren(haupt, trennpaareTabelle))
        return nein(QStringLiteral("Die Tabelle Trennpaare kann nicht angelegt werden"));
    QSqlQuery q(haupt);
    if (!Db::ausfuehren(q, QStringLiteral("INSERT INTO Trennpaare (StartNrA, StartNrB) VALUES (?, ?)"),
            { p.first, p.second }, fehler))
        return false;
    return true;
}

bool trennpaarEntfernen(QSqlDatabase haupt, int a, int b)
{
    if (!offen(haupt))
        return false;
    if (!Db::tabelleVorhanden(haupt, QStringLiteral("Trennpaare")))
        return true;
    const Paar p = FaireAuslosung::paar(a, b);
    return Db::ausfuehren(haupt,
        QStringLiteral("DELETE FROM Trennpaare WHERE (StartNrA=? AND StartNrB=?) OR (StartNrA=? AND StartNrB=?)"),
        { p.first, p.second, p.second, p.first });
}

Runde rundeLesen(QSqlDatabase gruppe, int serie)
{
    // The seats alone, in the seating's order (tables ascending, seats in
    // seat order, rows on one seat as read): the draw weighs pairs of start
    // numbers, and the participants' names would cost more than the seats.
    // Who was made inactive after the draw did not play at the table.
    Runde runde;
    if (!offen(gruppe) || serie < 1)
        return runde;
    QSqlQuery q(gruppe);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT Tisch, TischIntern, StartNr, Aktiv FROM Serie%1 WHERE Tisch>0").arg(serie)))
        return runde;
    struct Platz {
        int tisch, sitz, folge, startNr;
    };
    QVector<Platz> plaetze;
    while (q.next())
        if (q.value(3).toInt() != 0)
            plaetze << Platz { q.value(0).toInt(), q.value(1).toInt(), plaetze.size(), q.value(2).toInt() };
    std::sort(plaetze.begin(), plaetze.end(), [](const Platz& a, const Platz& b) {
        return std::tie(a.tisch, a.sitz, a.folge) < std::tie(b.tisch, b.sitz, b.folge);
    });
    for (int i = 0; i < plaetze.size(); ++i) {
        if (i == 0 || plaetze[i].tisch != plaetze[i - 1].tisch)
            runde << QVector<int>();
        runde.last() << plaetze[i].startNr;
    }
    return runde;
}

QVector<Runde> fruehereSpieltage(const QString& datenVerzeichnis, const QDate& tag, const QString& gruppe, int anzahl)
{
    QVector<Runde> runden;
    if (anzahl <= 0 || gruppe.isEmpty())
        return runden;
    // Newest first, so the window takes the days right before this one.
    QMap<QDate, QString> tage;
    const QStringList namen = QDir(datenVerzeichnis).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : namen) {
        QDate d;
        if (Pfade::istTurnierName(name, &d) && d < tag) {
            const QString datei = Pfade::gruppenDatei(QDir(datenVerzeichnis).filePath(name), gruppe);
            if (QFileInfo::exists(datei))
                tage.insert(d, datei);
        }
    }
    int genommen = 0;
    for (auto it = tage.cend(); it != tage.cbegin() && genommen < anzahl;) {
        --it;
        Spieltag::Gruppe g;
        if (!Spieltag::gruppeAusDateiLesen(it.value(), g))
            continue;
        ++genommen;
        for (int s = 1; s <= g.serien; ++s) {
            Runde r;
            for (const Spieltag::Tisch& t : Spieltag::tische(g, s)) {
                QVector<int> nrs;
                for (const Spieltag::SitzEintrag& e : t.sitze)
                    nrs << e.startNr;
                r << nrs;
            }
            if (!r.isEmpty())
                runden << r;
        }
    }
    return runden;
}

bool losungSpeichern(QSqlDatabase gruppe, int serie, const Losung& l)
{
    if (!offen(gruppe) || !Db::ausfuehren(gruppe, losungTabelle))
        return false;
    return Db::ausfuehren(gruppe,
        QStringLiteral("INSERT OR REPLACE INTO Auslosung (Serie, Losnummer, Wiederholungen, NichtGetrennt) "
                       "VALUES (?, ?, ?, ?)"),
        { serie, l.losnummer, l.wiederholungen, l.nichtGetrennt });
}

std::optional<Losung> losungLesen(QSqlDatabase gruppe, int serie)
{
    if (!offen(gruppe) || !Db::tabelleVorhanden(gruppe, QStringLiteral("Auslosung")))
        return std::nullopt;
    QSqlQuery q = Db::abfrage(gruppe,
        QStringLiteral("SELECT Losnummer, Wiederholungen, NichtGetrennt FROM Auslosung WHERE Serie=?"), { serie });
    if (!q.next())
        return std::nullopt;
    return Losung { q.value(0).toLongLong(), q.value(1).toInt(), q.value(2).toInt() };
}

bool losungVergessen(QSqlDatabase gruppe, int serie)
{
    if (!offen(gruppe))
        return false;
    // Asked first: a rank draw should not pay for a write that changes nothing.
    if (!losungLesen(gruppe, serie))
        return true;
    return Db::ausfuehren(gruppe, QStringLiteral("DELETE FROM Auslosung WHERE Serie=?"), { serie });
}

qint64 neueLosnummer()
{
    return qint64(QRandomGenerator::global()->bounded(quint32(1), quint32(1000000000)));
}

QString gueteText(const FaireAuslosung::Guete& g)
{
    QString text = g.wiederholungen == 1 ? QStringLiteral("1 Wiederholung")
                                         : QStringLiteral("%1 Wiederholungen").arg(g.wiederholungen);
    if (!g.nichtGetrennt.isEmpty()) {
        QStringList paare;
        for (const Paar& p : g.nichtGetrennt)
            paare << QStringLiteral("%1/%2").arg(p.first).arg(p.second);
        text += QStringLiteral(", nicht getrennt: %1").arg(paare.join(QStringLiteral(", ")));
    }
    return text;
}

QString gueteText(const Losung& l)
{
    QString text = l.wiederholungen == 1 ? QStringLiteral("1 Wiederholung")
                                         : QStringLiteral("%1 Wiederholungen").arg(l.wiederholungen);
    if (l.nichtGetrennt > 0)
        text += l.nichtGetrennt == 1 ? QStringLiteral(", 1 Paar nicht getrennt")
                                     : QStringLiteral(", %1 Paare nicht getrennt").arg(l.nichtGetrennt);
    return text;
}

namespace
{

QHash<int, int> ersteWerte(QSqlQuery q)
{
    QHash<int, int> werte;
    while (q.next()) {
        const int startNr = q.value(0).toInt();
        if (!werte.contains(startNr))
            werte.insert(startNr, q.value(1).toInt());
    }
    return werte;
}

} // namespace

QHash<int, int> summenLesen(QSqlDatabase gruppe)
{
    if (!offen(gruppe))
        return {};
    return ersteWerte(Db::abfrage(gruppe, QStringLiteral("SELECT StartNr, SummePunkte FROM Teilnehmer")));
}

QHash<int, int> ranglistePunkte(QSqlDatabase haupt, const QDate& tag)
{
    if (!offen(haupt))
        return {};
    return ersteWerte(Db::abfrage(haupt, QStringLiteral("SELECT StartNr, Punkte FROM Rangliste WHERE Datum=?"),
        { tag.toString(QStringLiteral("yyyy-MM-dd")) }));
}

} // namespace Auslosungsdaten
