#include "widgets/treeview.h"

#include <QAbstractProxyModel>
#include <QAccessible>
#include <QFontMetrics>
#include <QHash>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScroller>
#include <QStyle>

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
    // Only a drag on the header counts as the user's width; fitting the
    // columns resizes them too.
    header()->viewport()->installEventFilter(this);
    connect(header(), &QHeaderView::sectionResized, this, [this](int spalte, int, int breite) {
        if (m_ziehen)
            spalteGezogen(spalte, breite);
    });
}

bool TreeView::eventFilter(QObject* objekt, QEvent* e)
{
    if (objekt == header()->viewport()) {
        if (e->type() == QEvent::MouseButtonPress)
            m_ziehen = true;
        else if (e->type() == QEvent::MouseButtonRelease)
            m_ziehen = false;
    }
    return QTreeView::eventFilter(objekt, e);
}

QModelIndex TreeView::moveCursor(CursorAction aktion, Qt::KeyboardModifiers tasten)
{
    if (selectionBehavior() == SelectItems) {
        if (aktion == MoveNext)
            aktion = MoveRight;
        else if (aktion == MovePrevious)
            aktion = MoveLeft;
    }
    return QTreeView::moveCursor(aktion, tasten);
}

void TreeView::dataChanged(const QModelIndex& oben, const QModelIndex& unten, const QVector<int>& rollen)
{
    if (zeileGeaendert(oben, unten))
        return;
    // Only where the tree view does nothing else of note: rows of one height,
    // no tree in column 0, no editor to refresh, no screen reader to tell.
    if (!oben.isValid() || !unten.isValid() || oben == unten || oben.column() != unten.column() || oben.column() == 0
        || oben.parent() != unten.parent() || !uniformRowHeights() || state() == EditingState
        || QAccessible::isActive()) {
        QTreeView::dataChanged(oben, unten, rollen);
        return;
    }
    const int spalte = oben.column();
    if (isColumnHidden(spalte))
        return;
    const int x = columnViewportPosition(spalte);
    const int breite = columnWidth(spalte);
    if (x + breite <= 0 || x >= viewport()->width())
        return;
    viewport()->update(QRect(x, 0, breite, viewport()->height()));
}

bool TreeView::zeileGeaendert(const QModelIndex& oben, const QModelIndex& unten)
{
    // The same conditions as for a column below.
    if (!oben.isValid() || !unten.isValid() || oben == unten || oben.row() != unten.row() || oben.column() == 0
        || unten.column() == 0 || oben.parent() != unten.parent() || !uniformRowHeights() || state() == EditingState
        || QAccessible::isActive())
        return false;
    // The row's place, from a cell this view shows (the kept columns beside
    // the table hide most of them).
    for (int c = std::min(oben.column(), unten.column()); c <= std::max(oben.column(), unten.column()); ++c) {
        if (isColumnHidden(c))
            continue;
        const QRect zelle = visualRect(oben.sibling(oben.row(), c));
        if (!zelle.isValid())
            return false;
        if (zelle.bottom() < 0 || zelle.top() >= viewport()->height())
            return true;
        viewport()->update(QRect(0, zelle.top(), viewport()->width(), zelle.height()));
        return true;
    }
    // None of the cells is shown here.
    return true;
}

QString TreeView::spaltenTitel(int spalte) const
{
    return model() ? model()->headerData(spalte, Qt::Horizontal).toString() : QString();
}

void TreeView::spalteGezogen(int spalte, int breite)
{
    const QString titel = spaltenTitel(spalte);
    if (titel.isEmpty() || m_nutzerBreiten.value(titel) == breite)
        return;
    m_nutzerBreiten.insert(titel, breite);
    emit nutzerBreitenGeaendert();
}

