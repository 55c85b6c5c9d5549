#include "widgets/festespalten.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>

FesteSpalten::FesteSpalten(TreeView* haupt, Auswahl zeigen, QWidget* parent)
    : TreeView(parent)
    , m_haupt(haupt)
    , m_zeigen(std::move(zeigen))
{
    setModel(haupt->model());
    setSelectionModel(haupt->selectionModel());
    setSelectionBehavior(haupt->selectionBehavior());
    setSelectionMode(haupt->selectionMode());
    setEditTriggers(QAbstractItemView::DoubleClicked);
    setFocusPolicy(Qt::NoFocus);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    header()->setSortIndicatorShown(true);
    header()->setSectionsClickable(true);

    // Rows line up only while both views scroll together and their row
    // areas are equally high: the table's sideways scroll bar takes height,
    // so this view shows one (empty) whenever the table does.
    connect(haupt->verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(), &QScrollBar::setValue);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, haupt->verticalScrollBar(), &QScrollBar::setValue);
    connect(haupt->horizontalScrollBar(), &QScrollBar::rangeChanged, this, [this](int min, int max) {
        setHorizontalScrollBarPolicy(max > min ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    });

    // The table fits its columns to their contents; the kept ones follow.
    connect(haupt->header(), &QHeaderView::sectionResized, this, [this](int spalte, int, int breite) {
        if (spalte < header()->count() && !isColumnHidden(spalte) && header()->sectionSize(spalte) != breite) {
            header()->resizeSection(spalte, breite);
            breiteMelden();
        }
    });
    // A width dragged here counts for the table as well; a column hidden
    // here (width 0) stays as it is in the table.
    connect(header(), &QHeaderView::sectionResized, this, [this](int spalte, int, int breite) {
        if (breite > 0 && spalte < m_haupt->header()->count() && m_haupt->header()->sectionSize(spalte) != breite)
            m_haupt->header()->resizeSection(spalte, breite);
    });

    connect(this, &TreeView::nutzerBreitenGeaendert, this, [this] {
        QMap<QString, int> breiten = m_haupt->nutzerBreiten();
        breiten.insert(nutzerBreiten());
        m_haupt->setNutzerBreiten(breiten);
    });

    connect(haupt->header(), &QHeaderView::sortIndicatorChanged, header(), &QHeaderView::setSortIndicator);
    // The header turned its own indicator as a sorting header does; the
    // table sorts that way and shows it.
    connect(header(), &QHeaderView::sectionClicked, this,
        [this](int spalte) { m_haupt->sortByColumn(spalte, header()->sortIndicatorOrder()); });

    QAbstractItemModel* m = model();
    if (m) {
        // The header forgets hidden columns when the model is reset; the
        // table's own fitting follows at the next turn of the event loop.
        auto abgleichen = [this] {
            spaltenAbgleichen();
            QTimer::singleShot(0, this, &FesteSpalten::spaltenAbgleichen);
        };
        connect(m, &QAbstractItemModel::modelReset, this, abgleichen);
        connect(m, &QAbstractItemModel::layoutChanged, this, abgleichen);
        connect(m, &QAbstractItemModel::columnsInserted, this, abgleichen);
        connect(m, &QAbstractItemModel::columnsRemoved, this, abgleichen);
        connect(m, &QAbstractItemModel::headerDataChanged, this, abgleichen);
    }
    spaltenAbgleichen();
}

void FesteSpalten::spaltenAbgleichen()
{
    if (!model())
        return;
    const int n = model()->columnCount();
    for (int c = 0; c < n; ++c) {
        const bool zeigen = m_zeigen(c, n);
        if (isColumnHidden(c) == zeigen)
            setColumnHidden(c, !zeigen);
        if (zeigen && c < m_haupt->header()->count() && header()->sectionSize(c) != m_haupt->header()->sectionSize(c))
            header()->resizeSection(c, m_haupt->header()->sectionSize(c));
    }
    header()->setSortIndicator(m_haupt->header()->sortIndicatorSection(), m_haupt->header()->sortIndicatorOrder());
    // A table without columns (detached while it is refilled) leaves the
    // splitter as it is.
    if (n > 0)
        breiteMelden();
}

void FesteSpalten::breiteMelden()
{
    // Each notice lays the splitter and both views out again: only a new
    // width is worth one.
    const int breite = benoetigteBreite();
    if (m_sammeln || breite == m_gemeldet)
        return;
    m_gemeldet = breite;
    emit breiteGeaendert();
}

void FesteSpalten::sammeln(bool an)
{
    m_sammeln = an;
    if (!an)
        breiteMelden();
}

int FesteSpalten::benoetigteBreite() const
{
    int breite = 2 * frameWidth();
    for (int c = 0; c < header()->count(); ++c)
        if (!header()->isSectionHidden(c))
            breite += header()->sectionSize(c);
    return breite;
}

void FesteSpalten::mousePressEvent(QMouseEvent* e)
{
    const QModelIndex zelle = indexAt(e->pos());
    if (e->button() != Qt::LeftButton || !zelle.isValid()) {
        TreeView::mousePressEvent(e);
        return;
    }
    const QModelIndex aktuell = m_haupt->currentIndex();
    m_haupt->setCurrentIndex(zelle.sibling(zelle.row(), aktuell.isValid() ? aktuell.column() : zelle.column()));
    m_haupt->setFocus(Qt::MouseFocusReason);
    e->accept();
}

void FesteSpalten::mouseDoubleClickEvent(QMouseEvent* e)
{
    const QModelIndex zelle = indexAt(e->pos());
    if (e->button() == Qt::LeftButton && zelle.isValid() && (zelle.flags() & Qt::ItemIsEditable)) {
        edit(zelle, DoubleClicked, e);
        return;
    }
    TreeView::mouseDoubleClickEvent(e);
}
