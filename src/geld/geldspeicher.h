#pragma once
// The money of a group's evening beside its tables in the group file: the
// fees that applied (`Gebuehren`), what each participant paid (`Zahlungen`)
// and the payout plan (`Auszahlplan`), all in whole cents. A file without
// these tables is a day without fees. The defaults for a new day come from
// the settings group "Geld".

#include <QDate>
#include <QMap>
#include <QSet>
#include <QSqlDatabase>
#include <QString>

#include "geld/abrechnung.h"

class QSettings;

namespace Geld
{

// Reads what is stored; a missing table leaves the defaults (no fees, no
// payments, an empty plan). False with a German text when a table is there
// but cannot be read.
bool lesen(
    QSqlDatabase db, Gebuehren& gebuehren, Auszahlplan& plan, QMap<int, Zahlung>& zahlungen, QString* fehler = nullptr);

// Stores the fees and the plan of the evening in one transaction.
bool festlegen(QSqlDatabase db, const Gebuehren& gebuehren, const Auszahlplan& plan, QString* fehler = nullptr);

// Stores one participant's payment (nothing paid removes the row).
bool zahlungSpeichern(QSqlDatabase db, int startNr, const Zahlung& z, QString* fehler = nullptr);

// Payments taken at the door while the group is still being put together,
// when it has no file yet: kept in the master database per day, group and
// start number until the group is confirmed.
bool vormerken(QSqlDatabase haupt, const QDate& tag, const QString& gruppe, int startNr, const Zahlung& z,
    QString* fehler = nullptr);
// What is kept for that day and group; false with a German text when it
// cannot be read (none kept is no error).
bool vorgemerkt(QSqlDatabase haupt, const QDate& tag, const QString& gruppe, QMap<int, Zahlung>& zahlungen,
    QString* fehler = nullptr);
// Players taken out of the selection lose what they paid in advance.
bool vormerkungenStreichen(QSqlDatabase haupt, const QDate& tag, const QString& gruppe, const QVector<int>& startNrs,
    QString* fehler = nullptr);
// Into the confirmed group's file, for its participants only, all in one
// transaction (a payment the group already holds wins); then the day's
// advance payments of the group are gone from the master database. False,
// and nothing stored in the group, when the group could not take them;
// they then stay kept for another try. `uebernommen` counts the
// payments the group took.
bool vormerkungenEinloesen(QSqlDatabase haupt, QSqlDatabase gruppeDb, const QDate& tag, const QString& gruppe,
    const QSet<int>& teilnehmer, int* uebernommen = nullptr, QString* fehler = nullptr);

// The defaults for a new evening from the settings ("Geld/StartgeldCent",
// "Geld/PlanArt", "Geld/PlanWerte", ...); the prize-skat amount is the cost
// rule's.
Gebuehren gebuehrenVorgabe(const QSettings& s);
Auszahlplan planVorgabe(const QSettings& s);
void vorgabeSpeichern(QSettings& s, const Gebuehren& g, const Auszahlplan& plan);

// "40;25;15;10;10" (percent, up to two decimals) or "50;30" (euro) and back.
QString werteText(const Auszahlplan& plan);
bool werteAusText(const QString& text, Auszahlplan::Art art, QVector<qint64>& werte);

} // namespace Geld
