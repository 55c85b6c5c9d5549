#pragma once
// The season standings as texts: the table's headings and cells (shared by
// the view, the printed page and the spreadsheet file), the spreadsheet file
// for a German spreadsheet program, and the printed page and its PDF.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "season/saison.h"

class QTextDocument;
class QWidget;

namespace Saison
{

// Writes a ';'-separated file with a UTF-8 byte order mark and CRLF line
// ends, as a German spreadsheet program opens it without an import dialog.
class CsvSchreiber
{
public:
    CsvSchreiber();
    // A field with ';', '"' or a line break is quoted, inner quotes doubled.
    // Text that a spreadsheet would run as a formula ("=", "+", "-", "@", a
    // tab or a carriage return first) is quoted behind an apostrophe;
    // signed numbers such as "-5" stay numbers.
    void feld(const QString& text);
    static bool alsFormelGelesen(const QString& text);
    void zahl(qint64 wert);
    // With a decimal comma.
    void dezimal(double wert, int stellen);
    void leer();
    void zeileEnde();
    const QByteArray& bytes() const { return m_daten; }

private:
    void trenner();
    QByteArray m_daten;
    bool m_zeilenAnfang = true;
};

// What the heading says besides the dates: list name, group, rule, minimum.
struct Titel {
    QString listenName;
    QString gruppe; // empty: every group
};
QString ueberschrift(const Tabelle& t);
QString unterzeile(const Tabelle& t, const Titel& titel);

// The fixed columns before the match days.
enum Feste { SpPlatz, SpNr, SpName, SpTage, SpSumme, SpWert };
int festeSpalten(const Tabelle& t); // SpWert only when it differs from the total
QStringList kopfTexte(const Tabelle& t, const QString& datumsFormat = QStringLiteral("dd.MM.yy"));
// A player's cells; a day that does not count (best N) in parentheses when asked.
QStringList zellenTexte(const Tabelle& t, const Spieler& s, bool klammern);
QString zellenText(const Tabelle& t, const Spieler& s, int spalte, bool klammern);

QByteArray csv(const Tabelle& t, const Titel& titel);

// The printable page as HTML for a QTextDocument; the match-day columns are
// split into blocks so a long season fits the page's width.
QString druckHtml(const Tabelle& t, const Titel& titel);
void dokumentEinrichten(QTextDocument& doc, const QString& html);

// Writes the page as an A4 PDF (landscape) through a temporary file that
// replaces the target only when complete. False with the reason.
bool pdfSchreiben(const QString& datei, const Tabelle& t, const Titel& titel, QString* fehler = nullptr);

// The page in the print preview, from which it is printed.
void druckvorschau(QWidget* eltern, const Tabelle& t, const Titel& titel);

} // namespace Saison
