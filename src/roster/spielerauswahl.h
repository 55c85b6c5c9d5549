#pragma once
// What the window reads from the roster for its choice lists and number
// checks, and the one roster write of a renamed player group.

#include <QList>
#include <QSet>
#include <QSqlDatabase>
#include <QStandardItemModel>
#include <QString>
#include <QStringList>
#include <QVector>

#include "roster/spielerdatei.h"

namespace Spielerauswahl
{

// A roster player as the participant choice list offers him.
struct Spieler {
    int startNr = 0;
    QString vorname;
    QString nachname;
    bool mitglied = false; // "Ja" in the roster
    bool preisskat = false; // "Ja" in the roster
};

// The players of a player group in stored order; "Alle" stands for every
// player of the roster.
QVector<Spieler> lesen(QSqlDatabase haupt, const QString& gruppe);

// The same players from the rows a roster was just replaced with, in the
// order they were stored, without reading them back.
QVector<Spieler> ausEintraegen(const QVector<Spielerdatei::Eintrag>& eintraege, const QString& gruppe);

// Every start number of the roster.
QSet<int> startNummern(QSqlDatabase haupt);

// Start numbers with their names held outside the roster: in the ranking
// of the master database, and among a group's participants.
QVector<Spielerdatei::Nummer> ranglistenNummern(QSqlDatabase haupt);
QVector<Spielerdatei::Nummer> teilnehmerNummern(QSqlDatabase gruppe);

// The players of player group `alt` move to `neu`; false with the
// database's text when it was not stored.
bool gruppeUmbenennen(QSqlDatabase haupt, const QString& alt, const QString& neu, QString* fehler = nullptr);

// The roles of a choice-list row's first cell (the first name).
enum Rolle { StartNrRolle = Qt::UserRole + 1, MitgliedRolle, PreisskatRolle };

// A row's first cell: the first name, with the start number and the flags
// held as members. An import builds thousands of rows at once, and a plain
// item stores every role as an entry of its own list.
class VornameZelle : public QStandardItem
{
public:
    explicit VornameZelle(const Spieler& s);
    QVariant data(int rolle) const override;
    void setData(const QVariant& wert, int rolle) override;
    QStandardItem* clone() const override;
    int type() const override { return UserType + 1; }
    // The roles the cell holds itself, for the model's itemData().
    void eigeneRollen(QMap<int, QVariant>& rollen) const;

private:
    QVariant* eigene(int rolle);
    QVariant m_startNr;
    QVariant m_mitglied;
    QVariant m_preisskat;
};

// The choice list's model. A group's players come in one go: its views hear
// of one reset, not of every row (5,000 rows one by one cost each view its
// bookkeeping per row).
class Modell : public QStandardItemModel
{
public:
    using QStandardItemModel::QStandardItemModel;
    // Replaces every row and the column headers; the model takes the items.
    void ersetzen(const QStringList& kopf, const QList<QList<QStandardItem*>>& zeilen);
    // With the roles a first-name cell holds itself.
    QMap<int, QVariant> itemData(const QModelIndex& index) const override;
};

} // namespace Spielerauswahl
