#include "setup/teilnehmertabelle.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace Zahl
{

int ganz(const QString& text)
{
    bool ok = false;
    const int wert = text.trimmed().toInt(&ok, 10);
    return ok ? wert : 0;
}

double dezimal(const QString& text)
{
    bool ok = false;
    const double wert = text.trimmed().toDouble(&ok);
    return ok ? wert : 0.0;
}

QString euro(double betrag)
{
    return QString::number(betrag, 'f', 1);
}

QString allgemein(double betrag)
{
    return QString::number(betrag, 'g', 6);
}

} // namespace Zahl

TeilnehmerTabelle::TeilnehmerTabelle(TeilnehmerModell* model)
    : QObject(model)
    , m_model(model)
{
}

namespace
{

// A stored cost that is no finite number shows 0.0, as in every sum.
double endlich(double kosten)
{
    return std::isfinite(kosten) ? kosten : 0.0;
}

} // namespace

TeilnehmerModell::Zeile TeilnehmerTabelle::neueZeile(const TeilnehmerZeile& t, int n)
{
    TeilnehmerModell::Zeile zeile;
    zeile.startNr = t.startNr;
    zeile.mitglied = t.mitglied;
    zeile.zellen.resize(Spalte::anzahl(n));
    zeile.zellen[Spalte::Nr].text = QString::number(t.startNr);
    zeile.zellen[Spalte::Name].text = t.name;
    zeile.zellen[Spalte::Preisskat].text = t.preisskat ? tr("Ja") : tr("Nein");
    const QString null = QStringLiteral("0");
    const QString nullEuro = QStringLiteral("0.0");
    for (int s = 1; s <= n; ++s) {
        zeile.zellen[Spalte::punkte(s)].text = null;
        zeile.zellen[Spalte::punkte(s)].gespeichert = null;
        zeile.zellen[Spalte::tisch(s)].text = null;
        zeile.zellen[Spalte::kosten(s)].text = nullEuro;
        zeile.zellen[Spalte::kosten(s)].gespeichert = nullEuro;
    }
    zeile.zellen[Spalte::summePunkte(n)].text = null;
    zeile.zellen[Spalte::summeKosten(n)].text = nullEuro;
    return zeile;
}

int TeilnehmerTabelle::zeileAnhaengen(const TeilnehmerZeile& t, int n)
{
    return m_model->zeileAnhaengen(neueZeile(t, n));
}

ZeilenBau::ZeilenBau(int n)
    : m_n(n)
    , m_muster(TeilnehmerTabelle::neueZeile(TeilnehmerZeile(), n))
{
}

const QString& ZeilenBau::ganz(int wert)
{
    auto it = m_ganz.find(wert);
    if (it == m_ganz.end())
        it = m_ganz.insert(wert, QString::number(wert));
    return *it;
}

const QString& ZeilenBau::euro(double betrag)
{
    // Equal amounts have equal bits (every NaN counts as 0.0 first).
    qint64 bits = 0;
    static_assert(sizeof(bits) == sizeof(betrag), "a cost is keyed by its bits");
    std::memcpy(&bits, &betrag, sizeof(bits));
    auto it = m_euro.find(bits);
    if (it == m_euro.end())
        it = m_euro.insert(bits, Zahl::euro(betrag));
    return *it;
}

void ZeilenBau::zeile(const TeilnehmerZeile& t, int summePunkte, double summeKosten)
{
    TeilnehmerModell::Zeile zeile = m_muster;
    zeile.zellen.detach();
    zeile.startNr = t.startNr;
    zeile.mitglied = t.mitglied;
    zeile.zellen[Spalte::Nr].text = QString::number(t.startNr);
    zeile.zellen[Spalte::Name].text = t.name;
    zeile.zellen[Spalte::Preisskat].text = t.preisskat ? TeilnehmerTabelle::tr("Ja") : TeilnehmerTabelle::tr("Nein");
    zeile.zellen[Spalte::summePunkte(m_n)].text = ganz(summePunkte);
    zeile.zellen[Spalte::summeKosten(m_n)].text = euro(endlich(summeKosten));
    if (!m_index.contains(t.startNr))
        m_index.insert(t.startNr, int(m_zeilen.size()));
    m_zeilen.push_back(std::move(zeile));
}

void ZeilenBau::serie(int zeile, int s, int punkte, int tisch, int sitz, double kosten)
{
    if (zeile < 0 || size_t(zeile) >= m_zeilen.size() || s < 1 || s > m_n)
        return;
    QVector<TeilnehmerModell::Zelle>& z = m_zeilen[size_t(zeile)].zellen;
    TeilnehmerModell::Zelle& p = z[Spalte::punkte(s)];
    p.text = ganz(punkte);
    p.gespeichert = p.text;
    TeilnehmerModell::Zelle& t = z[Spalte::tisch(s)];
    t.text = ganz(tisch);
    t.sitz = sitz;
    TeilnehmerModell::Zelle& k = z[Spalte::kosten(s)];
    k.text = euro(endlich(kosten));
    k.gespeichert = k.text;
}

std::vector<TeilnehmerModell::Zeile> ZeilenBau::abgeben()
{
    m_index.clear();
    return std::exchange(m_zeilen, {});
}
