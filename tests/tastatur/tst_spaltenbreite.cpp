#include "testumgebung.h"

#include <QHeaderView>
#include <QStandardItemModel>

#include "widgets/treeview.h"

class TstSpaltenbreite : public QObject
{
    Q_OBJECT
private slots:
    void breiteNachGezeichnetemText()
    {
        // Many long but narrow texts and one short, wide one: the widest
        // text by its drawn width decides, not the one with most letters.
        QStandardItemModel m;
        for (int i = 0; i < 20; ++i)
            m.appendRow(new QStandardItem(QStringLiteral("iiiiiiiiiiiiiiii")));
        const QString breit = QStringLiteral("WWWWWWWWWW");
        m.appendRow(new QStandardItem(breit));
        TreeView v;
        v.setModel(&m);
        v.header()->setStretchLastSection(false);
        v.spaltenEinpassen();
        QVERIFY(v.fontMetrics().horizontalAdvance(breit) > v.fontMetrics().horizontalAdvance(m.item(0)->text()));
        QVERIFY(v.header()->sectionSize(0) >= v.fontMetrics().horizontalAdvance(breit));

        // A width the user dragged stays through the next fitting and for a
        // new table with the same caption.
        m.setHorizontalHeaderLabels({ QStringLiteral("Name") });
        v.setNutzerBreiten({ { QStringLiteral("Name"), 40 } });
        QCOMPARE(v.header()->sectionSize(0), 40);
        v.spaltenEinpassen();
        QCOMPARE(v.header()->sectionSize(0), 40);
        v.spalteErweitern(m.index(20, 0));
        QCOMPARE(v.header()->sectionSize(0), 40);
        v.setNutzerBreiten({});
        v.spaltenEinpassen();
        QVERIFY(v.header()->sectionSize(0) >= v.fontMetrics().horizontalAdvance(breit));
    }
};

REIZWERK_TEST(TstSpaltenbreite)
#include "tst_spaltenbreite.moc"
