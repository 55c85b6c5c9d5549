#include "widgets/treeview.h"

#include <QScroller>

TreeView::TreeView(QWidget* parent) : QTreeView(parent)
{
    QScroller::grabGesture(viewport(), QScroller::LeftMouseButtonGesture);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    QPalette p = palette();
    p.setBrush(QPalette::All, QPalette::AlternateBase, QBrush(Qt::cyan));
    setPalette(p);
    setAlternatingRowColors(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAllColumnsShowFocus(true);
}
