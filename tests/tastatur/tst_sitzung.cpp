#include "testumgebung.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QSpinBox>
#include <QSqlTableModel>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTableView>

#include "app/mainwindow.h"
#include "setup/teilnehmertabelle.h"
#include "tasten.h"
#include "ui_mainwindow.h"
#include "widgets/treeview.h"

using Turnierbau::spalte;
using Turnierbau::wert;

namespace
{
// Runs the handler on the dialog a key opens; a dialog it leaves open is
// rejected, so nothing waits on it.
bool mitTaste(const char* klasse, int key, Qt::KeyboardModifiers mod, std::function<void(QWidget*)> handeln)
{
    auto erledigt = beimNaechstenDialog(klasse, [handeln](QWidget* dlg) {
        handeln(dlg);
        if (dlg->isVisible())
            static_cast<QDialog*>(dlg)->reject();
    });
    QWidget* fenster = QApplication::activeWindow();
    taste(key, mod);
    // The window has the keyboard again once the dialog is gone.
    if (fenster) {
        fenster->activateWindow();
        if (!QTest::qWaitForWindowActive(fenster))
            return false;
    }
    return *erledigt;
}
} // namespace

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
        QVERIFY(mitTaste("DlgNewGroup", Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier, [](QWidget* dlg) {
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

        // The draw: Ctrl+L, Enter takes random for series 1.
        QVERIFY(mitTaste(
            "DlgAuslosung", Qt::Key_L, Qt::ControlModifier, [](QWidget* dlg) { tasteIn(dlg, Qt::Key_Return); }));
        QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Serie1 WHERE Tisch > 0")).toInt(), 12);

        // Table 1's list through the game-list dialog: Ctrl+E opens it on
        // the drawn series and its first table, points and costs by Tab,
        // Enter saves and goes on to the next table.
        QVERIFY(mitTaste("DlgListeEintragen", Qt::Key_E, Qt::ControlModifier, [](QWidget* dlg) {
            QCOMPARE(dlg->findChild<QComboBox*>(QStringLiteral("cmbSerie"))->currentData().toInt(), 1);
            QCOMPARE(dlg->findChild<QComboBox*>(QStringLiteral("cmbTisch"))->currentData().toInt(), 1);
            // A line edit reached by Tab selects its text in an active
            // window; offscreen the dialog never becomes active, so the
            // selection is made here as Tab would make it.
            auto auswaehlen = [dlg] {
                if (auto* feld = qobject_cast<QLineEdit*>(dlg->focusWidget()))
                    feld->selectAll();
            };
            for (const char* w : { "11", "1.5", "12", "2", "13", "2.5", "14" }) {
                auswaehlen();
                tippenIn(dlg, QString::fromLatin1(w));
                tasteIn(dlg, Qt::Key_Tab);
            }
            auswaehlen();
            tippenIn(dlg, QStringLiteral("3"));
            tasteIn(dlg, Qt::Key_Return);
        }));
        QCOMPARE(spalte(db, QStringLiteral("SELECT Punkte FROM Serie1 WHERE Tisch=1 ORDER BY TischIntern")),
            (QVariantList { 11, 12, 13, 14 }));

        // The rest in the table itself, in correction mode: Ctrl+K, the
        // arrows to the points of series 1, then number and Enter per row.
        taste(Qt::Key_K, Qt::ControlModifier);
        QVERIFY(f->aktion(QStringLiteral("actKorrektur"))->isChecked());
        TreeView* tabelle = f->teilnehmerAnsicht();
        tabelle->setFocus();
        QCOMPARE(QApplication::focusWidget(), tabelle);
        taste(Qt::Key_Down);
        taste(Qt::Key_Home);
        QCOMPARE(tabelle->currentIndex().row(), 0);
        QCOMPARE(tabelle->currentIndex().column(), 0);
        for (int i = 0; i < Spalte::punkte(1); ++i)
            taste(Qt::Key_Right);
        QCOMPARE(tabelle->currentIndex().column(), Spalte::punkte(1));
        for (int z = 0; z < 12; ++z) {
            tippen(QString::number(100 + 10 * z));
            taste(Qt::Key_Return);
            QTRY_COMPARE(QApplication::focusWidget(), tabelle);
        }
        // Up to the first row, two to the right (past the seated table
        // number) and the costs the same way.
        for (int z = 0; z < 11; ++z)
            taste(Qt::Key_Up);
        taste(Qt::Key_Right);
        taste(Qt::Key_Right);
        QCOMPARE(tabelle->currentIndex().column(), Spalte::kosten(1));
        QCOMPARE(tabelle->currentIndex().row(), 0);
        for (int z = 0; z < 12; ++z) {
            tippen(QStringLiteral("%1.5").arg(z));
            taste(Qt::Key_Return);
            QTRY_COMPARE(QApplication::focusWidget(), tabelle);
        }
        taste(Qt::Key_K, Qt::ControlModifier);

        // Rows are sorted by start number; every entry is in the databases.
        for (int z = 0; z < 12; ++z) {
            const int startNr = 100 + z;
            const QString wo = QStringLiteral(" WHERE StartNr=%1").arg(startNr);
            QCOMPARE(wert(db, QStringLiteral("SELECT Punkte FROM Serie1") + wo).toInt(), 100 + 10 * z);
            QCOMPARE(wert(db, QStringLiteral("SELECT Kosten FROM Serie1") + wo).toDouble(), z + 0.5);
            QCOMPARE(wert(db, QStringLiteral("SELECT SummePunkte FROM Teilnehmer") + wo).toInt(), 100 + 10 * z);
            QCOMPARE(wert(haupt, QStringLiteral("SELECT Punkte FROM Rangliste") + wo).toInt(), 100 + 10 * z);
        }
        QCOMPARE(wert(haupt, QStringLiteral("SELECT COUNT(*) FROM Rangliste")).toInt(), 12);
        QVERIFY(f.d.unerwartet.isEmpty());
        QVERIFY(f.d.fehlerTexte.isEmpty());
    }
};

REIZWERK_TEST(TstSitzung)
#include "tst_sitzung.moc"
