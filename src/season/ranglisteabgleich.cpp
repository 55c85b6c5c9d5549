#include "season/ranglisteabgleich.h"

#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include "storage/datenbank.h"
#include "storage/spieltagleser.h"

namespace Saison
{

namespace
{

bool melden(QString* fehler, const QString& text)
{
    if (fehler)
        *fehler = text;
    return false;
}

// The sum of each participant's points over the group's series, straight
// from the series tables in one statement.
bool summenLesen(QSqlDatabase db, QHash<int, qint64>& summen, QString* fehler)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT Serien FROM Gruppe")) || !q.next())
        return melden(fehler, q.lastError().text());
    const int serien = q.value(0).toInt();
    if (serien < 1 || serien > Spieltag::maxSerien)
        return melden(fehler, QStringLiteral("Serien %1").arg(serien));
    q.finish();
    QStringList teile;
    for (int s = 1; s <= serien; ++s)
        teile << QStringLiteral("SELECT StartNr, Punkte FROM Serie%1").arg(s);
    if (!q.exec(QStringLiteral("SELECT StartNr, SUM(Punkte) FROM (%1) GROUP BY StartNr")
                    .arg(teile.join(QStringLiteral(" UNION ALL ")))))
        return melden(fehler, q.lastError().text());
    while (q.next())
        summen.insert(q.value(0).toInt(), q.value(1).toLongLong());
    return true;
}

int fehlschlag(QString* fehler, const QString& text)
{
    melden(fehler, text);
    return -1;
}

} // namespace

int ranglisteAbgleichen(QSqlDatabase haupt, const QDate& tag, const QVector<QSqlDatabase>& gruppen, QString* fehler)
{
    if (!tag.isValid() || !haupt.isOpen())
        return fehlschlag(fehler, QStringLiteral("Keine Stammdatenbank"));
    QHash<int, qint64> punkte;
    QSet<int> doppelt;
    for (const QSqlDatabase& db : gruppen) {
        QHash<int, qint64> summen;
        // A group that cannot be read says nothing about its players.
        if (!summenLesen(db, summen, fehler))
            continue;
        for (auto it = summen.cbegin(); it != summen.cend(); ++it) {
            if (punkte.contains(it.key()))
                doppelt.insert(it.key());
            punkte.insert(it.key(), it.value());
        }
    }
    for (const int nr : qAsConst(doppelt))
        punkte.remove(nr);
    if (punkte.isEmpty())
        return 0;

    const QString datum = tag.toString(QStringLiteral("yyyy-MM-dd"));
    QVector<QPair<int, qint64>> falsch;
    {
        QSqlQuery q(haupt);
        q.prepare(QStringLiteral("SELECT StartNr, Punkte FROM Rangliste WHERE Datum=?"));
        q.addBindValue(datum);
        if (!q.exec())
            return fehlschlag(fehler, q.lastError().text());
        while (q.next()) {
            const int nr = q.value(0).toInt();
            const auto it = punkte.constFind(nr);
            if (it != punkte.cend() && q.value(1).toLongLong() != it.value())
                falsch.append({ nr, it.value() });
        }
    }
    if (falsch.isEmpty())
        return 0;
    Db::Transaktion t(haupt);
    int geaendert = 0;
    for (const auto& f : qAsConst(falsch)) {
        QSqlQuery q(haupt);
        if (!Db::ausfuehren(q, QStringLiteral("UPDATE Rangliste SET Punkte=? WHERE StartNr=? AND Datum=?"),
                { f.second, f.first, datum }, fehler))
            return -1;
        geaendert += q.numRowsAffected();
    }
    if (!t.abschliessen())
        return fehlschlag(fehler, haupt.lastError().text());
    return geaendert;
}

} // namespace Saison
