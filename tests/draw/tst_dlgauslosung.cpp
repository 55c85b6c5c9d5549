#include "testumgebung.h"

#include <QAbstractButton>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTreeView>

#include "app/mainwindow.h"
#include "auslosen.h"
#include "draw/dlgauslosung.h"
#include "setup/teilnehmertabelle.h"
#include "ui_mainwindow.h"
#include "widgets/delegates.h"

using Turnierbau::sql;

namespace
{

template<typename T> T* kind(QWidget* dlg, const char* name)
{
    T* w = dlg->findChild<T*>(QString::fromLatin1(name));
    if (!w)
        qWarning("%s fehlt", name);
    return w;
}

QStandardItemModel* setzModel(QWidget* dlg)
{
    return qobject_cast<QStandardItemModel*>(kind<QTreeView>(dlg, "trvSetzliste")->model());
}

QStringList eintraege(QWidget* dlg, int spalte)
{
    auto* delegate
        = qobject_cast<ComboItemDelegate*>(kind<QTreeView>(dlg, "trvSetzliste")->itemDelegateForColumn(spalte));
    return delegate ? delegate->items() : QStringList { QStringLiteral("kein Delegate") };
}

int zeileVon(QStandardItemModel* m, int startNr)
{
    for (int z = 0; z < m->rowCount(); ++z)
        if (m->item(z, 0)->data(Qt::UserRole + 1).toInt() == startNr)
            return z;
    return -1;
}

void setzen(QStandardItemModel* m, int startNr, int tisch, int platz)
{
    const int z = zeileVon(m, startNr);
    QVERIFY(z >= 0);
    m->item(z, 2)->setText(QString::number(tisch));
    m->item(z, 3)->setText(QString::number(platz));
}

void ok(QWidget* dlg)
{
    knopf(dlg, QDialogButtonBox::Ok);
}

} // namespace

