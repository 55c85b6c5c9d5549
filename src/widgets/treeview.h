#pragma once
// The tree view with the program's look: kinetic scrolling, cyan alternate rows.

#include <QTreeView>

class TreeView : public QTreeView {
    Q_OBJECT
public:
    explicit TreeView(QWidget* parent = nullptr);
};
