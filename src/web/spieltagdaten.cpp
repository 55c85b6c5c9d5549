#include "web/spieltagdaten.h"

#include <QJsonArray>
#include <QMap>
#include <QSqlQuery>

#include <algorithm>

#include "scoring/platzierung.h"
#include "scoring/spielliste.h"
#include "storage/datenbank.h"

namespace Web
{

std::optional<Tisch> tischLesen(QSqlDatabase db, const QString& gruppe, int serie, int tisch, Fehler& f)
{
    f = { 404, QStringLiteral("Die Gruppe %1 gibt es an diesem Spieltag nicht.").arg(gruppe) };
    if (!db.isValid() || !db.isOpen() || !Db::tabelleVorhanden(db, QStringLiteral("Gruppe")))
        return std::nullopt;
    QSqlQuery g = Db::abfrage(db, QStringLiteral("SELECT Serien, AnzahlSpiele3er, AnzahlSpiele4er, Datum FROM Gruppe"));
    if (!g.next())
        return std::nullopt;
    const int serien = std::min(g.value(0).toInt(), Spieltag::maxSerien);
    if (serie < 1 || serie > serien) {
        f = { 404, QStringLiteral("Serie %1 gibt es in der Gruppe %2 nicht.").arg(serie).arg(gruppe) };
        return std::nullopt;
    }
    Tisch t;
    t.gruppe = gruppe;
    t.serie = serie;
    t.nummer = tisch;
    t.datum = QDate::fromString(g.value(3).toString(), QStringLiteral("yyyy-MM-dd"));
    const QVector<Spieltag::SitzEintrag> sitze = Spieltag::sitzeLesen(db, serie, tisch);
    if (sitze.isEmpty()) {
        if (Spieltag::tischeLesen(db, serie).isEmpty())
            f = { 404, QStringLiteral("Serie %1 ist noch nicht ausgelost.").arg(serie) };
        else
            f = { 404, QStringLiteral("Tisch %1 spielt in Serie %2 nicht.").arg(tisch).arg(serie) };
        return std::nullopt;
    }
    for (const Spieltag::SitzEintrag& e : sitze)
        t.sitze << Sitz { e.startNr, e.teilnehmer ? e.name : QStringLiteral("Nr. %1").arg(e.startNr), e.aktiv };
    if (t.sitze.size() < 3 || t.sitze.size() > 4) {
        f = { 409,
            QStringLiteral("An Tisch %1 sitzen %2 Spieler; eine Spielliste braucht 3 oder 4.")
                .arg(tisch)
                .arg(t.sitze.size()) };
        return std::nullopt;
    }
    t.maxSpiele = std::clamp(g.value(t.sitze.size() == 3 ? 1 : 2).toInt(), 1, TischApp::hoechstensSpiele);
    return t;
}

QJsonObject tischJson(const Tisch& t, const QSettings& einstellungen)
{
    const Regeln::Regelwerte r = Regeln::werteLesen(einstellungen);
    QJsonArray spieler;
    for (const Sitz& s : t.sitze)
        spieler.append(QJsonObject { { QStringLiteral("startNr"), s.startNr }, { QStringLiteral("name"), s.name },
            { QStringLiteral("aktiv"), s.aktiv } });
    const QJsonObject regeln {
        { QStringLiteral("platz"), QJsonArray { r.platz[0], r.platz[1], r.platz[2], r.platz[3] } },
        { QStringLiteral("kartengeld"), r.kartengeld },
        { QStringLiteral("verloren1bis5"), r.verloren1bis5 },
        { QStringLiteral("verlorenAb6"), r.verlorenAb6 },
        { QStringLiteral("verlorenBis"), r.verlorenBis },
        { QStringLiteral("passGeld"), r.passGeld },
        { QStringLiteral("punkteGewVerl"), r.punkteGewVerl },
        { QStringLiteral("punkteGegen3er"), r.punkteGegen3er },
        { QStringLiteral("punkteGegen4er"), r.punkteGegen4er },
        { QStringLiteral("preisskat"), r.preisskat },
        { QStringLiteral("listenName"), r.listenName },
    };
    return QJsonObject {
        { QStringLiteral("gruppe"), t.gruppe },
        { QStringLiteral("datum"), t.datum.toString(QStringLiteral("dd.MM.yyyy")) },
        { QStringLiteral("serie"), t.serie },
        { QStringLiteral("tisch"), t.nummer },
        { QStringLiteral("spieler"), spieler },
        { QStringLiteral("maxSpiele"), t.maxSpiele },
        { QStringLiteral("regeln"), regeln },
    };
}

QJsonObject anzeigeJson(const QVector<Spieltag::Gruppe>& gruppen, const QDate& datum)
{
    QJsonArray liste;
    for (const Spieltag::Gruppe& g : gruppen) {
        QVector<int> serien;
        for (int s = 1; s <= g.serien; ++s)
            if (g.serieGelost(s) || g.serieGespielt(s))
                serien << s;
        QVector<const Spieltag::Teilnehmer*> reihe;
        for (const Spieltag::Teilnehmer& t : g.teilnehmer)
            reihe << &t;
        std::stable_sort(reihe.begin(), reihe.end(), [](const Spieltag::Teilnehmer* a, const Spieltag::Teilnehmer* b) {
            if (a->summePunkte != b->summePunkte)
                return a->summePunkte > b->summePunkte;
            return a->name.localeAwareCompare(b->name) < 0;
        });
        QVector<qint64> summen;
        for (const Spieltag::Teilnehmer* t : qAsConst(reihe))
            summen << t->summePunkte;
        const QVector<int> platz = Platzierung::plaetze(summen);
        QJsonArray zeilen;
        for (int i = 0; i < reihe.size(); ++i) {
            const Spieltag::Teilnehmer& t = *reihe.at(i);
            QJsonArray punkte;
            for (const int s : qAsConst(serien))
                punkte.append(t.serie(s).punkte);
            zeilen.append(QJsonObject { { QStringLiteral("platz"), platz.at(i) }, { QStringLiteral("name"), t.name },
                { QStringLiteral("serien"), punkte }, { QStringLiteral("summe"), t.summePunkte } });
        }
        QJsonArray s;
        for (const int n : qAsConst(serien))
            s.append(n);
        liste.append(QJsonObject { { QStringLiteral("name"), g.name }, { QStringLiteral("serien"), s },
            { QStringLiteral("zeilen"), zeilen } });
    }
    return QJsonObject { { QStringLiteral("datum"), datum.toString(QStringLiteral("dd.MM.yyyy")) },
        { QStringLiteral("gruppen"), liste } };
}

} // namespace Web
