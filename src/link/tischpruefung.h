#pragma once
// Which result lines of a companion are taken: only those for participants
// seated, in the line's series, at the table the companion holds. A
// companion that holds no table (it joined anew, or the program restarted)
// takes the table of its first fitting line, when nobody else holds it.

#include <QHash>
#include <QPair>
#include <QSqlDatabase>
#include <QStringList>

#include <functional>

namespace Tischpruefung
{

// No table carries more: four players and twenty series. Lines beyond this
// many in one message are refused unread.
constexpr int maxZeilen = 1000;

// The table of a participant in a series; 0 when he is not seated there.
using TischVon = std::function<int(int serie, int startNr)>;

// Looks seats up in a group database, each participant and series once;
// finds nobody when the database is no group.
class Sitzsuche
{
public:
    explicit Sitzsuche(QSqlDatabase gruppe);
    int operator()(int serie, int startNr);

private:
    QSqlDatabase m_db;
    int m_serien = 0;
    QHash<int, bool> m_tabelle; // series -> its table exists
    QHash<QPair<int, int>, int> m_gefunden;
};

struct Ergebnis {
    // The lines to store; of several for one participant and series only
    // the last, where the first stood.
    QStringList angenommen;
    int abgelehnt = 0;
    // The companion's table afterwards.
    int tisch = 0;
};

// `eigenerTisch` is the companion's table (0 for none); `frei` tells whether
// no other companion holds a table.
Ergebnis pruefen(
    const QStringList& zeilen, int eigenerTisch, const TischVon& tischVon, const std::function<bool(int)>& frei);

} // namespace Tischpruefung
