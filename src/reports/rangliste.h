#pragma once
// The ranking over a date range: the match-day points of table Rangliste
// summed per name, ordered and written as an HTML page.

#include <QDate>
#include <QPair>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

namespace Rangliste
{

// One row of table Rangliste as it is stored.
struct Eintrag {
    QString datum; // "yyyy-MM-dd"
    QString name;
    int punkte = 0;
};

using Platz = QPair<QString, qint64>; // name, total

// Reads every row of Rangliste with one query; a failed query gives none.
QVector<Eintrag> lesen(QSqlDatabase db);

// A stored "Datum", or an invalid date when the text is not exactly of the
// form yyyy-MM-dd.
QDate datumAus(const QString& text);

// Totals per name (names compared exactly as stored) of the rows whose date
// lies in [start, ende]; highest total first, equal totals by name.
QVector<Platz> auswerten(const QVector<Eintrag>& eintraege, const QDate& start, const QDate& ende);

// The page, with its heading naming both dates and the list name.
QString html(const QVector<Platz>& plaetze, const QDate& start, const QDate& ende, const QString& listenName);

} // namespace Rangliste
