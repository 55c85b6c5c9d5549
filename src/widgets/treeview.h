#pragma once
// The tree view with the program's look: kinetic scrolling, cyan alternate rows.

#include <QTreeView>

class TreeView : public QTreeView
{
    Q_OBJECT
public:
    explicit TreeView(QWidget* parent = nullptr);

    // Fits the given columns (all when none are given) to their widest cell
    // and their header. Only the longest texts of a column are measured:
    // laying out every cell of a large table costs far more than the whole
    // rest of filling it.
    void spaltenEinpassen(const QList<int>& spalten = {});
    // Widens the column of a cell whose text no longer fits.
    void spalteErweitern(const QModelIndex& zelle);
};
