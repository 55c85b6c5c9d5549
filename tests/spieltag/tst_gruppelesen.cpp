#include "testumgebung.h"

#include <QDir>

#include "spieltag/offenerspieltag.h"
#include "storage/datenbank.h"
#include "storage/schema.h"

using namespace Turnierbau;

class TstGruppeLesen : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }
    void cleanup() { Testumgebung::verbindungenSchliessen(); }

    // A group read for the results table: its settings, its participants by
    // start number with equal numbers in stored order, and every series'
    // stored values as they stand, also where a row is missing.
    void gruppeLesen()
    {
        const QString ordner = Testumgebung::datenOrdner();
        QDir().mkpath(ordner);
        OffenerSpieltag spieltag(QStringLiteral("lesen_haupt"));
        {
            QSqlDatabase haupt = Db::oeffnen(QStringLiteral("lesen_haupt"), ordner + QStringLiteral("/reizwerk.db"));
            QVERIFY(Schema::stammdatenbankAnlegen(haupt));
            QSqlDatabase db = Db::oeffnen(QStringLiteral("B"), ordner + QStringLiteral("/B.db"));
            Schema::GruppenDaten g;
            g.name = QStringLiteral("B");
            g.datum = QDate(2026, 5, 9);
            g.serien = 3;
            g.spiele3er = 30;
            g.spiele4er = 40;
            g.ersterTisch = 7;
            // Stored out of order, number 101 twice.
            QVERIFY(Schema::gruppeAnlegen(db, g,
                { { 103, QStringLiteral("Cäsar Çelik"), true, false }, { 101, QStringLiteral("Erster"), false, true },
                    { 102, QStringLiteral("Berta"), true, true }, { 101, QStringLiteral("Zweiter"), false, false } }));
            sql(db, QStringLiteral("UPDATE Teilnehmer SET SummePunkte=-17, SummeKosten=2.5 WHERE StartNr=103"));
            sql(db,
                QStringLiteral("UPDATE Serie2 SET Punkte=-17, Tisch=4, TischIntern=3, Kosten=2.5 WHERE StartNr=103"));
            sql(db, QStringLiteral("DELETE FROM Serie3 WHERE StartNr=102"));
        }
        spieltag.verbindungen().eintragen(QStringLiteral("B"));

        const std::optional<OffenerSpieltag::GruppenInhalt> inhalt = spieltag.gruppeLesen(QStringLiteral("B"));
        QVERIFY(inhalt);
        QCOMPARE(inhalt->datum, QDate(2026, 5, 9));
        QCOMPARE(inhalt->serien, 3);
        QCOMPARE(inhalt->spiele3er, 30);
        QCOMPARE(inhalt->spiele4er, 40);
        QCOMPARE(inhalt->ersterTisch, 7);

        QStringList namen;
        QVector<int> nummern;
        for (const OffenerSpieltag::GruppenTeilnehmer& t : inhalt->teilnehmer) {
            namen << t.name;
            nummern << t.startNr;
        }
        QCOMPARE(nummern, (QVector<int> { 101, 101, 102, 103 }));
        QCOMPARE(namen, (QStringList { "Erster", "Zweiter", "Berta", QStringLiteral("Cäsar Çelik") }));
        const OffenerSpieltag::GruppenTeilnehmer& erster = inhalt->teilnehmer.at(0);
        QVERIFY(!erster.mitglied);
        QVERIFY(erster.preisskat);
        const OffenerSpieltag::GruppenTeilnehmer& caesar = inhalt->teilnehmer.at(3);
        QVERIFY(caesar.mitglied);
        QVERIFY(!caesar.preisskat);
        QCOMPARE(caesar.summePunkte, -17);
        QCOMPARE(caesar.summeKosten, 2.5);

        QCOMPARE(inhalt->werte.size(), 3);
        QCOMPARE(inhalt->werte.at(0).size(), 4);
        QCOMPARE(inhalt->werte.at(2).size(), 3);
        bool gefunden = false;
        for (const OffenerSpieltag::SerienWert& w : inhalt->werte.at(1)) {
            if (w.startNr != 103) {
                QCOMPARE(w.punkte, 0);
                QCOMPARE(w.kosten, 0.0);
                continue;
            }
            gefunden = true;
            QCOMPARE(w.punkte, -17);
            QCOMPARE(w.tisch, 4);
            QCOMPARE(w.sitz, 3);
            QCOMPARE(w.kosten, 2.5);
        }
        QVERIFY(gefunden);
        for (const OffenerSpieltag::SerienWert& w : inhalt->werte.at(2))
            QVERIFY(w.startNr != 102);

        // Neither an unknown group nor the master database is a group.
        QVERIFY(!spieltag.gruppeLesen(QStringLiteral("Gibtsnicht")));
        QVERIFY(!spieltag.gruppeLesen(QStringLiteral("lesen_haupt")));
        // A group without its settings row is not read.
        sql(spieltag.gruppe(QStringLiteral("B")), QStringLiteral("DELETE FROM Gruppe"));
        QVERIFY(!spieltag.gruppeLesen(QStringLiteral("B")));
    }
};

REIZWERK_TEST(TstGruppeLesen)
#include "tst_gruppelesen.moc"
