#include "testumgebung.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtEndian>

#include "link/protokoll.h"
#include "scoring/regeln.h"

namespace
{

QString gepackt(const QByteArray& daten)
{
    return QString::fromLatin1(qCompress(daten).toBase64());
}

} // namespace

class TstProtokoll : public QObject
{
    Q_OBJECT
private slots:
    void eintraegeUndRegeln()
    {
        QCOMPARE(Protokoll::spielerEintrag(100, QStringLiteral("Anna"), QStringLiteral("Berg"), true, false),
            QStringLiteral("100|Anna Berg|Ja|Nein"));
        QCOMPARE(Protokoll::sitzEintrag(101, QStringLiteral("Bernd Kurz"), false, true),
            QStringLiteral("101|Bernd Kurz|Nein|Ja"));

        QTemporaryDir dir;
        QSettings s(dir.filePath(QStringLiteral("r.ini")), QSettings::IniFormat);
        Regeln::standardsSchreiben(s);
        const QString regeln = Regeln::regelnText(s);
        QCOMPARE(regeln, QStringLiteral("0|1.5|2.5|3.5|1|1|2.5|10|50|40|30|Spielliste"));

        // First and last field of the request, whatever lies between.
        Nachricht anfrage = Nachricht::lesen(QStringLiteral("5:10.0.0.7:x$3@7@12"));
        QCOMPARE(Protokoll::regelnNachricht(anfrage, QStringLiteral("Alle"), regeln).text(),
            QStringLiteral("15:10.0.0.7:Alle$3@12@0|1.5|2.5|3.5|1|1|2.5|10|50|40|30|Spielliste"));
        anfrage = Nachricht::lesen(QStringLiteral("5:10.0.0.7:x$9"));
        QCOMPARE(Protokoll::regelnNachricht(anfrage, QString(), QStringLiteral("r")).felder,
            QStringList({ QStringLiteral("9"), QStringLiteral("9"), QStringLiteral("r") }));
        anfrage = Nachricht::lesen(QStringLiteral("5:10.0.0.7:x$a@"));
        QCOMPARE(Protokoll::regelnNachricht(anfrage, QString(), QStringLiteral("r")).felder,
            QStringList({ QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("r") }));
    }

    void ergebnisZeilen()
    {
        const auto e = Protokoll::ergebnisLesen(QStringLiteral("x|y|2|-17|a|b|3.5|c|104"));
        QVERIFY(e);
        QCOMPARE(e->serie, 2);
        QCOMPARE(e->punkte, -17);
        QCOMPARE(e->kosten, 3.5);
        QCOMPARE(e->startNr, 104);
        // Eight or ten parts, and numbers that do not read, are no result.
        QVERIFY(!Protokoll::ergebnisLesen(QStringLiteral("x|y|2|17|a|b|3.5|104")));
        QVERIFY(!Protokoll::ergebnisLesen(QStringLiteral("x|y|2|17|a|b|3.5|c|104|z")));
        QVERIFY(!Protokoll::ergebnisLesen(QStringLiteral("x|y|2|siebzehn|a|b|3.5|c|104")));
        QVERIFY(!Protokoll::ergebnisLesen(QStringLiteral("x|y|2|17|a|b|3,5|c|104")));
        QVERIFY(!Protokoll::ergebnisLesen(QStringLiteral("x|y|2|17|a|b|nan|c|104")));
        QVERIFY(!Protokoll::ergebnisLesen(QStringLiteral("x|y||17|a|b|1|c|104")));

        // Values no game list gives are forgeries or slips: refused, so no
        // sum can overflow and no cost reads "inf".
        for (const char* falsch :
            { "x|y|1|2147483647|a|b|1|c|100", "x|y|1|100001|a|b|1|c|100", "x|y|1|-100001|a|b|1|c|100",
                "x|y|1|5|a|b|-1|c|100", "x|y|1|5|a|b|1e308|c|100", "x|y|1|5|a|b|inf|c|100", "x|y|1|5|a|b|10000.1|c|100",
                "x|y|1|1e6|a|b|1|c|100", "x|y|1|12.5|a|b|1|c|100", "x|y|1|5|a|b|0x10|c|100", "x|y|1|5|a|b|1e|c|100",
                "x|y|1|5|a|b|1.5.1|c|100", "x|y|1|5|a|b|1 000|c|100", "x|y|1|5|a|b|-0.5|c|100", "x|y|1|5|a|b|NaN|c|100",
                "x|y|1|5|a|b|Infinity|c|100" })
            QVERIFY2(!Protokoll::ergebnisLesen(QString::fromLatin1(falsch)), falsch);
        const auto rand = Protokoll::ergebnisLesen(QStringLiteral("x|y|1|-100000|a|b|10000|c|100"));
        QVERIFY(rand);
        QCOMPARE(rand->punkte, -100000);
        QCOMPARE(rand->kosten, 10000.0);

        // What number formatters write: any number of decimals, exponents;
        // costs come back in the stored one-decimal form, points whole.
        const QList<QPair<QString, QPair<int, double>>> geschrieben {
            { QStringLiteral("x|y|1|12|a|b|1.0999999999999999|c|100"), { 12, 1.1 } },
            { QStringLiteral("x|y|1|12.0|a|b|1e1|c|100"), { 12, 10.0 } },
            { QStringLiteral("x|y|1|1e2|a|b|2.6E-1|c|100"), { 100, 0.3 } },
            { QStringLiteral("x|y|1|-1.5e1|a|b|.5|c|100"), { -15, 0.5 } },
            { QStringLiteral("x|y|1|+7|a|b|3.|c|100"), { 7, 3.0 } },
            { QStringLiteral("x|y|1|-0|a|b|0.04|c|100"), { 0, 0.0 } },
            { QStringLiteral("x|y|1|1E5|a|b|9999.99|c|100"), { 100000, 10000.0 } },
        };
        for (const auto& g : geschrieben) {
            const auto r = Protokoll::ergebnisLesen(g.first);
            QVERIFY2(r, qPrintable(g.first));
            QCOMPARE(r->punkte, g.second.first);
            QCOMPARE(r->kosten, g.second.second);
            QVERIFY(Protokoll::ergebnisFehler(g.first).isEmpty());
        }
        QCOMPARE(Protokoll::ergebnisFehler(QStringLiteral("x|y|1|5|a|b|-1|c|100")),
            QStringLiteral("Kosten \"-1\" sind keine Zahl zwischen 0 und 10000"));
        QCOMPARE(Protokoll::ergebnisFehler(QStringLiteral("x|y|1|12.5|a|b|1|c|100")),
            QStringLiteral("Punkte \"12.5\" sind keine ganze Zahl zwischen -100000 und 100000"));
        QCOMPARE(Protokoll::ergebnisFehler(QStringLiteral("x|y|1|5|a|b|1|c|A")),
            QStringLiteral("Startnummer \"A\" ist keine Zahl"));
    }

