#include "widgets/treeview.h"

#include <QAbstractProxyModel>
#include <QHeaderView>
#include <QScroller>

#include <algorithm>

TreeView::TreeView(QWidget* parent)
    : QTreeView(parent)
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

void TreeView::spaltenEinpassen(const QList<int>& spalten)
{
    if (!model())
        return;
    // The texts are read from the model behind a sorting proxy: the same
    // cells, without mapping each of them.
    const auto* proxy = qobject_cast<const QAbstractProxyModel*>(model());
    const QAbstractItemModel* m = proxy && proxy->sourceModel() ? proxy->sourceModel() : model();
    // Texts of equal length differ little in width; a few of the longest
    // stand for the column.
    constexpr int kandidaten = 8;
    const int zeilen = m->rowCount();
    QVector<QPair<int, int>> laengen; // text length, row
    laengen.reserve(zeilen);
    QList<int> alle = spalten;
    if (alle.isEmpty())
        for (int c = 0; c < model()->columnCount(); ++c)
            alle << c;
    for (const int c : qAsConst(alle)) {
        if (c < 0 || c >= model()->columnCount() || header()->isSectionHidden(c))
            continue;
        laengen.clear();
        for (int z = 0; z < zeilen; ++z)
            laengen.append({ m->index(z, c).data(Qt::DisplayRole).toString().size(), z });
        const int k = std::min(kandidaten, int(laengen.size()));
        std::partial_sort(laengen.begin(), laengen.begin() + k, laengen.end(),
            [](const QPair<int, int>& a, const QPair<int, int>& b) { return a.first > b.first; });
        int breite = header()->sectionSizeHint(c);
        for (int i = 0; i < k; ++i) {
            QModelIndex index = m->index(laengen.at(i).second, c);
            if (m != model())
                index = proxy->mapFromSource(index);
            if (index.isValid())
                breite = std::max(breite, sizeHintForIndex(index).width());
        }
        header()->resizeSection(c, breite);
    }
}

void TreeView::spalteErweitern(const QModelIndex& zelle)
{
    if (!zelle.isValid() || zelle.model() != model())
        return;
    const int breite = sizeHintForIndex(zelle).width();
    if (breite > header()->sectionSize(zelle.column()))
        header()->resizeSection(zelle.column(), breite);
}
