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
#include "scoring/regeln.h"
#include "storage/spieltagleser.h"

class QSettings;

namespace Druck
{

// The address of a table's page in the browser table app; an empty function
// or an empty address means the table gets no QR code.
using TischAdresse = std::function<QString(const QString& gruppe, int serie, int tisch)>;

// What the results notice adds to a name; both off keep it as it always was.
struct Namenszusatz {
    bool gaesteKennzeichnen = false; // "(Gast)" after a player who is no member
    bool mitgliedsdaten = false; // member number and club after the name
    QHash<int, QString> mitgliedsangaben; // by start number: "4711, SC Grand"

    // From the settings, with the member data of the master database where
    // the settings ask for it.
    static Namenszusatz aus(const QSettings& einstellungen, QSqlDatabase haupt);
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
    const Spieltag::Gruppe& g, int serie, const Regeln::Regelwerte& regeln, const TischAdresse& tischAdresse = {});

// The results notice of a group: places, points of every played series,
// total, prize-skat players; guests marked and member data with the name
// where `zusatz` asks for it.
Dokument ergebnisliste(const Spieltag::Gruppe& g, const Regeln::Regelwerte& regeln, const Namenszusatz& zusatz = {});

// The ranking over a date range with places (equal totals share a place).
Dokument rangliste(
    const QVector<Rangliste::Platz>& plaetze, const QDate& start, const QDate& ende, const QString& listenName);

} // namespace Druck
