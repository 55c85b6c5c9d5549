#include <QDir>

#include "testumgebung.h"

#include "geld/geldspeicher.h"
#include "storage/datenbank.h"

namespace
{

// "1=A;3=1250": start number 1 paid in full, 3 paid 12,50 EUR.
QMap<int, Geld::Zahlung> zahlungen(const QString& text)
{
    QMap<int, Geld::Zahlung> z;
    for (const QString& teil : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList p = teil.split(QLatin1Char('='));
        const bool alles = p.value(1) == QLatin1String("A");
        z.insert(p.value(0).toInt(), { alles, alles ? 0 : p.value(1).toLongLong() });
    }
    return z;
}

QString text(const QMap<int, Geld::Zahlung>& z)
{
    QStringList teile;
    for (auto i = z.cbegin(); i != z.cend(); ++i)
        teile << QStringLiteral("%1=%2").arg(i.key()).arg(
            i.value().alles ? QStringLiteral("A") : QString::number(i.value().betrag));
    return teile.join(QLatin1Char(';'));
}

QVector<int> nummern(const QString& text)
{
    QVector<int> n;
    for (const QString& t : text.split(QLatin1Char(','), Qt::SkipEmptyParts))
        n << t.toInt();
    return n;
}

} // namespace

class TstVormerkung : public QObject
{
    Q_OBJECT

private slots:
    void init() { Testumgebung::frischesZuhause(); }
    void cleanup() { Testumgebung::verbindungenSchliessen(); }

    void einloesen_data()
    {
        QTest::addColumn<QString>("vorgemerkt"); // paid at the door before the confirmation
        QTest::addColumn<QString>("gestrichen"); // taken out of the selection again
        QTest::addColumn<QString>("teilnehmer"); // the confirmed group's participants
        QTest::addColumn<QString>("inGruppe"); // payments the group file holds already
        QTest::addColumn<int>("sperre"); // start number the group file refuses (0: none)
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("danach"); // payments in the group file afterwards
        QTest::addColumn<QString>("bleiben"); // still kept in the master database
        QTest::addColumn<int>("anzahl"); // payments the group took

        QTest::newRow("alle dabei, ganze Cent") << "1=A;2=A;3=1250"
                                                << ""
                                                << "1,2,3"
                                                << "" << 0 << true << "1=A;2=A;3=1250"
                                                << "" << 3;
        QTest::newRow("herausgenommen") << "1=A;2=A;3=A"
                                        << "2"
                                        << "1,3"
                                        << "" << 0 << true << "1=A;3=A"
                                        << "" << 2;
        QTest::newRow("nicht in der Gruppe") << "1=A;2=A"
                                             << ""
                                             << "1"
                                             << "" << 0 << true << "1=A"
                                             << "" << 1;
        QTest::newRow("Gruppe hat schon") << "1=A;2=A"
                                          << ""
                                          << "1,2"
                                          << "1=500" << 0 << true << "1=500;2=A"
                                          << "" << 1;
        QTest::newRow("nichts vorgemerkt") << ""
                                           << ""
                                           << "1,2"
                                           << "" << 0 << true << ""
                                           << "" << 0;
        // All or none: the second one fails, the first is not kept either.
        QTest::newRow("Gruppe nimmt nicht") << "1=A;2=A"
                                            << ""
                                            << "1,2"
                                            << "" << 2 << false << ""
                                            << "1=A;2=A" << 0;
    }

