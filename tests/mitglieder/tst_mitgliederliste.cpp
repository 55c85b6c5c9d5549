#include "testumgebung.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTextCodec>

#include "mitglieder/mitgliederliste.h"
#include "season/zipdatei.h"
#include "storage/datenbank.h"
#include "storage/schema.h"

using namespace Mitgliederliste;

namespace
{

QByteArray utf16MitBom(const QString& text)
{
    QByteArray b("\xFF\xFE", 2);
    for (const QChar c : text) {
        b.append(char(c.unicode() & 0xFF));
        b.append(char(c.unicode() >> 8));
    }
    return b;
}

Bisher bisher(int nr, const QString& vorname, const QString& nachname, const QString& mitgliedsNr = QString(),
    const QString& preisskat = QStringLiteral("Nein"))
{
    Bisher b;
    b.spieler = Spielerdatei::Bisher { nr, vorname, nachname, preisskat };
    b.gruppe = QStringLiteral("Alle");
    b.mitglied = QStringLiteral("Ja");
    b.mitgliedsNr = mitgliedsNr;
    return b;
}

Tabelle tabelle(const QVector<QStringList>& zeilen)
{
    Tabelle t;
    t.zeilen = zeilen;
    return t;
}

} // namespace

class TestMitgliederliste : public QObject
{
    Q_OBJECT

private slots:
    void csvLesen_data()
    {
        QTest::addColumn<QByteArray>("inhalt");
        QTest::addColumn<QString>("kodierung");
        QTest::addColumn<QString>("trenner");
        QTest::addColumn<int>("zeilen");
        QTest::addColumn<QStringList>("letzte");

        QTest::newRow("Verband ; mit Anfuehrung")
            << QByteArray("\"Mitgliedsnummer\";\"Vorname\";\"Nachname\";\"Verein\"\r\n"
                          "\"4711\";\"Hans Peter\";\"von Berg\";\"SC \"\"Kreuz Bube\"\"; Nord\"\r\n")
            << "UTF-8"
            << ";" << 2 << QStringList { "4711", "Hans Peter", "von Berg", "SC \"Kreuz Bube\"; Nord" };
        QTest::newRow("Tabulator-Export")
            << QByteArray("Vorname\tName\tGruppe\nAnna Lena\tde la Cruz\tDamen\n\n") << "UTF-8"
            << "\t" << 2 << QStringList { "Anna Lena", "de la Cruz", "Damen" };
        QTest::newRow("Windows-1252 Umlaute")
            << QByteArray("Vorname;Name\nJ\xFCrgen;M\xFCller-L\xFC\xDF\n") << "Windows-1252"
            << ";" << 2 << QStringList { QString::fromUtf8("Jürgen"), QString::fromUtf8("Müller-Lüß") };
        QTest::newRow("UTF-16 mit BOM") << utf16MitBom(QString::fromUtf8("Vorname;Name\r\nGünter;Öztürk\r\n"))
                                        << "UTF-16"
                                        << ";" << 2
                                        << QStringList { QString::fromUtf8("Günter"), QString::fromUtf8("Öztürk") };
        QTest::newRow("UTF-8 mit BOM, Komma")
            << QByteArray("\xEF\xBB\xBFVorname,Name,Verein\nKarl,Ohm,\"Herz, Dame\"\n") << "UTF-8"
            << "," << 2 << QStringList { "Karl", "Ohm", "Herz, Dame" };
    }
    void csvLesen()
    {
        QFETCH(QByteArray, inhalt);
        QFETCH(QString, kodierung);
        QFETCH(QString, trenner);
        QFETCH(int, zeilen);
        QFETCH(QStringList, letzte);
        const Tabelle t = Mitgliederliste::csvLesen(inhalt);
        QVERIFY2(t.fehler.isEmpty(), qPrintable(t.fehler));
        QCOMPARE(t.kodierung, kodierung);
        QCOMPARE(QString(t.trenner), trenner);
        QCOMPARE(t.zeilen.size(), zeilen);
        QCOMPARE(t.zeilen.last(), letzte);
    }

