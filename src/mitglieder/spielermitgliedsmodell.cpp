#include "mitglieder/spielermitgliedsmodell.h"

#include <QSqlQuery>

#include "storage/datenbank.h"

SpielerMitgliedsModell::SpielerMitgliedsModell(QObject* parent, QSqlDatabase db)
    : QSqlTableModel(parent, db)
{
}

bool SpielerMitgliedsModell::select()
{
    m_daten.clear();
    if (Db::tabelleVorhanden(database(), QStringLiteral("Mitgliedsdaten"))) {
        QSqlQuery q
            = Db::abfrage(database(), QStringLiteral("SELECT StartNr, MitgliedsNr, Verein FROM Mitgliedsdaten"));
        while (q.next())
            m_daten.insert(q.value(0).toInt(), { q.value(1).toString(), q.value(2).toString() });
    }
    return QSqlTableModel::select();
}

QVariant SpielerMitgliedsModell::data(const QModelIndex& index, int role) const
{
    if (role != Qt::ToolTipRole || !index.isValid())
        return QSqlTableModel::data(index, role);
    const auto it = m_daten.constFind(QSqlTableModel::data(this->index(index.row(), 0), Qt::EditRole).toInt());
    if (it == m_daten.cend() || (it->first.isEmpty() && it->second.isEmpty()))
        return QSqlTableModel::data(index, role);
    QStringList teile;
    if (!it->first.isEmpty())
        teile << tr("Mitgliedsnummer: %1").arg(it->first);
    if (!it->second.isEmpty())
        teile << tr("Verein: %1").arg(it->second);
    return teile.join(QLatin1Char('\n'));
}
