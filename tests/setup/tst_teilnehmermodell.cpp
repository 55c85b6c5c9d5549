#include "testumgebung.h"

#include <QFontMetrics>
#include <QSignalSpy>

#include <memory>

#include "setup/teilnehmertabelle.h"
#include "widgets/mysortfilterproxymodel.h"

namespace
{

// A table of two series: 103 Carla, 101 Anton, 102 Berta, with values in
// series 1 for 101.
std::unique_ptr<TeilnehmerModell> beispiel()
{
    auto m = std::make_unique<TeilnehmerModell>();
    m->kopfAufbauen(2);
    ZeilenBau bau(2);
    bau.zeile({ 103, QStringLiteral("Carla Dorn"), false, true }, 0, 0.0);
    bau.zeile({ 101, QStringLiteral("Anton Abel"), true, false }, 17, 1.5);
    bau.zeile({ 102, QStringLiteral("Berta Bauer"), true, false }, -4, 0.0);
    bau.serie(1, 1, 17, 2, 3, 1.5);
    bau.serie(2, 1, -4, 1, 1, 0.0);
    m->zeilenSetzen(bau.abgeben());
    return m;
}

QStringList spalte(const QAbstractItemModel& m, int c)
{
    QStringList texte;
    for (int z = 0; z < m.rowCount(); ++z)
        texte << m.index(z, c).data().toString();
    return texte;
}

} // namespace

class TstTeilnehmerModell : public QObject
{
    Q_OBJECT
private slots:
    // Each cell kind answers the roles its column gives it; the header
    // carries the captions, right alignment from the first series on and
    // the series number on every table column.
    void rollenJeSpalte_data()
    {
        QTest::addColumn<int>("spalte");
        QTest::addColumn<int>("rolle");
        QTest::addColumn<QVariant>("wert");
        const QVariant rechts(int(Qt::AlignRight | Qt::AlignVCenter));
        QTest::newRow("nr text") << int(Spalte::Nr) << int(Qt::DisplayRole) << QVariant(QStringLiteral("101"));
        QTest::newRow("nr start") << int(Spalte::Nr) << int(Rolle::StartNr) << QVariant(101);
        QTest::newRow("nr links") << int(Spalte::Nr) << int(Qt::TextAlignmentRole) << QVariant();
        QTest::newRow("name") << int(Spalte::Name) << int(Qt::EditRole) << QVariant(QStringLiteral("Anton Abel"));
        QTest::newRow("name start") << int(Spalte::Name) << int(Rolle::StartNr) << QVariant(101);
        QTest::newRow("mitglied") << int(Spalte::Name) << int(Rolle::Mitglied) << QVariant(true);
        QTest::newRow("preisskat") << int(Spalte::Preisskat) << int(Qt::DisplayRole)
                                   << QVariant(QStringLiteral("Nein"));
        QTest::newRow("preisskat ohne rolle") << int(Spalte::Preisskat) << int(Qt::UserRole + 1) << QVariant();
        QTest::newRow("punkte") << Spalte::punkte(1) << int(Qt::DisplayRole) << QVariant(QStringLiteral("17"));
        QTest::newRow("punkte serie") << Spalte::punkte(1) << int(Rolle::Serie) << QVariant(1);
        QTest::newRow("punkte spalte") << Spalte::punkte(2) << int(Rolle::Spalte) << QVariant(Spalte::punkte(2));
        QTest::newRow("punkte art") << Spalte::punkte(1) << int(Rolle::Art) << QVariant(Art::Punkte);
        QTest::newRow("punkte gespeichert")
            << Spalte::punkte(1) << int(Rolle::Gespeichert) << QVariant(QStringLiteral("17"));
        QTest::newRow("punkte rot") << Spalte::punkte(1) << int(Qt::ForegroundRole)
                                    << QVariant::fromValue(QBrush(Qt::red));
        QTest::newRow("punkte rechts") << Spalte::punkte(1) << int(Qt::TextAlignmentRole) << rechts;
        QTest::newRow("tisch") << Spalte::tisch(1) << int(Qt::DisplayRole) << QVariant(QStringLiteral("2"));
        QTest::newRow("tisch sitz") << Spalte::tisch(1) << int(Rolle::Sitz) << QVariant(3);
        QTest::newRow("tisch neu ohne sitz") << Spalte::tisch(2) << int(Rolle::Sitz) << QVariant();
        QTest::newRow("tisch nie gespeichert") << Spalte::tisch(1) << int(Rolle::Gespeichert) << QVariant();
        QTest::newRow("tisch art") << Spalte::tisch(2) << int(Rolle::Art) << QVariant(Art::Tisch);
        QTest::newRow("tisch gruen") << Spalte::tisch(1) << int(Qt::ForegroundRole)
                                     << QVariant::fromValue(QBrush(Qt::darkGreen));
        QTest::newRow("kosten") << Spalte::kosten(1) << int(Qt::DisplayRole) << QVariant(QStringLiteral("1.5"));
        QTest::newRow("kosten neu") << Spalte::kosten(2) << int(Rolle::Gespeichert) << QVariant(QStringLiteral("0.0"));
        QTest::newRow("kosten blau") << Spalte::kosten(2) << int(Qt::ForegroundRole)
                                     << QVariant::fromValue(QBrush(Qt::blue));
        QTest::newRow("summe") << Spalte::summePunkte(2) << int(Qt::DisplayRole) << QVariant(QStringLiteral("17"));
        QTest::newRow("summe kosten") << Spalte::summeKosten(2) << int(Qt::DisplayRole)
                                      << QVariant(QStringLiteral("1.5"));
        QTest::newRow("summe rechts") << Spalte::summeKosten(2) << int(Qt::TextAlignmentRole) << rechts;
        QTest::newRow("summe ohne art") << Spalte::summePunkte(2) << int(Rolle::Art) << QVariant();
    }
    void rollenJeSpalte()
    {
        QFETCH(int, spalte);
        QFETCH(int, rolle);
        QFETCH(QVariant, wert);
        const auto m = beispiel();
        QCOMPARE(m->data(m->index(1, spalte), rolle), wert);
        QCOMPARE(m->flags(m->index(1, spalte)),
            Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled);
    }

