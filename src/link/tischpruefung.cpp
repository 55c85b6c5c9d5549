#include "link/tischpruefung.h"

#include <QMap>
#include <QSqlQuery>
#include <QSqlResult>

#include "link/protokoll.h"

namespace Tischpruefung
{

Gelesen lesen(const QStringList& zeilen)
{
    const int n = qMin(int(zeilen.size()), maxZeilen);
    Gelesen gelesen;
    gelesen.reserve(n);
    for (int i = 0; i < n; ++i)
        gelesen.append(Protokoll::ergebnisLesen(zeilen.at(i)));
    return gelesen;
}

Sitzsuche::Sitzsuche(QSqlDatabase gruppe, Anweisungen* anweisungen)
    : m_db(gruppe)
    , m_anweisungen(anweisungen)
{
    const auto g = anweisung(QStringLiteral("SELECT Serien FROM Gruppe"));
    if (g && g->exec() && g->next())
        m_serien = g->value(0).toInt();
    if (g)
        g->finish();
}

std::shared_ptr<QSqlQuery> Sitzsuche::anweisung(const QString& sql)
{
    // A group without the table asked for has no such seats; that is no
    // failure to announce.
    return (m_anweisungen ? *m_anweisungen : m_eigene).holen(m_db, sql);
}

void Sitzsuche::vorlesen(const QStringList& zeilen)
{
    vorlesen(lesen(zeilen));
}

void Sitzsuche::vorlesen(const Gelesen& gelesen)
{
    QMap<int, QSet<int>> genannt; // series -> start numbers
    for (const std::optional<Protokoll::Ergebnis>& e : gelesen)
        if (e && e->serie >= 1 && e->serie <= m_serien && !m_gelesen.contains(e->serie))
            genannt[e->serie].insert(e->startNr);
    for (auto it = genannt.cbegin(); it != genannt.cend(); ++it) {
        Serie s;
        s.ganz = false;
        s.gefragt = it.value();
        QString platzhalter = QStringLiteral("?,").repeated(int(it.value().size()));
        platzhalter.chop(1);
        // Whether anybody is seated in the series decides for every line.
        // A series without its table has nobody.
        const auto q
            = anweisung(QStringLiteral("SELECT StartNr, Tisch, EXISTS (SELECT 1 FROM %1 WHERE Tisch>0) FROM %1 "
                                       "WHERE StartNr IN (%2)")
                            .arg(QStringLiteral("Serie%1").arg(it.key()), platzhalter));
        if (q) {
            int i = 0;
            for (int nr : it.value())
                q->bindValue(i++, nr);
            if (q->exec()) {
                while (q->next()) {
                    s.tisch.insert(q->value(0).toInt(), q->value(1).toInt());
                    s.ausgelost = q->value(2).toBool();
                }
            }
            q->finish();
        }
        m_gelesen.insert(it.key(), s);
    }
}

Sitz Sitzsuche::operator()(int serie, int startNr)
{
    if (serie < 1 || serie > m_serien)
        return {};
    auto it = m_gelesen.find(serie);
    if (it != m_gelesen.end() && !it->ganz && !it->gefragt.contains(startNr)) {
        m_gelesen.erase(it);
        it = m_gelesen.end();
    }
    if (it == m_gelesen.end()) {
        Serie s;
        const auto q = anweisung(QStringLiteral("SELECT StartNr, Tisch FROM Serie%1").arg(serie));
        if (q && q->exec()) {
            while (q->next()) {
                const int tisch = q->value(1).toInt();
                s.tisch.insert(q->value(0).toInt(), tisch);
                s.ausgelost = s.ausgelost || tisch > 0;
            }
        }
        if (q)
            q->finish();
        it = m_gelesen.insert(serie, s);
    }
    const auto da = it->tisch.constFind(startNr);
    if (da == it->tisch.cend())
        return {};
    if (!it->ausgelost)
        return { Sitz::Art::Offen, 0 };
    if (da.value() < 1)
        return { Sitz::Art::Ohne, da.value() };
    return { Sitz::Art::Tisch, da.value() };
}

namespace
{

QString grundFuer(const Protokoll::Ergebnis& e, const Sitz& sitz)
{
    switch (sitz.art) {
    case Sitz::Art::Unbekannt:
        return QStringLiteral("Serie %1 mit Startnummer %2 gibt es in der Gruppe nicht").arg(e.serie).arg(e.startNr);
    case Sitz::Art::Ohne:
        return sitz.tisch < 0
            ? QStringLiteral("Startnummer %1 setzt in Serie %2 aus").arg(e.startNr).arg(e.serie)
            : QStringLiteral("Startnummer %1 hat in Serie %2 keinen Tisch").arg(e.startNr).arg(e.serie);
    default:
        return {};
    }
}

} // namespace

Ergebnis pruefen(const QStringList& zeilen, const Anspruch& anspruch, const SitzVon& sitzVon)
{
    return pruefen(zeilen, lesen(zeilen), anspruch, sitzVon);
}

Ergebnis pruefen(const QStringList& zeilen, const Gelesen& gelesen, const Anspruch& anspruch, const SitzVon& sitzVon)
{
    Ergebnis erg;
    erg.tisch = anspruch.tisch;
    QHash<QPair<int, int>, int> stelle; // (series, start number) -> index in angenommen
    const int n = qMin(qMin(int(zeilen.size()), maxZeilen), int(gelesen.size()));
    auto ablehnen = [&erg](const QString& zeile, const QString& grund) {
        ++erg.abgelehnt;
        erg.abgelehnteZeilen.append({ zeile, grund });
    };
    for (int i = 0; i < n; ++i) {
        const QString& zeile = zeilen.at(i);
        const std::optional<Protokoll::Ergebnis>& e = gelesen.at(i);
        if (!e) {
            ablehnen(zeile, Protokoll::ergebnisFehler(zeile));
            continue;
        }
        const Sitz sitz = sitzVon(e->serie, e->startNr);
        if (sitz.art == Sitz::Art::Unbekannt || sitz.art == Sitz::Art::Ohne) {
            ablehnen(zeile, grundFuer(*e, sitz));
            continue;
        }
        if (sitz.art == Sitz::Art::Tisch) {
            const int tisch = sitz.tisch;
            const QString halter = anspruch.halter ? anspruch.halter(e->serie, tisch) : QString();
            const bool frei = !anspruch.frei || anspruch.frei(tisch);
            bool eigen = false;
            if (!halter.isEmpty()) {
                eigen = halter == anspruch.adresse;
            } else {
                if (erg.tisch == 0 && frei)
                    erg.tisch = tisch;
                eigen = tisch == erg.tisch;
            }
            // Holding no table, the companion takes that of its first line
            // taken, as if it had asked for it.
            if (eigen && erg.tisch == 0 && frei)
                erg.tisch = tisch;
            if (!eigen) {
                ablehnen(zeile,
                    halter.isEmpty() ? QStringLiteral("Tisch %1 (Serie %2) ist nicht der Tisch dieses Begleiters")
                                           .arg(tisch)
                                           .arg(e->serie)
                                     : QStringLiteral("Tisch %1 (Serie %2) hat der Begleiter %3")
                                           .arg(tisch)
                                           .arg(e->serie)
                                           .arg(halter));
                continue;
            }
        }
        const QPair<int, int> schluessel { e->serie, e->startNr };
        const auto da = stelle.constFind(schluessel);
        if (da != stelle.cend()) {
            erg.angenommen[da.value()] = zeile;
            erg.werte[da.value()] = *e;
            continue;
        }
        stelle.insert(schluessel, int(erg.angenommen.size()));
        erg.angenommen << zeile;
        erg.werte << *e;
    }
    if (zeilen.size() > n) {
        erg.abgelehnt += int(zeilen.size()) - n;
        erg.abgelehnteZeilen.append(
            { zeilen.at(n), QStringLiteral("%1 Zeilen nach den ersten %2 ungelesen").arg(zeilen.size() - n).arg(n) });
    }
    return erg;
}

} // namespace Tischpruefung
