#pragma once
// QR codes for the addresses of the tables' pages; the one file that knows
// libqrencode.

#include <QImage>
#include <QRectF>
#include <QString>
#include <QVector>

class QPainter;

namespace Qr
{

// The modules of a QR code (true = dark), row by row, with its side length;
// empty when the text cannot be encoded.
struct Code {
    int seite = 0;
    QVector<bool> module;
    bool dunkel(int x, int y) const { return module.at(y * seite + x); }
};

Code kodieren(const QString& text);

// Paints the code into a square inside the rectangle, with the quiet zone the
// standard asks for; nothing is painted when the text cannot be encoded.
bool zeichnen(QPainter& maler, const QRectF& rechteck, const QString& text);

// The code as a black-and-white image, each module modulPixel pixels wide.
QImage bild(const QString& text, int modulPixel = 8);

} // namespace Qr
