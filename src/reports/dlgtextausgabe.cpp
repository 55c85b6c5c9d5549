#include "reports/dlgtextausgabe.h"

#include "ui_dlgtextausgabe.h"

DlgTextAusgabe::DlgTextAusgabe(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::DlgTextAusgabe)
{
    ui->setupUi(this);
}

DlgTextAusgabe::~DlgTextAusgabe()
{
    delete ui;
}

int DlgTextAusgabe::ausgabeTyp() const
{
    if (ui->rbExcelDatei->isChecked())
        return ExcelDatei;
    if (ui->rbHtmlDatei->isChecked())
        return HtmlDatei;
    return TextDatei;
}
