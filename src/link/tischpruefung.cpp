#include "link/tischpruefung.h"

#include <QSqlQuery>

#include "link/protokoll.h"
#include "storage/datenbank.h"

namespace Tischpruefung
{

Sitze sitzeLesen(QSqlDatabase gruppe)
{
    Sitze sitze;
    if (!gruppe.isValid() || !gruppe.isOpen() || !Db::tabelleVorhanden(gruppe, QStringLiteral("Gruppe")))
        return sitze;
    QSqlQuery g = Db::abfrage(gruppe, QStringLiteral("SELECT Serien FROM Gruppe"));
    if (!g.next())
        return sitze;
    // A damaged count must not make us probe thousands of tables.
    const int serien = qBound(0, g.value(0).toInt(), 100);
    for (int s = 1; s <= serien; ++s) {
        const QString tabelle = QStringLiteral("Serie%1").arg(s);
        if (!Db::tabelleVorhanden(gruppe, tabelle))
            continue;
        QSqlQuery q = Db::abfrage(gruppe, QStringLiteral("SELECT StartNr, Tisch FROM %1 WHERE Tisch>0").arg(tabelle));
        while (q.next())
            sitze.insert({ s, q.value(0).toInt() }, q.value(1).toInt());
    }
    return sitze;
}

Ergebnis pruefen(const QStringList& zeilen, int eigenerTisch, const Sitze& sitze, const std::function<bool(int)>& frei)
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
        const int tisch = e ? sitze.value(schluessel, 0) : 0;
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
