#include "testumgebung.h"

#include <QAction>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QStatusBar>

#include "app/mainwindow.h"
#include "season/sicherung.h"
#include "season/zipdatei.h"
#include "setup/teilnehmertabelle.h"
#include "ui_mainwindow.h"

using namespace Turnierbau;

namespace
{

// Every row of every table of every database below the data folder (the
// backup folder aside), as sorted text, plus each database's integrity check
// and the game-list files' bytes.
QMap<QString, QStringList> bestand(const QString& daten)
{
    QMap<QString, QStringList> ergebnis;
    QDirIterator it(daten, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString pfad = it.next();
        const QString name = QDir(daten).relativeFilePath(pfad);
        if (name.startsWith(Sicherung::ordnerName) || name.endsWith(QLatin1String(".lock")))
            continue;
        if (!name.endsWith(QLatin1String(".db"))) {
            ergebnis[name] << QString::fromLatin1(Testumgebung::dateiInhalt(pfad).toHex());
            continue;
        }
        QStringList& zeilen = ergebnis[name];
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bestand"));
            db.setDatabaseName(pfad);
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
            if (!db.open()) {
                zeilen << QStringLiteral("nicht lesbar");
            } else {
                zeilen << QStringLiteral("integrity_check=")
                        + wert(db, QStringLiteral("PRAGMA integrity_check")).toString();
                const QStringList tabellen = db.tables();
                for (const QString& t : tabellen) {
                    QSqlQuery q(db);
                    q.exec(QStringLiteral("SELECT * FROM %1").arg(t));
                    while (q.next()) {
                        QStringList felder;
                        for (int i = 0; i < q.record().count(); ++i)
                            felder << q.value(i).toString();
                        zeilen << t + QLatin1Char(':') + felder.join(QLatin1Char('|'));
                    }
                }
                db.close();
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("bestand"));
        zeilen.sort();
    }
    return ergebnis;
}

QString tag(const QDate& d)
{
    return d.toString(QStringLiteral("dd_MM_yyyy"));
}

// Copies a folder with everything below it (hidden files too).
void baumKopieren(const QString& von, const QString& nach)
{
    QDirIterator it(von, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    QVERIFY(QDir().mkpath(nach));
    while (it.hasNext()) {
        const QString pfad = it.next();
        const QString ziel = nach + QLatin1Char('/') + QDir(von).relativeFilePath(pfad);
        if (it.fileInfo().isDir())
            QVERIFY(QDir().mkpath(ziel));
        else
            QVERIFY2(QFile::copy(pfad, ziel), qPrintable(ziel));
    }
}

QStringList reste(const QString& daten)
{
    return QDir(daten).entryList({ QStringLiteral(".wiederherstellen-*") }, QDir::Dirs | QDir::Hidden);
}

} // namespace

class TstSicherung : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void sicherungImLaufUndWiederherstellungInFrischemZuhause()
    {
        const QString archiv = QDir::tempPath()
            + QStringLiteral("/reizwerk-tst-sicherung-%1.zip").arg(QCoreApplication::applicationPid());
        QFile::remove(archiv);
        QMap<QString, QStringList> vorher;
        {
            Fenster w;
            QSqlDatabase db = w.gruppe(6, 3);
            TeilnehmerTabelle* t = w->tabelle();
            t->punkteItem(t->zeileVon(100), 1)->setText(QStringLiteral("21"));
            t->kostenItem(t->zeileVon(103), 2)->setText(QStringLiteral("1.5"));
            // An earlier day, and a game list the link stored today.
            const QString frueher = w->datenVerzeichnis() + QLatin1Char('/') + tag(QDate(2026, 3, 7));
            QVERIFY(QDir().mkpath(frueher));
            QVERIFY(QFile::copy(db.databaseName(), frueher + QStringLiteral("/Damen.db")));
            const QString listen = w->turnierOrdner() + QStringLiteral("/SpielListen/Tisch 1");
            QVERIFY(QDir().mkpath(listen));
            QFile liste(listen + QStringLiteral("/liste1.txt"));
            QVERIFY(liste.open(QIODevice::WriteOnly));
            liste.write("Spiel 1: Kreuz 48\n");
            liste.close();

            vorher = bestand(w->datenVerzeichnis());
            // A transaction of the window is open while the backup runs: the
            // backup holds what was committed.
            QVERIFY(db.transaction());
            QVERIFY(QSqlQuery(db).exec(QStringLiteral("UPDATE Serie1 SET Punkte=999 WHERE StartNr=101")));
            w.d.dateiname(archiv);
            QVERIFY(ausloesen(*w, QStringLiteral("actDatensicherung")));
            QVERIFY(db.rollback());
            QVERIFY2(w.d.fehlerTexte.isEmpty(), qPrintable(w.d.fehlerTexte.join(QLatin1Char('\n'))));
            QVERIFY(QFile::exists(archiv));
            QVERIFY(w->statusBar()->currentMessage().contains(QStringLiteral("2 Spieltage")));
            // The window goes on working after the backup.
            t->punkteItem(t->zeileVon(100), 2)->setText(QStringLiteral("4"));
            QCOMPARE(wert(db, QStringLiteral("SELECT SummePunkte FROM Teilnehmer WHERE StartNr=100")).toInt(), 25);
        }
        QCOMPARE(vorher.size(), 4); // reizwerk.db, two group files, one game list
        for (auto it = vorher.cbegin(); it != vorher.cend(); ++it)
            if (it.key().endsWith(QLatin1String(".db")))
                QVERIFY2(it.value().contains(QStringLiteral("integrity_check=ok")), qPrintable(it.key()));

