// A whole evening with companions that speak nothing but the link's message
// texts: joining, the roster, asking for tables, results, game lists, a phone
// that reconnects and a late correction.

#include "testumgebung.h"

#include "ui_mainwindow.h"

#include <QDir>
#include <QLabel>
#include <QSqlQuery>
#include <QStatusBar>

#include "app/mainwindow.h"
#include "begleiter.h"
#include "link/client.h"
#include "setup/teilnehmertabelle.h"

using namespace Turnierbau;

namespace
{

const QHostAddress zweite(QStringLiteral("127.0.0.2"));

// Sends a request for table 0, which claims nothing and is answered by the
// rules alone: everything the companion sent before has been handled once
// that answer is there.
int markenNr = 500;
QStringList abwarten(Begleiter& b)
{
    ++markenNr;
    const QString adresse = b.socket.localAddress().toString();
    b.senden(QStringLiteral("5:%1:x$0@%2").arg(adresse).arg(markenNr));
    const QStringList bisDahin = b.bisMit(QStringLiteral("$0@%1@").arg(markenNr));
    if (bisDahin.isEmpty())
        qWarning("Die Antwort auf Marke %d kam nicht", markenNr);
    return bisDahin;
}

QString zeile(int serie, int punkte, const QString& kosten, int startNr)
{
    return QStringLiteral("Liste|3|%1|%2|0|0|%3|x|%4").arg(serie).arg(punkte).arg(kosten).arg(startNr);
}

int punkte(QSqlDatabase db, int serie, int startNr)
{
    return wert(db, QStringLiteral("SELECT Punkte FROM Serie%1 WHERE StartNr=%2").arg(serie).arg(startNr)).toInt();
}

QString kosten(QSqlDatabase db, int serie, int startNr)
{
    return wert(db, QStringLiteral("SELECT Kosten FROM Serie%1 WHERE StartNr=%2").arg(serie).arg(startNr)).toString();
}

QString zelle(Fenster& w, int startNr, int serie, bool alsKosten = false)
{
    TeilnehmerTabelle* t = w->tabelle();
    const int z = t->zeileVon(startNr);
    if (z < 0)
        return QStringLiteral("<keine Zeile>");
    return (alsKosten ? t->kostenItem(z, serie) : t->punkteItem(z, serie))->text();
}

} // namespace

