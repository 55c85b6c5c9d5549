#include "testumgebung.h"

#include "ui_mainwindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

#include "app/mainwindow.h"
#include "begleiter.h"
#include "link/client.h"
#include "setup/teilnehmertabelle.h"

using namespace Turnierbau;

// Companions that do not behave: they name other addresses, send results
// for tables not theirs, flood the program and fill its disk. A companion
// that behaves keeps being served.
namespace
{

quint16 port(Fenster& w)
{
    return w->link()->port();
}

QString status(Fenster& w)
{
    return w->findChild<QLabel*>(QStringLiteral("lblLinkStatus"))->text();
}

int punkte(QSqlDatabase db, int serie, int startNr)
{
    return wert(db, QStringLiteral("SELECT Punkte FROM Serie%1 WHERE StartNr=%2").arg(serie).arg(startNr)).toInt();
}

// The rules message answering a request for table 0 (which claims nothing)
// marks that everything the sender sent before has been handled.
int marken = 0;
QStringList bisZurMarke(Begleiter& b)
{
    ++marken;
    b.senden(QStringLiteral("5:%1:x$0@%2").arg(b.socket.localAddress().toString()).arg(marken));
    return b.bisMit(QStringLiteral("$0@%1@").arg(marken), 20000);
}
bool abgearbeitet(Begleiter& b)
{
    return !bisZurMarke(b).isEmpty();
}

// Measures the longest pause of the event loop while it runs.
class Takt
{
public:
    Takt()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { m_laengste = qMax(m_laengste, m_uhr.restart()); });
        m_uhr.start();
        m_timer.start();
    }
    qint64 laengste() const { return m_laengste; }

private:
    QTimer m_timer;
    QElapsedTimer m_uhr;
    qint64 m_laengste = 0;
};

} // namespace

