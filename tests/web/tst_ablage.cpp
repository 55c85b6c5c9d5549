#include "testumgebung.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "storage/spiellisten.h"

// A table that sends its list again replaces its file; the record of who
// wrote which file keeps saying so, also for a new reader of the folder, and
// is written only when a writer changes.
class TstAblage : public QObject
{
    Q_OBJECT
private slots:
    void wiederholteListe()
    {
        QTemporaryDir tag;
        QVERIFY(tag.isValid());
        const QString ordner = tag.path() + QLatin1Char('/') + SpielListen::ordnerName;
        const QString record = ordner + QLatin1Char('/') + SpielListen::herkunftDatei;
        using E = SpielListen::Ablage::Ergebnis;
        auto inhalt = [](const QByteArray& text) { return [text]() -> std::optional<QByteArray> { return text; }; };

        SpielListen::Ablage a;
        QCOMPARE(a.vomTisch(tag.path(), QStringLiteral("t1.txt"), "eins"), E::Gespeichert);
        QCOMPARE(a.vomGeraet(tag.path(), QStringLiteral("10.0.0.5"), QStringLiteral("g1.txt"), 4, inhalt("zwei"), true),
            E::Gespeichert);
        QVERIFY(QFile::exists(record));
        // The same table again: its file changes, the record does not.
        QVERIFY(QFile::remove(record));
        QCOMPARE(a.vomTisch(tag.path(), QStringLiteral("t1.txt"), "drei"), E::Gespeichert);
        QVERIFY(!QFile::exists(record));
        QFile t1(ordner + QStringLiteral("/t1.txt"));
        QVERIFY(t1.open(QIODevice::ReadOnly));
        QCOMPARE(t1.readAll(), QByteArray("drei"));
        // A new file writes the whole record again.
        QCOMPARE(a.vomTisch(tag.path(), QStringLiteral("t2.txt"), "vier"), E::Gespeichert);
        QVERIFY(QFile::exists(record));

        SpielListen::Ablage b;
        QCOMPARE(
            b.vomGeraet(tag.path(), QStringLiteral("10.0.0.5"), QStringLiteral("t1.txt"), 4, inhalt("fremd"), true),
            E::Geschuetzt);
        QCOMPARE(b.wer(QStringLiteral("t1.txt")), SpielListen::tischApp);
        QCOMPARE(b.wer(QStringLiteral("t2.txt")), SpielListen::tischApp);
        QCOMPARE(b.wer(QStringLiteral("g1.txt")), QStringLiteral("10.0.0.5"));
    }
};

REIZWERK_TEST(TstAblage)
#include "tst_ablage.moc"
