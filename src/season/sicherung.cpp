#include "season/sicherung.h"

#include <QAtomicInt>
#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QVariant>

#include <algorithm>
#include <memory>

#include "season/zipdatei.h"
#include "storage/datenbank.h"
#include "storage/pfade.h"
#include "storage/spiellisten.h"

namespace Sicherung
{

namespace
{

const QString kennung = QStringLiteral("Reizwerk-Datensicherung 1");
const QString hauptName = QStringLiteral("reizwerk.db");
const QString spiellistenOrdner = SpielListen::ordnerName;
const QString arbeitsMuster = QStringLiteral(".wiederherstellen-");
// The copies a backup takes of each file, beside the archive.
const QString kopienMuster = QStringLiteral(".sicherung-");
const QString zustandDatei = QStringLiteral("zustand");
const QString zustandAuslagern = QStringLiteral("auslagern");
const QString zustandEinsetzen = QStringLiteral("einsetzen");
const QString zustandFertig = QStringLiteral("fertig");
// A day's game lists: the companions' budget plus the table app's own
// lists, which are a few KiB each.
constexpr qint64 maxListenJeTag = SpielListen::maxBytesJeTag + SpielListen::maxDatei;
const char* const endungen[] = { "", "-journal", "-wal", "-shm" };

int abbruchBei = 0;
int schrittZaehler = 0;

// One file step of a restore; false where the test hook stops it.
bool schritt()
{
    ++schrittZaehler;
    return abbruchBei <= 0 || schrittZaehler < abbruchBei;
}

bool melden(QString* fehler, const QString& text)
{
    if (fehler)
        *fehler = text;
    return false;
}

QString einzeilig(QString text)
{
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    return text;
}

// A private connection for one file, removed again at the end of the scope.
class EigeneVerbindung
{
public:
    EigeneVerbindung(const QString& datei, bool nurLesen)
    {
        static QAtomicInt zaehler;
        m_name = QStringLiteral("sicherung_%1").arg(zaehler.fetchAndAddRelaxed(1));
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        m_db.setDatabaseName(datei);
        m_db.setConnectOptions(nurLesen ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000")
                                        : QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        m_db.open();
    }
    ~EigeneVerbindung()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    QSqlDatabase& db() { return m_db; }

private:
    QString m_name;
    QSqlDatabase m_db;
};

int zahl(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery q(db);
    return q.exec(sql) && q.next() ? q.value(0).toInt() : 0;
}

// One file's copy for the archive: a small file in memory, a large one in a
// file beside the archive, so no large file is ever held in memory.
struct Kopie {
    QString pfad;
    bool imSpeicher = false;
    QByteArray bytes;
    qint64 groesse = 0;
    QString summe;
};

// Copies an open file piece by piece into the copy, hashing on the way.
bool stromKopieren(QIODevice& von, Kopie& k, QString* fehler)
{
    QFile datei(k.pfad);
    QBuffer puffer(&k.bytes);
    QIODevice& aus = k.imSpeicher ? static_cast<QIODevice&>(puffer) : static_cast<QIODevice&>(datei);
    if (!aus.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return melden(fehler, aus.errorString());
    Pruefsumme h;
    QByteArray stueck(1 << 16, Qt::Uninitialized);
    k.groesse = 0;
    for (;;) {
        const qint64 n = von.read(stueck.data(), stueck.size());
        if (n < 0)
            return melden(fehler, von.errorString());
        if (n == 0)
            break;
        h.hinzufuegen(stueck.constData(), n);
        if (aus.write(stueck.constData(), n) != n)
            return melden(fehler, aus.errorString());
        k.groesse += n;
    }
    k.summe = h.hex();
    return true;
}

bool dateiKopieren(const QString& datei, Kopie& k, QString* fehler)
{
    QFile f(datei);
    if (!f.open(QIODevice::ReadOnly))
        return melden(fehler, f.errorString());
    return stromKopieren(f, k, fehler);
}

// A consistent copy of a database that may be open elsewhere. A read
// transaction holds SQLite's shared lock, so no connection can change the
// file while its bytes are copied (a journal left by a crash is rolled back
// first); counts of the master database come from the same transaction. A
// database in WAL mode keeps committed pages beside the file: it is copied
// with VACUUM INTO instead.
bool datenbankKopieren(const QString& datei, Kopie& k, Inhalt* inhalt, QString* fehler)
{
    EigeneVerbindung v(datei, true);
    if (!v.db().isOpen())
        return melden(fehler, v.db().lastError().text());
    QSqlQuery q(v.db());
    if (!q.exec(QStringLiteral("PRAGMA journal_mode")) || !q.next())
        return melden(fehler, q.lastError().text());
    const bool wal = q.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0;
    q.finish();
    if (!q.exec(QStringLiteral("BEGIN")))
        return melden(fehler, q.lastError().text());
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master")) || !q.next()) {
        const QString t = q.lastError().text();
        q.exec(QStringLiteral("ROLLBACK"));
        return melden(fehler, t.isEmpty() ? QStringLiteral("keine SQLite-Datenbank") : t);
    }
    q.finish();
    if (inhalt) {
        inhalt->spieler = zahl(v.db(), QStringLiteral("SELECT COUNT(*) FROM Spieler"));
        inhalt->ranglisteZeilen = zahl(v.db(), QStringLiteral("SELECT COUNT(*) FROM Rangliste"));
    }
    if (wal) {
        QFile::remove(k.pfad);
        QSqlQuery kopie(v.db());
        kopie.prepare(QStringLiteral("VACUUM INTO ?"));
        kopie.addBindValue(k.pfad);
        // VACUUM cannot run inside the read transaction.
        q.exec(QStringLiteral("COMMIT"));
        if (!kopie.exec())
            return melden(fehler, kopie.lastError().text());
        QFile f(k.pfad);
        if (!f.open(QIODevice::ReadOnly))
            return melden(fehler, f.errorString());
        Pruefsumme h;
        if (!h.hinzufuegen(f))
            return melden(fehler, f.errorString());
        k.imSpeicher = false;
        k.groesse = f.size();
        k.summe = h.hex();
        return true;
    }
    QFile f(datei);
    bool ok = f.open(QIODevice::ReadOnly);
    QString grund = f.errorString();
    if (ok)
        ok = stromKopieren(f, k, &grund) && k.groesse == f.size();
    q.exec(QStringLiteral("COMMIT"));
    return ok ? true : melden(fehler, grund);
}

QStringList spieltagOrdner(const QString& daten)
{
    QStringList tage;
    const QStringList namen = QDir(daten).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& n : namen)
        if (Pfade::istTurnierName(n))
            tage << n;
    return tage;
}

bool schreibenIntern(const QString& daten, const QString& zielDatei, const QString& anlass, bool schnell, Umfang umfang,
    Inhalt* aussen, QString* fehler)
{
    Inhalt inhalt;
    inhalt.umfang = umfang;
    inhalt.zeitpunkt = QDateTime::currentDateTime();
    inhalt.anlass = einzeilig(anlass);
    // A large entry is copied here first and read by libzip only when the
    // archive is closed: it is never held in memory, and the bytes in the
    // archive are the ones the list of contents describes. Beside the
    // archive, on its disk, where libzip writes too (a temporary folder may
    // live in memory).
    auto arbeitsOrdner = std::make_unique<QTemporaryDir>(
        QFileInfo(zielDatei).absoluteDir().filePath(kopienMuster + QStringLiteral("XXXXXX")));
    if (!arbeitsOrdner->isValid())
        arbeitsOrdner = std::make_unique<QTemporaryDir>();
    QTemporaryDir& arbeit = *arbeitsOrdner;
    if (!arbeit.isValid())
        return melden(fehler, QStringLiteral("Kein temporaerer Ordner: %1").arg(arbeit.errorString()));

    ZipSchreiber zip;
    QString grund;
    // The snapshot before a roster import holds the master database alone
    // and keeps the import waiting: its entry is stored, not compressed.
    const bool offen = schnell && umfang == Umfang::Stammdaten ? zip.oeffnenUngepackt(zielDatei, &grund)
                                                               : zip.oeffnen(zielDatei, schnell, &grund);
    if (!offen)
        return melden(fehler, QStringLiteral("%1: %2").arg(zielDatei, grund));

    QStringList zeilen;
    int nummer = 0;
    // Small files go into the archive from memory, up to a bound in all; the
    // rest through their copies on disk.
    constexpr qint64 klein = qint64(1) << 20;
    constexpr qint64 maxImSpeicher = qint64(64) << 20;
    qint64 imSpeicher = 0;
    auto kopie = [&](const QString& quelle) {
        Kopie k;
        k.pfad = arbeit.filePath(QString::number(nummer++));
        const qint64 erwartet = QFileInfo(quelle).size();
        k.imSpeicher = erwartet <= klein && imSpeicher + erwartet <= maxImSpeicher;
        return k;
    };
    auto aufnehmen = [&](const QString& name, const Kopie& k) {
        zeilen << QStringLiteral("Datei\t%1\t%2\t%3").arg(name).arg(k.groesse).arg(k.summe);
        if (!k.imSpeicher)
            return zip.dateiHinzufuegen(name, k.pfad, &grund);
        imSpeicher += k.bytes.size();
        return zip.hinzufuegen(name, k.bytes, &grund);
    };

    const QString haupt = Pfade::hauptDatenbank(daten);
    Kopie k = kopie(haupt);
    if (!datenbankKopieren(haupt, k, &inhalt, &grund))
        return melden(fehler, QStringLiteral("%1: %2").arg(haupt, grund));
    if (k.groesse > maxDatenbank)
        return melden(fehler, QStringLiteral("%1 ist groesser als %2 MiB").arg(haupt).arg(maxDatenbank >> 20));
    if (!aufnehmen(hauptName, k))
        return melden(fehler, grund);

    const QStringList tage = umfang == Umfang::Alles ? spieltagOrdner(daten) : QStringList();
    for (const QString& tag : tage) {
        const QString ordner = QDir(daten).filePath(tag);
        bool etwas = false;
        const QStringList dateien = Pfade::gruppenDateien(ordner);
        for (const QString& d : dateien) {
            const QString quelle = QDir(ordner).filePath(d);
            k = kopie(quelle);
            if (!datenbankKopieren(quelle, k, nullptr, &grund)) {
                inhalt.nichtGesichert << QStringLiteral("%1: %2").arg(quelle, grund);
                continue;
            }
            if (k.groesse > maxDatenbank) {
                QFile::remove(k.pfad);
                inhalt.nichtGesichert << QStringLiteral("%1: groesser als %2 MiB").arg(quelle).arg(maxDatenbank >> 20);
                continue;
            }
            if (!aufnehmen(tag + QLatin1Char('/') + d, k))
                return melden(fehler, grund);
            ++inhalt.gruppen;
            etwas = true;
        }
        const QString listen = QDir(ordner).filePath(spiellistenOrdner);
        qint64 listenBytes = 0;
        QDirIterator it(listen, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString quelle = it.next();
            // A file the link or the table app could not have written would
            // be refused by the restore; it is named instead of taken.
            if (it.fileInfo().size() > SpielListen::maxDatei || listenBytes + it.fileInfo().size() > maxListenJeTag) {
                inhalt.nichtGesichert << QStringLiteral("%1: zu gross fuer eine Spielliste").arg(quelle);
                continue;
            }
            k = kopie(quelle);
            if (!dateiKopieren(quelle, k, &grund)) {
                inhalt.nichtGesichert << QStringLiteral("%1: %2").arg(quelle, grund);
                continue;
            }
            listenBytes += k.groesse;
            const QString name
                = tag + QLatin1Char('/') + spiellistenOrdner + QLatin1Char('/') + QDir(listen).relativeFilePath(quelle);
            if (!aufnehmen(name, k))
                return melden(fehler, grund);
            ++inhalt.spiellisten;
            etwas = true;
        }
        if (etwas) {
            ++inhalt.spieltage;
            QDate d;
            Pfade::istTurnierName(tag, &d);
            if (!inhalt.ersterTag.isValid() || d < inhalt.ersterTag)
                inhalt.ersterTag = d;
            if (!inhalt.letzterTag.isValid() || d > inhalt.letzterTag)
                inhalt.letzterTag = d;
        }
    }

    QStringList kopf = { kennung, QStringLiteral("Zeitpunkt\t%1").arg(inhalt.zeitpunkt.toString(Qt::ISODate)),
        QStringLiteral("Anlass\t%1").arg(inhalt.anlass), QStringLiteral("Spieler\t%1").arg(inhalt.spieler),
        QStringLiteral("Rangliste\t%1").arg(inhalt.ranglisteZeilen) };
    if (umfang == Umfang::Stammdaten)
        kopf << QStringLiteral("Umfang\tStammdaten");
    const QByteArray liste = (kopf + zeilen).join(QLatin1Char('\n')).toUtf8() + '\n';
    if (!zip.hinzufuegen(inhaltsDatei, liste, &grund) || !zip.schliessen(&grund))
        return melden(fehler, QStringLiteral("%1: %2").arg(zielDatei, grund));
    if (aussen)
        *aussen = inhalt;
    return true;
}

// Names an archive may hold: the master database, a match day's group
// databases and the files below its game-list folder. Nothing may leave the
// data folder or land anywhere else.
bool nameErlaubt(const QString& name)
{
    if (name == hauptName)
        return true;
    if (name.contains(QLatin1Char('\\')) || name.startsWith(QLatin1Char('/')))
        return false;
    const QStringList teile = name.split(QLatin1Char('/'));
    if (teile.size() < 2 || !Pfade::istTurnierName(teile.at(0)))
        return false;
    for (const QString& t : teile)
        if (t.isEmpty() || t == QLatin1String(".") || t == QLatin1String("..")
            || std::any_of(t.cbegin(), t.cend(), [](QChar c) { return c.category() == QChar::Other_Control; }))
            return false;
    if (teile.size() == 2)
        return teile.at(1).endsWith(QLatin1String(".db")) && !teile.at(1).startsWith(QLatin1Char('.'));
    return teile.at(1) == spiellistenOrdner;
}

bool integritaetPruefen(const QString& datei, bool haupt, QString* fehler)
{
    EigeneVerbindung v(datei, true);
    if (!v.db().isOpen())
        return melden(fehler, v.db().lastError().text());
    QSqlQuery q(v.db());
    if (!q.exec(QStringLiteral("PRAGMA integrity_check")) || !q.next())
        return melden(fehler, q.lastError().text());
    if (q.value(0).toString() != QLatin1String("ok"))
        return melden(fehler, q.value(0).toString());
    q.finish();
    const QStringList noetig = haupt ? QStringList { QStringLiteral("Spieler"), QStringLiteral("Rangliste") }
                                     : QStringList { QStringLiteral("Gruppe") };
    for (const QString& t : noetig)
        if (!Db::tabelleVorhanden(v.db(), t))
            return melden(fehler, QStringLiteral("Tabelle %1 fehlt").arg(t));
    return true;
}

} // namespace

QString beschreibung(const Inhalt& inhalt)
{
    if (inhalt.umfang == Umfang::Stammdaten)
        return QStringLiteral("nur Stammdaten mit %1 Spielern und %2 Ranglisten-Eintraegen; die Spieltage bleiben")
            .arg(inhalt.spieler)
            .arg(inhalt.ranglisteZeilen);
    QString tage;
    if (inhalt.spieltage == 0)
        tage = QStringLiteral("keine Spieltage");
    else if (inhalt.ersterTag == inhalt.letzterTag)
        tage = QStringLiteral("1 Spieltag (%1)").arg(inhalt.ersterTag.toString(QStringLiteral("dd.MM.yyyy")));
    else
        tage = QStringLiteral("%1 Spieltage (%2 bis %3)")
                   .arg(inhalt.spieltage)
                   .arg(inhalt.ersterTag.toString(QStringLiteral("dd.MM.yyyy")),
                       inhalt.letzterTag.toString(QStringLiteral("dd.MM.yyyy")));
    return QStringLiteral("Stammdaten mit %1 Spielern und %2 Ranglisten-Eintraegen, %3 mit %4 Gruppen, %5 Spiellisten")
        .arg(inhalt.spieler)
        .arg(inhalt.ranglisteZeilen)
        .arg(tage)
        .arg(inhalt.gruppen)
        .arg(inhalt.spiellisten);
}

QString ordner(const QString& datenVerzeichnis)
{
    return QDir(datenVerzeichnis).filePath(ordnerName);
}

bool schreiben(
    const QString& datenVerzeichnis, const QString& zielDatei, const QString& anlass, Inhalt* inhalt, QString* fehler)
{
    return schreibenIntern(datenVerzeichnis, zielDatei, anlass, false, Umfang::Alles, inhalt, fehler);
}

QString automatisch(const QString& datenVerzeichnis, const QString& anlass, QString* fehler, Umfang umfang)
{
    const QString ziel = ordner(datenVerzeichnis);
    if (!QDir().mkpath(ziel)) {
        melden(fehler, QStringLiteral("Der Ordner %1 kann nicht angelegt werden").arg(ziel));
        return {};
    }
    QString kurz;
    for (const QChar c : anlass) {
        if (c.isLetterOrNumber() && c.unicode() < 128)
            kurz += c;
        else if (!kurz.endsWith(QLatin1Char('-')))
            kurz += QLatin1Char('-');
    }
    kurz = kurz.left(40);
    const QString stempel = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss-zzz"));
    QString datei = QDir(ziel).filePath(QStringLiteral("auto_%1_%2.zip").arg(stempel, kurz));
    for (int n = 2; QFile::exists(datei); ++n)
        datei = QDir(ziel).filePath(QStringLiteral("auto_%1-%2_%3.zip").arg(stempel).arg(n).arg(kurz));
    if (!schreibenIntern(datenVerzeichnis, datei, anlass, true, umfang, nullptr, fehler))
        return {};
    // The names sort by time; the oldest beyond the limit go.
    QStringList alle = QDir(ziel).entryList({ QStringLiteral("auto_*.zip") }, QDir::Files, QDir::Name);
    while (alle.size() > behalten)
        QFile::remove(QDir(ziel).filePath(alle.takeFirst()));
    return datei;
}

Wiederherstellung::Wiederherstellung(const QString& datenVerzeichnis)
    : m_daten(datenVerzeichnis)
{
}

Wiederherstellung::~Wiederherstellung()
{
    // Unpacked files that were never moved in go; a folder with a state
    // file is settled by the next start.
    if (!m_arbeit.isEmpty() && !m_liegenLassen && !QFile::exists(QDir(m_arbeit).filePath(zustandDatei)))
        QDir(m_arbeit).removeRecursively();
}

bool Wiederherstellung::pruefen(const QString& archiv, QString* fehler)
{
    m_inhalt = Inhalt();
    m_dateien.clear();
    schrittZaehler = 0;
    const QString fremd = QStringLiteral("Die Datei ist keine Datensicherung von Reizwerk");
    ZipLeser zip;
    QString grund;
    if (!zip.oeffnen(archiv, &grund))
        return melden(fehler, QStringLiteral("Die Datei ist kein lesbares Zip-Archiv (%1).").arg(grund));
    const QStringList namen = zip.namen();
    if (!namen.contains(inhaltsDatei))
        return melden(fehler, fremd + QLatin1Char('.'));
    QByteArray bytes;
    if (!zip.lesen(inhaltsDatei, 1 << 24, bytes, &grund))
        return melden(fehler, QStringLiteral("Die Datensicherung ist beschaedigt (%1).").arg(grund));
    const QStringList zeilen = QString::fromUtf8(bytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    bytes.clear();
    if (zeilen.value(0) != kennung)
        return melden(fehler, fremd + QLatin1Char('.'));

    struct Eintrag {
        qint64 groesse;
        QString summe;
    };
    QHash<QString, Eintrag> liste;
    QHash<QString, qint64> listenJeTag;
    qint64 gesamt = 0;
    const QString zuGross = QStringLiteral("Die Datensicherung enthaelt mehr, als Reizwerk schreibt (%1).");
    for (int i = 1; i < zeilen.size(); ++i) {
        const QStringList f = zeilen.at(i).split(QLatin1Char('\t'));
        const QString schluessel = f.value(0);
        if (schluessel == QLatin1String("Zeitpunkt"))
            m_inhalt.zeitpunkt = QDateTime::fromString(f.value(1), Qt::ISODate);
        else if (schluessel == QLatin1String("Anlass"))
            m_inhalt.anlass = f.value(1);
        else if (schluessel == QLatin1String("Umfang")) {
            if (f.value(1) != QLatin1String("Stammdaten"))
                return melden(fehler, fremd + QStringLiteral(" (Umfang \"%1\").").arg(f.value(1)));
            m_inhalt.umfang = Umfang::Stammdaten;
        } else if (schluessel == QLatin1String("Datei")) {
            bool ok = false;
            const QString name = f.value(1);
            const qint64 groesse = f.value(2).toLongLong(&ok);
            if (f.size() != 4 || !ok || groesse < 0 || !nameErlaubt(name) || liste.contains(name))
                return melden(fehler, fremd + QStringLiteral(" (Eintrag \"%1\").").arg(name));
            // Every entry within what the program itself writes there, and a
            // day's game lists within the day's budget.
            const bool datenbank = name == hauptName || name.count(QLatin1Char('/')) == 1;
            if (groesse > (datenbank ? maxDatenbank : SpielListen::maxDatei))
                return melden(fehler, zuGross.arg(name));
            if (!datenbank) {
                qint64& tag = listenJeTag[name.section(QLatin1Char('/'), 0, 0)];
                tag += groesse;
                if (tag > maxListenJeTag)
                    return melden(fehler, zuGross.arg(name.section(QLatin1Char('/'), 0, 1)));
            }
            gesamt += groesse;
            liste.insert(name, { groesse, f.value(3) });
            m_dateien << name;
        }
    }
    if (!liste.contains(hauptName) || !m_inhalt.zeitpunkt.isValid())
        return melden(fehler, fremd + QLatin1Char('.'));
    if (m_inhalt.umfang == Umfang::Stammdaten && liste.size() != 1)
        return melden(fehler, fremd + QStringLiteral(" (Stammdaten mit Spieltagen)."));
    for (const QString& n : namen)
        if (n != inhaltsDatei && !liste.contains(n))
            return melden(fehler, fremd + QStringLiteral(" (unbekannter Eintrag \"%1\").").arg(n));
    const QStorageInfo platz(m_daten);
    if (platz.isValid() && platz.bytesAvailable() >= 0 && gesamt > platz.bytesAvailable())
        return melden(fehler,
            QStringLiteral("Im Datenordner ist kein Platz fuer %1 MiB (frei: %2 MiB).")
                .arg((gesamt >> 20) + 1)
                .arg(platz.bytesAvailable() >> 20));

    // Unpacked beside the data, on the same disk, so putting the files in
    // place is a rename.
    QTemporaryDir arbeit(QDir(m_daten).filePath(arbeitsMuster + QStringLiteral("XXXXXX")));
    if (!arbeit.isValid())
        return melden(fehler, arbeit.errorString());
    arbeit.setAutoRemove(false);
    m_arbeit = arbeit.path();
    const QDir neu(QDir(m_arbeit).filePath(QStringLiteral("neu")));
    QSet<QString> tage;
    for (const QString& name : qAsConst(m_dateien)) {
        if (!schritt()) {
            m_liegenLassen = true;
            return melden(fehler, QStringLiteral("Abgebrochen"));
        }
        const Eintrag e = liste.value(name);
        const QString ziel = neu.filePath(name);
        QDir().mkpath(QFileInfo(ziel).absolutePath());
        QFile f(ziel);
        if (!f.open(QIODevice::WriteOnly))
            return melden(fehler, QStringLiteral("%1: %2").arg(ziel, f.errorString()));
        QCryptographicHash summe(QCryptographicHash::Sha256);
        if (!zip.entpacken(name, e.groesse, f, summe, &grund))
            return melden(fehler, QStringLiteral("Die Datensicherung ist beschaedigt (%1).").arg(grund));
        f.close();
        if (QString::fromLatin1(summe.result().toHex()) != e.summe)
            return melden(fehler, QStringLiteral("Die Datensicherung ist beschaedigt (%1 stimmt nicht).").arg(name));
        const bool haupt = name == hauptName;
        const bool gruppe = !haupt && name.count(QLatin1Char('/')) == 1;
        if ((haupt || gruppe) && !integritaetPruefen(ziel, haupt, &grund))
            return melden(fehler, QStringLiteral("Die Datensicherung ist beschaedigt (%1: %2).").arg(name, grund));
        if (haupt) {
            EigeneVerbindung v(ziel, true);
            m_inhalt.spieler = zahl(v.db(), QStringLiteral("SELECT COUNT(*) FROM Spieler"));
            m_inhalt.ranglisteZeilen = zahl(v.db(), QStringLiteral("SELECT COUNT(*) FROM Rangliste"));
            continue;
        }
        const QString tag = name.section(QLatin1Char('/'), 0, 0);
        tage.insert(tag);
        QDate d;
        Pfade::istTurnierName(tag, &d);
        if (!m_inhalt.ersterTag.isValid() || d < m_inhalt.ersterTag)
            m_inhalt.ersterTag = d;
        if (!m_inhalt.letzterTag.isValid() || d > m_inhalt.letzterTag)
            m_inhalt.letzterTag = d;
        (gruppe ? m_inhalt.gruppen : m_inhalt.spiellisten)++;
    }
    m_inhalt.spieltage = tage.size();
    return true;
}

namespace
{

// The units a restore moves, each with one rename: the master database with
// its journals, and per match day each group database with its journals and
// the game-list folder as a whole. Names relative to `wurzel`.
QStringList einheiten(const QString& wurzel, Umfang umfang)
{
    QStringList e;
    const QDir d(wurzel);
    for (const char* endung : endungen)
        if (QFileInfo::exists(d.filePath(hauptName + QLatin1String(endung))))
            e << hauptName + QLatin1String(endung);
    if (umfang == Umfang::Stammdaten)
        return e;
    const QStringList tage = spieltagOrdner(wurzel);
    for (const QString& tag : tage) {
        const QDir ordner(d.filePath(tag));
        const QStringList dateien = Pfade::gruppenDateien(ordner.path());
        for (const QString& datei : dateien)
            for (const char* endung : endungen)
                if (QFileInfo::exists(ordner.filePath(datei + QLatin1String(endung))))
                    e << tag + QLatin1Char('/') + datei + QLatin1String(endung);
        if (QFileInfo::exists(ordner.filePath(spiellistenOrdner)))
            e << tag + QLatin1Char('/') + spiellistenOrdner;
    }
    return e;
}

// What is below a folder of the working area, unit by unit, whatever the
// scope: everything in it was put there by a restore.
QStringList alleEinheiten(const QString& wurzel)
{
    QStringList e;
    const QDir d(wurzel);
    const QFileInfoList oben = d.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& f : oben) {
        if (!f.isDir()) {
            e << f.fileName();
            continue;
        }
        const QStringList innen
            = QDir(f.filePath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& i : innen)
            e << f.fileName() + QLatin1Char('/') + i;
    }
    return e;
}

bool zustandSetzen(const QString& arbeit, const QString& zustand)
{
    QSaveFile f(QDir(arbeit).filePath(zustandDatei));
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(zustand.toUtf8() + '\n');
    return f.commit();
}

QString zustandLesen(const QString& arbeit)
{
    QFile f(QDir(arbeit).filePath(zustandDatei));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.read(64)).trimmed();
}

enum class Zug { Fertig, Fehler, Angehalten };

// Moves units from one tree to the other, one rename each; a unit whose
// target exists already (moved before an interruption) is skipped when its
// source is gone.
Zug verschieben(const QString& von, const QString& nach, const QStringList& namen, QStringList* fehlgeschlagen)
{
    for (const QString& name : namen) {
        const QString quelle = QDir(von).filePath(name);
        const QString ziel = QDir(nach).filePath(name);
        if (!QFileInfo::exists(quelle))
            continue;
        if (!schritt())
            return Zug::Angehalten;
        QDir().mkpath(QFileInfo(ziel).absolutePath());
        if (!QDir().rename(quelle, ziel) && fehlgeschlagen)
            *fehlgeschlagen << name;
    }
    return fehlgeschlagen && !fehlgeschlagen->isEmpty() ? Zug::Fehler : Zug::Fertig;
}

// Day folders that the moves left empty go, and the working area.
void abschliessen(const QString& daten, const QString& arbeit)
{
    QDir(QDir(arbeit).filePath(QStringLiteral("alt"))).removeRecursively();
    QDir(QDir(arbeit).filePath(QStringLiteral("neu"))).removeRecursively();
    QFile::remove(QDir(arbeit).filePath(zustandDatei));
    QDir(arbeit).removeRecursively();
    const QStringList tage = spieltagOrdner(daten);
    for (const QString& tag : tage)
        QDir(daten).rmdir(tag); // only when nothing else is left in it
}

} // namespace

