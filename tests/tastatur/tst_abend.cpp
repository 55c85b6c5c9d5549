#include "testumgebung.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeView>

#include <algorithm>

#include "app/mainwindow.h"
#include "app/meldungen.h"
#include "setup/teilnehmertabelle.h"
#include "tasten.h"
#include "ui_mainwindow.h"
#include "widgets/mysortfilterproxymodel.h"
#include "widgets/treeview.h"

using Turnierbau::spalte;
using Turnierbau::wert;

namespace
{

bool aktivieren(QWidget* w)
{
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
}

QStringList protokollTexte(const MainWindow& w)
{
    QStringList texte;
    for (const auto& e : w.meldungen().eintraege())
        texte << e.text;
    return texte;
}

int comboDaten(QWidget* dlg, const char* name)
{
    auto* box = dlg->findChild<QComboBox*>(QLatin1String(name));
    return box ? box->currentData().toInt() : -1;
}

// Types a game list into the dialog: points and costs per row, Tab between
// them. A field reached by Tab selects its text in an active window;
// offscreen the dialog may not be active, so the selection is made here.
void listeTippen(QWidget* dlg, const QStringList& werte)
{
    for (int i = 0; i < werte.size(); ++i) {
        if (i > 0)
            tasteIn(dlg, Qt::Key_Tab);
        if (auto* feld = qobject_cast<QLineEdit*>(dlg->focusWidget()))
            feld->selectAll();
        tippenIn(dlg, werte.at(i));
    }
}

} // namespace

