#pragma once
// The printed documents of a match day, made from the stored data: the
// seating list of a series, the game-list sheets of its tables, the results
// notice of a group and the ranking over a date range.

#include <QDate>
#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

#include <functional>

#include "print/blatt.h"
#include "reports/rangliste.h"
#include "storage/spieltagleser.h"

class QSettings;

namespace Druck
{

// The address of a table's page in the browser table app; an empty function
// or an empty address means the table gets no QR code.
using TischAdresse = std::function<QString(const QString& gruppe, int serie, int tisch)>;

// The cost and point rules as the sheets print them, read from the settings
// (missing keys give the defaults).
struct Regelwerte {
    double platz[4] = { 0.0, 1.5, 2.5, 3.5 };
    double kartenGeld = 1.0;
    double verlSp1Bis5 = 1.0;
    double verlSpAb6 = 2.5;
    double preisskat = 10.0;
    int punkteGewMinusVerl = 50;
    int punkteGegen3er = 40;
    int punkteGegen4er = 30;
    QString listenName = QStringLiteral("Spielliste");
    // What the results notice adds to a name; both off keep it as it always was.
    bool gaesteKennzeichnen = false; // "(Gast)" after a player who is no member
    bool mitgliedsdaten = false; // member number and club after the name
    QHash<int, QString> mitgliedsangaben; // by start number: "4711, SC Grand"

    static Regelwerte aus(const QSettings& einstellungen);
    // With the member data of the master database where the settings ask for it.
    static Regelwerte aus(const QSettings& einstellungen, QSqlDatabase haupt);
};
inline const QString schluesselGaesteKennzeichnen = QStringLiteral("Druck/GaesteKennzeichnen");
inline const QString schluesselMitgliedsdaten = QStringLiteral("Druck/Mitgliedsdaten");

// "1,50 €"
QString euro(double betrag);

// Seating list of one series: every table with its players in seat order,
// then everybody alphabetically with table and seat, and who does not play.
Dokument tischliste(const Spieltag::Gruppe& g, int serie, const TischAdresse& tischAdresse = {});

// One game-list sheet per table of the series, pre-filled with the players
// and the rules' numbers.
Dokument spiellisten(
    const Spieltag::Gruppe& g, int serie, const Regelwerte& regeln, const TischAdresse& tischAdresse = {});

// The results notice of a group: places, points of every played series,
// total, prize-skat players; guests marked and member data with the name
// where the rules ask for it.
Dokument ergebnisliste(const Spieltag::Gruppe& g, const Regelwerte& regeln);

// The ranking over a date range with places (equal totals share a place).
Dokument rangliste(
    const QVector<Rangliste::Platz>& plaetze, const QDate& start, const QDate& ende, const QString& listenName);

// Places for totals sorted highest first: equal totals share a place, the
// next place skips (1, 2, 2, 4).
QVector<int> plaetze(const QVector<qint64>& summenAbsteigend);

} // namespace Druck