    void kopf()
    {
        const auto m = beispiel();
        QCOMPARE(m->columnCount(), Spalte::anzahl(2));
        QCOMPARE(kopfTexte(m.get()),
            (QStringList { "Nr", "Name", "Preisskat", "PktS1", "TischS1", "KostenS1", "PktS2", "TischS2", "KostenS2",
                "Summe Punkte", "Summe Kosten" }));
        for (int c = 0; c < m->columnCount(); ++c) {
            const QVariant serie = m->headerData(c, Qt::Horizontal, Rolle::KopfSerie);
            QCOMPARE(serie.isValid(), c == Spalte::tisch(1) || c == Spalte::tisch(2));
            QCOMPARE(m->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).isValid(), c > Spalte::Preisskat);
        }
        QCOMPARE(m->headerData(Spalte::tisch(2), Qt::Horizontal, Rolle::KopfSerie).toInt(), 2);
        m->kopfAufbauen(21); // out of range: the table stays
        QCOMPARE(m->rowCount(), 3);
        m->kopfAufbauen(1);
        QCOMPARE(m->rowCount(), 0);
        QCOMPARE(m->columnCount(), Spalte::anzahl(1));
    }

    // A text from outside is an entry: the cell shows it, one change notice
    // goes out and the window is asked to store it. The program's own
    // display changes are never entries, and a row's changed cells are
    // announced together.
    void schreibweg()
    {
        const auto m = beispiel();
        QSignalSpy geaendert(m.get(), &QAbstractItemModel::dataChanged);
        QSignalSpy eingaben(m.get(), &TeilnehmerModell::eingabe);
        const QModelIndex p = m->index(0, Spalte::punkte(2));
        QVERIFY(m->setData(p, QStringLiteral("12"), Qt::EditRole));
        QCOMPARE(p.data().toString(), QStringLiteral("12"));
        QCOMPARE(geaendert.count(), 1);
        QCOMPARE(eingaben.count(), 1);
        QCOMPARE(eingaben.at(0).at(0).toModelIndex(), p);
        // The stored value is still the old one until the window stores it.
        QCOMPARE(p.data(Rolle::Gespeichert).toString(), QStringLiteral("0"));
        // The same text again is no entry.
        QVERIFY(m->setData(p, QStringLiteral("12"), Qt::EditRole));
        QCOMPARE(eingaben.count(), 1);
        // A handle's text is an entry as well.
        m->zelle(0, Spalte::kosten(2))->setText(QStringLiteral("2.5"));
        QCOMPARE(eingaben.count(), 2);

        geaendert.clear();
        eingaben.clear();
        // Showing a value as stored: one notice, no entry.
        m->anzeigen(0, Spalte::punkte(2), QStringLiteral("0"), true);
        QCOMPARE(p.data().toString(), QStringLiteral("0"));
        QCOMPARE(geaendert.count(), 1);
        m->anzeigen(0, Spalte::punkte(2), QStringLiteral("0"), true); // nothing new: no notice
        QCOMPARE(geaendert.count(), 1);
        m->anzeigen(1,
            { { Spalte::punkte(2), QStringLiteral("5"), true }, { Spalte::kosten(2), QStringLiteral("1.0"), true },
                { Spalte::summePunkte(2), QStringLiteral("22"), false },
                { Spalte::summeKosten(2), QStringLiteral("2.5"), false } });
        QCOMPARE(geaendert.count(), 2);
        QCOMPARE(geaendert.last().at(0).toModelIndex(), m->index(1, Spalte::punkte(2)));
        QCOMPARE(geaendert.last().at(1).toModelIndex(), m->index(1, Spalte::summeKosten(2)));
        QCOMPARE(m->index(1, Spalte::kosten(2)).data(Rolle::Gespeichert).toString(), QStringLiteral("1.0"));
        QVERIFY(!m->index(1, Spalte::summePunkte(2)).data(Rolle::Gespeichert).isValid());
        m->zelle(1, Spalte::tisch(2))->anzeigen(QStringLiteral("4"));
        // Other roles are kept without being entries.
        m->setData(m->index(1, Spalte::tisch(2)), 2, Rolle::Sitz);
        m->zelle(1, Spalte::tisch(2))->setBackground(QBrush(Qt::red));
        QCOMPARE(m->zelle(1, Spalte::tisch(2))->background().color(), QColor(Qt::red));
        QCOMPARE(m->zelle(1, Spalte::punkte(2))->background().style(), Qt::NoBrush);
        m->setData(m->index(1, Spalte::Name), false, Rolle::Mitglied);
        QCOMPARE(m->index(1, Spalte::Name).data(Rolle::Mitglied).toBool(), false);
        QCOMPARE(m->index(1, Spalte::tisch(2)).data(Rolle::Sitz).toInt(), 2);
        QCOMPARE(eingaben.count(), 0);

        // Editability is the cell's own.
        QVERIFY(!m->zelle(2, Spalte::punkte(1))->isEditable());
        m->zelle(2, Spalte::punkte(1))->setEditable(true);
        QVERIFY(m->flags(m->index(2, Spalte::punkte(1))) & Qt::ItemIsEditable);
        QVERIFY(!(m->flags(m->index(1, Spalte::punkte(1))) & Qt::ItemIsEditable));
        // Handles of cells that do not exist test false and do nothing.
        QVERIFY(!m->zelle(3, 0));
        QVERIFY(!m->zelle(0, Spalte::anzahl(2)));
        m->zelle(7, 1)->setText(QStringLiteral("x"));
        QCOMPARE(eingaben.count(), 0);
        QVERIFY(!m->setData(m->index(0, 0).sibling(0, 99), QStringLiteral("x")));
    }

    // A draw's column: one notice spanning the rows it changed, seats with
    // the tables, no entry; a row that already shows its seat is left out.
    void sitze()
    {
        const auto m = beispiel();
        QSignalSpy geaendert(m.get(), &QAbstractItemModel::dataChanged);
        QSignalSpy eingaben(m.get(), &TeilnehmerModell::eingabe);
        m->sitzeZeigen(Spalte::tisch(2), { { 0, 3, 1 }, { 2, 3, 2 }, { 7, 1, 1 } });
        QCOMPARE(geaendert.count(), 1);
        QCOMPARE(geaendert.at(0).at(0).toModelIndex(), m->index(0, Spalte::tisch(2)));
        QCOMPARE(geaendert.at(0).at(1).toModelIndex(), m->index(2, Spalte::tisch(2)));
        QCOMPARE(eingaben.count(), 0);
        QCOMPARE(m->index(2, Spalte::tisch(2)).data().toString(), QStringLiteral("3"));
        QCOMPARE(m->index(2, Spalte::tisch(2)).data(Rolle::Sitz).toInt(), 2);
        QVERIFY(!m->index(1, Spalte::tisch(2)).data(Rolle::Sitz).isValid());
        m->sitzeZeigen(Spalte::tisch(2), { { 0, 3, 1 } });
        QCOMPARE(geaendert.count(), 1);
        m->sitzeZeigen(Spalte::tisch(1), { { 1, 2, 4 } });
        QCOMPARE(geaendert.count(), 2);
        QCOMPARE(m->index(1, Spalte::tisch(1)).data(Rolle::Sitz).toInt(), 4);
    }

    // The model's own order is by start number; the views sort through the
    // proxy, and persistent indexes and the number index follow a sort.
    void sortieren()
    {
        const auto m = beispiel();
        QCOMPARE(m->zeileVon(103), 0);
        const QPersistentModelIndex anton(m->index(1, Spalte::Name));
        m->sort(Spalte::Nr, Qt::AscendingOrder);
        QCOMPARE(spalte(*m, Spalte::Nr), (QStringList { "101", "102", "103" }));
        QCOMPARE(anton.row(), 0);
        QCOMPARE(anton.data().toString(), QStringLiteral("Anton Abel"));
        QCOMPARE(m->zeileVon(103), 2);
        QCOMPARE(m->zeileVon(7), -1);
        m->sort(Spalte::Nr, Qt::DescendingOrder);
        QCOMPARE(spalte(*m, Spalte::Nr), (QStringList { "103", "102", "101" }));
        m->sort(Spalte::Nr);

        MySortFilterProxyModel proxy;
        proxy.setSourceModel(m.get());
        proxy.sort(Spalte::punkte(1), Qt::AscendingOrder);
        QCOMPARE(spalte(proxy, Spalte::Nr), (QStringList { "102", "103", "101" }));
        proxy.sort(Spalte::Name, Qt::AscendingOrder); // names Z to A
        QCOMPARE(spalte(proxy, Spalte::Name), (QStringList { "Carla Dorn", "Berta Bauer", "Anton Abel" }));
        // An entry re-sorts the view.
        proxy.sort(Spalte::punkte(1), Qt::AscendingOrder);
        m->anzeigen(2, Spalte::punkte(1), QStringLiteral("-50"));
        QCOMPARE(spalte(proxy, Spalte::Nr).first(), QStringLiteral("103"));

        // Rows come and go.
        QCOMPARE(m->zeileAnhaengen(TeilnehmerTabelle::neueZeile({ 99, QStringLiteral("Neu"), false, false }, 2)), 3);
        QCOMPARE(m->zeileVon(99), 3);
        QCOMPARE(m->index(3, Spalte::kosten(2)).data().toString(), QStringLiteral("0.0"));
        QVERIFY(m->removeRows(0, 2));
        QCOMPARE(m->zeileVon(99), 1);
        QCOMPARE(m->zeileVon(101), -1);
        QVERIFY(!m->removeRows(1, 5));
    }

    // Column widths come from the widest texts, measured in the table's
    // font; a wider text announces itself, a narrower one does not.
    void breiten()
    {
        QFont schrift;
        const QFontMetrics fm(schrift);
        auto m = std::make_unique<TeilnehmerModell>();
        m->setSchrift(schrift);
        m->kopfAufbauen(1);
        ZeilenBau bau(1);
        const QStringList namen { "Ida Li", "Wilhelm Wendt", "Iii Iiiiiiiiii", "Max Mo" };
        for (int i = 0; i < namen.size(); ++i)
            bau.zeile({ 100 + i, namen.at(i), false, false }, i * 1000 - 5, 0.0);
        m->zeilenSetzen(bau.abgeben());
        for (int c = 0; c < m->columnCount(); ++c) {
            int breiteste = 0;
            for (const QString& t : spalte(*m, c))
                breiteste = std::max(breiteste, fm.horizontalAdvance(t));
            QCOMPARE(m->textBreite(c), breiteste);
        }
        QSignalSpy breiter(m.get(), &TeilnehmerModell::textBreiter);
        m->anzeigen(0, Spalte::punkte(1), QStringLiteral("1"));
        QCOMPARE(breiter.count(), 0);
        m->anzeigen(0, Spalte::punkte(1), QStringLiteral("-123456"));
        QCOMPARE(breiter.count(), 1);
        QCOMPARE(breiter.at(0).at(0).toInt(), Spalte::punkte(1));
        QCOMPARE(m->textBreite(Spalte::punkte(1)), fm.horizontalAdvance(QStringLiteral("-123456")));
        m->setData(m->index(1, Spalte::Name), QStringLiteral("Wilhelmine von Hohenzollern-Sigmaringen"));
        QCOMPARE(breiter.count(), 2);
        QCOMPARE(m->textBreite(Spalte::Name),
            fm.horizontalAdvance(QStringLiteral("Wilhelmine von Hohenzollern-Sigmaringen")));
    }
};

REIZWERK_TEST(TstTeilnehmerModell)
#include "tst_teilnehmermodell.moc"
