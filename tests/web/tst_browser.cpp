#include "testumgebung.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>

#include "app/mainwindow.h"
#include "web/tischapp.h"
#include "webhilfe.h"

using namespace Turnierbau;

namespace
{

const QString ordner = QStringLiteral(REIZWERK_TESTDATA "/../web/browser");

// Runs the browser script with the event loop going, so the window answers
// the page; the script's output as JSON (empty on failure, with the reason).
QJsonObject imBrowser(const QJsonObject& auftrag, QString& fehler)
{
    QProcess p;
    p.setWorkingDirectory(ordner);
    p.start(QStandardPaths::findExecutable(QStringLiteral("node")),
        { ordner + QStringLiteral("/tisch_im_browser.js"),
            QString::fromUtf8(QJsonDocument(auftrag).toJson(QJsonDocument::Compact)) });
    if (!p.waitForStarted(10000)) {
        fehler = QStringLiteral("node startet nicht");
        return {};
    }
    QElapsedTimer t;
    t.start();
    while (p.state() != QProcess::NotRunning && t.elapsed() < 90000)
        QTest::qWait(50);
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished(5000);
        fehler = QStringLiteral("Zeit abgelaufen");
        return {};
    }
    const QByteArray aus = p.readAllStandardOutput();
    if (p.exitCode() != 0) {
        fehler = QString::fromUtf8(p.readAllStandardError() + aus);
        return {};
    }
    return QJsonDocument::fromJson(aus.trimmed().split('\n').last()).object();
}

QStringList angezeigt(const QJsonObject& o)
{
    QStringList z;
    for (const QJsonValue& v : o.value(QStringLiteral("angezeigt")).toArray()) {
        const QJsonObject x = v.toObject();
        z << QStringLiteral("%1:%2/%3")
                 .arg(x.value(QStringLiteral("platz")).toInt())
                 .arg(x.value(QStringLiteral("punkte")).toInt())
                 .arg(x.value(QStringLiteral("kosten")).toDouble());
    }
    return z;
}

QString gespeichert(QSqlDatabase db, int serie, int tisch)
{
    QStringList p;
    const QVariantList werte = spalte(db,
        QStringLiteral("SELECT Punkte || '/' || Kosten FROM Serie%1 WHERE Tisch=%2 ORDER BY TischIntern")
            .arg(serie)
            .arg(tisch));
    for (const QVariant& v : werte)
        p << v.toString();
    return p.join(QLatin1Char(' '));
}

QJsonArray spiele(std::initializer_list<QJsonValue> s)
{
    return QJsonArray(s);
}

QSqlDatabase siebenSpieler(Fenster& w)
{
    QSqlDatabase db = w.gruppe(7, 2);
    sitze(db, 1,
        { { 100, 1, 1 }, { 101, 1, 2 }, { 102, 1, 3 }, { 103, 1, 4 }, { 104, 2, 1 }, { 105, 2, 2 }, { 106, 2, 3 } });
    return db;
}

} // namespace

