#include "roster/spielerliste.h"

#include <QSqlQuery>
#include <QSqlTableModel>

#include "storage/datenbank.h"

namespace Spielerliste
{

int zeileVon(QSqlTableModel* model, int startNr)
{
    if (!model)
        return -1;
    const int spalte = model->fieldIndex(QStringLiteral("StartNr"));
    if (spalte < 0)
        return -1;
    for (int z = 0;; ++z) {
        if (z >= model->rowCount()) {
            if (!model->canFetchMore())
                return -1;
            model->fetchMore();
            if (z >= model->rowCount())
                return -1;
        }
        if (model->index(z, spalte).data(Qt::EditRole).toInt() == startNr)
            return z;
    }
}

Flaggen flaggenLesen(QSqlDatabase db, int startNr)
{
    Flaggen f;
    QSqlQuery q
        = Db::abfrage(db, QStringLiteral("SELECT Mitglied, Preisskat FROM Spieler WHERE StartNr=?"), { startNr });
    if (q.next()) {
        f.gefunden = true;
        f.mitglied = q.value(0).toString() == QLatin1String("Ja");
        f.preisskat = q.value(1).toString() == QLatin1String("Ja");
    }
    return f;
}

bool preisskatSetzen(QSqlDatabase db, int startNr, bool ja)
{
    QSqlQuery q(db);
    if (!Db::ausfuehren(q, QStringLiteral("UPDATE Spieler SET Preisskat=? WHERE StartNr=?"),
            { ja ? QStringLiteral("Ja") : QStringLiteral("Nein"), startNr }))
        return false;
    return q.numRowsAffected() > 0;
}

} // namespace Spielerliste
