#pragma once
// The database side of participant maintenance: the per-series "Aktiv" flag
// and late registration, working on a group database and nothing else.

#include <QMap>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

// A roster player offered for, or chosen in, late registration.
struct NachmeldeSpieler {
    bool preisskat = false;
    bool mitglied = false;
    QString name; // "first last"
};

// Start number -> player, ordered by start number.
using NachmeldeListe = QMap<int, NachmeldeSpieler>;

namespace Teilnehmerpflege
{

// The stored "Aktiv" flag of one participant in one series.
struct AktivStand {
    bool gefunden = false; // the participant has a row in that series
    bool aktiv = true; // without a row a participant counts as active
};
AktivStand aktivLesen(QSqlDatabase db, int serie, int startNr);

// Start number -> stored flag for every row of one series.
QMap<int, bool> aktivFlags(QSqlDatabase db, int serie);

// Stores the flag. Returns false with the database's text in `fehler` when
// it could not be stored; setting someone inactive who has no row in the
// series is a failure too, since the draw would still seat him.
bool aktivSetzen(QSqlDatabase db, int serie, int startNr, bool aktiv, QString* fehler = nullptr);

// Every participant of the group as stored, by start number.
NachmeldeListe teilnehmerLesen(QSqlDatabase db);

// Series 1..serien in which a participant already holds a table.
QVector<int> gelosteSerien(QSqlDatabase db, int serien);

struct NachmeldeErgebnis {
    bool ok = false;
    QString fehler;
    NachmeldeListe eingetragen; // the players who became participants
    QVector<int> schonTeilnehmer; // chosen, but already participants: skipped
    QVector<int> inaktivIn; // series the new participants sit out
};

// Makes the players participants of the group in one transaction: a
// Teilnehmer row and a row in every series table. They are active in every
// series not drawn yet and inactive in every drawn one. The group's last
// table grows when the added players need more tables. On any failure
// nothing is stored.
NachmeldeErgebnis nachmelden(QSqlDatabase db, const NachmeldeListe& spieler);

} // namespace Teilnehmerpflege
