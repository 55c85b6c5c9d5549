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
#include "teilnehmerdialoge.h"
#include "ui_mainwindow.h"
#include "widgets/delegates.h"

using namespace Turnierbau;

namespace
{

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
        Fenster w;
        auto gezeigt = beimNaechstenDialog(
            "DlgTlnAktiv", [](QWidget* d) { static_cast<QDialog*>(d)->reject(); }, 300);
        QVERIFY(ausloesen(*w, QStringLiteral("actTeilnehmerAktiv")));
        QTest::qWait(400);
        QVERIFY(!*gezeigt);
    }

    void inaktivInSerieZweiBleibtUndWirdAusgelassen()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(6, 3);
        QVERIFY(db.isOpen());

        QStringList serien;
        QVariantList daten;
        int beimOeffnen = -1;
        QStringList kopf, anfangs, nachHinUndHer, inSerieEins;
        QVERIFY(aktivDialog(*w, [&](QComboBox* cmb, QTreeView* view) {
            beimOeffnen = cmb->currentIndex();
            serien = comboTexte(cmb);
            for (int i = 0; i < cmb->count(); ++i)
                daten << cmb->itemData(i, Qt::UserRole);
            kopf = kopfTexte(view->model());
            anfangs = spaltenTexte(view->model(), 2);

            cmb->setCurrentIndex(1);
            waehlen(view, zeileVon(view->model(), 102), QStringLiteral("Nein"));
            cmb->setCurrentIndex(0);
            inSerieEins = spaltenTexte(view->model(), 2);
            cmb->setCurrentIndex(1);
            const int z = zeileVon(view->model(), 102);
            QVERIFY(z >= 0);
            nachHinUndHer << view->model()->index(z, 1).data().toString()
                          << view->model()->index(z, 2).data().toString();
            knopf(view->window(), QDialogButtonBox::Close);
        }));
        QCOMPARE(serien, (QStringList { "1", "2", "3" }));
        QCOMPARE(daten, (QVariantList { 1, 2, 3 }));
        QCOMPARE(beimOeffnen, 0);
        QCOMPARE(kopf, (QStringList { "StartNr", "Name", "Aktiv" }));
        QCOMPARE(anfangs, QStringList(QVector<QString>(6, QStringLiteral("Ja")).toList()));
        QCOMPARE(inSerieEins, QStringList(QVector<QString>(6, QStringLiteral("Ja")).toList()));
        QCOMPARE(nachHinUndHer, (QStringList { "Vorname3 Nachname3", "Nein" }));
        QVERIFY(w.d.fehlerTexte.isEmpty());

        QCOMPARE(spalte(db, QStringLiteral("SELECT StartNr FROM Serie2 WHERE Aktiv=0")), QVariantList { 102 });

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

        // A failed update is no success: "FEHLER", and the list shows the
        // stored value again.
        sql(db,
            QStringLiteral(
                "CREATE TRIGGER sperre BEFORE UPDATE ON Serie2 BEGIN SELECT RAISE(ABORT, 'Serie2 gesperrt'); END"));
        QString danach, nachNeuFuellen;
        QVERIFY(aktivDialog(*w, [&](QComboBox* cmb, QTreeView* view) {
            cmb->setCurrentIndex(1);
            const int z = zeileVon(view->model(), 101);
            QVERIFY(z >= 0);
            waehlen(view, z, QStringLiteral("Nein"));
            danach = view->model()->index(z, 2).data().toString();
            cmb->setCurrentIndex(0);
            cmb->setCurrentIndex(1);
            nachNeuFuellen = view->model()->index(zeileVon(view->model(), 101), 2).data().toString();
        }));
        QCOMPARE(w.d.fehlerTexte.size(), 1);
        QVERIFY2(
            w.d.fehlerTexte.first().contains(QStringLiteral("Serie2 gesperrt")), qPrintable(w.d.fehlerTexte.first()));
        QCOMPARE(danach, QStringLiteral("Ja"));
        QCOMPARE(nachNeuFuellen, QStringLiteral("Ja"));
        QCOMPARE(wert(db, QStringLiteral("SELECT SUM(Aktiv) FROM Serie2")).toInt(), 5);
    }
};

REIZWERK_TEST(TstTlnAktiv)
#include "tst_tlnaktiv.moc"