void TreeView::setNutzerBreiten(const QMap<QString, int>& breiten)
{
    m_nutzerBreiten = breiten;
    if (!model())
        return;
    for (int c = 0; c < model()->columnCount(); ++c) {
        const auto it = m_nutzerBreiten.constFind(spaltenTitel(c));
        if (it != m_nutzerBreiten.constEnd() && it.value() > 0)
            header()->resizeSection(c, it.value());
    }
}

void TreeView::spaltenEinpassen(const QList<int>& spalten)
{
    if (!model())
        return;
    // The texts are read from the model behind a sorting proxy: the same
    // cells, without mapping each of them.
    const auto* proxy = qobject_cast<const QAbstractProxyModel*>(model());
    const QAbstractItemModel* m = proxy && proxy->sourceModel() ? proxy->sourceModel() : model();
    // A few of the widest texts stand for the column; their full layout
    // (margins, alignment, a font of their own) decides.
    constexpr int kandidaten = 8;
    const int zeilen = m->rowCount();
    const QFontMetrics schrift(font());
    QVector<QPair<int, int>> laengen; // text width, row
    QHash<QString, int> gemessen; // text -> width in the view's font
    laengen.reserve(zeilen);
    QList<int> alle = spalten;
    if (alle.isEmpty())
        for (int c = 0; c < model()->columnCount(); ++c)
            alle << c;
    for (const int c : qAsConst(alle)) {
        if (c < 0 || c >= model()->columnCount() || header()->isSectionHidden(c))
            continue;
        const auto gezogen = m_nutzerBreiten.constFind(spaltenTitel(c));
        if (gezogen != m_nutzerBreiten.constEnd() && gezogen.value() > 0) {
            header()->resizeSection(c, gezogen.value());
            continue;
        }
        laengen.clear();
        for (int z = 0; z < zeilen; ++z) {
            // A results table repeats the same few numbers thousands of
            // times; each distinct text is measured once.
            const QString text = m->index(z, c).data(Qt::DisplayRole).toString();
            auto breite = gemessen.constFind(text);
            if (breite == gemessen.constEnd())
                breite = gemessen.insert(text, schrift.horizontalAdvance(text));
            laengen.append({ breite.value(), z });
        }
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
    if (!zelle.isValid() || zelle.model() != model() || m_nutzerBreiten.contains(spaltenTitel(zelle.column())))
        return;
    // The caption counts too: a right-aligned "KostenS1" must not shrink to "nS1".
    const int breite = std::max(sizeHintForIndex(zelle).width(), header()->sectionSizeHint(zelle.column()));
    if (breite > header()->sectionSize(zelle.column()))
        header()->resizeSection(zelle.column(), breite);
}

int TreeView::textRand() const
{
    // As the item delegate lays a text out: a focus frame margin and one
    // pixel on either side.
    return 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
}

void TreeView::spaltenAufTextbreiten(const QVector<int>& textBreiten)
{
    if (!model())
        return;
    const int rand = textRand();
    const int n = std::min(int(textBreiten.size()), model()->columnCount());
    for (int c = 0; c < n; ++c) {
        if (header()->isSectionHidden(c))
            continue;
        const auto gezogen = m_nutzerBreiten.constFind(spaltenTitel(c));
        if (gezogen != m_nutzerBreiten.constEnd() && gezogen.value() > 0) {
            header()->resizeSection(c, gezogen.value());
            continue;
        }
        const int breite = std::max(header()->sectionSizeHint(c), textBreiten.at(c) > 0 ? textBreiten.at(c) + rand : 0);
        if (header()->sectionSize(c) != breite)
            header()->resizeSection(c, breite);
    }
}

void TreeView::spalteAufTextbreite(int spalte, int textBreite)
{
    if (!model() || spalte < 0 || spalte >= header()->count() || m_nutzerBreiten.contains(spaltenTitel(spalte)))
        return;
    const int breite = textBreite + textRand();
    if (breite > header()->sectionSize(spalte))
        header()->resizeSection(spalte, std::max(breite, header()->sectionSizeHint(spalte)));
}
