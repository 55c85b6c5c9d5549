#include "testumgebung.h"

#include <QSettings>
#include <QTemporaryDir>

#include "scoring/regeln.h"

namespace
{
// Every field in rule order, then the two club fees.
QString alsText(const Regeln::Regelwerte& r)
{
    QStringList t;
    for (double p : r.platz)
        t << QString::number(p);
    t << QString::number(r.kartengeld) << QString::number(r.verloren1bis5) << QString::number(r.verlorenAb6)
      << QString::number(r.preisskat) << QString::number(r.punkteGewVerl) << QString::number(r.punkteGegen3er)
      << QString::number(r.punkteGegen4er) << r.listenName << QString::number(r.verlorenBis)
      << QString::number(r.passGeld);
    return t.join(QLatin1Char('|'));
}
const QString standard = QStringLiteral("0|1.5|2.5|3.5|1|1|2.5|10|50|40|30|Spielliste|5|0");
} // namespace

// The one reader of the cost and point rules, which the game-list
// computation, the table app, the printed sheets, the money and the season
// all use.
class TstRegelwerte : public QObject
{
    Q_OBJECT
private slots:
    void werteLesen_data()
    {
        QTest::addColumn<QVariantMap>("gespeichert");
        QTest::addColumn<QString>("erwartet");
        QTest::newRow("nichts gespeichert") << QVariantMap {} << standard;
        QTest::newRow("alle Regeln") << QVariantMap { { "Kosten/Platz1", 0.5 }, { "Kosten/Platz2", 2.0 },
            { "Kosten/Platz3", 3.0 }, { "Kosten/Platz4", 4.0 }, { "Kosten/KartenGeld", 1.5 },
            { "Kosten/VerlSp1Bis5", 0.5 }, { "Kosten/VerlSpAb6", 1.0 }, { "Kosten/Preisskat", 12.5 },
            { "Kosten/PunkteGewMinusVerl", 60 }, { "Kosten/PunkteGegen3er", 45 }, { "Kosten/PunkteGegen4er", 35 },
            { "Kosten/ListenName", QStringLiteral("Liga, Herbst") }, { "Geld/VerlorenBis", 3 },
            { "Geld/PassCent", 20 } } << QStringLiteral("0.5|2|3|4|1.5|0.5|1|12.5|60|45|35|Liga, Herbst|3|0.2");
        // Only what is stored changes; the rest keeps its default.
        QTest::newRow("eine Regel") << QVariantMap { { "Kosten/PunkteGegen4er", 35 } }
                                    << QStringLiteral("0|1.5|2.5|3.5|1|1|2.5|10|50|40|35|Spielliste|5|0");
        // Written by hand with a decimal comma: no number, counts 0.
        QTest::newRow("Komma") << QVariantMap { { "Kosten/Preisskat", QStringLiteral("7,5") } }
                               << QStringLiteral("0|1.5|2.5|3.5|1|1|2.5|0|50|40|30|Spielliste|5|0");
        QTest::newRow("Gebuehren begrenzt") << QVariantMap { { "Geld/VerlorenBis", 5000 }, { "Geld/PassCent", 900000 } }
                                            << QStringLiteral("0|1.5|2.5|3.5|1|1|2.5|10|50|40|30|Spielliste|1000|1000");
        QTest::newRow("Gebuehren negativ") << QVariantMap { { "Geld/VerlorenBis", -2 }, { "Geld/PassCent", -50 } }
                                           << QStringLiteral("0|1.5|2.5|3.5|1|1|2.5|10|50|40|30|Spielliste|0|0");
    }

    void werteLesen()
    {
        QFETCH(QVariantMap, gespeichert);
        QFETCH(QString, erwartet);
        QTemporaryDir ordner;
        QSettings s(ordner.filePath(QStringLiteral("r.ini")), QSettings::IniFormat);
        for (auto it = gespeichert.cbegin(); it != gespeichert.cend(); ++it)
            s.setValue(it.key(), it.value());
        QCOMPARE(alsText(Regeln::werteLesen(s)), erwartet);
    }

    // The defaults written at start, shown in the rules tree and sent to the
    // companion are the reader's defaults.
    void standardsUeberall()
    {
        QCOMPARE(alsText(Regeln::Regelwerte()), standard);
        QTemporaryDir ordner;
        QSettings s(ordner.filePath(QStringLiteral("r.ini")), QSettings::IniFormat);
        QCOMPARE(Regeln::regelnText(s), QStringLiteral("0|1.5|2.5|3.5|1|1|2.5|10|50|40|30|Spielliste"));
        Regeln::standardsSchreiben(s);
        s.sync();
        QSettings wieder(ordner.filePath(QStringLiteral("r.ini")), QSettings::IniFormat);
        QCOMPARE(alsText(Regeln::werteLesen(wieder)), standard);
        QCOMPARE(Regeln::anzeige(wieder, *Regeln::regel(3)), QStringLiteral("2.5"));
        QCOMPARE(Regeln::anzeige(wieder, *Regeln::regel(11)), QStringLiteral("30"));
        // A value stored through the tree is what the reader returns.
        QVERIFY(Regeln::speichern(wieder, 7, QStringLiteral("3,5")));
        QCOMPARE(Regeln::werteLesen(wieder).verlorenAb6, 3.5);
    }
};

REIZWERK_TEST(TstRegelwerte)
#include "tst_regelwerte.moc"
