#pragma once
// The roster's table model, which also tells a player's member number and
// club (kept beside the roster) as the tooltip of his row.

#include <QHash>
#include <QPair>
#include <QSqlTableModel>

class SpielerMitgliedsModell : public QSqlTableModel
{
    Q_OBJECT
public:
    SpielerMitgliedsModell(QObject* parent, QSqlDatabase db);
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool select() override;

private:
    QHash<int, QPair<QString, QString>> m_daten; // start number -> member number, club
};