bool Wiederherstellung::einspielen(QString* fehler)
{
    if (m_arbeit.isEmpty() || m_dateien.isEmpty() || m_liegenLassen)
        return melden(fehler, QStringLiteral("Keine geprueften Daten"));
    const QString alt = QDir(m_arbeit).filePath(QStringLiteral("alt"));
    const QString neu = QDir(m_arbeit).filePath(QStringLiteral("neu"));
    auto anhalten = [&]() {
        m_liegenLassen = true;
        return melden(fehler, QStringLiteral("Abgebrochen"));
    };

    // First the current files go aside; an interruption puts them back.
    if (!schritt())
        return anhalten();
    if (!zustandSetzen(m_arbeit, zustandAuslagern))
        return melden(fehler, QStringLiteral("Der Ordner %1 ist nicht beschreibbar").arg(m_arbeit));
    QStringList fehlgeschlagen;
    Zug z = verschieben(m_daten, alt, einheiten(m_daten, m_inhalt.umfang), &fehlgeschlagen);
    if (z == Zug::Angehalten)
        return anhalten();
    if (z == Zug::Fehler) {
        verschieben(alt, m_daten, alleEinheiten(alt), nullptr);
        abschliessen(m_daten, m_arbeit);
        m_arbeit.clear();
        return melden(fehler,
            QStringLiteral("Nicht beiseitegelegt: %1; es wurde nichts geaendert.")
                .arg(fehlgeschlagen.join(QStringLiteral(", "))));
    }
    // Then the restored files come in; from here an interruption completes.
    if (!schritt())
        return anhalten();
    if (!zustandSetzen(m_arbeit, zustandEinsetzen)) {
        verschieben(alt, m_daten, alleEinheiten(alt), nullptr);
        abschliessen(m_daten, m_arbeit);
        m_arbeit.clear();
        return melden(fehler, QStringLiteral("Der Ordner ist nicht beschreibbar; es wurde nichts geaendert."));
    }
    z = verschieben(neu, m_daten, alleEinheiten(neu), &fehlgeschlagen);
    if (z == Zug::Angehalten)
        return anhalten();
    if (z == Zug::Fehler)
        return melden(fehler,
            QStringLiteral("Nicht wiederhergestellt: %1; der nächste Start versucht es erneut.")
                .arg(fehlgeschlagen.join(QStringLiteral(", "))));
    if (!schritt())
        return anhalten();
    zustandSetzen(m_arbeit, zustandFertig);
    abschliessen(m_daten, m_arbeit);
    m_arbeit.clear();
    return true;
}

