#pragma once
// The fair draw's settings and the pairs of players who never sit at one
// table. Every change is stored when it is made; the dialog only closes.

#include <QDialog>
#include <QSqlDatabase>

class QSettings;
class QStandardItemModel;

namespace Ui
{
class DlgTrennpaare;
}

class DlgTrennpaare : public QDialog
{
    Q_OBJECT

public:
    DlgTrennpaare(QSqlDatabase haupt, QSettings* einstellungen, QWidget* parent = nullptr);
    ~DlgTrennpaare() override;

    QStandardItemModel* paare() const { return m_paare; }

private slots:
    void onAusgleich(bool an);
    void onSpieltage(int anzahl);
    void onTrennen();
    void onEntfernen();

private:
    void paareLaden();

    Ui::DlgTrennpaare* ui;
    QSqlDatabase m_haupt;
    QSettings* m_einstellungen;
    QStandardItemModel* m_paare;
};
