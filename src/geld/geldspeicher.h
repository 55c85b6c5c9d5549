#pragma once
// The money of a group's evening beside its tables in the group file: the
// fees that applied (`Gebuehren`), what each participant paid (`Zahlungen`)
// and the payout plan (`Auszahlplan`), all in whole cents. A file without
// these tables is a day without fees. The defaults for a new day come from
// the settings group "Geld".

#include <QMap>
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
