#include "setup/teilnehmertabelle.h"

#include <QBrush>

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

TeilnehmerTabelle::TeilnehmerTabelle(QStandardItemModel* model)
    : QObject(model)
    , m_model(model)
{
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &TeilnehmerTabelle::indexVeraltet);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &TeilnehmerTabelle::indexVeraltet);
    connect(m_model, &QAbstractItemModel::rowsMoved, this, &TeilnehmerTabelle::indexVeraltet);
    connect(m_model, &QAbstractItemModel::modelReset, this, &TeilnehmerTabelle::indexVeraltet);
    connect(m_model, &QAbstractItemModel::layoutChanged, this, &TeilnehmerTabelle::indexVeraltet);
}

int TeilnehmerTabelle::serien() const
{
    const int spalten = m_model->columnCount();
    return spalten >= Spalte::anzahl(1) ? (spalten - 5) / 3 : 0;
}

void TeilnehmerTabelle::kopfAufbauen(int n)
{
    if (n < 1 || n > 20)
        return;
    m_model->clear();
    m_model->setColumnCount(Spalte::anzahl(n));
    auto kopf = [this](int spalte, const QString& text, bool rechts) {
        auto* item = new QStandardItem(text);
        if (rechts)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_model->setHorizontalHeaderItem(spalte, item);
        return item;
    };
    kopf(Spalte::Nr, tr("Nr"), false);
    kopf(Spalte::Name, tr("Name"), false);
    kopf(Spalte::Preisskat, tr("Preisskat"), false);
    for (int s = 1; s <= n; ++s) {
        kopf(Spalte::punkte(s), tr("PktS%1").arg(s), true);
        kopf(Spalte::tisch(s), tr("TischS%1").arg(s), true)->setData(s, Rolle::KopfSerie);
        kopf(Spalte::kosten(s), tr("KostenS%1").arg(s), true);
    }
    kopf(Spalte::summePunkte(n), tr("Summe Punkte"), true);
    kopf(Spalte::summeKosten(n), tr("Summe Kosten"), true);
    indexVeraltet();
}

void TeilnehmerTabelle::serienZelleEinrichten(QStandardItem* item, int s, int art)
{
    const int spalte = art == Art::Punkte ? Spalte::punkte(s)
        : art == Art::Tisch               ? Spalte::tisch(s)
                                          : Spalte::kosten(s);
    item->setData(s, Rolle::Serie);
    item->setData(spalte, Rolle::Spalte);
    item->setData(art, Rolle::Art);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const Qt::GlobalColor farbe = art == Art::Punkte ? Qt::red : art == Art::Tisch ? Qt::darkGreen : Qt::blue;
    item->setForeground(QBrush(farbe));
    item->setEditable(false);
}

namespace
{

// Number, name and prize-skat flag of a participant's row.
void anfangsZellen(QList<QStandardItem*>& zeile, const TeilnehmerZeile& t)
{
    auto* nr = new QStandardItem(QString::number(t.startNr));
    nr->setData(t.startNr, Rolle::StartNr);
    nr->setEditable(false);
    zeile << nr;
    auto* name = new QStandardItem(t.name);
    name->setData(t.startNr, Rolle::StartNr);
    name->setData(t.mitglied, Rolle::Mitglied);
    name->setEditable(false);
    zeile << name;
    auto* preisskat = new QStandardItem(t.preisskat ? TeilnehmerTabelle::tr("Ja") : TeilnehmerTabelle::tr("Nein"));
    preisskat->setEditable(false);
    zeile << preisskat;
}

// A stored cost that is no finite number shows 0.0, as in every sum.
double endlich(double kosten)
{
    return std::isfinite(kosten) ? kosten : 0.0;
}

} // namespace

QList<QStandardItem*> TeilnehmerTabelle::neueZeile(const TeilnehmerZeile& t, int n)
{
    QList<QStandardItem*> zeile;
    zeile.reserve(Spalte::anzahl(n));
    anfangsZellen(zeile, t);
    for (int s = 1; s <= n; ++s) {
        auto* punkte = new QStandardItem(QStringLiteral("0"));
        serienZelleEinrichten(punkte, s, Art::Punkte);
        punkte->setData(punkte->text(), Rolle::Gespeichert);
        auto* tisch = new QStandardItem(QStringLiteral("0"));
        serienZelleEinrichten(tisch, s, Art::Tisch);
        auto* kosten = new QStandardItem(QStringLiteral("0.0"));
        serienZelleEinrichten(kosten, s, Art::Kosten);
        kosten->setData(kosten->text(), Rolle::Gespeichert);
        zeile << punkte << tisch << kosten;
    }
    for (const QString& text : { QStringLiteral("0"), QStringLiteral("0.0") }) {
        auto* summe = new QStandardItem(text);
        summe->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        summe->setEditable(false);
        zeile << summe;
    }
    return zeile;
}

int TeilnehmerTabelle::zeileAnhaengen(const TeilnehmerZeile& t, int n)
{
    m_model->appendRow(neueZeile(t, n));
    return m_model->rowCount() - 1;
}

void TeilnehmerTabelle::zeilenUebernehmen(const QVector<QList<QStandardItem*>>& zeilen)
{
    for (const QList<QStandardItem*>& zeile : zeilen)
        m_model->appendRow(zeile);
    // With the signals blocked the row signals did not reach the index.
    indexVeraltet();
}

int TeilnehmerTabelle::startNr(int zeile) const
{
    const QStandardItem* item = nrItem(zeile);
    return item ? item->data(Rolle::StartNr).toInt() : 0;
}

void TeilnehmerTabelle::indexAufbauen() const
{
    m_index.clear();
    const int zeilen = m_model->rowCount();
    m_index.reserve(zeilen);
    for (int z = zeilen - 1; z >= 0; --z) // the first row of a start number wins
        m_index.insert(startNr(z), QPersistentModelIndex(m_model->index(z, Spalte::Nr)));
    m_indexGueltig = true;
}

