#include "testumgebung.h"

#include "ui_mainwindow.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QSqlTableModel>
#include <QStatusBar>
#include <QTcpServer>

#include "app/mainwindow.h"
#include "begleiter.h"
#include "link/client.h"
#include "participants/teilnehmerpflege.h"
#include "setup/teilnehmertabelle.h"
#include "storage/datenbank.h"
#include "zufall.h"

using namespace Turnierbau;

namespace
{

const QString regeln = QStringLiteral("0|1.5|2.5|3.5|1|1|2.5|10|50|40|30|Spielliste");

// A request for table 0, which claims nothing: answered by the rules message
// only, which marks that everything sent before it has been handled. Each
// mark has its own series number.
int markenNr = 0;
QString markenTeil()
{
    return QStringLiteral("$0@%1@").arg(markenNr);
}
QStringList bisZurMarke(Begleiter& b, Begleiter& sender)
{
    ++markenNr;
    sender.senden(QStringLiteral("5:%1:x$0@%2").arg(sender.socket.localAddress().toString()).arg(markenNr));
    return b.bisMit(markenTeil());
}
// The mark as a companion of that address receives it.
QString marke(const QString& adresse, const QString& liste = QStringLiteral("AlleSpieler"))
{
    return QStringLiteral("15:%1:%2").arg(adresse, liste) + markenTeil() + regeln;
}

quint16 port(Fenster& w)
{
    return w->link()->port();
}

// The points (or costs) cell of a participant in the results table.
QString text(Fenster& w, int startNr, int s, bool kosten = false)
{
    TeilnehmerTabelle* t = w->tabelle();
    const int z = t->zeileVon(startNr);
    if (z < 0)
        return QStringLiteral("<keine Zeile>");
    return (kosten ? t->kostenItem(z, s) : t->punkteItem(z, s))->text();
}

} // namespace

