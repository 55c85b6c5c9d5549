#include "testumgebung.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSqlQuery>
#include <QStandardItemModel>
#include <QTreeView>

#include "scoring/dlglisteeintragen.h"
#include "tasten.h"
#include "widgets/tastatur.h"
#include "widgets/treeview.h"

class TstTabellenTasten : public QObject
{
    Q_OBJECT
private slots:
    void tippenWieInDerTabellenkalkulation()
    {
        QStandardItemModel m(3, 3);
        for (int z = 0; z < 3; ++z)
            for (int c = 0; c < 3; ++c)
                m.setItem(z, c, new QStandardItem(QStringLiteral("%1%2").arg(z).arg(c)));
        m.item(2, 0)->setEditable(false);
        TreeView v;
        v.setModel(&m);
        v.setSelectionBehavior(QAbstractItemView::SelectItems);
        v.setEditTriggers(QAbstractItemView::NoEditTriggers);
        Tastatur::tabelleBedienbar(&v);
        v.show();
        v.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&v));
        v.setFocus();
        v.setCurrentIndex(m.index(0, 0));

        // Typing starts editing: the key is the start of the new text.
        tippen(QStringLiteral("73"));
        QLineEdit* e = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(e);
        QCOMPARE(e->text(), QStringLiteral("73"));
        // Enter stores and moves one row down, without an open editor.
        taste(Qt::Key_Return);
        QTRY_COMPARE(m.item(0, 0)->text(), QStringLiteral("73"));
        QTRY_COMPARE(v.currentIndex(), m.index(1, 0));
        QCOMPARE(QApplication::focusWidget(), &v);

        // F2 opens the cell with its text; Escape leaves it unchanged.
        taste(Qt::Key_F2);
        e = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(e);
        QCOMPARE(e->text(), QStringLiteral("10"));
        tippen(QStringLiteral("99"));
        taste(Qt::Key_Escape);
        QTRY_COMPARE(QApplication::focusWidget(), &v);
        QCOMPARE(m.item(1, 0)->text(), QStringLiteral("10"));

        // Tab moves right; Enter on a cell that is not open opens it.
        taste(Qt::Key_Tab);
        QCOMPARE(v.currentIndex(), m.index(1, 1));
        taste(Qt::Key_Return);
        e = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(e);
        e->selectAll();
        tippen(QStringLiteral("5"));
        // Tab in an open cell stores it and opens the next one to the right.
        taste(Qt::Key_Tab);
        QTRY_COMPARE(m.item(1, 1)->text(), QStringLiteral("5"));
        QTRY_COMPARE(v.currentIndex(), m.index(1, 2));
        QVERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
        taste(Qt::Key_Escape);

        // A read-only cell opens no editor, whatever is typed.
        v.setCurrentIndex(m.index(2, 0));
        tippen(QStringLiteral("4"));
        taste(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), &v);
        QCOMPARE(m.item(2, 0)->text(), QStringLiteral("20"));
    }

    void spiellisteInTabReihenfolge()
    {
        const QString name = QStringLiteral("tastenListe");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(QStringLiteral(":memory:"));
            QVERIFY(db.open());
            Turnierbau::sql(db, QStringLiteral("CREATE TABLE Teilnehmer (StartNr INTEGER, Name TEXT)"));
            Turnierbau::sql(db,
                QStringLiteral("CREATE TABLE Serie1 (StartNr INTEGER, Punkte INTEGER, Tisch INTEGER, "
                               "TischIntern INTEGER, Kosten REAL)"));
            for (int i = 0; i < 4; ++i) {
                Turnierbau::sql(db, QStringLiteral("INSERT INTO Teilnehmer VALUES (%1, 'Spieler %1')").arg(100 + i));
                Turnierbau::sql(
                    db, QStringLiteral("INSERT INTO Serie1 VALUES (%1, 0, 1, %2, 0)").arg(100 + i).arg(4 - i));
            }
        }
        {
            DlgListeEintragen dlg(1, 1, 1, QSqlDatabase::database(name));
            dlg.show();
            dlg.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&dlg));
            auto* serie = dlg.findChild<QComboBox*>(QStringLiteral("cmbSerie"));
            serie->setFocus();
            // Choosing the series by the keyboard loads the list and puts the
            // cursor into the first points field.
            taste(Qt::Key_Down);
            QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("lePunkte1"));
            QCOMPARE(dlg.findChild<QLineEdit*>(QStringLiteral("leStartNr1"))->text(), QStringLiteral("103"));

            // Tab runs points, costs, points, ... and never stops on the
            // read-only number and name fields.
            QStringList reihenfolge;
            const QStringList werte { "10", "1.5", "20", "2", "30", "3,5", "-40", "0" };
            for (const QString& w : werte) {
                reihenfolge << QApplication::focusWidget()->objectName();
                tippen(w);
                taste(Qt::Key_Tab);
            }
            QCOMPARE(reihenfolge,
                (QStringList { "lePunkte1", "leKosten1", "lePunkte2", "leKosten2", "lePunkte3", "leKosten3",
                    "lePunkte4", "leKosten4" }));
            int tisch = 0;
            int s = 0;
            QList<SpielListenEintrag> liste;
            dlg.eintraege(tisch, s, liste);
            QCOMPARE(liste.size(), 4);
            QCOMPARE(liste.at(0).StartNr, 103);
            QCOMPARE(liste.at(0).Punkte, 10);
            QCOMPARE(liste.at(0).Kosten, 1.5);
            QCOMPARE(liste.at(2).Kosten, 3.5);
            QCOMPARE(liste.at(3).Punkte, -40);
        }
        QSqlDatabase::removeDatabase(name);
    }
};

REIZWERK_TEST(TstTabellenTasten)
#include "tst_tabellentasten.moc"
