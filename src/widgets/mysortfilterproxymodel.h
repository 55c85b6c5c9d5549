#pragma once
// The results table's ordering: numbers as numbers, a table's players in seat
// order, and the two name columns from Z to A on an ascending sort.

#include <QSortFilterProxyModel>

class MySortFilterProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit MySortFilterProxyModel(QObject* parent = nullptr);

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};
