#include "print/blatt.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <cmath>
#include <memory>

#include "print/qrcode.h"

namespace Druck
{

namespace
{

// Texts are measured at the resolution the PDF is written in, so the
// measured widths are the printed ones and hinting plays no part.
constexpr int messDpi = 1200;
constexpr qreal punktJePixel = 72.0 / messDpi;
constexpr qreal innenAbstand = 2.0;

QPaintDevice* messGeraet()
{
    static QImage bild = [] {
        QImage b(1, 1, QImage::Format_RGB32);
        const int proMeter = qRound(messDpi / 0.0254);
        b.setDotsPerMeterX(proMeter);
        b.setDotsPerMeterY(proMeter);
        return b;
    }();
    return &bild;
}

QFont schriftFuer(const Schrift& s, qreal punkte)
{
    QFont f(schriftFamilie());
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(punkte);
    f.setBold(s.fett);
    // No ligatures: a name set with an ff ligature would not be found again when
    // the PDF is searched or copied from.
    f.setKerning(false);
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

// Font metrics are costly to make and documents use a handful of sizes.
const QFontMetricsF& masse(const Schrift& s)
{
    static QHash<qint64, std::shared_ptr<QFontMetricsF>> cache;
    const qint64 schluessel = qRound64(s.groesse * 1000) * 2 + (s.fett ? 1 : 0);
    auto it = cache.constFind(schluessel);
    if (it == cache.constEnd())
        it = cache.insert(schluessel, std::make_shared<QFontMetricsF>(schriftFuer(s, s.groesse), messGeraet()));
    return **it;
}

} // namespace

QString schriftFamilie()
{
    // DejaVu carries umlauts, ß, Greek, Cyrillic and the Latin extensions of
    // eastern European names; elsewhere the system's sans serif stands in.
    return QStringLiteral("DejaVu Sans");
}

qreal breite(const QString& text, const Schrift& schrift)
{
    return masse(schrift).horizontalAdvance(text) * punktJePixel;
}

qreal oberlaenge(const Schrift& schrift)
{
    return masse(schrift).ascent() * punktJePixel;
}

qreal unterlaenge(const Schrift& schrift)
{
    return masse(schrift).descent() * punktJePixel;
}

void Seite::linie(qreal x1, qreal y1, qreal x2, qreal y2, qreal staerke)
{
    linien.append({ QLineF(x1, y1, x2, y2), staerke });
}

void Seite::rahmen(const QRectF& r, qreal staerke)
{
    linie(r.left(), r.top(), r.right(), r.top(), staerke);
    linie(r.left(), r.bottom(), r.right(), r.bottom(), staerke);
    linie(r.left(), r.top(), r.left(), r.bottom(), staerke);
    linie(r.right(), r.top(), r.right(), r.bottom(), staerke);
}

void Seite::flaeche(const QRectF& r, int grau)
{
    flaechen.append({ r, grau });
}

void Seite::textAn(qreal x, qreal y, const QString& text, Schrift schrift)
{
    if (!text.isEmpty())
        texte.append({ QPointF(x, y), text, schrift });
}

void Seite::text(const QRectF& box, const QString& inhalt, Schrift schrift, Ausrichtung a, qreal minGroesse)
{
    if (inhalt.isEmpty())
        return;
    const qreal platz = qMax<qreal>(1.0, box.width() - 2 * innenAbstand);
    QString t = inhalt;
    qreal w = breite(t, schrift);
    if (w > platz) {
        // Shrink in steps of a tenth of a point so few sizes are in play.
        const qreal kleiner = std::floor(schrift.groesse * platz / w * 10.0) / 10.0;
        schrift.groesse = qMax(qMin(kleiner, schrift.groesse), qMin(minGroesse, schrift.groesse));
        w = breite(t, schrift);
        // Widths do not shrink exactly in proportion; a few tenths more.
        for (int i = 0; i < 10 && w > platz && schrift.groesse - 0.1 >= minGroesse; ++i) {
            schrift.groesse -= 0.1;
            w = breite(t, schrift);
        }
        if (w > platz) {
            t = masse(schrift).elidedText(t, Qt::ElideRight, platz / punktJePixel);
            w = breite(t, schrift);
        }
    }
    qreal x = box.left() + innenAbstand;
    if (a == Ausrichtung::Rechts)
        x = box.right() - innenAbstand - w;
    else if (a == Ausrichtung::Mitte)
        x = box.center().x() - w / 2;
    const qreal y = box.center().y() + (oberlaenge(schrift) - unterlaenge(schrift)) / 2;
    texte.append({ QPointF(x, y), t, schrift });
}

QSizeF Dokument::blatt() const
{
    return ausrichtung == QPageLayout::Landscape ? QSizeF(a4Hoehe, a4Breite) : QSizeF(a4Breite, a4Hoehe);
}

static void seiteMalen(QPainter& p, const Seite& s, qreal faktor, qreal schriftFaktor)
{
    p.setPen(Qt::NoPen);
    for (const Seite::Flaeche& f : s.flaechen) {
        p.setBrush(QColor(f.grau, f.grau, f.grau));
        const QRectF& r = f.rechteck;
        p.drawRect(QRectF(r.x() * faktor, r.y() * faktor, r.width() * faktor, r.height() * faktor));
    }
    p.setBrush(Qt::NoBrush);
    QPen stift(Qt::black);
    stift.setCapStyle(Qt::SquareCap);
    qreal staerke = -1;
    for (const Seite::Linie& l : s.linien) {
        if (l.staerke != staerke) {
            staerke = l.staerke;
            stift.setWidthF(staerke * faktor);
            p.setPen(stift);
        }
        p.drawLine(QLineF(l.linie.p1() * faktor, l.linie.p2() * faktor));
    }
    p.setPen(Qt::black);
    Schrift aktuell { -1, false };
    for (const Seite::Text& t : s.texte) {
        if (t.schrift.groesse != aktuell.groesse || t.schrift.fett != aktuell.fett) {
            aktuell = t.schrift;
            p.setFont(schriftFuer(aktuell, aktuell.groesse * schriftFaktor));
        }
        p.drawText(t.grundlinie * faktor, t.text);
    }
    for (const Seite::Qr& q : s.qrCodes) {
        const QRectF& r = q.rechteck;
        Qr::zeichnen(p, QRectF(r.x() * faktor, r.y() * faktor, r.width() * faktor, r.height() * faktor), q.text);
    }
}

bool malen(const Dokument& d, QPagedPaintDevice& geraet)
{
    QPainter p;
    if (!p.begin(&geraet))
        return false;
    const QSizeF blatt = d.blatt();
    // Device units per point; a sheet of another size gets the pages scaled
    // to fit rather than cut off.
    const qreal faktor = qMin(geraet.width() / blatt.width(), geraet.height() / blatt.height());
    const qreal schriftFaktor = faktor / (geraet.logicalDpiY() / 72.0);
    for (int i = 0; i < d.seiten.size(); ++i) {
        if (i > 0 && !geraet.newPage())
            return false;
        seiteMalen(p, d.seiten.at(i), faktor, schriftFaktor);
    }
    return p.end();
}

bool pdfSchreiben(const Dokument& d, const QString& datei, QString* fehler)
{
    auto scheitern = [&](const QString& grund) {
        if (fehler)
            *fehler = QObject::tr("Die Datei %1 konnte nicht geschrieben werden:\n%2").arg(datei, grund);
        return false;
    };
    QSaveFile f(datei);
    if (!f.open(QIODevice::WriteOnly))
        return scheitern(f.errorString());
    bool gemalt = false;
    {
        QPdfWriter pdf(&f);
        pdf.setResolution(messDpi);
        pdf.setTitle(d.titel);
        pdf.setCreator(QStringLiteral("Reizwerk"));
        pdf.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), d.ausrichtung, QMarginsF(0, 0, 0, 0), QPageLayout::Point));
        gemalt = malen(d, pdf);
    }
    if (!gemalt) {
        f.cancelWriting();
        return scheitern(QObject::tr("Die Seiten konnten nicht erzeugt werden."));
    }
    if (!f.commit())
        return scheitern(f.errorString());
    return true;
}

QString dateiTeil(const QString& text)
{
    QString t = text.trimmed();
    for (QChar& c : t)
        if (c.isSpace() || QStringLiteral("/\\:*?\"<>|").contains(c) || c.unicode() < 32)
            c = QLatin1Char('_');
    return t.isEmpty() ? QStringLiteral("Gruppe") : t;
}

} // namespace Druck
