#include "testumgebung.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>

#include "app/sprache.h"

namespace
{
QString jaText()
{
    QMessageBox box(
        QMessageBox::Question, QStringLiteral("FRAGE"), QStringLiteral("?"), QMessageBox::Yes | QMessageBox::No);
    return box.button(QMessageBox::Yes)->text() + QLatin1Char('|') + box.button(QMessageBox::No)->text();
}
} // namespace

class TstSprache : public QObject
{
    Q_OBJECT
private slots:
    void welcheGebietsschemata()
    {
        // German and unset locales, as QLocale names them for LANG=de_DE.UTF-8,
        // LANG=C, LANG=POSIX or no LANG at all.
        for (const char* name : { "de_DE", "de_AT", "de_CH", "de", "de_DE.UTF-8", "C", "POSIX", "", "C.UTF-8" })
            QVERIFY2(Sprache::deutschVerwenden(QString::fromLatin1(name)), name);
        for (const char* name : { "en_US", "fr_FR", "nl_NL", "dsb_DE", "en_DE" })
            QVERIFY2(!Sprache::deutschVerwenden(QString::fromLatin1(name)), name);
    }

    void standardKnoepfeAufDeutsch()
    {
        // Without the translation the toolkit speaks English.
        QCOMPARE(jaText(), QStringLiteral("&Yes|&No"));

        // Under LANG=C, LANG=de_DE.UTF-8 the buttons read Ja and Nein.
        for (const char* name : { "C", "de_DE" }) {
            QTranslator* t = Sprache::einrichten(*QCoreApplication::instance(), QString::fromLatin1(name));
            QVERIFY2(t, "qtbase_de.qm fehlt (Paket qttranslations5-l10n)");
            QCOMPARE(jaText(), QStringLiteral("&Ja|&Nein"));
            QDialogButtonBox knoepfe(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
            QCOMPARE(knoepfe.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Abbrechen"));
            QCoreApplication::removeTranslator(t);
            delete t;
        }

        // Another language keeps the toolkit's own texts.
        QCOMPARE(Sprache::einrichten(*QCoreApplication::instance(), QStringLiteral("en_US")), nullptr);
        QCOMPARE(jaText(), QStringLiteral("&Yes|&No"));
    }
};

REIZWERK_TEST(TstSprache)
#include "tst_sprache.moc"
