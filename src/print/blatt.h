#pragma once
// Printable documents as laid-out pages: every page is a list of texts, lines,
// boxes and QR codes placed in points on an A4 sheet. Laying out once and
// painting the same pages onto a PDF file or a printer keeps the preview, the
// printout and the PDF identical, and lets the page count be known before the
// first page is painted ("Seite 2 von 5").

#include <QLineF>
#include <QPageLayout>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVector>

class QPagedPaintDevice;
class QPainter;

namespace Druck
{

// Size and weight of a text, in points.
struct Schrift {
    qreal groesse = 10.0;
    bool fett = false;
};

enum class Ausrichtung { Links, Rechts, Mitte };

// Names print whole: never smaller than this, on more lines where one line
// would need a smaller size.
inline constexpr qreal kleinsteNamen = 7.0;

// A name laid out for a width: its lines and their size.
struct NamenSatz {
    QStringList zeilen;
    qreal groesse = kleinsteNamen;
};

// Lays a name out in a box: on one line, set smaller down to kleinsteNamen;
// else broken after a space or hyphen (inside a word only where that is not
// enough) into up to `maxZeilen` lines at the largest size that fits the
// width and, down to kleinsteNamen, the height. A size below kleinsteNamen
// is raised to it. Only a name too long even so loses the end of a line to
// an ellipsis.
NamenSatz namenSetzen(const QString& name, const Schrift& schrift, const QSizeF& box, int maxZeilen = 2);

// The narrowest box in which the name fits on `zeilen` lines at the size of
// `schrift` (broken as namenSetzen breaks it).
qreal namenBreite(const QString& name, const Schrift& schrift, int zeilen = 2);

// Height of `zeilen` lines of text at `groesse`.
qreal zeilenHoehe(int zeilen, const Schrift& schrift);

// One page: everything in points from the sheet's top-left corner.
struct Seite {
    struct Text {
        QPointF grundlinie; // left end of the baseline
        QString text;
        Schrift schrift;
    };
    struct Linie {
        QLineF linie;
        qreal staerke = 0.5;
    };
    struct Flaeche {
        QRectF rechteck;
        int grau = 230; // 0 black .. 255 white
    };
    struct Qr {
        QRectF rechteck;
        QString text;
    };
    QVector<Flaeche> flaechen;
    QVector<Linie> linien;
    QVector<Text> texte;
    QVector<Qr> qrCodes;

    void linie(qreal x1, qreal y1, qreal x2, qreal y2, qreal staerke = 0.5);
    void rahmen(const QRectF& r, qreal staerke = 0.5);
    void flaeche(const QRectF& r, int grau = 230);
    void qr(const QRectF& r, const QString& text) { qrCodes.append({ r, text }); }

    // A single line of text placed in a box: vertically centred, aligned
    // horizontally; a text too wide is set smaller down to `minGroesse`, and
    // only below that shortened with an ellipsis.
    void text(const QRectF& box, const QString& text, Schrift schrift, Ausrichtung a = Ausrichtung::Links,
        qreal minGroesse = 6.0);
    // A name set whole (namenSetzen) in a box, its lines centred vertically.
    void name(const QRectF& box, const QString& name, const Schrift& schrift, Ausrichtung a = Ausrichtung::Links,
        int maxZeilen = 2);
    // Text whose baseline is at y, starting at x.
    void textAn(qreal x, qreal y, const QString& text, Schrift schrift);
};

// A whole document: its pages, their orientation, a title (the preview's
// window title and the PDF's title) and the suggested file name.
struct Dokument {
    QString titel;
    QString dateiVorschlag;
    QPageLayout::Orientation ausrichtung = QPageLayout::Portrait;
    QVector<Seite> seiten;
    // Set when there is nothing to print (a series not drawn); the one page
    // then says so.
    QString hinweis;

    // Sheet size in points for the orientation.
    QSizeF blatt() const;
};

// A4 in points, and the margin every document keeps.
inline constexpr qreal a4Breite = 595.28;
inline constexpr qreal a4Hoehe = 841.89;
inline constexpr qreal rand = 34.0; // 12 mm

// Width of a text in points, set in that font.
qreal breite(const QString& text, const Schrift& schrift);
// Ascent and descent of a font in points.
qreal oberlaenge(const Schrift& schrift);
qreal unterlaenge(const Schrift& schrift);

// The font documents are set in.
QString schriftFamilie();

// Paints every page onto a device that is already set to the document's
// page size; the pages are scaled to fit the device's sheet. Returns false
// when the painter could not start on the device.
bool malen(const Dokument& d, QPagedPaintDevice& geraet);

// Writes the document as an A4 PDF. The file appears complete or not at
// all: it is written beside the target and renamed at the end. On failure
// returns false with the reason in German.
bool pdfSchreiben(const Dokument& d, const QString& datei, QString* fehler = nullptr);

// A file-name part without characters that file systems refuse.
QString dateiTeil(const QString& text);

} // namespace Druck
