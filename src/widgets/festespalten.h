#pragma once
// A narrow second view beside a wide table that keeps a few columns (number,
// name, sums) in sight while the table scrolls sideways. It shows the same
// model with the same selection and scrolls up and down with the table; the
// model's columns and their order are untouched.

#include <functional>

#include "widgets/treeview.h"

class FesteSpalten : public TreeView
{
    Q_OBJECT
public:
    // Decides whether a column (of `anzahl` columns) is shown here.
    using Auswahl = std::function<bool(int spalte, int anzahl)>;

    FesteSpalten(TreeView* haupt, Auswahl zeigen, QWidget* parent = nullptr);

    // Width that shows every kept column whole.
    int benoetigteBreite() const;
    // Tells of the kept columns' width when it differs from the last told;
    // between sammeln(true) and sammeln(false) once, at the end.
    void breiteMelden();
    void sammeln(bool an);

signals:
    // The kept columns changed width or number.
    void breiteGeaendert();

protected:
    // A click picks the row for the table and leaves the keyboard with it;
    // the table keeps its column and does not jump sideways to the name.
    void mousePressEvent(QMouseEvent* e) override;
    // A double click still edits a cell shown here (the sums).
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    void spaltenAbgleichen();

    TreeView* m_haupt;
    Auswahl m_zeigen;
    int m_gemeldet = -1;
    bool m_sammeln = false;
};
