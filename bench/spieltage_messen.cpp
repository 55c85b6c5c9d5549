// Benchmark figures of the match-day history and the backups: a data folder
// of five years of weekly match days (260 days x 60 players).

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <cstdio>

#include "messung.h"
#include "season/sicherung.h"
#include "season/spieltagliste.h"
#include "storage/pfade.h"
#include "storage/schema.h"

namespace
{

constexpr int tage = 260;
constexpr int spieler = 60;
constexpr int serien = 6;

void ausfuehren(QSqlDatabase db, const QString& sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        std::fprintf(stderr, "reizwerk_bench: %s failed\n", qPrintable(sql));
}

// Built with plain connections and no syncs: only the reading is measured.
bool anlegen(const QString& daten)
{
    QDir().mkpath(daten);
    const QString verbindung = QStringLiteral("bench_spieltage");
    bool ok = true;
    {
        QSqlDatabase haupt = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), verbindung);
        haupt.setDatabaseName(Pfade::hauptDatenbank(daten));
        ok = haupt.open();
        ausfuehren(haupt, QStringLiteral("PRAGMA synchronous=OFF"));
        Schema::stammdatenbankAnlegen(haupt);
        haupt.transaction();
        QSqlQuery q(haupt);
        q.prepare(QStringLiteral("INSERT INTO Spieler VALUES (?, ?, ?, 'Alle', 'Ja', 'Nein')"));
        for (int i = 0; i < spieler; ++i) {
            q.addBindValue(100 + i);
            q.addBindValue(QStringLiteral("Vorname%1").arg(i));
            q.addBindValue(QStringLiteral("Nachname%1").arg(i));
            q.exec();
        }
        q.prepare(QStringLiteral("INSERT INTO Rangliste VALUES (?, ?, ?, ?)"));
        const QDate erster(2021, 1, 2);
        for (int t = 0; t < tage; ++t)
            for (int i = 0; i < spieler; ++i) {
                q.addBindValue(100 + i);
                q.addBindValue(QStringLiteral("Vorname%1 Nachname%1").arg(i));
                q.addBindValue(erster.addDays(7 * t).toString(QStringLiteral("yyyy-MM-dd")));
                q.addBindValue((i * 37 + t * 11) % 2000);
                q.exec();
            }
        haupt.commit();
        haupt.close();
    }
    QSqlDatabase::removeDatabase(verbindung);
    const QDate erster(2021, 1, 2);
    for (int t = 0; t < tage && ok; ++t) {
        const QDate datum = erster.addDays(7 * t);
        const QString ordner = Pfade::turnierVerzeichnis(daten, datum);
        QDir().mkpath(ordner + QStringLiteral("/SpielListen"));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), verbindung);
            db.setDatabaseName(Pfade::gruppenDatei(ordner, QStringLiteral("Alle")));
            ok = db.open();
            ausfuehren(db, QStringLiteral("PRAGMA synchronous=OFF"));
            Schema::GruppenDaten g;
            g.name = QStringLiteral("Alle");
            g.datum = datum;
            g.serien = serien;
            g.letzterTisch = 15;
            QVector<Schema::TeilnehmerEintrag> teilnehmer;
            for (int i = 0; i < spieler; ++i)
                teilnehmer.append({ 100 + i, QStringLiteral("Vorname%1 Nachname%1").arg(i), true, false });
            Schema::gruppeAnlegen(db, g, teilnehmer);
            db.transaction();
            for (int s = 1; s <= serien; ++s)
                ausfuehren(db,
                    QStringLiteral("UPDATE Serie%1 SET Punkte=(StartNr*7+%1)% 150, Tisch=1+(StartNr% 15), "
                                   "TischIntern=1+(StartNr% 4), Kosten=1.5")
                        .arg(s));
            db.commit();
            db.close();
        }
        QSqlDatabase::removeDatabase(verbindung);
        QFile liste(ordner + QStringLiteral("/SpielListen/Tisch1_Serie1.txt"));
        if (liste.open(QIODevice::WriteOnly))
            liste.write(QByteArray(2000, 'x'));
    }
    return ok;
}

// Floor of the list: the folders listed and each group file opened for the
// same two counts with plain queries.
int listeBoden(const QString& daten)
{
    int n = 0;
    const QStringList ordner = QDir(daten).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& o : ordner) {
        const QString datei = QStringLiteral("%1/%2/Alle.db").arg(daten, o);
        if (!QFile::exists(datei))
            continue;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("boden"));
            db.setDatabaseName(datei);
            db.open();
            QSqlQuery q(db);
            q.exec(QStringLiteral("SELECT Serien FROM Gruppe"));
            q.next();
            q.exec(QStringLiteral("SELECT COUNT(*) FROM Teilnehmer"));
            if (q.next())
                n += q.value(0).toInt();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("boden"));
    }
    return n;
}

// Floor of the backup: every file read as it lies, no checks, no archive.
qint64 lesenBoden(const QString& daten)
{
    qint64 n = 0;
    QDirIterator it(daten, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (f.open(QIODevice::ReadOnly))
            n += f.readAll().size();
    }
    return n;
}

} // namespace

bool spieltageMessen(const QString& basis, int laeufe)
{
    const QString daten = basis + QStringLiteral("/saison/Reizwerk");
    if (!anlegen(daten)) {
        std::fprintf(stderr, "reizwerk_bench: the season's data folder could not be built\n");
        return false;
    }
    bool ok = true;
    QVector<double> p, b;
    for (int i = 0; i < laeufe; ++i) {
        int anzahl = 0;
        p << Messung::sekunden([&] { anzahl = Spieltagliste::lesen(daten).size(); });
        b << Messung::sekunden([&] { listeBoden(daten); });
        ok = ok && anzahl == tage;
    }
    Messung::zeile(QStringLiteral("match-day list, 260 folders"), laeufe, Messung::median(p), Messung::median(b),
        Messung::Einheit::Sekunden, 0, 0.2);

    p.clear();
    b.clear();
    const QString ziel = basis + QStringLiteral("/sicherung.zip");
    const int sicherungsLaeufe = qMax(3, laeufe / 2);
    for (int i = 0; i < sicherungsLaeufe; ++i) {
        Sicherung::Inhalt inhalt;
        QString fehler;
        p << Messung::sekunden(
            [&] { ok = Sicherung::schreiben(daten, ziel, QStringLiteral("bench"), &inhalt, &fehler) && ok; });
        b << Messung::sekunden([&] { lesenBoden(daten); });
        ok = ok && inhalt.spieltage == tage && inhalt.gruppen == tage;
    }
    Messung::zeile(QStringLiteral("backup, 260 days x 60 players"), sicherungsLaeufe, Messung::median(p),
        Messung::median(b), Messung::Einheit::Sekunden, 0, 2.0);
    if (!ok)
        std::fprintf(stderr, "reizwerk_bench: the match-day list or the backup did not hold all 260 days\n");
    return ok;
}
