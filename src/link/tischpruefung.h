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

// (series, start number) -> table of a group, for every seated participant.
using Sitze = QHash<QPair<int, int>, int>;

// The seats of every series of a group database; empty when it is none.
Sitze sitzeLesen(QSqlDatabase gruppe);

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
Ergebnis pruefen(const QStringList& zeilen, int eigenerTisch, const Sitze& sitze, const std::function<bool(int)>& frei);

} // namespace Tischpruefung
