#include "setup/teilnehmermodell.h"

#include <algorithm>
#include <numeric>

namespace
{
constexpr int rechts = int(Qt::AlignRight | Qt::AlignVCenter);
// Candidates for a column's widest text: the longest ones, at least this
// many, and none shorter than two thirds of the longest.
constexpr int kandidaten = 32;
} // namespace

TeilnehmerZelle::TeilnehmerZelle(TeilnehmerModell* model, int zeile, int spalte)
    : m_model(model)
    , m_zeile(zeile)
    , m_spalte(spalte)
{
}

TeilnehmerZelle::operator bool() const
{
    return m_model && m_model->gueltig(m_zeile, m_spalte);
}

QModelIndex TeilnehmerZelle::index() const
{
    return *this ? m_model->index(m_zeile, m_spalte) : QModelIndex();
}

QString TeilnehmerZelle::text() const
{
    return *this ? m_model->m_zeilen[size_t(m_zeile)].zellen.at(m_spalte).text : QString();
}

void TeilnehmerZelle::setText(const QString& text) const
{
    if (*this)
        m_model->setData(index(), text, Qt::EditRole);
}

void TeilnehmerZelle::anzeigen(const QString& text) const
{
    if (*this)
        m_model->anzeigen(m_zeile, m_spalte, text);
}

QVariant TeilnehmerZelle::data(int role) const
{
    return *this ? m_model->data(index(), role) : QVariant();
}

void TeilnehmerZelle::setData(const QVariant& wert, int role) const
{
    if (*this)
        m_model->setData(index(), wert, role);
}

Qt::ItemFlags TeilnehmerZelle::flags() const
{
    return *this ? m_model->flags(index()) : Qt::NoItemFlags;
}

bool TeilnehmerZelle::isEditable() const
{
    return *this && m_model->m_zeilen[size_t(m_zeile)].zellen.at(m_spalte).editierbar;
}

void TeilnehmerZelle::setEditable(bool ja) const
{
    if (*this)
        m_model->setEditierbar(m_zeile, m_spalte, ja);
}

QBrush TeilnehmerZelle::background() const
{
    return qvariant_cast<QBrush>(data(Qt::BackgroundRole));
}

void TeilnehmerZelle::setBackground(const QBrush& pinsel) const
{
    setData(pinsel, Qt::BackgroundRole);
}

QBrush TeilnehmerZelle::foreground() const
{
    return qvariant_cast<QBrush>(data(Qt::ForegroundRole));
}

Qt::Alignment TeilnehmerZelle::textAlignment() const
{
    return Qt::Alignment(data(Qt::TextAlignmentRole).toInt());
}

TeilnehmerModell::TeilnehmerModell(QObject* parent)
    : QAbstractTableModel(parent)
    , m_rot(Qt::red)
    , m_gruen(Qt::darkGreen)
    , m_blau(Qt::blue)
{
    connect(this, &QAbstractItemModel::rowsInserted, this, &TeilnehmerModell::indexVeraltet);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &TeilnehmerModell::indexVeraltet);
    connect(this, &QAbstractItemModel::modelReset, this, &TeilnehmerModell::indexVeraltet);
    connect(this, &QAbstractItemModel::layoutChanged, this, &TeilnehmerModell::indexVeraltet);
}

int TeilnehmerModell::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_zeilen.size());
}

int TeilnehmerModell::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_spalten;
}

bool TeilnehmerModell::gueltig(int zeile, int spalte) const
{
    return zeile >= 0 && size_t(zeile) < m_zeilen.size() && spalte >= 0 && spalte < m_spalten;
}

TeilnehmerModell::Sorte TeilnehmerModell::sorte(int spalte) const
{
    if (spalte == Spalte::Nr)
        return Sorte::Nr;
    if (spalte == Spalte::Name)
        return Sorte::Name;
    if (spalte == Spalte::Preisskat)
        return Sorte::Preisskat;
    if (spalte >= Spalte::summePunkte(m_serien))
        return Sorte::Summe;
    switch (spalte % 3) {
    case 0:
        return Sorte::Punkte;
    case 1:
        return Sorte::Tisch;
    default:
        return Sorte::Kosten;
    }
}

