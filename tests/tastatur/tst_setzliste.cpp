#include "testumgebung.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTreeView>

#include "app/mainwindow.h"
#include "draw/dlgauslosung.h"
#include "tasten.h"
#include "ui_mainwindow.h"

// The seeding list is typed in like the results table.
class TstSetzliste : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void tischUndPlatzMitDerTastatur()
    {
        Fenster w;
        QVERIFY(w.gruppe(7, 1).isValid());
        DlgAuslosung dlg(w->form()->cmbTeilnehmerGruppe->currentText(), w->registry().map(), 1, QDate(2024, 3, 15));
        dlg.show();
        dlg.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        dlg.findChild<QRadioButton*>(QStringLiteral("rbSetzen"))->click();
        auto* liste = dlg.findChild<QTreeView*>(QStringLiteral("trvSetzliste"));
        auto* m = qobject_cast<QStandardItemModel*>(liste->model());
        QCOMPARE(m->rowCount(), 7);

        // Typing a table number into the first row picks it in the editor;
        // Enter stores it and moves down.
        liste->setFocus();
        liste->setCurrentIndex(m->index(0, 2));
        tippen(QStringLiteral("2"));
        QVERIFY(liste->viewport()->findChild<QComboBox*>());
        taste(Qt::Key_Return);
        QTRY_COMPARE(m->item(0, 2)->text(), QStringLiteral("2"));
        QTRY_COMPARE(liste->currentIndex(), m->index(1, 2));
        QVERIFY(dlg.isVisible());

        // The seat of that row, reached by the arrow keys and opened with
        // F2, offers the three seats of table 2 only.
        taste(Qt::Key_Up);
        taste(Qt::Key_Right);
        QCOMPARE(liste->currentIndex(), m->index(0, 3));
        taste(Qt::Key_F2);
        auto* platz = liste->viewport()->findChild<QComboBox*>();
        QVERIFY(platz);
        QCOMPARE(platz->count(), 3);
        taste(Qt::Key_Escape);
        QTRY_VERIFY(!liste->viewport()->findChild<QComboBox*>());
        QCOMPARE(m->item(0, 3)->text(), QStringLiteral("0"));
        // Name and number stay as they are, whatever is typed.
        liste->setCurrentIndex(m->index(1, 1));
        tippen(QStringLiteral("x"));
        QVERIFY(!liste->viewport()->findChild<QComboBox*>());
        QVERIFY(!liste->viewport()->findChild<QLineEdit*>());
    }
};

REIZWERK_TEST(TstSetzliste)
#include "tst_setzliste.moc"