    void einloesen()
    {
        QFETCH(QString, vorgemerkt);
        QFETCH(QString, gestrichen);
        QFETCH(QString, teilnehmer);
        QFETCH(QString, inGruppe);
        QFETCH(int, sperre);
        QFETCH(bool, ok);
        QFETCH(QString, danach);
        QFETCH(QString, bleiben);
        QFETCH(int, anzahl);

        QSqlDatabase haupt
            = Db::oeffnen(QStringLiteral("haupt_test"), QDir(Testumgebung::zuhause()).filePath(QStringLiteral("h.db")));
        const QString datei = QDir(Testumgebung::zuhause()).filePath(QStringLiteral("Herren.db"));
        Turnierbau::gruppenDateiAnlegen(datei, QStringLiteral("Herren"), 4);
        QSqlDatabase gruppe = Db::oeffnen(QStringLiteral("gruppe_test"), datei);
        const QDate tag(2026, 12, 6);
        const QString herren = QStringLiteral("Herren");

        const QMap<int, Geld::Zahlung> vor = zahlungen(vorgemerkt);
        for (auto i = vor.cbegin(); i != vor.cend(); ++i)
            QVERIFY(Geld::vormerken(haupt, tag, herren, i.key(), i.value()));
        // The same start numbers on another day and in another group are
        // other evenings' money.
        QVERIFY(Geld::vormerken(haupt, tag.addDays(-7), herren, 1, { true, 0 }));
        QVERIFY(Geld::vormerken(haupt, tag, QStringLiteral("Damen"), 2, { false, 700 }));
        QVERIFY(Geld::vormerkungenStreichen(haupt, tag, herren, nummern(gestrichen)));

        const QMap<int, Geld::Zahlung> schon = zahlungen(inGruppe);
        for (auto i = schon.cbegin(); i != schon.cend(); ++i)
            QVERIFY(Geld::zahlungSpeichern(gruppe, i.key(), i.value()));
        if (sperre) {
            QVERIFY(Geld::zahlungSpeichern(gruppe, sperre, {})); // creates the tables, stores nothing
            Turnierbau::sql(gruppe,
                QStringLiteral("CREATE TRIGGER sperre BEFORE INSERT ON Zahlungen WHEN NEW.StartNr = %1 "
                               "BEGIN SELECT RAISE(ABORT, 'gesperrt'); END")
                    .arg(sperre));
        }

        QSet<int> dabei;
        for (int n : nummern(teilnehmer))
            dabei.insert(n);
        int genommen = -1;
        QString fehler;
        QCOMPARE(Geld::vormerkungenEinloesen(haupt, gruppe, tag, herren, dabei, &genommen, &fehler), ok);
        QCOMPARE(genommen, anzahl);
        QCOMPARE(fehler.isEmpty(), ok);

        Geld::Gebuehren g;
        Geld::Auszahlplan p;
        QMap<int, Geld::Zahlung> gespeichert;
        QVERIFY(Geld::lesen(gruppe, g, p, gespeichert));
        QCOMPARE(text(gespeichert), danach);
        QMap<int, Geld::Zahlung> rest;
        QVERIFY(Geld::vorgemerkt(haupt, tag, herren, rest));
        QCOMPARE(text(rest), bleiben);
        QVERIFY(Geld::vorgemerkt(haupt, tag.addDays(-7), herren, rest));
        QCOMPARE(text(rest), QStringLiteral("1=A"));
        QVERIFY(Geld::vorgemerkt(haupt, tag, QStringLiteral("Damen"), rest));
        QCOMPARE(text(rest), QStringLiteral("2=700"));
    }

    // Nothing paid takes the row away; a master database that was never
    // written to has nothing kept.
    void vormerkenUndZuruecknehmen()
    {
        QSqlDatabase haupt
            = Db::oeffnen(QStringLiteral("haupt_test"), QDir(Testumgebung::zuhause()).filePath(QStringLiteral("h.db")));
        const QDate tag(2026, 12, 6);
        QMap<int, Geld::Zahlung> rest { { 9, {} } };
        QVERIFY(Geld::vorgemerkt(haupt, tag, QStringLiteral("Alle"), rest));
        QVERIFY(rest.isEmpty());
        QVERIFY(Geld::vormerkungenStreichen(haupt, tag, QStringLiteral("Alle"), { 1 }));
        QVERIFY(Geld::vormerken(haupt, tag, QStringLiteral("Alle"), 5, { false, 350 }));
        QVERIFY(Geld::vormerken(haupt, tag, QStringLiteral("Alle"), 5, { true, 0 }));
        QVERIFY(Geld::vormerken(haupt, tag, QStringLiteral("Alle"), 6, { true, 0 }));
        QVERIFY(Geld::vorgemerkt(haupt, tag, QStringLiteral("Alle"), rest));
        QCOMPARE(text(rest), QStringLiteral("5=A;6=A"));
        QVERIFY(Geld::vormerken(haupt, tag, QStringLiteral("Alle"), 5, { false, 0 }));
        QVERIFY(Geld::vorgemerkt(haupt, tag, QStringLiteral("Alle"), rest));
        QCOMPARE(text(rest), QStringLiteral("6=A"));
        // A group name is a bound value, quotes and all.
        QVERIFY(Geld::vormerken(haupt, tag, QStringLiteral("O'Brien"), 7, { true, 0 }));
        QVERIFY(Geld::vorgemerkt(haupt, tag, QStringLiteral("O'Brien"), rest));
        QCOMPARE(text(rest), QStringLiteral("7=A"));
    }
};

REIZWERK_TEST(TstVormerkung)
#include "tst_vormerkung.moc"