QVariant TeilnehmerModell::data(const QModelIndex& index, int role) const
{
    const int z = index.row();
    const int c = index.column();
    if (!index.isValid() || !gueltig(z, c))
        return QVariant();
    const Zeile& zeile = m_zeilen[size_t(z)];
    if (!zeile.weitere.isEmpty()) {
        const auto it = zeile.weitere.constFind(schluessel(c, role));
        if (it != zeile.weitere.constEnd())
            return *it;
    }
    const Zelle& zelle = zeile.zellen.at(c);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return zelle.text;
    case Rolle::Sitz:
        return zelle.sitz == KeinSitz ? QVariant() : QVariant(zelle.sitz);
    case Rolle::Gespeichert:
        return zelle.gespeichert.isNull() ? QVariant() : QVariant(zelle.gespeichert);
    default:
        break;
    }
    const Sorte s = sorte(c);
    switch (s) {
    case Sorte::Nr:
        return role == Rolle::StartNr ? QVariant(zeile.startNr) : QVariant();
    case Sorte::Name:
        if (role == Rolle::StartNr)
            return zeile.startNr;
        return role == Rolle::Mitglied ? QVariant(zeile.mitglied) : QVariant();
    case Sorte::Preisskat:
        return QVariant();
    case Sorte::Summe:
        return role == Qt::TextAlignmentRole ? QVariant(rechts) : QVariant();
    default:
        break;
    }
    switch (role) {
    case Qt::TextAlignmentRole:
        return rechts;
    case Qt::ForegroundRole:
        return s == Sorte::Punkte ? m_rot : s == Sorte::Tisch ? m_gruen : m_blau;
    case Rolle::Serie:
        return c / 3;
    case Rolle::Spalte:
        return c;
    case Rolle::Art:
        return s == Sorte::Punkte ? Art::Punkte : s == Sorte::Tisch ? Art::Tisch : Art::Kosten;
    default:
        return QVariant();
    }
}

bool TeilnehmerModell::setData(const QModelIndex& index, const QVariant& wert, int role)
{
    const int z = index.row();
    const int c = index.column();
    if (!index.isValid() || index.model() != this || !gueltig(z, c))
        return false;
    Zeile& zeile = m_zeilen[size_t(z)];
    Zelle& zelle = zeile.zellen[c];
    if (role == Qt::EditRole || role == Qt::DisplayRole) {
        const QString text = wert.toString();
        // The same text again is no change, as with an item.
        if (zelle.text == text)
            return true;
        zelle.text = text;
        breitePruefen(c, text);
        emit dataChanged(index, index, { Qt::DisplayRole, Qt::EditRole });
        emit eingabe(index);
        return true;
    }
    if (data(index, role) == wert && wert.isValid())
        return true;
    const Sorte s = sorte(c);
    if (role == Rolle::Sitz) {
        zelle.sitz = wert.isValid() ? wert.toInt() : KeinSitz;
    } else if (role == Rolle::Gespeichert) {
        zelle.gespeichert = wert.isValid() ? wert.toString() : QString();
    } else if (role == Rolle::StartNr && (s == Sorte::Nr || s == Sorte::Name)) {
        zeile.startNr = wert.toInt();
        indexVeraltet();
    } else if (role == Rolle::Mitglied && s == Sorte::Name) {
        zeile.mitglied = wert.toBool();
    } else if (wert.isValid()) {
        zeile.weitere.insert(schluessel(c, role), wert);
    } else if (!zeile.weitere.remove(schluessel(c, role))) {
        return true;
    }
    emit dataChanged(index, index, { role });
    return true;
}

Qt::ItemFlags TeilnehmerModell::flags(const QModelIndex& index) const
{
    if (!index.isValid() || !gueltig(index.row(), index.column()))
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    if (m_zeilen[size_t(index.row())].zellen.at(index.column()).editierbar)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant TeilnehmerModell::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_spalten)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_kopf.value(section);
    case Qt::TextAlignmentRole:
        return section > Spalte::Preisskat ? QVariant(rechts) : QVariant();
    case Rolle::KopfSerie:
        return sorte(section) == Sorte::Tisch ? QVariant(section / 3) : QVariant();
    default:
        return QVariant();
    }
}

bool TeilnehmerModell::removeRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || row < 0 || count < 1 || size_t(row) + size_t(count) > m_zeilen.size())
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    m_zeilen.erase(m_zeilen.begin() + row, m_zeilen.begin() + row + count);
    endRemoveRows();
    return true;
}

