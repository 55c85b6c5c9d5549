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
#include "ui_mainwindow.h"

namespace
{

QByteArray lesen(const QString& datei)
{
    QFile f(datei);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray golden(const QString& name)
{
    return lesen(QStringLiteral(REIZWERK_TESTDATA "/") + name);
}

// Picks an output type in DlgTextAusgabe (none: leave the preset) and
// confirms, or cancels.
std::shared_ptr<bool> ausgabeWaehlen(const char* knopf, bool ok = true)
{
    const QString name = knopf ? QString::fromLatin1(knopf) : QString();
    return beimNaechstenDialog("DlgTextAusgabe", [name, ok](QWidget* dlg) {
        if (!name.isEmpty())
            dlg->findChild<QRadioButton*>(name)->setChecked(true);
        auto* knoepfe = dlg->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
        knoepfe->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
    });
}

} // namespace

class TstBerichtAusgabe : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindow> w;
    std::unique_ptr<SkriptDialoge> d;
    QTextCodec* vorher = nullptr;

private slots:
    void init()
    {
        Testumgebung::frischesZuhause();
        vorher = QTextCodec::codecForLocale();
        w = fensterStarten();
        d = std::make_unique<SkriptDialoge>();
        QVERIFY(Turnierbau::gruppeMitSpielern(*w, *d, 4, 1).isValid());

        // The table as the golden files show it; shown only, not stored.
        const QVector<QStringList> zeilen = {
            { "100", QStringLiteral("Dr. Ludwig & S\u00f6hne"), "Ja", "120", "1", "3.5", "120", "3.5" },
            { "101", QStringLiteral("\u0141ukasz \"Luk\" <Nowak>"), "Nein", "250", "1", "1.0", "250", "1.0" },
            { "102", "Maximilian Mustermann-Ost", "Ja", "120", "2", "2.0", "120", "2.0" },
            { "103", "Anna Schmidt", "Ja", "-30", "2", "6.5", "-30", "6.5" },
        };
        QStandardItemModel* m = w->teilnehmer();
        QCOMPARE(m->rowCount(), 4);
        QCOMPARE(m->columnCount(), 8);
        const QSignalBlocker sperre(m);
        for (int z = 0; z < 4; ++z)
            for (int c = 0; c < 8; ++c)
                m->item(z, c)->setText(zeilen[z][c]);
        w->settings()->setValue(QStringLiteral("Kosten/Preisskat"), QStringLiteral("5"));
        w->settings()->setValue(QStringLiteral("Kosten/ListenName"), QStringLiteral("Herbst & Winter"));
        w->form()->dateEdit->setDate(QDate(2026, 12, 5));
    }

    void cleanup()
    {
        QTextCodec::setCodecForLocale(vorher);
        if (d)
            QVERIFY2(d->unerwartet.isEmpty(), qPrintable(d->unerwartet.join(QLatin1Char(','))));
        d.reset();
        fensterBeenden(w);
    }

    void alleDreiArten()
    {
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
        const QString ordner = Testumgebung::zuhause();

        // The preset choice is the text file.
        d->dateiname(ordner + QStringLiteral("/spieltag.txt"));
        auto gezeigt = ausgabeWaehlen(nullptr);
        w->form()->pbTextAusgaben->click();
        QVERIFY(*gezeigt);
        QCOMPARE(lesen(ordner + QStringLiteral("/spieltag.txt")), golden(QStringLiteral("spieltag.txt")));

        d->dateiname(ordner + QStringLiteral("/excel.txt"));
        gezeigt = ausgabeWaehlen("rbExcelDatei");
        w->form()->pbTextAusgaben->click();
        QVERIFY(*gezeigt);
        QCOMPARE(lesen(ordner + QStringLiteral("/excel.txt")), golden(QStringLiteral("spieltag_excel.txt")));

        d->dateiname(ordner + QStringLiteral("/spieltag.html"));
        gezeigt = ausgabeWaehlen("rbHtmlDatei");
        w->form()->pbTextAusgaben->click();
        QVERIFY(*gezeigt);
        QCOMPARE(lesen(ordner + QStringLiteral("/spieltag.html")), golden(QStringLiteral("spieltag.html")));

        // The report changed nothing in the table.
        QCOMPARE(w->teilnehmer()->item(0, 1)->text(), QStringLiteral("Dr. Ludwig & S\u00f6hne"));
        QCOMPARE(d->fehlerTexte, QStringList());
    }

    void lokaleKodierung()
    {
        // A Latin-1 system keeps umlauts as single bytes.
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
        const QString datei = Testumgebung::zuhause() + QStringLiteral("/latin1.txt");
        d->dateiname(datei);
        auto gezeigt = ausgabeWaehlen("rbExcelDatei");
        w->form()->pbTextAusgaben->click();
        QVERIFY(*gezeigt);
        const QByteArray inhalt = lesen(datei);
        QVERIFY(inhalt.contains("100\tDr, Ludwig & S\xf6hne\tJa"));
        QVERIFY(!inhalt.contains("\xc3\xb6"));
    }

    void abbrechenUndFehler()
    {
        // Cancel in the choice: no file dialog at all.
        auto gezeigt = ausgabeWaehlen("rbHtmlDatei", false);
        w->form()->pbTextAusgaben->click();
        QVERIFY(*gezeigt);

        // Cancel in the file dialog: nothing written, no message.
        d->dateiname(QString());
        gezeigt = ausgabeWaehlen(nullptr);
        w->form()->pbTextAusgaben->click();
        QVERIFY(*gezeigt);
        QVERIFY(d->fehlerTexte.isEmpty());

        // A file that cannot be written is named, with the reason, for every type.
        const QString datei = Testumgebung::zuhause() + QStringLiteral("/gibtsnicht/bericht.txt");
        for (const char* art : { "rbTextDatei", "rbExcelDatei", "rbHtmlDatei" }) {
            d->dateiname(datei);
            gezeigt = ausgabeWaehlen(art);
            w->form()->pbTextAusgaben->click();
            QVERIFY(*gezeigt);
        }
        QCOMPARE(d->fehlerTexte.size(), 3);
        for (const QString& text : qAsConst(d->fehlerTexte)) {
            QVERIFY(text.contains(datei));
            QVERIFY(text.section(QLatin1Char('\n'), 1).trimmed().size() > 0);
        }
        QVERIFY(!QFile::exists(datei));
    }
};

REIZWERK_TEST(TstBerichtAusgabe)
#include "tst_berichtausgabe.moc"