    void dateinamen()
    {
        for (const char* gut : { "a", "Tisch7_Serie1.txt", ".versteckt", "a..b" })
            QVERIFY2(Protokoll::dateinameSicher(QString::fromLatin1(gut)), gut);
        for (const char* schlecht : { "", ".", "..", "../a", "a/b", "/etc/passwd", "a\\b", "..\\..\\x", "a\nb" })
            QVERIFY2(!Protokoll::dateinameSicher(QString::fromLatin1(schlecht)), schlecht);
        QVERIFY(!Protokoll::dateinameSicher(QString(300, QLatin1Char('a'))));
    }

    void entpacken()
    {
        const QByteArray inhalt("Spielliste\n1;18;Kreuz\0binaer", 27);
        QCOMPARE(Protokoll::dateiEntpacken(gepackt(inhalt)).value_or("<nichts>"), inhalt);
        QCOMPARE(Protokoll::dateiEntpacken(gepackt(QByteArray())).value_or("<nichts>"), QByteArray());

        // Not Base64, too short, or a broken stream.
        QVERIFY(!Protokoll::dateiEntpacken(QStringLiteral("kein base64!")));
        QVERIFY(!Protokoll::dateiEntpacken(QStringLiteral("AAA=")));
        QByteArray kaputt = qCompress(QByteArray(1000, 'x'));
        kaputt.chop(6);
        QVERIFY(!Protokoll::dateiEntpacken(QString::fromLatin1(kaputt.toBase64())));

        // The declared length is checked before anything is unpacked.
        QByteArray gross = qCompress(QByteArray(100, 'x'));
        qToBigEndian<quint32>(Protokoll::maxEntpackt + 1, gross.data());
        QVERIFY(!Protokoll::dateiEntpacken(QString::fromLatin1(gross.toBase64())));
        const QByteArray klein = qCompress(QByteArray(5000, 'y'));
        QVERIFY(!Protokoll::dateiEntpacken(QString::fromLatin1(klein.toBase64()), 4999));
        QVERIFY(Protokoll::dateiEntpacken(QString::fromLatin1(klein.toBase64()), 5000));
        // A declared length that does not match the data is refused.
        QByteArray gelogen = klein;
        qToBigEndian<quint32>(6000, gelogen.data());
        QVERIFY(!Protokoll::dateiEntpacken(QString::fromLatin1(gelogen.toBase64())));
        // A stream that unpacks to far more than it declares is refused
        // without unpacking it all.
        QByteArray bombe = qCompress(QByteArray(8 * 1024 * 1024, '\0'), 9);
        qToBigEndian<quint32>(10, bombe.data());
        QVERIFY(!Protokoll::dateiEntpacken(QString::fromLatin1(bombe.toBase64())));
    }

