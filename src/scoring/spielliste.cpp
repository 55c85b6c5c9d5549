#include "scoring/spielliste.h"

#include <QTextStream>

#include <algorithm>
#include <cmath>

#include "scoring/platzierung.h"

namespace Spielliste
{

QVector<Ergebnis> berechnen(int spielerZahl, const QVector<Spiel>& spiele, const Regeln::Regelwerte& r)
{
    if (spielerZahl < 3 || spielerZahl > 4)
        return {};
    QVector<Ergebnis> e(spielerZahl);
    QVector<qint64> summe(spielerZahl, 0);
    int eingepasst = 0;
    for (const Spiel& s : spiele) {
        if (s.eingepasst())
            ++eingepasst;
        if (!spielGueltig(s, spielerZahl) || s.eingepasst())
            continue;
        if (s.gewonnen) {
            summe[s.spieler] += s.wert;
            ++e[s.spieler].gewonnen;
        } else {
            summe[s.spieler] -= 2 * qint64(s.wert);
            ++e[s.spieler].verloren;
        }
    }
    const int gegen = spielerZahl == 3 ? r.punkteGegen3er : r.punkteGegen4er;
    int alleVerloren = 0;
    for (const Ergebnis& x : e)
        alleVerloren += x.verloren;
    for (int i = 0; i < spielerZahl; ++i) {
        Ergebnis& x = e[i];
        const qint64 p
            = summe[i] + qint64(x.gewonnen - x.verloren) * r.punkteGewVerl + qint64(alleVerloren - x.verloren) * gegen;
        x.punkte = int(std::clamp<qint64>(p, -1000000000, 1000000000));
    }
    QVector<qint64> punkte;
    for (const Ergebnis& x : e)
        punkte << x.punkte;
    const QVector<int> platz = Platzierung::plaetze(punkte);
    for (int i = 0; i < spielerZahl; ++i) {
        Ergebnis& x = e[i];
        x.platz = platz.at(i);
        const int ersteFuenf = std::min(x.verloren, std::max(0, r.verlorenBis));
        const double k = r.kartengeld + r.platz[x.platz - 1] + ersteFuenf * r.verloren1bis5
            + (x.verloren - ersteFuenf) * r.verlorenAb6 + eingepasst * r.passGeld;
        x.kosten = std::round(k * 100.0) / 100.0;
    }
    return e;
}

const QVector<int>& spielwerte()
{
    static const QVector<int> werte = [] {
        QVector<int> w;
        for (const int grund : { 9, 10, 11, 12 })
            for (int m = 2; m <= 18; ++m)
                w << grund * m;
        for (int m = 2; m <= 11; ++m)
            w << 24 * m;
        w << 23 << 35 << 46 << 59;
        std::sort(w.begin(), w.end());
        w.erase(std::unique(w.begin(), w.end()), w.end());
        return w;
    }();
    return werte;
}

bool wertMoeglich(int wert)
{
    const QVector<int>& w = spielwerte();
    return std::binary_search(w.cbegin(), w.cend(), wert);
}

bool spielGueltig(const Spiel& s, int spielerZahl)
{
    if (s.eingepasst())
        return s.spieler == -1 && s.wert == 0;
    return s.spieler < spielerZahl && wertMoeglich(s.wert);
}

QString alsText(
    const QString& kopf, const QStringList& namen, const QVector<Spiel>& spiele, const QVector<Ergebnis>& ergebnisse)
{
    QString text;
    QTextStream os(&text);
    os << kopf << '\n';
    for (int i = 0; i < namen.size(); ++i)
        os << "Spieler " << (i + 1) << ": " << namen.at(i) << '\n';
    os << '\n';
    int nr = 0;
    for (const Spiel& s : spiele) {
        os << qSetFieldWidth(3) << Qt::right << ++nr << qSetFieldWidth(0) << "  ";
        if (s.eingepasst() || s.spieler >= namen.size())
            os << "eingepasst";
        else
            os << namen.at(s.spieler) << ' ' << (s.gewonnen ? "gewonnen " : "verloren ") << s.wert;
        os << '\n';
    }
    os << '\n';
    for (int i = 0; i < namen.size() && i < ergebnisse.size(); ++i) {
        const Ergebnis& e = ergebnisse.at(i);
        os << namen.at(i) << ": Punkte " << e.punkte << ", Kosten " << QString::number(e.kosten, 'f', 2)
           << ", gewonnen " << e.gewonnen << ", verloren " << e.verloren << ", Platz " << e.platz << '\n';
    }
    return text;
}

} // namespace Spielliste
