#include "draw/faireauslosung.h"

#include <QSet>

#include <algorithm>
#include <limits>
#include <vector>

#include "draw/auslosung.h"

namespace FaireAuslosung
{

namespace
{

// A pair to keep apart outweighs every repeat weight a table can gather.
constexpr qint64 gewichtGetrennt = 1000000;
// The work one draw may do, counted in candidate swaps looked at plus a
// share for each step: 1,000 players settle in a few hundred thousand, and a
// draw where no seating avoids every repeat still ends within a blink.
constexpr qint64 arbeitsGrenze = 2000000;
constexpr qint64 arbeitJeSchritt = 50;

// One seat the draw fills: its table (key of the plan) and index there.
struct Platz {
    int tisch = 0;
    int sitz = 0;
};

// Local search over the seats to fill: swaps players between tables, always
// taking the best swap that is not forbidden for a while (so it leaves a
// valley instead of circling in it), now and then a random one, and starts
// afresh when it has not got better for long.
class Suche
{
public:
    Suche(const QVector<int>& beweglich, const QVector<int>& platzTisch, const QVector<QVector<int>>& fest,
        const Vorgeschichte& v, const QVector<Paar>& getrennt, Zufall& zufall)
        : m_zufall(zufall)
    {
        m_m = beweglich.size();
        m_tische = fest.size();
        QHash<int, int> index;
        int festeZahl = 0;
        for (const QVector<int>& f : fest)
            festeZahl += f.size();
        index.reserve(m_m + festeZahl);
        m_startNr.reserve(size_t(m_m + festeZahl));
        for (int i = 0; i < m_m; ++i) {
            index.insert(beweglich[i], i);
            m_startNr.push_back(beweglich[i]);
        }
        m_mitglieder.resize(m_tische);
        for (int t = 0; t < m_tische; ++t)
            for (int nr : fest[t]) {
                const int i = int(m_startNr.size());
                index.insert(nr, i);
                m_startNr.push_back(nr);
                m_mitglieder[t].push_back(i);
            }
        m_n = int(m_startNr.size());
        m_tischVon.assign(m_n, -1);
        for (int t = 0; t < m_tische; ++t)
            for (int i : m_mitglieder[t])
                m_tischVon[i] = t;

        // Per player the summed weight to each other player, by index and
        // sorted so nothing depends on hash order. Each player's list is
        // sorted on its own: a thousand short sorts instead of one of every
        // pair of the day.
        struct Kante {
            int a, b;
            qint64 w;
        };
        std::vector<Kante> kanten;
        const QHash<quint64, int>& alle = v.alle();
        kanten.reserve(size_t(alle.size() + getrennt.size()));
        for (auto it = alle.cbegin(); it != alle.cend(); ++it) {
            const auto a = index.constFind(int(qint32(quint32(it.key() >> 32))));
            const auto b = index.constFind(int(qint32(quint32(it.key()))));
            if (a != index.constEnd() && b != index.constEnd() && it.value() > 0)
                kanten.push_back({ *a, *b, it.value() });
        }
        for (const Paar& p : getrennt) {
            const auto a = index.constFind(p.first);
            const auto b = index.constFind(p.second);
            if (a != index.constEnd() && b != index.constEnd() && *a != *b)
                kanten.push_back({ *a, *b, gewichtGetrennt });
        }
        std::vector<int> grad(size_t(m_n), 0);
        for (const Kante& k : kanten) {
            ++grad[size_t(k.a)];
            ++grad[size_t(k.b)];
        }
        m_nachbarn.resize(m_n);
        for (int i = 0; i < m_n; ++i)
            m_nachbarn[i].reserve(size_t(grad[size_t(i)]));
        for (const Kante& k : kanten) {
            m_nachbarn[k.a].push_back({ k.b, k.w });
            m_nachbarn[k.b].push_back({ k.a, k.w });
        }
        for (auto& liste : m_nachbarn) {
            std::sort(liste.begin(), liste.end());
            size_t n = 0;
            for (size_t i = 0; i < liste.size(); ++i) {
                if (n > 0 && liste[n - 1].first == liste[i].first)
                    liste[n - 1].second += liste[i].second;
                else
                    liste[n++] = liste[i];
            }
            liste.resize(n);
        }

        m_platzTisch = std::vector<int>(platzTisch.cbegin(), platzTisch.cend());
        for (int k = 0; k < m_m; ++k) {
            const int t = m_platzTisch[k];
            m_mitglieder[t].push_back(k);
            m_tischVon[k] = t;
        }
        m_belegung.resize(m_m);
        for (int k = 0; k < m_m; ++k)
            m_belegung[k] = k; // slot k holds the k-th of the shuffled players
        m_platzVon = m_belegung;

        // What fixed players cost each other no draw can change.
        for (int t = 0; t < m_tische; ++t)
            for (size_t i = 0; i < m_mitglieder[t].size(); ++i)
                for (size_t j = i + 1; j < m_mitglieder[t].size(); ++j)
                    if (m_mitglieder[t][i] >= m_m && m_mitglieder[t][j] >= m_m)
                        m_untergrenze += w(m_mitglieder[t][i], m_mitglieder[t][j]);
        m_wp.assign(m_n, 0);
        m_ca.assign(m_n, 0);
        m_verlassen.assign(m_n, -1);
        m_tabuBis.assign(m_n, -1);
        kostenNeu();
    }

