#include "testumgebung.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPaintEvent>
#include <QStandardItemModel>
#include <QStyleOptionViewItem>
#include <QTreeView>

#include <functional>

#include "widgets/delegates.h"
#include "widgets/mysortfilterproxymodel.h"
#include "widgets/treeview.h"

namespace
{
QStringList spalteSortiert(QStandardItemModel& m, int spalte, Qt::SortOrder richtung, int anzeigeSpalte = -1)
{
    MySortFilterProxyModel proxy;
    proxy.setSourceModel(&m);
    proxy.sort(spalte, richtung);
    QStringList ergebnis;
    for (int z = 0; z < proxy.rowCount(); ++z)
        ergebnis << proxy.index(z, anzeigeSpalte < 0 ? spalte : anzeigeSpalte).data().toString();
    return ergebnis;
}

// What a view's viewport paints, region by region.
struct Maler : QObject {
    QRegion gemalt;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            gemalt += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
    QRect nach(const std::function<void()>& aenderung)
    {
        // What is pending (a layout after hiding a column) is painted first.
        QTest::qWait(30);
        gemalt = QRegion();
        aenderung();
        QCoreApplication::processEvents();
        return gemalt.boundingRect();
    }
};
} // namespace

class TstWidgets : public QObject
{
    Q_OBJECT
private slots:
    void zeileneditorNachModus()
    {
        QStandardItemModel m(1, 1);
        m.setData(m.index(0, 0), QStringLiteral("7.0"));
        QWidget eltern;
        StringItemDelegate ganz(2);
        std::unique_ptr<QWidget> e(ganz.createEditor(&eltern, QStyleOptionViewItem(), m.index(0, 0)));
        auto* edit = qobject_cast<QLineEdit*>(e.get());
        QVERIFY(edit && edit->validator());
        ganz.setEditorData(edit, m.index(0, 0));
        QCOMPARE(edit->text(), QStringLiteral("7"));
        QString t = QStringLiteral("1001");
        int pos = 0;
        QCOMPARE(edit->validator()->validate(t, pos), QValidator::Intermediate);
        t = QStringLiteral("0");
        QVERIFY(edit->validator()->validate(t, pos) != QValidator::Acceptable);
        t = QStringLiteral("1000");
        QCOMPARE(edit->validator()->validate(t, pos), QValidator::Acceptable);

        m.setData(m.index(0, 0), QStringLiteral("2.34"));
        StringItemDelegate dezimal(1);
        std::unique_ptr<QWidget> e2(dezimal.createEditor(&eltern, QStyleOptionViewItem(), m.index(0, 0)));
        auto* edit2 = qobject_cast<QLineEdit*>(e2.get());
        dezimal.setEditorData(edit2, m.index(0, 0));
        QCOMPARE(edit2->text(), QStringLiteral("2.3"));
        t = QStringLiteral("2.25");
        QCOMPARE(edit2->validator()->validate(t, pos), QValidator::Invalid);
        t = QStringLiteral("100.5");
        QVERIFY(edit2->validator()->validate(t, pos) != QValidator::Acceptable);
        edit2->setText(QStringLiteral("4.5"));
        dezimal.setModelData(edit2, &m, m.index(0, 0));
        QCOMPARE(m.data(m.index(0, 0)).toString(), QStringLiteral("4.5"));

        StringItemDelegate text(0);
        std::unique_ptr<QWidget> e3(text.createEditor(&eltern, QStyleOptionViewItem(), m.index(0, 0)));
        QVERIFY(!qobject_cast<QLineEdit*>(e3.get())->validator());
    }

