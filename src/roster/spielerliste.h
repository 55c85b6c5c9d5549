#pragma once
// Finding and changing one roster player by his start number, whatever the
// roster view's sort order and however many rows its model has fetched.

#include <QSqlDatabase>

class QSqlTableModel;

namespace Spielerliste
{

// The model row of the player, fetching further rows as needed; -1 when he
// is not in the model.
int zeileVon(QSqlTableModel* model, int startNr);

struct Flaggen {
    bool gefunden = false;
    bool mitglied = false;
    bool preisskat = false;
};
// The stored flags of the player ("Ja" counts as true, anything else false).
Flaggen flaggenLesen(QSqlDatabase db, int startNr);

// Stores the player's prize-skat flag as "Ja" or "Nein". False when the
// statement failed (announced) or no player has that number.
bool preisskatSetzen(QSqlDatabase db, int startNr, bool ja);

} // namespace Spielerliste