    // The players of the slots, slot by slot, at the best state found.
    std::vector<int> loesen()
    {
        std::vector<int> beste = m_belegung;
        qint64 besteKosten = m_gesamt;
        const int stillstandGrenze = std::max(60, 4 * m_m);
        int stillstand = 0;
        qint64 arbeit = 0;
        std::vector<int> konflikt;
        for (int schritt = 0; besteKosten > m_untergrenze && arbeit < arbeitsGrenze; ++schritt) {
            konflikt.clear();
            for (int p = 0; p < m_m; ++p)
                if (m_kosten[p] > 0)
                    konflikt.push_back(p);
            arbeit += m_m + arbeitJeSchritt;
            if (konflikt.empty())
                break;
            const int p = konflikt[m_zufall.unter(int(konflikt.size()))];
            const int ziel = schrittWaehlen(p, schritt, besteKosten, arbeit);
            if (ziel >= 0)
                tauschen(p, m_belegung[ziel], schritt);
            if (m_gesamt < besteKosten) {
                besteKosten = m_gesamt;
                beste = m_belegung;
                stillstand = 0;
            } else if (++stillstand > stillstandGrenze) {
                neuMischen();
                arbeit += m_n;
                stillstand = 0;
                if (m_gesamt < besteKosten) {
                    besteKosten = m_gesamt;
                    beste = m_belegung;
                }
            }
        }
        return beste;
    }

private:
    qint64 w(int a, int b) const
    {
        const auto& liste = m_nachbarn[a];
        const auto it = std::lower_bound(liste.begin(), liste.end(), std::make_pair(b, qint64(0)),
            [](const std::pair<int, qint64>& x, const std::pair<int, qint64>& y) { return x.first < y.first; });
        return it != liste.end() && it->first == b ? it->second : 0;
    }

    void kostenNeu()
    {
        m_kosten.assign(m_n, 0);
        m_gesamt = 0;
        for (int t = 0; t < m_tische; ++t) {
            const auto& mit = m_mitglieder[t];
            for (size_t i = 0; i < mit.size(); ++i)
                for (size_t j = i + 1; j < mit.size(); ++j) {
                    const qint64 g = w(mit[i], mit[j]);
                    m_kosten[mit[i]] += g;
                    m_kosten[mit[j]] += g;
                    m_gesamt += g;
                }
        }
    }

    // The slot whose player p swaps with, or -1 when p cannot move.
    int schrittWaehlen(int p, int schritt, qint64 besteKosten, qint64& arbeit)
    {
        const int a = m_tischVon[p];
        if (m_zufall.unter(20) == 0) {
            const int k = m_zufall.unter(m_m);
            if (m_platzTisch[k] != a)
                return k;
        }
        for (const auto& [y, g] : m_nachbarn[p])
            m_wp[y] = g;
        for (int x : m_mitglieder[a])
            if (x != p)
                for (const auto& [y, g] : m_nachbarn[x])
                    m_ca[y] += g;
        qint64 bester = std::numeric_limits<qint64>::max();
        int wahl = -1;
        int gleich = 0;
        for (int b = 0; b < m_tische; ++b) {
            if (b == a)
                continue;
            const auto& mit = m_mitglieder[b];
            qint64 pb = 0;
            for (int x : mit)
                pb += m_wp[x];
            for (int q : mit) {
                if (q >= m_m)
                    continue;
                const qint64 delta = pb - m_wp[q] + m_ca[q] - m_kosten[p] - m_kosten[q];
                const bool tabu = (m_verlassen[q] == a && m_tabuBis[q] > schritt)
                    || (m_verlassen[p] == b && m_tabuBis[p] > schritt);
                if (tabu && m_gesamt + delta >= besteKosten)
                    continue;
                if (delta < bester) {
                    bester = delta;
                    wahl = m_platzVon[q];
                    gleich = 1;
                } else if (delta == bester && m_zufall.unter(++gleich) == 0) {
                    wahl = m_platzVon[q];
                }
            }
            arbeit += qint64(mit.size()) + 1;
        }
        for (const auto& [y, g] : m_nachbarn[p])
            m_wp[y] = 0;
        for (int x : m_mitglieder[a])
            if (x != p)
                for (const auto& [y, g] : m_nachbarn[x])
                    m_ca[y] = 0;
        return wahl;
    }

