#include "testumgebung.h"

#include "ui_mainwindow.h"

#include <QStandardItemModel>

#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QSettings>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrlQuery>

#include <atomic>
#include <chrono>
#include <thread>

#include "app/mainwindow.h"
#include "web/server.h"
#include "web/tischapp.h"
#include "webhilfe.h"

using namespace Turnierbau;

namespace
{

// A table's address with the path of an API call instead of the page.
QString api(const QString& tischAdresse, const QString& pfad)
{
    QString a = tischAdresse;
    return a.replace(QLatin1String("/tisch?"), pfad + QLatin1Char('?'));
}

QString basis(Fenster& w)
{
    return QStringLiteral("http://127.0.0.1:%1").arg(w->webServer()->port());
}

QJsonObject json(const HttpAntwort& a)
{
    return QJsonDocument::fromJson(a.inhalt).object();
}

QString fehlerText(const HttpAntwort& a)
{
    return json(a).value(QStringLiteral("fehler")).toString();
}

// Seven players: table 1 of four (100-103) and table 2 of three (104-106)
// in series 1; series 2 not drawn.
QSqlDatabase spieltag(Fenster& w)
{
    QSqlDatabase db = w.gruppe(7, 3);
    sitze(db, 1,
        { { 100, 1, 1 }, { 101, 1, 2 }, { 102, 1, 3 }, { 103, 1, 4 }, { 104, 2, 1 }, { 105, 2, 2 }, { 106, 2, 3 } });
    return db;
}

QString seriePunkte(QSqlDatabase db, int serie)
{
    QStringList p;
    const QVariantList werte = spalte(db,
        QStringLiteral("SELECT Punkte || '/' || Kosten FROM Serie%1 WHERE Tisch>0 ORDER BY Tisch, TischIntern")
            .arg(serie));
    for (const QVariant& v : werte)
        p << v.toString();
    return p.join(QLatin1Char(' '));
}

const QByteArray dreierListe = R"({"spiele":[
    {"spieler":104,"wert":23,"gewonnen":true},
    {"spieler":105,"wert":24,"gewonnen":false},
    {"eingepasst":true},
    {"spieler":106,"wert":36,"gewonnen":true},
    {"spieler":104,"wert":18,"gewonnen":false}]})";

// Reads the HTTP status line of a raw connection, or nothing when it closes
// or stays silent.
QByteArray statusZeile(QTcpSocket& s, int zeitMs)
{
    QElapsedTimer t;
    t.start();
    while (!s.canReadLine() && t.elapsed() < zeitMs && s.state() == QAbstractSocket::ConnectedState)
        s.waitForReadyRead(100);
    return s.canReadLine() ? s.readLine().trimmed() : QByteArray();
}

bool schliesstBinnen(QTcpSocket& s, int zeitMs)
{
    QElapsedTimer t;
    t.start();
    while (s.state() != QAbstractSocket::UnconnectedState && t.elapsed() < zeitMs) {
        s.waitForReadyRead(100);
        s.readAll();
    }
    return s.state() == QAbstractSocket::UnconnectedState;
}

// A raw connection from a given loopback address (127.0.0.2 stands for
// another device on the club's network).
bool verbinden(QTcpSocket& s, quint16 port, const QString& von = QStringLiteral("127.0.0.1"))
{
    if (!s.bind(QHostAddress(von)))
        return false;
    s.connectToHost(QHostAddress::LocalHost, port);
    return s.waitForConnected(3000);
}

// A server that answers every request with its path and counts them.
struct EchoServer {
    explicit EchoServer(Web::Grenzen g = {})
        : server(
            [this](const Web::Anfrage& a) {
                ++bearbeitet;
                Web::Antwort x;
                x.inhalt = a.pfad.toUtf8();
                return x;
            },
            g)
    {
    }
    std::atomic<int> bearbeitet { 0 };
    Web::Server server;
};

QByteArray kopfMitZeilen(int zeilen)
{
    QByteArray a = "GET /kopf HTTP/1.1\r\nHost: x\r\n";
    for (int i = 2; i < zeilen; ++i) // with Host and Connection
        a += "X-Zeile-" + QByteArray::number(i) + ": a\r\n";
    return a + "Connection: close\r\n\r\n";
}

} // namespace

