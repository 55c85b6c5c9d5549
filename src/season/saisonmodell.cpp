#include "season/saisonmodell.h"

#include <QBrush>

#include "season/saisonausgabe.h"

SaisonModell::SaisonModell(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void SaisonModell::setzen(const Saison::Tabelle& tabelle, bool unterMindest)
{
    setzen(tabelle, unterMindest ? UnterMindest : Gewertet);
}

void SaisonModell::setzen(const Saison::Tabelle& tabelle, Liste liste)
{
    beginResetModel();
    m_tabelle = tabelle;
    m_liste = liste;
    m_kopf = Saison::kopfTexte(m_tabelle);
    m_fest = Saison::festeSpalten(m_tabelle);
    endResetModel();
}

const QVector<Saison::Spieler>& SaisonModell::liste() const
{
    switch (m_liste) {
    case UnterMindest:
        return m_tabelle.unterMindest;
    case Gaeste:
        return m_tabelle.gaeste;
    case Gewertet:
        break;
    }
    return m_tabelle.gewertet;
}

int SaisonModell::startNr(int zeile) const
{
    return zeile >= 0 && zeile < liste().size() ? liste().at(zeile).startNr : 0;
}

int SaisonModell::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : liste().size();
}

int SaisonModell::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_kopf.size();
}

QVariant SaisonModell::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= liste().size() || index.column() >= m_kopf.size())
        return {};
    const Saison::Spieler& s = liste().at(index.row());
    const int c = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return Saison::zellenText(m_tabelle, s, c, true);
    case Qt::TextAlignmentRole:
        return c == Saison::SpName ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        // A day played that does not count (best N) steps back.
        if (c >= m_fest && s.gespielt.value(c - m_fest) && !s.gewertet.value(c - m_fest))
            return QBrush(Qt::gray);
        return {};
    case Qt::UserRole:
        return c == Saison::SpNr ? QVariant(s.startNr) : QVariant();
    default:
        return {};
    }
}

QVariant SaisonModell::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_kopf.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_kopf.at(section);
    if (role == Qt::TextAlignmentRole)
        return section == Saison::SpName ? int(Qt::AlignLeft | Qt::AlignVCenter)
                                         : int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}
