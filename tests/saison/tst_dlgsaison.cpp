#include "testumgebung.h"

#include <QBrush>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTreeView>

#include "app/mainwindow.h"
#include "saisonbau.h"
#include "season/dlgsaison.h"

using namespace Saisonbau;

namespace
{

template<typename T> T* kind(QWidget* dlg, const char* name)
{
    T* w = dlg->findChild<T*>(QLatin1String(name));
    if (!w)
        qWarning("missing widget %s", name);
    return w;
}

// The text of a PDF as pdftotext reads it.
QString pdfText(const QString& datei)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), datei, QStringLiteral("-") });
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QStringLiteral("pdftotext failed: ") + QString::fromLocal8Bit(p.readAllStandardError());
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool pdftotextDa()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

} // namespace

class TstDlgSaison : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void imFenster()
    {
        Fenster w;
        ranglisteSchreiben(w->registry().hauptDatenbank(), zeilen());
        gruppenSchreiben(Testumgebung::datenOrdner());
        w->settings()->setValue(QStringLiteral("Kosten/ListenName"), QStringLiteral("Vereinsmeisterschaft"));

        QAction* aktion = w->aktion(QStringLiteral("actSaisonwertung"));
        QVERIFY(aktion);
        QCOMPARE(aktion->text(), QStringLiteral("Saisonwertung\u2026"));
        auto* menu = qobject_cast<QMenu*>(aktion->associatedWidgets().value(0));
        QVERIFY(menu);
        QCOMPARE(menu->title(), QStringLiteral("Turnier"));

        const QString anna = QStringLiteral("Anna \u00d6zt\u00fcrk");
        const QString pdf = Testumgebung::zuhause() + QStringLiteral("/saison.pdf");
        const QString csv = Testumgebung::zuhause() + QStringLiteral("/saison");
        const QString unmoeglich = Testumgebung::zuhause() + QStringLiteral("/fehlt/saison.pdf");
        w.d.dateiname(pdf);
        w.d.dateiname(unmoeglich);
        w.d.dateiname(csv);
        const QString html = Testumgebung::zuhause() + QStringLiteral("/rangliste.html");
        w.d.dateiname(html);
        bool geprueft = false;
        QVERIFY(mitDialog(aktion, "DlgSaison", [&](QWidget* d) {
            auto* dlg = qobject_cast<DlgSaison*>(d);
            QVERIFY(dlg);
            QCOMPARE(dlg->objectName(), QStringLiteral("DlgSaison"));
            QCOMPARE(dlg->windowTitle(), QStringLiteral("Rangliste"));
            auto* zeitraum = kind<QComboBox>(dlg, "cmbZeitraum");
            auto* von = kind<QDateEdit>(dlg, "deVon");
            auto* bis = kind<QDateEdit>(dlg, "deBis");
            QVERIFY(zeitraum && von && bis);

            // Opens on this season, from 1 August unless told otherwise.
            const QDate heute = QDate::currentDate();
            const int jahr = heute.month() >= 8 ? heute.year() : heute.year() - 1;
            QCOMPARE(zeitraum->currentText(), QStringLiteral("diese Saison"));
            QCOMPARE(von->date(), QDate(jahr, 8, 1));
            QCOMPARE(bis->date(), QDate(jahr + 1, 7, 31));

            zeitraum->setCurrentIndex(zeitraum->findText(QStringLiteral("dieses Jahr")));
            QCOMPARE(von->date(), QDate(heute.year(), 1, 1));
            QCOMPARE(bis->date(), QDate(heute.year(), 12, 31));

            // Everything stored: seven players, seven match days.
            zeitraum->setCurrentIndex(zeitraum->findText(QStringLiteral("alle")));
            QCOMPARE(von->date(), vorher);
            QCOMPARE(bis->date(), danach);
            QCOMPARE(dlg->wertungModel()->rowCount(), 7);
            QCOMPARE(dlg->wertungModel()->columnCount(), 5 + 7);
            QCOMPARE(spaltenTexte(dlg->wertungModel(), 2).first(), anna);
            QCOMPARE(spaltenTexte(dlg->wertungModel(), 4).first(), QStringLiteral("9500"));

            // A range of its own: the five days of the season.
            von->setDate(t1);
            bis->setDate(t5);
            QCOMPARE(zeitraum->currentText(), QStringLiteral("eigener Zeitraum"));
            QCOMPARE(kopfTexte(dlg->wertungModel()),
                (QStringList { "Platz", "Nr", "Name", "Tage", "Summe", "07.08.26", "14.08.26", "21.08.26", "28.08.26",
                    "04.09.26" }));
            QCOMPARE(spaltenTexte(dlg->wertungModel(), 0), (QStringList { "1", "1", "3", "3", "5", "6", "7" }));
            QCOMPARE(spaltenTexte(dlg->wertungModel(), 2),
                (QStringList {
                    anna, "Carl Christ", "Bernd Brandt", "Frieda Fuchs", "Dora Dreyer", "Gert Gans", "Emil Ernst" }));

            // Best 3, from 3 match days on, the women's group only (t5 has
            // no files and so no group).
            kind<QComboBox>(dlg, "cmbRegel")->setCurrentIndex(2);
            kind<QSpinBox>(dlg, "spbBesteN")->setValue(3);
            kind<QSpinBox>(dlg, "spbMindestTage")->setValue(3);
            QCOMPARE(spaltenTexte(dlg->wertungModel(), 2),
                (QStringList { "Carl Christ", "Bernd Brandt", anna, "Frieda Fuchs", "Emil Ernst" }));
            QCOMPARE(spaltenTexte(dlg->wertungModel(), 5), (QStringList { "4500", "3500", "3000", "3000", "1600" }));
            QCOMPARE(spaltenTexte(dlg->unterMindestModel(), 2), (QStringList { "Dora Dreyer", "Gert Gans" }));
            // Anna's 800 of the third day does not count and steps back; her 1100 counts.
            const QAbstractItemModel* m = dlg->wertungModel();
            QCOMPARE(m->index(2, 8).data().toString(), QStringLiteral("(800)"));
            QCOMPARE(m->index(2, 8).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::gray));
            QCOMPARE(m->index(2, 7).data().toString(), QStringLiteral("1100"));
            QVERIFY(!m->index(2, 7).data(Qt::ForegroundRole).isValid());
            auto* gruppe = kind<QComboBox>(dlg, "cmbGruppe");
            QCOMPARE(comboTexte(gruppe), (QStringList { "alle Gruppen", "Damen", "Herren" }));
            // File names as the match day's files carry them: range in
            // yyyy-MM-dd, in the data folder, with the group when one is chosen.
            const QString ordner = Testumgebung::datenOrdner() + QLatin1Char('/');
            QCOMPARE(dlg->dateiVorschlag(QStringLiteral("csv")),
                ordner + QStringLiteral("Saison_2026-08-07_2026-09-04.csv"));
            QCOMPARE(dlg->dateiVorschlag(QStringLiteral("html")),
                ordner + QStringLiteral("Rangliste_2026-08-07_2026-09-04.html"));
            gruppe->setCurrentIndex(1);
            QCOMPARE(dlg->dateiVorschlag(QStringLiteral("pdf")),
                ordner + QStringLiteral("Damen_2026-08-07_2026-09-04_Saison.pdf"));
            QCOMPARE(dlg->dateiVorschlag(QStringLiteral("html")),
                ordner + QStringLiteral("Rangliste_2026-08-07_2026-09-04.html"));
            // Frieda plays three of the women's days, Anna four.
            QCOMPARE(spaltenTexte(dlg->wertungModel(), 2), (QStringList { anna, "Frieda Fuchs" }));
            QCOMPARE(spaltenTexte(dlg->wertungModel(), 5), (QStringList { "3000", "2500" }));
            QCOMPARE(dlg->unterMindestModel()->rowCount(), 0);
            kind<QSpinBox>(dlg, "spbMindestTage")->setValue(4);
            QCOMPARE(spaltenTexte(dlg->wertungModel(), 2), (QStringList { anna }));
            QCOMPARE(spaltenTexte(dlg->wertungModel(), 5), (QStringList { "3000" }));
            QCOMPARE(spaltenTexte(dlg->unterMindestModel(), 2), (QStringList { "Frieda Fuchs" }));
            QCOMPARE(dlg->wertungModel()->columnCount(), 6 + 4);

            // Anna's history: her series per day; on t2 one series she sat
            // out, on t5 no files, only the Rangliste points.
            auto* ansicht = kind<QTreeView>(dlg, "trvWertung");
            ansicht->setCurrentIndex(ansicht->model()->index(0, 2));
            const QStandardItemModel* verlauf = dlg->verlaufModel();
            QCOMPARE(kopfTexte(verlauf),
                (QStringList { "Datum", "Gruppe", "S1", "S2", "S3", "Summe", "Kosten", "Rangliste" }));
            QCOMPARE(spaltenTexte(verlauf, 0),
                (QStringList { "07.08.2026", "14.08.2026", "21.08.2026", "28.08.2026", "04.09.2026" }));
            QStringList t2Zeile, t5Zeile;
            for (int c = 0; c < verlauf->columnCount(); ++c) {
                t2Zeile << verlauf->index(1, c).data().toString();
                t5Zeile << verlauf->index(4, c).data().toString();
            }
            QCOMPARE(t2Zeile, (QStringList { "14.08.2026", "Damen", "300", "-", "700", "1000", "0,00", "1100" }));
            QCOMPARE(t5Zeile, (QStringList { "04.09.2026", "keine Gruppendatei", "", "", "", "", "", "700" }));
            // Frieda from the list of those below the minimum.
            auto* unten = kind<QTreeView>(dlg, "trvUnterMindest");
            unten->setCurrentIndex(unten->model()->index(0, 0));
            QCOMPARE(spaltenTexte(verlauf, 1), (QStringList { "Damen", "Damen", "Damen", "keine Gruppendatei" }));

            // The page as PDF, then a PDF into a missing folder, then the
            // spreadsheet file (the suffix added).
            kind<QPushButton>(dlg, "pbPdf")->click();
            QVERIFY(QFile::exists(pdf));
            QVERIFY(w.d.fehlerTexte.isEmpty());
            if (pdftotextDa()) {
                const QString text = pdfText(pdf);
                QVERIFY2(text.contains(QStringLiteral("Saisonwertung 07.08.2026 bis 04.09.2026")), qPrintable(text));
                QVERIFY2(text.contains(QStringLiteral("Vereinsmeisterschaft, Gruppe Damen, beste 3 Spieltage")),
                    qPrintable(text));
                QVERIFY2(text.contains(anna), qPrintable(text));
                QVERIFY2(text.contains(QStringLiteral("Weniger als 4 Spieltage")), qPrintable(text));
                QVERIFY2(text.contains(QStringLiteral("Frieda Fuchs")), qPrintable(text));
            } else {
                qWarning("pdftotext not installed; the PDF's text is not checked");
            }
            kind<QPushButton>(dlg, "pbPdf")->click();
            QCOMPARE(w.d.fehlerTexte.size(), 1);
            QVERIFY(w.d.fehlerTexte.first().contains(unmoeglich));
            QVERIFY(!QFile::exists(unmoeglich));
            kind<QPushButton>(dlg, "pbCsv")->click();
            const QByteArray bytes = Testumgebung::dateiInhalt(csv + QStringLiteral(".csv"));
            QVERIFY(bytes.startsWith("\xEF\xBB\xBFSaisonwertung 07.08.2026 bis 04.09.2026\r\n"));
            QVERIFY(bytes.contains("Platz;Nr;Name;Tage;Summe;Beste 3;07.08.2026;14.08.2026;21.08.2026;28.08.2026\r\n"
                                   "1;101;"
                + anna.toUtf8() + ";4;3800;3000;900;1100;800;1000\r\n"));

            // The ranking page of its own button for this range: per name,
            // so the renamed player is two lines.
            kind<QPushButton>(dlg, "pbHtml")->click();
            const QByteArray seite = Testumgebung::dateiInhalt(html);
            QVERIFY(seite.contains("\t<h1>Rangliste 07-08-2026 bis 04-09-2026 Vereinsmeisterschaft</h1><br>\n"));
            QVERIFY(seite.contains("<td>Anna \xd6zt\xfcrk</td><td class = \"zahl\">4500</td>"));
            QVERIFY(seite.contains("<td>Bernd Bauer</td><td class = \"zahl\">2200</td>"));
            QVERIFY(seite.contains("<td>Bernd Baumann</td><td class = \"zahl\">1300</td>"));

            // The same name again: the added suffix names an existing file,
            // so it asks first, and No keeps the file.
            w.d.dateiname(csv);
            w.d.antworte(false);
            kind<QSpinBox>(dlg, "spbMindestTage")->setValue(0);
            kind<QPushButton>(dlg, "pbCsv")->click();
            QCOMPARE(w.d.fragen.size(), 1);
            QVERIFY(w.d.fragen.first().contains(QStringLiteral("saison.csv gibt es schon")));
            QCOMPARE(Testumgebung::dateiInhalt(csv + QStringLiteral(".csv")), bytes);
            kind<QSpinBox>(dlg, "spbMindestTage")->setValue(4);

            // The print preview opens on the page and closes again.
            auto vorschau
                = beimNaechstenDialog("QPrintPreviewDialog", [](QWidget* v) { static_cast<QDialog*>(v)->reject(); });
            kind<QPushButton>(dlg, "pbDrucken")->click();
            QVERIFY(*vorschau);

            // A season start of 1 January makes this season the calendar year.
            zeitraum->setCurrentIndex(zeitraum->findText(QStringLiteral("diese Saison")));
            kind<QDateEdit>(dlg, "deSaisonBeginn")->setDate(QDate(2000, 1, 1));
            QCOMPARE(von->date(), QDate(heute.year(), 1, 1));
            QCOMPARE(bis->date(), QDate(heute.year(), 12, 31));
            geprueft = true;
        }));
        QVERIFY(geprueft);
        QVERIFY(w.d.unerwartet.isEmpty());
        QCOMPARE(w->settings()->value(QStringLiteral("Saison/Beginn")).toString(), QStringLiteral("01-01"));

        // The choices are there again next time.
        QVERIFY(mitDialog(aktion, "DlgSaison", [&](QWidget* dlg) {
            QCOMPARE(kind<QComboBox>(dlg, "cmbRegel")->currentIndex(), 2);
            QCOMPARE(kind<QSpinBox>(dlg, "spbBesteN")->value(), 3);
            QCOMPARE(kind<QSpinBox>(dlg, "spbMindestTage")->value(), 4);
            QCOMPARE(kind<QDateEdit>(dlg, "deVon")->date(), QDate(QDate::currentDate().year(), 1, 1));
        }));
    }

    void gaesteImDialog()
    {
        Fenster w;
        ranglisteSchreiben(w->registry().hauptDatenbank(), zeilen());
        // Carl (103) and Gert (107) are guests; Frieda (106) is a member;
        // the others are in Rangliste only and count as members.
        Turnierbau::Spieler carl { QStringLiteral("Carl"), QStringLiteral("Christ") };
        carl.mitglied = QStringLiteral("Nein");
        carl.startNr = 103;
        Turnierbau::Spieler gert { QStringLiteral("Gert"), QStringLiteral("Gans") };
        gert.mitglied = QStringLiteral("ja"); // anything but "Ja" is no member
        gert.startNr = 107;
        Turnierbau::Spieler frieda { QStringLiteral("Frieda"), QStringLiteral("Fuchs") };
        frieda.startNr = 106;
        Turnierbau::spielerAnlegen(*w, { carl, gert, frieda });
        const QString csv = Testumgebung::zuhause() + QStringLiteral("/gaeste.csv");
        const QString pdf = Testumgebung::zuhause() + QStringLiteral("/gaeste.pdf");
        w.d.dateiname(csv);
        w.d.dateiname(pdf);
        QAction* aktion = w->aktion(QStringLiteral("actSaisonwertung"));
        QVERIFY(mitDialog(aktion, "DlgSaison", [&](QWidget* d) {
            auto* dlg = qobject_cast<DlgSaison*>(d);
            QVERIFY(dlg);
            auto* gaeste = kind<QComboBox>(dlg, "cmbGaeste");
            QVERIFY(gaeste);
            QCOMPARE(comboTexte(gaeste),
                (QStringList { "mit den Mitgliedern werten", "getrennt werten", "nicht werten" }));
            // Today's ranking unless told otherwise.
            QCOMPARE(gaeste->currentIndex(), 0);
            auto* zeitraum = kind<QComboBox>(dlg, "cmbZeitraum");
            zeitraum->setCurrentIndex(zeitraum->findText(QStringLiteral("alle")));
            QCOMPARE(dlg->wertungModel()->rowCount(), 7);
            QVERIFY(!kind<QWidget>(dlg, "wgGaesteWertung")->isVisibleTo(dlg));

            gaeste->setCurrentIndex(1);
            QCOMPARE(dlg->wertungModel()->rowCount(), 5);
            QCOMPARE(spaltenTexte(dlg->gaesteModel(), Saison::SpName), (QStringList { "Carl Christ", "Gert Gans" }));
            QCOMPARE(spaltenTexte(dlg->gaesteModel(), Saison::SpPlatz), (QStringList { "1", "2" }));
            QVERIFY(kind<QWidget>(dlg, "wgGaesteWertung")->isVisibleTo(dlg));
            kind<QPushButton>(dlg, "pbCsv")->click();
            kind<QPushButton>(dlg, "pbPdf")->click();

            gaeste->setCurrentIndex(2);
            QCOMPARE(dlg->wertungModel()->rowCount(), 5);
            QVERIFY(!spaltenTexte(dlg->wertungModel(), Saison::SpName).contains(QStringLiteral("Carl Christ")));
            QCOMPARE(dlg->gaesteModel()->rowCount(), 0);
            QVERIFY(!kind<QWidget>(dlg, "wgGaesteWertung")->isVisibleTo(dlg));
        }));
        QVERIFY(w.d.fehlerTexte.isEmpty());
        QCOMPARE(w->settings()->value(Saison::schluesselGaeste).toInt(), 2);
        QVERIFY(mitDialog(aktion, "DlgSaison",
            [&](QWidget* dlg) { QCOMPARE(kind<QComboBox>(dlg, "cmbGaeste")->currentIndex(), 2); }));

        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        QVERIFY2(text.contains(QStringLiteral("\r\nG\u00e4ste\r\n1;103;Carl Christ;")), qPrintable(text));
        if (pdftotextDa()) {
            const QString seite = pdfText(pdf);
            QVERIFY2(seite.contains(QStringLiteral("G\u00e4ste getrennt gewertet")), qPrintable(seite));
            QVERIFY(seite.indexOf(QStringLiteral("Emil Ernst")) < seite.indexOf(QStringLiteral("Carl Christ")));
        }
    }

    void ohneErgebnisse()
    {
        Fenster w;
        const QString pdf = Testumgebung::zuhause() + QStringLiteral("/leer.pdf");
        w.d.dateiname(pdf);
        QVERIFY(mitDialog(w->aktion(QStringLiteral("actSaisonwertung")), "DlgSaison", [&](QWidget* d) {
            auto* dlg = qobject_cast<DlgSaison*>(d);
            QCOMPARE(dlg->wertungModel()->rowCount(), 0);
            QVERIFY(!kind<QWidget>(dlg, "wgUnterMindest")->isVisibleTo(dlg));
            kind<QPushButton>(dlg, "pbPdf")->click();
        }));
        QVERIFY(QFile::exists(pdf));
        if (pdftotextDa())
            QVERIFY(pdfText(pdf).contains(QStringLiteral("Keine Ergebnisse im Zeitraum.")));
        QVERIFY(w.d.fehlerTexte.isEmpty());
    }
};

REIZWERK_TEST(TstDlgSaison)
#include "tst_dlgsaison.moc"
