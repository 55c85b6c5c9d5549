#pragma once
// One list of the season standings (the ranked players or those below the
// minimum) for a view, read straight from the computed table: a season of
// five years has sixteen thousand cells, too many for an item each.

#include <QAbstractTableModel>
#include <QStringList>

#include "season/saison.h"

class SaisonModell : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit SaisonModell(QObject* parent = nullptr);

    enum Liste { Gewertet, UnterMindest, Gaeste };
    // Shows the ranked players, or those below the minimum.
    void setzen(const Saison::Tabelle& tabelle, bool unterMindest);
    void setzen(const Saison::Tabelle& tabelle, Liste liste);
    // The start number of a row (also Qt::UserRole of the "Nr" column).
    int startNr(int zeile) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const QVector<Saison::Spieler>& liste() const;

    Saison::Tabelle m_tabelle;
    Liste m_liste = Gewertet;
    QStringList m_kopf;
    int m_fest = 0;
};
