#pragma once
// The tree view with the program's look: kinetic scrolling, cyan alternate rows.

#include <QMap>
#include <QTreeView>

class TreeView : public QTreeView
{
    Q_OBJECT
public:
    explicit TreeView(QWidget* parent = nullptr);

    // Fits the given columns (all when none are given) to their widest cell
    // and their header. Only the widest texts of a column, by their width
    // in the view's font, are laid out in full: laying out every cell of a
    // large table costs far more than the whole rest of filling it.
    // A column the user sized by hand keeps that width.
    void spaltenEinpassen(const QList<int>& spalten = {});
    // Fits every column to the width of its widest text (given in the
    // view's font, measured by the model) and its header, without reading
    // a cell. A column the user sized by hand keeps that width.
    void spaltenAufTextbreiten(const QVector<int>& textBreiten);
    // Widens a column whose widest text got wider than it shows.
    void spalteAufTextbreite(int spalte, int textBreite);
    // Widens the column of a cell whose text no longer fits.
    void spalteErweitern(const QModelIndex& zelle);

    // Widths the user gave columns by dragging the header, by caption, so
    // they survive a new table with the same captions.
    QMap<QString, int> nutzerBreiten() const { return m_nutzerBreiten; }
    void setNutzerBreiten(const QMap<QString, int>& breiten);

signals:
    void nutzerBreitenGeaendert();

protected:
    bool eventFilter(QObject* objekt, QEvent* e) override;
    // Tab moves to the cell on the right, as in a spreadsheet; a tree view
    // of its own moves down.
    QModelIndex moveCursor(CursorAction aktion, Qt::KeyboardModifiers tasten) override;
    // A change of many rows in one column (a draw's tables) repaints that
    // column's strip only, and nothing where the column is out of sight; the
    // tree view would repaint every cell in sight.
    void dataChanged(const QModelIndex& oben, const QModelIndex& unten, const QVector<int>& rollen) override;

private:
    // A change of several cells of one row (a stored result with its sums)
    // repaints that row's strip only, and nothing where the row is out of
    // sight; false when the tree view has to see to it itself.
    bool zeileGeaendert(const QModelIndex& oben, const QModelIndex& unten);
    QString spaltenTitel(int spalte) const;
    // What a cell adds to its text's width: the margins on either side.
    int textRand() const;
    void spalteGezogen(int spalte, int breite);

    QMap<QString, int> m_nutzerBreiten;
    bool m_ziehen = false;
};
