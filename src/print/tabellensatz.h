#pragma once
// A list as printed tables: a title on every page, the column heads repeated
// on every page, rows that break across pages, notes after the last row, and
// page numbers at the foot of every page.

#include <QString>
#include <QStringList>
#include <QVector>

#include "print/blatt.h"

namespace Druck
{

struct TabellenSpalte {
    QString kopf;
    Ausrichtung ausrichtung = Ausrichtung::Links;
    // The one column (names) that takes the width left over and whose texts
    // are set smaller before the table grows beyond the sheet.
    bool dehnbar = false;
};

struct Tabellensatz {
    QString titel; // large, on every page
    QString untertitel; // below the title, on every page
    QVector<TabellenSpalte> spalten;
    QVector<QStringList> zeilen;
    QStringList notizen; // lines after the table
    Schrift schrift { 12.0, false };
    // Several narrow tables side by side on one page (a long list of short
    // rows), filled column by column.
    int bloecke = 1;
};

// Appends the table's pages to the document. On a document without pages
// yet and with `querErlaubt`, the table turns the sheet to landscape when it
// is too wide for portrait; wider still, it is set smaller.
void tabelleSetzen(Dokument& d, const Tabellensatz& t, bool querErlaubt);

// Puts a foot line on every page: `links` on the left, "Seite i von n" on
// the right.
void seitenFuss(Dokument& d, const QString& links);

// The lowest y a page's content may reach (above the foot line).
qreal inhaltUnten(const Dokument& d);

} // namespace Druck