void TeilnehmerModell::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= m_spalten || m_zeilen.size() < 2)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> folge(m_zeilen.size());
    std::iota(folge.begin(), folge.end(), 0);
    const bool nummer = column == Spalte::Nr || column == Spalte::Name;
    std::vector<double> werte(m_zeilen.size());
    for (size_t z = 0; z < m_zeilen.size(); ++z)
        werte[z] = nummer ? m_zeilen[z].startNr : m_zeilen[z].zellen.at(column).text.toDouble();
    if (order == Qt::AscendingOrder)
        std::stable_sort(folge.begin(), folge.end(), [&](int a, int b) { return werte[size_t(a)] < werte[size_t(b)]; });
    else
        std::stable_sort(folge.begin(), folge.end(), [&](int a, int b) { return werte[size_t(b)] < werte[size_t(a)]; });
    std::vector<Zeile> neu;
    neu.reserve(m_zeilen.size());
    std::vector<int> neueZeile(m_zeilen.size());
    for (size_t i = 0; i < folge.size(); ++i) {
        neueZeile[size_t(folge[i])] = int(i);
        neu.push_back(std::move(m_zeilen[size_t(folge[i])]));
    }
    m_zeilen = std::move(neu);
    const QModelIndexList alt = persistentIndexList();
    QModelIndexList jetzt;
    jetzt.reserve(alt.size());
    for (const QModelIndex& i : alt)
        jetzt << index(neueZeile[size_t(i.row())], i.column());
    changePersistentIndexList(alt, jetzt);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TeilnehmerModell::kopfAufbauen(int n)
{
    if (n < 1 || n > 20)
        return;
    beginResetModel();
    m_zeilen.clear();
    m_serien = n;
    m_spalten = Spalte::anzahl(n);
    m_kopf.clear();
    m_kopf << tr("Nr") << tr("Name") << tr("Preisskat");
    for (int s = 1; s <= n; ++s)
        m_kopf << tr("PktS%1").arg(s) << tr("TischS%1").arg(s) << tr("KostenS%1").arg(s);
    m_kopf << tr("Summe Punkte") << tr("Summe Kosten");
    m_breiten.fill(0, m_spalten);
    endResetModel();
}

void TeilnehmerModell::zeilenSetzen(std::vector<Zeile> zeilen)
{
    beginResetModel();
    for (Zeile& z : zeilen)
        if (z.zellen.size() != m_spalten)
            z.zellen.resize(m_spalten);
    m_zeilen = std::move(zeilen);
    breitenBerechnen();
    endResetModel();
}

int TeilnehmerModell::zeileAnhaengen(Zeile zeile)
{
    if (zeile.zellen.size() != m_spalten)
        zeile.zellen.resize(m_spalten);
    const int z = int(m_zeilen.size());
    beginInsertRows(QModelIndex(), z, z);
    m_zeilen.push_back(std::move(zeile));
    endInsertRows();
    for (int c = 0; c < m_spalten; ++c)
        breitePruefen(c, m_zeilen.back().zellen.at(c).text);
    return z;
}

int TeilnehmerModell::startNr(int zeile) const
{
    return zeile >= 0 && size_t(zeile) < m_zeilen.size() ? m_zeilen[size_t(zeile)].startNr : 0;
}

int TeilnehmerModell::zeileVon(int startNr) const
{
    if (!m_indexGueltig) {
        m_index.clear();
        m_index.reserve(int(m_zeilen.size()));
        for (int z = int(m_zeilen.size()) - 1; z >= 0; --z) // the first row of a number wins
            m_index.insert(m_zeilen[size_t(z)].startNr, z);
        m_indexGueltig = true;
    }
    return m_index.value(startNr, -1);
}

void TeilnehmerModell::anzeigen(int zeile, int spalte, const QString& text, bool alsGespeichert)
{
    anzeigen(zeile, { Anzeige { spalte, text, alsGespeichert } });
}

void TeilnehmerModell::anzeigen(int zeile, const QVector<Anzeige>& texte)
{
    int links = m_spalten;
    int rechtsAussen = -1;
    QVector<int> rollen;
    for (const Anzeige& a : texte) {
        if (!gueltig(zeile, a.spalte))
            continue;
        Zelle& zelle = zelleIn(zeile, a.spalte);
        bool geaendert = false;
        if (zelle.text != a.text) {
            zelle.text = a.text;
            breitePruefen(a.spalte, a.text);
            geaendert = true;
            if (!rollen.contains(Qt::DisplayRole))
                rollen << Qt::DisplayRole << Qt::EditRole;
        }
        if (a.alsGespeichert && (zelle.gespeichert != a.text || zelle.gespeichert.isNull())) {
            zelle.gespeichert = a.text.isNull() ? QStringLiteral("") : a.text;
            geaendert = true;
            if (!rollen.contains(Rolle::Gespeichert))
                rollen << Rolle::Gespeichert;
        }
        if (geaendert) {
            links = std::min(links, a.spalte);
            rechtsAussen = std::max(rechtsAussen, a.spalte);
        }
    }
    if (rechtsAussen >= 0)
        emit dataChanged(index(zeile, links), index(zeile, rechtsAussen), rollen);
}