namespace {
// The folders our own temporary folders left behind, by their fixed start.
// Compared by hand: a name filter would compile a regular expression, and
// this runs at every start.
QStringList ordnerMitAnfang(const QDir& dir, const QString& anfang)
{
    QStringList namen = dir.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    namen.erase(std::remove_if(namen.begin(), namen.end(), [&anfang](const QString& n) { return !n.startsWith(anfang); }),
        namen.end());
    return namen;
}
} // namespace

Unterbrochen unterbrocheneAbschliessen(const QString& datenVerzeichnis, QString* fehler)
{
    schrittZaehler = 0;
    // Copies of a snapshot that was being written when the program ended.
    const QDir schnappschuesse(ordner(datenVerzeichnis));
    for (const QString& k : ordnerMitAnfang(schnappschuesse, kopienMuster))
        QDir(schnappschuesse.filePath(k)).removeRecursively();
    Unterbrochen ergebnis = Unterbrochen::Nichts;
    const QStringList reste = ordnerMitAnfang(QDir(datenVerzeichnis), arbeitsMuster);
    auto schlechter = [&ergebnis](Unterbrochen u) { ergebnis = std::max(ergebnis, u); };
    for (const QString& rest : reste) {
        const QString arbeit = QDir(datenVerzeichnis).filePath(rest);
        const QString alt = QDir(arbeit).filePath(QStringLiteral("alt"));
        const QString neu = QDir(arbeit).filePath(QStringLiteral("neu"));
        const QString zustand = zustandLesen(arbeit);
        QStringList fehlgeschlagen;
        if (zustand == zustandAuslagern) {
            // The restored files were not yet moved in: the old ones return.
            if (verschieben(alt, datenVerzeichnis, alleEinheiten(alt), &fehlgeschlagen) != Zug::Fertig) {
                melden(fehler, fehlgeschlagen.join(QStringLiteral(", ")));
                schlechter(Unterbrochen::Fehlgeschlagen);
                continue;
            }
            schlechter(Unterbrochen::Zurueckgenommen);
        } else if (zustand == zustandEinsetzen || zustand == zustandFertig) {
            // Every old file is aside and the new ones are whole: finish.
            if (verschieben(neu, datenVerzeichnis, alleEinheiten(neu), &fehlgeschlagen) != Zug::Fertig) {
                melden(fehler, fehlgeschlagen.join(QStringLiteral(", ")));
                schlechter(Unterbrochen::Fehlgeschlagen);
                continue;
            }
            schlechter(Unterbrochen::Abgeschlossen);
        } else if (QFileInfo::exists(neu)) {
            schlechter(Unterbrochen::Verworfen);
        }
        // Otherwise only the emptied folder of a finished restore was left.
        abschliessen(datenVerzeichnis, arbeit);
    }
    return ergebnis;
}

QString unterbrochenText(Unterbrochen was, const QString& fehler)
{
    switch (was) {
    case Unterbrochen::Nichts:
        return {};
    case Unterbrochen::Verworfen:
        return QStringLiteral("Eine abgebrochene Wiederherstellung wurde verworfen; die Daten sind unveraendert.");
    case Unterbrochen::Zurueckgenommen:
        return QStringLiteral("Eine unterbrochene Wiederherstellung wurde zurueckgenommen; es gelten die Daten von "
                              "vorher.");
    case Unterbrochen::Abgeschlossen:
        return QStringLiteral("Eine unterbrochene Wiederherstellung wurde abgeschlossen; es gelten die "
                              "wiederhergestellten Daten.");
    case Unterbrochen::Fehlgeschlagen:
        break;
    }
    return QStringLiteral("FEHLER: Eine unterbrochene Wiederherstellung liess sich nicht abschliessen (%1); der "
                          "Ordner \".wiederherstellen-...\" im Datenordner enthaelt die Daten.")
        .arg(fehler);
}

namespace Test
{
void abbrechenBeiSchritt(int n)
{
    abbruchBei = n;
}
int schritte()
{
    return schrittZaehler;
}
} // namespace Test

} // namespace Sicherung