    void dateienSchreiben()
    {
        QTemporaryDir wurzel;
        const QString turnier = wurzel.filePath(QStringLiteral("06_12_2026"));
        QVERIFY(QDir().mkpath(turnier));
        const QString listen = turnier + QStringLiteral("/SpielListen");

        QVERIFY(Protokoll::dateiNachrichtSpeichern(turnier, Nachricht::lesen(QStringLiteral("16:a:l$a@b@c"))));
        QCOMPARE(Testumgebung::dateiInhalt(listen + QStringLiteral("/a")), QByteArray("c\n"));
        // Replaced whole.
        QVERIFY(Protokoll::dateiNachrichtSpeichern(turnier, Nachricht::lesen(QStringLiteral("16:a:l$a@x"))));
        QCOMPARE(Testumgebung::dateiInhalt(listen + QStringLiteral("/a")), QByteArray("x\n"));

        const QByteArray bytes("\x01\x02\xff@$", 5);
        QVERIFY(Protokoll::dateiNachrichtSpeichern(
            turnier, Nachricht::lesen(QStringLiteral("17:a:l$b.bin@") + gepackt(bytes))));
        QCOMPARE(Testumgebung::dateiInhalt(listen + QStringLiteral("/b.bin")), bytes);

        // The names the link test sends are refused there; these are refused too.
        const QStringList refused { QStringLiteral("16:a:l$.@c"), QStringLiteral("16:a:l$x\\..\\boese@c"),
            QStringLiteral("17:a:l$../boese@") + gepackt("z"), QStringLiteral("5:a:l$e@c") };
        for (const QString& t : refused)
            QVERIFY2(!Protokoll::dateiNachrichtSpeichern(turnier, Nachricht::lesen(t)), qPrintable(t));
        // Beside the files, the record of who wrote them.
        QCOMPARE(QDir(listen).entryList(QDir::Files | QDir::Hidden),
            QStringList({ QStringLiteral(".herkunft"), QStringLiteral("a"), QStringLiteral("b.bin") }));
        QCOMPARE(QDir(turnier).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            QStringList { QStringLiteral("SpielListen") });
        QCOMPARE(QDir(wurzel.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            QStringList { QStringLiteral("06_12_2026") });

        // A match day's files are bounded in number and size; a file of the
        // same name is replaced within them.
        {
            using E = Protokoll::SpielListenAblage::Ergebnis;
            QTemporaryDir tag;
            Protokoll::SpielListenAblage ablage(3, 100);
            auto speichern = [&](const QString& text) { return ablage.speichern(tag.path(), Nachricht::lesen(text)); };
            QCOMPARE(speichern(QStringLiteral("16:a:l$1@") + QString(39, QLatin1Char('x'))), E::Gespeichert);
            QCOMPARE(speichern(QStringLiteral("16:a:l$2@y")), E::Gespeichert);
            QCOMPARE(speichern(QStringLiteral("17:a:l$3@") + gepackt(QByteArray(50, 'z'))), E::Gespeichert);
            QCOMPARE(speichern(QStringLiteral("16:a:l$4@y")), E::Voll);
            QCOMPARE(speichern(QStringLiteral("16:a:l$2@") + QString(8, QLatin1Char('y'))), E::Gespeichert);
            // 40 + 9 + 50 bytes: one more would pass the bound, also packed.
            QCOMPARE(speichern(QStringLiteral("16:a:l$2@") + QString(10, QLatin1Char('y'))), E::Voll);
            QCOMPARE(speichern(QStringLiteral("17:a:l$3@") + gepackt(QByteArray(52, 'z'))), E::Voll);
            QCOMPARE(speichern(QStringLiteral("17:a:l$3@kaputt")), E::Ungueltig);
            QCOMPARE(QDir(tag.filePath(QStringLiteral("SpielListen"))).entryList(QDir::Files | QDir::Hidden),
                QStringList(
                    { QStringLiteral(".herkunft"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3") }));
            QCOMPARE(
                Testumgebung::dateiInhalt(tag.filePath(QStringLiteral("SpielListen/2"))), QByteArray(8, 'y') + '\n');
            QCOMPARE(Testumgebung::dateiInhalt(tag.filePath(QStringLiteral("SpielListen/3"))), QByteArray(50, 'z'));

            // Another match day is counted on its own; files already there count.
            QTemporaryDir anderer;
            QVERIFY(QDir().mkpath(anderer.filePath(QStringLiteral("SpielListen"))));
            QFile alt(anderer.filePath(QStringLiteral("SpielListen/alt")));
            QVERIFY(alt.open(QIODevice::WriteOnly) && alt.write(QByteArray(95, 'a')) == 95);
            alt.close();
            QCOMPARE(ablage.speichern(anderer.path(), Nachricht::lesen(QStringLiteral("16:a:l$n@12345"))), E::Voll);
            QCOMPARE(
                ablage.speichern(anderer.path(), Nachricht::lesen(QStringLiteral("16:a:l$n@1234"))), E::Gespeichert);
        }

        // No match day, no file: not at the root, not in the working directory.
        QVERIFY(!Protokoll::spielListeSchreiben(QString(), QStringLiteral("a"), "x", true));
        QVERIFY(!Protokoll::spielListeSchreiben(QStringLiteral("relativ"), QStringLiteral("a"), "x", true));
        QVERIFY(!QFileInfo::exists(QStringLiteral("relativ")));
    }
};

REIZWERK_TEST(TstProtokoll)
#include "tst_protokoll.moc"