    void tauschen(int p, int q, int schritt)
    {
        const int a = m_tischVon[p];
        const int b = m_tischVon[q];
        const qint64 vorher = m_kosten[p] + m_kosten[q];
        qint64 kp = 0, kq = 0;
        for (int x : m_mitglieder[a])
            if (x != p) {
                const qint64 wq = w(x, q);
                m_kosten[x] += wq - w(x, p);
                kq += wq;
            }
        for (int x : m_mitglieder[b])
            if (x != q) {
                const qint64 wp = w(x, p);
                m_kosten[x] += wp - w(x, q);
                kp += wp;
            }
        m_kosten[p] = kp;
        m_kosten[q] = kq;
        m_gesamt += kp + kq - vorher;
        std::replace(m_mitglieder[a].begin(), m_mitglieder[a].end(), p, q);
        std::replace(m_mitglieder[b].begin(), m_mitglieder[b].end(), q, p);
        std::swap(m_platzVon[p], m_platzVon[q]);
        m_belegung[m_platzVon[p]] = p;
        m_belegung[m_platzVon[q]] = q;
        m_tischVon[p] = b;
        m_tischVon[q] = a;
        const int dauer = 2 + m_zufall.unter(std::min(m_tische, 8));
        m_verlassen[p] = a;
        m_tabuBis[p] = schritt + dauer;
        m_verlassen[q] = b;
        m_tabuBis[q] = schritt + dauer;
    }

    void neuMischen()
    {
        for (int k = m_m - 1; k > 0; --k)
            std::swap(m_belegung[k], m_belegung[m_zufall.unter(k + 1)]);
        for (int k = 0; k < m_m; ++k) {
            const int p = m_belegung[k];
            m_platzVon[p] = k;
            m_tischVon[p] = m_platzTisch[k];
        }
        for (int t = 0; t < m_tische; ++t)
            for (int& x : m_mitglieder[t])
                if (x < m_m)
                    x = -1;
        for (int k = 0; k < m_m; ++k) {
            auto& mit = m_mitglieder[m_platzTisch[k]];
            *std::find(mit.begin(), mit.end(), -1) = m_belegung[k];
        }
        m_verlassen.assign(m_n, -1);
        m_tabuBis.assign(m_n, -1);
        kostenNeu();
    }

