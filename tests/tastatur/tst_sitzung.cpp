#include "testumgebung.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QSpinBox>
#include <QSqlTableModel>
#include <QStandardItemModel>
#include <QTableView>

#include "app/mainwindow.h"
#include "tasten.h"
#include "ui_mainwindow.h"

using Turnierbau::wert;


// A match day at the keyboard: the mouse never touches a table.
class TstSitzung : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void spieltagMitDerTastatur()
    {
        Fenster f;
        Ui::MainWindow* ui = f->form();
        f->resize(1280, 800);
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.get()));
        ui->tabWidget->setFocus();

        // Twelve players into the roster: Ctrl+N, first name, Enter, last
        // name, Enter moves on to the group, Escape leaves it.
        for (int i = 1; i <= 12; ++i) {
            taste(Qt::Key_N, Qt::ControlModifier);
            QTRY_VERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
            tippen(QStringLiteral("Vor%1").arg(i));
            taste(Qt::Key_Return);
            QTRY_COMPARE(ui->tblViewSpieler->currentIndex().column(), 2);
            QTRY_VERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
            tippen(QStringLiteral("Nach%1").arg(i));
            taste(Qt::Key_Return);
            QTRY_COMPARE(ui->tblViewSpieler->currentIndex().column(), 3);
            QTRY_VERIFY(QApplication::focusWidget() != ui->tblViewSpieler);
            taste(Qt::Key_Escape);
            QTRY_COMPARE(QApplication::focusWidget(), ui->tblViewSpieler);
        }
        QSqlDatabase haupt = f->registry().hauptDatenbank();
        QCOMPARE(wert(haupt, QStringLiteral("SELECT COUNT(*) FROM Spieler")).toInt(), 12);
        QCOMPARE(wert(haupt, QStringLiteral("SELECT NachName FROM Spieler WHERE VorName='Vor12'")).toString(),
            QStringLiteral("Nach12"));
        QCOMPARE(
            wert(haupt, QStringLiteral("SELECT COUNT(*) FROM Spieler WHERE VorName='-' OR NachName='-'")).toInt(), 0);

        // The group: a new tournament with two series, everyone chosen with
        // Ctrl+A and moved over with Ctrl+Right, confirmed with Ctrl+Return.
        QVERIFY(dialogPerTaste("DlgNewGroup", Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier, [](QWidget* dlg) {
            auto* serien = dlg->findChild<QSpinBox*>(QStringLiteral("spbAnzahlSerien"));
            serien->setFocus();
            serien->selectAll();
            tippenIn(dlg, QStringLiteral("2"));
            tasteIn(dlg, Qt::Key_Return);
        }));
        QCOMPARE(ui->tabWidget->currentIndex(), 1);
        ui->trvSpieler->setFocus();
        taste(Qt::Key_A, Qt::ControlModifier);
        taste(Qt::Key_Right, Qt::ControlModifier);
        // A button's key clicks it the way a mouse would, a moment later.
        QTRY_COMPARE(f->teilnehmer()->rowCount(), 12);
        f.d.antworte(true);
        taste(Qt::Key_Return, Qt::ControlModifier);
        QTRY_VERIFY(f->registry().datenbank(QStringLiteral("Alle")).isOpen());
        QSqlDatabase db = f->registry().datenbank(QStringLiteral("Alle"));
        QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Teilnehmer")).toInt(), 12);

        // The evening goes on at the keyboard as TstAbend walks it: the
        // draw on Ctrl+L, the game lists on Ctrl+E, correction mode on
        // Ctrl+K; typing into the table is TstTabellenTasten's.
        QVERIFY(f.d.unerwartet.isEmpty());
        QVERIFY(f.d.fehlerTexte.isEmpty());
    }
};

REIZWERK_TEST(TstSitzung)
#include "tst_sitzung.moc"
