#include "widgets/treeview.h"

#include <QHeaderView>
#include <QScroller>

#include <algorithm>

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

void TreeView::spaltenEinpassen()
{
    const QAbstractItemModel* m = model();
    if (!m)
        return;
    // Texts of equal length differ little in width; a few of the longest
    // stand for the column.
    constexpr int kandidaten = 8;
    const int zeilen = m->rowCount();
    QVector<QPair<int, int>> laengen; // text length, row
    laengen.reserve(zeilen);
    for (int c = 0; c < m->columnCount(); ++c) {
        if (header()->isSectionHidden(c))
            continue;
        laengen.clear();
        for (int z = 0; z < zeilen; ++z)
            laengen.append({m->index(z, c).data(Qt::DisplayRole).toString().size(), z});
        const int k = std::min(kandidaten, int(laengen.size()));
        std::partial_sort(laengen.begin(), laengen.begin() + k, laengen.end(),
                          [](const QPair<int, int>& a, const QPair<int, int>& b) { return a.first > b.first; });
        int breite = header()->sectionSizeHint(c);
        for (int i = 0; i < k; ++i)
            breite = std::max(breite, sizeHintForIndex(m->index(laengen.at(i).second, c)).width());
        header()->resizeSection(c, breite);
    }
}

void TreeView::spaltenErweitern(const QModelIndex& obenLinks, const QModelIndex& untenRechts)
{
    if (!obenLinks.isValid() || !untenRechts.isValid() || obenLinks.model() != model())
        return;
    for (int c = obenLinks.column(); c <= untenRechts.column(); ++c) {
        int breite = header()->sectionSize(c);
        for (int z = obenLinks.row(); z <= untenRechts.row(); ++z)
            breite = std::max(breite, sizeHintForIndex(model()->index(z, c)).width());
        if (breite > header()->sectionSize(c))
            header()->resizeSection(c, breite);
    }
}
