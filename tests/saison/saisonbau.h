#pragma once
// A hand-built season of five match days for the standings tests: absences,
// equal totals, a player who changed his name, a day of the season before
// and one of the season after.

#include <QDate>
#include <QDir>
#include <QMap>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVector>
#include <QtTest>

#include "season/saison.h"
#include "storage/datenbank.h"
#include "storage/pfade.h"
#include "storage/schema.h"

namespace Saisonbau
{

inline const QDate t1(2026, 8, 7);
inline const QDate t2(2026, 8, 14);
inline const QDate t3(2026, 8, 21);
inline const QDate t4(2026, 8, 28);
inline const QDate t5(2026, 9, 4);
inline const QDate vorher(2026, 7, 31); // the season before
inline const QDate danach(2027, 8, 6); // the season after

//        t1    t2    t3    t4    t5   days  total  best 3  average
// 101   900  1100   800  1000   700    5   4500   3000    900
// 102  1200  1000     -  1300     -    3   3500   3500   1166.67  (renamed twice)
// 103  1500  1500  1500     -     -    3   4500   4500   1500
// 104     -     -     -     -  2000    1   2000   2000   2000
// 105     -  -100   600   400   600    4   1500   1600    375
// 106   500     -  1000  1000  1000    4   3500   3000    875
// 107  1000     -     -     -   800    2   1800   1800    900
inline QVector<Saison::Zeile> zeilen()
{
    const QString anna = QStringLiteral("Anna \u00d6zt\u00fcrk");
    return {
        { 101, anna, vorher, 5000 },
        { 101, anna, t1, 900 },
        { 101, anna, t2, 1100 },
        { 101, anna, t3, 800 },
        { 101, anna, t4, 1000 },
        { 101, anna, t5, 700 },
        { 102, QStringLiteral("Bernd Bauer"), t1, 1200 },
        { 102, QStringLiteral("Bernd Bauer"), t2, 1000 },
        { 102, QStringLiteral("Bernd Baumann"), t4, 1300 },
        // The row of the next season comes first here: the latest by date
        // names the player, not the last one read.
        { 102, QStringLiteral("Bernd Brandt"), danach, 10 },
        { 103, QStringLiteral("Carl Christ"), t1, 1500 },
        { 103, QStringLiteral("Carl Christ"), t2, 1500 },
        { 103, QStringLiteral("Carl Christ"), t3, 1500 },
        { 104, QStringLiteral("Dora Dreyer"), t5, 2000 },
        { 105, QStringLiteral("Emil Ernst"), t2, -100 },
        { 105, QStringLiteral("Emil Ernst"), t3, 600 },
        { 105, QStringLiteral("Emil Ernst"), t4, 400 },
        { 105, QStringLiteral("Emil Ernst"), t5, 600 },
        { 106, QStringLiteral("Frieda Fuchs"), t1, 500 },
        { 106, QStringLiteral("Frieda Fuchs"), t3, 1000 },
        { 106, QStringLiteral("Frieda Fuchs"), t4, 1000 },
        { 106, QStringLiteral("Frieda Fuchs"), t5, 1000 },
        { 107, QStringLiteral("Gert Gans"), t1, 1000 },
        { 107, QStringLiteral("Gert Gans"), t5, 800 },
    };
}

// Writes the rows into Rangliste of an open master database.
inline void ranglisteSchreiben(QSqlDatabase db, const QVector<Saison::Zeile>& zeilen)
{
    QSqlQuery q(db);
    QVERIFY(q.prepare(QStringLiteral("INSERT INTO Rangliste (StartNr, Name, Datum, Punkte) VALUES (?, ?, ?, ?)")));
    for (const Saison::Zeile& z : zeilen) {
        q.addBindValue(z.startNr);
        q.addBindValue(z.name);
        q.addBindValue(z.datum.toString(QStringLiteral("yyyy-MM-dd")));
        q.addBindValue(z.punkte);
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    }
}

// A stored group of a match day: participants with their points per series
// (a series left out of the list stays 0; -1 marks the series inactive).
struct Teilnahme {
    int startNr;
    QString name;
    QVector<int> punkte;
};

inline void gruppeSchreiben(
    const QString& datenOrdner, const QDate& tag, const QString& gruppe, int serien, const QVector<Teilnahme>& wer)
{
    const QString ordner = Pfade::turnierVerzeichnis(datenOrdner, tag);
    QVERIFY(QDir().mkpath(ordner));
    const QString verbindung = QStringLiteral("saisonbau_%1_%2").arg(gruppe, Pfade::turnierName(tag));
    {
        QSqlDatabase db = Db::oeffnen(verbindung, Pfade::gruppenDatei(ordner, gruppe));
        QVERIFY(db.isOpen());
        QVector<Schema::TeilnehmerEintrag> eintraege;
        for (const Teilnahme& t : wer)
            eintraege << Schema::TeilnehmerEintrag { t.startNr, t.name, true, false };
        Schema::GruppenDaten daten;
        daten.name = gruppe;
        daten.datum = tag;
        daten.serien = serien;
        QVERIFY(Schema::gruppeAnlegen(db, daten, eintraege));
        for (const Teilnahme& t : wer) {
            int summe = 0;
            for (int s = 1; s <= t.punkte.size(); ++s) {
                const int p = t.punkte.at(s - 1);
                if (p == -1) {
                    QVERIFY(Db::ausfuehren(
                        db, QStringLiteral("UPDATE Serie%1 SET Aktiv=0 WHERE StartNr=?").arg(s), { t.startNr }));
                    continue;
                }
                summe += p;
                QVERIFY(Db::ausfuehren(
                    db, QStringLiteral("UPDATE Serie%1 SET Punkte=? WHERE StartNr=?").arg(s), { p, t.startNr }));
            }
            QVERIFY(Db::ausfuehren(
                db, QStringLiteral("UPDATE Teilnehmer SET SummePunkte=? WHERE StartNr=?"), { summe, t.startNr }));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(verbindung);
}

// The group files of the season: on t1 to t4 the women play as "Damen", the
// men as "Herren"; t5 has no folder. The series add up to the Rangliste
// points except where a correction was not yet carried over (101 on t2).
inline void gruppenSchreiben(const QString& datenOrdner)
{
    const QString anna = QStringLiteral("Anna \u00d6zt\u00fcrk");
    gruppeSchreiben(datenOrdner, t1, QStringLiteral("Damen"), 2,
        { { 101, anna, { 400, 500 } }, { 106, QStringLiteral("Frieda Fuchs"), { 500, 0 } } });
    gruppeSchreiben(datenOrdner, t1, QStringLiteral("Herren"), 2,
        { { 102, QStringLiteral("Bernd Bauer"), { 600, 600 } }, { 103, QStringLiteral("Carl Christ"), { 1500, 0 } },
            { 107, QStringLiteral("Gert Gans"), { 1000, 0 } } });
    gruppeSchreiben(datenOrdner, t2, QStringLiteral("Damen"), 3, { { 101, anna, { 300, -1, 700 } } });
    gruppeSchreiben(datenOrdner, t2, QStringLiteral("Herren"), 2,
        { { 102, QStringLiteral("Bernd Bauer"), { 500, 500 } }, { 103, QStringLiteral("Carl Christ"), { 750, 750 } },
            { 105, QStringLiteral("Emil Ernst"), { -100, 0 } } });
    gruppeSchreiben(datenOrdner, t3, QStringLiteral("Damen"), 2,
        { { 101, anna, { 800, 0 } }, { 106, QStringLiteral("Frieda Fuchs"), { 1000, 0 } } });
    gruppeSchreiben(datenOrdner, t3, QStringLiteral("Herren"), 2,
        { { 103, QStringLiteral("Carl Christ"), { 1500, 0 } }, { 105, QStringLiteral("Emil Ernst"), { 600, 0 } } });
    gruppeSchreiben(datenOrdner, t4, QStringLiteral("Damen"), 2,
        { { 101, anna, { 1000, 0 } }, { 106, QStringLiteral("Frieda Fuchs"), { 1000, 0 } } });
    gruppeSchreiben(datenOrdner, t4, QStringLiteral("Herren"), 2,
        { { 102, QStringLiteral("Bernd Baumann"), { 1300, 0 } }, { 105, QStringLiteral("Emil Ernst"), { 400, 0 } } });
}

} // namespace Saisonbau
