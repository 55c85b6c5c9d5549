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

signals:
    // The kept columns changed width or number.
    void breiteGeaendert();

private:
    void spaltenAbgleichen();

    TreeView* m_haupt;
    Auswahl m_zeigen;
};
