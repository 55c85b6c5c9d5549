#include "roster/spielerauswahl.h"

#include <QSqlQuery>

#include "storage/datenbank.h"

namespace Spielerauswahl
{

QVector<Spieler> lesen(QSqlDatabase haupt, const QString& gruppe)
{
    QVector<Spieler> liste;
    if (!haupt.isValid() || !haupt.isOpen())
        return liste;
    QSqlQuery q = gruppe == QLatin1String("Alle")
        ? Db::abfrage(haupt, QStringLiteral("SELECT StartNr, VorName, NachName, Mitglied, Preisskat FROM Spieler"))
        : Db::abfrage(haupt,
            QStringLiteral("SELECT StartNr, VorName, NachName, Mitglied, Preisskat FROM Spieler WHERE Gruppe=?"),
            { gruppe });
    while (q.next())
        liste << Spieler { q.value(0).toInt(), q.value(1).toString(), q.value(2).toString(),
            q.value(3).toString() == QLatin1String("Ja"), q.value(4).toString() == QLatin1String("Ja") };
    return liste;
}

QSet<int> startNummern(QSqlDatabase haupt)
{
    QSet<int> nummern;
    if (!haupt.isValid() || !haupt.isOpen())
        return nummern;
    QSqlQuery q = Db::abfrage(haupt, QStringLiteral("SELECT StartNr FROM Spieler"));
    while (q.next())
        nummern.insert(q.value(0).toInt());
    return nummern;
}

QVector<Spielerdatei::Nummer> ranglistenNummern(QSqlDatabase haupt)
{
    return Spielerdatei::nummernLesen(haupt, QStringLiteral("SELECT DISTINCT StartNr, Name FROM Rangliste"));
}

QVector<Spielerdatei::Nummer> teilnehmerNummern(QSqlDatabase gruppe)
{
    if (!gruppe.isValid() || !gruppe.isOpen() || !Db::tabelleVorhanden(gruppe, QStringLiteral("Teilnehmer")))
        return {};
    return Spielerdatei::nummernLesen(gruppe, QStringLiteral("SELECT StartNr, Name FROM Teilnehmer"));
}

bool gruppeUmbenennen(QSqlDatabase haupt, const QString& alt, const QString& neu, QString* fehler)
{
    if (!haupt.isValid() || !haupt.isOpen()) {
        if (fehler)
            *fehler = QStringLiteral("Die Stammdatenbank ist nicht geoeffnet");
        return false;
    }
    QSqlQuery q(haupt);
    return Db::ausfuehren(q, QStringLiteral("UPDATE Spieler SET Gruppe=? WHERE Gruppe=?"), { neu, alt }, fehler);
}

} // namespace Spielerauswahl
