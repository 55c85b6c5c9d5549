#include "print/qrcode.h"

#include <QPainter>

#include <qrencode.h>

namespace Qr
{

// Four modules of light margin around the code, as readers expect.
static constexpr int ruhezone = 4;

Code kodieren(const QString& text)
{
    Code code;
    const QByteArray utf8 = text.toUtf8();
    QRcode* qr = QRcode_encodeString8bit(utf8.constData(), 0, QR_ECLEVEL_M);
    if (!qr)
        return code;
    code.seite = qr->width;
    code.module.resize(qr->width * qr->width);
    for (int i = 0; i < code.module.size(); ++i)
        code.module[i] = (qr->data[i] & 1) != 0;
    QRcode_free(qr);
    return code;
}

bool zeichnen(QPainter& maler, const QRectF& rechteck, const QString& text)
{
    const Code code = kodieren(text);
    if (code.seite == 0)
        return false;
    const qreal seite = qMin(rechteck.width(), rechteck.height());
    const qreal modul = seite / (code.seite + 2 * ruhezone);
    const QPointF ursprung(rechteck.left() + (rechteck.width() - seite) / 2 + ruhezone * modul,
        rechteck.top() + (rechteck.height() - seite) / 2 + ruhezone * modul);
    maler.save();
    maler.setPen(Qt::NoPen);
    maler.setBrush(Qt::white);
    maler.drawRect(QRectF(ursprung - QPointF(ruhezone * modul, ruhezone * modul), QSizeF(seite, seite)));
    maler.setBrush(Qt::black);
    for (int y = 0; y < code.seite; ++y)
        for (int x = 0; x < code.seite; ++x)
            if (code.dunkel(x, y))
                // A hair of overlap keeps printers from leaving white seams.
                maler.drawRect(QRectF(ursprung.x() + x * modul, ursprung.y() + y * modul, modul * 1.02, modul * 1.02));
    maler.restore();
    return true;
}

QImage bild(const QString& text, int modulPixel)
{
    const Code code = kodieren(text);
    if (code.seite == 0)
        return {};
    const int seite = (code.seite + 2 * ruhezone) * modulPixel;
    QImage bild(seite, seite, QImage::Format_RGB32);
    bild.fill(Qt::white);
    QPainter maler(&bild);
    zeichnen(maler, QRectF(0, 0, seite, seite), text);
    return bild;
}

} // namespace Qr