class TstWebServer : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void startUndStatus()
    {
        {
            Fenster w;
            QVERIFY(w->webServer() && w->webServer()->laeuft());
            auto* status = w->findChild<QLabel*>(QStringLiteral("lblWebStatus"));
            QVERIFY(status);
            QCOMPARE(
                status->text(), QStringLiteral("Tisch-App: http://127.0.0.1:%1/anzeige").arg(w->webServer()->port()));
            QVERIFY(w->aktion(QStringLiteral("actTischCodes")));
            // No match day yet: no table has an address.
            QVERIFY(w->tischAdresse(QStringLiteral("Alle"), 1, 1).isEmpty());
        }

        // A port that is taken: shown, and the program works on.
        QTcpServer belegt;
        QVERIFY(belegt.listen(QHostAddress::LocalHost));
        Testumgebung::einstellen(QStringLiteral("Web/Port"), belegt.serverPort());
        {
            Fenster w;
            QVERIFY(!w->webServer()->laeuft());
            auto* status = w->findChild<QLabel*>(QStringLiteral("lblWebStatus"));
            QVERIFY2(status->text().startsWith(QStringLiteral("Tisch-App: FEHLER Port %1 ").arg(belegt.serverPort())),
                qPrintable(status->text()));
            QVERIFY(w->tischAdresse(QStringLiteral("Alle"), 1, 1).isEmpty());
            QVERIFY(w->link()); // the rest of the program runs
        }

        // Switched off.
        Testumgebung::einstellen(QStringLiteral("Web/Aktiv"), false);
        {
            Fenster w;
            QVERIFY(!w->webServer()->laeuft());
            QCOMPARE(w->findChild<QLabel*>(QStringLiteral("lblWebStatus"))->text(), QStringLiteral("Tisch-App: aus"));
        }
    }

    void tokens()
    {
        Fenster w;
        spieltag(w);
        // A match day without the app keeps its folder as it was.
        const QString geheim = w->turnierOrdner() + QLatin1Char('/') + Web::Schluessel::dateiName;
        QVERIFY(!QFile::exists(geheim));
        const QString a = w->tischAdresse(QStringLiteral("Alle"), 1, 2);
        QVERIFY(QFile::exists(geheim));
        QVERIFY2(
            a.startsWith(QStringLiteral("http://127.0.0.1:%1/tisch?g=Alle&s=1&t=2&k=").arg(w->webServer()->port())),
            qPrintable(a));
        const QString k = QUrlQuery(QUrl(a)).queryItemValue(QStringLiteral("k"));
        QVERIFY2(k.size() >= 22, qPrintable(k)); // at least 128 bits in Base64
        // Each group, series and table has its own token.
        const QStringList andere { w->tischAdresse(QStringLiteral("Alle"), 1, 1),
            w->tischAdresse(QStringLiteral("Alle"), 2, 2), w->tischAdresse(QStringLiteral("Herren"), 1, 2) };
        for (const QString& x : andere)
            QVERIFY(QUrlQuery(QUrl(x)).queryItemValue(QStringLiteral("k")) != k);
        // Valid across a restart.
        w.neuStarten();
        QCOMPARE(
            w->tischAdresse(QStringLiteral("Alle"), 1, 2).section(QLatin1Char('?'), 1), a.section(QLatin1Char('?'), 1));
        QCOMPARE(http(QStringLiteral("GET"),
                     api(w->tischAdresse(QStringLiteral("Alle"), 1, 2), QStringLiteral("/api/tisch")))
                     .status,
            200);
    }

    void lesenNurMitToken()
    {
        Fenster w;
        spieltag(w);
        const QString a = w->tischAdresse(QStringLiteral("Alle"), 1, 1);
        const QString k = QUrlQuery(QUrl(a)).queryItemValue(QStringLiteral("k"));

        HttpAntwort r = http(QStringLiteral("GET"), api(a, QStringLiteral("/api/tisch")));
        QCOMPARE(r.status, 200);
        const QJsonObject t = json(r);
        QCOMPARE(t.value(QStringLiteral("gruppe")).toString(), QStringLiteral("Alle"));
        QCOMPARE(t.value(QStringLiteral("maxSpiele")).toInt(), 48);
        QStringList nummern;
        for (const QJsonValue& s : t.value(QStringLiteral("spieler")).toArray())
            nummern << QString::number(s.toObject().value(QStringLiteral("startNr")).toInt());
        QCOMPARE(nummern.join(QLatin1Char(',')), QStringLiteral("100,101,102,103"));
        QCOMPARE(t.value(QStringLiteral("regeln")).toObject().value(QStringLiteral("punkteGegen4er")).toInt(), 30);
        QCOMPARE(http(QStringLiteral("GET"), a).status, 200);

        // Without the token, with another table's token, or a changed one:
        // neither the page nor its data.
        QString ohne = api(a, QStringLiteral("/api/tisch"));
        ohne.replace(QStringLiteral("&k=") + k, QString());
        const QStringList falsch { ohne,
            api(a, QStringLiteral("/api/tisch")).replace(QStringLiteral("t=1"), QStringLiteral("t=2")),
            api(a, QStringLiteral("/api/tisch"))
                .replace(k, k.left(k.size() - 1) + (k.endsWith(QLatin1Char('A')) ? 'B' : 'A')) };
        for (const QString& x : falsch) {
            r = http(QStringLiteral("GET"), x);
            QCOMPARE(r.status, 403);
            QVERIFY(fehlerText(r).contains(QLatin1String("QR-Code")));
        }
        r = http(QStringLiteral("GET"), QString(a).replace(k, QStringLiteral("x")));
        QCOMPARE(r.status, 403);
        QVERIFY(r.typ.startsWith("text/html"));

        // A token for a series that is not drawn.
        r = http(
            QStringLiteral("GET"), api(w->tischAdresse(QStringLiteral("Alle"), 2, 1), QStringLiteral("/api/tisch")));
        QCOMPARE(r.status, 404);
        QCOMPARE(fehlerText(r), QStringLiteral("Serie 2 ist noch nicht ausgelost."));
        r = http(QStringLiteral("POST"),
            api(w->tischAdresse(QStringLiteral("Alle"), 2, 1), QStringLiteral("/api/liste")), R"({"spiele":[]})");
        QCOMPARE(r.status, 404);
        r = http(
            QStringLiteral("GET"), api(w->tischAdresse(QStringLiteral("Alle"), 1, 9), QStringLiteral("/api/tisch")));
        QCOMPARE(r.status, 404);

        // The public page needs no token and shows none.
        r = http(QStringLiteral("GET"), basis(w) + QStringLiteral("/anzeige"));
        QCOMPARE(r.status, 200);
        QVERIFY(r.typ.startsWith("text/html"));
        r = http(QStringLiteral("GET"), basis(w) + QStringLiteral("/api/anzeige"));
        QCOMPARE(r.status, 200);
        QVERIFY(!r.inhalt.contains(k.toLatin1()));
        QCOMPARE(json(r)
                     .value(QStringLiteral("gruppen"))
                     .toArray()
                     .at(0)
                     .toObject()
                     .value(QStringLiteral("zeilen"))
                     .toArray()
                     .size(),
            7);

        // Only the compiled files, by their names.
        QCOMPARE(http(QStringLiteral("GET"), basis(w) + QStringLiteral("/seite/tisch.js")).status, 200);
        QCOMPARE(http(QStringLiteral("GET"), basis(w) + QStringLiteral("/seite/tisch.html")).status, 404);
        QCOMPARE(http(QStringLiteral("GET"), basis(w) + QStringLiteral("/seite/gibtsnicht.js")).status, 404);
        QCOMPARE(http(QStringLiteral("DELETE"), basis(w) + QStringLiteral("/api/liste")).status, 404);
        QTcpSocket roh;
        roh.connectToHost(QHostAddress::LocalHost, w->webServer()->port());
        QVERIFY(roh.waitForConnected(3000));
        roh.write("GET /seite/../../../CMakeLists.txt HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
        const QByteArray zeile = statusZeile(roh, 5000);
        QVERIFY2(zeile.contains(" 404") || zeile.contains(" 400"), zeile.constData());
    }

    void ablehnungenSpeichernNichts()
    {
        Fenster w;
        QSqlDatabase db = spieltag(w);
        sql(db, QStringLiteral("UPDATE Gruppe SET AnzahlSpiele3er=5"));
        const QString liste = api(w->tischAdresse(QStringLiteral("Alle"), 1, 2), QStringLiteral("/api/liste"));
        const QString ordner = w->turnierOrdner() + QStringLiteral("/SpielListen");

        const struct {
            QByteArray koerper;
            int status;
            const char* text;
        } falsch[] = {
            { QByteArray(70 * 1024, ' ') + R"({"spiele":[]})", 413, "zu groß" },
            { "{\"spiele\":[{\"spieler\":104", 400, "JSON" },
            { R"({"spiele":[],"summen":[100,0,0]})", 400, "Unbekanntes Feld" },
            { R"({"spiele":[{"spieler":104,"wert":23,"gewonnen":true,"punkte":500}]})", 400, "Unbekanntes Feld" },
            { R"({"spiele":[{"spieler":104,"wert":26,"gewonnen":true}]})", 422, "kein möglicher Spielwert" },
            { R"({"spiele":[{"spieler":100,"wert":23,"gewonnen":true}]})", 422, "nicht an diesem Tisch" },
            { R"({"spiele":[{"eingepasst":true},{"eingepasst":true},{"eingepasst":true},{"eingepasst":true},
                {"eingepasst":true},{"spieler":104,"wert":23,"gewonnen":true}]})",
                422, "höchstens 5" },
        };
        for (const auto& x : falsch) {
            const HttpAntwort r = http(QStringLiteral("POST"), liste, x.koerper);
            QVERIFY2(r.status == x.status,
                qPrintable(
                    QStringLiteral("%1 statt %2: %3").arg(r.status).arg(x.status).arg(QString::fromUtf8(r.inhalt))));
            QVERIFY2(fehlerText(r).contains(QString::fromUtf8(x.text)), qPrintable(fehlerText(r)));
        }
        QCOMPARE(seriePunkte(db, 1), QStringLiteral("0/0 0/0 0/0 0/0 0/0 0/0 0/0"));
        QVERIFY(QDir(ordner).entryList(QDir::Files).isEmpty());
        // Without a token nothing is written either.
        QCOMPARE(
            http(QStringLiteral("POST"), QString(liste).section(QStringLiteral("&k="), 0, 0), dreierListe).status, 403);
        QCOMPARE(seriePunkte(db, 1), QStringLiteral("0/0 0/0 0/0 0/0 0/0 0/0 0/0"));
    }

    void speichernUndErneutSenden()
    {
        Fenster w;
        QSqlDatabase db = spieltag(w);
        const QString liste = api(w->tischAdresse(QStringLiteral("Alle"), 1, 2), QStringLiteral("/api/liste"));
        HttpAntwort r = http(QStringLiteral("POST"), liste, dreierListe);
        QCOMPARE(r.status, 200);
        QVERIFY(json(r).value(QStringLiteral("gespeichert")).toBool());
        QCOMPARE(json(r)
                     .value(QStringLiteral("ergebnisse"))
                     .toArray()
                     .at(2)
                     .toObject()
                     .value(QStringLiteral("punkte"))
                     .toInt(),
            166);
        // Stored through the open match day (its sums and ranking:
        // TstOffenerSpieltag), and the results table shows it.
        QCOMPARE(seriePunkte(db, 1), QStringLiteral("0/0 0/0 0/0 0/0 27/3.5 -58/4.5 166/1"));
        QCOMPARE(spaltenTexte(w->teilnehmer(), 3).join(QLatin1Char(',')), QStringLiteral("0,0,0,0,27,-58,166"));
        const QString datei = w->turnierOrdner() + QStringLiteral("/SpielListen/Alle_Serie1_Tisch2.txt");
        const QString text = QString::fromUtf8(Testumgebung::dateiInhalt(datei));
        QVERIFY2(text.contains(QLatin1String("Vorname7 Nachname7: Punkte 166, Kosten 1.00")), qPrintable(text));

        // Sending the same list again replaces it: no double counting.
        QCOMPARE(http(QStringLiteral("POST"), liste, dreierListe).status, 200);
        QCOMPARE(seriePunkte(db, 1), QStringLiteral("0/0 0/0 0/0 0/0 27/3.5 -58/4.5 166/1"));
        QCOMPARE(wert(db, QStringLiteral("SELECT SummePunkte FROM Teilnehmer WHERE StartNr=106")).toInt(), 166);

        // A corrected list replaces the earlier one.
        QCOMPARE(
            http(QStringLiteral("POST"), liste, R"({"spiele":[{"spieler":105,"wert":48,"gewonnen":true}]})").status,
            200);
        QCOMPARE(seriePunkte(db, 1), QStringLiteral("0/0 0/0 0/0 0/0 0/2.5 98/1 0/2.5"));

        // The public standings follow.
        r = http(QStringLiteral("GET"), basis(w) + QStringLiteral("/api/anzeige"));
        const QJsonObject erste = json(r)
                                      .value(QStringLiteral("gruppen"))
                                      .toArray()
                                      .at(0)
                                      .toObject()
                                      .value(QStringLiteral("zeilen"))
                                      .toArray()
                                      .at(0)
                                      .toObject();
        QCOMPARE(erste.value(QStringLiteral("summe")).toInt(), 98);
        QCOMPARE(erste.value(QStringLiteral("platz")).toInt(), 1);
        QCOMPARE(erste.value(QStringLiteral("name")).toString(), QStringLiteral("Vorname6 Nachname6"));
    }

    void kopfBegrenzt()
    {
        Web::Grenzen g;
        g.kopfFristSek = 2;
        g.zeitLimitSek = 3;
        EchoServer e(g);
        QVERIFY(e.server.starten(QStringLiteral("127.0.0.1"), 0));

        // Up to 100 header lines are read; more, or more than 16 KiB in all,
        // are refused with 431 and the connection is closed.
        const struct {
            QByteArray anfrage;
            const char* status;
        } faelle[] = {
            { kopfMitZeilen(100), "HTTP/1.1 200" },
            { kopfMitZeilen(101), "HTTP/1.1 431" },
            { kopfMitZeilen(2000), "HTTP/1.1 431" },
            { "GET /kopf HTTP/1.1\r\nHost: x\r\nX-Lang: " + QByteArray(17 * 1024, 'a') + "\r\n\r\n", "HTTP/1.1 431" },
            { "GET /" + QByteArray(20 * 1024, 'a') + " HTTP/1.1\r\nHost: x\r\n\r\n", "HTTP/1.1 431" },
        };
        for (const auto& f : faelle) {
            QTcpSocket s;
            QVERIFY(verbinden(s, e.server.port()));
            s.write(f.anfrage);
            QCOMPARE(statusZeile(s, 5000).left(12), QByteArray(f.status));
            QVERIFY(schliesstBinnen(s, 3000));
        }
        QCOMPARE(e.bearbeitet.load(), 1);

        // Header lines without end: the connection ends after the limit,
        // however fast the lines come.
        QTcpSocket endlos;
        QVERIFY(verbinden(endlos, e.server.port()));
        endlos.write("GET /endlos HTTP/1.1\r\nHost: x\r\n");
        QByteArray antwort;
        int gesendet = 0;
        QElapsedTimer t;
        t.start();
        while (endlos.state() == QAbstractSocket::ConnectedState && t.elapsed() < 5000 && gesendet < 100000) {
            endlos.write("X-Mehr: aaaaaaaaaaaaaaaa\r\n");
            endlos.waitForBytesWritten(50);
            ++gesendet;
            if (endlos.waitForReadyRead(1))
                antwort += endlos.readAll();
        }
        antwort += endlos.readAll();
        QVERIFY2(antwort.startsWith("HTTP/1.1 431"), antwort.left(40).constData());
        QVERIFY(schliesstBinnen(endlos, 3000));

        // A head that trickles in is cut off after its time, although each
        // byte comes well within the time limit of a single read.
        QTcpSocket langsam;
        QVERIFY(verbinden(langsam, e.server.port()));
        const QByteArray kopf = kopfMitZeilen(40);
        QByteArray zeile;
        t.restart();
        for (int i = 0; i < kopf.size() && langsam.state() == QAbstractSocket::ConnectedState && t.elapsed() < 8000
             && zeile.isEmpty();
             ++i) {
            langsam.write(kopf.mid(i, 1));
            langsam.flush();
            langsam.waitForReadyRead(100);
            zeile += langsam.readAll();
        }
        zeile += langsam.readAll();
        QVERIFY2(zeile.startsWith("HTTP/1.1 408"), zeile.constData());
        QVERIFY(t.elapsed() < 6000);
        QCOMPARE(e.bearbeitet.load(), 1);

        // The window's server keeps these limits.
        Fenster w;
        QTcpSocket fenster;
        QVERIFY(verbinden(fenster, w->webServer()->port()));
        fenster.write(kopfMitZeilen(2000));
        QCOMPARE(statusZeile(fenster, 5000).left(12), QByteArray("HTTP/1.1 431"));
    }

    void eineAdresseNimmtNichtAlles()
    {
        Web::Grenzen g;
        g.arbeiter = 6;
        g.wartend = 20;
        g.zeitLimitSek = 10; // a started head may pause as long as it may take
        g.proAdresse = 3;
        EchoServer e(g);
        QVERIFY(e.server.starten(QStringLiteral("127.0.0.1"), 0));

        // One device opens many connections and trickles a byte now and
        // then on each; only three of them are taken, the rest refused.
        std::vector<std::unique_ptr<QTcpSocket>> langsam;
        for (int i = 0; i < 20; ++i) {
            langsam.push_back(std::make_unique<QTcpSocket>());
            QVERIFY(verbinden(*langsam.back(), e.server.port(), QStringLiteral("127.0.0.2")));
            langsam.back()->write("G");
            langsam.back()->flush();
        }
        QTest::qWait(300);
        int abgelehnt = 0;
        for (auto& s : langsam) {
            s->waitForReadyRead(50);
            if (s->readAll().startsWith("HTTP/1.1 503"))
                ++abgelehnt;
        }
        QCOMPARE(abgelehnt, 17);

        // Every other table is served at once meanwhile.
        QElapsedTimer t;
        t.start();
        std::vector<std::unique_ptr<QTcpSocket>> tische;
        for (int i = 0; i < 6; ++i) {
            tische.push_back(std::make_unique<QTcpSocket>());
            QVERIFY(verbinden(*tische.back(), e.server.port(), QStringLiteral("127.0.0.%1").arg(10 + i)));
            tische.back()->write("GET /tisch HTTP/1.1\r\nHost: x\r\n\r\n");
        }
        for (auto& s : tische)
            QCOMPARE(statusZeile(*s, 6000).left(12), QByteArray("HTTP/1.1 200"));
        // Held by the device, they would have waited for its heads' 10 s.
        QVERIFY(t.elapsed() < 8000);
        QCOMPARE(e.bearbeitet.load(), 6);

        // Connections that never send a request give their worker up after
        // a second once others wait, instead of holding it for the time limit.
        std::vector<std::unique_ptr<QTcpSocket>> stumm;
        for (int i = 0; i < 6; ++i) {
            stumm.push_back(std::make_unique<QTcpSocket>());
            QVERIFY(verbinden(*stumm.back(), e.server.port(), QStringLiteral("127.0.0.%1").arg(30 + i)));
        }
        QTest::qWait(100);
        t.restart();
        QTcpSocket spaeter;
        QVERIFY(verbinden(spaeter, e.server.port(), QStringLiteral("127.0.0.40")));
        spaeter.write("GET /spaeter HTTP/1.1\r\nHost: x\r\n\r\n");
        QCOMPARE(statusZeile(spaeter, 8000).left(12), QByteArray("HTTP/1.1 200"));
        QVERIFY(t.elapsed() < 6000);
        stumm.clear();

        // Once the device's connections end, it is served again.
        langsam.clear();
        QTest::qWait(200);
        QTcpSocket wieder;
        QVERIFY(verbinden(wieder, e.server.port(), QStringLiteral("127.0.0.2")));
        wieder.write("GET /wieder HTTP/1.1\r\nHost: x\r\n\r\n");
        QCOMPARE(statusZeile(wieder, 3000).left(12), QByteArray("HTTP/1.1 200"));
    }

    void nurDasLokaleNetz()
    {
        EchoServer e;
        // Without a rule: the local network only.
        QVERIFY(e.server.zugelassen(QHostAddress(QStringLiteral("192.168.1.20"))));
        QVERIFY(!e.server.zugelassen(QHostAddress(QStringLiteral("203.0.113.77"))));
        // A refused address gets nothing but the refusal; the request is
        // never handled.
        e.server.zulassen([](const QHostAddress& a) { return a != QHostAddress(QStringLiteral("127.0.0.2")); });
        QVERIFY(e.server.starten(QStringLiteral("127.0.0.1"), 0));
        QTcpSocket fremd;
        QVERIFY(verbinden(fremd, e.server.port(), QStringLiteral("127.0.0.2")));
        fremd.write("GET /api/anzeige HTTP/1.1\r\nHost: x\r\n\r\n");
        QCOMPARE(statusZeile(fremd, 3000).left(12), QByteArray("HTTP/1.1 403"));
        QVERIFY(schliesstBinnen(fremd, 3000));
        QTcpSocket lokal;
        QVERIFY(verbinden(lokal, e.server.port()));
        lokal.write("GET /api/anzeige HTTP/1.1\r\nHost: x\r\n\r\n");
        QCOMPARE(statusZeile(lokal, 3000).left(12), QByteArray("HTTP/1.1 200"));
        QCOMPARE(e.bearbeitet.load(), 1);

        // The window applies the link's rule with the addresses of
        // "Web/Erlauben", written empty at the first start.
        {
            Fenster w;
            QVERIFY(w->webServer()->zugelassen(QHostAddress(QStringLiteral("10.1.2.3"))));
            QVERIFY(w->webServer()->zugelassen(QHostAddress(QStringLiteral("::ffff:192.168.0.9"))));
            QVERIFY(!w->webServer()->zugelassen(QHostAddress(QStringLiteral("203.0.113.77"))));
            QVERIFY(!w->webServer()->zugelassen(QHostAddress(QStringLiteral("2001:db8::1"))));
        }
        {
            const QSettings ini(Testumgebung::einstellungsDatei(), QSettings::IniFormat);
            QVERIFY(ini.contains(QStringLiteral("Web/Erlauben")));
            QCOMPARE(ini.value(QStringLiteral("Web/Erlauben")).toString(), QString());
        }
        Testumgebung::einstellen(QStringLiteral("Web/Erlauben"), QStringLiteral("203.0.113.0/24"));
        Fenster w;
        QVERIFY(w->webServer()->zugelassen(QHostAddress(QStringLiteral("203.0.113.77"))));
        QVERIFY(!w->webServer()->zugelassen(QHostAddress(QStringLiteral("198.51.100.1"))));
    }

    void jederTischDerGruppe()
    {
        // A group whose tables run from 199 to 202.
        Fenster w;
        QSqlDatabase db = w.gruppe(14, 2);
        sitze(db, 1,
            { { 100, 199, 1 }, { 101, 199, 2 }, { 102, 199, 3 }, { 103, 199, 4 }, { 104, 200, 1 }, { 105, 200, 2 },
                { 106, 200, 3 }, { 107, 200, 4 }, { 108, 201, 1 }, { 109, 201, 2 }, { 110, 201, 3 }, { 111, 202, 1 },
                { 112, 202, 2 }, { 113, 202, 3 } });
        for (const int tisch : { 199, 200, 201, 202 }) {
            const QString a = w->tischAdresse(QStringLiteral("Alle"), 1, tisch);
            QCOMPARE(http(QStringLiteral("GET"), a).status, 200);
            const HttpAntwort r = http(QStringLiteral("GET"), api(a, QStringLiteral("/api/tisch")));
            QCOMPARE(r.status, 200);
            QCOMPARE(json(r).value(QStringLiteral("tisch")).toInt(), tisch);
        }
        const HttpAntwort r = http(QStringLiteral("POST"),
            api(w->tischAdresse(QStringLiteral("Alle"), 1, 201), QStringLiteral("/api/liste")),
            R"({"spiele":[{"spieler":110,"wert":23,"gewonnen":true}]})");
        QVERIFY2(r.status == 200, r.inhalt.constData());
        QCOMPARE(wert(db, QStringLiteral("SELECT Punkte FROM Serie1 WHERE StartNr=110")).toInt(), 23 + 50);
        // Beyond what any stored group can have: not an address.
        QCOMPARE(http(QStringLiteral("GET"), w->tischAdresse(QStringLiteral("Alle"), 1, 1001)).status, 403);
    }

    void leereListeErsetztNichts()
    {
        Fenster w;
        QSqlDatabase db = spieltag(w);
        const QString liste = api(w->tischAdresse(QStringLiteral("Alle"), 1, 2), QStringLiteral("/api/liste"));
        QCOMPARE(http(QStringLiteral("POST"), liste, dreierListe).status, 200);
        const QString vorher = seriePunkte(db, 1);
        const QVariant summe = wert(db, QStringLiteral("SELECT SummeKosten FROM Teilnehmer WHERE StartNr=106"));

        // A second phone closes and sends a list without a played game.
        for (const QByteArray& koerper :
            { QByteArray(R"({"spiele":[]})"), QByteArray(R"({"spiele":[{"eingepasst":true},{"eingepasst":true}]})") }) {
            const HttpAntwort r = http(QStringLiteral("POST"), liste, koerper);
            QCOMPARE(r.status, 422);
            QVERIFY2(fehlerText(r).contains(QLatin1String("kein gespieltes Spiel")), qPrintable(fehlerText(r)));
        }
        QCOMPARE(seriePunkte(db, 1), vorher);
        QCOMPARE(wert(db, QStringLiteral("SELECT SummeKosten FROM Teilnehmer WHERE StartNr=106")), summe);
    }

    void kostenInViertelEuro()
    {
        // Rules with quarter euros: a lost game costs 0.25.
        Testumgebung::einstellen(QStringLiteral("Kosten/VerlSp1Bis5"), 0.25);
        Fenster w;
        QSqlDatabase db = spieltag(w);
        const QString liste = api(w->tischAdresse(QStringLiteral("Alle"), 1, 2), QStringLiteral("/api/liste"));
        const HttpAntwort r = http(QStringLiteral("POST"), liste, dreierListe);
        QCOMPARE(r.status, 200);
        // One decimal, rounded as the results table rounds (2.75 and 3.75:
        // two of the three players lost a game at 0.25); the answer names
        // what is stored.
        QStringList gespeichert, beantwortet;
        for (const QVariant& v :
            spalte(db, QStringLiteral("SELECT Kosten FROM Serie1 WHERE Tisch=2 ORDER BY TischIntern")))
            gespeichert << v.toString();
        for (const QJsonValue& v : json(r).value(QStringLiteral("ergebnisse")).toArray())
            beantwortet << QString::number(v.toObject().value(QStringLiteral("kosten")).toDouble());
        QCOMPARE(gespeichert.join(QLatin1Char(' ')), QStringLiteral("2.8 3.8 1"));
        QCOMPARE(beantwortet, gespeichert);
        // Sums from the stored amounts, and the kept list names them too.
        QCOMPARE(wert(db, QStringLiteral("SELECT SummeKosten FROM Teilnehmer WHERE StartNr=105")).toDouble(), 3.8);
        const QString datei = w->turnierOrdner() + QStringLiteral("/SpielListen/Alle_Serie1_Tisch2.txt");
        const QString text = QString::fromUtf8(Testumgebung::dateiInhalt(datei));
        QVERIFY2(text.contains(QLatin1String("Kosten 3.80")), qPrintable(text));
    }

    void inaktivBleibtAmPlatz()
    {
        Fenster w;
        QSqlDatabase db = spieltag(w);
        // Made inactive after the draw: she keeps her seat until the next one.
        sql(db, QStringLiteral("UPDATE Serie1 SET Aktiv=0 WHERE StartNr=105"));
        const QString a = w->tischAdresse(QStringLiteral("Alle"), 1, 2);
        const HttpAntwort r = http(QStringLiteral("GET"), api(a, QStringLiteral("/api/tisch")));
        QCOMPARE(r.status, 200);
        QStringList sitzend;
        for (const QJsonValue& v : json(r).value(QStringLiteral("spieler")).toArray())
            sitzend << QStringLiteral("%1%2")
                           .arg(v.toObject().value(QStringLiteral("startNr")).toInt())
                           .arg(v.toObject().value(QStringLiteral("aktiv")).toBool() ? "" : "-inaktiv");
        QCOMPARE(sitzend.join(QLatin1Char(',')), QStringLiteral("104,105-inaktiv,106"));
        QCOMPARE(json(r).value(QStringLiteral("maxSpiele")).toInt(), 36);
        QCOMPARE(http(QStringLiteral("POST"), api(a, QStringLiteral("/api/liste")), dreierListe).status, 200);
        QCOMPARE(seriePunkte(db, 1), QStringLiteral("0/0 0/0 0/0 0/0 27/3.5 -58/4.5 166/1"));
    }

    void anzeigeEinmalJeAenderung()
    {
        Fenster w;
        QSqlDatabase db = spieltag(w);
        const QString anzeige = basis(w) + QStringLiteral("/api/anzeige");
        auto summeVon = [&](const QString& name) {
            const HttpAntwort r = http(QStringLiteral("GET"), anzeige);
            for (const QJsonValue& z : json(r)
                                           .value(QStringLiteral("gruppen"))
                                           .toArray()
                                           .at(0)
                                           .toObject()
                                           .value(QStringLiteral("zeilen"))
                                           .toArray())
                if (z.toObject().value(QStringLiteral("name")).toString() == name)
                    return z.toObject().value(QStringLiteral("summe")).toInt();
            return -1;
        };
        const int vorher = w->webAnzeigeBauten();
        QByteArray erste;
        for (int i = 0; i < 30; ++i) {
            const HttpAntwort r = http(QStringLiteral("GET"), anzeige);
            QCOMPARE(r.status, 200);
            if (i == 0)
                erste = r.inhalt;
            QCOMPARE(r.inhalt, erste);
        }
        QCOMPARE(w->webAnzeigeBauten(), vorher + 1);

        // A list from a table: the next request shows it.
        QCOMPARE(http(QStringLiteral("POST"),
                     api(w->tischAdresse(QStringLiteral("Alle"), 1, 2), QStringLiteral("/api/liste")), dreierListe)
                     .status,
            200);
        QCOMPARE(summeVon(QStringLiteral("Vorname7 Nachname7")), 166);
        QCOMPARE(w->webAnzeigeBauten(), vorher + 2);

        // Any other change of the group is found within a moment, and built once.
        sql(db, QStringLiteral("UPDATE Teilnehmer SET SummePunkte=500 WHERE StartNr=100"));
        QTRY_COMPARE_WITH_TIMEOUT(summeVon(QStringLiteral("Vorname1 Nachname1")), 500, 8000);
        const int danach = w->webAnzeigeBauten();
        QCOMPARE(danach, vorher + 3);
        for (int i = 0; i < 10; ++i)
            QCOMPARE(http(QStringLiteral("GET"), anzeige).status, 200);
        QTest::qWait(3500); // past the window's next look for changes
        QCOMPARE(w->webAnzeigeBauten(), danach);
    }

    void listeTrotzOffenemDialogGespeichert()
    {
        Fenster w;
        QSqlDatabase db = spieltag(w);
        const QUrl ziel(api(w->tischAdresse(QStringLiteral("Alle"), 1, 2), QStringLiteral("/api/liste")));
        const QByteArray anfrage = "POST " + ziel.path().toUtf8() + '?' + ziel.query(QUrl::FullyEncoded).toUtf8()
            + " HTTP/1.1\r\nHost: x\r\nContent-Type: application/json\r\nConnection: close\r\nContent-Length: "
            + QByteArray::number(dreierListe.size()) + "\r\n\r\n" + dreierListe;
        const quint16 port = w->webServer()->port();

        // A phone sends while the window shows a modal dialog; the request
        // runs on a thread of its own, so only the dialog's loop can answer.
        std::atomic<bool> fertig { false };
        QByteArray antwort;
        QDialog dlg(w.get());
        dlg.setObjectName(QStringLiteral("dlgTestOffen"));
        QTimer pruefen;
        QObject::connect(&pruefen, &QTimer::timeout, &dlg, [&] {
            if (fertig)
                dlg.accept();
        });
        std::thread telefon([&] {
            QTcpSocket s;
            s.connectToHost(QHostAddress::LocalHost, port);
            if (s.waitForConnected(3000)) {
                s.write(anfrage);
                s.waitForBytesWritten(3000);
                while (s.waitForReadyRead(12000))
                    antwort += s.readAll();
            }
            fertig = true;
        });
        pruefen.start(20);
        QTimer::singleShot(20000, &dlg, &QDialog::reject);
        dlg.exec();
        telefon.join();
        QVERIFY2(antwort.startsWith("HTTP/1.1 200"), antwort.left(200).constData());
        QCOMPARE(seriePunkte(db, 1), QStringLiteral("0/0 0/0 0/0 0/0 27/3.5 -58/4.5 166/1"));
    }

    void verbindungenBegrenzt()
    {
        Web::Grenzen g;
        g.arbeiter = 1;
        g.wartend = 1;
        g.zeitLimitSek = 1;
        g.hoechstDauerSek = 2;
        Web::Server s(
            [](const Web::Anfrage& a) {
                Web::Antwort x;
                x.inhalt = a.pfad.toUtf8();
                return x;
            },
            g);
        QVERIFY(s.starten(QStringLiteral("127.0.0.1"), 0));

        // The same port cannot be taken twice.
        Web::Server zweiter([](const Web::Anfrage&) { return Web::Antwort {}; });
        QVERIFY(!zweiter.starten(QStringLiteral("127.0.0.1"), s.port()));
        QVERIFY(!zweiter.fehlerText().isEmpty());

        // An idle connection is closed after the time limit.
        QTcpSocket still;
        still.connectToHost(QHostAddress::LocalHost, s.port());
        QVERIFY(still.waitForConnected(3000));
        QVERIFY(schliesstBinnen(still, 4000));

        // A connection that trickles a byte at a time is closed as well.
        QTcpSocket langsam;
        langsam.connectToHost(QHostAddress::LocalHost, s.port());
        QVERIFY(langsam.waitForConnected(3000));
        const QByteArray anfrage = "GET /langsam HTTP/1.1\r\nHost: x\r\nX-Lang: "
                                   "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\r\n\r\n";
        QElapsedTimer t;
        t.start();
        int i = 0;
        while (langsam.state() == QAbstractSocket::ConnectedState && i < anfrage.size() && t.elapsed() < 8000) {
            langsam.write(anfrage.mid(i++, 1));
            langsam.flush();
            langsam.waitForReadyRead(400);
        }
        QVERIFY2(langsam.state() != QAbstractSocket::ConnectedState || !langsam.readAll().contains("200"),
            "a trickling request was served in full");
        QVERIFY(t.elapsed() < 7000);

        // With the worker busy and the waiting place taken, the next
        // connection is told the program is busy instead of piling up.
        std::atomic<int> drin { 0 };
        std::atomic<bool> frei { false };
        Web::Server voll(
            [&](const Web::Anfrage&) {
                ++drin;
                for (int i = 0; i < 500 && !frei; ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                return Web::Antwort {};
            },
            g);
        QVERIFY(voll.starten(QStringLiteral("127.0.0.1"), 0));
        QTcpSocket a, b, c;
        a.connectToHost(QHostAddress::LocalHost, voll.port());
        QVERIFY(a.waitForConnected(3000));
        a.write("GET /a HTTP/1.1\r\nHost: x\r\n\r\n");
        a.flush();
        QTRY_COMPARE_WITH_TIMEOUT(drin.load(), 1, 5000);
        b.connectToHost(QHostAddress::LocalHost, voll.port());
        QVERIFY(b.waitForConnected(3000));
        b.write("GET /b HTTP/1.1\r\nHost: x\r\n\r\n");
        b.flush();
        QTest::qWait(300);
        c.connectToHost(QHostAddress::LocalHost, voll.port());
        QVERIFY(c.waitForConnected(3000));
        c.write("GET /c HTTP/1.1\r\nHost: x\r\n\r\n");
        QCOMPARE(statusZeile(c, 4000).left(12), QByteArray("HTTP/1.1 503"));
        QCOMPARE(drin.load(), 1);
        frei = true;
        // The waiting one is served once the worker is free.
        QCOMPARE(statusZeile(b, 4000).left(12), QByteArray("HTTP/1.1 200"));
    }
};

REIZWERK_TEST(TstWebServer)
#include "tst_webserver.moc"
