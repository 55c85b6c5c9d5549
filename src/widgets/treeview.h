#pragma once
// The tree view with the program's look: kinetic scrolling, cyan alternate rows.

#include <QTreeView>

class TreeView : public QTreeView {
    Q_OBJECT
public:
    explicit TreeView(QWidget* parent = nullptr);

    // Fits every column to its widest cell and its header. Only the longest
    // texts of a column are measured: laying out every cell of a large
    // table costs far more than the whole rest of filling it.
    void spaltenEinpassen();
    // Widens the columns of the given cells where their texts no longer fit.
    void spaltenErweitern(const QModelIndex& obenLinks, const QModelIndex& untenRechts);
};
