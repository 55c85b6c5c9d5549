#pragma once
// Knows the column layout and item roles of the participants' results table,
// so no other file computes series columns, and finds a participant's row by
// start number through an index instead of scanning.

#include <QHash>
#include <QObject>
#include <QPersistentModelIndex>
#include <QStandardItem>
#include <QStandardItemModel>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>
#include <vector>

namespace Rolle
{
constexpr int StartNr = Qt::UserRole + 1; // column 0 and the name cell
constexpr int Serie = Qt::UserRole + 1; // series cells
constexpr int Mitglied = Qt::UserRole + 2; // name cell
constexpr int Spalte = Qt::UserRole + 2; // series cells: own column index
constexpr int KopfSerie = Qt::UserRole + 2; // header item of a TischS column
constexpr int Art = Qt::UserRole + 3; // series cells: kind
constexpr int Sitz = Qt::UserRole + 4; // TischS cells: seat position
// PktS and KostenS cells: the text of the value last stored, which the cell
// shows again when an entry is refused or cannot be stored.
constexpr int Gespeichert = Qt::UserRole + 5;
} // namespace Rolle

namespace Art
{
constexpr int Punkte = 100;
constexpr int Tisch = 101;
constexpr int Kosten = 102;
} // namespace Art

namespace Spalte
{
constexpr int Nr = 0;
constexpr int Name = 1;
constexpr int Preisskat = 2;
constexpr int punkte(int s)
{
    return 3 * s;
}
constexpr int tisch(int s)
{
    return 3 * s + 1;
}
constexpr int kosten(int s)
{
    return 3 * s + 2;
}
constexpr int summePunkte(int n)
{
    return 3 * n + 3;
}
constexpr int summeKosten(int n)
{
    return 3 * n + 4;
}
constexpr int anzahl(int n)
{
    return 3 * n + 5;
}
} // namespace Spalte

// Number forms of the table: integers and euro amounts with one decimal.
namespace Zahl
{
int ganz(const QString& text); // no number counts 0
double dezimal(const QString& text); // '.' as decimal point; no number counts 0
QString euro(double betrag); // one decimal, fixed
QString allgemein(double betrag); // up to six significant digits
} // namespace Zahl

struct TeilnehmerZeile {
    int startNr = 0;
    QString name;
    bool mitglied = false;
    bool preisskat = false;
};

class TeilnehmerTabelle : public QObject
{
    Q_OBJECT
public:
    explicit TeilnehmerTabelle(QStandardItemModel* model);

    QStandardItemModel* model() const { return m_model; }
    // Number of series the current header was built for (0 without header).
    int serien() const;

    // Clears the model and builds the header for n series (1 to 20).
    void kopfAufbauen(int n);
    // The cells of a new participant row, as set-up and late registration
    // create them: zeros in every series, nothing editable.
    static QList<QStandardItem*> neueZeile(const TeilnehmerZeile& t, int n);
    int zeileAnhaengen(const TeilnehmerZeile& t, int n);
    // Appends rows built away from the model. The caller has blocked the
    // model's signals and detached the proxy, so the views are reset once
    // when it returns instead of hearing of every row and cell.
    void zeilenUebernehmen(const QVector<QList<QStandardItem*>>& zeilen);

    int zeilen() const { return m_model->rowCount(); }
    int startNr(int zeile) const;
    // Row of a start number, -1 when it is not in the table.
    int zeileVon(int startNr) const;

    QStandardItem* nrItem(int zeile) const { return m_model->item(zeile, Spalte::Nr); }
    QStandardItem* nameItem(int zeile) const { return m_model->item(zeile, Spalte::Name); }
    QStandardItem* preisskatItem(int zeile) const { return m_model->item(zeile, Spalte::Preisskat); }
    QStandardItem* punkteItem(int zeile, int s) const { return m_model->item(zeile, Spalte::punkte(s)); }
    QStandardItem* tischItem(int zeile, int s) const { return m_model->item(zeile, Spalte::tisch(s)); }
    QStandardItem* kostenItem(int zeile, int s) const { return m_model->item(zeile, Spalte::kosten(s)); }
    QStandardItem* summePunkteItem(int zeile) const;
    QStandardItem* summeKostenItem(int zeile) const;

    // The series cell's settings: text, roles, alignment, colour.
    static void serienZelleEinrichten(QStandardItem* item, int s, int art);

private:
    void indexVeraltet() { m_indexGueltig = false; }
    void indexAufbauen() const;

    QStandardItemModel* m_model;
    mutable QHash<int, QPersistentModelIndex> m_index;
    mutable bool m_indexGueltig = false;
};

// Builds the rows of a whole group away from the model. Every series and sum
// cell starts as a copy of one prepared cell of its column, so its roles,
// alignment and colour are set once per column rather than once per cell;
// a stored value changes only the text and its own role.
class ZeilenBau
{
public:
    explicit ZeilenBau(int n);
    ~ZeilenBau();
    ZeilenBau(const ZeilenBau&) = delete;
    ZeilenBau& operator=(const ZeilenBau&) = delete;

    // A participant's row; its series cells stay at zero unless a stored
    // series value follows.
    void zeile(const TeilnehmerZeile& t, int summePunkte, double summeKosten);
    int zeilen() const { return m_zeilen.size(); }
    // Row of a start number, the first one built wins; -1 when there is none.
    int zeileVon(int startNr) const { return m_index.value(startNr, -1); }
    // A series' stored values in a row built here; a later call for the same
    // cells overwrites them.
    void serie(int zeile, int s, int punkte, int tisch, int sitz, double kosten);
    // The rows with every cell in place; the builder is empty afterwards.
    QVector<QList<QStandardItem*>> abgeben();

private:
    QStandardItem* vorlage(int spalte, bool geladen) const;
    // A points or costs cell showing `text`, as stored; `wert` stands for
    // the text, so that the text is made once per column and value.
    QStandardItem* wertZelle(int spalte, qint64 wert, const std::function<QString()>& text);
    QStandardItem* tischZelle(int spalte, int tisch, int sitz);

    int m_n;
    // Per column: the cell a new row shows, and the cell a stored value
    // starts from (a table cell with its seat role).
    std::vector<std::unique_ptr<QStandardItem>> m_neu;
    std::vector<std::unique_ptr<QStandardItem>> m_geladen;
    // Stored values repeat within a column (a cost of 1.5, a score of 0, the
    // table 0 of a series not yet drawn): cells of the same column and value
    // copy one prepared cell and share its roles until one of them changes.
    QHash<QPair<int, qint64>, QStandardItem*> m_werte;
    std::vector<std::unique_ptr<QStandardItem>> m_ungelost;
    QVector<QList<QStandardItem*>> m_zeilen;
    QHash<int, int> m_index;
};