class TstBrowser : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (!QFile::exists(QStringLiteral("/usr/bin/chromium")))
            QSKIP("chromium fehlt (/usr/bin/chromium): der Browsertest entfällt");
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("node")).isEmpty(), "node fehlt");
        QVERIFY2(QFile::exists(ordner + QStringLiteral("/node_modules/playwright-core/package.json")),
            "playwright-core fehlt: test.sh installiert es (npm install in tests/web/browser)");
    }

    void init() { Testumgebung::frischesZuhause(); }

    void dreierUndViererTisch()
    {
        Fenster w;
        QVector<Spieler> spieler;
        const char* namen[]
            = { "Anna Berger", "Bernd Kurz", "Carla Stein", "Dieter Voss", "Emil Hahn", "Frieda Lang", "Gustav Roth" };
        for (const char* n : namen)
            spieler << Spieler { QString::fromUtf8(n).section(QLatin1Char(' '), 0, 0),
                QString::fromUtf8(n).section(QLatin1Char(' '), 1) };
        QSqlDatabase db = w.gruppe(spieler, 2);
        sitze(db, 1,
            { { 100, 1, 1 }, { 101, 1, 2 }, { 102, 1, 3 }, { 103, 1, 4 }, { 104, 2, 1 }, { 105, 2, 2 },
                { 106, 2, 3 } });

        // REIZWERK_BILDER=<folder> also saves the pictures of the README.
        const QString bilder = qEnvironmentVariable("REIZWERK_BILDER");
        auto bild = [&](const QString& name) {
            return bilder.isEmpty() ? QJsonValue() : QJsonValue(bilder + QLatin1Char('/') + name);
        };

        // A 3-player table, opened from the address its QR code carries.
        QString fehler;
        const QJsonObject drei
            = imBrowser(QJsonObject { { QStringLiteral("adresse"), w->tischAdresse(QStringLiteral("Alle"), 1, 2) },
                            { QStringLiteral("bild"), bild(QStringLiteral("tischapp-abschluss.png")) },
                            { QStringLiteral("bildListe"), bild(QStringLiteral("tischapp-liste.png")) },
                            { QStringLiteral("spiele"),
                                spiele({ QJsonArray { 0, 23, "g" }, QJsonArray { 1, 24, "v" }, "e",
                                    QJsonArray { 2, 36, "g" }, QJsonArray { 0, 18, "v" } }) } },
                fehler);
        QVERIFY2(!drei.isEmpty(), qPrintable(fehler));
        QCOMPARE(drei.value(QStringLiteral("zeilen")).toInt(), 5);
        // What the page showed before sending is what the program stored.
        QCOMPARE(angezeigt(drei).join(QLatin1Char(' ')), QStringLiteral("2:27/3.5 3:-58/4.5 1:166/1"));
        QCOMPARE(gespeichert(db, 1, 2), QStringLiteral("27/3.5 -58/4.5 166/1"));
        QCOMPARE(wert(db, QStringLiteral("SELECT SummePunkte FROM Teilnehmer WHERE StartNr=106")).toInt(), 166);
        QCOMPARE(wert(db, QStringLiteral("SELECT SummeKosten FROM Teilnehmer WHERE StartNr=105")).toDouble(), 4.5);
        QCOMPARE(wert(w->registry().hauptDatenbank(), QStringLiteral("SELECT Punkte FROM Rangliste WHERE StartNr=104"))
                     .toInt(),
            27);
        QVERIFY(QFile::exists(w->turnierOrdner() + QStringLiteral("/SpielListen/Alle_Serie1_Tisch2.txt")));

        // A 4-player table whose connection drops while sending: the page
        // keeps the list and sends it again by itself.
        const QJsonObject vier = imBrowser(
            QJsonObject { { QStringLiteral("adresse"), w->tischAdresse(QStringLiteral("Alle"), 1, 1) },
                { QStringLiteral("spiele"),
                    spiele({ QJsonArray { 0, 24, "g" }, QJsonArray { 1, 24, "g" }, QJsonArray { 2, 23, "v" } }) },
                { QStringLiteral("abbrechen"), true } },
            fehler);
        QVERIFY2(!vier.isEmpty(), qPrintable(fehler));
        const QJsonObject vorher = vier.value(QStringLiteral("gespeichertVorher")).toObject();
        QCOMPARE(vorher.value(QStringLiteral("spiele")).toInt(), 3);
        QCOMPARE(vorher.value(QStringLiteral("bestaetigt")).toBool(), false);
        QCOMPARE(angezeigt(vier).join(QLatin1Char(' ')), QStringLiteral("1:104/1 1:104/1 4:-96/5.5 3:30/3.5"));
        QCOMPARE(gespeichert(db, 1, 1), QStringLiteral("104/1 104/1 -96/5.5 30/3.5"));
        QCOMPARE(wert(db, QStringLiteral("SELECT SummePunkte FROM Teilnehmer WHERE StartNr=102")).toInt(), -96);
        QCOMPARE(wert(w->registry().hauptDatenbank(), QStringLiteral("SELECT Punkte FROM Rangliste WHERE StartNr=103"))
                     .toInt(),
            30);
        // The other table's results stay as they were.
        QCOMPARE(gespeichert(db, 1, 2), QStringLiteral("27/3.5 -58/4.5 166/1"));

        if (!bilder.isEmpty()) {
            const QJsonObject anzeige
                = imBrowser(QJsonObject { { QStringLiteral("adresse"), w->anzeigeAdresse() },
                                { QStringLiteral("nurBild"), bild(QStringLiteral("anzeige.png")) },
                                { QStringLiteral("warteAuf"), QStringLiteral("table.stand") },
                                { QStringLiteral("breite"), 1024 }, { QStringLiteral("hoehe"), 600 } },
                    fehler);
            QVERIFY2(!anzeige.isEmpty(), qPrintable(fehler));
        }
    }

    void alteListeNieAnEinenAnderenTag()
    {
        Fenster w;
        QSqlDatabase db = siebenSpieler(w);

        // Last week: the list is closed, its sending fails, the phone goes home.
        QString fehler;
        const QJsonObject letzteWoche = imBrowser(
            QJsonObject { { QStringLiteral("adresse"), w->tischAdresse(QStringLiteral("Alle"), 1, 2) },
                { QStringLiteral("spiele"), spiele({ QJsonArray { 0, 23, "g" }, QJsonArray { 1, 24, "v" } }) },
                { QStringLiteral("offenLassen"), true } },
            fehler);
        QVERIFY2(!letzteWoche.isEmpty(), qPrintable(fehler));
        QCOMPARE(
            letzteWoche.value(QStringLiteral("gespeichertVorher")).toObject().value(QStringLiteral("spiele")).toInt(),
            2);
        QCOMPARE(gespeichert(db, 1, 2), QStringLiteral("0/0 0/0 0/0"));

        // This week: a new match day's tokens for the same group, series and
        // table; the same phone, whose browser still holds last week's list
        // and one of the page's earlier form, kept without its token.
        QVERIFY(QFile::remove(w->turnierOrdner() + QLatin1Char('/') + Web::Schluessel::dateiName));
        w.neuStarten();
        db = w->registry().datenbank(QStringLiteral("Alle"));
        const QString dieseWoche = w->tischAdresse(QStringLiteral("Alle"), 1, 2);
        const QJsonObject frueher { { QStringLiteral("tisch"),
                                        QJsonObject { { QStringLiteral("gruppe"), QStringLiteral("Alle") },
                                            { QStringLiteral("serie"), 1 }, { QStringLiteral("tisch"), 2 } } },
            { QStringLiteral("zustand"),
                QJsonObject { { QStringLiteral("spiele"),
                                  QJsonArray { QJsonObject { { QStringLiteral("spieler"), 2 },
                                      { QStringLiteral("wert"), 48 }, { QStringLiteral("gewonnen"), true } } } },
                    { QStringLiteral("abgeschlossen"), true }, { QStringLiteral("bestaetigt"), false } } } };
        QJsonObject speicher = letzteWoche.value(QStringLiteral("speicher")).toObject();
        QCOMPARE(speicher.size(), 1);
        speicher.insert(QStringLiteral("reizwerk|Alle|1|2"),
            QString::fromUtf8(QJsonDocument(frueher).toJson(QJsonDocument::Compact)));
        const QJsonObject geladen
            = imBrowser(QJsonObject { { QStringLiteral("adresse"), dieseWoche }, { QStringLiteral("vorher"), speicher },
                            { QStringLiteral("nurLaden"), 4000 }, { QStringLiteral("verwerfen"), true } },
                fehler);
        QVERIFY2(!geladen.isEmpty(), qPrintable(fehler));
        // Both old lists are shown as such, nothing was sent, and this week's
        // page starts with an empty list.
        QVERIFY2(geladen.value(QStringLiteral("alteListen")).toInt() == 2,
            QJsonDocument(geladen).toJson(QJsonDocument::Compact).constData());
        QVERIFY2(!geladen.value(QStringLiteral("status")).toString().contains(QLatin1String("gespeichert")),
            qPrintable(geladen.value(QStringLiteral("status")).toString()));
        QCOMPARE(geladen.value(QStringLiteral("abschluss")).toBool(), false);
        QCOMPARE(gespeichert(db, 1, 2), QStringLiteral("0/0 0/0 0/0"));
        QVERIFY(!QFile::exists(w->turnierOrdner() + QStringLiteral("/SpielListen/Alle_Serie1_Tisch2.txt")));
        // Discarded, they are gone.
        const QJsonObject weg = geladen.value(QStringLiteral("nachVerwerfen")).toObject();
        QCOMPARE(weg.value(QStringLiteral("alteListen")).toInt(), 0);
        QCOMPARE(weg.value(QStringLiteral("offeneListen")).toArray().size(), 0);
    }

    void leereListeNichtGesendet()
    {
        // Quarter euros for a lost game: amounts the store rounds.
        Testumgebung::einstellen(QStringLiteral("Kosten/VerlSp1Bis5"), 0.25);
        Fenster w;
        QSqlDatabase db = siebenSpieler(w);
        const QString adresse = w->tischAdresse(QStringLiteral("Alle"), 1, 2);
        QString a = adresse;
        QCOMPARE(http(QStringLiteral("POST"), a.replace(QLatin1String("/tisch?"), QLatin1String("/api/liste?")),
                     R"({"spiele":[{"spieler":104,"wert":23,"gewonnen":true}]})")
                     .status,
            200);
        const QString vorher = gespeichert(db, 1, 2);

        // A second phone closes a list with nothing played in it.
        QString fehler;
        for (const QJsonArray& liste : { QJsonArray {}, spiele({ "e", "e" }) }) {
            const QJsonObject o = imBrowser(QJsonObject { { QStringLiteral("adresse"), adresse },
                                                { QStringLiteral("spiele"), liste }, { QStringLiteral("leer"), true } },
                fehler);
            QVERIFY2(!o.isEmpty(), qPrintable(fehler));
            QVERIFY2(o.value(QStringLiteral("meldung")).toString().contains(QLatin1String("kein gespieltes Spiel")),
                qPrintable(o.value(QStringLiteral("meldung")).toString()));
            QCOMPARE(o.value(QStringLiteral("abschluss")).toBool(), false);
        }
        QCOMPARE(gespeichert(db, 1, 2), vorher);

        // The full list, with a player made inactive after the draw: she
        // keeps her seat, marked, and the page shows the amounts as stored.
        sql(db, QStringLiteral("UPDATE Serie1 SET Aktiv=0 WHERE StartNr=105"));
        const QJsonObject voll = imBrowser(QJsonObject { { QStringLiteral("adresse"), adresse },
                                               { QStringLiteral("spiele"),
                                                   spiele({ QJsonArray { 0, 23, "g" }, QJsonArray { 1, 24, "v" }, "e",
                                                       QJsonArray { 2, 36, "g" }, QJsonArray { 0, 18, "v" } }) } },
            fehler);
        QVERIFY2(!voll.isEmpty(), qPrintable(fehler));
        QCOMPARE(angezeigt(voll).join(QLatin1Char(' ')), QStringLiteral("2:27/2.8 3:-58/3.8 1:166/1"));
        QCOMPARE(gespeichert(db, 1, 2), QStringLiteral("27/2.8 -58/3.8 166/1"));
        QCOMPARE(
            voll.value(QStringLiteral("angezeigt")).toArray().at(1).toObject().value(QStringLiteral("name")).toString(),
            QStringLiteral("Vorname6 Nachname6 (inaktiv)"));
    }
};

REIZWERK_TEST(TstBrowser)
#include "tst_browser.moc"
