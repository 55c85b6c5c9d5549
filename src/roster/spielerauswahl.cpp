#include "roster/spielerauswahl.h"

#include <QSignalBlocker>
#include <QSqlQuery>

#include "storage/datenbank.h"

namespace Spielerauswahl
{

QVector<Spieler> lesen(QSqlDatabase haupt, const QString& gruppe)
{
    QVector<Spieler> liste;
    if (!haupt.isValid() || !haupt.isOpen())
        return liste;
    // The flags come as numbers: a list of thousands of players reads two
    // texts fewer per row.
    const QString felder
        = QStringLiteral("SELECT StartNr, VorName, NachName, Mitglied='Ja', Preisskat='Ja' FROM Spieler");
    QSqlQuery q = gruppe == QLatin1String("Alle")
        ? Db::abfrage(haupt, felder)
        : Db::abfrage(haupt, felder + QStringLiteral(" WHERE Gruppe=?"), { gruppe });
    while (q.next())
        liste << Spieler { q.value(0).toInt(), q.value(1).toString(), q.value(2).toString(), q.value(3).toInt() == 1,
            q.value(4).toInt() == 1 };
    return liste;
}

QVector<Spieler> ausEintraegen(const QVector<Spielerdatei::Eintrag>& eintraege, const QString& gruppe)
{
    QVector<Spieler> liste;
    const bool alle = gruppe == QLatin1String("Alle");
    liste.reserve(eintraege.size());
    for (const Spielerdatei::Eintrag& e : eintraege)
        if (alle || e.zeile.gruppe == gruppe)
            liste << Spieler { e.startNr, e.zeile.vorname, e.zeile.nachname, e.zeile.mitglied == QLatin1String("Ja"),
                e.preisskat == QLatin1String("Ja") };
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

VornameZelle::VornameZelle(const Spieler& s)
    : QStandardItem(s.vorname)
    , m_startNr(s.startNr)
    , m_mitglied(s.mitglied)
    , m_preisskat(s.preisskat)
{
}

QVariant* VornameZelle::eigene(int rolle)
{
    switch (rolle) {
    case StartNrRolle:
        return &m_startNr;
    case MitgliedRolle:
        return &m_mitglied;
    case PreisskatRolle:
        return &m_preisskat;
    default:
        return nullptr;
    }
}

QVariant VornameZelle::data(int rolle) const
{
    if (const QVariant* w = const_cast<VornameZelle*>(this)->eigene(rolle))
        return *w;
    return QStandardItem::data(rolle);
}

void VornameZelle::setData(const QVariant& wert, int rolle)
{
    QVariant* w = eigene(rolle);
    if (!w) {
        QStandardItem::setData(wert, rolle);
        return;
    }
    // As a plain item: an unchanged value is no change.
    if (w->userType() == wert.userType() && *w == wert)
        return;
    *w = wert;
    emitDataChanged();
}

QStandardItem* VornameZelle::clone() const
{
    return new VornameZelle(*this);
}

void VornameZelle::eigeneRollen(QMap<int, QVariant>& rollen) const
{
    for (int r : { StartNrRolle, MitgliedRolle, PreisskatRolle }) {
        const QVariant w = data(r);
        if (w.isValid())
            rollen.insert(r, w);
    }
}

QMap<int, QVariant> Modell::itemData(const QModelIndex& index) const
{
    QMap<int, QVariant> rollen = QStandardItemModel::itemData(index);
    if (const auto* zelle = dynamic_cast<const VornameZelle*>(itemFromIndex(index)))
        zelle->eigeneRollen(rollen);
    return rollen;
}

void Modell::ersetzen(const QStringList& kopf, const QList<QList<QStandardItem*>>& zeilen)
{
    beginResetModel();
    {
        // Inside the reset nobody needs to hear of the single steps.
        const QSignalBlocker sperre(this);
        clear();
        setHorizontalHeaderLabels(kopf);
        for (const QList<QStandardItem*>& zeile : zeilen)
            appendRow(zeile);
    }
    endResetModel();
}

} // namespace Spielerauswahl
