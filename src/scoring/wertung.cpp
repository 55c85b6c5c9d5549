#include "scoring/wertung.h"

#include <QSqlQuery>

#include "setup/teilnehmertabelle.h"
#include "storage/datenbank.h"

namespace Wertung
{

bool ranglistePunkteSpeichern(QSqlDatabase haupt, int startNr, const QDate& datum, const QString& name, int punkte)
{
    if (!haupt.isOpen())
        return true;
    const QString tag = datum.toString(QStringLiteral("yyyy-MM-dd"));
    QSqlQuery q
        = Db::abfrage(haupt, QStringLiteral("SELECT 1 FROM Rangliste WHERE StartNr=? AND Datum=?"), { startNr, tag });
    if (q.isActive() && !q.next())
        return Db::ausfuehren(haupt,
            QStringLiteral("INSERT INTO Rangliste (StartNr, Name, Datum, Punkte) VALUES (?, ?, ?, ?)"),
            { startNr, name, tag, punkte });
    return Db::ausfuehren(
        haupt, QStringLiteral("UPDATE Rangliste SET Punkte=? WHERE StartNr=? AND Datum=?"), { punkte, startNr, tag });
}

Summen summenNeuBerechnen(QSqlDatabase gruppe, int startNr, int serien)
{
    Summen s;
    if (!gruppe.isOpen())
        return s;
    for (int i = 1; i <= serien; ++i) {
        QSqlQuery q = Db::abfrage(
            gruppe, QStringLiteral("SELECT Punkte, Kosten FROM Serie%1 WHERE StartNr=?").arg(i), { startNr });
        if (q.next()) {
            s.punkte += q.value(0).toInt();
            s.kosten += q.value(1).toDouble();
        }
    }
    s.ok = Db::ausfuehren(gruppe, QStringLiteral("UPDATE Teilnehmer SET SummePunkte=?, SummeKosten=? WHERE StartNr=?"),
        { s.punkte, Zahl::allgemein(s.kosten), startNr });
    return s;
}

} // namespace Wertung
