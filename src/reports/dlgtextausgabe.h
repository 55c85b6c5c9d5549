#pragma once
// Asks which file the match-day results go to: text, spreadsheet import or HTML.

#include <QDialog>

namespace Ui
{
class DlgTextAusgabe;
}

class DlgTextAusgabe : public QDialog
{
    Q_OBJECT
public:
    enum Typ { TextDatei = 0, ExcelDatei = 1, HtmlDatei = 2 };

    explicit DlgTextAusgabe(QWidget* parent = nullptr);
    ~DlgTextAusgabe() override;

    int ausgabeTyp() const;

private:
    Ui::DlgTextAusgabe* ui;
};
