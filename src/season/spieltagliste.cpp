#include "season/spieltagliste.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

#include "storage/pfade.h"
#include "storage/spieltagleser.h"

namespace Spieltagliste
{

int Spieltag::teilnehmer() const
{
    int n = 0;
    for (const Gruppe& g : gruppen)
        n += g.teilnehmer;
    return n;
}

namespace
{

// Only the group's settings and its participant count: the list shows a
// few hundred days at once, and reading every series of each would take
// the better part of a second.
Gruppe gruppeLesen(const QString& datei)
{
    static QAtomicInt zaehler;
    Gruppe g;
    const QFileInfo info(datei);
    g.name = ::Spieltag::verbindungsNameDerDatei(info.path(), info.fileName());
    const QString verbindung = QStringLiteral("spieltagliste_%1").arg(zaehler.fetchAndAddRelaxed(1));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), verbindung);
        db.setDatabaseName(datei);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=2000"));
        if (!db.open()) {
            g.fehler = db.lastError().text();
        } else {
            QSqlQuery q(db);
            q.setForwardOnly(true);
            // One statement for the settings and the count: a few hundred
            // files are read each time the list opens.
            if (!q.exec(QStringLiteral("SELECT Serien, ErsterTisch, LetzterTisch, AnzahlSpiele3er, AnzahlSpiele4er, "
                                       "(SELECT COUNT(DISTINCT StartNr) FROM Teilnehmer) FROM Gruppe"))
                || !q.next()) {
                g.fehler = q.lastError().isValid() && !q.lastError().text().trimmed().isEmpty()
                    ? q.lastError().text()
                    : QStringLiteral("keine Gruppe gespeichert");
            } else {
                ::Spieltag::Gruppe k;
                k.serien = q.value(0).toInt();
                k.ersterTisch = q.value(1).toInt();
                k.letzterTisch = q.value(2).toInt();
                k.spiele3er = q.value(3).toInt();
                k.spiele4er = q.value(4).toInt();
                g.serien = k.serien;
                if (::Spieltag::einstellungenGueltig(k, &g.fehler))
                    g.teilnehmer = q.value(5).toInt();
            }
            q.finish();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(verbindung);
    return g;
}

} // namespace

QVector<Spieltag> lesen(const QString& datenVerzeichnis)
{
    QVector<Spieltag> tage;
    const QDir daten(datenVerzeichnis);
    const QStringList namen = daten.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& n : namen) {
        Spieltag t;
        if (!Pfade::istTurnierName(n, &t.datum))
            continue;
        t.verzeichnis = daten.filePath(n);
        const QStringList dateien = Pfade::gruppenDateien(t.verzeichnis);
        QStringList gesehen;
        for (const QString& d : dateien) {
            // The start-up opens one file per connection name, the newest.
            const QString name = ::Spieltag::verbindungsNameDerDatei(t.verzeichnis, d);
            if (name.isEmpty() || gesehen.contains(name))
                continue;
            gesehen << name;
            t.gruppen << gruppeLesen(QDir(t.verzeichnis).filePath(d));
        }
        tage << t;
    }
    std::sort(tage.begin(), tage.end(), [](const Spieltag& a, const Spieltag& b) { return a.datum > b.datum; });
    return tage;
}

} // namespace Spieltagliste