class TstDlgAuslosung : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void serienUndModi()
    {
        DlgAuslosung dlg(QStringLiteral("Alle"), {}, 4, QDate(2024, 3, 15));
        auto* serien = kind<QComboBox>(&dlg, "comboBox");
        QCOMPARE(serien->count(), 4);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(serien->itemText(i), QStringLiteral("Serie %1").arg(i + 1));
            QCOMPARE(serien->itemData(i, Qt::UserRole).toInt(), i + 1);
        }
        QCOMPARE(dlg.serie(), 1);
        serien->setCurrentIndex(3);
        QCOMPARE(dlg.serie(), 4);

        auto* kalender = kind<QCalendarWidget>(&dlg, "calendarWidget");
        QVERIFY(kind<QRadioButton>(&dlg, "rbZufall")->isChecked());
        QCOMPARE(dlg.modus(), int(DlgAuslosung::Zufall));
        QVERIFY(!kalender->isEnabled());
        QCOMPARE(dlg.datum(), QDate(2024, 3, 15));

        kind<QRadioButton>(&dlg, "rbSpieltag")->click();
        QCOMPARE(dlg.modus(), int(DlgAuslosung::Spieltag));
        QVERIFY(kalender->isEnabled());
        QCOMPARE(dlg.datum(), QDate(2024, 3, 8));
        QCOMPARE(kind<QTabWidget>(&dlg, "tabWidget")->currentWidget()->objectName(), QStringLiteral("tabSpieltag"));

        kind<QRadioButton>(&dlg, "rbRang")->click();
        QCOMPARE(dlg.modus(), int(DlgAuslosung::Rang));
        QVERIFY(!kalender->isEnabled());

        // Without a group connection the seeding list stays empty, and OK
        // gives an empty result.
        kind<QRadioButton>(&dlg, "rbSetzen")->click();
        QCOMPARE(dlg.modus(), int(DlgAuslosung::Setzen));
        QCOMPARE(kind<QTabWidget>(&dlg, "tabWidget")->currentWidget()->objectName(), QStringLiteral("tabSetzliste"));
        QCOMPARE(setzModel(&dlg)->rowCount(), 0);
        ok(&dlg);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(dlg.setzliste().isEmpty());

        DlgAuslosung ohne(QStringLiteral("Alle"), {}, 0, QDate(2024, 3, 15));
        QCOMPARE(kind<QComboBox>(&ohne, "comboBox")->count(), 0);
        QCOMPARE(ohne.serie(), 0);
    }

    void setzlisteTischeUndPlaetze()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(8, 2);
        sql(db, QStringLiteral("UPDATE Serie1 SET Aktiv=0 WHERE StartNr=103"));
        sql(db, QStringLiteral("UPDATE Serie2 SET Aktiv=0 WHERE StartNr>=104"));
        DlgAuslosung dlg(w->form()->cmbTeilnehmerGruppe->currentText(), w->registry().map(), 2, QDate(2024, 3, 15));
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        kind<QRadioButton>(&dlg, "rbSetzen")->click();

        QStandardItemModel* m = setzModel(&dlg);
        QCOMPARE(m->rowCount(), 7);
        QCOMPARE(zeileVon(m, 103), -1);
        QCOMPARE(kopfTexte(m), (QStringList { "StartNr", "Name", "TischNr", "Platz" }));
        QCOMPARE(m->item(zeileVon(m, 104), 1)->text(), QStringLiteral("Vorname5 Nachname5"));
        QCOMPARE(eintraege(&dlg, 2), (QStringList { "1", "2" }));
        QCOMPARE(eintraege(&dlg, 3), (QStringList { "1", "2", "3", "4" }));

        // A double-click on the seat of a row at the three-seat table
        // offers three seats, in the editor it opens.
        auto* liste = kind<QTreeView>(&dlg, "trvSetzliste");
        const int z = zeileVon(m, 107);
        m->item(z, 2)->setText(QStringLiteral("2"));
        const QModelIndex platz = m->index(z, 3);
        liste->scrollTo(platz);
        QCoreApplication::processEvents();
        const QRect feld = liste->visualRect(platz);
        QVERIFY(feld.isValid());
        // The column may reach past the viewport's edge; its left end is visible.
        // The real order of events: press, release, double-click, release.
        const QPoint punkt(feld.left() + 3, feld.center().y());
        QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, punkt);
        QMouseEvent doppelt(QEvent::MouseButtonDblClick, punkt, liste->viewport()->mapToGlobal(punkt), Qt::LeftButton,
            Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(liste->viewport(), &doppelt);
        QTest::mouseRelease(liste->viewport(), Qt::LeftButton, {}, punkt);
        QCOMPARE(eintraege(&dlg, 3), (QStringList { "1", "2", "3" }));
        auto* editor = liste->viewport()->findChild<QComboBox*>();
        QVERIFY(editor);
        QCOMPARE(editor->count(), 3);

        // Another series gets its own tables, none left over from before.
        kind<QComboBox>(&dlg, "comboBox")->setCurrentIndex(1);
        kind<QRadioButton>(&dlg, "rbZufall")->click();
        kind<QRadioButton>(&dlg, "rbSetzen")->click();
        QCOMPARE(m->rowCount(), 4);
        QCOMPARE(eintraege(&dlg, 2), QStringList { "1" });
    }

    void setzlistePruefenUndSpeichern()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(7, 2);
        DlgAuslosung dlg(w->form()->cmbTeilnehmerGruppe->currentText(), w->registry().map(), 2, QDate(2024, 3, 15));
        kind<QRadioButton>(&dlg, "rbSetzen")->click();
        QStandardItemModel* m = setzModel(&dlg);

        setzen(m, 100, 1, 2);
        setzen(m, 101, 1, 2);
        ok(&dlg);
        QCOMPARE(w.d.fehlerTexte, QStringList { QStringLiteral("PlatzNr 2 bei StartNr 101 schon vergeben!") });
        QVERIFY(dlg.result() != QDialog::Accepted);

        // A seat the table does not have is refused as well.
        setzen(m, 101, 2, 4);
        ok(&dlg);
        QCOMPARE(w.d.fehlerTexte.value(1), QStringLiteral("PlatzNr 4 bei StartNr 101 ungueltig!"));
        QVERIFY(dlg.result() != QDialog::Accepted);

        setzen(m, 101, 2, 3);
        ok(&dlg);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(w.d.fehlerTexte.size(), 2);
        // Rows left at table 0 are not part of the result.
        DlgAuslosung::Setzliste erwartet;
        erwartet[1] << qMakePair(2, 100);
        erwartet[2] << qMakePair(3, 101);
        QCOMPARE(dlg.setzliste(), erwartet);

        // Through the window: the list's tables reach the series' seats.
        QVERIFY(auslosen(*w, 2, "rbSetzen", [](QWidget* dlg) {
            QStandardItemModel* m = setzModel(dlg);
            setzen(m, 100, 1, 1);
            setzen(m, 101, 1, 2);
            setzen(m, 102, 2, 3);
        }));
        auto sitz = [&](int nr) {
            QSqlQuery q(db);
            q.exec(QStringLiteral("SELECT Tisch, TischIntern FROM Serie2 WHERE StartNr=%1").arg(nr));
            return q.next() ? qMakePair(q.value(0).toInt(), q.value(1).toInt()) : qMakePair(-9, -9);
        };
        QCOMPARE(sitz(100), qMakePair(1, 1));
        QCOMPARE(sitz(101), qMakePair(1, 2));
        QCOMPARE(sitz(102), qMakePair(2, 3));
        QCOMPARE(sitz(103), qMakePair(0, 0));
        const TeilnehmerZelle zelle = w->tabelle()->tischItem(w->tabelle()->zeileVon(102), 2);
        QCOMPARE(zelle->text(), QStringLiteral("2"));
        QCOMPARE(zelle->data(Rolle::Sitz).toInt(), 3);
        QCOMPARE(Turnierbau::wert(db, QStringLiteral("SELECT COUNT(*) FROM Serie1 WHERE Tisch<>0")).toInt(), 0);

        // The list shows a series' current seating the next time.
        DlgAuslosung wieder(w->form()->cmbTeilnehmerGruppe->currentText(), w->registry().map(), 2, QDate(2024, 3, 15));
        kind<QComboBox>(&wieder, "comboBox")->setCurrentIndex(1);
        kind<QRadioButton>(&wieder, "rbSetzen")->click();
        m = setzModel(&wieder);
        QCOMPARE(m->item(zeileVon(m, 101), 2)->text(), QStringLiteral("1"));
        QCOMPARE(m->item(zeileVon(m, 101), 3)->text(), QStringLiteral("2"));
    }
};

REIZWERK_TEST(TstDlgAuslosung)
#include "tst_dlgauslosung.moc"