    void kombiEditoren()
    {
        QStandardItemModel m(1, 1);
        m.setData(m.index(0, 0), QStringLiteral("Nein"));
        QWidget eltern;
        ComboDelegate jaNein;
        std::unique_ptr<QWidget> e(jaNein.createEditor(&eltern, QStyleOptionViewItem(), m.index(0, 0)));
        auto* box = qobject_cast<QComboBox*>(e.get());
        jaNein.setEditorData(box, m.index(0, 0));
        QCOMPARE(box->currentText(), QStringLiteral("Nein"));
        box->setCurrentIndex(0);
        jaNein.setModelData(box, &m, m.index(0, 0));
        QCOMPARE(m.data(m.index(0, 0)).toString(), QStringLiteral("Ja"));

        ComboItemDelegate liste({ QStringLiteral("1"), QStringLiteral("2") });
        liste.setItems({ QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3") });
        std::unique_ptr<QWidget> e2(liste.createEditor(&eltern, QStyleOptionViewItem(), m.index(0, 0)));
        auto* box2 = qobject_cast<QComboBox*>(e2.get());
        QCOMPARE(box2->count(), 3);
        QCOMPARE(box2->itemText(2), QStringLiteral("3"));
        box2->setCurrentIndex(1);
        liste.setModelData(box2, &m, m.index(0, 0));
        QCOMPARE(m.data(m.index(0, 0)).toString(), QStringLiteral("2"));
    }

    void ergebnistabelleSortieren()
    {
        // Columns: 0 Nr, 1 Name, 2 Preisskat, 3 points, 4 table (with seats).
        QStandardItemModel m(0, 5);
        const QList<QStringList> zeilen = { { "101", "Berta", "Ja", "10", "3" }, { "102", "Anna", "Nein", "-1", "3" },
            { "103", "Carl", "Ja", "0", "2" }, { "99", "Dora", "Nein", "abc", "-1" } };
        const QList<int> sitze = { 2, 1, 4, 0 };
        for (int z = 0; z < zeilen.size(); ++z) {
            QList<QStandardItem*> items;
            for (const QString& t : zeilen[z])
                items << new QStandardItem(t);
            items[4]->setData(sitze[z], Qt::UserRole + 4);
            m.appendRow(items);
        }
        QCOMPARE(spalteSortiert(m, 3, Qt::AscendingOrder), (QStringList { "-1", "0", "abc", "10" }));
        QCOMPARE(spalteSortiert(m, 0, Qt::AscendingOrder), (QStringList { "99", "101", "102", "103" }));
        QCOMPARE(spalteSortiert(m, 1, Qt::AscendingOrder), (QStringList { "Dora", "Carl", "Berta", "Anna" }));
        // Table by table, within a table by seat.
        QCOMPARE(spalteSortiert(m, 4, Qt::AscendingOrder, 1), (QStringList { "Dora", "Carl", "Anna", "Berta" }));

        TreeView ansicht;
        QCOMPARE(ansicht.editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(ansicht.palette().color(QPalette::AlternateBase), QColor(Qt::cyan));
        QVERIFY(ansicht.alternatingRowColors());
        QCOMPARE(ansicht.selectionMode(), QAbstractItemView::SingleSelection);
    }

    // Several cells of one row changed together repaint that row's strip
    // only, and nothing where the row is out of sight or none of its cells
    // is shown; a change of several rows is left to the tree view.
    void zeileNeuGezeichnet()
    {
        QStandardItemModel m(300, 8);
        TreeView ansicht;
        ansicht.setUniformRowHeights(true);
        ansicht.setModel(&m);
        ansicht.resize(500, 200);
        ansicht.show();
        QVERIFY(QTest::qWaitForWindowExposed(&ansicht));
        Maler maler;
        ansicht.viewport()->installEventFilter(&maler);
        const QRect sichtbar = ansicht.viewport()->rect();
        const QRect zeile1 = ansicht.visualRect(m.index(1, 3));
        QVERIFY(zeile1.isValid() && sichtbar.contains(zeile1.topLeft()));

        QCOMPARE(maler.nach([&] { emit m.dataChanged(m.index(1, 2), m.index(1, 5)); }),
            QRect(0, zeile1.top(), sichtbar.width(), zeile1.height()));
        QCOMPARE(maler.nach([&] { emit m.dataChanged(m.index(250, 2), m.index(250, 5)); }), QRect());
        // The tree view itself repaints what is in sight.
        QCOMPARE(maler.nach([&] { emit m.dataChanged(m.index(1, 2), m.index(2, 5)); }), sichtbar);
        for (int c = 2; c <= 5; ++c)
            ansicht.setColumnHidden(c, true);
        QCOMPARE(maler.nach([&] { emit m.dataChanged(m.index(1, 2), m.index(1, 5)); }), QRect());
        // One of the cells shown is enough.
        ansicht.setColumnHidden(4, false);
        QCOMPARE(maler.nach([&] { emit m.dataChanged(m.index(1, 2), m.index(1, 5)); }),
            QRect(0, zeile1.top(), sichtbar.width(), zeile1.height()));
    }
};

REIZWERK_TEST(TstWidgets)
#include "tst_widgets.moc"
