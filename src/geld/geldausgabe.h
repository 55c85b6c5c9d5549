#pragma once
// The settlement on paper and for the treasurer: one printed page (or more)
// per group and evening, and the same lines as CSV.

#include <QByteArray>

#include "geld/abrechnung.h"
#include "print/blatt.h"
#include "storage/spieltagleser.h"

namespace Geld
{

// "Abrechnung Herren – 06.12.2026": per participant owed, paid, prize and
// balance, then the totals in, out and what the club keeps.
Druck::Dokument abrechnungsDokument(const Spieltag::Gruppe& g, const Abrechnung& a);

// A slip per participant to hand over at the table, eight to a page with
// frames to cut along: what she owes, paid and won, and her balance.
Druck::Dokument belege(const Spieltag::Gruppe& g, const Abrechnung& a);

// The same lines as CSV (UTF-8 with BOM, ';', decimal comma); names that a
// spreadsheet would run as formulas are quoted as text.
QByteArray abrechnungCsv(const Spieltag::Gruppe& g, const Abrechnung& a);

// The lines of the totals: caption and amount, in the order printed.
QVector<QPair<QString, qint64>> summenZeilen(const Abrechnung& a);

} // namespace Geld
