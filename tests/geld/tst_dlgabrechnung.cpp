#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>

#include "testumgebung.h"

#include "geldbau.h"

#include "app/mainwindow.h"
#include "geld/dlgabrechnung.h"
#include "storage/datenbank.h"
#include "widgets/treeview.h"

class TstDlgAbrechnung : public QObject
{
    Q_OBJECT

private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void abrechnungDesAbends()
    {
        Fenster f;
        QSqlDatabase db = f.gruppe(6, 1);
        QVERIFY(db.isOpen());
        // Points 300, 200, 200, 100, 50, 0 and 1,50 € costs each.
        const QVector<int> punkte { 300, 200, 200, 100, 50, 0 };
        for (int i = 0; i < punkte.size(); ++i)
            Turnierbau::sql(db,
                QStringLiteral("UPDATE Serie1 SET Punkte = %1, Kosten = 1.5 WHERE StartNr = %2")
                    .arg(punkte.at(i))
                    .arg(100 + i));
        const QString csv = QDir(Testumgebung::dokumente()).filePath(QStringLiteral("abrechnung.csv"));
        const QString pdf = QDir(Testumgebung::dokumente()).filePath(QStringLiteral("abrechnung"));
        f.d.dateiname(csv);
        f.d.dateiname(pdf);

        QVERIFY(mitDialog(aktionBereit(*f, QStringLiteral("actAbrechnung")), "DlgAbrechnung", [&](QWidget* dlg) {
            QCOMPARE(dlg->objectName(), QStringLiteral("Abrechnung"));
            auto* summen = dlg->findChild<QLabel*>(QStringLiteral("lblSummen"));
            auto* status = dlg->findChild<QLabel*>(QStringLiteral("lblStatus"));
            auto* startgeld = dlg->findChild<QLineEdit*>(QStringLiteral("leStartgeld"));
            auto* werte = dlg->findChild<QLineEdit*>(QStringLiteral("lePlanWerte"));
            auto* proTisch = dlg->findChild<QCheckBox*>(QStringLiteral("chkProTisch"));
            auto* festlegen = dlg->findChild<QPushButton*>(QStringLiteral("btnFestlegen"));
            auto* tabelle = dlg->findChild<QTableWidget*>(QStringLiteral("twAbrechnung"));
            QVERIFY(summen && status && startgeld && werte && proTisch && festlegen && tabelle);
            QVERIFY(summen->text().startsWith(QStringLiteral("keine Gebühren")));
            QCOMPARE(tabelle->rowCount(), 6);
            QCOMPARE(tabelle->item(0, DlgAbrechnung::Schuld)->text(), QStringLiteral("1,50"));

            // Refused: the status says so, the field shows the default again.
            startgeld->setText(QStringLiteral("zehn"));
            festlegen->click();
            QVERIFY(status->text().startsWith(QStringLiteral("FEHLER: ")));
            QCOMPARE(startgeld->text(), QStringLiteral("10,00"));
            QVERIFY(!Db::tabelleVorhanden(db, QStringLiteral("Gebuehren")));

            // 6 × 5 € = 30 €, two tables: 15 € and 9 €, shared by the two
            // on 200 points.
            startgeld->setText(QStringLiteral("5"));
            werte->setText(QStringLiteral("50;30;20"));
            proTisch->setChecked(true);
            dlg->findChild<QSpinBox*>(QStringLiteral("sbVerlorenBis"))->setValue(3);
            dlg->findChild<QLineEdit*>(QStringLiteral("lePassGeld"))->setText(QStringLiteral("0,2"));
            festlegen->click();
            QVERIFY(status->text().isEmpty());
            QCOMPARE(f->settings()->value(QStringLiteral("Geld/VerlorenBis")).toInt(), 3);
            QCOMPARE(f->settings()->value(QStringLiteral("Geld/PassCent")).toInt(), 20);
            QCOMPARE(Turnierbau::wert(db, QStringLiteral("SELECT Startgeld FROM Gebuehren")).toLongLong(), qint64(500));
            QCOMPARE(tabelle->item(0, DlgAbrechnung::Preise)->text(), QStringLiteral("15,00"));
            QCOMPARE(tabelle->item(1, DlgAbrechnung::Preise)->text(), QStringLiteral("4,50"));
            QCOMPARE(tabelle->item(2, DlgAbrechnung::Preise)->text(), QStringLiteral("4,50"));
            QCOMPARE(tabelle->item(3, DlgAbrechnung::Preise)->text(), QStringLiteral("0,00"));

            // One key marks paid, and again unmarks.
            tabelle->setFocus();
            tabelle->setCurrentCell(0, DlgAbrechnung::Name);
            QTest::keyClick(tabelle, Qt::Key_Space);
            QCOMPARE(
                Turnierbau::wert(db, QStringLiteral("SELECT Alles FROM Zahlungen WHERE StartNr = 100")).toInt(), 1);
            QCOMPARE(tabelle->item(0, DlgAbrechnung::Bezahlt)->checkState(), Qt::Checked);
            QCOMPARE(tabelle->item(0, DlgAbrechnung::Saldo)->text(), QStringLiteral("15,00"));
            QTest::keyClick(tabelle, Qt::Key_Space);
            QCOMPARE(Turnierbau::wert(db, QStringLiteral("SELECT count(*) FROM Zahlungen")).toInt(), 0);
            QTest::keyClick(tabelle, Qt::Key_Space);

            // An amount typed in; a refused one shows the stored amount again.
            tabelle->item(1, DlgAbrechnung::Betrag)->setText(QStringLiteral("3,2"));
            QCoreApplication::processEvents();
            QCOMPARE(
                Turnierbau::wert(db, QStringLiteral("SELECT Betrag FROM Zahlungen WHERE StartNr = 101")).toLongLong(),
                qint64(320));
            tabelle->item(1, DlgAbrechnung::Betrag)->setText(QStringLiteral("x"));
            QCoreApplication::processEvents();
            QVERIFY(status->text().startsWith(QStringLiteral("FEHLER: ")));
            QCOMPARE(tabelle->item(1, DlgAbrechnung::Betrag)->text(), QStringLiteral("3,20"));
            QCOMPARE(tabelle->item(1, DlgAbrechnung::Saldo)->text(), QStringLiteral("1,20"));

            // A result that came in meanwhile is written out too: 105's
            // costs rise to 2,50 €.
            Turnierbau::sql(db, QStringLiteral("UPDATE Serie1 SET Kosten = 2.5 WHERE StartNr = 105"));
            dlg->findChild<QPushButton*>(QStringLiteral("btnCsv"))->click();
            dlg->findChild<QPushButton*>(QStringLiteral("btnPdf"))->click();
        }));
        QVERIFY(f.d.unerwartet.isEmpty());

        // At the door: one key in the results table marks the participant
        // of the current row paid, and again not.
        auto* ansicht = f->teilnehmerAnsicht();
        QModelIndex zeile;
        for (int r = 0; r < ansicht->model()->rowCount(); ++r)
            if (ansicht->model()->index(r, 0).data(Qt::UserRole + 1).toInt() == 104)
                zeile = ansicht->model()->index(r, 1);
        QVERIFY(zeile.isValid());
        ansicht->setCurrentIndex(zeile);
        QVERIFY(ausloesen(*f, QStringLiteral("actBezahlt")));
        QCOMPARE(Turnierbau::wert(db, QStringLiteral("SELECT Alles FROM Zahlungen WHERE StartNr = 104")).toInt(), 1);
        QVERIFY(f->statusBar()->currentMessage().endsWith(QStringLiteral(": bezahlt")));
        QVERIFY(ausloesen(*f, QStringLiteral("actBezahlt")));
        QCOMPARE(Turnierbau::wert(db, QStringLiteral("SELECT count(*) FROM Zahlungen WHERE StartNr = 104")).toInt(), 0);
        QVERIFY(f->statusBar()->currentMessage().endsWith(QStringLiteral(": nicht bezahlt")));
        const QList<QByteArray> zeilen = Testumgebung::dateiInhalt(csv).split('\n');
        QCOMPARE(zeilen.size(), 2 + 6 + 7 + 1);
        QCOMPARE(zeilen.at(2).mid(zeilen.at(2).indexOf(';', 4)),
            QByteArray(";5,00;1,50;0,00;6,50;6,50;15,00;0,00;0,00;15,00\r"));
        // In 5 × 6,50 + 7,50 = 40 €; out 24 €; the club keeps 16 €.
        QCOMPARE(zeilen.at(8), QByteArray("Einnahmen (geschuldet);40,00\r"));
        QCOMPARE(zeilen.at(10), QByteArray("Ausgaben (Preise);24,00\r"));
        QCOMPARE(zeilen.at(11), QByteArray("Verbleibt beim Verein;16,00\r"));
        // The PDF gets its suffix and says the same.
        const QString text = Geldbau::pdfText(pdf + QStringLiteral(".pdf"));
        QVERIFY(text.contains(QStringLiteral("Einnahmen (geschuldet): 40,00 €")));
        QVERIFY(text.contains(QStringLiteral("Verbleibt beim Verein: 16,00 €")));
        QCOMPARE(zeilen.at(12), QByteArray("davon Rest (Rundung, nicht vergebene Plätze);6,00\r"));
    }
};

REIZWERK_TEST(TstDlgAbrechnung)
#include "tst_dlgabrechnung.moc"
