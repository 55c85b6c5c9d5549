#pragma once
// Asks for the date range of the ranking.

#include <QDate>
#include <QDialog>

namespace Ui
{
class DlgRangliste;
}

class DlgRangliste : public QDialog
{
    Q_OBJECT
public:
    explicit DlgRangliste(QWidget* parent = nullptr);
    ~DlgRangliste() override;

    QDate startDatum() const;
    QDate endDatum() const;

private:
    Ui::DlgRangliste* ui;
};
