#include "widgets/mysortfilterproxymodel.h"

MySortFilterProxyModel::MySortFilterProxyModel(QObject* parent)
    : QSortFilterProxyModel(parent)
{
}

bool MySortFilterProxyModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    if (!left.isValid() || !right.isValid())
        return false;
    const QString l = left.data(Qt::DisplayRole).toString();
    const QString r = right.data(Qt::DisplayRole).toString();
    if ((left.column() == 1 && right.column() == 1) || (left.column() == 2 && right.column() == 2))
        return QString::localeAwareCompare(l, r) > 0;
    if (l != r)
        return l.toDouble() < r.toDouble();
    const int sitzL = left.data(Qt::UserRole + 4).toInt();
    const int sitzR = right.data(Qt::UserRole + 4).toInt();
    if (sitzL != 0 && sitzR != 0)
        return sitzL < sitzR;
    return false;
}
