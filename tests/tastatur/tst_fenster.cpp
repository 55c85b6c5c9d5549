#include "testumgebung.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSplitter>
#include <QSplitterHandle>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QToolButton>

#include "app/mainwindow.h"
#include "setup/teilnehmertabelle.h"
#include "tasten.h"
#include "ui_mainwindow.h"
#include "widgets/festespalten.h"
#include "widgets/mysortfilterproxymodel.h"
#include "widgets/treeview.h"

namespace
{
// Whether a cell of a view is on screen in that view.
bool sichtbar(const QAbstractItemView* v, const QModelIndex& i)
{
    const QRect r = v->visualRect(i);
    return r.isValid() && v->viewport()->rect().contains(r);
}

QModelIndex zelle(const MainWindow& w, int zeile, int spalte)
{
    return w.teilnehmerSortierung()->index(zeile, spalte);
}

bool aktivieren(QWidget* w)
{
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
}
} // namespace

class TstFenster : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void namenUndSummenBleibenStehen()
    {
        Fenster f;
        QVERIFY(f.gruppe(30, 8).isValid());
        f->resize(1280, 800);
        QApplication::processEvents();
        const int n = 8;
        TreeView* haupt = f->teilnehmerAnsicht();
        FesteSpalten* fest = f->festeAnsicht();
        QVERIFY(fest && fest->isVisible());
        const int spalten = f->teilnehmer()->columnCount();
        QCOMPARE(spalten, Spalte::anzahl(n));
        // The kept view shows number, name and both sums, nothing else; the
        // model's column order is untouched.
        QStringList gezeigt;
        for (int c = 0; c < spalten; ++c)
            if (!fest->isColumnHidden(c))
                gezeigt << f->teilnehmer()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(gezeigt, (QStringList { "Nr", "Name", "Summe Punkte", "Summe Kosten" }));
        QCOMPARE(kopfTexte(f->teilnehmer()).value(Spalte::punkte(1)), QStringLiteral("PktS1"));

        // The table scrolled to the last series and to the last row.
        QTRY_VERIFY(haupt->header()->sectionSize(Spalte::Name) > 30);
        haupt->scrollTo(zelle(*f, 29, Spalte::kosten(n)));
        QApplication::processEvents();
        QVERIFY(haupt->horizontalScrollBar()->value() > 0);
        QVERIFY(!sichtbar(haupt, zelle(*f, 29, Spalte::Name)));
        // A whole series fits beside the kept columns.
        for (int c = Spalte::punkte(n); c <= Spalte::kosten(n); ++c)
            QVERIFY(sichtbar(haupt, zelle(*f, 29, c)));
        // ... while the kept columns show the same row, whole and level with it.
        for (int c : { int(Spalte::Nr), int(Spalte::Name), spalten - 2, spalten - 1 }) {
            QVERIFY2(sichtbar(fest, zelle(*f, 29, c)), qPrintable(QString::number(c)));
            QCOMPARE(
                fest->visualRect(zelle(*f, 29, c)).top(), haupt->visualRect(zelle(*f, 29, Spalte::kosten(n))).top());
            QCOMPARE(fest->header()->sectionSize(c), haupt->header()->sectionSize(c));
        }
        QCOMPARE(fest->verticalScrollBar()->value(), haupt->verticalScrollBar()->value());
        QVERIFY(haupt->verticalScrollBar()->value() > 0);
        // The names fit their column: sized by the rendered text.
        const QString langerName = zelle(*f, 0, Spalte::Name).data().toString();
        QVERIFY(haupt->header()->sectionSize(Spalte::Name) >= haupt->fontMetrics().horizontalAdvance(langerName));
        // The kept view is as wide as its columns, the table gets the rest.
        auto* teiler = f->findChild<QSplitter*>(QStringLiteral("splErgebnis"));
        QVERIFY(teiler);
        QVERIFY(teiler->sizes().value(0) >= fest->benoetigteBreite() - 2);
        QVERIFY(teiler->sizes().value(1) >= 300);

        // One selection for both: a row chosen in the table is chosen beside it.
        haupt->setCurrentIndex(zelle(*f, 3, Spalte::punkte(2)));
        QCOMPARE(fest->currentIndex(), haupt->currentIndex());
        // A click on a name beside it picks that row in the column the table
        // is in, without scrolling the table sideways.
        const int seitlich = haupt->horizontalScrollBar()->value();
        const int zeile = fest->indexAt(QPoint(5, 5)).row() + 2;
        QTest::mouseClick(
            fest->viewport(), Qt::LeftButton, {}, fest->visualRect(zelle(*f, zeile, Spalte::Name)).center());
        QCOMPARE(haupt->currentIndex(), zelle(*f, zeile, Spalte::punkte(2)));
        QCOMPARE(haupt->horizontalScrollBar()->value(), seitlich);
        // Sorting from the kept view's header sorts the table: by name, then
        // by number, and by number the other way round.
        auto klick = [fest](int spalte) {
            QTest::mouseClick(fest->header()->viewport(), Qt::LeftButton, {},
                QPoint(fest->header()->sectionViewportPosition(spalte) + 5, fest->header()->height() / 2));
        };
        klick(Spalte::Name);
        QCOMPARE(haupt->header()->sortIndicatorSection(), int(Spalte::Name));
        klick(Spalte::Nr);
        QCOMPARE(haupt->header()->sortIndicatorSection(), int(Spalte::Nr));
        QCOMPARE(zelle(*f, 0, Spalte::Nr).data().toString(), QStringLiteral("100"));
        klick(Spalte::Nr);
        QCOMPARE(haupt->header()->sortIndicatorOrder(), Qt::DescendingOrder);
        QCOMPARE(fest->header()->sortIndicatorOrder(), Qt::DescendingOrder);
        QCOMPARE(zelle(*f, 0, Spalte::Nr).data().toString(), QStringLiteral("129"));
        QCOMPARE(f->serieGewaehlt(), 0);
    }

    void auswahlKlapptNachDemBestaetigenEin()
    {
        Fenster f;
        Ui::MainWindow* ui = f->form();
        QVERIFY(Turnierbau::spielerAnlegen(*f, 6).size() == 6);
        QVERIFY(Turnierbau::neuesTurnier(*f, f.d, 2));
        // While the group is set up the choice list is there.
        QVERIFY(ui->trvSpieler->isVisible());
        QVERIFY(ui->tbSpielerHinzu->isVisible());
        Turnierbau::teilnehmerWaehlen(*f);
        Turnierbau::teilnehmerBestaetigen(*f, f.d);
        // Fixed: the list and its arrows give the table their width.
        QVERIFY(!ui->trvSpieler->isVisible());
        QVERIFY(!ui->tbTeilnehmerOk->isVisible());
        QVERIFY(!ui->pbSelectAllSpieler->isVisible());
        QApplication::processEvents();
        // The results area starts at the window's left edge and runs to the
        // bottom, below the captions.
        auto* teiler = f->findChild<QSplitter*>(QStringLiteral("splErgebnis"));
        QVERIFY(teiler->mapTo(ui->tabTeilnehmer, QPoint(0, 0)).x() < 20);
        QVERIFY(teiler->height() > ui->tabTeilnehmer->height() / 2);
        QAction* einklappen = f->aktion(QStringLiteral("actAuswahlEinklappen"));
        QVERIFY(einklappen && einklappen->isChecked());
        QVERIFY(ausloesen(*f, QStringLiteral("actAuswahlEinklappen")));
        QVERIFY(ui->trvSpieler->isVisible());
        QVERIFY(ausloesen(*f, QStringLiteral("actAuswahlEinklappen")));
        QVERIFY(!ui->trvSpieler->isVisible());
        // A new group needs the list again.
        QVERIFY(mitDialog(f->aktion(QStringLiteral("actNeueSpielGruppe")), "DlgNewGroup",
            [](QWidget* dlg) { static_cast<QDialog*>(dlg)->accept(); }));
        QVERIFY(ui->trvSpieler->isVisible());
        QVERIFY(ui->tbSpielerHinzu->isVisible());

        // Disabled fields stay readable: dark text, not the pale default.
        QVERIFY(!ui->leTischNr1->isEnabled() || !ui->leAnzahlSerien->isEnabled());
        QVERIFY(ui->leAnzahlSerien->palette().color(QPalette::Disabled, QPalette::Text).lightness() < 100);
        QVERIFY(ui->label->palette().color(QPalette::Disabled, QPalette::WindowText).lightness() < 100);
    }

    void groesseUndBreitenUeberNeustart()
    {
        Fenster f;
        QVERIFY(f.gruppe(8, 3).isValid());
        // The screen of the test platform is small; the window keeps the
        // width its layout needs, the height is the organiser's.
        f->resize(f->width(), 530);
        QApplication::processEvents();
        const QSize groesse = f->size();
        QCOMPARE(groesse.height(), 530);
        TreeView* haupt = f->teilnehmerAnsicht();
        QTRY_VERIFY(haupt->header()->sectionSize(Spalte::Name) > 20);

        // The organiser drags the name column wider ...
        QWidget* kopf = haupt->header()->viewport();
        QTest::mousePress(kopf, Qt::RightButton, {}, QPoint(5, 5));
        haupt->header()->resizeSection(Spalte::Name, 333);
        QTest::mouseRelease(kopf, Qt::RightButton, {}, QPoint(5, 5));
        QCOMPARE(haupt->nutzerBreiten().value(QStringLiteral("Name")), 333);
        // ... and refitting the table keeps that width.
        haupt->spaltenEinpassen();
        QCOMPARE(haupt->header()->sectionSize(Spalte::Name), 333);

        // ... and moves the splitter between kept columns and table.
        auto* teiler = f->findChild<QSplitter*>(QStringLiteral("splErgebnis"));
        QVERIFY(teiler);
        QSplitterHandle* griff = teiler->handle(1);
        const QPoint mitte = griff->rect().center();
        QTest::mousePress(griff, Qt::LeftButton, {}, mitte);
        const QPoint ziel = mitte + QPoint(40, 0);
        QMouseEvent ziehen(QEvent::MouseMove, ziel, griff->mapToGlobal(ziel), Qt::LeftButton, Qt::LeftButton, {});
        QApplication::sendEvent(griff, &ziehen);
        QTest::mouseRelease(griff, Qt::LeftButton, {}, ziel);
        const int links = teiler->sizes().value(0);
        QVERIFY(links > 0);

        f.neuStarten();
        QCOMPARE(f->size(), groesse);
        teiler = f->findChild<QSplitter*>(QStringLiteral("splErgebnis"));
        QApplication::processEvents();
        QCOMPARE(teiler->sizes().value(0), links);
        QTRY_COMPARE(f->teilnehmerAnsicht()->header()->sectionSize(Spalte::Name), 333);
        QCOMPARE(f->festeAnsicht()->header()->sectionSize(Spalte::Name), 333);
    }

    void tastenNebenDenBeschriftungen()
    {
        Fenster f;
        QVERIFY(f.gruppe(7, 2).isValid());
        Ui::MainWindow* ui = f->form();
        // Captions stay as they are; keys come beside them.
        QCOMPARE(f->aktion(QStringLiteral("actKorrektur"))->text(), QStringLiteral("Korrektur"));
        QCOMPARE(f->aktion(QStringLiteral("actKorrektur"))->shortcut(), QKeySequence(Qt::CTRL + Qt::Key_K));
        QCOMPARE(f->aktion(QStringLiteral("actNeuesTurnier"))->text(), QStringLiteral("Neues Turnier"));
        QStringList menues;
        for (QAction* a : f->menuBar()->actions())
            menues << a->text();
        QCOMPARE(menues.mid(0, 2), (QStringList { "Turnier", "Editieren" }));
        QCOMPARE(ui->pbAuslosen->text(), QStringLiteral("Auslosen"));
        QCOMPARE(ui->pbListeEintragen->text(), QStringLiteral("Liste eintragen"));
        QCOMPARE(ui->tbSpielerHinzu->toolTip(), QStringLiteral("Ausw\u00e4hlen"));
        QCOMPARE(ui->tbSpielerWeg->toolTip(), QStringLiteral("Entfernen"));
        QCOMPARE(ui->tbTeilnehmerOk->toolTip(), QStringLiteral("Liste best\u00e4tigen"));
        QVERIFY(
            ui->pbAuslosen->toolTip().contains(QKeySequence(Qt::CTRL + Qt::Key_L).toString(QKeySequence::NativeText)));

        QVERIFY(aktivieren(f.get()));
        ui->tabWidget->setCurrentIndex(0);
        ui->tblViewSpieler->setFocus();
        taste(Qt::Key_K, Qt::ControlModifier);
        QVERIFY(f->aktion(QStringLiteral("actKorrektur"))->isChecked());
        // Alt+2 brings the participants tab.
        taste(Qt::Key_2, Qt::AltModifier);
        QCOMPARE(ui->tabWidget->currentIndex(), 1);
        taste(Qt::Key_K, Qt::ControlModifier);
        QVERIFY(!f->aktion(QStringLiteral("actKorrektur"))->isChecked());
    }

    void schonAusgelostUndSanduhr()
    {
        Fenster f;
        QVERIFY(f.gruppe(9, 2).isValid());
        // The draw runs under the busy cursor, and nothing keeps it after.
        QList<bool> sanduhr;
        QObject::connect(f->teilnehmer(), &QAbstractItemModel::dataChanged, f.get(),
            [&sanduhr] { sanduhr << (QApplication::overrideCursor() != nullptr); });
        auto losen = [&f] {
            return mitDialog(
                f->form()->pbAuslosen, "DlgAuslosung", [](QWidget* dlg) { knopf(dlg, QDialogButtonBox::Ok); });
        };
        QVERIFY(losen());
        QVERIFY(!sanduhr.isEmpty());
        QVERIFY(!sanduhr.contains(false));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        const QVariantList tische = Turnierbau::spalte(
            f->registry().datenbank(QStringLiteral("Alle")), QStringLiteral("SELECT Tisch FROM Serie1"));
        QCOMPARE(tische.size(), 9);
        QVERIFY(!tische.contains(QVariant(0)));

        // Drawing the same series again changes nothing and says why.
        sanduhr.clear();
        f->statusBar()->clearMessage();
        QVERIFY(losen());
        QVERIFY(sanduhr.isEmpty());
        QVERIFY(f->statusBar()->currentMessage().startsWith(QStringLiteral("Serie 1 ist bereits ausgelost")));
        QCOMPARE(Turnierbau::spalte(
                     f->registry().datenbank(QStringLiteral("Alle")), QStringLiteral("SELECT Tisch FROM Serie1")),
            tische);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }
};

REIZWERK_TEST(TstFenster)
#include "tst_fenster.moc"