    Zufall& m_zufall;
    int m_m = 0; // players to seat: indices 0 .. m-1
    int m_n = 0; // with the fixed players of the tables concerned
    int m_tische = 0;
    std::vector<int> m_startNr;
    std::vector<int> m_tischVon;
    std::vector<std::vector<int>> m_mitglieder;
    std::vector<std::vector<std::pair<int, qint64>>> m_nachbarn;
    std::vector<int> m_platzTisch; // slot -> table
    std::vector<int> m_belegung; // slot -> player
    std::vector<int> m_platzVon; // player -> slot
    std::vector<qint64> m_kosten; // per player, with his table-mates
    qint64 m_gesamt = 0; // per pair
    qint64 m_untergrenze = 0;
    std::vector<qint64> m_wp, m_ca; // scratch, zero between steps
    std::vector<int> m_verlassen, m_tabuBis;
};

} // namespace

Paar paar(int a, int b)
{
    return a < b ? Paar { a, b } : Paar { b, a };
}

quint64 Vorgeschichte::schluessel(int a, int b)
{
    const Paar p = paar(a, b);
    return (quint64(quint32(p.first)) << 32) | quint32(p.second);
}

void Vorgeschichte::rundeHinzufuegen(const Runde& runde, int gewicht)
{
    for (const QVector<int>& tisch : runde)
        for (int i = 0; i < tisch.size(); ++i)
            for (int j = i + 1; j < tisch.size(); ++j)
                if (tisch[i] != tisch[j] && tisch[i] != 0 && tisch[j] != 0)
                    m_gewicht[schluessel(tisch[i], tisch[j])] += gewicht;
}

int Zufall::unter(int n)
{
    if (n <= 1)
        return 0;
    // 2^64 mod n: the values below it would favour the small remainders.
    const quint64 schwelle = (0 - quint64(n)) % quint64(n);
    quint64 x = m_mt();
    while (x < schwelle)
        x = m_mt();
    return int(x % quint64(n));
}

Runde runde(const Sitzplan& plan)
{
    Runde r;
    for (auto it = plan.cbegin(); it != plan.cend(); ++it) {
        QVector<int> tisch;
        for (const Sitz& s : it.value())
            if (s.startNr != 0)
                tisch << s.startNr;
        r << tisch;
    }
    return r;
}

Guete bewerten(const Sitzplan& plan, const Vorgeschichte& vorgeschichte, const QVector<Paar>& getrennt)
{
    QSet<quint64> auseinander;
    for (const Paar& p : getrennt)
        auseinander.insert(Vorgeschichte::schluessel(p.first, p.second));
    Guete g;
    for (const QVector<int>& tisch : runde(plan))
        for (int i = 0; i < tisch.size(); ++i)
            for (int j = i + 1; j < tisch.size(); ++j) {
                if (vorgeschichte.gewicht(tisch[i], tisch[j]) > 0)
                    ++g.wiederholungen;
                if (auseinander.contains(Vorgeschichte::schluessel(tisch[i], tisch[j])))
                    g.nichtGetrennt << paar(tisch[i], tisch[j]);
            }
    std::sort(g.nichtGetrennt.begin(), g.nichtGetrennt.end());
    g.nichtGetrennt.erase(std::unique(g.nichtGetrennt.begin(), g.nichtGetrennt.end()), g.nichtGetrennt.end());
    return g;
}

Ergebnis auslosen(const Eingabe& e)
{
    Ergebnis r;
    r.plan = e.plan;
    positionenSetzen(r.plan);
    // The order of the rows must not matter, only who takes part.
    QVector<int> spieler = e.spieler;
    std::sort(spieler.begin(), spieler.end());
    spieler.erase(std::unique(spieler.begin(), spieler.end()), spieler.end());
    spieler.removeAll(0);
    Zufall zufall(e.losnummer);

    if (!e.ausgleich) {
        const QVector<int> folge = Auslosung::zufall(spieler, [&zufall] { return quint32(zufall.naechste() >> 32); });
        r.ohnePlatz = besetzen(r.plan, folge);
        r.guete = bewerten(r.plan, e.vorgeschichte, e.getrennt);
        return r;
    }

    for (int i = spieler.size() - 1; i > 0; --i)
        std::swap(spieler[i], spieler[zufall.unter(i + 1)]);
    QVector<Platz> plaetze;
    QVector<int> tischIndex; // slot -> index of its table among the tables with slots
    QVector<QVector<int>> fest; // per such table: those who keep their seat there
    for (auto it = r.plan.cbegin(); it != r.plan.cend() && plaetze.size() < spieler.size(); ++it) {
        bool offen = false;
        for (int i = 0; i < it->size() && plaetze.size() < spieler.size(); ++i) {
            if (it->at(i).startNr != 0)
                continue;
            if (!offen) {
                offen = true;
                fest.append(QVector<int>());
            }
            plaetze << Platz { it.key(), i };
            tischIndex << fest.size() - 1;
        }
        if (offen)
            for (const Sitz& s : it.value())
                if (s.startNr != 0)
                    fest.last() << s.startNr;
    }
    const int m = plaetze.size();
    r.ohnePlatz = spieler.mid(m);
    spieler.resize(m);

    std::vector<int> belegung(size_t(m), 0);
    for (int k = 0; k < m; ++k)
        belegung[size_t(k)] = k;
    if (fest.size() > 1) {
        Suche suche(spieler, tischIndex, fest, e.vorgeschichte, e.getrennt, zufall);
        belegung = suche.loesen();
    }
    for (int k = 0; k < m; ++k)
        r.plan[plaetze[k].tisch][plaetze[k].sitz] = Sitz { spieler[belegung[size_t(k)]], plaetze[k].sitz + 1 };
    r.guete = bewerten(r.plan, e.vorgeschichte, e.getrennt);
    return r;
}

} // namespace FaireAuslosung
