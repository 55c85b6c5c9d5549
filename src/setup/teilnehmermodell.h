#pragma once
// The participants' results table as a model of its own: a row keeps its
// cells' texts in one array, and the roles, alignment and colour of a cell
// follow from its column. A group of a thousand players with twenty series
// is 65,000 cells; one object per cell made opening and leaving a group cost
// many times the reading of its file.
//
// Two ways change a cell's text:
// - setData(EditRole), as an editor, a dialog or the link does, is an entry:
//   after the cell shows it, `eingabe` asks the window to store it (or to
//   refuse it and show the stored value again);
// - anzeigen() shows what the program itself knows (loaded, stored, summed)
//   and is never taken for an entry.

#include <QAbstractTableModel>
#include <QBrush>
#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QString>
#include <QVector>

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

class TeilnehmerModell;

// A handle of one cell, used like a pointer to an item: `zelle->text()`,
// `if (zelle)`. It holds no data of its own; a text set through it is an
// entry, as if typed.
class TeilnehmerZelle
{
public:
    TeilnehmerZelle() = default;
    TeilnehmerZelle(TeilnehmerModell* model, int zeile, int spalte);

    explicit operator bool() const;
    const TeilnehmerZelle* operator->() const { return this; }

    int row() const { return m_zeile; }
    int column() const { return m_spalte; }
    QModelIndex index() const;

    QString text() const;
    // An entry: the model's write path stores it or shows the stored value.
    void setText(const QString& text) const;
    // Shows a text without taking it for an entry.
    void anzeigen(const QString& text) const;
    QVariant data(int role) const;
    void setData(const QVariant& wert, int role) const;
    Qt::ItemFlags flags() const;
    bool isEditable() const;
    void setEditable(bool ja) const;
    QBrush background() const;
    void setBackground(const QBrush& pinsel) const;
    QBrush foreground() const;
    Qt::Alignment textAlignment() const;

private:
    TeilnehmerModell* m_model = nullptr;
    int m_zeile = -1;
    int m_spalte = -1;
};

class TeilnehmerModell : public QAbstractTableModel
{
    Q_OBJECT
public:
    // A seat not given: a new row's table cell has no seat role.
    static constexpr int KeinSitz = -2147483647 - 1;

    struct Zelle {
        QString text;
        // Points and costs: the text of the value last stored (null: none).
        QString gespeichert;
        int sitz = KeinSitz;
        bool editierbar = false;
    };
    struct Zeile {
        int startNr = 0;
        bool mitglied = false;
        QVector<Zelle> zellen;
        // Roles the columns do not give (a background, a tooltip), by
        // column and role.
        QHash<quint64, QVariant> weitere;
        void rolleSetzen(int spalte, int role, const QVariant& wert) { weitere.insert(schluessel(spalte, role), wert); }
    };

    explicit TeilnehmerModell(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& wert, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    // Orders the rows by start number (columns 0 and 1) or by the number a
    // column's texts show.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Number of series of the header (0 without one).
    int serien() const { return m_serien; }
    // Empties the table and gives it the header of n series (1 to 20).
    void kopfAufbauen(int n);
    // Replaces all rows at once (one reset instead of a signal per row);
    // rows of another width are cut or filled with empty cells.
    void zeilenSetzen(std::vector<Zeile> zeilen);
    int zeileAnhaengen(Zeile zeile);
    const Zeile& zeile(int z) const { return m_zeilen.at(size_t(z)); }

    TeilnehmerZelle zelle(int zeile, int spalte) { return TeilnehmerZelle(this, zeile, spalte); }
    // As on a standard item model, for callers that read a cell.
    TeilnehmerZelle item(int zeile, int spalte) { return zelle(zeile, spalte); }

    int startNr(int zeile) const;
    // Row of a start number (the first row that has it), -1 when none.
    int zeileVon(int startNr) const;

    // Shows a text in a cell, and as the stored one when `alsGespeichert`;
    // no entry. One change notice for the cell when anything changed.
    void anzeigen(int zeile, int spalte, const QString& text, bool alsGespeichert = false);
    // Several cells of one row at once, one change notice for them all.
    struct Anzeige {
        int spalte;
        QString text;
        bool alsGespeichert;
    };
    void anzeigen(int zeile, const QVector<Anzeige>& texte);
    // A draw's tables and seats in one column, one change notice for the
    // rows they span; no entry.
    struct Sitzanzeige {
        int zeile;
        int tisch;
        int sitz;
    };
    void sitzeZeigen(int spalte, const QVector<Sitzanzeige>& sitze);
    void setEditierbar(int zeile, int spalte, bool ja);

    // Column widths: the widest text of each column in the given font,
    // measured from the longest texts when rows are set, and grown when a
    // wider text comes.
    void setSchrift(const QFont& schrift);
    int textBreite(int spalte) const { return spalte >= 0 && spalte < m_breiten.size() ? m_breiten.at(spalte) : 0; }

signals:
    // A text set from outside (an editor, a dialog, the link): the window
    // stores it or shows the stored value again.
    void eingabe(const QModelIndex& zelle);
    // A column's widest text got wider.
    void textBreiter(int spalte, int breite);

private:
    friend class TeilnehmerZelle;
    enum class Sorte { Nr, Name, Preisskat, Punkte, Tisch, Kosten, Summe };
    Sorte sorte(int spalte) const;
    bool gueltig(int zeile, int spalte) const;
    Zelle& zelleIn(int zeile, int spalte) { return m_zeilen[size_t(zeile)].zellen[spalte]; }
    static quint64 schluessel(int spalte, int role) { return (quint64(quint32(spalte)) << 32) | quint32(role); }
    int messen(const QString& text) const;
    void breitePruefen(int spalte, const QString& text);
    void breitenBerechnen();
    void indexVeraltet() { m_indexGueltig = false; }

    int m_serien = 0;
    int m_spalten = 0;
    std::vector<Zeile> m_zeilen;
    QStringList m_kopf;
    QBrush m_rot, m_gruen, m_blau;

    QFont m_font;
    std::unique_ptr<QFontMetrics> m_schrift;
    mutable QHash<QString, int> m_gemessen;
    QVector<int> m_breiten;

    mutable QHash<int, int> m_index;
    mutable bool m_indexGueltig = false;
};
