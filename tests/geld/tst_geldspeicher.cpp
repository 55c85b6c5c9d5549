#include <QDir>
#include <QSqlQuery>

#include "testumgebung.h"

#include "geldbau.h"

#include "geld/geldausgabe.h"
#include "geld/geldspeicher.h"
#include "print/blatt.h"
#include "storage/datenbank.h"

namespace
{

// The statements of the tables the group file has always had.
QString schema(QSqlDatabase db)
{
    QStringList s;
    for (const QVariant& v : Turnierbau::spalte(db,
             QStringLiteral("SELECT sql FROM sqlite_master WHERE name IN ('Gruppe', 'Teilnehmer', 'Serie1', "
                            "'Serie2') ORDER BY name")))
        s << v.toString();
    return s.join(QLatin1Char('\n'));
}

} // namespace

class TstGeldSpeicher : public QObject
{
    Q_OBJECT

private slots:
    void init() { Testumgebung::frischesZuhause(); }
    void cleanup() { Testumgebung::verbindungenSchliessen(); }

    void speichernUndLesen()
    {
        const QString datei = QDir(Testumgebung::zuhause()).filePath(QStringLiteral("Herren.db"));
        Turnierbau::gruppenDateiAnlegen(datei, QStringLiteral("Herren"), 4);
        QSqlDatabase db = Db::oeffnen(QStringLiteral("geld_test"), datei);
        const QString vorher = schema(db);
        QVERIFY(!vorher.isEmpty());

        // An old day: no tables, no fees, nothing paid.
        Geld::Gebuehren g;
        Geld::Auszahlplan p;
        QMap<int, Geld::Zahlung> z;
        QVERIFY(Geld::lesen(db, g, p, z));
        QVERIFY(!g.gesetzt);
        QVERIFY(z.isEmpty());

        Geld::Gebuehren neu { true, 1050, 1000 };
        Geld::Auszahlplan plan = Geldbau::plan();
        plan.werte = { 3333, 3333, 3334 };
        plan.kostenAnteil = 20;
        plan.serienPreis = 505;
        plan.einProTisch = false;
        plan.anzahl = 3;
        QVERIFY(Geld::festlegen(db, neu, plan));
        QVERIFY(Geld::zahlungSpeichern(db, 100, { true, 0 }));
        QVERIFY(Geld::zahlungSpeichern(db, 101, { false, 730 }));
        QVERIFY(Geld::zahlungSpeichern(db, 102, { false, 200 }));
        // Nothing paid removes the row.
        QVERIFY(Geld::zahlungSpeichern(db, 102, { false, 0 }));
        // Fixed again: one row each, not two.
        QVERIFY(Geld::festlegen(db, neu, plan));

        QVERIFY(Geld::lesen(db, g, p, z));
        QVERIFY(g.gesetzt);
        QCOMPARE(g.startgeld, qint64(1050));
        QCOMPARE(g.preisskat, qint64(1000));
        QCOMPARE(p.werte, plan.werte);
        QCOMPARE(p.kostenAnteil, 20);
        QCOMPARE(p.serienPreis, qint64(505));
        QCOMPARE(p.anzahl, 3);
        QVERIFY(!p.einProTisch);
        QCOMPARE(z.keys(), (QList<int> { 100, 101 }));
        QVERIFY(z.value(100).alles);
        QCOMPARE(z.value(101).betrag, qint64(730));
        // Whole cents as integers, never a binary fraction.
        QCOMPARE(
            Turnierbau::wert(db, QStringLiteral("SELECT typeof(Betrag) FROM Zahlungen WHERE StartNr = 101")).toString(),
            QStringLiteral("integer"));
        QCOMPARE(Turnierbau::wert(db, QStringLiteral("SELECT count(*) FROM Gebuehren")).toInt(), 1);
        QCOMPARE(schema(db), vorher);
    }

