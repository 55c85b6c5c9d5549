#include "scoring/wertung.h"

#include <QSqlQuery>

#include <cmath>
#include <limits>

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

int punkteSumme(const QVector<int>& punkte)
{
    qint64 summe = 0;
    for (int p : punkte)
        summe += p;
    return static_cast<int>(qBound<qint64>(std::numeric_limits<int>::min(), summe, std::numeric_limits<int>::max()));
}

double kostenSumme(const QVector<double>& kosten)
{
    double summe = 0.0;
    for (double k : kosten)
        if (std::isfinite(k))
            summe += k;
    return std::isfinite(summe) ? summe : 0.0;
}

bool zeileAendern(QSqlDatabase db, const QString& sql, const QVariantList& werte, int startNr)
{
    if (!db.isOpen()) {
        Db::Melder::instanz()->melden(QStringLiteral("Datenbank nicht geoeffnet (%1)").arg(sql));
        return false;
    }
    QSqlQuery q(db);
    if (!Db::ausfuehren(q, sql, werte))
        return false;
    if (q.numRowsAffected() < 1) {
        Db::Melder::instanz()->melden(
            QStringLiteral("Teilnehmer %1 ist nicht gespeichert, nichts geaendert (%2)").arg(startNr).arg(sql));
        return false;
    }
    return true;
}

bool tischSpeichern(QSqlDatabase gruppe, int startNr, int serie, int tisch)
{
    return zeileAendern(
        gruppe, QStringLiteral("UPDATE Serie%1 SET Tisch=? WHERE StartNr=?").arg(serie), { tisch, startNr }, startNr);
}

QString gespeicherterText(QSqlDatabase gruppe, int startNr, int serie, int art)
{
    const QString spalte = art == Art::Punkte ? QStringLiteral("Punkte")
        : art == Art::Tisch                   ? QStringLiteral("Tisch")
                                              : QStringLiteral("Kosten");
    if (!gruppe.isOpen())
        return {};
    QSqlQuery q(gruppe);
    q.setForwardOnly(true);
    // Read quietly: the caller falls back to what the table held before.
    if (!q.prepare(QStringLiteral("SELECT %1 FROM Serie%2 WHERE StartNr=?").arg(spalte).arg(serie)))
        return {};
    q.addBindValue(startNr);
    if (!q.exec() || !q.next())
        return {};
    if (art == Art::Kosten)
        return Zahl::euro(kostenSumme({ q.value(0).toDouble() }));
    return QString::number(q.value(0).toInt());
}

Summen summenNeuBerechnen(QSqlDatabase gruppe, int startNr, int serien)
{
    Summen s;
    if (!gruppe.isOpen())
        return s;
    QVector<int> punkte;
    QVector<double> kosten;
    for (int i = 1; i <= serien; ++i) {
        QSqlQuery q = Db::abfrage(
            gruppe, QStringLiteral("SELECT Punkte, Kosten FROM Serie%1 WHERE StartNr=?").arg(i), { startNr });
        if (q.next()) {
            punkte << q.value(0).toInt();
            kosten << q.value(1).toDouble();
        }
    }
    s.punkte = punkteSumme(punkte);
    s.kosten = kostenSumme(kosten);
    s.ok = zeileAendern(gruppe, QStringLiteral("UPDATE Teilnehmer SET SummePunkte=?, SummeKosten=? WHERE StartNr=?"),
        { s.punkte, Zahl::allgemein(s.kosten), startNr }, startNr);
    return s;
}

void ranglisteNachAbschluss(
    QSqlDatabase gruppe, QSqlDatabase haupt, int startNr, const QDate& datum, const QString& name, int punkte)
{
    Db::nachAbschluss(gruppe,
        [haupt, startNr, datum, name, punkte] { ranglistePunkteSpeichern(haupt, startNr, datum, name, punkte); });
}

} // namespace Wertung