int TeilnehmerTabelle::zeileVon(int nr) const
{
    if (!m_indexGueltig)
        indexAufbauen();
    auto it = m_index.constFind(nr);
    if (it == m_index.constEnd())
        return -1;
    if (it->isValid() && startNr(it->row()) == nr)
        return it->row();
    // The entry went stale without a row signal (items replaced in place):
    // rebuild once and look again.
    indexAufbauen();
    it = m_index.constFind(nr);
    return it != m_index.constEnd() && it->isValid() ? it->row() : -1;
}

QStandardItem* TeilnehmerTabelle::summePunkteItem(int zeile) const
{
    return m_model->item(zeile, m_model->columnCount() - 2);
}

QStandardItem* TeilnehmerTabelle::summeKostenItem(int zeile) const
{
    return m_model->item(zeile, m_model->columnCount() - 1);
}

ZeilenBau::ZeilenBau(int n)
    : m_n(n)
{
    const QList<QStandardItem*> muster = TeilnehmerTabelle::neueZeile(TeilnehmerZeile(), n);
    m_neu.reserve(muster.size());
    m_geladen.reserve(muster.size());
    m_ungelost.resize(muster.size());
    for (int spalte = 0; spalte < muster.size(); ++spalte) {
        m_neu.emplace_back(muster.at(spalte));
        // A stored table cell carries its seat; with the role already there,
        // writing it replaces a value instead of growing the cell.
        QStandardItem* geladen = muster.at(spalte)->clone();
        if (geladen->data(Rolle::Art).toInt() == Art::Tisch)
            geladen->setData(0, Rolle::Sitz);
        m_geladen.emplace_back(geladen);
    }
}

ZeilenBau::~ZeilenBau()
{
    qDeleteAll(m_werte);
    for (const QList<QStandardItem*>& zeile : qAsConst(m_zeilen))
        qDeleteAll(zeile);
}

QStandardItem* ZeilenBau::vorlage(int spalte, bool geladen) const
{
    return (geladen ? m_geladen : m_neu).at(size_t(spalte)).get();
}

void ZeilenBau::zeile(const TeilnehmerZeile& t, int summePunkte, double summeKosten)
{
    QList<QStandardItem*> zeile;
    zeile.reserve(Spalte::anzahl(m_n));
    anfangsZellen(zeile, t);
    // The series cells come with their values or, without any, at the end.
    for (int spalte = Spalte::punkte(1); spalte < Spalte::summePunkte(m_n); ++spalte)
        zeile << nullptr;
    auto* punkte = vorlage(Spalte::summePunkte(m_n), false)->clone();
    punkte->setText(QString::number(summePunkte));
    auto* kosten = vorlage(Spalte::summeKosten(m_n), false)->clone();
    kosten->setText(Zahl::euro(endlich(summeKosten)));
    zeile << punkte << kosten;
    if (!m_index.contains(t.startNr))
        m_index.insert(t.startNr, m_zeilen.size());
    m_zeilen << zeile;
}

QStandardItem* ZeilenBau::wertZelle(int spalte, qint64 wert, const std::function<QString()>& text)
{
    QStandardItem*& muster = m_werte[qMakePair(spalte, wert)];
    if (!muster) {
        muster = vorlage(spalte, false)->clone();
        muster->setText(text());
        muster->setData(muster->text(), Rolle::Gespeichert);
    }
    return muster->clone();
}

QStandardItem* ZeilenBau::tischZelle(int spalte, int tisch, int sitz)
{
    auto neu = [&] {
        QStandardItem* zelle = vorlage(spalte, true)->clone();
        zelle->setText(QString::number(tisch));
        zelle->setData(sitz, Rolle::Sitz);
        return zelle;
    };
    // A drawn series gives each seat of a column once; only the table 0 of
    // a series not yet drawn repeats.
    if (tisch != 0 || sitz != 0)
        return neu();
    if (!m_ungelost.at(size_t(spalte)))
        m_ungelost[size_t(spalte)].reset(neu());
    return m_ungelost.at(size_t(spalte))->clone();
}

void ZeilenBau::serie(int zeile, int s, int punkte, int tisch, int sitz, double kosten)
{
    if (zeile < 0 || zeile >= m_zeilen.size() || s < 1 || s > m_n)
        return;
    QList<QStandardItem*>& z = m_zeilen[zeile];
    auto ersetzen = [&z](int spalte, QStandardItem* neu) {
        delete z.at(spalte);
        z[spalte] = neu;
    };
    ersetzen(Spalte::punkte(s), wertZelle(Spalte::punkte(s), punkte, [punkte] { return QString::number(punkte); }));
    ersetzen(Spalte::tisch(s), tischZelle(Spalte::tisch(s), tisch, sitz));
    // Equal amounts have equal bits (every NaN counts as 0.0 first).
    const double betrag = endlich(kosten);
    qint64 bits = 0;
    static_assert(sizeof(bits) == sizeof(betrag), "a cost is keyed by its bits");
    std::memcpy(&bits, &betrag, sizeof(bits));
    ersetzen(Spalte::kosten(s), wertZelle(Spalte::kosten(s), bits, [betrag] { return Zahl::euro(betrag); }));
}

QVector<QList<QStandardItem*>> ZeilenBau::abgeben()
{
    for (QList<QStandardItem*>& zeile : m_zeilen)
        for (int spalte = 0; spalte < zeile.size(); ++spalte)
            if (!zeile.at(spalte))
                zeile[spalte] = vorlage(spalte, false)->clone();
    m_index.clear();
    return std::exchange(m_zeilen, {});
}
