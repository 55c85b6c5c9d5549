#include "testumgebung.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QStandardItemModel>
#include <QTreeView>

#include "app/mainwindow.h"
#include "setup/teilnehmertabelle.h"
#include "ui_mainwindow.h"
#include "widgets/delegates.h"

using namespace Turnierbau;

namespace
{

// Closes the dialog however the handler ends, so a failed check inside it
// never leaves the test waiting on a modal dialog.
struct Schliessen {
    QWidget* dlg;
    ~Schliessen() { static_cast<QDialog*>(dlg)->reject(); }
};

QStringList spaltenTexte(QAbstractItemModel* m, int spalte)
{
    QStringList texte;
    for (int z = 0; z < m->rowCount(); ++z)
        texte << m->index(z, spalte).data().toString();
    return texte;
}

int zeileVon(QAbstractItemModel* m, int startNr)
{
    for (int z = 0; z < m->rowCount(); ++z)
        if (m->index(z, 0).data().toString() == QString::number(startNr))
            return z;
    return -1;
}

// Picks a value the way the organiser does: through the column's editor.
void waehlen(QTreeView* view, int zeile, const QString& text)
{
    const QModelIndex i = view->model()->index(zeile, 2);
    QAbstractItemDelegate* delegate = view->itemDelegateForColumn(2);
    QVERIFY(qobject_cast<ComboDelegate*>(delegate));
    QStyleOptionViewItem option;
    QWidget* editor = delegate->createEditor(view->viewport(), option, i);
    auto* box = qobject_cast<QComboBox*>(editor);
    QVERIFY(box);
    delegate->setEditorData(editor, i);
    box->setCurrentText(text);
    delegate->setModelData(editor, view->model(), i);
    delete editor;
}

} // namespace