    // A workbook written by another program: openpyxl (shared strings,
    // a number cell, a gap in a row).
    void xlsxVonOpenpyxl()
    {
        // Debian's python3 first: a python3 of its own earlier in PATH may lack the package.
        QProcess py;
        QString python;
        for (const QString& kandidat : { QStringLiteral("/usr/bin/python3"), QStringLiteral("python3") }) {
            py.start(kandidat, { QStringLiteral("-c"), QStringLiteral("import openpyxl") });
            if (py.waitForFinished(30000) && py.exitStatus() == QProcess::NormalExit && py.exitCode() == 0) {
                python = kandidat;
                break;
            }
        }
        if (python.isEmpty())
            QSKIP("python3-openpyxl fehlt (test.sh installiert es); die .xlsx-Datei wird nicht erzeugt");
        const QString pfad = QDir(Testumgebung::zuhause()).filePath(QStringLiteral("mitglieder.xlsx"));
        const QString skript = QStringLiteral("import openpyxl,sys\n"
                                              "wb=openpyxl.Workbook(); ws=wb.active; ws.title='Mitglieder'\n"
                                              "ws.append(['Nr','Vorname','Nachname','Verein'])\n"
                                              "ws.append([4711,'Hans Peter','von Berg','SC Nord'])\n"
                                              "ws['A3']=12; ws['C3']='Öztürk'; ws['B3']='Jürgen'\n"
                                              "ws['B4']='Ohne'\n"
                                              "wb.create_sheet('Zweites')['A1']='falsch'\n"
                                              "wb.save(sys.argv[1])\n");
        py.start(python, { QStringLiteral("-c"), skript, pfad });
        QVERIFY(py.waitForFinished(60000));
        QCOMPARE(py.exitCode(), 0);
        const Tabelle t = dateiLesen(pfad);
        QVERIFY2(t.fehler.isEmpty(), qPrintable(t.fehler));
        QCOMPARE(t.kodierung, QStringLiteral("xlsx"));
        QCOMPARE(t.zeilen.size(), 4);
        QCOMPARE(t.zeilen.at(0), (QStringList { "Nr", "Vorname", "Nachname", "Verein" }));
        QCOMPARE(t.zeilen.at(1), (QStringList { "4711", "Hans Peter", "von Berg", "SC Nord" }));
        QCOMPARE(t.zeilen.at(2), (QStringList { "12", QString::fromUtf8("Jürgen"), QString::fromUtf8("Öztürk") }));
        QCOMPARE(t.zeilen.at(3), (QStringList { "", "Ohne" }));
    }

    // Inline strings and cell references with gaps, as some exporters write
    // them, in a workbook without shared strings.
    void xlsxInlineUndLuecken()
    {
        const QString pfad = QDir(Testumgebung::zuhause()).filePath(QStringLiteral("inline.xlsx"));
        ZipSchreiber z;
        QString fehler;
        QVERIFY(z.oeffnen(pfad, true, &fehler));
        QVERIFY(z.hinzufuegen(QStringLiteral("xl/workbook.xml"),
            "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>"
            "<sheet name=\"A\" sheetId=\"1\" r:id=\"rId7\"/></sheets></workbook>",
            &fehler));
        QVERIFY(z.hinzufuegen(QStringLiteral("xl/_rels/workbook.xml.rels"),
            "<Relationships><Relationship Id=\"rId7\" Target=\"worksheets/blatt.xml\"/></Relationships>", &fehler));
        QVERIFY(z.hinzufuegen(QStringLiteral("xl/worksheets/blatt.xml"),
            "<worksheet><sheetData><row r=\"2\"><c r=\"B2\" t=\"inlineStr\"><is><r><t>Hans </t></r><r><t>Peter</t></r>"
            "</is></c><c r=\"D2\" t=\"inlineStr\"><is><t>von Berg</t></is></c></row></sheetData></worksheet>",
            &fehler));
        QVERIFY(z.schliessen(&fehler));
        const Tabelle t = dateiLesen(pfad);
        QVERIFY2(t.fehler.isEmpty(), qPrintable(t.fehler));
        QCOMPARE(t.zeilen.size(), 1);
        QCOMPARE(t.zeilen.at(0), (QStringList { "", "Hans Peter", "", "von Berg" }));
    }

    void zuordnungRatenUndBehalten()
    {
        const QStringList kopf { "Mitgliedsnummer", "Nachname", "Vorname", "Verein", "Spielergruppe", "Mitglied" };
        const Zuordnung z = raten(kopf);
        QCOMPARE(z.mitgliedsNr, 0);
        QCOMPARE(z.nachname, 1);
        QCOMPARE(z.vorname, 2);
        QCOMPARE(z.verein, 3);
        QCOMPARE(z.gruppe, 4);
        QCOMPARE(z.mitglied, 5);
        QVERIFY(z.kopfzeile);
        QVERIFY(!raten({ "Hans", "Meier" }).kopfzeile);

        Zuordnung anders;
        anders.vorname = 3;
        anders.nachname = 0;
        anders.kopfzeile = false;
        zuordnungSpeichern(anders);
        const Zuordnung zurueck = gespeicherteZuordnung(kopf);
        QCOMPARE(zurueck.vorname, 3);
        QCOMPARE(zurueck.nachname, 0);
        QCOMPARE(zurueck.mitgliedsNr, -1);
        QVERIFY(!zurueck.kopfzeile);
        // Outside the settings group whose keys become player groups.
        QSettings s(Testumgebung::einstellungsDatei(), QSettings::IniFormat);
        s.beginGroup(QStringLiteral("Gruppe"));
        QVERIFY(!s.allKeys().join(QLatin1Char(',')).contains(QLatin1String("Vorname")));
    }

