#pragma once
// Equal totals share a place: the one rule for every ranking the program
// shows or prints (a table's game list, the results notice, the ranking over
// dates, the table app's standings, the season).

#include <QVector>

#include <algorithm>
#include <functional>
#include <numeric>

namespace Platzierung
{

// The place of every value, by its position in `werte`, in any order:
// `besser(a, b)` says a ranks above b (a strict weak order); values of which
// neither is better share the better place and the next place skips, so
// 100, 80, 80, 50 are places 1, 2, 2, 4.
template<typename T, typename Besser> QVector<int> plaetze(const QVector<T>& werte, Besser besser)
{
    QVector<int> folge(werte.size());
    std::iota(folge.begin(), folge.end(), 0);
    std::stable_sort(folge.begin(), folge.end(), [&](int a, int b) { return besser(werte.at(a), werte.at(b)); });
    QVector<int> platz(werte.size());
    for (int k = 0; k < folge.size(); ++k) {
        const int i = folge.at(k);
        const int vorher = k > 0 ? folge.at(k - 1) : -1;
        platz[i] = vorher >= 0 && !besser(werte.at(vorher), werte.at(i)) ? platz.at(vorher) : k + 1;
    }
    return platz;
}

// Totals: the highest is first.
inline QVector<int> plaetze(const QVector<qint64>& summen)
{
    return plaetze(summen, std::greater<qint64>());
}

} // namespace Platzierung
