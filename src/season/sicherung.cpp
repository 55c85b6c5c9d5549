#include "season/sicherung.h"

#include <QAtomicInt>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <algorithm>

#include "season/zipdatei.h"
#include "storage/datenbank.h"
#include "storage/pfade.h"

namespace Sicherung
{

namespace
{

const QString kennung = QStringLiteral("Reizwerk-Datensicherung 1");
const QString hauptName = QStringLiteral("reizwerk.db");
const QString spiellistenOrdner = QStringLiteral("SpielListen");
// No single file of a match day comes near this; a larger entry is not ours.
constexpr qint64 maxEintrag = qint64(1) << 30;

bool melden(QString* fehler, const QString& text)
{
    if (fehler)
        *fehler = text;
    return false;
}

QString pruefsumme(const QByteArray& daten)
{
    return QString::fromLatin1(QCryptographicHash::hash(daten, QCryptographicHash::Sha256).toHex());
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

// A consistent copy of a database that may be open elsewhere. A read
// transaction holds SQLite's shared lock, so no connection can change the
// file while its bytes are read (a journal left by a crash is rolled back
// first); counts of the master database come from the same transaction. A
// database in WAL mode keeps committed pages beside the file: it is copied
// with VACUUM INTO instead.
bool datenbankKopieren(const QString& datei, const QString& ziel, QByteArray& daten, Inhalt* inhalt, QString* fehler)
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
    bool ok = true;
    QString grund;
    if (wal) {
        QFile::remove(ziel);
        QSqlQuery kopie(v.db());
        kopie.prepare(QStringLiteral("VACUUM INTO ?"));
        kopie.addBindValue(ziel);
        // VACUUM cannot run inside the read transaction.
        q.exec(QStringLiteral("COMMIT"));
        ok = kopie.exec();
        grund = kopie.lastError().text();
        QFile f(ziel);
        if (ok && f.open(QIODevice::ReadOnly))
            daten = f.readAll();
        else
            ok = false;
        f.close();
        f.remove();
    } else {
        QFile f(datei);
        ok = f.open(QIODevice::ReadOnly);
        if (ok)
            daten = f.readAll();
        grund = f.errorString();
        ok = ok && daten.size() == f.size();
        q.exec(QStringLiteral("COMMIT"));
    }
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

bool schreibenIntern(const QString& daten, const QString& zielDatei, const QString& anlass, bool schnell,
    Inhalt* aussen, QString* fehler)
{
    Inhalt inhalt;
    inhalt.zeitpunkt = QDateTime::currentDateTime();
    inhalt.anlass = einzeilig(anlass);
    QTemporaryDir arbeit;
    if (!arbeit.isValid())
        return melden(fehler, QStringLiteral("Kein temporaerer Ordner: %1").arg(arbeit.errorString()));

    ZipSchreiber zip;
    QString grund;
    if (!zip.oeffnen(zielDatei, schnell, &grund))
        return melden(fehler, QStringLiteral("%1: %2").arg(zielDatei, grund));

    QStringList zeilen;
    auto aufnehmen = [&](const QString& name, const QByteArray& bytes) {
        zeilen << QStringLiteral("Datei\t%1\t%2\t%3").arg(name).arg(bytes.size()).arg(pruefsumme(bytes));
        return zip.hinzufuegen(name, bytes, &grund);
    };

    QByteArray bytes;
    const QString haupt = Pfade::hauptDatenbank(daten);
    if (!datenbankKopieren(haupt, arbeit.filePath(QStringLiteral("kopie.db")), bytes, &inhalt, &grund))
        return melden(fehler, QStringLiteral("%1: %2").arg(haupt, grund));
    if (!aufnehmen(hauptName, bytes))
        return melden(fehler, grund);

    const QStringList tage = spieltagOrdner(daten);
    for (const QString& tag : tage) {
        const QString ordner = QDir(daten).filePath(tag);
        bool etwas = false;
        const QStringList dateien = Pfade::gruppenDateien(ordner);
        for (const QString& d : dateien) {
            const QString pfad = QDir(ordner).filePath(d);
            if (!datenbankKopieren(pfad, arbeit.filePath(QStringLiteral("kopie.db")), bytes, nullptr, &grund)) {
                inhalt.nichtGesichert << QStringLiteral("%1: %2").arg(pfad, grund);
                continue;
            }
            if (!aufnehmen(tag + QLatin1Char('/') + d, bytes))
                return melden(fehler, grund);
            ++inhalt.gruppen;
            etwas = true;
        }
        const QString listen = QDir(ordner).filePath(spiellistenOrdner);
        QDirIterator it(listen, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString pfad = it.next();
            QFile f(pfad);
            if (!f.open(QIODevice::ReadOnly)) {
                inhalt.nichtGesichert << QStringLiteral("%1: %2").arg(pfad, f.errorString());
                continue;
            }
            const QString name
                = tag + QLatin1Char('/') + spiellistenOrdner + QLatin1Char('/') + QDir(listen).relativeFilePath(pfad);
            if (!aufnehmen(name, f.readAll()))
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
    return schreibenIntern(datenVerzeichnis, zielDatei, anlass, false, inhalt, fehler);
}

QString automatisch(const QString& datenVerzeichnis, const QString& anlass, QString* fehler)
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
    if (!schreibenIntern(datenVerzeichnis, datei, anlass, true, nullptr, fehler))
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

Wiederherstellung::~Wiederherstellung() = default;

bool Wiederherstellung::pruefen(const QString& archiv, QString* fehler)
{
    m_inhalt = Inhalt();
    m_dateien.clear();
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
    if (zeilen.value(0) != kennung)
        return melden(fehler, fremd + QLatin1Char('.'));

    struct Eintrag {
        qint64 groesse;
        QString summe;
    };
    QHash<QString, Eintrag> liste;
    for (int i = 1; i < zeilen.size(); ++i) {
        const QStringList f = zeilen.at(i).split(QLatin1Char('\t'));
        const QString schluessel = f.value(0);
        if (schluessel == QLatin1String("Zeitpunkt"))
            m_inhalt.zeitpunkt = QDateTime::fromString(f.value(1), Qt::ISODate);
        else if (schluessel == QLatin1String("Anlass"))
            m_inhalt.anlass = f.value(1);
        else if (schluessel == QLatin1String("Datei")) {
            bool ok = false;
            const qint64 groesse = f.value(2).toLongLong(&ok);
            if (f.size() != 4 || !ok || groesse < 0 || groesse > maxEintrag || !nameErlaubt(f.value(1))
                || liste.contains(f.value(1)))
                return melden(fehler, fremd + QStringLiteral(" (Eintrag \"%1\").").arg(f.value(1)));
            liste.insert(f.value(1), { groesse, f.value(3) });
            m_dateien << f.value(1);
        }
    }
    if (!liste.contains(hauptName) || !m_inhalt.zeitpunkt.isValid())
        return melden(fehler, fremd + QLatin1Char('.'));
    for (const QString& n : namen)
        if (n != inhaltsDatei && !liste.contains(n))
            return melden(fehler, fremd + QStringLiteral(" (unbekannter Eintrag \"%1\").").arg(n));

    // Unpacked beside the data, on the same disk, so putting the files in
    // place is a rename.
    m_auspacken = std::make_unique<QTemporaryDir>(QDir(m_daten).filePath(QStringLiteral(".wiederherstellen-XXXXXX")));
    if (!m_auspacken->isValid())
        return melden(fehler, m_auspacken->errorString());
    QSet<QString> tage;
    for (const QString& name : qAsConst(m_dateien)) {
        const Eintrag e = liste.value(name);
        if (!zip.lesen(name, e.groesse, bytes, &grund))
            return melden(fehler, QStringLiteral("Die Datensicherung ist beschaedigt (%1).").arg(grund));
        if (bytes.size() != e.groesse || pruefsumme(bytes) != e.summe)
            return melden(fehler, QStringLiteral("Die Datensicherung ist beschaedigt (%1 stimmt nicht).").arg(name));
        const QString ziel = m_auspacken->filePath(name);
        QDir().mkpath(QFileInfo(ziel).absolutePath());
        QFile f(ziel);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return melden(fehler, QStringLiteral("%1: %2").arg(ziel, f.errorString()));
        f.close();
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

bool Wiederherstellung::einspielen(QString* fehler)
{
    if (!m_auspacken || !m_auspacken->isValid() || m_dateien.isEmpty())
        return melden(fehler, QStringLiteral("Keine geprueften Daten"));
    QDir daten(m_daten);
    // What the archive replaces: every match day's databases and game lists
    // and the master database. Other files stay.
    const QStringList tage = spieltagOrdner(m_daten);
    for (const QString& tag : tage) {
        QDir ordner(daten.filePath(tag));
        const QStringList dateien = Pfade::gruppenDateien(ordner.path());
        for (const QString& d : dateien)
            for (const char* endung : { "", "-journal", "-wal", "-shm" })
                ordner.remove(d + QLatin1String(endung));
        QDir(ordner.filePath(spiellistenOrdner)).removeRecursively();
        daten.rmdir(tag); // only when nothing else is left in it
    }
    for (const char* endung : { "", "-journal", "-wal", "-shm" })
        daten.remove(hauptName + QLatin1String(endung));

    QStringList fehlgeschlagen;
    for (const QString& name : qAsConst(m_dateien)) {
        const QString ziel = daten.filePath(name);
        daten.mkpath(QFileInfo(ziel).absolutePath());
        QFile::remove(ziel);
        if (!QFile::rename(m_auspacken->filePath(name), ziel))
            fehlgeschlagen << name;
    }
    if (!fehlgeschlagen.isEmpty())
        return melden(
            fehler, QStringLiteral("Nicht wiederhergestellt: %1").arg(fehlgeschlagen.join(QStringLiteral(", "))));
    return true;
}

} // namespace Sicherung