    void planText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("gueltig");
        QTest::addColumn<QString>("zurueck");
        QTest::newRow("ganz") << "40;25;15;10;10" << true << "40;25;15;10;10";
        QTest::newRow("Bruchteile") << "33,33; 33,33 ;33,34" << true << "33,33;33,33;33,34";
        QTest::newRow("über 100") << "60;50" << false << "";
        QTest::newRow("Text") << "40;viel" << false << "";
    }
    void planText()
    {
        QFETCH(QString, text);
        QFETCH(bool, gueltig);
        QFETCH(QString, zurueck);
        Geld::Auszahlplan p;
        QCOMPARE(Geld::werteAusText(text, Geld::Auszahlplan::Art::Prozent, p.werte), gueltig);
        if (gueltig)
            QCOMPARE(Geld::werteText(p), zurueck);
    }

    void csvDerAbrechnung()
    {
        auto g = Geldbau::abend();
        g.teilnehmer[22].name = QStringLiteral("=SUMME(A1)");
        const auto a = Geld::abrechnen(g, Geldbau::gebuehren(), Geldbau::plan(), Geldbau::zahlungen());
        const QByteArray csv = Geld::abrechnungCsv(g, a);
        const QList<QByteArray> zeilen = csv.split('\n');
        QCOMPARE(zeilen.size(), 2 + 23 + 7 + 1);
        QCOMPARE(zeilen.at(0),
            QByteArray("\xEF\xBB\xBF") + QStringLiteral("Abrechnung Herren \u2013 06.12.2026\r").toUtf8());
        QCOMPARE(zeilen.at(1),
            QByteArray("Nr;Name;Startgeld;Kosten;Preisskat;Schuld;Gezahlt;Preis;Preisskat-Preis;Serienpreis;Saldo\r"));
        QCOMPARE(
            zeilen.at(2), QByteArray("100;Vorname1 Nachname1;10,00;2,50;0,00;12,50;12,50;92,00;0,00;0,00;92,00\r"));
        QCOMPARE(
            zeilen.at(3), QByteArray("101;Vorname2 Nachname2;10,00;2,50;0,00;12,50;12,50;46,00;0,00;0,00;46,00\r"));
        QCOMPARE(
            zeilen.at(6), QByteArray("104;Vorname5 Nachname5;10,00;2,50;10,00;22,50;22,50;23,00;20,00;0,00;43,00\r"));
        QCOMPARE(zeilen.at(7), QByteArray("105;Vorname6 Nachname6;10,00;2,50;0,00;12,50;5,00;0,00;0,00;0,00;-7,50\r"));
        QCOMPARE(zeilen.at(24), QByteArray("122;\"'=SUMME(A1)\";10,00;2,50;10,00;22,50;22,50;0,00;5,00;0,00;5,00\r"));
        QCOMPARE(zeilen.mid(25, 7),
            (QList<QByteArray> { "Einnahmen (geschuldet);337,50\r", "Gezahlt;317,50\r", "Ausgaben (Preise);280,00\r",
                "Verbleibt beim Verein;57,50\r", "davon Rest (Rundung, nicht vergebene Plätze);0,00\r",
                "Noch zu zahlen;20,00\r", "Auszuzahlen;280,00\r" }));
        QCOMPARE(zeilen.last(), QByteArray());

        // An old day says so.
        const auto alt = Geld::abrechnen(g, Geld::Gebuehren {}, Geldbau::plan(), {});
        QVERIFY(Geld::abrechnungCsv(g, alt).split('\n').at(1).startsWith(QStringLiteral("keine Gebühren").toUtf8()));
    }

    void pdfDerAbrechnung()
    {
        const auto g = Geldbau::abend();
        const auto a = Geld::abrechnen(g, Geldbau::gebuehren(), Geldbau::plan(), Geldbau::zahlungen());
        const QString pdf = QDir(Testumgebung::zuhause()).filePath(QStringLiteral("abrechnung.pdf"));
        QString grund;
        QVERIFY2(Druck::pdfSchreiben(Geld::abrechnungsDokument(g, a), pdf, &grund), qPrintable(grund));
        const QString text = Geldbau::pdfText(pdf);
        QVERIFY(!text.isEmpty());
        QVERIFY(text.contains(QStringLiteral("Abrechnung Herren \u2013 06.12.2026")));
        QVERIFY(text.contains(QStringLiteral("Preistopf 230,00 € \u00b7 Preisskat-Topf 50,00 € \u00b7 6 Tische")));
        // 104: owes 22,50, paid it, wins 23 + 20 €.
        const QRegularExpression z104(QStringLiteral("104\\s+Vorname5 Nachname5\\s+10,00\\s+2,50\\s+10,00\\s+22,50\\s+"
                                                     "22,50\\s+43,00\\s+43,00"));
        QVERIFY(z104.match(text).hasMatch());
        QVERIFY(text.contains(QStringLiteral("105")));
        QVERIFY(text.contains(QStringLiteral("-7,50")));
        QVERIFY(text.contains(QStringLiteral("Einnahmen (geschuldet): 337,50 €")));
        QVERIFY(text.contains(QStringLiteral("Ausgaben (Preise): 280,00 €")));
        QVERIFY(text.contains(QStringLiteral("Verbleibt beim Verein: 57,50 €")));

        // The slips: 23 on three pages; 104 receives 43 €, 106 still pays 12,50 €.
        const Druck::Dokument belege = Geld::belege(g, a);
        QCOMPARE(belege.seiten.size(), 3);
        QVERIFY2(Druck::pdfSchreiben(belege, pdf, &grund), qPrintable(grund));
        const QString slips = Geldbau::pdfText(pdf);
        QCOMPARE(slips.count(QStringLiteral("Abrechnung Herren")), 23);
        const QString ohne = QString(slips).remove(QRegularExpression(QStringLiteral("\\s+")));
        QVERIFY(ohne.contains(QStringLiteral("104Vorname5Nachname5")));
        QCOMPARE(slips.count(QStringLiteral("Auszuzahlen")), 21);
        QCOMPARE(slips.count(QStringLiteral("Noch zu zahlen")), 2);
        QVERIFY(QRegularExpression(QStringLiteral("Auszuzahlen\\s+43,00 €")).match(slips).hasMatch());
        QVERIFY(QRegularExpression(QStringLiteral("Noch zu zahlen\\s+12,50 €")).match(slips).hasMatch());
    }
};

REIZWERK_TEST(TstGeldSpeicher)
#include "tst_geldspeicher.moc"