void TeilnehmerModell::sitzeZeigen(int spalte, const QVector<Sitzanzeige>& sitze)
{
    int oben = rowCount();
    int unten = -1;
    QHash<int, QString> texte;
    for (const Sitzanzeige& s : sitze) {
        if (!gueltig(s.zeile, spalte))
            continue;
        Zelle& zelle = zelleIn(s.zeile, spalte);
        auto text = texte.find(s.tisch);
        if (text == texte.end())
            text = texte.insert(s.tisch, QString::number(s.tisch));
        if (zelle.text == *text && zelle.sitz == s.sitz)
            continue;
        zelle.text = *text;
        zelle.sitz = s.sitz;
        breitePruefen(spalte, zelle.text);
        oben = std::min(oben, s.zeile);
        unten = std::max(unten, s.zeile);
    }
    if (unten >= 0)
        emit dataChanged(index(oben, spalte), index(unten, spalte), { Qt::DisplayRole, Qt::EditRole, Rolle::Sitz });
}

void TeilnehmerModell::setEditierbar(int zeile, int spalte, bool ja)
{
    // Only an editor asks for it, when it opens; no view shows it.
    if (gueltig(zeile, spalte))
        zelleIn(zeile, spalte).editierbar = ja;
}

void TeilnehmerModell::setSchrift(const QFont& schrift)
{
    if (m_schrift && schrift == m_font)
        return;
    m_font = schrift;
    m_schrift = std::make_unique<QFontMetrics>(schrift);
    m_gemessen.clear();
    breitenBerechnen();
}

int TeilnehmerModell::messen(const QString& text) const
{
    if (!m_schrift)
        return 0;
    auto it = m_gemessen.constFind(text);
    if (it != m_gemessen.constEnd())
        return *it;
    if (m_gemessen.size() > 4096)
        m_gemessen.clear();
    return *m_gemessen.insert(text, m_schrift->horizontalAdvance(text));
}

void TeilnehmerModell::breitePruefen(int spalte, const QString& text)
{
    if (!m_schrift || spalte < 0 || spalte >= m_breiten.size())
        return;
    const int breite = messen(text);
    if (breite > m_breiten.at(spalte)) {
        m_breiten[spalte] = breite;
        emit textBreiter(spalte, breite);
    }
}

void TeilnehmerModell::breitenBerechnen()
{
    m_breiten.fill(0, m_spalten);
    if (!m_schrift || m_zeilen.empty())
        return;
    // Measuring every cell in the font would cost more than filling the
    // table: only the longest texts of a column are measured. Numbers have
    // equally wide digits; for names, the longest third of the lengths is
    // a safe field.
    QVector<int> laengen;
    QVector<QString> auswahl;
    QVector<const QChar*> gesehen;
    for (int c = 0; c < m_spalten; ++c) {
        laengen.fill(0, 1);
        for (const Zeile& z : m_zeilen) {
            const int l = z.zellen.at(c).text.size();
            if (l >= laengen.size())
                laengen.resize(l + 1);
            ++laengen[l];
        }
        const int laengste = laengen.size() - 1;
        int ab = laengste;
        for (int anzahl = laengen.at(ab); ab > 0 && anzahl < kandidaten && 3 * (ab - 1) >= 2 * laengste;)
            anzahl += laengen.at(--ab);
        // Equal texts of a loaded column share one string: telling them
        // apart by their data is enough (a repeat measured again costs one
        // look-up of the measured texts).
        auswahl.clear();
        gesehen.clear();
        for (const Zeile& z : m_zeilen) {
            const QString& t = z.zellen.at(c).text;
            if (t.size() < ab || auswahl.size() >= 2 * kandidaten || gesehen.contains(t.constData()))
                continue;
            gesehen << t.constData();
            auswahl << t;
        }
        int breite = 0;
        for (const QString& t : qAsConst(auswahl))
            breite = std::max(breite, messen(t));
        m_breiten[c] = breite;
    }
}
