#pragma once
// What the tests of the real program prepare before they start it: a free
// loopback port and today's group "Herren" with its players.

#include <QDate>
#include <QHostAddress>
#include <QTcpServer>
#include <QTest>

#include "storage/datenbank.h"
#include "storage/pfade.h"
#include "storage/schema.h"
#include "testumgebung.h"

inline quint16 freierPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// The roster holds exactly players 100 … 100 + spieler - 1 ("V<i> N<i>"), and
// the group "Herren" of today in `tag` has them all as participants, with
// one table of four per four players. Fails the running test on any error.
inline void herrenAnlegen(const QString& daten, const QString& tag, int spieler, int serien)
{
    {
        QSqlDatabase haupt = Db::oeffnen(QStringLiteral("anlegen_haupt"), Pfade::hauptDatenbank(daten));
        QVERIFY(Schema::stammdatenbankAnlegen(haupt));
        QVERIFY(Db::ausfuehren(haupt, QStringLiteral("DELETE FROM Spieler")));
        QSqlDatabase gruppe = Db::oeffnen(QStringLiteral("anlegen_gruppe"), tag + QStringLiteral("/Herren.db"));
        QVector<Schema::TeilnehmerEintrag> t;
        for (int i = 0; i < spieler; ++i) {
            QVERIFY(
                Db::ausfuehren(haupt, QStringLiteral("INSERT INTO Spieler VALUES (?, ?, ?, 'Herren', 'Ja', 'Nein')"),
                    { 100 + i, QStringLiteral("V%1").arg(i), QStringLiteral("N%1").arg(i) }));
            t << Schema::TeilnehmerEintrag { 100 + i, QStringLiteral("V%1 N%1").arg(i), true, false };
        }
        Schema::GruppenDaten g;
        g.name = QStringLiteral("Herren");
        g.datum = QDate::currentDate();
        g.serien = serien;
        g.letzterTisch = spieler / 4;
        QVERIFY(Schema::gruppeAnlegen(gruppe, g, t));
    }
    Testumgebung::verbindungenSchliessen();
}