    void planen()
    {
        const QVector<Bisher> roster { bisher(100, "Hans", "Meier", "4711", "Ja"), bisher(101, "Eva", "Schulz"),
            bisher(103, "Otto", "Bleibt") };
        // 102 is held by somebody in the ranking; 104 is free.
        const QVector<Spielerdatei::Nummer> anderswo { { 102, "Fritz Alt" } };
        Zuordnung z;
        z.mitgliedsNr = 0;
        z.vorname = 1;
        z.nachname = 2;
        z.mitglied = 3;
        const Tabelle t = tabelle({ { "Nr", "Vorname", "Name", "Mitglied" },
            { "4711", "Hans-Jürgen", "Meier", "Ja" }, // renamed, found by number
            { "", "Eva", "Schulz", "ja" }, // found by name, unchanged
            { "", "Anna Lena", "von der Heide", "Nein" }, // new guest, two-word names
            { "99", "", "Ohne", "Ja" }, // no first name
            { "98", "Max", "Pipe|Mann", "Ja" }, // forbidden character
            { "", "Eva", "Schulz", "Ja" }, // the same player again
            { "5", "Karl", "Neu", "Ja" } });
        const Plan p = Mitgliederliste::planen(roster, anderswo, t, z, QStringLiteral("Alle"));
        QCOMPARE(p.eintraege.size(), 7);
        QCOMPARE(p.eintraege.at(0).art, Art::Geaendert);
        QCOMPARE(p.eintraege.at(0).startNr, 100);
        QVERIFY(p.eintraege.at(0).grund.contains(QString::fromUtf8("Hans -> Hans-Jürgen")));
        QCOMPARE(p.eintraege.at(1).art, Art::Unveraendert);
        QCOMPARE(p.eintraege.at(1).startNr, 101);
        QCOMPARE(p.eintraege.at(2).art, Art::Neu);
        QCOMPARE(p.eintraege.at(2).startNr, 104);
        QCOMPARE(p.eintraege.at(2).mitglied, QStringLiteral("Nein"));
        QCOMPARE(p.eintraege.at(2).nachname, QStringLiteral("von der Heide"));
        for (int i : { 3, 4, 5 })
            QCOMPARE(p.eintraege.at(i).art, Art::Uebersprungen);
        QCOMPARE(p.eintraege.at(6).art, Art::Neu);
        QCOMPARE(p.eintraege.at(6).startNr, 105);
        QCOMPARE(p.anzahl(Art::Uebersprungen), 3);
        QCOMPARE(p.fehlend.size(), 1);
        QCOMPARE(p.fehlend.at(0).startNr, 103);

        const QStringList bericht = p.bericht();
        QCOMPARE(bericht.size(), 8); // every row and the one who stays
        for (const char* nr : { "Zeile 5:", "Zeile 6:", "Zeile 7:" })
            QVERIFY2(bericht.filter(nr).value(0).contains(QLatin1String("uebersprungen")), qPrintable(nr));
        QVERIFY(bericht.last().contains(QLatin1String("Otto Bleibt")));

        // A namesake with another member number is somebody else.
        const Plan q = Mitgliederliste::planen(roster, {},
            tabelle({ { "Nr", "Vorname", "Name", "Mitglied" }, { "1234", "Hans", "Meier", "Ja" } }), z,
            QStringLiteral("Alle"));
        QCOMPARE(q.eintraege.at(0).art, Art::Neu);
        QCOMPARE(q.eintraege.at(0).startNr, 102);
    }

    void suchen_data()
    {
        QTest::addColumn<QString>("eingabe");
        QTest::addColumn<QVector<int>>("nummern");
        QTest::newRow("Startnummer") << "101" << QVector<int> { 101 };
        QTest::newRow("unbekannte Nummer") << "99" << QVector<int> {};
        QTest::newRow("Teil des Namens") << "eva" << QVector<int> { 101, 102 };
        QTest::newRow("ganzer Name geht vor") << "eva schulz" << QVector<int> { 101 };
        QTest::newRow("Namenszusatz") << " von  berg " << QVector<int> { 100 };
        QTest::newRow("niemand") << "Gast" << QVector<int> {};
    }
    void suchen()
    {
        QFETCH(QString, eingabe);
        QFETCH(QVector<int>, nummern);
        const QVector<Spielerdatei::Bisher> roster { { 100, "Hans Peter", "von Berg", "Nein" },
            { 101, "Eva", "Schulz", "Nein" }, { 102, "Eva", "Schulze", "Nein" } };
        QVector<int> gefunden;
        for (const Spielerdatei::Bisher& b : Mitgliederliste::suchen(roster, eingabe))
            gefunden << b.startNr;
        QCOMPARE(gefunden, nummern);
    }

