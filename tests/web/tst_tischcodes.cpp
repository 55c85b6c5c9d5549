#include "testumgebung.h"

#include <QLabel>
#include <QSpinBox>

#include "app/mainwindow.h"
#include "web/dlgtischcodes.h"

using namespace Turnierbau;

class TstTischCodes : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void codesEinerSerie()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(7, 2);
        sitze(db, 1,
            { { 100, 1, 1 }, { 101, 1, 2 }, { 102, 1, 3 }, { 103, 1, 4 }, { 104, 2, 1 }, { 105, 2, 2 },
                { 106, 2, 3 } });
        bool gesehen = false;
        QVERIFY(mitDialog(w->aktion(QStringLiteral("actTischCodes")), "DlgTischCodes", [&](QWidget* d) {
            auto* dlg = qobject_cast<DlgTischCodes*>(d);
            QVERIFY(dlg);
            QCOMPARE(dlg->objectName(), QStringLiteral("dlgTischCodes"));
            QCOMPARE(dlg->gezeigteTische(), (QVector<int> { 1, 2 }));
            auto* bild = dlg->findChild<QWidget*>(QStringLiteral("tischCode2"))->findChild<QLabel*>();
            QVERIFY(bild && !bild->pixmap(Qt::ReturnByValue).isNull());
            // The series not drawn yet shows no codes, and says why.
            dlg->findChild<QSpinBox*>(QStringLiteral("spbSerie"))->setValue(2);
            QVERIFY(dlg->gezeigteTische().isEmpty());
            QCOMPARE(dlg->findChild<QLabel*>(QStringLiteral("lblHinweis"))->text(),
                QStringLiteral("Serie 2 ist noch nicht ausgelost."));
            gesehen = true;
            dlg->reject();
        }));
        QVERIFY(gesehen);
    }
};

REIZWERK_TEST(TstTischCodes)
#include "tst_tischcodes.moc"
