#pragma once
// Knows the column layout and item roles of the participants' results table,
// so no other file computes series columns, and finds a participant's row by
// start number through an index instead of scanning.

#include <QHash>
#include <QObject>
#include <QString>

#include <vector>

#include "setup/teilnehmermodell.h"

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
    using Zelle = TeilnehmerZelle;
    using Zeile = TeilnehmerModell::Zeile;

    explicit TeilnehmerTabelle(TeilnehmerModell* model);

    TeilnehmerModell* model() const { return m_model; }
    // Number of series the current header was built for (0 without header).
    int serien() const { return m_model->serien(); }

    // Clears the model and builds the header for n series (1 to 20).
    void kopfAufbauen(int n) { m_model->kopfAufbauen(n); }
    // The cells of a new participant row, as set-up and late registration
    // create them: zeros in every series, nothing editable.
    static Zeile neueZeile(const TeilnehmerZeile& t, int n);
    int zeileAnhaengen(const TeilnehmerZeile& t, int n);
    // Puts rows built away from the model in place of all rows, with one
    // reset of the views instead of a signal per row and cell.
    void zeilenUebernehmen(std::vector<Zeile> zeilen) { m_model->zeilenSetzen(std::move(zeilen)); }

    int zeilen() const { return m_model->rowCount(); }
    int startNr(int zeile) const { return m_model->startNr(zeile); }
    // Row of a start number, -1 when it is not in the table.
    int zeileVon(int startNr) const { return m_model->zeileVon(startNr); }

    // Handles of a row's cells; a handle of a missing cell tests false.
    Zelle zelle(int zeile, int spalte) const { return m_model->zelle(zeile, spalte); }
    Zelle nrItem(int zeile) const { return zelle(zeile, Spalte::Nr); }
    Zelle nameItem(int zeile) const { return zelle(zeile, Spalte::Name); }
    Zelle preisskatItem(int zeile) const { return zelle(zeile, Spalte::Preisskat); }
    Zelle punkteItem(int zeile, int s) const { return zelle(zeile, serieDa(s) ? Spalte::punkte(s) : -1); }
    Zelle tischItem(int zeile, int s) const { return zelle(zeile, serieDa(s) ? Spalte::tisch(s) : -1); }
    Zelle kostenItem(int zeile, int s) const { return zelle(zeile, serieDa(s) ? Spalte::kosten(s) : -1); }
    Zelle summePunkteItem(int zeile) const { return zelle(zeile, m_model->columnCount() - 2); }
    Zelle summeKostenItem(int zeile) const { return zelle(zeile, m_model->columnCount() - 1); }

private:
    bool serieDa(int s) const { return s >= 1 && s <= m_model->serien(); }

    TeilnehmerModell* m_model;
};

// Builds the rows of a whole group away from the model. Equal texts of a
// column share one string, so a thousand zeros are one.
class ZeilenBau
{
public:
    explicit ZeilenBau(int n);

    // A participant's row; its series cells stay at zero unless a stored
    // series value follows.
    void zeile(const TeilnehmerZeile& t, int summePunkte, double summeKosten);
    int zeilen() const { return int(m_zeilen.size()); }
    // Row of a start number, the first one built wins; -1 when there is none.
    int zeileVon(int startNr) const { return m_index.value(startNr, -1); }
    // A series' stored values in a row built here; a later call for the same
    // cells overwrites them.
    void serie(int zeile, int s, int punkte, int tisch, int sitz, double kosten);
    // The rows with every cell in place; the builder is empty afterwards.
    std::vector<TeilnehmerModell::Zeile> abgeben();

private:
    const QString& ganz(int wert);
    const QString& euro(double betrag);

    int m_n;
    TeilnehmerModell::Zeile m_muster;
    QHash<int, QString> m_ganz;
    QHash<qint64, QString> m_euro;
    std::vector<TeilnehmerModell::Zeile> m_zeilen;
    QHash<int, int> m_index;
};