class TstLinkHaertung : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void jederNurFuerSichUndSeinenTisch()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(8, 2);
        QVERIFY(db.isValid());
        sql(db, QStringLiteral("UPDATE Gruppe SET ErsterTisch=1, LetzterTisch=2"));
        for (int s : { 1, 2 })
            sitze(db, s,
                { { 100, 1, 1 }, { 101, 1, 2 }, { 102, 1, 3 }, { 103, 1, 4 }, { 104, 2, 1 }, { 105, 2, 2 },
                    { 106, 2, 3 }, { 107, 2, 4 } });
        QCOMPARE(w->settings()->value(QStringLiteral("Link/Erlauben")).toString(), QString());

        Begleiter a, b;
        QVERIFY(a.anmelden(port(w)));
        QVERIFY(b.anmelden(port(w), QStringLiteral("Listenbote"), QHostAddress(QStringLiteral("127.0.0.2"))));
        a.frames(1);
        b.frames(1);
        a.senden(QStringLiteral("5:127.0.0.1:x$1@1"));
        QVERIFY(
            a.bis(QStringLiteral("15:127.0.0.1:")).value(0).startsWith(QStringLiteral("6:127.0.0.1:Alle$1@1@100|")));

        // B names A's address: it is answered as itself, and cannot take A's
        // table, nor free it by moving on.
        b.bis(QStringLiteral("15:127.0.0.1:"));
        b.senden(QStringLiteral("5:127.0.0.1:x$1@1"));
        QCOMPARE(b.bis(QStringLiteral("15:")).value(0), QStringLiteral("3:127.0.0.2:Alle$1"));
        b.senden(QStringLiteral("5:127.0.0.1:x$2@1"));
        QVERIFY(b.bis(QStringLiteral("15:")).value(0).startsWith(QStringLiteral("6:127.0.0.2:Alle$2@1@104|")));
        // A saw no answer addressed to it that it did not ask for.
        const QStringList beiA = bisZurMarke(a);
        QVERIFY(!beiA.isEmpty());
        for (const QString& f : beiA)
            QVERIFY2(!f.startsWith(QLatin1String("6:127.0.0.1:")) && !f.startsWith(QLatin1String("3:127.0.0.1:")),
                qPrintable(f));
        a.senden(QStringLiteral("5:127.0.0.1:x$1@2"));
        QVERIFY(a.bis(QStringLiteral("15:127.0.0.1:")).value(0).startsWith(QStringLiteral("6:127.0.0.1:Alle$1@2@")));

        // Results for A's players, sent by B under A's address: refused.
        b.senden(QStringLiteral("7:127.0.0.1:Alle$L|x|1|999|a|b|1|c|100@L|x|2|-5000|a|b|1|c|101"));
        // B's own players are taken.
        b.senden(QStringLiteral("7:127.0.0.2:Alle$L|x|1|31|a|b|2.5|c|104"));
        QVERIFY(abgearbeitet(b));
        QCOMPARE(punkte(db, 1, 100), 0);
        QCOMPARE(punkte(db, 2, 101), 0);
        QTRY_COMPARE(punkte(db, 1, 104), 31);
        QCOMPARE(status(w), QStringLiteral("Verbindung: Port %1, 2 Begleiter, 2 Ergebnisse abgelehnt").arg(port(w)));

        // A peer that never joined as the companion stores nothing, whatever
        // address it names.
        Begleiter x;
        QVERIFY(x.anmelden(port(w), QStringLiteral("ListenboteX"), QHostAddress(QStringLiteral("127.0.0.3"))));
        x.senden(QStringLiteral("7:127.0.0.1:Alle$L|x|1|999|a|b|1|c|100@L|x|1|999|a|b|1|c|105"));
        QVERIFY(abgearbeitet(x));
        QCOMPARE(punkte(db, 1, 100), 0);
        QCOMPARE(punkte(db, 1, 105), 0);

        // A companion that lost its connection and joins anew holds no table,
        // but the seat lists it was sent stay its own: its lines for them are
        // taken and give it its table again; implausible values are refused
        // line by line.
        a.socket.disconnectFromHost();
        QTRY_COMPARE(w->link()->anzahlTeilnehmer(), 2);
        Begleiter wieder;
        QVERIFY(wieder.anmelden(port(w), QStringLiteral("Listenbote"), QHostAddress(QStringLiteral("127.0.0.1"))));
        wieder.senden(QStringLiteral("7:127.0.0.1:Alle$L|x|1|7|a|b|1|c|105@L|x|1|2147483647|a|b|1|c|100@"
                                     "L|x|2|2147483647|a|b|1|c|100@L|x|1|23|a|b|1e308|c|101@L|x|1|23|a|b|1.5|c|101@"
                                     "L|x|1|-100001|a|b|1|c|102@L|x|2|-40|a|b|0.5|c|103"));
        QVERIFY(abgearbeitet(wieder));
        QTRY_COMPARE(punkte(db, 1, 101), 23);
        QCOMPARE(punkte(db, 2, 103), -40);
        QCOMPARE(punkte(db, 1, 105), 0);
        QCOMPARE(punkte(db, 1, 100), 0);
        QCOMPARE(punkte(db, 2, 100), 0);
        QCOMPARE(punkte(db, 1, 102), 0);
        QCOMPARE(wert(db, QStringLiteral("SELECT SummePunkte FROM Teilnehmer WHERE StartNr=101")).toInt(), 23);
        QCOMPARE(wert(db, QStringLiteral("SELECT SummeKosten FROM Teilnehmer WHERE StartNr=101")).toDouble(), 1.5);
        QCOMPARE(status(w), QStringLiteral("Verbindung: Port %1, 3 Begleiter, 9 Ergebnisse abgelehnt").arg(port(w)));
        // The table is now held: another companion is refused it.
        b.senden(QStringLiteral("5:127.0.0.2:x$1@1"));
        const QStringList antwort = b.bis(QStringLiteral("15:127.0.0.2:"));
        QVERIFY(antwort.size() >= 2);
        // (The list name is the roster's, sent last when the new one joined.)
        QCOMPARE(antwort.at(antwort.size() - 2), QStringLiteral("3:127.0.0.2:AlleSpieler$1"));
    }

    void flutenHaeltDasFensterBedienbar()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(4, 1);
        QVERIFY(db.isValid());
        sitze(db, 1, { { 100, 1, 1 }, { 101, 1, 2 }, { 102, 1, 3 }, { 103, 1, 4 } });
        Begleiter gut, flut;
        QVERIFY(gut.anmelden(port(w)));
        QVERIFY(flut.anmelden(port(w), QStringLiteral("Listenbote"), QHostAddress(QStringLiteral("127.0.0.2"))));

        // Many small requests in one burst.
        QByteArray burst;
        const QByteArray anfrage = Begleiter::frame("5:127.0.0.2:x$1@1");
        for (int i = 0; i < 20000; ++i)
            burst += anfrage;
        {
            Takt takt;
            flut.roh(burst);
            QVERIFY(QTest::qWaitFor([&] { return w->link()->anzahlTeilnehmer() == 1; }, 30000));
            // Well below the half second the window may pause; loose, since
            // the machine may be busy with other work.
            QVERIFY2(takt.laengste() < 1000, qPrintable(QString::number(takt.laengste())));
        }
        QVERIFY(abgearbeitet(gut));

        // One message of very many result lines.
        Begleiter zeilen;
        QVERIFY(zeilen.anmelden(port(w), QStringLiteral("Listenbote"), QHostAddress(QStringLiteral("127.0.0.3"))));
        // The flood's seat list of table 1 passes to this companion only
        // when it is sent the list itself.
        zeilen.senden(QStringLiteral("5:127.0.0.3:x$1@1"));
        const QString antwort = zeilen.bis(QStringLiteral("15:127.0.0.3:")).join(QLatin1Char('\n'));
        QVERIFY2(antwort.contains(QStringLiteral("\n6:127.0.0.3:Alle$1@1@")), qPrintable(antwort));
        QStringList viele;
        for (int i = 0; i < 200000; ++i)
            viele << QStringLiteral("L|x|1|%1|a|b|1|c|%2").arg(i % 1000).arg(100 + i % 4);
        {
            Takt takt;
            zeilen.senden(QStringLiteral("7:127.0.0.3:Alle$") + viele.join(QLatin1Char('@')));
            QVERIFY(abgearbeitet(zeilen));
            QVERIFY2(takt.laengste() < 2000, qPrintable(QString::number(takt.laengste())));
        }
        // Only the first lines up to the bound were read; of those, the last
        // for each player counts.
        QTRY_COMPARE(punkte(db, 1, 103), 999);
        QCOMPARE(punkte(db, 1, 100), 996);
        QVERIFY(abgearbeitet(gut));
    }

    void spiellistenBegrenzt()
    {
        Fenster w;
        QVERIFY(w.gruppe(4, 1).isValid());
        const QString listen = w->turnierOrdner() + QStringLiteral("/SpielListen");
        QVERIFY(QDir().mkpath(listen));
        for (int i = 0; i < 999; ++i) {
            QFile f(listen + QStringLiteral("/f%1").arg(i));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        Begleiter a;
        QVERIFY(a.anmelden(port(w)));
        a.senden(QStringLiteral("16:127.0.0.1:x$eigen@text"));
        a.senden(QStringLiteral("16:127.0.0.1:x$neu@text"));
        a.senden(QStringLiteral("16:127.0.0.1:x$eigen@ersetzt"));
        QVERIFY(abgearbeitet(a));
        QVERIFY(!QFileInfo::exists(listen + QStringLiteral("/neu")));
        // The device's own file is replaced within the bounds.
        QCOMPARE(Testumgebung::dateiInhalt(listen + QStringLiteral("/eigen")), QByteArray("ersetzt\n"));
        // A file it did not write is kept beside the new one, which needs
        // room the full day lacks.
        a.senden(QStringLiteral("16:127.0.0.1:x$f7@ersetzt"));
        a.senden(QStringLiteral("17:127.0.0.1:x$neu2@") + QString::fromLatin1(qCompress(QByteArray("a")).toBase64()));
        QVERIFY(abgearbeitet(a));
        QCOMPARE(Testumgebung::dateiInhalt(listen + QStringLiteral("/f7")), QByteArray());
        QVERIFY(!QFileInfo::exists(listen + QStringLiteral("/f7.1")));
        QVERIFY(!QFileInfo::exists(listen + QStringLiteral("/neu2")));
        QCOMPARE(w->statusBar()->currentMessage(),
            QStringLiteral("Spielliste neu2 von 127.0.0.1 abgelehnt: je Spieltag hoechstens 1000 Dateien mit 256 MiB, "
                           "je Geraet 200 Dateien mit 32 MiB"));

        // The size bound, with one large (sparse) file already there.
        for (int i = 0; i < 999; ++i)
            QVERIFY(QFile::remove(listen + QStringLiteral("/f%1").arg(i)));
        QVERIFY(QFile::remove(listen + QStringLiteral("/eigen")));
        QFile gross(listen + QStringLiteral("/gross"));
        QVERIFY(gross.open(QIODevice::WriteOnly) && gross.resize(qint64(256) * 1024 * 1024 - 4));
        gross.close();
        // Counted anew once the recount is due.
        QTest::qWait(5100);
        a.senden(QStringLiteral("16:127.0.0.1:x$klein@1234"));
        a.senden(QStringLiteral("16:127.0.0.1:x$passt@12"));
        QVERIFY(abgearbeitet(a));
        QVERIFY(!QFileInfo::exists(listen + QStringLiteral("/klein")));
        QCOMPARE(Testumgebung::dateiInhalt(listen + QStringLiteral("/passt")), QByteArray("12\n"));
        QCOMPARE(QDir(listen).entryList(QDir::Files | QDir::Hidden),
            QStringList({ QStringLiteral(".herkunft"), QStringLiteral("gross"), QStringLiteral("passt") }));
    }
};

REIZWERK_TEST(TstLinkHaertung)
#include "tst_linkhaertung.moc"