class TstLinkProtokoll : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void einstellungenUndStatus()
    {
        {
            Fenster w;
            QVERIFY(w->link()->lauscht());
            auto* status = w->findChild<QLabel*>(QStringLiteral("lblLinkStatus"));
            QVERIFY(status);
            QCOMPARE(status->text(), QStringLiteral("Verbindung: Port %1, 0 Begleiter").arg(port(w)));
            Begleiter b;
            QVERIFY(b.anmelden(port(w)));
            QTRY_COMPARE(status->text(), QStringLiteral("Verbindung: Port %1, 1 Begleiter").arg(port(w)));
            // A database message does not hide the link's state.
            Db::Melder::instanz()->melden(QStringLiteral("Test"));
            QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("FEHLER: Test"));
            QVERIFY(status->isVisible());
            b.socket.disconnectFromHost();
            QTRY_COMPARE(status->text(), QStringLiteral("Verbindung: Port %1, 0 Begleiter").arg(port(w)));
        }

        // A port that is taken: shown, and the program works on.
        QTcpServer belegt;
        QVERIFY(belegt.listen(QHostAddress::LocalHost, 0));
        Testumgebung::frischesZuhause();
        Testumgebung::einstellen(QStringLiteral("Link/Port"), belegt.serverPort());
        Testumgebung::einstellen(QStringLiteral("Link/Adresse"), QStringLiteral("127.0.0.1"));
        {
            Fenster w;
            QVERIFY(!w->link()->lauscht());
            const QString status = w->findChild<QLabel*>(QStringLiteral("lblLinkStatus"))->text();
            QVERIFY2(status.startsWith(QStringLiteral("Verbindung: FEHLER")), qPrintable(status));
            QCOMPARE(spielerAnlegen(*w, 2).size(), 2);
            QCOMPARE(w->spieler()->rowCount(), 2);
        }

        // The port is written with its default when missing.
        Testumgebung::frischesZuhause();
        Testumgebung::einstellen(QStringLiteral("Link/Adresse"), QStringLiteral("127.0.0.1"));
        Fenster w(false);
        QCOMPARE(w->settings()->value(QStringLiteral("Link/Port")).toInt(), 47474);
        QCOMPARE(w->settings()->value(QStringLiteral("Link/Adresse")).toString(), QStringLiteral("127.0.0.1"));
    }

    void spielerlisteBeimAnmelden()
    {
        Fenster w;
        {
            // Also an empty roster is sent.
            Begleiter leer;
            QVERIFY(leer.anmelden(port(w)));
            QCOMPARE(leer.frames(1), QStringList { QStringLiteral("4:127.0.0.1:AlleSpieler$") });
        }
        QTRY_COMPARE(w->link()->anzahlTeilnehmer(), 0);
        spielerAnlegen(*w,
            { { QStringLiteral("Anna"), QStringLiteral("Berg"), QStringLiteral("Alle"), QStringLiteral("Ja"),
                  QStringLiteral("Nein") },
                { QStringLiteral("Bernd"), QStringLiteral("Kurz"), QStringLiteral("Damen"), QStringLiteral("Nein"),
                    QStringLiteral("Ja") },
                { QStringLiteral("Carla"), QStringLiteral("Lang") } });
        const QString liste = QStringLiteral(
            "4:127.0.0.1:AlleSpieler$100|Anna Berg|Ja|Nein@101|Bernd Kurz|Nein|Ja@102|Carla Lang|Ja|Nein");

        Begleiter a;
        QVERIFY(a.anmelden(port(w)));
        QCOMPARE(a.frames(1), QStringList { liste });

        // Known address, or another name: nothing is sent.
        Begleiter zweiter, fremd;
        QVERIFY(zweiter.anmelden(port(w)));
        QVERIFY(fremd.anmelden(port(w), QStringLiteral("Fremd")));
        const QStringList bisDahin = bisZurMarke(a, a);
        QCOMPARE(bisDahin, QStringList { marke(QStringLiteral("127.0.0.1")) });
        QCOMPARE(zweiter.bisMit(markenTeil()), QStringList { marke(QStringLiteral("127.0.0.1")) });
        QCOMPARE(fremd.bisMit(markenTeil()), QStringList { marke(QStringLiteral("127.0.0.1")) });

        // Messages of peers of another name are not taken.
        fremd.senden(QStringLiteral("5:127.0.0.1:x$0@%1").arg(markenNr + 1));
        const QStringList beiFremd = bisZurMarke(fremd, a);
        QCOMPARE(beiFremd, QStringList { marke(QStringLiteral("127.0.0.1")) });

        // After leaving, the address joins anew and gets the roster again.
        a.socket.disconnectFromHost();
        zweiter.socket.disconnectFromHost();
        QTRY_COMPARE(w->link()->anzahlTeilnehmer(), 1);
        Begleiter wieder;
        QVERIFY(wieder.anmelden(port(w)));
        QCOMPARE(wieder.frames(1), QStringList { liste });
    }

    void tischAnfragen()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(8, 2);
        QVERIFY(db.isValid());
        const QString g = w->form()->cmbTeilnehmerGruppe->currentText();
        QCOMPARE(g, QStringLiteral("Alle"));
        sql(db, QStringLiteral("UPDATE Gruppe SET ErsterTisch=1, LetzterTisch=2"));
        // Seats of series 2, written in another order than the seats.
        sitze(db, 2,
            { { 106, 1, 3 }, { 103, 1, 1 }, { 101, 1, 4 }, { 100, 1, 2 }, { 102, 2, 4 }, { 104, 2, 1 }, { 105, 2, 2 },
                { 107, 2, 3 } });

        Begleiter a;
        QVERIFY(a.anmelden(port(w)));
        QCOMPARE(a.frames(1).size(), 1);
        a.senden(QStringLiteral("5:127.0.0.1:x$1@2"));
        QCOMPARE(a.bis(QStringLiteral("15:")),
            QStringList({ QStringLiteral("6:127.0.0.1:Alle$1@2@103|Vorname4 Nachname4|Ja|Nein@100|Vorname1 "
                                         "Nachname1|Ja|Nein@106|Vorname7 Nachname7|Ja|Nein@101|Vorname2 "
                                         "Nachname2|Ja|Nein"),
                QStringLiteral("15:127.0.0.1:Alle$1@2@") + regeln }));
        // Made inactive after the draw, a player keeps her seat until the
        // next draw, as on the printed list and the table app's page.
        QVERIFY(Teilnehmerpflege::aktivSetzen(db, 2, 100, false));
        a.senden(QStringLiteral("5:127.0.0.1:x$1@2"));
        QCOMPARE(a.bis(QStringLiteral("15:")).value(0),
            QStringLiteral("6:127.0.0.1:Alle$1@2@103|Vorname4 Nachname4|Ja|Nein@100|Vorname1 "
                           "Nachname1|Ja|Nein@106|Vorname7 Nachname7|Ja|Nein@101|Vorname2 "
                           "Nachname2|Ja|Nein"));

        // A second companion, from its own address, asks for the same table.
        Begleiter b;
        QVERIFY(b.anmelden(port(w), QStringLiteral("Listenbote"), QHostAddress(QStringLiteral("127.0.0.2"))));
        QCOMPARE(b.frames(1).value(0).left(24), QStringLiteral("4:127.0.0.2:AlleSpieler$"));
        b.senden(QStringLiteral("5:127.0.0.2:x$1@2"));
        QCOMPARE(b.bis(QStringLiteral("15:")),
            QStringList({ QStringLiteral("3:127.0.0.2:AlleSpieler$1"),
                QStringLiteral("15:127.0.0.2:AlleSpieler$1@2@") + regeln }));
        // Outside every group, or a series the group does not have: the rules only.
        b.senden(QStringLiteral("5:127.0.0.2:x$99@1"));
        QCOMPARE(
            b.bis(QStringLiteral("15:")), QStringList { QStringLiteral("15:127.0.0.2:AlleSpieler$99@1@") + regeln });
        a.bis(QStringLiteral("15:127.0.0.2:AlleSpieler$99@1@"));
        a.senden(QStringLiteral("5:127.0.0.1:x$1@3"));
        QCOMPARE(
            a.bis(QStringLiteral("15:")), QStringList { QStringLiteral("15:127.0.0.1:AlleSpieler$1@3@") + regeln });

        // When the first moves on to table 2, table 1 is free for the second.
        a.senden(QStringLiteral("5:127.0.0.1:x$2@2"));
        QCOMPARE(a.bis(QStringLiteral("15:")).value(0),
            QStringLiteral("6:127.0.0.1:Alle$2@2@104|Vorname5 Nachname5|Ja|Nein@105|Vorname6 Nachname6|Ja|Nein@107|"
                           "Vorname8 Nachname8|Ja|Nein@102|Vorname3 Nachname3|Ja|Nein"));
        b.bis(QStringLiteral("15:127.0.0.1:Alle$2@2@"));
        b.senden(QStringLiteral("5:127.0.0.2:x$1@2"));
        QVERIFY(b.bis(QStringLiteral("15:")).value(0).startsWith(QStringLiteral("6:127.0.0.2:Alle$1@2@103|")));
        // The link did not change the group the window works on.
        QCOMPARE(w->registry().aktuelle(), g);
    }

    void ergebnisseDerGezeigtenGruppe()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(4, 2);
        QVERIFY(db.isValid());
        const QString g = w->form()->cmbTeilnehmerGruppe->currentText();
        const QString datum = wert(db, QStringLiteral("SELECT Datum FROM Gruppe")).toString();
        // All four at table 1 in both series: the companion's table.
        for (int s : { 1, 2 })
            sitze(db, s, { { 100, 1, 1 }, { 101, 1, 2 }, { 102, 1, 3 }, { 103, 1, 4 } });
        Begleiter a;
        QVERIFY(a.anmelden(port(w)));
        a.senden(QStringLiteral("7:127.0.0.1:%1$L|x|1|23|a|b|4.5|c|100@L|x|2|-10|a|b|1|c|101@L|x|1|99|a|b|9|102@"
                                "L|x|2|5|a|b|2|c|100@L|x|3|5|a|b|2|c|103")
                     .arg(g));
        bisZurMarke(a, a);

        QCOMPARE(text(w, 100, 1), QStringLiteral("23"));
        QCOMPARE(text(w, 100, 1, true), QStringLiteral("4.5"));
        QCOMPARE(text(w, 100, 2), QStringLiteral("5"));
        QCOMPARE(text(w, 100, 2, true), QStringLiteral("2.0"));
        QCOMPARE(text(w, 101, 2), QStringLiteral("-10"));
        QCOMPARE(text(w, 101, 2, true), QStringLiteral("1.0"));
        // The eight-part line and the series the group does not have are
        // skipped, and counted.
        QCOMPARE(text(w, 102, 1), QStringLiteral("0"));
        QCOMPARE(w->findChild<QLabel*>(QStringLiteral("lblLinkStatus"))->text(),
            QStringLiteral("Verbindung: Port %1, 1 Begleiter, 2 Ergebnisse abgelehnt").arg(port(w)));

        // What the cells show is stored, with the match-day ranking; the
        // store's own rules (sums, other groups, lines it skips, the master
        // database's name) are checked without a window in TstOffenerSpieltag.
        QTRY_COMPARE(wert(w->registry().hauptDatenbank(),
                         QStringLiteral("SELECT Punkte FROM Rangliste WHERE StartNr=100 AND Datum='%1'").arg(datum))
                         .toInt(),
            28);
    }

    void dateienFremdeKoepfeUndZufall()
    {
        Fenster w;
        QVERIFY(w.gruppe(4, 2).isValid());
        const QString turnier = w->turnierOrdner();
        const QString g = w->form()->cmbTeilnehmerGruppe->currentText();
        const QString listen = turnier + QStringLiteral("/SpielListen");
        const QStringList vorher = QDir(turnier).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        const QStringList datenVorher = QDir(w->datenVerzeichnis()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        Begleiter a;
        QVERIFY(a.anmelden(port(w)));
        const QByteArray bytes("Serie1\r\n\x00\xff", 10);
        a.senden(QStringLiteral("16:127.0.0.1:x$a@b@c"));
        a.senden(QStringLiteral("17:127.0.0.1:x$t7.bin@") + QString::fromLatin1(qCompress(bytes).toBase64()));
        for (const char* boese : { "16:127.0.0.1:x$../boese@c", "16:127.0.0.1:x$x/boese@c", "16:127.0.0.1:x$..@c",
                 "16:127.0.0.1:x$@c", "16:127.0.0.1:x$..\\boese@c",
                 "17:127.0.0.1:x$../boese@eJwLAAA=", "17:127.0.0.1:x$kaputt.bin@nicht gepackt" })
            a.senden(QString::fromLatin1(boese));
        bisZurMarke(a, a);

        QCOMPARE(Testumgebung::dateiInhalt(listen + QStringLiteral("/a")), QByteArray("c\n"));
        QCOMPARE(Testumgebung::dateiInhalt(listen + QStringLiteral("/t7.bin")), bytes);
        // Beside the files, the record of who wrote them.
        QCOMPARE(QDir(listen).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList({ QStringLiteral(".herkunft"), QStringLiteral("a"), QStringLiteral("t7.bin") }));
        QCOMPARE(QDir(turnier).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            vorher + QStringList { QStringLiteral("SpielListen") });
        QCOMPARE(QDir(w->datenVerzeichnis()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), datenVorher);

        // A header with an IPv6 address has more ":" and is dropped.
        a.senden(QStringLiteral("5:fe80::1:x$1@1"));
        a.senden(QStringLiteral("7:::1:%1$L|x|1|50|a|b|1|c|100").arg(g));
        QCOMPARE(bisZurMarke(a, a).size(), 1);
        QCOMPARE(text(w, 100, 1), QStringLiteral("0"));

        // Random and mutated frames: no crash, no stall, nothing written
        // outside the game-list directory.
        const QStringList vorlagen { QStringLiteral("5:127.0.0.1:x$1@1"),
            QStringLiteral("7:127.0.0.1:%1$L|x|1|23|a|b|4.5|c|100@L|x|2|-10|a|b|1|c|101").arg(g),
            QStringLiteral("16:127.0.0.1:x$f.txt@a@b"), QStringLiteral("17:127.0.0.1:x$g.bin@eJwLSS0uAQAEXQHB"),
            QStringLiteral("4:127.0.0.1:AlleSpieler$100|A B|Ja|Nein") };
        QRandomGenerator r(2026);
        QElapsedTimer uhr;
        uhr.start();
        // In bursts a companion may send; one burst of all of them would be
        // a flood and end the connection.
        for (int runde = 0; runde < 10; ++runde) {
            QByteArray alles;
            for (int i = 0; i < 1000; ++i) {
                QByteArray daten;
                if (i % 3 == 0) {
                    daten.resize(r.bounded(120));
                    for (char& z : daten)
                        z = char(r.bounded(256));
                } else {
                    daten = mutiert(r, vorlagen.at(r.bounded(vorlagen.size()))).toUtf8();
                }
                alles += Begleiter::frame(daten);
            }
            a.roh(alles);
            a.senden(QStringLiteral("5:127.0.0.1:x$0@%1").arg(9000 + runde));
            QVERIFY(!a.bisMit(QStringLiteral("$0@%1@").arg(9000 + runde), 60000).isEmpty());
        }
        QVERIFY(uhr.elapsed() < 60000);
        QCOMPARE(w->link()->anzahlTeilnehmer(), 1);

        const QStringList eintraege = QDir(turnier).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        for (const QString& e : eintraege)
            QVERIFY2(e.endsWith(QLatin1String(".db")) || e.endsWith(QLatin1String(".db-journal"))
                    || e == QLatin1String("SpielListen"),
                qPrintable(e));
        const QStringList dateien = QDir(turnier + QStringLiteral("/SpielListen"))
                                        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        for (const QString& f : dateien)
            QVERIFY2(QFileInfo(turnier + QStringLiteral("/SpielListen/") + f).isFile(), qPrintable(f));
    }
};

REIZWERK_TEST(TstLinkProtokoll)
#include "tst_linkprotokoll.moc"
