#include "testumgebung.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardItemModel>
#include <QTextCodec>

#include "app/mainwindow.h"
#include "spieltag.h"
#include "ui_mainwindow.h"

using Testumgebung::dateiInhalt;
using Testumgebung::golden;

class TstBerichtAusgabe : public QObject
{
    Q_OBJECT

    std::unique_ptr<Fenster> w;
    QTextCodec* vorher = nullptr;

    // "Textausgaben": picks an output type (none: leave the preset) and
    // confirms with the given file name, or cancels.
    bool ausgeben(const char* art, const QString& datei, bool ok = true)
    {
        if (ok)
            (*w).d.dateiname(datei);
        const QString name = art ? QString::fromLatin1(art) : QString();
        return mitDialog((*w)->form()->pbTextAusgaben, "DlgTextAusgabe", [name, ok](QWidget* dlg) {
            if (!name.isEmpty())
                dlg->findChild<QRadioButton*>(name)->setChecked(true);
            knopf(dlg, ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel);
        });
    }

private slots:
    void init()
    {
        Testumgebung::frischesZuhause();
        vorher = QTextCodec::codecForLocale();
        w = std::make_unique<Fenster>();
        QVERIFY(w->gruppe(4, 1).isValid());

        // The table as the golden files show it; shown only, not stored.
        const QVector<QStringList> zeilen = spieltagZeilen();
        TeilnehmerModell* m = (*w)->teilnehmer();
        QCOMPARE(m->rowCount(), 4);
        QCOMPARE(m->columnCount(), 8);
        const QSignalBlocker sperre(m);
        for (int z = 0; z < 4; ++z)
            for (int c = 0; c < 8; ++c)
                m->item(z, c)->setText(zeilen[z][c]);
        (*w)->settings()->setValue(QStringLiteral("Kosten/Preisskat"), QStringLiteral("5"));
        (*w)->settings()->setValue(QStringLiteral("Kosten/ListenName"), QStringLiteral("Herbst & Winter"));
        (*w)->form()->dateEdit->setDate(QDate(2026, 12, 5));
    }

    void cleanup()
    {
        QTextCodec::setCodecForLocale(vorher);
        if (w)
            QVERIFY2(w->d.unerwartet.isEmpty(), qPrintable(w->d.unerwartet.join(QLatin1Char(','))));
        w.reset();
    }

    void alleDreiArten()
    {
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
        const QString ordner = Testumgebung::zuhause();

        // The preset choice is the text file.
        QVERIFY(ausgeben(nullptr, ordner + QStringLiteral("/spieltag.txt")));
        QCOMPARE(dateiInhalt(ordner + QStringLiteral("/spieltag.txt")), golden(QStringLiteral("spieltag.txt")));
        QVERIFY(ausgeben("rbExcelDatei", ordner + QStringLiteral("/excel.txt")));
        QCOMPARE(dateiInhalt(ordner + QStringLiteral("/excel.txt")), golden(QStringLiteral("spieltag_excel.txt")));
        QVERIFY(ausgeben("rbHtmlDatei", ordner + QStringLiteral("/spieltag.html")));
        QCOMPARE(dateiInhalt(ordner + QStringLiteral("/spieltag.html")), golden(QStringLiteral("spieltag.html")));

        // The report changed nothing in the table.
        QCOMPARE((*w)->teilnehmer()->item(0, 1)->text(), QStringLiteral("Dr. Ludwig & S\u00f6hne"));
        QCOMPARE(w->d.fehlerTexte, QStringList());
    }

    void lokaleKodierung()
    {
        // A Latin-1 system keeps umlauts as single bytes.
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
        const QString datei = Testumgebung::zuhause() + QStringLiteral("/latin1.txt");
        QVERIFY(ausgeben("rbExcelDatei", datei));
        const QByteArray inhalt = dateiInhalt(datei);
        QVERIFY(inhalt.contains("100\tDr, Ludwig & S\xf6hne\tJa"));
        QVERIFY(!inhalt.contains("\xc3\xb6"));
    }

    void abbrechenUndFehler()
    {
        // Cancel in the choice: no file dialog at all.
        QVERIFY(ausgeben("rbHtmlDatei", QString(), false));

        // Cancel in the file dialog: nothing written, no message.
        QVERIFY(ausgeben(nullptr, QString()));
        QVERIFY(w->d.fehlerTexte.isEmpty());

        // A file that cannot be written is named, with the reason, for every type.
        const QString datei = Testumgebung::zuhause() + QStringLiteral("/gibtsnicht/bericht.txt");
        for (const char* art : { "rbTextDatei", "rbExcelDatei", "rbHtmlDatei" })
            QVERIFY(ausgeben(art, datei));
        QCOMPARE(w->d.fehlerTexte.size(), 3);
        for (const QString& text : qAsConst(w->d.fehlerTexte)) {
            QVERIFY(text.contains(datei));
            QVERIFY(text.section(QLatin1Char('\n'), 1).trimmed().size() > 0);
        }
        QVERIFY(!QFile::exists(datei));
    }
};

REIZWERK_TEST(TstBerichtAusgabe)
#include "tst_berichtausgabe.moc"
