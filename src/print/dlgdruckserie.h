#pragma once
// Asks which series of the group to print; offers the last drawn one.

#include <QDialog>

namespace Ui
{
class DlgDruckSerie;
}

class DlgDruckSerie : public QDialog
{
    Q_OBJECT
public:
    // `was` names the document in the title ("Tischliste"); series 1..serien,
    // `vorschlag` preset.
    DlgDruckSerie(const QString& was, const QString& gruppe, int serien, int vorschlag, QWidget* parent = nullptr);
    ~DlgDruckSerie() override;

    int serie() const;

private:
    Ui::DlgDruckSerie* ui;
};