    void uebernehmenInEinemSchritt()
    {
        QSqlDatabase db = Db::oeffnen(QStringLiteral("mitglieder"), QDir(Testumgebung::zuhause()).filePath("m.db"));
        QVERIFY(Schema::stammdatenbankAnlegen(db));
        Turnierbau::sql(db,
            QStringLiteral("INSERT INTO Spieler (StartNr, VorName, NachName, Gruppe, Mitglied, Preisskat) "
                           "VALUES (100, 'Hans', 'Meier', 'Alle', 'Ja', 'Ja')"));
        Zuordnung z;
        z.vorname = 0;
        z.nachname = 1;
        z.mitgliedsNr = 2;
        z.verein = 3;
        z.kopfzeile = false;
        const Tabelle t = tabelle({ { "Hans", "Meier", "4711", "SC Nord" }, { "Eva", "Schulz", "12", "Herz Dame" } });
        Plan p = Mitgliederliste::planen(rosterLesen(db), {}, t, z, QStringLiteral("Alle"));
        QVERIFY(uebernehmen(db, p));
        QCOMPARE(Turnierbau::spalte(db, "SELECT StartNr || VorName || Preisskat FROM Spieler ORDER BY StartNr"),
            (QVariantList { "100HansJa", "101EvaNein" }));
        QCOMPARE(mitgliedsNr(db, 100), QStringLiteral("4711"));
        QCOMPARE(verein(db, 101), QStringLiteral("Herz Dame"));

        // Renamed in the club's list: the member number finds him.
        const Plan umbenannt = Mitgliederliste::planen(
            rosterLesen(db), {}, tabelle({ { "Johann", "Meier", "4711", "SC Nord" } }), z, "Alle");
        QCOMPARE(umbenannt.eintraege.at(0).art, Art::Geaendert);
        QVERIFY(uebernehmen(db, umbenannt));
        QCOMPARE(Turnierbau::wert(db, "SELECT VorName FROM Spieler WHERE StartNr = 100").toString(),
            QStringLiteral("Johann"));

        // A failing row leaves everything as it was.
        p = Mitgliederliste::planen(rosterLesen(db), {}, tabelle({ { "Neu", "Mann", "7", "X" } }), z, "Alle");
        // The member data of the new player cannot be stored: his row goes too.
        Turnierbau::sql(db,
            QStringLiteral("CREATE TRIGGER Sperre BEFORE INSERT ON Mitgliedsdaten WHEN NEW.Verein = 'X' "
                           "BEGIN SELECT RAISE(ABORT, 'gesperrt'); END"));
        QVERIFY(!uebernehmen(db, p));
        QCOMPARE(Turnierbau::wert(db, "SELECT COUNT(*) FROM Spieler").toInt(), 2);
        QCOMPARE(Turnierbau::wert(db, "SELECT COUNT(*) FROM Mitgliedsdaten").toInt(), 2);
        Turnierbau::sql(db, QStringLiteral("DROP TRIGGER Sperre"));

        // The member data goes with the player: his number may be given again.
        Turnierbau::sql(db, QStringLiteral("DELETE FROM Spieler WHERE StartNr = 101"));
        QVERIFY(verein(db, 101).isEmpty());
        QCOMPARE(Turnierbau::wert(db, "SELECT COUNT(*) FROM Mitgliedsdaten").toInt(), 1);

        // The roster text import replaces the roster: who keeps his number
        // keeps his member data, a number given to somebody new has none.
        Turnierbau::sql(db, QStringLiteral("INSERT INTO Spieler VALUES (101, 'Eva', 'Alt', 'Alle', 'Ja', 'Nein')"));
        Turnierbau::sql(db, QStringLiteral("INSERT INTO Mitgliedsdaten VALUES (101, '12', 'Alt')"));
        Spielerdatei::Eintrag bleibt;
        bleibt.startNr = 100;
        bleibt.zeile = { "Johann", "Meier", "Alle", "Ja" };
        bleibt.behalten = true;
        Spielerdatei::Eintrag neu;
        neu.startNr = 101;
        neu.zeile = { "Neu", "Frau", "Alle", "Ja" };
        QVERIFY(Spielerdatei::rosterErsetzen(db, { bleibt, neu }));
        QCOMPARE(mitgliedsNr(db, 100), QStringLiteral("4711"));
        QVERIFY(mitgliedsNr(db, 101).isEmpty());
    }
};

REIZWERK_TEST(TestMitgliederliste)
#include "tst_mitgliederliste.moc"
