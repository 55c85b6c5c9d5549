#include "testumgebung.h"

#include <QComboBox>
#include <QPushButton>
#include <QSettings>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTreeView>

#include "app/mainwindow.h"
#include "scoring/regeln.h"
#include "ui_mainwindow.h"
#include "widgets/delegates.h"

using namespace Turnierbau;

class TstRegeln : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void regelnBearbeitenUndSpeichern()
    {
        Fenster w;
        QStandardItemModel* m = w->regeln();
        QStandardItem* platz = m->item(0, 0);
        QCOMPARE(platz->rowCount(), 4);
        QStandardItem* platz2 = platz->child(1, 1);
        QCOMPARE(platz2->text(), QStringLiteral("1.5"));
        platz2->setText(QStringLiteral("2,5"));
        QCOMPARE(w->settings()->value(QStringLiteral("Kosten/Platz2")).toDouble(), 2.5);
        QCOMPARE(m->item(0, 1)->text(), QStringLiteral("0.0|2.5|2.5|3.5"));
        QCOMPARE(platz2->text(), QStringLiteral("2,5"));

        // The tree lists the 4-player rule before the 3-player rule.
        QCOMPARE(m->item(6, 0)->text(), QStringLiteral("Punkte Verl. Spiele der Gegenspieler 4er Liste"));
        QCOMPARE(m->item(7, 0)->text(), QStringLiteral("Punkte Verl. Spiele der Gegenspieler 3er Liste"));
        m->item(6, 1)->setText(QStringLiteral("35"));
        QCOMPARE(w->settings()->value(QStringLiteral("Kosten/PunkteGegen4er")).toInt(), 35);
        QCOMPARE(w->settings()->value(QStringLiteral("Kosten/PunkteGegen3er")).toInt(), 40);

        m->item(8, 1)->setText(QStringLiteral("Liste, Herbst"));
        QCOMPARE(w->settings()->value(QStringLiteral("Kosten/ListenName")).toString(), QStringLiteral("Liste, Herbst"));
        // A name item carries no rule and stores nothing.
        m->item(1, 0)->setText(QStringLiteral("egal"));
        QCOMPARE(w->settings()->value(QStringLiteral("Kosten/KartenGeld")).toDouble(), 1.0);
        QCOMPARE(Regeln::regelnText(*w->settings()), QStringLiteral("0|2.5|2.5|3.5|1|1|2.5|10|50|40|35|Liste, Herbst"));
        // A restart shows the stored values with '.'.
        w.neuStarten();
        QCOMPARE(w->regeln()->item(0, 1)->text(), QStringLiteral("0.0|2.5|2.5|3.5"));
        QCOMPARE(w->regeln()->item(0, 0)->child(1, 1)->text(), QStringLiteral("2.5"));
    }

    // The rules take the same numbers as the table; anything else is
    // refused, the cell shows the stored value and the status bar says why.
    void falscheWerteWerdenAbgelehnt()
    {
        Fenster w;
        QStandardItemModel* m = w->regeln();
        QStandardItem* platz3 = m->item(0, 0)->child(2, 1);
        for (const QString& falsch : { QStringLiteral("nan"), QStringLiteral("inf"), QStringLiteral("zwei"),
                 QStringLiteral("-1"), QStringLiteral("1e5") }) {
            platz3->setText(falsch);
            QCOMPARE(platz3->text(), QStringLiteral("2.5"));
            QCOMPARE(w->settings()->value(QStringLiteral("Kosten/Platz3")).toDouble(), 2.5);
            QVERIFY2(w->statusBar()->currentMessage().startsWith(QStringLiteral("FEHLER: ")), qPrintable(falsch));
        }
        QCOMPARE(m->item(0, 1)->text(), QStringLiteral("0.0|1.5|2.5|3.5"));
        platz3->setText(QStringLiteral("3,5"));
        QCOMPARE(w->settings()->value(QStringLiteral("Kosten/Platz3")).toDouble(), 3.5);
        QCOMPARE(m->item(0, 1)->text(), QStringLiteral("0.0|1.5|3.5|3.5"));

        QStandardItem* punkte = m->item(5, 1); // PunkteGewMinusVerl
        for (const QString& falsch : { QStringLiteral("1.000"), QStringLiteral("6o"), QStringLiteral("2,5") }) {
            punkte->setText(falsch);
            QCOMPARE(punkte->text(), QStringLiteral("50"));
            QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("FEHLER: %1 ist keine Zahl").arg(falsch));
        }
        QCOMPARE(w->settings()->value(QStringLiteral("Kosten/PunkteGewMinusVerl")).toInt(), 50);

        // The list name travels in the rules message: no separators in it.
        QStandardItem* liste = m->item(8, 1);
        for (const QString& falsch : { QStringLiteral("Liste:Herbst"), QStringLiteral("A|B"), QStringLiteral("a$"),
                 QStringLiteral("x@y"), QStringLiteral("Zeile\nzwei") }) {
            liste->setText(falsch);
            QCOMPARE(liste->text(), QStringLiteral("Spielliste"));
            QVERIFY(w->statusBar()->currentMessage().startsWith(QStringLiteral("FEHLER: Listenname")));
        }
        QCOMPARE(Regeln::regelnText(*w->settings()), QStringLiteral("0|1.5|3.5|3.5|1|1|2.5|10|50|40|30|Spielliste"));
    }

    void editorPassendZurZeile()
    {
        Fenster w;
        QTreeView* baum = w->form()->trvPunkteUndKosten;
        QStandardItemModel* m = w->regeln();
        auto modusVon = [&](int zeile) {
            auto* d = qobject_cast<StringItemDelegate*>(baum->itemDelegateForRow(zeile));
            return d ? d->mode() : -1;
        };
        QMetaObject::invokeMethod(w.get(), "onKostenActivated", Q_ARG(QModelIndex, m->index(5, 1)));
        QCOMPARE(modusVon(5), 2);
        QMetaObject::invokeMethod(w.get(), "onKostenActivated", Q_ARG(QModelIndex, m->index(1, 1)));
        QCOMPARE(modusVon(1), 1);
        QMetaObject::invokeMethod(w.get(), "onKostenActivated", Q_ARG(QModelIndex, m->index(8, 1)));
        QCOMPARE(modusVon(8), 0);
        QMetaObject::invokeMethod(w.get(), "onKostenActivated", Q_ARG(QModelIndex, m->index(1, 0)));
        QCOMPARE(modusVon(1), 0);
    }

    // Player groups are named, added and removed in the settings tab; a name
    // that cannot become a group file's name is refused where it is typed.
    void spielergruppenPflegen()
    {
        Fenster w;
        spielerAnlegen(*w, 2, QStringLiteral("Damen"));
        QStandardItemModel* g = w->gruppen();
        QComboBox* auswahl = w->form()->cmbSpielerGruppe;
        QVERIFY(!g->item(0, 1)->isEditable()); // "Alle"
        QStandardItem* damen = g->item(3, 1);
        QCOMPARE(damen->text(), QStringLiteral("Damen"));
        QVERIFY(damen->isEditable());

        for (const QString& falsch : { QStringLiteral("Damen/Jugend"), QStringLiteral(".Sen"), QStringLiteral(""),
                 QStringLiteral(" Damen"), QStringLiteral("reizwerk"), QStringLiteral("Herren"), QStringLiteral("alle"),
                 QStringLiteral("Da:men") }) {
            damen->setText(falsch);
            QCOMPARE(damen->text(), QStringLiteral("Damen"));
            QCOMPARE(w->settings()->value(QStringLiteral("Gruppe/Gruppe4")).toString(), QStringLiteral("Damen"));
            QVERIFY2(w->statusBar()->currentMessage().startsWith(QStringLiteral("FEHLER: ")), qPrintable(falsch));
        }
        QCOMPARE(w.d.fehlerTexte.size(), 8);
        QCOMPARE(comboTexte(auswahl), (QStringList { "Alle", "Senioren", "Herren", "Damen", "Jugend" }));

        damen->setText(QStringLiteral("Damen A"));
        QCOMPARE(w->settings()->value(QStringLiteral("Gruppe/Gruppe4")).toString(), QStringLiteral("Damen A"));
        QCOMPARE(comboTexte(auswahl), (QStringList { "Alle", "Senioren", "Herren", "Damen A", "Jugend" }));
        QCOMPARE(Turnierbau::spalte(w->registry().hauptDatenbank(), QStringLiteral("SELECT Gruppe FROM Spieler")),
            (QVariantList { "Damen A", "Damen A" }));

        w->form()->pbNeueGruppe->click();
        QCOMPARE(g->rowCount(), 6);
        QCOMPARE(g->item(5, 0)->text(), QStringLiteral("Gruppe6"));
        QCOMPARE(g->item(5, 1)->text(), QStringLiteral("Neue Gruppe"));
        QCOMPARE(auswahl->itemText(5), QStringLiteral("Neue Gruppe"));
        g->item(5, 1)->setText(QStringLiteral("Gaeste"));
        QCOMPARE(auswahl->itemText(5), QStringLiteral("Gaeste"));

        // Removing asks first; No keeps the group.
        w->form()->trvGruppen->setCurrentIndex(g->index(2, 1));
        w.d.antworte(false);
        w->form()->pbEntfernen->click();
        QCOMPARE(g->rowCount(), 6);
        w.d.antworte(true);
        w->form()->pbEntfernen->click();
        QCOMPARE(g->rowCount(), 5);
        QVERIFY(!w->settings()->contains(QStringLiteral("Gruppe/Gruppe3")));
        QCOMPARE(comboTexte(auswahl), (QStringList { "Alle", "Senioren", "Damen A", "Jugend", "Gaeste" }));

        // What was maintained here survives a restart as it is.
        w.neuStarten();
        QCOMPARE(comboTexte(w->form()->cmbSpielerGruppe),
            (QStringList { "Alle", "Senioren", "Damen A", "Jugend", "Gaeste" }));
        QVERIFY(w.d.unerwartet.isEmpty());
    }

    void spielergruppenAusDenEinstellungen()
    {
        Testumgebung::einstellen(QStringLiteral("Gruppe/Gruppe2"), QStringLiteral("Alte Herren"));
        Testumgebung::einstellen(QStringLiteral("Gruppe/Gruppe6"), QStringLiteral("Gaeste"));
        Fenster w;
        QComboBox* gruppen = w->form()->cmbSpielerGruppe;
        QCOMPARE(comboTexte(gruppen), (QStringList { "Alle", "Senioren", "Herren", "Damen", "Jugend", "Gaeste" }));
        QCOMPARE(w->gruppen()->rowCount(), 6);
        QCOMPARE(w->gruppen()->item(5, 0)->text(), QStringLiteral("Gruppe6"));
        QCOMPARE(w->settings()->value(QStringLiteral("Gruppe/Gruppe2")).toString(), QStringLiteral("Senioren"));
    }
};

REIZWERK_TEST(TstRegeln)
#include "tst_regeln.moc"
