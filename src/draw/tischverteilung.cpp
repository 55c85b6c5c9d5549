#include "draw/tischverteilung.h"

static Tischaufteilung rechnen(int n)
{
    Tischaufteilung a;
    if (n <= 0)
        return a;
    if (n % 4 == 0) {
        a.vierer = n / 4;
        return a;
    }
    int m = n;
    do {
        m -= 3;
        ++a.dreier;
    } while (m % 4 > 0);
    a.vierer = m > 0 ? m / 4 : 0;
    return a;
}

Tischaufteilung tischaufteilung(int spieler)
{
    if (spieler < 3)
        return {};
    return rechnen(spieler);
}

Tischaufteilung tischaufteilungOhneGrenze(int spieler)
{
    return rechnen(spieler);
}

TischLayout tischLayoutBerechnen(int ersterTisch, const Tischaufteilung& a)
{
    TischLayout layout;
    int t = ersterTisch;
    for (int i = 0; i < a.vierer; ++i)
        layout.insert(t++, 4);
    for (int i = 0; i < a.dreier; ++i)
        layout.insert(t++, 3);
    return layout;
}

Sitzplan leererSitzplan(const TischLayout& layout)
{
    Sitzplan plan;
    for (auto it = layout.cbegin(); it != layout.cend(); ++it)
        plan.insert(it.key(), QVector<Sitz>(it.value()));
    return plan;
}

bool platzBelegen(Sitzplan& plan, int tisch, int startNr)
{
    auto it = plan.find(tisch);
    if (it == plan.end())
        return false;
    for (Sitz& sitz : *it) {
        if (sitz.startNr == 0) {
            sitz.startNr = startNr;
            return true;
        }
    }
    return false;
}

QVector<int> behaltenEintragen(Sitzplan& plan, const QVector<Zuweisung>& behalten)
{
    // Stated seats first, so a participant without one cannot take the seat
    // of someone who comes later in the list.
    QVector<Zuweisung> ohneSitz;
    for (const Zuweisung& z : behalten) {
        auto it = plan.find(z.tisch);
        if (it != plan.end() && z.sitz >= 1 && z.sitz <= it->size() && (*it)[z.sitz - 1].startNr == 0)
            (*it)[z.sitz - 1] = Sitz { z.startNr, z.sitz };
        else
            ohneSitz << z;
    }
    QVector<int> ohnePlatz;
    for (const Zuweisung& z : ohneSitz)
        if (!platzBelegen(plan, z.tisch, z.startNr))
            ohnePlatz << z.startNr;
    positionenSetzen(plan);
    return ohnePlatz;
}

void positionenSetzen(Sitzplan& plan)
{
    for (auto it = plan.begin(); it != plan.end(); ++it)
        for (int i = 0; i < it->size(); ++i)
            if ((*it)[i].startNr != 0)
                (*it)[i].position = i + 1;
}

QVector<int> besetzen(Sitzplan& plan, const QVector<int>& reihenfolge)
{
    QVector<int> ohnePlatz;
    auto tisch = plan.begin();
    int sitz = 0;
    for (int startNr : reihenfolge) {
        // Seats before the cursor are all taken, so the scan never restarts.
        bool gesetzt = false;
        while (tisch != plan.end() && !gesetzt) {
            if (sitz >= tisch->size()) {
                ++tisch;
                sitz = 0;
                continue;
            }
            Sitz& s = (*tisch)[sitz++];
            if (s.startNr == 0) {
                s.startNr = startNr;
                s.position = sitz;
                gesetzt = true;
            }
        }
        if (!gesetzt)
            ohnePlatz << startNr;
    }
    return ohnePlatz;
}

QVector<Zuweisung> zuweisungen(const Sitzplan& plan)
{
    QVector<Zuweisung> liste;
    for (auto it = plan.cbegin(); it != plan.cend(); ++it)
        for (int i = 0; i < it->size(); ++i)
            if (it->at(i).startNr != 0)
                liste << Zuweisung { it.key(), i + 1, it->at(i).startNr };
    return liste;
}

Sitzplan umnummerieren(const Sitzplan& plan, int ersterTisch)
{
    Sitzplan neu;
    int zaehler = ersterTisch - 1;
    for (auto it = plan.cbegin(); it != plan.cend(); ++it)
        neu.insert(++zaehler, it.value());
    return neu;
}
