#include "reports/dlgrangliste.h"

#include "ui_dlgrangliste.h"

DlgRangliste::DlgRangliste(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::DlgRangliste)
{
    ui->setupUi(this);
}

DlgRangliste::~DlgRangliste()
{
    delete ui;
}

QDate DlgRangliste::startDatum() const
{
    return ui->cwStart->selectedDate();
}

QDate DlgRangliste::endDatum() const
{
    return ui->cwEnd->selectedDate();
}
