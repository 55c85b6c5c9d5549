#include "testumgebung.h"

#include <QCalendarWidget>
#include <QDialog>
#include <QFile>
#include <QSettings>
#include <QSqlQuery>

#include "app/mainwindow.h"
#include "reports/rangliste.h"
#include "storage/verbindungen.h"
#include "ui_mainwindow.h"

using Rangliste::Eintrag;
using Rangliste::Platz;

namespace
{

const QDate tag1(2026, 3, 7);
const QDate tag2(2026, 4, 4);
const QDate tag3(2026, 5, 2);
const QDate spaeter(2026, 6, 6);

QString iso(const QDate& d)
{
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

QVector<Eintrag> beispiel()
{
    return {
        { iso(tag1), QStringLiteral("Meier"), 900 },
        { iso(tag2), QStringLiteral("Meier"), 1100 },
        { iso(tag3), QStringLiteral("Meier"), -50 },
        { iso(spaeter), QStringLiteral("Meier"), 5000 },
        { iso(tag2), QStringLiteral("Zander"), 1950 },
        { iso(tag2), QStringLiteral("Bauer"), 1950 },
        { iso(tag1), QStringLiteral("meier"), 300 },
        { QStringLiteral("2026-4-4"), QStringLiteral("Bauer"), 999 },
        { QStringLiteral("04.04.2026"), QStringLiteral("Bauer"), 999 },
        { QString(), QStringLiteral("Bauer"), 999 },
        { iso(tag2) + QLatin1Char(' '), QStringLiteral("Bauer"), 999 },
    };
}

} // namespace

class TstRangliste : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void auswerten()
    {
        const QVector<Eintrag> e = beispiel();

        // Three match days in range; the later one does not count. Equal
        // totals: the name that sorts first first. "meier" is its own line.
        // Malformed dates never count.
        QCOMPARE(Rangliste::auswerten(e, tag1, tag3),
            (QVector<Platz> { { "Bauer", 1950 }, { "Meier", 1950 }, { "Zander", 1950 }, { "meier", 300 } }));

        // Start equal to end: that day only.
        QCOMPARE(Rangliste::auswerten(e, tag2, tag2),
            (QVector<Platz> { { "Bauer", 1950 }, { "Zander", 1950 }, { "Meier", 1100 } }));
        QCOMPARE(Rangliste::auswerten(e, tag1, tag1), (QVector<Platz> { { "Meier", 900 }, { "meier", 300 } }));

        // Start later than end: nothing.
        QVERIFY(Rangliste::auswerten(e, tag3, tag1).isEmpty());

        QVERIFY(!Rangliste::datumAus(QStringLiteral("2026-4-4")).isValid());
        QVERIFY(!Rangliste::datumAus(QStringLiteral("2026-02-30")).isValid());
        QCOMPARE(Rangliste::datumAus(QStringLiteral("2026-04-04")), tag2);
    }

    void seite()
    {
        const QVector<Platz> plaetze
            = { { QStringLiteral("B\u00e4r & <Sohn>"), 20 }, { QStringLiteral("\u0141ukasz"), -3 } };
        QCOMPARE(Rangliste::html(plaetze, tag1, tag2, QStringLiteral("Liga")),
            QStringLiteral(
                "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\n<html>\n\t<head>\n"
                "\t\t<title>Rangliste</title>\n\t<style>\n"
                "\ttable, th, th.zahl, td, td.zahl { border: 1px solid black; border-collapse: collapse; }\n"
                "\tth.zahl, td.zahl { padding: 5px; } th.zahl { text-align: right; } td.zahl { text-align: "
                "right; }\n\t</style>\n\t</head>\n\t<body>\n"
                "\t<h1>Rangliste 07-03-2026 bis 04-04-2026 Liga</h1><br>\n<p>\n<table style=\"width:100%\">\n"
                "\t<tr><th>Rang</th><th>Name</th><th>Punkte</th></tr>\n"
                "\t<tr><td class=\"zahl\">1</td><td>B\u00e4r &amp; &lt;Sohn&gt;</td><td class = \"zahl\">20</td>"
                "</tr>\n"
                "\t<tr><td class=\"zahl\">2</td><td>&#321;ukasz</td><td class = \"zahl\">-3</td></tr>\n"
                "</table></p>\n\t</body>\n</html>\n"));
        // A placeholder-like name is written as it is.
        QVERIFY(Rangliste::html({ { QStringLiteral("%1 %3"), 1 } }, tag1, tag1, QString())
                    .contains(QStringLiteral("<td>%1 %3</td><td class = \"zahl\">1</td>")));
    }

