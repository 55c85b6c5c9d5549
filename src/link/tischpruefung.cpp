#include "link/tischpruefung.h"

#include <QSqlQuery>

#include "link/protokoll.h"
#include "storage/datenbank.h"

namespace Tischpruefung
{

Sitzsuche::Sitzsuche(QSqlDatabase gruppe)
    : m_db(gruppe)
{
    if (!m_db.isValid() || !m_db.isOpen() || !Db::tabelleVorhanden(m_db, QStringLiteral("Gruppe")))
        return;
    QSqlQuery g = Db::abfrage(m_db, QStringLiteral("SELECT Serien FROM Gruppe"));
    if (g.next())
        m_serien = g.value(0).toInt();
}

int Sitzsuche::operator()(int serie, int startNr)
{
    if (serie < 1 || serie > m_serien)
        return 0;
    const QPair<int, int> schluessel { serie, startNr };
    const auto da = m_gefunden.constFind(schluessel);
    if (da != m_gefunden.cend())
        return da.value();
    const QString tabelle = QStringLiteral("Serie%1").arg(serie);
    auto vorhanden = m_tabelle.find(serie);
    if (vorhanden == m_tabelle.end())
        vorhanden = m_tabelle.insert(serie, Db::tabelleVorhanden(m_db, tabelle));
    int tisch = 0;
    if (vorhanden.value()) {
        QSqlQuery q
            = Db::abfrage(m_db, QStringLiteral("SELECT Tisch FROM %1 WHERE StartNr=?").arg(tabelle), { startNr });
        if (q.next())
            tisch = q.value(0).toInt();
    }
    m_gefunden.insert(schluessel, tisch);
    return tisch;
}

Ergebnis pruefen(
    const QStringList& zeilen, int eigenerTisch, const TischVon& tischVon, const std::function<bool(int)>& frei)
{
    Ergebnis erg;
    erg.tisch = eigenerTisch;
    QHash<QPair<int, int>, int> stelle; // (series, start number) -> index in angenommen
    const int n = qMin(int(zeilen.size()), maxZeilen);
    erg.abgelehnt = int(zeilen.size()) - n;
    for (int i = 0; i < n; ++i) {
        const QString& zeile = zeilen.at(i);
        const std::optional<Protokoll::Ergebnis> e = Protokoll::ergebnisLesen(zeile);
        const QPair<int, int> schluessel { e ? e->serie : 0, e ? e->startNr : 0 };
        // Inactive participants show -1, undrawn ones 0: seated nowhere.
        const int tisch = e ? tischVon(e->serie, e->startNr) : 0;
        if (tisch < 1) {
            ++erg.abgelehnt;
            continue;
        }
        if (erg.tisch == 0 && frei(tisch))
            erg.tisch = tisch;
        if (tisch != erg.tisch) {
            ++erg.abgelehnt;
            continue;
        }
        const auto da = stelle.constFind(schluessel);
        if (da != stelle.cend()) {
            erg.angenommen[da.value()] = zeile;
            continue;
        }
        stelle.insert(schluessel, int(erg.angenommen.size()));
        erg.angenommen << zeile;
    }
    return erg;
}

} // namespace Tischpruefung
