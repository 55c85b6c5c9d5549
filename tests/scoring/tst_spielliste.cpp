#include "testumgebung.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>

#include <limits>

#include "app/mainwindow.h"
#include "scoring/dlglisteeintragen.h"
#include "setup/teilnehmertabelle.h"
#include "ui_mainwindow.h"

using namespace Turnierbau;

namespace
{
void setzen(QWidget* dlg, const QString& name, const QString& text)
{
    dlg->findChild<QLineEdit*>(name)->setText(text);
}
} // namespace

class TstSpielliste : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    // Table numbers from a damaged group file never make the selectors
    // endless.
    void auswahlBleibtBegrenzt()
    {
        DlgListeEintragen dlg(1, std::numeric_limits<int>::max(), 100000, QSqlDatabase());
        QCOMPARE(dlg.findChild<QComboBox*>(QStringLiteral("cmbTisch"))->count(), 1000);
        QCOMPARE(dlg.findChild<QComboBox*>(QStringLiteral("cmbSerie"))->count(), 21);
        DlgListeEintragen verkehrt(
            std::numeric_limits<int>::max() - 1, std::numeric_limits<int>::max(), -3, QSqlDatabase());
        QCOMPARE(verkehrt.findChild<QComboBox*>(QStringLiteral("cmbTisch"))->count(), 0);
        QCOMPARE(verkehrt.findChild<QComboBox*>(QStringLiteral("cmbSerie"))->count(), 1);
    }

    // The list takes the same numbers as the table: points whole, costs with
    // ',' or '.'; anything else keeps the dialog open and says why.
    void nurZahlenWerdenUebernommen()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(4, 2);
        sitze(db, 1, { { 100, 1, 1 }, { 101, 1, 2 }, { 102, 1, 3 }, { 103, 1, 4 } });
        TeilnehmerTabelle* t = w->tabelle();
        t->punkteItem(t->zeileVon(102), 1)->setText(QStringLiteral("7"));
        t->kostenItem(t->zeileVon(102), 1)->setText(QStringLiteral("1.5"));
        QCOMPARE(wert(db, QStringLiteral("SELECT Punkte FROM Serie1 WHERE StartNr=102")).toInt(), 7);
        QStringList meldungen;
        bool offenNachFehler = true;
        const bool gezeigt = mitDialog(w->form()->pbListeEintragen, "DlgListeEintragen", [&](QWidget* dlg) {
            auto* serie = dlg->findChild<QComboBox*>(QStringLiteral("cmbSerie"));
            serie->setCurrentIndex(1);
            emit serie->textActivated(QStringLiteral("1"));
            auto* fehler = dlg->findChild<QLabel*>(QStringLiteral("lblFehler"));
            const QList<QPair<QString, QString>> falsch { { QStringLiteral("lePunkte1"), QStringLiteral("6o") },
                { QStringLiteral("lePunkte2"), QStringLiteral("1.000") },
                { QStringLiteral("leKosten3"), QStringLiteral("nan") },
                { QStringLiteral("leKosten4"), QStringLiteral("-1") } };
            for (const auto& f : falsch) {
                const QString vorher = dlg->findChild<QLineEdit*>(f.first)->text();
                setzen(dlg, f.first, f.second);
                knopf(dlg, QDialogButtonBox::Ok);
                offenNachFehler = offenNachFehler && dlg->isVisible() && fehler->isVisible();
                meldungen << fehler->text();
                setzen(dlg, f.first, vorher);
            }
            setzen(dlg, QStringLiteral("lePunkte1"), QStringLiteral("120"));
            setzen(dlg, QStringLiteral("leKosten1"), QStringLiteral("4,5"));
            setzen(dlg, QStringLiteral("leKosten2"), QStringLiteral("2.5"));
            // Cleared fields store 0.
            setzen(dlg, QStringLiteral("lePunkte3"), QString());
            setzen(dlg, QStringLiteral("leKosten3"), QString());
            knopf(dlg, QDialogButtonBox::Ok);
        });
        QVERIFY(gezeigt);
        QVERIFY(offenNachFehler);
        QCOMPARE(meldungen.size(), 4);
        QVERIFY2(meldungen.at(0).startsWith(QStringLiteral("FEHLER: 6o ist keine Zahl")), qPrintable(meldungen.at(0)));
        QVERIFY2(
            meldungen.at(1).startsWith(QStringLiteral("FEHLER: 1.000 ist keine Zahl")), qPrintable(meldungen.at(1)));
        QVERIFY2(meldungen.at(2).startsWith(QStringLiteral("FEHLER: nan ist keine Zahl")), qPrintable(meldungen.at(2)));
        QVERIFY2(meldungen.at(3).contains(QStringLiteral("liegt nicht zwischen")), qPrintable(meldungen.at(3)));

        const int z = t->zeileVon(100);
        QCOMPARE(t->punkteItem(z, 1)->text(), QStringLiteral("120"));
        QCOMPARE(t->kostenItem(z, 1)->text(), QStringLiteral("4.5"));
        QCOMPARE(wert(db, QStringLiteral("SELECT Kosten FROM Serie1 WHERE StartNr=100")).toDouble(), 4.5);
        QCOMPARE(wert(db, QStringLiteral("SELECT Kosten FROM Serie1 WHERE StartNr=101")).toDouble(), 2.5);
        QCOMPARE(wert(db, QStringLiteral("SELECT SummeKosten FROM Teilnehmer WHERE StartNr=100")).toDouble(), 4.5);
        QCOMPARE(wert(db, QStringLiteral("SELECT Punkte FROM Serie1 WHERE StartNr=100")).toInt(), 120);
        QCOMPARE(wert(db, QStringLiteral("SELECT Punkte FROM Serie1 WHERE StartNr=102")).toInt(), 0);
        QCOMPARE(wert(db, QStringLiteral("SELECT Kosten FROM Serie1 WHERE StartNr=102")).toDouble(), 0.0);
        QCOMPARE(t->punkteItem(t->zeileVon(102), 1)->text(), QStringLiteral("0"));
        QCOMPARE(t->kostenItem(t->zeileVon(102), 1)->text(), QStringLiteral("0.0"));
        QVERIFY(w.d.unerwartet.isEmpty());
    }
};

REIZWERK_TEST(TstSpielliste)
#include "tst_spielliste.moc"
