#include "draw/auslosung.h"

#include <QSet>

#include <algorithm>
#include <numeric>

namespace Auslosung
{

namespace
{
// A generator that keeps answering with keys already taken must not hang
// the draw; after this many tries the colliding key is kept.
constexpr int NeueVersuche = 64;
} // namespace

QVector<int> zufall(const QVector<int>& startNrs, const std::function<quint32()>& zufallszahl)
{
    QVector<qint32> schluessel;
    schluessel.reserve(startNrs.size());
    QSet<qint32> vergeben;
    vergeben.reserve(startNrs.size());
    for (int i = 0; i < startNrs.size(); ++i) {
        qint32 k = static_cast<qint32>(zufallszahl());
        for (int versuch = 0; vergeben.contains(k) && versuch < NeueVersuche; ++versuch)
            k = static_cast<qint32>(zufallszahl());
        vergeben.insert(k);
        schluessel << k;
    }
    QVector<int> index(startNrs.size());
    std::iota(index.begin(), index.end(), 0);
    std::stable_sort(index.begin(), index.end(), [&](int a, int b) { return schluessel[a] < schluessel[b]; });
    QVector<int> ergebnis;
    ergebnis.reserve(index.size());
    for (int i : index)
        ergebnis << startNrs[i];
    return ergebnis;
}

QVector<int> absteigend(const QVector<int>& startNrs, const QVector<int>& punkte)
{
    const int n = qMin(startNrs.size(), punkte.size());
    QVector<int> index(n);
    std::iota(index.begin(), index.end(), 0);
    std::stable_sort(index.begin(), index.end(), [&](int a, int b) { return punkte[a] > punkte[b]; });
    QVector<int> ergebnis;
    ergebnis.reserve(n);
    for (int i : index)
        ergebnis << startNrs[i];
    return ergebnis;
}

QVector<int> rang(const QVector<int>& startNrs, const QHash<int, int>& summen)
{
    QVector<int> mitSumme;
    QVector<int> punkte;
    for (int nr : startNrs) {
        auto it = summen.constFind(nr);
        if (it == summen.constEnd())
            continue;
        mitSumme << nr;
        punkte << it.value();
    }
    return absteigend(mitSumme, punkte);
}

QVector<int> spieltag(const QVector<int>& startNrs, const QHash<int, int>& punkte)
{
    QVector<int> werte;
    werte.reserve(startNrs.size());
    for (int nr : startNrs)
        werte << punkte.value(nr, 0);
    return absteigend(startNrs, werte);
}

} // namespace Auslosung