class TstTlnAktiv : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void ohneTeilnehmerKeinDialog()
    {
        auto w = fensterStarten();
        auto gezeigt = beimNaechstenDialog(
            "DlgTlnAktiv", [](QWidget* d) { static_cast<QDialog*>(d)->reject(); }, 300);
        w->aktion(QStringLiteral("actTeilnehmerAktiv"))->trigger();
        QTest::qWait(400);
        QVERIFY(!*gezeigt);
        fensterBeenden(w);
    }

    void inaktivInSerieZweiBleibtUndWirdAusgelassen()
    {
        auto w = fensterStarten();
        SkriptDialoge d;
        QSqlDatabase db = gruppeMitSpielern(*w, d, 6, 3);
        QVERIFY(db.isOpen());

        QStringList serien;
        QVariantList daten;
        int beimOeffnen = -1;
        QStringList kopf, anfangs, nachHinUndHer, inSerieEins;
        QString titel;
        auto gezeigt = beimNaechstenDialog("DlgTlnAktiv", [&](QWidget* dlg) {
            Schliessen zu { dlg };
            titel = dlg->windowTitle();
            auto* cmb = dlg->findChild<QComboBox*>(QStringLiteral("cmbSerien"));
            auto* view = dlg->findChild<QTreeView*>(QStringLiteral("trvTeilnehmer"));
            QVERIFY(cmb && view);
            beimOeffnen = cmb->currentIndex();
            for (int i = 0; i < cmb->count(); ++i) {
                serien << cmb->itemText(i);
                daten << cmb->itemData(i, Qt::UserRole);
            }
            QAbstractItemModel* m = view->model();
            for (int c = 0; c < m->columnCount(); ++c)
                kopf << m->headerData(c, Qt::Horizontal).toString();
            anfangs = spaltenTexte(m, 2);

            cmb->setCurrentIndex(1);
            waehlen(view, zeileVon(view->model(), 102), QStringLiteral("Nein"));
            cmb->setCurrentIndex(0);
            inSerieEins = spaltenTexte(view->model(), 2);
            cmb->setCurrentIndex(1);
            const int z = zeileVon(view->model(), 102);
            QVERIFY(z >= 0);
            nachHinUndHer << view->model()->index(z, 1).data().toString()
                          << view->model()->index(z, 2).data().toString();
            dlg->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Close)->click();
        });
        w->aktion(QStringLiteral("actTeilnehmerAktiv"))->trigger();
        QVERIFY(*gezeigt);
        QCOMPARE(titel, QStringLiteral("Teilnehmer aktiv/deaktiv setzen"));
        QCOMPARE(serien, (QStringList { "1", "2", "3" }));
        QCOMPARE(daten, (QVariantList { 1, 2, 3 }));
        QCOMPARE(beimOeffnen, 0);
        QCOMPARE(kopf, (QStringList { "StartNr", "Name", "Aktiv" }));
        QCOMPARE(anfangs, QStringList(QVector<QString>(6, QStringLiteral("Ja")).toList()));
        QCOMPARE(inSerieEins, QStringList(QVector<QString>(6, QStringLiteral("Ja")).toList()));
        QCOMPARE(nachHinUndHer, (QStringList { "Vorname3 Nachname3", "Nein" }));
        QVERIFY(d.fehlerTexte.isEmpty());

        QCOMPARE(spalte(db, QStringLiteral("SELECT StartNr FROM Serie2 WHERE Aktiv=0")), QVariantList { 102 });
        QCOMPARE(wert(db, QStringLiteral("SELECT SUM(Aktiv) FROM Serie1")).toInt(), 6);
        QCOMPARE(wert(db, QStringLiteral("SELECT SUM(Aktiv) FROM Serie3")).toInt(), 6);

        // The next distribution and seat plan of series 2 leave him out.
        w->tischaufteilungBerechnen(2);
        QCOMPARE(w->form()->leTischaufteilung->text(), QStringLiteral("5 Spieler - 4er 0 - 3er 2"));
        w->sitzplanAufbauen(2);
        TeilnehmerTabelle* t = w->tabelle();
        const int zeile = t->zeileVon(102);
        QVERIFY(zeile >= 0);
        QCOMPARE(t->tischItem(zeile, 2)->text(), QStringLiteral("-1"));
        QCOMPARE(t->tischItem(zeile, 2)->background().color(), QColor(Qt::red));
        QCOMPARE(t->tischItem(t->zeileVon(101), 2)->text(), QStringLiteral("0"));
        QCOMPARE(t->tischItem(zeile, 1)->text(), QStringLiteral("0"));

        w->auslosenZufall(2);
        QCOMPARE(t->tischItem(zeile, 2)->text(), QStringLiteral("-1"));
        QVERIFY(wert(db, QStringLiteral("SELECT Tisch FROM Serie2 WHERE StartNr=102")).toInt() <= 0);
        QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Serie2 WHERE Tisch > 0")).toInt(), 5);
        fensterBeenden(w);
    }

    void fehlgeschlageneAenderungZeigtDenGespeichertenWert()
    {
        auto w = fensterStarten();
        SkriptDialoge d;
        QSqlDatabase db = gruppeMitSpielern(*w, d, 4, 2);
        QVERIFY(db.isOpen());
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral(
            "CREATE TRIGGER sperre BEFORE UPDATE ON Serie2 BEGIN SELECT RAISE(ABORT, 'Serie2 gesperrt'); END")));

        QString danach, nachNeuFuellen;
        auto gezeigt = beimNaechstenDialog("DlgTlnAktiv", [&](QWidget* dlg) {
            Schliessen zu { dlg };
            auto* cmb = dlg->findChild<QComboBox*>(QStringLiteral("cmbSerien"));
            auto* view = dlg->findChild<QTreeView*>(QStringLiteral("trvTeilnehmer"));
            QVERIFY(cmb && view);
            cmb->setCurrentIndex(1);
            const int z = zeileVon(view->model(), 101);
            QVERIFY(z >= 0);
            waehlen(view, z, QStringLiteral("Nein"));
            danach = view->model()->index(z, 2).data().toString();
            cmb->setCurrentIndex(0);
            cmb->setCurrentIndex(1);
            nachNeuFuellen = view->model()->index(zeileVon(view->model(), 101), 2).data().toString();
        });
        w->aktion(QStringLiteral("actTeilnehmerAktiv"))->trigger();
        QVERIFY(*gezeigt);
        QCOMPARE(d.fehlerTexte.size(), 1);
        QVERIFY2(d.fehlerTexte.first().contains(QStringLiteral("Serie2 gesperrt")), qPrintable(d.fehlerTexte.first()));
        QCOMPARE(danach, QStringLiteral("Ja"));
        QCOMPARE(nachNeuFuellen, QStringLiteral("Ja"));
        QCOMPARE(wert(db, QStringLiteral("SELECT SUM(Aktiv) FROM Serie2")).toInt(), 4);
        fensterBeenden(w);
    }
};

REIZWERK_TEST(TstTlnAktiv)
#include "tst_tlnaktiv.moc"