class TstBegleiterAbend : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void einAbendMitWiederverbindung()
    {
        Fenster w;
        // Eight players, three series: series 1 and 2 drawn on tables 1 and
        // 2, series 3 seated by paper slips (nobody drawn).
        QSqlDatabase db = w.gruppe(8, 3);
        QVERIFY(db.isValid());
        const QString g = w->form()->cmbTeilnehmerGruppe->currentText();
        sql(db, QStringLiteral("UPDATE Gruppe SET ErsterTisch=1, LetzterTisch=2"));
        sitze(db, 1,
            { { 100, 1, 1 }, { 101, 1, 2 }, { 102, 1, 3 }, { 103, 1, 4 }, { 104, 2, 1 }, { 105, 2, 2 }, { 106, 2, 3 },
                { 107, 2, 4 } });
        sitze(db, 2,
            { { 104, 1, 1 }, { 105, 1, 2 }, { 106, 1, 3 }, { 107, 1, 4 }, { 100, 2, 1 }, { 101, 2, 2 }, { 102, 2, 3 },
                { 103, 2, 4 } });
        const quint16 port = w->link()->port();

        // Joining: the roster.
        auto a = std::make_unique<Begleiter>();
        QVERIFY(a->anmelden(port));
        const QString roster = a->frames(1).value(0);
        QVERIFY2(roster.startsWith(QStringLiteral("4:127.0.0.1:AlleSpieler$100|Vorname1 Nachname1|Ja|Nein@")),
            qPrintable(roster));

        // Table 1 of series 1: its seats, then the rules.
        a->senden(QStringLiteral("5:127.0.0.1:x$1@1"));
        const QStringList antwort = a->bis(QStringLiteral("15:"));
        QCOMPARE(antwort.size(), 2);
        QVERIFY2(antwort.at(0).startsWith(QStringLiteral("6:127.0.0.1:%1$1@1@100|").arg(g)), qPrintable(antwort.at(0)));

        // The phone drops off the Wi-Fi and reconnects before its old
        // connection has died: the new one gets no second roster ...
        auto wieder = std::make_unique<Begleiter>();
        QVERIFY(wieder->anmelden(port));
        const QStringList nachAnmeldung = abwarten(*wieder);
        QCOMPARE(nachAnmeldung.size(), 1);
        QVERIFY(nachAnmeldung.at(0).startsWith(QStringLiteral("15:127.0.0.1:")));
        // ... and when the old one closes, the address stays known and keeps
        // its table: the results of series 1 are stored, with numbers as
        // JavaScript writes them.
        a.reset();
        QTRY_COMPARE(w->link()->anzahlTeilnehmer(), 1);
        wieder->senden(QStringLiteral("7:127.0.0.1:%1$").arg(g)
            + QStringList { zeile(1, 23, QStringLiteral("1.0999999999999999"), 100),
                zeile(1, -10, QStringLiteral("1e1"), 101), zeile(1, 12, QStringLiteral("0.30000000000000004"), 102) }
                  .join(QLatin1Char('@')));
        abwarten(*wieder);
        QCOMPARE(zelle(w, 100, 1), QStringLiteral("23"));
        QCOMPARE(zelle(w, 100, 1, true), QStringLiteral("1.1"));
        QCOMPARE(zelle(w, 101, 1, true), QStringLiteral("10.0"));
        QTRY_COMPARE(punkte(db, 1, 100), 23);
        QCOMPARE(kosten(db, 1, 100).toDouble(), 1.1);
        QCOMPARE(kosten(db, 1, 102).toDouble(), 0.3);

        // Series 2: the same companion now asks for table 2.
        wieder->senden(QStringLiteral("5:127.0.0.1:x$2@2"));
        QVERIFY(
            wieder->bis(QStringLiteral("15:")).value(0).startsWith(QStringLiteral("6:127.0.0.1:%1$2@2@100|").arg(g)));
        // A late correction for series 1, table 1, still counts.
        wieder->senden(QStringLiteral("7:127.0.0.1:%1$").arg(g) + zeile(1, 25, QStringLiteral("1.5"), 100)
            + QLatin1Char('@') + zeile(2, 40, QStringLiteral("2"), 101));
        abwarten(*wieder);
        QCOMPARE(zelle(w, 100, 1), QStringLiteral("25"));
        QCOMPARE(zelle(w, 101, 2), QStringLiteral("40"));
        QCOMPARE(punkte(db, 1, 100), 25);

        // Series 3 was seated by paper slips: every participant's result
        // from a companion is stored.
        wieder->senden(QStringLiteral("7:127.0.0.1:%1$").arg(g) + zeile(3, 17, QStringLiteral("0.5"), 106)
            + QLatin1Char('@') + zeile(3, 18, QStringLiteral("0"), 100));
        abwarten(*wieder);
        QCOMPARE(punkte(db, 3, 106), 17);
        QCOMPARE(punkte(db, 3, 100), 18);

        // Game lists of codes 16 and 17.
        wieder->senden(QStringLiteral("16:127.0.0.1:x$Tisch1-Serie1.txt@Spiel 1@Ende"));
        wieder->senden(QStringLiteral("17:127.0.0.1:x$Tisch2.bin@")
            + QString::fromLatin1(qCompress(QByteArray("Liste")).toBase64()));
        abwarten(*wieder);
        const QString listen = w->turnierOrdner() + QStringLiteral("/SpielListen/");
        QCOMPARE(Testumgebung::dateiInhalt(listen + QStringLiteral("Tisch1-Serie1.txt")), QByteArray("Ende\n"));
        QCOMPARE(Testumgebung::dateiInhalt(listen + QStringLiteral("Tisch2.bin")), QByteArray("Liste"));

        // A second companion is sent the seats of series 1 table 1: from now
        // on that pair is its own, and the first one's correction is refused,
        // visibly.
        Begleiter b;
        QVERIFY(b.anmelden(port, QStringLiteral("Listenbote"), zweite));
        QVERIFY(b.frames(1).value(0).startsWith(QStringLiteral("4:127.0.0.2:AlleSpieler$")));
        b.senden(QStringLiteral("5:127.0.0.2:x$1@1"));
        QVERIFY(
            b.bis(QStringLiteral("15:127.0.0.2")).value(0).startsWith(QStringLiteral("6:127.0.0.2:%1$1@1@").arg(g)));
        wieder->senden(QStringLiteral("7:127.0.0.1:%1$").arg(g) + zeile(1, 99, QStringLiteral("1"), 100));
        abwarten(*wieder);
        QCOMPARE(punkte(db, 1, 100), 25);
        const QString meldung = w->statusBar()->currentMessage();
        QCOMPARE(meldung,
            QStringLiteral(
                "FEHLER: Ergebnis von 127.0.0.1 abgelehnt: \"%1\": Tisch 1 (Serie 1) hat der Begleiter 127.0.0.2")
                .arg(zeile(1, 99, QStringLiteral("1"), 100)));
        b.senden(QStringLiteral("7:127.0.0.2:%1$").arg(g) + zeile(1, 30, QStringLiteral("1"), 100));
        abwarten(b);
        QCOMPARE(punkte(db, 1, 100), 30);

        // Everybody leaves; the first phone comes back later: its claim of
        // series 2 table 2 survived, a late correction is stored.
        wieder.reset();
        QTRY_COMPARE(w->link()->anzahlTeilnehmer(), 1);
        Begleiter spaeter;
        QVERIFY(spaeter.anmelden(port));
        QVERIFY(spaeter.frames(1).value(0).startsWith(QStringLiteral("4:127.0.0.1:AlleSpieler$")));
        spaeter.senden(QStringLiteral("7:127.0.0.1:%1$").arg(g) + zeile(2, 41, QStringLiteral("2.26"), 101));
        abwarten(spaeter);
        QCOMPARE(punkte(db, 2, 101), 41);
        QCOMPARE(kosten(db, 2, 101).toDouble(), 2.3);
        QCOMPARE(zelle(w, 101, 2, true), QStringLiteral("2.3"));
    }

    void abgelehnteZeilenSichtbar()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(5, 2);
        QVERIFY(db.isValid());
        const QString g = w->form()->cmbTeilnehmerGruppe->currentText();
        sitze(db, 1, { { 100, 1, 1 }, { 101, 1, 2 }, { 102, 1, 3 }, { 103, 1, 4 } });
        const quint16 port = w->link()->port();

        // From an address that did not join as the companion: nothing, and
        // it is said.
        Begleiter fremd;
        QVERIFY(fremd.anmelden(port, QStringLiteral("ListenboteX"), zweite));
        fremd.senden(QStringLiteral("7:127.0.0.2:%1$").arg(g) + zeile(1, 5, QStringLiteral("1"), 100));
        abwarten(fremd);
        QCOMPARE(w->statusBar()->currentMessage(),
            QStringLiteral("FEHLER: Ergebnis von 127.0.0.2 abgelehnt: \"%1\": nicht als Listenbote angemeldet")
                .arg(zeile(1, 5, QStringLiteral("1"), 100)));
        QCOMPARE(punkte(db, 1, 100), 0);

        Begleiter a;
        QVERIFY(a.anmelden(port));
        a.senden(QStringLiteral("5:127.0.0.1:x$1@1"));
        a.bis(QStringLiteral("15:127.0.0.1"));
        // 104 registered late: still at 0 in the drawn series 1.
        const QString spaet = zeile(1, 5, QStringLiteral("1"), 104);
        const QString kaputt = zeile(1, 5, QStringLiteral("1,5"), 101);
        a.senden(QStringLiteral("7:127.0.0.1:%1$").arg(g) + zeile(1, 9, QStringLiteral("1"), 100) + QLatin1Char('@')
            + spaet + QLatin1Char('@') + kaputt);
        abwarten(a);
        QCOMPARE(punkte(db, 1, 100), 9);
        QCOMPARE(punkte(db, 1, 104), 0);
        QCOMPARE(w->statusBar()->currentMessage(),
            QStringLiteral(
                "FEHLER: 2 Ergebnisse von 127.0.0.1 abgelehnt: \"%1\": Startnummer 104 hat in Serie 1 keinen "
                "Tisch; \"%2\": Kosten \"1,5\" sind keine Zahl zwischen 0 und 10000")
                .arg(spaet, kaputt));
        QVERIFY(w->findChild<QLabel*>(QStringLiteral("lblLinkStatus"))
                    ->text()
                    .endsWith(QStringLiteral(", 3 Ergebnisse abgelehnt")));

        // Results for a group that does not exist.
        a.senden(QStringLiteral("7:127.0.0.1:Gibtsnicht$") + zeile(1, 5, QStringLiteral("1"), 100));
        abwarten(a);
        QVERIFY2(w->statusBar()->currentMessage().endsWith(QStringLiteral(": die Gruppe Gibtsnicht gibt es nicht")),
            qPrintable(w->statusBar()->currentMessage()));
    }
};

REIZWERK_TEST(TstBegleiterAbend)
#include "tst_begleiterabend.moc"
