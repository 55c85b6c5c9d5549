#include "print/dlgdruckserie.h"

#include "ui_dlgdruckserie.h"

DlgDruckSerie::DlgDruckSerie(const QString& was, const QString& gruppe, int serien, int vorschlag, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::DlgDruckSerie)
{
    ui->setupUi(this);
    setWindowTitle(tr("%1 drucken").arg(was));
    ui->lblGruppe->setText(tr("Gruppe %1").arg(gruppe));
    ui->spbSerie->setRange(1, qMax(1, serien));
    ui->spbSerie->setValue(qBound(1, vorschlag, qMax(1, serien)));
}

DlgDruckSerie::~DlgDruckSerie()
{
    delete ui;
}

int DlgDruckSerie::serie() const
{
    return ui->spbSerie->value();
}
