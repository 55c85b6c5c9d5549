#include "beispiel.h"

#include <QDir>
#include <QRandomGenerator>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>

#include "app/mainwindow.h"
#include "setup/teilnehmertabelle.h"
#include "storage/datenbank.h"
#include "storage/pfade.h"
#include "storage/schema.h"

namespace Beispiel
{

void zuhauseSetzen(const QString& zuhause)
{
    QDir().mkpath(zuhause);
    const QByteArray h = zuhause.toUtf8();
    qputenv("HOME", h);
    qputenv("XDG_CONFIG_HOME", h + "/.config");
    qputenv("XDG_DATA_HOME", h + "/.local/share");
    qputenv("XDG_CACHE_HOME", h + "/.cache");
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, zuhause + QStringLiteral("/.config"));
}

static const char* const vornamen[]
    = { "Anna", "Bernd", "Carla", "Dieter", "Erika", "Frank", "Gisela", "Hans", "Ingrid", "Jürgen", "Karin", "Lothar",
          "Monika", "Norbert", "Olga", "Peter", "Renate", "Stefan", "Ursula", "Werner" };
static const char* const nachnamen[]
    = { "Bauer", "Becker", "Fischer", "Hoffmann", "Koch", "Krüger", "Lange", "Meyer", "Neumann", "Richter", "Schäfer",
          "Schmidt", "Schneider", "Schulz", "Wagner", "Weber", "Wolf", "Zimmermann", "Braun", "Hartmann" };

void spieltagAnlegen(int spieler, int serien)
{
    const QString daten = Pfade::datenVerzeichnis();
    QDir().mkpath(daten);
    const QString tag = Pfade::turnierVerzeichnis(daten, QDate::currentDate());
    QDir().mkpath(tag);
    {
        QSqlDatabase haupt = Db::oeffnen(QStringLiteral("beispiel_haupt"), Pfade::hauptDatenbank(daten));
        Schema::stammdatenbankAnlegen(haupt);
        QSqlDatabase gruppe
            = Db::oeffnen(QStringLiteral("beispiel_gruppe"), Pfade::gruppenDatei(tag, QStringLiteral("Herren")));
        Db::Transaktion t(haupt);
        QVector<Schema::TeilnehmerEintrag> teilnehmer;
        for (int i = 0; i < spieler; ++i) {
            const QString vorname = QString::fromUtf8(vornamen[i % 20]);
            const QString nachname = QString::fromUtf8(nachnamen[(i / 20 + i * 7) % 20]);
            const bool preisskat = i % 3 == 0;
            Db::ausfuehren(haupt, QStringLiteral("INSERT INTO Spieler VALUES (?, ?, ?, 'Herren', 'Ja', ?)"),
                { 100 + i, vorname, nachname, preisskat ? QStringLiteral("Ja") : QStringLiteral("Nein") });
            teilnehmer << Schema::TeilnehmerEintrag { 100 + i, vorname + QLatin1Char(' ') + nachname, true, preisskat };
        }
        t.abschliessen();
        Schema::GruppenDaten g;
        g.name = QStringLiteral("Herren");
        g.datum = QDate::currentDate();
        g.serien = serien;
        g.letzterTisch = qMax(1, spieler / 4);
        Schema::gruppeAnlegen(gruppe, g, teilnehmer);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("beispiel_haupt"));
    QSqlDatabase::removeDatabase(QStringLiteral("beispiel_gruppe"));
    QSettings s(QSettings::IniFormat, QSettings::UserScope, Pfade::organisation, Pfade::anwendung);
    s.setValue(Pfade::schluesselLetztesTurnier, tag);
}

void auslosenUndWerten(MainWindow& w, int gezogen)
{
    TeilnehmerTabelle* t = w.tabelle();
    QRandomGenerator zufall(4711);
    for (int s = 1; s <= gezogen; ++s) {
        w.auslosenZufall(s);
        for (int z = 0; z < t->zeilen(); ++z) {
            t->punkteItem(z, s)->setText(QString::number(static_cast<int>(zufall.bounded(1400)) - 200));
            t->kostenItem(z, s)->setText(Zahl::euro(zufall.bounded(12) * 0.5));
        }
    }
}

} // namespace Beispiel
