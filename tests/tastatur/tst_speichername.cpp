#include "testumgebung.h"

#include <QDir>
#include <QFile>
#include <QStatusBar>

#include "app/mainwindow.h"
#include "storage/speichername.h"
#include "ui_mainwindow.h"

namespace
{
// Scripted file dialogs that also keep what was suggested.
class MerkDialoge : public SkriptDialoge
{
public:
    QStringList vorschlaege;
    QStringList filter;
    QString speicherName(QWidget* eltern, const QString& titel, const QString& vorschlag, const QString& f) override
    {
        vorschlaege << vorschlag;
        filter << f;
        return SkriptDialoge::speicherName(eltern, titel, vorschlag, f);
    }
};
} // namespace

class TstSpeichername : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void namenUndEndungen()
    {
        QCOMPARE(Speichername::spieltag(QStringLiteral("/tmp/x"), QStringLiteral("Herren"), QDate(2026, 3, 7),
                     QStringLiteral("Spieltag"), QStringLiteral("html")),
            QStringLiteral("/tmp/x/Herren_2026-03-07_Spieltag.html"));
        // One pattern for every file of a match day; the date sorts.
        QCOMPARE(Speichername::spieltag(QString(), QStringLiteral("Damen"), QDate(2026, 12, 6),
                     QStringLiteral("Tischliste"), QStringLiteral("pdf"), 2),
            QStringLiteral("Damen_2026-12-06_Tischliste_S2.pdf"));
        // Characters no file name may hold become "_"; a dot inside the name
        // does not count as a suffix.
        QCOMPARE(Speichername::vorschlag(
                     QString(), { QStringLiteral("A/B: \"C\""), QStringLiteral("x") }, QStringLiteral("txt")),
            QStringLiteral("A_B_ _C__x.txt"));
        QCOMPARE(Speichername::vorschlag(QString(), { QStringLiteral(".."), QString() }, QStringLiteral("txt")),
            QStringLiteral("Ausgabe.txt"));

        QCOMPARE(Speichername::mitEndung(QStringLiteral("/a/bericht"), QStringLiteral("txt")),
            QStringLiteral("/a/bericht.txt"));
        QCOMPARE(Speichername::mitEndung(QStringLiteral("/a/bericht."), QStringLiteral("txt")),
            QStringLiteral("/a/bericht.txt"));
        QCOMPARE(Speichername::mitEndung(QStringLiteral("/a/bericht.TXT"), QStringLiteral("txt")),
            QStringLiteral("/a/bericht.TXT"));
        QCOMPARE(Speichername::mitEndung(QStringLiteral("/a/seite.htm"), QStringLiteral("html")),
            QStringLiteral("/a/seite.htm"));
        QCOMPARE(Speichername::mitEndung(QStringLiteral("/a/Gr. A_Liste"), QStringLiteral("html")),
            QStringLiteral("/a/Gr. A_Liste.html"));
        QCOMPARE(Speichername::mitEndung(QStringLiteral("/a.b/liste"), QStringLiteral("txt")),
            QStringLiteral("/a.b/liste.txt"));
    }

    void berichtSpeichern()
    {
        Fenster f;
        QVERIFY(f.gruppe(4, 2).isValid());
        MerkDialoge d;
        const QDate tag = f->form()->dateEdit->date();
        const QString ordner = f->turnierOrdner();
        QVERIFY(!ordner.isEmpty());

        // The suggestion names group, date and kind, in the match day's folder.
        const QString ohneEndung = Testumgebung::zuhause() + QStringLiteral("/ergebnis");
        d.dateiname(ohneEndung);
        QVERIFY(QMetaObject::invokeMethod(f.get(), "onTeilnehmerHtmlAusgabe"));
        QCOMPARE(d.vorschlaege.value(0),
            QDir(ordner).filePath(QStringLiteral("Alle_%1_Spieltag.html").arg(tag.toString("yyyy-MM-dd"))));
        QVERIFY(d.filter.value(0).contains(QStringLiteral("*.html")));
        // The suffix left out is added, and the status bar names the file.
        QVERIFY(QFile::exists(ohneEndung + QStringLiteral(".html")));
        QVERIFY(!QFile::exists(ohneEndung));
        QVERIFY(
            f->statusBar()->currentMessage().contains(QDir::toNativeSeparators(ohneEndung + QStringLiteral(".html"))));

        d.dateiname(ohneEndung);
        QVERIFY(QMetaObject::invokeMethod(f.get(), "onTeilnehmerTextAusgabe"));
        QVERIFY(d.vorschlaege.value(1).endsWith(QStringLiteral("_Ergebnisse.txt")));
        QVERIFY(QFile::exists(ohneEndung + QStringLiteral(".txt")));

        // A file the added suffix would replace is only replaced after a yes;
        // the file dialog asked about the name without it.
        const QString alt = ohneEndung + QStringLiteral(".txt");
        {
            QFile datei(alt);
            QVERIFY(datei.open(QIODevice::WriteOnly | QIODevice::Truncate));
            datei.write("alt");
        }
        d.dateiname(ohneEndung);
        d.antworte(false);
        QVERIFY(QMetaObject::invokeMethod(f.get(), "onTeilnehmerExcelAusgabe"));
        QCOMPARE(d.fragen.size(), 1);
        QVERIFY(d.fragen.value(0).contains(QDir::toNativeSeparators(alt)));
        QCOMPARE(Testumgebung::dateiInhalt(alt), QByteArray("alt"));
        d.dateiname(ohneEndung);
        d.antworte(true);
        QVERIFY(QMetaObject::invokeMethod(f.get(), "onTeilnehmerExcelAusgabe"));
        QVERIFY(Testumgebung::dateiInhalt(alt) != QByteArray("alt"));
        QVERIFY(d.unerwartet.isEmpty());
    }
};

REIZWERK_TEST(TstSpeichername)
#include "tst_speichername.moc"