// A club evening at the keyboard: each step says what happened and the
// next one is a key away.
class TstAbend : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void nachmeldenMitEnterUndDoppelklick()
    {
        Fenster f;
        QSqlDatabase db = f.gruppe(4, 3); // 100..103
        QVERIFY(db.isOpen());
        QVERIFY(aktivieren(f.get()));
        // Series 1 is drawn: a late player plays from series 2 on.
        QVERIFY(dialogPerTaste(
            "DlgAuslosung", Qt::Key_L, Qt::ControlModifier, [](QWidget* dlg) { tasteIn(dlg, Qt::Key_Return); }));
        Turnierbau::spielerAnlegen(*f, { { "Anna", "Langername-Nachzuegler" } }); // 104
        QVERIFY(aktionBereit(*f, QStringLiteral("actNachmelden")));

        // The only candidate has the cursor; Enter registers him.
        int breiteName = 0;
        QVERIFY(dialogPerTaste("DlgNachmeldung", Qt::Key_M, Qt::ControlModifier, [&](QWidget* dlg) {
            auto* view = dlg->findChild<QTreeView*>(QStringLiteral("trvSpieler"));
            QCOMPARE(view->currentIndex().row(), 0);
            breiteName = view->columnWidth(1)
                - view->fontMetrics().horizontalAdvance(QStringLiteral("Anna Langername-Nachzuegler"));
            tasteIn(dlg, Qt::Key_Return);
        }));
        QVERIFY2(breiteName >= 0, "the name column cuts the name");
        QCOMPARE(spalte(db, QStringLiteral("SELECT StartNr FROM Teilnehmer ORDER BY StartNr")),
            (QVariantList { 100, 101, 102, 103, 104 }));
        QCOMPARE(f->statusBar()->currentMessage(),
            QStringLiteral("Nachgemeldet: Anna Langername-Nachzuegler (Nr. 104), spielt ab Serie 2"));

        // OK without a choice registers nobody and says so.
        Turnierbau::spielerAnlegen(*f, { { "Bert", "Boll" }, { "Cora", "Cord" } }); // 105, 106
        QVERIFY(dialogPerTaste(
            "DlgNachmeldung", Qt::Key_M, Qt::ControlModifier, [](QWidget* dlg) { knopf(dlg, QDialogButtonBox::Ok); }));
        QCOMPARE(f->statusBar()->currentMessage(), QStringLiteral("Niemand nachgemeldet"));
        QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Teilnehmer")).toInt(), 5);

        // A double click on the second row takes that player.
        QVERIFY(dialogPerTaste("DlgNachmeldung", Qt::Key_M, Qt::ControlModifier, [](QWidget* dlg) {
            auto* view = dlg->findChild<QTreeView*>(QStringLiteral("trvSpieler"));
            const QModelIndex zweite = view->model()->index(1, 1);
            QCOMPARE(zweite.data().toString(), QStringLiteral("Cora Cord"));
            const QPoint mitte = view->visualRect(zweite).center();
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, mitte);
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, mitte);
        }));
        QCOMPARE(spalte(db, QStringLiteral("SELECT StartNr FROM Teilnehmer WHERE StartNr IN (105, 106)")),
            QVariantList { 106 });
        QVERIFY(f->statusBar()->currentMessage().startsWith(QStringLiteral("Nachgemeldet: Cora Cord (Nr. 106)")));
        QVERIFY(f.d.fehlerTexte.isEmpty());
    }

    void naechsteSerieAuslosen()
    {
        Fenster f;
        QSqlDatabase db = f.gruppe(8, 3);
        QVERIFY(db.isOpen());
        QVERIFY(aktivieren(f.get()));
        QCOMPARE(aktionBereit(*f, QStringLiteral("actNaechsteSerie"))->shortcut(), QKeySequence(Qt::CTRL + Qt::Key_L));
        for (int s = 1; s <= 3; ++s) {
            int angeboten = 0;
            QVERIFY(dialogPerTaste("DlgAuslosung", Qt::Key_L, Qt::ControlModifier, [&](QWidget* dlg) {
                angeboten = comboDaten(dlg, "comboBox");
                tasteIn(dlg, Qt::Key_Return);
            }));
            QCOMPARE(angeboten, s);
            QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Serie%1 WHERE Tisch > 0").arg(s)).toInt(), 8);
            // The fair draw adds its number and repeat count after the confirmation.
            QVERIFY2(f->statusBar()->currentMessage().startsWith(
                         QStringLiteral("Serie %1 ausgelost: 2 Tische; Losnummer ").arg(s)),
                qPrintable(f->statusBar()->currentMessage()));
        }
        // The button keeps the dialog's own default, series 1, and says
        // which series is drawn.
        QVERIFY(mitDialog(f->form()->pbAuslosen, "DlgAuslosung", [](QWidget* dlg) {
            QCOMPARE(comboDaten(dlg, "comboBox"), 1);
            knopf(dlg, QDialogButtonBox::Ok);
        }));
        QVERIFY(f->statusBar()->currentMessage().startsWith(QStringLiteral("Serie 1 ist bereits ausgelost")));
        QVERIFY(aktivieren(f.get()));
        // Nothing left: no dialog, and the reason.
        auto kam = beimNaechstenDialog(
            "DlgAuslosung", [](QWidget* dlg) { static_cast<QDialog*>(dlg)->reject(); }, 300);
        taste(Qt::Key_L, Qt::ControlModifier);
        QTest::qWait(400);
        QVERIFY(!*kam);
        QCOMPARE(f->statusBar()->currentMessage(), QStringLiteral("Alle 3 Serien der Gruppe Alle sind ausgelost"));
        // Every confirmation is in the log.
        const QStringList log = protokollTexte(*f);
        for (int s = 1; s <= 3; ++s) {
            const QString anfang = QStringLiteral("Serie %1 ausgelost: 2 Tische").arg(s);
            QVERIFY2(std::any_of(log.cbegin(), log.cend(), [&](const QString& z) { return z.startsWith(anfang); }),
                qPrintable(anfang));
        }

        // A reset says so, and series 2 is the next one offered again.
        emit f->teilnehmerAnsicht()->header()->sectionPressed(Spalte::tisch(2));
        f.d.antworte(true);
        f->form()->pbAuslosungZuruecksetzen->click();
        QCOMPARE(f->statusBar()->currentMessage(), QStringLiteral("Auslosung von Serie 2 zur\u00fcckgesetzt"));
        QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Serie2 WHERE Tisch > 0")).toInt(), 0);
        QVERIFY(aktivieren(f.get()));
        int wieder = 0;
        QVERIFY(dialogPerTaste("DlgAuslosung", Qt::Key_L, Qt::ControlModifier, [&wieder](QWidget* dlg) {
            wieder = comboDaten(dlg, "comboBox");
            static_cast<QDialog*>(dlg)->reject();
        }));
        QCOMPARE(wieder, 2);
    }

    void naechsteSpiellisteTischFuerTisch()
    {
        Fenster f;
        QSqlDatabase db = f.gruppe(7, 2); // a table of four and one of three
        QVERIFY(db.isOpen());
        QVERIFY(aktivieren(f.get()));
        // Not before a series is drawn.
        auto zuFrueh = beimNaechstenDialog(
            "DlgListeEintragen", [](QWidget* dlg) { static_cast<QDialog*>(dlg)->reject(); }, 300);
        QVERIFY(aktionBereit(*f, QStringLiteral("actNaechsteListe")));
        taste(Qt::Key_E, Qt::ControlModifier);
        QTest::qWait(400);
        QVERIFY(!*zuFrueh);
        QVERIFY(f->statusBar()->currentMessage().startsWith(QStringLiteral("Noch keine Serie ausgelost")));
        QVERIFY(dialogPerTaste(
            "DlgAuslosung", Qt::Key_L, Qt::ControlModifier, [](QWidget* dlg) { tasteIn(dlg, Qt::Key_Return); }));

        // The button keeps the dialog's own defaults: first table, no series.
        QVERIFY(mitDialog(f->form()->pbListeEintragen, "DlgListeEintragen", [](QWidget* dlg) {
            QCOMPARE(comboDaten(dlg, "cmbSerie"), 0);
            QCOMPARE(comboDaten(dlg, "cmbTisch"), 1);
            QVERIFY(!dlg->findChild<QPushButton*>(QStringLiteral("pbSpeichernWeiter")));
        }));
        QVERIFY(aktivieren(f.get()));

        // Ctrl+E: the drawn series at its first table; Enter saves and loads
        // the next; a wrong number keeps the dialog on its table.
        QStringList gesehen;
        auto wo = [&gesehen](QWidget* dlg) {
            gesehen << QStringLiteral("%1/%2").arg(comboDaten(dlg, "cmbSerie")).arg(comboDaten(dlg, "cmbTisch"));
        };
        QVERIFY(dialogPerTaste("DlgListeEintragen", Qt::Key_E, Qt::ControlModifier, [&](QWidget* dlg) {
            wo(dlg);
            auto* weiter = dlg->findChild<QPushButton*>(QStringLiteral("pbSpeichernWeiter"));
            QVERIFY(weiter && weiter->isDefault());
            QCOMPARE(weiter->text(), QStringLiteral("Speichern und weiter"));
            listeTippen(dlg, { "31", "1", "32", "1", "33", "1", "34", "1" });
            tasteIn(dlg, Qt::Key_Return);
            QVERIFY(dlg->isVisible());
            wo(dlg);
            listeTippen(dlg, { "x" });
            tasteIn(dlg, Qt::Key_Return);
            QVERIFY(dlg->isVisible());
            wo(dlg);
            listeTippen(dlg, { "21", "1.5", "22", "2", "23", "2.5" });
            tasteIn(dlg, Qt::Key_Return);
            QVERIFY(!dlg->isVisible());
        }));
        QCOMPARE(gesehen, (QStringList { "1/1", "1/2", "1/2" }));
        QCOMPARE(spalte(db, QStringLiteral("SELECT Punkte FROM Serie1 WHERE Tisch=1 ORDER BY TischIntern")),
            (QVariantList { 31, 32, 33, 34 }));
        QCOMPARE(spalte(db, QStringLiteral("SELECT Kosten FROM Serie1 WHERE Tisch=2 ORDER BY TischIntern")),
            (QVariantList { 1.5, 2.0, 2.5 }));
        QVERIFY(f->statusBar()->currentMessage().contains(QStringLiteral("alle Tische von Serie 1")));
        QVERIFY(protokollTexte(*f).contains(QStringLiteral("Spielliste von Tisch 1, Serie 1 eingetragen")));

        // Series 2: a table whose list is in already is passed over.
        QVERIFY(dialogPerTaste(
            "DlgAuslosung", Qt::Key_L, Qt::ControlModifier, [](QWidget* dlg) { tasteIn(dlg, Qt::Key_Return); }));
        TeilnehmerTabelle* t = f->tabelle();
        for (int z = 0; z < t->zeilen(); ++z)
            if (t->tischItem(z, 2)->text() == QLatin1String("1"))
                t->punkteItem(z, 2)->setText(QStringLiteral("10"));
        gesehen.clear();
        QVERIFY(dialogPerTaste("DlgListeEintragen", Qt::Key_E, Qt::ControlModifier, wo));
        QCOMPARE(gesehen, (QStringList { "2/2" }));
        QVERIFY(f.d.unerwartet.isEmpty());
    }

    void korrekturSichtbarUndStartNrSuchen()
    {
        Fenster f;
        QSqlDatabase db = f.gruppe(12, 2); // 100..111
        QVERIFY(db.isOpen());
        QVERIFY(aktivieren(f.get()));
        auto* hinweis = f->findChild<QLabel*>(QStringLiteral("lblKorrektur"));
        auto* teiler = f->findChild<QSplitter*>(QStringLiteral("splErgebnis"));
        QVERIFY(hinweis && teiler);
        QVERIFY(!hinweis->isVisible());
        QVERIFY(teiler->styleSheet().isEmpty());
        QVERIFY(aktionBereit(*f, QStringLiteral("actKorrektur")));
        taste(Qt::Key_K, Qt::ControlModifier);
        QVERIFY(f->aktion(QStringLiteral("actKorrektur"))->isChecked());
        QVERIFY(hinweis->isVisible());
        QVERIFY(teiler->styleSheet().contains(QStringLiteral("border")));

        // Ctrl+F, a start number, Enter: the cursor is on his row.
        TreeView* tabelle = f->teilnehmerAnsicht();
        QVERIFY(aktionBereit(*f, QStringLiteral("actStartNrSuchen")));
        QVERIFY(dialogPerTaste("QInputDialog", Qt::Key_F, Qt::ControlModifier, [](QWidget* dlg) {
            tippenIn(dlg, QStringLiteral("107"));
            tasteIn(dlg, Qt::Key_Return);
        }));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(tabelle));
        QModelIndex aktuell = tabelle->currentIndex();
        QCOMPARE(f->teilnehmerSortierung()->index(aktuell.row(), Spalte::Nr).data().toInt(), 107);
        QCOMPARE(aktuell.column(), int(Spalte::punkte(1)));

        // A wrong entry: refused, the cursor stays, the message names the old value.
        tippen(QStringLiteral("zehn"));
        taste(Qt::Key_Return);
        QTest::qWait(50);
        QTRY_COMPARE(tabelle->currentIndex(), aktuell);
        QCOMPARE(aktuell.data().toString(), QStringLiteral("0"));
        QCOMPARE(
            f->statusBar()->currentMessage(), QStringLiteral("FEHLER: zehn ist keine Zahl; der alte Wert 0 bleibt"));
        // ... and the right one goes in and moves on.
        tippen(QStringLiteral("17"));
        taste(Qt::Key_Return);
        QTRY_COMPARE(tabelle->currentIndex().row(), aktuell.row() + 1);
        QCOMPARE(wert(db, QStringLiteral("SELECT Punkte FROM Serie1 WHERE StartNr=107")).toInt(), 17);

        // A number that is not in the group is said.
        QVERIFY(dialogPerTaste("QInputDialog", Qt::Key_F, Qt::ControlModifier, [](QWidget* dlg) {
            tippenIn(dlg, QStringLiteral("999"));
            tasteIn(dlg, Qt::Key_Return);
        }));
        QVERIFY(f->statusBar()->currentMessage().startsWith(QStringLiteral("FEHLER: Startnummer 999")));

        taste(Qt::Key_K, Qt::ControlModifier);
        QVERIFY(!hinweis->isVisible());
        QVERIFY(teiler->styleSheet().isEmpty());
    }

    void meldungenBleiben()
    {
        Fenster f;
        QVERIFY(f.gruppe(4, 2).isValid());
        // Any message, however shown, lands in the log; the same one twice
        // in a row counts twice when shown twice.
        f->statusBar()->showMessage(QStringLiteral("Import: 3 Zeilen uebersprungen"));
        f->statusBar()->showMessage(QStringLiteral("FEHLER: Datei gesperrt"));
        f->statusBar()->clearMessage();
        f->statusBar()->showMessage(QStringLiteral("FEHLER: Datei gesperrt"));
        const QStringList log = protokollTexte(*f);
        QCOMPARE(log.mid(log.size() - 3),
            (QStringList { "Import: 3 Zeilen uebersprungen", "FEHLER: Datei gesperrt", "FEHLER: Datei gesperrt" }));

        QAction* meldungen = aktionBereit(*f, QStringLiteral("actMeldungen"));
        QVERIFY(meldungen);
        auto* ansicht = f->menuBar()->findChild<QMenu*>(QStringLiteral("menuAnsicht"));
        QVERIFY(ansicht && ansicht->actions().contains(meldungen));
        QVERIFY(mitDialog(meldungen, "DlgMeldungen", [](QWidget* dlg) {
            auto* liste = dlg->findChild<QListWidget*>(QStringLiteral("lstMeldungen"));
            QVERIFY(liste && liste->count() >= 3);
            const QListWidgetItem* letzte = liste->item(liste->count() - 1);
            QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d  FEHLER: Datei gesperrt$"))
                        .match(letzte->text())
                        .hasMatch());
            QVERIFY(letzte->data(Qt::UserRole).toBool());
            QVERIFY(letzte->font().bold());
            const QListWidgetItem* import = liste->item(liste->count() - 3);
            QVERIFY(!import->data(Qt::UserRole).toBool());
            QCOMPARE(liste->currentRow(), liste->count() - 1);
            QVERIFY(dlg->findChild<QLabel*>(QStringLiteral("lblMeldungenAnzahl"))
                        ->text()
                        .contains(QStringLiteral("FEHLER")));
        }));

        // A flood is bounded and says how much went.
        Meldungsprotokoll p;
        for (int i = 0; i < Meldungsprotokoll::hoechstens + 5; ++i)
            p.aufnehmen(QStringLiteral("FEHLER: %1").arg(i));
        QVERIFY(p.eintraege().size() <= Meldungsprotokoll::hoechstens);
        QCOMPARE(p.eintraege().size() + p.verworfen(), Meldungsprotokoll::hoechstens + 5);
        QCOMPARE(p.eintraege().last().text, QStringLiteral("FEHLER: %1").arg(Meldungsprotokoll::hoechstens + 4));
        QCOMPARE(p.fehlerAnzahl(), p.eintraege().size());
    }

    void menuesUndTasten()
    {
        Fenster f;
        QVERIFY(f.gruppe(4, 2).isValid());
        // "Drucken" has its own Alt key, used by no button and no menu.
        auto* drucken = f->findChild<QMenu*>(QStringLiteral("menuDrucken"));
        QVERIFY(drucken);
        const QKeySequence druckTaste = QKeySequence::mnemonic(drucken->title());
        QCOMPARE(druckTaste, QKeySequence(Qt::ALT + Qt::Key_U));
        QStringList belegt;
        for (QShortcut* s : f->findChildren<QShortcut*>())
            belegt << s->key().toString();
        for (QAction* a : f->menuBar()->actions())
            if (a->menu() != drucken && !QKeySequence::mnemonic(a->text()).isEmpty())
                belegt << QKeySequence::mnemonic(a->text()).toString();
        QVERIFY2(!belegt.contains(druckTaste.toString()), qPrintable(belegt.join(QLatin1Char(' '))));
        // Turnier and Editieren keep their captions and their keys.
        QVERIFY(belegt.contains(QKeySequence(Qt::ALT + Qt::Key_T).toString()));
        QVERIFY(belegt.contains(QKeySequence(Qt::ALT + Qt::Key_E).toString()));

        // "Beenden" comes last in "Turnier", after the entries that were there.
        QAction* beenden = aktionBereit(*f, QStringLiteral("actBeenden"));
        QVERIFY(beenden);
        QCOMPARE(beenden->text(), QStringLiteral("Beenden"));
        QCOMPARE(beenden->shortcut(), QKeySequence(Qt::CTRL + Qt::Key_Q));
        auto* turnier = f->aktion(QStringLiteral("actNeuesTurnier"))->associatedWidgets().value(0);
        QVERIFY(turnier);
        QCOMPARE(turnier->actions().last(), beenden);
        QCOMPARE(turnier->actions().first()->text(), QStringLiteral("Neues Turnier"));
        QVERIFY(turnier->actions().indexOf(f->aktion(QStringLiteral("actInfo"))) < turnier->actions().indexOf(beenden));
        QVERIFY(aktivieren(f.get()));
        taste(Qt::Key_Q, Qt::ControlModifier);
        QTRY_VERIFY(!f->isVisible());
    }

    void zahlenUeberschreibenUndSerienDesTages()
    {
        Fenster f;
        QVERIFY(f.gruppe(4, 3).isValid());
        // A second group of the day offers the day's three series; the
        // field's text is selected, so a typed 4 replaces it.
        QVERIFY(mitDialog(aktionBereit(*f, QStringLiteral("actNeueSpielGruppe")), "DlgNewGroup", [](QWidget* dlg) {
            auto* serien = dlg->findChild<QSpinBox*>(QStringLiteral("spbAnzahlSerien"));
            QCOMPARE(serien->value(), 3);
            serien->setFocus(Qt::ActiveWindowFocusReason);
            QTRY_COMPARE(serien->findChild<QLineEdit*>()->selectedText(), QStringLiteral("3"));
            tippenIn(dlg, QStringLiteral("4"));
            QCOMPARE(serien->value(), 4);
            // A click places the cursor as always.
            auto* tisch = dlg->findChild<QSpinBox*>(QStringLiteral("spbErsteTischNr"));
            tisch->setFocus(Qt::MouseFocusReason);
            QTest::qWait(20);
            QVERIFY(tisch->findChild<QLineEdit*>()->selectedText().isEmpty());
        }));
        // A new tournament's first group keeps the dialog's own 2.
        Testumgebung::frischesZuhause();
        f.neuStarten();
        QVERIFY(mitDialog(aktionBereit(*f, QStringLiteral("actNeuesTurnier")), "DlgNewGroup",
            [](QWidget* dlg) { QCOMPARE(dlg->findChild<QSpinBox*>(QStringLiteral("spbAnzahlSerien"))->value(), 2); }));
    }

    void spaltenBreitNachAuslosungUndListe()
    {
        Fenster f;
        QVector<Turnierbau::Spieler> spieler = Turnierbau::nummeriert(8);
        spieler[3].nachname = QStringLiteral("Schneidermeister-Langenberg");
        QVERIFY(f.gruppe(spieler, 2).isValid());
        f->resize(1280, 800);
        QVERIFY(aktivieren(f.get()));
        QVERIFY(dialogPerTaste(
            "DlgAuslosung", Qt::Key_L, Qt::ControlModifier, [](QWidget* dlg) { tasteIn(dlg, Qt::Key_Return); }));
        QVERIFY(dialogPerTaste("DlgListeEintragen", Qt::Key_E, Qt::ControlModifier, [](QWidget* dlg) {
            listeTippen(dlg, { "120", "12.5", "-30", "3", "40", "4", "5", "5" });
            tasteIn(dlg, Qt::Key_Return);
        }));
        TreeView* haupt = f->teilnehmerAnsicht();
        QHeaderView* kopf = haupt->header();
        QApplication::processEvents();
        const QString name = f->tabelle()->nameItem(f->tabelle()->zeileVon(103))->text();
        QVERIFY(name.endsWith(QStringLiteral("Schneidermeister-Langenberg")));
        QTRY_VERIFY2(kopf->sectionSize(Spalte::Name) >= haupt->fontMetrics().horizontalAdvance(name),
            qPrintable(QString::number(kopf->sectionSize(Spalte::Name))));
        for (int c = Spalte::punkte(1); c <= Spalte::kosten(1); ++c)
            QVERIFY2(kopf->sectionSize(c) >= kopf->sectionSizeHint(c),
                qPrintable(f->teilnehmer()->headerData(c, Qt::Horizontal).toString()));
    }

    void druckvorschauMitTasten()
    {
        Fenster f;
        QVERIFY(f.gruppe(8, 2).isValid());
        QVERIFY(aktivieren(f.get()));
        QVERIFY(dialogPerTaste(
            "DlgAuslosung", Qt::Key_L, Qt::ControlModifier, [](QWidget* dlg) { tasteIn(dlg, Qt::Key_Return); }));
        const QString datei = Testumgebung::zuhause() + QStringLiteral("/tische");
        f.d.dateiname(datei);
        beimNaechstenDialog("DlgDruckSerie", [](QWidget* dlg) { knopf(dlg, QDialogButtonBox::Ok); });
        bool gesehen = false;
        beimNaechstenDialog("QPrintPreviewDialog", [&](QWidget* dlg) {
            gesehen = true;
            // Narrow: the save entry is still a button of its own, first in the bar.
            dlg->resize(420, 380);
            QApplication::processEvents();
            auto* pdf = dlg->findChild<QAction*>(QStringLiteral("actAlsPdf"));
            QVERIFY(pdf);
            QCOMPARE(pdf->shortcut(), QKeySequence(QKeySequence::Save));
            auto* leiste = dlg->findChild<QToolBar*>();
            QVERIFY(leiste);
            QCOMPARE(leiste->actions().value(0), pdf);
            QWidget* knopf = leiste->widgetForAction(pdf);
            QVERIFY(knopf && knopf->isVisible());
            QVERIFY(knopf->focusPolicy() & Qt::TabFocus);
            auto* drucken = dlg->findChild<QAction*>(QStringLiteral("actVorschauDrucken"));
            QVERIFY(drucken);
            QCOMPARE(drucken->shortcut(), QKeySequence(QKeySequence::Print));
            // Ctrl+S writes the PDF.
            dlg->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(dlg));
            QTest::keyClick(dlg, Qt::Key_S, Qt::ControlModifier);
            QTRY_VERIFY(QFile::exists(datei + QStringLiteral(".pdf")));
            dlg->resize(640, 480);
            static_cast<QDialog*>(dlg)->reject();
        });
        QVERIFY(ausloesen(*f, QStringLiteral("actTischliste")));
        QTRY_VERIFY(gesehen);
        QCOMPARE(f->statusBar()->currentMessage(),
            QStringLiteral("PDF gespeichert: %1").arg(QDir::toNativeSeparators(datei + QStringLiteral(".pdf"))));
        // The preview comes back in its last size.
        QSize wieder;
        beimNaechstenDialog("QPrintPreviewDialog", [&wieder](QWidget* dlg) {
            wieder = dlg->size();
            static_cast<QDialog*>(dlg)->reject();
        });
        QVERIFY(ausloesen(*f, QStringLiteral("actErgebnisliste")));
        QCOMPARE(wieder, QSize(640, 480));
        QVERIFY(f.d.unerwartet.isEmpty());
    }

    void tischCodesDerGezeigtenGruppe()
    {
        Fenster f;
        QVERIFY(f.gruppe(4, 2).isValid()); // "Alle", first on the list
        // A second group of the day, "Herren", with seven players at two tables.
        QVector<Turnierbau::Spieler> herren = Turnierbau::nummeriert(7, QStringLiteral("Herren"));
        for (int i = 0; i < herren.size(); ++i)
            herren[i].nachname = QStringLiteral("Herr%1").arg(i + 1);
        Turnierbau::spielerAnlegen(*f, herren); // 104..110
        QVERIFY(mitDialog(aktionBereit(*f, QStringLiteral("actNeueSpielGruppe")), "DlgNewGroup",
            [](QWidget* dlg) { knopf(dlg, QDialogButtonBox::Ok); }));
        f->form()->cmbSpielerGruppe->setCurrentText(QStringLiteral("Herren"));
        Turnierbau::teilnehmerWaehlen(*f);
        Turnierbau::teilnehmerBestaetigen(*f, f.d);
        QCOMPARE(f->form()->cmbTeilnehmerGruppe->currentText(), QStringLiteral("Herren"));
        QSqlDatabase db = f->registry().datenbank(QStringLiteral("Herren"));
        QVERIFY(db.isOpen());
        Turnierbau::sitze(db, 1,
            { { 104, 5, 1 }, { 105, 5, 2 }, { 106, 5, 3 }, { 107, 5, 4 }, { 108, 6, 1 }, { 109, 6, 2 },
                { 110, 6, 3 } });

        QVERIFY(mitDialog(aktionBereit(*f, QStringLiteral("actTischCodes")), "DlgTischCodes", [](QWidget* dlg) {
            QCOMPARE(dlg->findChild<QComboBox*>(QStringLiteral("cmbGruppe"))->currentText(), QStringLiteral("Herren"));
            QCOMPARE(dlg->findChild<QSpinBox*>(QStringLiteral("spbSerie"))->value(), 1);
            auto* spieler = dlg->findChild<QLabel*>(QStringLiteral("lblSpieler6"));
            QVERIFY(spieler);
            QCOMPARE(spieler->text().split(QLatin1Char('\n')),
                (QStringList { "Vorname5 Herr5", "Vorname6 Herr6", "Vorname7 Herr7" }));
            // Every code whole inside the visible width.
            dlg->resize(500, 500);
            QApplication::processEvents();
            auto* rollen = dlg->findChild<QScrollArea*>(QStringLiteral("scrTischCodes"));
            for (int t : { 5, 6 }) {
                auto* feld = dlg->findChild<QWidget*>(QStringLiteral("tischCode%1").arg(t));
                QVERIFY(feld);
                const int rechts = feld->mapTo(rollen->viewport(), QPoint(feld->width(), 0)).x();
                QVERIFY2(rechts <= rollen->viewport()->width(), qPrintable(QString::number(rechts)));
            }
        }));
    }

    void fensterPasstAufDenBildschirm()
    {
        QScreen* bildschirm = QGuiApplication::primaryScreen();
        QVERIFY(bildschirm);
        const QRect frei = bildschirm->availableGeometry();
        // Closed larger than this screen, at a place far down and right.
        Testumgebung::einstellen(QStringLiteral("Fenster/Groesse"), QSize(frei.width() + 420, frei.height() + 150));
        Testumgebung::einstellen(
            QStringLiteral("Fenster/Position"), QPoint(frei.left() + frei.width() / 8, frei.top() + frei.height() / 6));
        Testumgebung::einstellen(QStringLiteral("Fenster/Maximiert"), false);
        {
            Fenster f;
            QApplication::processEvents();
            // The whole frame on the screen; only a screen narrower than
            // the window's layout (the test platform's) leaves it wider.
            const QRect rahmen = f->frameGeometry();
            const QString wo = QStringLiteral("%1,%2 %3x%4")
                                   .arg(rahmen.x())
                                   .arg(rahmen.y())
                                   .arg(rahmen.width())
                                   .arg(rahmen.height());
            QVERIFY2(rahmen.top() >= frei.top() && rahmen.bottom() <= frei.bottom(), qPrintable(wo));
            QVERIFY2(rahmen.left() >= frei.left(), qPrintable(wo));
            QVERIFY2(rahmen.right() <= frei.right() || f->width() <= f->minimumSizeHint().width(), qPrintable(wo));
            QVERIFY(f->statusBar()->isVisible());
            // Maximized when it is closed, maximized when it comes back.
            f->showMaximized();
            QTRY_VERIFY(f->isMaximized());
            f->close();
            f.neuStarten();
            QTRY_VERIFY(f->isMaximized());
        }
    }
};

REIZWERK_TEST(TstAbend)
#include "tst_abend.moc"
