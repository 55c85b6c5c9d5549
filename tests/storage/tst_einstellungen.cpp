#include "testumgebung.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <memory>

#include "app/mainwindow.h"
#include "print/dokumente.h"
#include "storage/pfade.h"

namespace
{

void schreiben(const QString& pfad, const QByteArray& inhalt)
{
    QFile f(pfad);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(inhalt);
}

// A store as the program opens it. Every test uses a file of its own name:
// the toolkit keeps a file it has read in memory, by name.
std::unique_ptr<QSettings> oeffnen(const QString& pfad)
{
    auto s = std::make_unique<QSettings>(pfad, QSettings::IniFormat);
    Pfade::einstellungenAlsUtf8(*s);
    return s;
}

const QString kuehn = QStringLiteral("K\u00fchn's Eck");
const QString lukasz = QStringLiteral("\u0141ukasz \u00d6zt\u00fcrk");

} // namespace

// The settings file is UTF-8; files of earlier versions and hand-edited ones
// read as they were meant.
class TstEinstellungen : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void umlauteAusDerHandUndAusFrueherenVersionen()
    {
        const QString ordner = Testumgebung::zuhause() + QLatin1Char('/');

        // Typed into the file in UTF-8.
        schreiben(ordner + QStringLiteral("hand.ini"), "[Kosten]\nListenName=K\xc3\xbchn's Eck\nPreisskat=10\n");
        QCOMPARE(
            oeffnen(ordner + QStringLiteral("hand.ini"))->value(QStringLiteral("Kosten/ListenName")).toString(), kuehn);

        // Written by an earlier version, which named no codec: non-ASCII in
        // values escaped as \x.., in keys as %XX and %U....
        {
            QSettings alt(ordner + QStringLiteral("alt-schreiben.ini"), QSettings::IniFormat);
            alt.setValue(QStringLiteral("Kosten/ListenName"), kuehn);
            alt.setValue(QStringLiteral("Gruppe/Gruppe2"), lukasz);
            alt.setValue(QStringLiteral("Gruppe/M\u00fcnster \u0141"), QStringLiteral("Wei\u00df"));
        }
        const QByteArray altBytes = Testumgebung::dateiInhalt(ordner + QStringLiteral("alt-schreiben.ini"));
        QVERIFY2(altBytes.contains("K\\xfchn's Eck"), altBytes.constData());
        QVERIFY2(altBytes.contains("%FC"), altBytes.constData());
        QVERIFY2(altBytes.contains("%U0141"), altBytes.constData());
        schreiben(ordner + QStringLiteral("alt.ini"), altBytes);
        {
            const auto s = oeffnen(ordner + QStringLiteral("alt.ini"));
            QCOMPARE(s->value(QStringLiteral("Kosten/ListenName")).toString(), kuehn);
            QCOMPARE(s->value(QStringLiteral("Gruppe/Gruppe2")).toString(), lukasz);
            QCOMPARE(s->value(QStringLiteral("Gruppe/M\u00fcnster \u0141")).toString(), QStringLiteral("Wei\u00df"));
            // What is written now is UTF-8 in the file.
            s->setValue(QStringLiteral("Kosten/ListenName"), QStringLiteral("S\u00fcd"));
        }
        const QByteArray neuBytes = Testumgebung::dateiInhalt(ordner + QStringLiteral("alt.ini"));
        QVERIFY2(neuBytes.contains("ListenName=S\xc3\xbc"
                                   "d"),
            neuBytes.constData());
        schreiben(ordner + QStringLiteral("neu.ini"), neuBytes);
        {
            const auto s = oeffnen(ordner + QStringLiteral("neu.ini"));
            QCOMPARE(s->value(QStringLiteral("Kosten/ListenName")).toString(), QStringLiteral("S\u00fcd"));
            QCOMPARE(s->value(QStringLiteral("Gruppe/Gruppe2")).toString(), lukasz);
            QCOMPARE(s->value(QStringLiteral("Gruppe/M\u00fcnster \u0141")).toString(), QStringLiteral("Wei\u00df"));
        }

        // Typed in a Latin-1 editor, which the program read as Latin-1
        // before: read the same, and kept as UTF-8 from then on.
        schreiben(ordner + QStringLiteral("latin1.ini"),
            "[Kosten]\nListenName=K\xfchn's Eck\nPreisskat=12.5\n[Gruppe]\nGruppe1=Alle\nGruppe2=Gro\xdf\n");
        {
            const auto s = oeffnen(ordner + QStringLiteral("latin1.ini"));
            QCOMPARE(s->value(QStringLiteral("Kosten/ListenName")).toString(), kuehn);
            QCOMPARE(s->value(QStringLiteral("Gruppe/Gruppe2")).toString(), QStringLiteral("Gro\u00df"));
            QCOMPARE(s->value(QStringLiteral("Kosten/Preisskat")).toDouble(), 12.5);
        }
        const QByteArray umgeschrieben = Testumgebung::dateiInhalt(ordner + QStringLiteral("latin1.ini"));
        QVERIFY2(umgeschrieben.contains("K\xc3\xbchn"), umgeschrieben.constData());
        schreiben(ordner + QStringLiteral("latin1-danach.ini"), umgeschrieben);
        {
            const auto s = oeffnen(ordner + QStringLiteral("latin1-danach.ini"));
            QCOMPARE(s->value(QStringLiteral("Kosten/ListenName")).toString(), kuehn);
            QCOMPARE(s->value(QStringLiteral("Gruppe/Gruppe1")).toString(), QStringLiteral("Alle"));
            QCOMPARE(s->allKeys().size(), 4);
        }
    }

    void gemischteDatei()
    {
        // A UTF-8 file later edited in a Latin-1 editor: each value as it
        // was typed.
        const QString pfad = Testumgebung::zuhause() + QStringLiteral("/gemischt.ini");
        schreiben(pfad, "[Kosten]\nListenName=K\xc3\xbchn's Eck\n[Gruppe]\nGruppe2=Gro\xdf\nGruppe3=\\x141ukasz\n");
        const auto s = oeffnen(pfad);
        QCOMPARE(s->value(QStringLiteral("Kosten/ListenName")).toString(), kuehn);
        QCOMPARE(s->value(QStringLiteral("Gruppe/Gruppe2")).toString(), QStringLiteral("Gro\u00df"));
        QCOMPARE(s->value(QStringLiteral("Gruppe/Gruppe3")).toString(), QStringLiteral("\u0141ukasz"));
    }

    void programmLiestDieDateiAlsUtf8()
    {
        // The list name typed into the program's own settings file reaches
        // what is printed.
        QDir().mkpath(QFileInfo(Testumgebung::einstellungsDatei()).path());
        schreiben(Testumgebung::einstellungsDatei(), "[Kosten]\nListenName=K\xc3\xbchn's Eck\n");
        Fenster w;
        QCOMPARE(w->settings()->value(QStringLiteral("Kosten/ListenName")).toString(), kuehn);
        QCOMPARE(Regeln::werteLesen(*w->settings()).listenName, kuehn);
    }
};

REIZWERK_TEST(TstEinstellungen)
#include "tst_einstellungen.moc"
