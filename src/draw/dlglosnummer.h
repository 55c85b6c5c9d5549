#pragma once
// Asks for a series and a draw number, so a draw can be made again exactly
// as it was: offers the number stored with the series.

#include <QDialog>
#include <QMap>

namespace Ui
{
class DlgLosnummer;
}

class DlgLosnummer : public QDialog
{
    Q_OBJECT

public:
    // `gespeichert`: series -> the number its last random draw had.
    DlgLosnummer(int serien, const QMap<int, qint64>& gespeichert, QWidget* parent = nullptr);
    ~DlgLosnummer() override;

    int serie() const;
    qint64 losnummer() const; // 0 when none is valid

private slots:
    void onSerie(int index);
    void onText();

private:
    Ui::DlgLosnummer* ui;
    QMap<int, qint64> m_gespeichert;
};
