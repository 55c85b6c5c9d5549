#pragma once
// Which result lines of a companion are taken. In a series that has been
// drawn, only lines for participants seated at a table the companion holds:
// a (series, table) it was sent the seat list of (these stay its own for the
// evening, also across reconnects, until another companion is sent the same
// list), or the table it asked for last. A companion that holds no table (the
// program restarted, say) takes the table of its first fitting line, when
// nobody else holds it. In a series nobody has been seated in (clubs that
// seat by paper slips), every participant of the group counts.

#include <QHash>
#include <QPair>
#include <QSet>
#include <QSqlDatabase>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>

#include "link/protokoll.h"
#include "storage/anweisungen.h"

class QSqlQuery;

namespace Tischpruefung
{

// No table carries more: four players and twenty series. Lines beyond this
// many in one message are refused unread.
constexpr int maxZeilen = 1000;

// Where a participant sits in a series, as the group stores it.
struct Sitz {
    enum class Art {
        Unbekannt, // no such series, or not a participant of the group
        Offen, // nobody is seated in this series yet
        Ohne, // the series is drawn, he has no seat (0) or sits out (-1)
        Tisch, // seated at `tisch`
    };
    Art art = Art::Unbekannt;
    int tisch = 0;
};
using SitzVon = std::function<Sitz(int serie, int startNr)>;

// The lines of a message, each read once: its numbers, or none when it does
// not read. Only the first `maxZeilen` are read.
using Gelesen = QVector<std::optional<Protokoll::Ergebnis>>;
Gelesen lesen(const QStringList& zeilen);

// The seat check's statements, kept per connection across messages.
using Anweisungen = Db::Anweisungen;

// Reads the seats of a group database, each series once per message: a
// message's lines cost one query per series they name, not one per line.
// Finds nobody when the database is no group. Without `anweisungen` the
// statements are prepared for this search alone.
class Sitzsuche
{
public:
    explicit Sitzsuche(QSqlDatabase gruppe, Anweisungen* anweisungen = nullptr);
    // Reads the seats of everybody a message's lines name, one query per
    // series they name; a participant asked for later is read with his series.
    void vorlesen(const QStringList& zeilen);
    void vorlesen(const Gelesen& gelesen);
    Sitz operator()(int serie, int startNr);
    int serien() const { return m_serien; }

private:
    std::shared_ptr<QSqlQuery> anweisung(const QString& sql);
    struct Serie {
        QHash<int, int> tisch; // start number -> Tisch
        bool ausgelost = false;
        bool ganz = true; // every participant read, not only those named
        QSet<int> gefragt; // those named, when not
    };
    QSqlDatabase m_db;
    Anweisungen* m_anweisungen = nullptr;
    Anweisungen m_eigene; // without kept ones, for this search alone
    int m_serien = 0;
    QHash<int, Serie> m_gelesen;
};

// What the companion holds. `halter` names the address that was last sent
// the seat list of (series, table), empty for none; `frei` tells whether no
// other companion has asked for the table.
struct Anspruch {
    QString adresse;
    int tisch = 0; // the table asked for last; 0 for none
    std::function<QString(int serie, int tisch)> halter;
    std::function<bool(int tisch)> frei;
};

struct Abgelehnt {
    QString zeile;
    QString grund;
};

struct Ergebnis {
    // The lines to store; of several for one participant and series only
    // the last, where the first stood.
    QStringList angenommen;
    // Their numbers, line by line.
    QVector<Protokoll::Ergebnis> werte;
    // Every line not taken, with the reason (also those cut off unread,
    // counted but listed once).
    QVector<Abgelehnt> abgelehnteZeilen;
    int abgelehnt = 0;
    // The companion's table afterwards.
    int tisch = 0;
};

Ergebnis pruefen(const QStringList& zeilen, const Anspruch& anspruch, const SitzVon& sitzVon);
// The same with the lines read already (`lesen(zeilen)`).
Ergebnis pruefen(const QStringList& zeilen, const Gelesen& gelesen, const Anspruch& anspruch, const SitzVon& sitzVon);

} // namespace Tischpruefung
