#include "season/saisonarchiv.h"

#include <QAtomicInt>
#include <QDir>
#include <QSqlError>
#include <QSqlQuery>

#include "reports/rangliste.h"
#include "storage/pfade.h"

namespace Saison
{

bool gaesteLesen(QSqlDatabase haupt, QSet<int>& gaeste, QString* fehler)
{
    gaeste.clear();
    QSqlQuery q(haupt);
    q.setForwardOnly(true);
    if (!haupt.isOpen() || !q.exec(QStringLiteral("SELECT StartNr, Mitglied FROM Spieler"))) {
        if (fehler)
            *fehler = haupt.isOpen() ? q.lastError().text() : QStringLiteral("Datenbank nicht geoeffnet");
        return false;
    }
    while (q.next())
        if (q.value(1).toString() != QLatin1String("Ja"))
            gaeste.insert(q.value(0).toInt());
    return true;
}

bool ranglisteLesen(QSqlDatabase haupt, QVector<Zeile>& zeilen, QString* fehler)
{
    zeilen.clear();
    if (!haupt.isValid() || !haupt.isOpen()) {
        if (fehler)
            *fehler = QStringLiteral("Datenbank nicht geoeffnet");
        return false;
    }
    QSqlQuery q(haupt);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT StartNr, Name, Datum, Punkte FROM Rangliste"))) {
        if (fehler)
            *fehler = q.lastError().text();
        return false;
    }
    // A season holds a few hundred distinct date texts among many thousand
    // rows; each text is parsed once.
    QHash<QString, QDate> daten;
    while (q.next()) {
        const QString text = q.value(2).toString();
        auto d = daten.constFind(text);
        if (d == daten.constEnd())
            d = daten.insert(text, Rangliste::datumAus(text));
        if (!d->isValid())
            continue;
        Zeile z;
        z.startNr = q.value(0).toInt();
        z.name = q.value(1).toString();
        z.datum = *d;
        z.punkte = q.value(3).toInt();
        zeilen << z;
    }
    return true;
}

Archiv::Archiv(const QString& datenVerzeichnis)
    : m_verzeichnis(datenVerzeichnis)
{
    const QStringList namen = QDir(datenVerzeichnis).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    const QString format = QStringLiteral("dd_MM_yyyy");
    for (const QString& n : namen) {
        const QDate d = QDate::fromString(n, format);
        // Only the program's own folder names: "1_2_2026" or "05_12_2026 Kopie" are not match days.
        if (d.isValid() && d.toString(format) == n)
            m_ordner.insert(d, QDir(datenVerzeichnis).filePath(n));
    }
}

QStringList Archiv::gruppenNamen() const
{
    QSet<QString> namen;
    for (const QString& o : m_ordner) {
        const QStringList dateien = Pfade::gruppenDateien(o);
        for (const QString& datei : dateien)
            namen.insert(gruppeDerDatei(o, datei));
    }
    QStringList liste(namen.cbegin(), namen.cend());
    liste.sort(Qt::CaseInsensitive);
    return liste;
}

QString Archiv::gruppeDerDatei(const QString& ordner, const QString& datei) const
{
    const QString pfad = QDir(ordner).filePath(datei);
    auto bekannt = m_gruppeDerDatei.constFind(pfad);
    if (bekannt == m_gruppeDerDatei.constEnd())
        bekannt = m_gruppeDerDatei.insert(pfad, Spieltag::verbindungsNameDerDatei(ordner, datei));
    return *bekannt;
}

QSet<int> Archiv::teilnehmerVon(const QString& datei)
{
    const auto bekannt = m_teilnehmer.constFind(datei);
    if (bekannt != m_teilnehmer.constEnd())
        return *bekannt;
    // Only the participant list: a group filter over years of match days
    // must not read every series of every day.
    static QAtomicInt zaehler;
    const QString name = QStringLiteral("saison_archiv_%1").arg(zaehler.fetchAndAddRelaxed(1));
    QSet<int> nummern;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(datei);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=2000"));
        if (db.open()) {
            QSqlQuery q(db);
            q.setForwardOnly(true);
            if (q.exec(QStringLiteral("SELECT StartNr FROM Teilnehmer")))
                while (q.next())
                    nummern.insert(q.value(0).toInt());
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    m_teilnehmer.insert(datei, nummern);
    return nummern;
}

QHash<QDate, QSet<int>> Archiv::teilnahme(const QStringList& gruppen, const QDate& von, const QDate& bis)
{
    QHash<QDate, QSet<int>> ergebnis;
    for (auto it = m_ordner.lowerBound(von); it != m_ordner.cend() && !(bis < it.key()); ++it) {
        QSet<int> tag;
        const QStringList dateien = Pfade::gruppenDateien(it.value());
        for (const QString& datei : dateien)
            if (gruppen.contains(gruppeDerDatei(it.value(), datei)))
                tag.unite(teilnehmerVon(QDir(it.value()).filePath(datei)));
        ergebnis.insert(it.key(), tag);
    }
    return ergebnis;
}

const QVector<Spieltag::Gruppe>& Archiv::gruppen(const QDate& tag)
{
    auto bekannt = m_gruppen.constFind(tag);
    if (bekannt != m_gruppen.constEnd())
        return *bekannt;
    QVector<Spieltag::Gruppe> liste;
    const QString o = m_ordner.value(tag);
    if (!o.isEmpty()) {
        QStringList dateien = Pfade::gruppenDateien(o);
        dateien.sort();
        for (const QString& datei : qAsConst(dateien)) {
            Spieltag::Gruppe g;
            // A damaged or foreign file leaves the day without that group;
            // the Rangliste points still show.
            if (!Spieltag::gruppeAusDateiLesen(QDir(o).filePath(datei), g))
                continue;
            if (g.name.isEmpty())
                g.name = gruppeDerDatei(o, datei);
            liste << g;
        }
    }
    return *m_gruppen.insert(tag, liste);
}

QVector<VerlaufTag> Archiv::verlauf(int startNr, const QVector<Zeile>& zeilen, const QDate& von, const QDate& bis)
{
    QMap<QDate, qint64> punkte;
    for (const Zeile& z : zeilen)
        if (z.startNr == startNr && z.datum.isValid() && !(z.datum < von) && !(bis < z.datum))
            punkte[z.datum] += z.punkte;
    QVector<VerlaufTag> tage;
    for (auto it = punkte.cbegin(); it != punkte.cend(); ++it) {
        VerlaufTag t;
        t.datum = it.key();
        t.ranglistenPunkte = it.value();
        for (const Spieltag::Gruppe& g : gruppen(t.datum)) {
            if (const Spieltag::Teilnehmer* tn = g.teilnehmerMit(startNr)) {
                t.gruppe = g.name;
                t.serien = tn->serien;
                t.summePunkte = tn->summePunkte;
                t.summeKosten = tn->summeKosten;
                break;
            }
        }
        tage << t;
    }
    return tage;
}

} // namespace Saison