    void ausDerDatenbank()
    {
        Fenster w;
        for (const Eintrag& e : beispiel()) {
            QSqlQuery q(w->registry().hauptDatenbank());
            q.prepare(QStringLiteral("INSERT INTO Rangliste (StartNr, Name, Datum, Punkte) VALUES (?, ?, ?, ?)"));
            q.addBindValue(100);
            q.addBindValue(e.name);
            q.addBindValue(e.datum);
            q.addBindValue(e.punkte);
            QVERIFY(q.exec());
        }
        w->settings()->setValue(QStringLiteral("Kosten/ListenName"), QStringLiteral("Fr\u00fchjahr"));

        // Chooses the two dates and confirms (giving the file name) or cancels.
        auto rangliste = [&](const QDate& s, const QDate& e, const QString& datei) {
            if (!datei.isEmpty())
                w.d.dateiname(datei);
            return mitDialog(w->form()->pbRangliste, "DlgRangliste", [s, e, datei](QWidget* dlg) {
                dlg->findChild<QCalendarWidget*>(QStringLiteral("cwStart"))->setSelectedDate(s);
                dlg->findChild<QCalendarWidget*>(QStringLiteral("cwEnd"))->setSelectedDate(e);
                datei.isEmpty() ? static_cast<QDialog*>(dlg)->reject() : static_cast<QDialog*>(dlg)->accept();
            });
        };

        const QString datei = Testumgebung::zuhause() + QStringLiteral("/rangliste.html");
        QVERIFY(rangliste(tag2, tag3, datei));
        const QByteArray inhalt = Testumgebung::dateiInhalt(datei);
        QVERIFY(inhalt.contains("\t<h1>Rangliste 04-04-2026 bis 02-05-2026 Fr\xfchjahr</h1><br>\n"));
        QVERIFY(inhalt.contains("\t<tr><th>Rang</th><th>Name</th><th>Punkte</th></tr>\n"
                                "\t<tr><td class=\"zahl\">1</td><td>Bauer</td><td class = \"zahl\">1950</td></tr>\n"
                                "\t<tr><td class=\"zahl\">2</td><td>Zander</td><td class = \"zahl\">1950</td></tr>\n"
                                "\t<tr><td class=\"zahl\">3</td><td>Meier</td><td class = \"zahl\">1050</td></tr>\n"
                                "</table></p>\n\t</body>\n</html>\n"));

        // Start after end: an empty table, both dates as chosen.
        QVERIFY(rangliste(tag3, tag1, datei));
        const QByteArray leer = Testumgebung::dateiInhalt(datei);
        QVERIFY(leer.contains("Rangliste 02-05-2026 bis 07-03-2026 "));
        QVERIFY(leer.contains("<th>Punkte</th></tr>\n</table></p>\n"));

        // Cancel asks for no file.
        QVERIFY(QFile::remove(datei));
        QVERIFY(rangliste(tag1, tag3, QString()));
        QVERIFY(!QFile::exists(datei));
        QVERIFY(w.d.unerwartet.isEmpty());

        // A file that cannot be written is named.
        const QString unmoeglich = Testumgebung::zuhause() + QStringLiteral("/fehlt/rangliste.html");
        QVERIFY(rangliste(tag1, tag3, unmoeglich));
        QCOMPARE(w.d.fehlerTexte.size(), 1);
        QVERIFY(w.d.fehlerTexte.first().contains(unmoeglich));
    }
};

REIZWERK_TEST(TstRangliste)
#include "tst_rangliste.moc"
