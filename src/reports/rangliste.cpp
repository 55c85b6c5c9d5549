#include "reports/rangliste.h"

#include <QHash>
#include <QMap>
#include <QSqlQuery>

#include <algorithm>

#include "reports/bericht.h"
#include "storage/datenbank.h"

namespace Rangliste
{

QVector<Eintrag> lesen(QSqlDatabase db)
{
    QVector<Eintrag> eintraege;
    if (!db.isValid() || !db.isOpen())
        return eintraege;
    QSqlQuery q = Db::abfrage(db, QStringLiteral("SELECT Datum, Name, Punkte FROM Rangliste"));
    while (q.next()) {
        Eintrag e;
        e.datum = q.value(0).toString();
        e.name = q.value(1).toString();
        bool ok = false;
        e.punkte = q.value(2).toInt(&ok);
        if (!ok)
            e.punkte = 0;
        eintraege << e;
    }
    return eintraege;
}

QDate datumAus(const QString& text)
{
    const QString format = QStringLiteral("yyyy-MM-dd");
    const QDate d = QDate::fromString(text, format);
    // The parser also takes texts like "2026-5-3"; only the stored form counts.
    if (!d.isValid() || d.toString(format) != text)
        return {};
    return d;
}

QVector<Platz> auswerten(const QVector<Eintrag>& eintraege, const QDate& start, const QDate& ende)
{
    QMap<QString, qint64> summen;
    // Reading a date text asks the system for its time zone each time; the
    // rows of a match day share one text, so each is read once.
    QHash<QString, QDate> daten;
    for (const Eintrag& e : eintraege) {
        auto bekannt = daten.constFind(e.datum);
        if (bekannt == daten.constEnd())
            bekannt = daten.insert(e.datum, datumAus(e.datum));
        const QDate d = bekannt.value();
        if (!d.isValid() || d < start || d > ende)
            continue;
        summen[e.name] += e.punkte;
    }
    QVector<Platz> plaetze;
    plaetze.reserve(summen.size());
    for (auto it = summen.cbegin(); it != summen.cend(); ++it)
        plaetze << Platz(it.key(), it.value());
    std::stable_sort(
        plaetze.begin(), plaetze.end(), [](const Platz& a, const Platz& b) { return a.second > b.second; });
    return plaetze;
}

QString html(const QVector<Platz>& plaetze, const QDate& start, const QDate& ende, const QString& listenName)
{
    const QString format = QStringLiteral("dd-MM-yyyy");
    QString seite = Bericht::htmlKopf(QStringLiteral("Rangliste"));
    seite += QStringLiteral("\t<h1>Rangliste %1 bis %2 %3</h1><br>\n")
                 .arg(start.toString(format), ende.toString(format), Bericht::htmlText(listenName));
    seite
        += QStringLiteral("<p>\n<table style=\"width:100%\">\n\t<tr><th>Rang</th><th>Name</th><th>Punkte</th></tr>\n");
    int rang = 0;
    for (const Platz& p : plaetze)
        seite += QStringLiteral("\t<tr><td class=\"zahl\">%1</td><td>%2</td><td class = \"zahl\">%3</td></tr>\n")
                     .arg(QString::number(++rang), Bericht::htmlText(p.first), QString::number(p.second));
    seite += QStringLiteral("</table></p>\n");
    seite += Bericht::htmlFuss();
    return seite;
}

} // namespace Rangliste