        // A fresh HOME with a different day of its own.
        Testumgebung::frischesZuhause();
        Fenster w;
        w.gruppe(2, 2);
        const QMap<QString, QStringList> eigene = bestand(w->datenVerzeichnis());
        w.d.dateiname(archiv);
        w.d.antworte(true);
        QVERIFY(ausloesen(*w, QStringLiteral("actWiederherstellen")));
        QVERIFY2(w.d.fehlerTexte.isEmpty(), qPrintable(w.d.fehlerTexte.join(QLatin1Char('\n'))));
        QCOMPARE(w.d.fragen.size(), 2);
        const QString frage = w.d.fragen.last();
        QVERIFY(frage.startsWith(
            QStringLiteral("Datensicherung vom %1").arg(QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")))));
        QVERIFY2(frage.contains(QStringLiteral("6 Spielern")) && frage.contains(QStringLiteral("2 Spieltage"))
                && frage.contains(QStringLiteral("1 Spiellisten")),
            qPrintable(frage));
        QCOMPARE(bestand(w->datenVerzeichnis()), vorher);

        // The window shows the restored data at once.
        QCOMPARE(w->spieler()->rowCount(), 6);
        QCOMPARE(w->teilnehmer()->rowCount(), 6);
        QCOMPARE(w->tabelle()->punkteItem(w->tabelle()->zeileVon(100), 1)->text(), QStringLiteral("21"));
        w->tabelle()->punkteItem(w->tabelle()->zeileVon(100), 3)->setText(QStringLiteral("2"));
        QCOMPARE(wert(w->registry().datenbank(QStringLiteral("Alle")),
                     QStringLiteral("SELECT SummePunkte FROM Teilnehmer WHERE StartNr=100"))
                     .toInt(),
            23);

        // The replaced data was saved first: restoring that undoes it.
        const QStringList auto_ = QDir(Sicherung::ordner(w->datenVerzeichnis()))
                                      .entryList({ QStringLiteral("auto_*Wiederherstellen*.zip") });
        QCOMPARE(auto_.size(), 1);
        w.d.dateiname(Sicherung::ordner(w->datenVerzeichnis()) + QLatin1Char('/') + auto_.first());
        w.d.antworte(true);
        QVERIFY(ausloesen(*w, QStringLiteral("actWiederherstellen")));
        QVERIFY(w.d.fehlerTexte.isEmpty());
        QCOMPARE(bestand(w->datenVerzeichnis()), eigene);
        QCOMPARE(w->spieler()->rowCount(), 2);
        QVERIFY(w.d.unerwartet.isEmpty());
        QFile::remove(archiv);
    }

    void beschaedigtesOderFremdesArchivAendertNichts()
    {
        Fenster w;
        w.gruppe(4, 2);
        const QString daten = w->datenVerzeichnis();
        const QString gut = Testumgebung::zuhause() + QStringLiteral("/gut.zip");
        QString fehler;
        QVERIFY2(Sicherung::schreiben(daten, gut, QStringLiteral("Test"), nullptr, &fehler), qPrintable(fehler));
        const QByteArray bytes = Testumgebung::dateiInhalt(gut);
        const QMap<QString, QStringList> vorher = bestand(daten);

        auto schreiben = [](const QString& pfad, const QByteArray& inhalt) {
            QFile f(pfad);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(inhalt);
        };
        auto zip = [](const QString& pfad, const QList<QPair<QString, QByteArray>>& eintraege) {
            ZipSchreiber z;
            QString f;
            QVERIFY(z.oeffnen(pfad, false, &f));
            for (const auto& e : eintraege)
                QVERIFY(z.hinzufuegen(e.first, e.second, &f));
            QVERIFY(z.schliessen(&f));
        };
        const QString kaputt = Testumgebung::zuhause() + QStringLiteral("/kaputt.zip");
        struct Fall {
            const char* name;
            std::function<void()> machen;
        };
        QByteArray gekippt = bytes;
        for (int i = 200; i < 260; ++i)
            gekippt[i] = char(gekippt[i] ^ 0x5a);
        const QByteArray hash = QCryptographicHash::hash("x", QCryptographicHash::Sha256).toHex();
        const QVector<Fall> faelle = {
            { "bytes flipped", [&] { schreiben(kaputt, gekippt); } },
            { "cut in half", [&] { schreiben(kaputt, bytes.left(bytes.size() / 2)); } },
            { "no zip at all", [&] { schreiben(kaputt, "PK\x03\x04 not really"); } },
            { "foreign zip",
                [&] {
                    zip(kaputt, { { QStringLiteral("bild.png"), "png" } });
                } },
            { "path leaving the data folder",
                [&] {
                    zip(kaputt,
                        { { QStringLiteral("reizwerk.db"), "x" }, { QStringLiteral("01_01_2026/../../x.db"), "x" },
                            { Sicherung::inhaltsDatei,
                                "Reizwerk-Datensicherung 1\nZeitpunkt\t2026-01-01T10:00:00\n"
                                "Datei\treizwerk.db\t1\t"
                                    + hash + "\nDatei\t01_01_2026/../../x.db\t1\t" + hash + "\n" } });
                } },
            { "not a database inside",
                [&] {
                    zip(kaputt,
                        { { QStringLiteral("reizwerk.db"), "x" },
                            { Sicherung::inhaltsDatei,
                                "Reizwerk-Datensicherung 1\nZeitpunkt\t2026-01-01T10:00:00\nDatei\treizwerk.db\t1\t"
                                    + hash + "\n" } });
                } },
        };
        for (const Fall& f : faelle) {
            f.machen();
            w.d.fehlerTexte.clear();
            w.d.dateiname(kaputt);
            QVERIFY(ausloesen(*w, QStringLiteral("actWiederherstellen")));
            QVERIFY2(w.d.fehlerTexte.size() == 1, f.name);
            QVERIFY2(w.d.fehlerTexte.first().endsWith(QStringLiteral("Es wurde nichts geaendert.")), f.name);
            QVERIFY2(w.d.fragen.size() == 1, f.name); // only the group's confirmation, no restore question
            QVERIFY2(bestand(daten) == vorher, f.name);
            QVERIFY2(!QDir(daten)
                          .entryList(QDir::AllEntries | QDir::Hidden)
                          .join(QLatin1Char(' '))
                          .contains(QStringLiteral(".wiederherstellen")),
                f.name);
            QVERIFY2(!QFile::exists(QDir(daten).filePath(QStringLiteral("../x.db"))), f.name);
        }
        QVERIFY(!QDir(Sicherung::ordner(daten)).exists());
        // The window still works on its own files.
        w->tabelle()->punkteItem(w->tabelle()->zeileVon(100), 1)->setText(QStringLiteral("9"));
        QCOMPARE(wert(w->registry().datenbank(QStringLiteral("Alle")),
                     QStringLiteral("SELECT Punkte FROM Serie1 WHERE StartNr=100"))
                     .toInt(),
            9);

        // No to the question: nothing changes either.
        w.d.dateiname(gut);
        w.d.antworte(false);
        const QMap<QString, QStringList> jetzt = bestand(daten);
        QVERIFY(ausloesen(*w, QStringLiteral("actWiederherstellen")));
        QCOMPARE(w.d.fragen.size(), 2);
        QCOMPARE(bestand(daten), jetzt);
    }

    void vorDemImportUndNurMitSicherung()
    {
        Fenster w;
        w.gruppe(3, 2);
        QFile datei(Testumgebung::dokumente() + QStringLiteral("/ReizwerkSpieler.txt"));
        QVERIFY(datei.open(QIODevice::WriteOnly));
        datei.write("Otto Lehmann Alle Ja\nUte Kurz Alle Nein\n");
        datei.close();

        // No snapshot possible (a file stands where its folder belongs): the
        // roster stays as it was.
        const QString ordner = Sicherung::ordner(w->datenVerzeichnis());
        {
            QFile sperrt(ordner);
            QVERIFY(sperrt.open(QIODevice::WriteOnly));
        }
        // Yes to replacing the roster; the snapshot still stops it.
        w.d.antworte(true);
        w->form()->pbSpielerAusListeLaden->click();
        QCOMPARE(w.d.fehlerTexte.size(), 1);
        QVERIFY(w.d.fehlerTexte.first().endsWith(QStringLiteral("Es wurde nichts geaendert.")));
        QCOMPARE(wert(w->registry().hauptDatenbank(), QStringLiteral("SELECT COUNT(*) FROM Spieler")).toInt(), 3);

        // Neither is an overwritten day deleted without one.
        QVERIFY(neuesTurnier(*w, w.d, 2));
        teilnehmerWaehlen(*w);
        teilnehmerBestaetigen(*w, w.d);
        QCOMPARE(w.d.fehlerTexte.size(), 2);
        QVERIFY(w->form()->tbTeilnehmerOk->isEnabled());
        QCOMPARE(wert(QSqlDatabase::database(QStringLiteral("Alle"), false),
                     QStringLiteral("SELECT COUNT(*) FROM Teilnehmer"))
                     .toInt(),
            3);

        // With the folder back, the import runs after a snapshot that still
        // holds the old roster.
        QVERIFY(QFile::remove(ordner));
        w.d.antworte(true);
        w->form()->pbSpielerAusListeLaden->click();
        QCOMPARE(w.d.fehlerTexte.size(), 2);
        QCOMPARE(wert(w->registry().hauptDatenbank(), QStringLiteral("SELECT COUNT(*) FROM Spieler")).toInt(), 2);
        const QStringList da = QDir(ordner).entryList({ QStringLiteral("auto_*Import*.zip") });
        QCOMPARE(da.size(), 1);
        Sicherung::Wiederherstellung probe(w->datenVerzeichnis());
        QString fehler;
        QVERIFY2(probe.pruefen(ordner + QLatin1Char('/') + da.first(), &fehler), qPrintable(fehler));
        QCOMPARE(probe.inhalt().spieler, 3);
        // The import changes the master database alone, and its snapshot
        // holds nothing else.
        QCOMPARE(probe.inhalt().gruppen, 0);
        QVERIFY(probe.inhalt().umfang == Sicherung::Umfang::Stammdaten);
    }

    // A snapshot of the master database restores the roster and the ranking
    // and leaves every match day as it is now.
    void stammdatenSicherungErsetztNurStammdaten()
    {
        Fenster w;
        const QString gruppenDatei = w.gruppe(3, 2).databaseName();
        QFile datei(Testumgebung::dokumente() + QStringLiteral("/ReizwerkSpieler.txt"));
        QVERIFY(datei.open(QIODevice::WriteOnly));
        datei.write("Otto Lehmann Alle Ja\nUte Kurz Alle Nein\n");
        datei.close();
        w.d.antworte(true);
        w->form()->pbSpielerAusListeLaden->click();
        QVERIFY(w.d.fehlerTexte.isEmpty());
        QCOMPARE(wert(w->registry().hauptDatenbank(), QStringLiteral("SELECT COUNT(*) FROM Spieler")).toInt(), 2);
        const QString ordner = Sicherung::ordner(w->datenVerzeichnis());
        const QStringList da = QDir(ordner).entryList({ QStringLiteral("auto_*Import*.zip") });
        QCOMPARE(da.size(), 1);
        ZipLeser z;
        QString fehler;
        QVERIFY(z.oeffnen(ordner + QLatin1Char('/') + da.first(), &fehler));
        QCOMPARE(z.namen().size(), 2); // the master database and the list of contents

        // Played on after the import: these points stay through the restore.
        w->tabelle()->punkteItem(w->tabelle()->zeileVon(101), 2)->setText(QStringLiteral("17"));
        w.d.dateiname(ordner + QLatin1Char('/') + da.first());
        w.d.antworte(true);
        QVERIFY(ausloesen(*w, QStringLiteral("actWiederherstellen")));
        QVERIFY2(w.d.fehlerTexte.isEmpty(), qPrintable(w.d.fehlerTexte.join(QLatin1Char('\n'))));
        QVERIFY2(w.d.fragen.last().contains(QStringLiteral("die Spieltage bleiben")), qPrintable(w.d.fragen.last()));
        QCOMPARE(wert(w->registry().hauptDatenbank(), QStringLiteral("SELECT COUNT(*) FROM Spieler")).toInt(), 3);
        QVERIFY(QFile::exists(gruppenDatei));
        QCOMPARE(wert(w->registry().datenbank(QStringLiteral("Alle")),
                     QStringLiteral("SELECT Punkte FROM Serie2 WHERE StartNr=101"))
                     .toInt(),
            17);
        QCOMPARE(w->tabelle()->punkteItem(w->tabelle()->zeileVon(101), 2)->text(), QStringLiteral("17"));
        // Its own safety snapshot is of the same kind.
        QCOMPARE(QDir(ordner).entryList({ QStringLiteral("auto_*Wiederherstellen*.zip") }).size(), 1);
    }

    // Stopped at every file step of a restore, as a kill would stop it, the
    // data folder holds the data of before or the restored data after the
    // next start, never a mixture, and nothing of the restore is left over.
    void unterbrocheneWiederherstellungBeiJedemSchritt_data()
    {
        QTest::addColumn<bool>("nurStammdaten");
        QTest::newRow("alles") << false;
        QTest::newRow("stammdaten") << true;
    }
    void unterbrocheneWiederherstellungBeiJedemSchritt()
    {
        QFETCH(bool, nurStammdaten);
        const QString archiv = Testumgebung::zuhause() + QStringLiteral("/stand.zip");
        QString daten;
        {
            Fenster w;
            daten = w->datenVerzeichnis();
            QSqlDatabase db = w.gruppe(4, 2);
            w->tabelle()->punkteItem(w->tabelle()->zeileVon(100), 1)->setText(QStringLiteral("30"));
            const QString listen = w->turnierOrdner() + QStringLiteral("/SpielListen/Tisch 1");
            QVERIFY(QDir().mkpath(listen));
            QFile liste(listen + QStringLiteral("/liste1.txt"));
            QVERIFY(liste.open(QIODevice::WriteOnly));
            liste.write("alt\n");
            liste.close();
            QString fehler;
            if (nurStammdaten)
                QVERIFY(!Sicherung::automatisch(daten, QStringLiteral("Test"), &fehler, Sicherung::Umfang::Stammdaten)
                             .isEmpty());
            else
                QVERIFY2(
                    Sicherung::schreiben(daten, archiv, QStringLiteral("Test"), nullptr, &fehler), qPrintable(fehler));
            if (nurStammdaten)
                QVERIFY(QFile::rename(
                    QDir(Sicherung::ordner(daten)).entryInfoList(QDir::Files).first().filePath(), archiv));
            // The data of now differs in every kind of file: roster, ranking,
            // points, a second day and the game lists.
            w->tabelle()->punkteItem(w->tabelle()->zeileVon(100), 2)->setText(QStringLiteral("12"));
            sql(w->registry().hauptDatenbank(), QStringLiteral("UPDATE Spieler SET VorName='Neu' WHERE StartNr=101"));
            QVERIFY(liste.open(QIODevice::WriteOnly));
            liste.write("neu\n");
            liste.close();
            const QString anderer = daten + QLatin1Char('/') + tag(QDate(2026, 2, 1));
            QVERIFY(QDir().mkpath(anderer));
            QVERIFY(QFile::copy(db.databaseName(), anderer + QStringLiteral("/Herren.db")));
        }
        Testumgebung::verbindungenSchliessen();
        QDir(Sicherung::ordner(daten)).removeRecursively();
        const QString vorlage = Testumgebung::zuhause() + QStringLiteral("/vorlage");
        baumKopieren(daten, vorlage);
        const QMap<QString, QStringList> alt = bestand(daten);
        auto zuruecksetzen = [&]() {
            QVERIFY(QDir(daten).removeRecursively());
            baumKopieren(vorlage, daten);
        };

        // The whole restore once, for the state it leads to.
        QMap<QString, QStringList> neu;
        int schritte = 0;
        {
            Sicherung::Wiederherstellung r(daten);
            QString fehler;
            QVERIFY2(r.pruefen(archiv, &fehler) && r.einspielen(&fehler), qPrintable(fehler));
            schritte = Sicherung::Test::schritte();
        }
        neu = bestand(daten);
        QVERIFY(neu != alt);
        QVERIFY(reste(daten).isEmpty());
        if (nurStammdaten) {
            // Only the master database changed.
            for (auto it = alt.cbegin(); it != alt.cend(); ++it)
                if (it.key() != QLatin1String("reizwerk.db"))
                    QVERIFY2(neu.value(it.key()) == it.value(), qPrintable(it.key()));
            QCOMPARE(neu.keys(), alt.keys());
        } else {
            QVERIFY(!neu.contains(tag(QDate(2026, 2, 1)) + QStringLiteral("/Herren.db")));
        }
        QVERIFY(schritte > 3);

        QSet<int> gesehen;
        for (int n = 1; n <= schritte; ++n) {
            zuruecksetzen();
            Sicherung::Test::abbrechenBeiSchritt(n);
            {
                Sicherung::Wiederherstellung r(daten);
                QString fehler;
                QVERIFY2(!(r.pruefen(archiv, &fehler) && r.einspielen(&fehler)), qPrintable(QString::number(n)));
            }
            Sicherung::Test::abbrechenBeiSchritt(0);
            QCOMPARE(reste(daten).size(), 1);
            const Sicherung::Unterbrochen was = Sicherung::unterbrocheneAbschliessen(daten);
            gesehen.insert(int(was));
            const QMap<QString, QStringList> jetzt = bestand(daten);
            const QString wo = QStringLiteral("Schritt %1").arg(n);
            QVERIFY2(reste(daten).isEmpty(), qPrintable(wo));
            if (was == Sicherung::Unterbrochen::Abgeschlossen)
                QVERIFY2(jetzt == neu, qPrintable(wo));
            else
                QVERIFY2(jetzt == alt && was != Sicherung::Unterbrochen::Fehlgeschlagen, qPrintable(wo));
            // Nothing more to settle at the start after that.
            QCOMPARE(Sicherung::unterbrocheneAbschliessen(daten), Sicherung::Unterbrochen::Nichts);
        }
        for (const auto u : { Sicherung::Unterbrochen::Verworfen, Sicherung::Unterbrochen::Zurueckgenommen,
                 Sicherung::Unterbrochen::Abgeschlossen })
            QVERIFY(gesehen.contains(int(u)));

        // The window's start settles it and says so.
        zuruecksetzen();
        Sicherung::Test::abbrechenBeiSchritt(schritte - 1);
        {
            Sicherung::Wiederherstellung r(daten);
            QString fehler;
            QVERIFY(!(r.pruefen(archiv, &fehler) && r.einspielen(&fehler)));
        }
        Sicherung::Test::abbrechenBeiSchritt(0);
        Fenster w;
        QVERIFY2(w->statusBar()->currentMessage().contains(QStringLiteral("Wiederherstellung wurde abgeschlossen")),
            qPrintable(w->statusBar()->currentMessage()));
        QVERIFY(reste(daten).isEmpty());
        QCOMPARE(w->spieler()->rowCount(), 4);
    }

    // An archive is held to what the program writes: each entry and a day's
    // game lists within their bounds, sizes as listed; refused before
    // anything is unpacked.
    void archivMitUebergrossenEintraegen_data()
    {
        QTest::addColumn<QStringList>("namen");
        QTest::addColumn<QVector<qint64>>("angegeben");
        QTest::addColumn<QVector<int>>("wirklich");
        const QString t = tag(QDate(2026, 1, 1));
        const qint64 mib = 1024 * 1024;
        QTest::newRow("game list beyond a file's bound") << QStringList { t + QStringLiteral("/SpielListen/gross") }
                                                         << QVector<qint64> { 300 * mib } << QVector<int> { 10 };
        QTest::newRow("database beyond its bound")
            << QStringList { t + QStringLiteral("/Alle.db") } << QVector<qint64> { Sicherung::maxDatenbank + 1 }
            << QVector<int> { 10 };
        QTest::newRow("a day's lists beyond the day's budget")
            << QStringList { t + QStringLiteral("/SpielListen/1"), t + QStringLiteral("/SpielListen/2"),
                   t + QStringLiteral("/SpielListen/3"), t + QStringLiteral("/SpielListen/4"),
                   t + QStringLiteral("/SpielListen/5"), t + QStringLiteral("/SpielListen/6") }
            << QVector<qint64>(6, 60 * mib) << QVector<int>(6, 10);
        QTest::newRow("entry larger than listed") << QStringList { t + QStringLiteral("/SpielListen/a") }
                                                  << QVector<qint64> { 10 } << QVector<int> { 4 * 1024 * 1024 };
    }
    void archivMitUebergrossenEintraegen()
    {
        QFETCH(QStringList, namen);
        QFETCH(QVector<qint64>, angegeben);
        QFETCH(QVector<int>, wirklich);
        Fenster w;
        w.gruppe(3, 2);
        const QString daten = w->datenVerzeichnis();
        const QString gut = Testumgebung::zuhause() + QStringLiteral("/gut.zip");
        QString fehler;
        QVERIFY(Sicherung::schreiben(daten, gut, QStringLiteral("Test"), nullptr, &fehler));
        // The good archive's entries, plus the ones of this case.
        ZipLeser leser;
        QVERIFY(leser.oeffnen(gut, &fehler));
        QByteArray liste;
        QVERIFY(leser.lesen(Sicherung::inhaltsDatei, 1 << 20, liste, &fehler));
        const QString boese = Testumgebung::zuhause() + QStringLiteral("/boese.zip");
        {
            ZipSchreiber z;
            QVERIFY(z.oeffnen(boese, true, &fehler));
            for (const QString& n : leser.namen()) {
                if (n == Sicherung::inhaltsDatei)
                    continue;
                QByteArray b;
                QVERIFY(leser.lesen(n, 1 << 26, b, &fehler));
                QVERIFY(z.hinzufuegen(n, b, &fehler));
            }
            for (int i = 0; i < namen.size(); ++i) {
                const QByteArray b(wirklich.at(i), 'x');
                QVERIFY(z.hinzufuegen(namen.at(i), b, &fehler));
                liste += QStringLiteral("Datei\t%1\t%2\t%3\n")
                             .arg(namen.at(i))
                             .arg(angegeben.at(i))
                             .arg(QString::fromLatin1(QCryptographicHash::hash(b, QCryptographicHash::Sha256).toHex()))
                             .toUtf8();
            }
            QVERIFY(z.hinzufuegen(Sicherung::inhaltsDatei, liste, &fehler));
            QVERIFY(z.schliessen(&fehler));
        }
        const QMap<QString, QStringList> vorher = bestand(daten);
        w.d.dateiname(boese);
        QVERIFY(ausloesen(*w, QStringLiteral("actWiederherstellen")));
        QCOMPARE(w.d.fehlerTexte.size(), 1);
        QVERIFY2(w.d.fehlerTexte.first().endsWith(QStringLiteral("Es wurde nichts geaendert.")),
            qPrintable(w.d.fehlerTexte.first()));
        QCOMPARE(bestand(daten), vorher);
        QVERIFY(reste(daten).isEmpty());

        // The same entries with their true sizes, within the bounds, restore.
        if (QTest::currentDataTag() == QLatin1String("entry larger than listed")) {
            const QByteArray b(wirklich.first(), 'x');
            const QString richtig = Testumgebung::zuhause() + QStringLiteral("/richtig.zip");
            ZipSchreiber z;
            QVERIFY(z.oeffnen(richtig, true, &fehler));
            for (const QString& n : leser.namen()) {
                QByteArray inhalt;
                QVERIFY(leser.lesen(n, 1 << 26, inhalt, &fehler));
                if (n == Sicherung::inhaltsDatei)
                    inhalt += QStringLiteral("Datei\t%1\t%2\t%3\n")
                                  .arg(namen.first())
                                  .arg(b.size())
                                  .arg(QString::fromLatin1(
                                      QCryptographicHash::hash(b, QCryptographicHash::Sha256).toHex()))
                                  .toUtf8();
                QVERIFY(z.hinzufuegen(n, inhalt, &fehler));
            }
            QVERIFY(z.hinzufuegen(namen.first(), b, &fehler));
            QVERIFY(z.schliessen(&fehler));
            w.d.fehlerTexte.clear();
            w.d.dateiname(richtig);
            w.d.antworte(true);
            QVERIFY(ausloesen(*w, QStringLiteral("actWiederherstellen")));
            QVERIFY2(w.d.fehlerTexte.isEmpty(), qPrintable(w.d.fehlerTexte.join(QLatin1Char('\n'))));
            QCOMPARE(Testumgebung::dateiInhalt(daten + QLatin1Char('/') + namen.first()), b);
        }
    }

    // A file too large to be held in memory goes through a copy on disk into
    // the archive and back out of it, byte for byte.
    void grosseDateiDurchDieSicherung()
    {
        Fenster w;
        w.gruppe(3, 2);
        const QString daten = w->datenVerzeichnis();
        const QString listen = w->turnierOrdner() + QStringLiteral("/SpielListen");
        QVERIFY(QDir().mkpath(listen));
        QByteArray gross(3 * 1024 * 1024 + 17, Qt::Uninitialized);
        for (int i = 0; i < gross.size(); ++i)
            gross[i] = char((quint32(i) * 7919u) >> 3);
        QFile f(listen + QStringLiteral("/gross.bin"));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(gross) == gross.size());
        f.close();
        const QString archiv = Testumgebung::zuhause() + QStringLiteral("/gross.zip");
        QString fehler;
        Sicherung::Inhalt inhalt;
        QVERIFY2(Sicherung::schreiben(daten, archiv, QStringLiteral("Test"), &inhalt, &fehler), qPrintable(fehler));
        QCOMPARE(inhalt.spiellisten, 1);
        QVERIFY(QDir(Testumgebung::zuhause())
                    .entryList({ QStringLiteral(".sicherung-*") }, QDir::Dirs | QDir::Hidden)
                    .isEmpty());
        QVERIFY(QFile::remove(f.fileName()));

        w.d.dateiname(archiv);
        w.d.antworte(true);
        QVERIFY(ausloesen(*w, QStringLiteral("actWiederherstellen")));
        QVERIFY2(w.d.fehlerTexte.isEmpty(), qPrintable(w.d.fehlerTexte.join(QLatin1Char('\n'))));
        QCOMPARE(Testumgebung::dateiInhalt(f.fileName()), gross);
    }

    void automatischeSicherungenBehaltenDieLetzten()
    {
        Fenster w;
        w.gruppe(3, 2);
        QString erste;
        for (int i = 0; i < Sicherung::behalten + 3; ++i) {
            const QString datei = Sicherung::automatisch(w->datenVerzeichnis(), QStringLiteral("Test %1").arg(i));
            QVERIFY(!datei.isEmpty());
            if (i == 0)
                erste = QFileInfo(datei).fileName();
        }
        const QStringList da = QDir(Sicherung::ordner(w->datenVerzeichnis())).entryList(QDir::Files, QDir::Name);
        QCOMPARE(da.size(), Sicherung::behalten);
        QVERIFY(!da.contains(erste));
        QVERIFY(da.last().endsWith(QStringLiteral("Test-22.zip")));
        // A snapshot never contains the snapshots.
        ZipLeser z;
        QString fehler;
        QVERIFY(z.oeffnen(Sicherung::ordner(w->datenVerzeichnis()) + QLatin1Char('/') + da.last(), &fehler));
        for (const QString& n : z.namen())
            QVERIFY2(!n.startsWith(Sicherung::ordnerName) && !n.endsWith(QLatin1String(".lock")), qPrintable(n));
        QCOMPARE(z.namen().size(), 3);
        // The copies a snapshot is made from go with it; those of a snapshot
        // cut off by a kill go at the next start.
        const QDir schnappschuesse(Sicherung::ordner(w->datenVerzeichnis()));
        QVERIFY(schnappschuesse.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
        QVERIFY(QDir().mkpath(schnappschuesse.filePath(QStringLiteral(".sicherung-abc123"))));
        QFile kopie(schnappschuesse.filePath(QStringLiteral(".sicherung-abc123/0")));
        QVERIFY(kopie.open(QIODevice::WriteOnly));
        kopie.close();
        // A folder whose name only resembles the copies' is somebody else's.
        QVERIFY(QDir().mkpath(schnappschuesse.filePath(QStringLiteral("alt.sicherung-1"))));
        QVERIFY(QDir().mkpath(schnappschuesse.filePath(QStringLiteral(".sicherung"))));
        QCOMPARE(Sicherung::unterbrocheneAbschliessen(w->datenVerzeichnis()), Sicherung::Unterbrochen::Nichts);
        QCOMPARE(schnappschuesse.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
            QStringList({ QStringLiteral(".sicherung"), QStringLiteral("alt.sicherung-1") }));
        QVERIFY(QDir(schnappschuesse.filePath(QStringLiteral(".sicherung"))).removeRecursively());
        QVERIFY(QDir(schnappschuesse.filePath(QStringLiteral("alt.sicherung-1"))).removeRecursively());
        QCOMPARE(schnappschuesse.entryList(QDir::Files).size(), Sicherung::behalten);
    }
};

REIZWERK_TEST(TstSicherung)
#include "tst_sicherung.moc"
