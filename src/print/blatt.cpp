#include "print/blatt.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <functional>
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

namespace
{

struct Aufteilung {
    QVector<int> enden; // end of each line but the last, into the name
    qreal breiteste = 0; // at the measured size
};

// The split of a name into `zeilen` lines whose widest line is narrowest,
// with breaks only where `erlaubt` says. `vor[i]` is the width of the first i
// characters; a space at a break is dropped.
Aufteilung besteAufteilung(const QString& name, const QVector<qreal>& vor, const QVector<bool>& erlaubt, int zeilen)
{
    const int n = name.size();
    auto zeilenBreite = [&](int von, int bis) {
        int ende = bis;
        while (ende > von && name.at(ende - 1) == QLatin1Char(' '))
            --ende;
        int anfang = von;
        while (anfang < ende && name.at(anfang) == QLatin1Char(' '))
            ++anfang;
        return vor[ende] - vor[anfang];
    };
    Aufteilung beste;
    beste.breiteste = -1;
    QVector<int> enden;
    // Few lines and short names: every combination is tried.
    std::function<void(int, int, qreal)> suchen = [&](int von, int rest, qreal bisher) {
        if (beste.breiteste >= 0 && bisher >= beste.breiteste)
            return;
        if (rest == 1) {
            const qreal b = qMax(bisher, zeilenBreite(von, n));
            if (beste.breiteste < 0 || b < beste.breiteste) {
                beste.breiteste = b;
                beste.enden = enden;
            }
            return;
        }
        for (int i = von + 1; i < n; ++i) {
            if (!erlaubt[i])
                continue;
            enden.append(i);
            suchen(i, rest - 1, qMax(bisher, zeilenBreite(von, i)));
            enden.removeLast();
        }
    };
    suchen(0, zeilen, 0);
    return beste;
}

// Where a name may break, and the widths of its beginnings at one size.
struct Umbrueche {
    QVector<qreal> vor; // width of the first i characters
    QVector<bool> wort; // after a space or a hyphen
    QVector<bool> zeichen; // also inside a word

    Umbrueche(const QString& name, const Schrift& schrift)
    {
        const int n = name.size();
        vor.fill(0, n + 1);
        wort.fill(false, n + 1);
        zeichen.fill(false, n + 1);
        // Without kerning and shaping a text is as wide as its characters
        // side by side; the lines chosen are measured whole afterwards.
        const QFontMetricsF& m = masse(schrift);
        for (int i = 1; i <= n; ++i) {
            const QChar c = name.at(i - 1);
            qreal w = 0;
            if (c.isHighSurrogate() && i < n)
                w = m.horizontalAdvance(name.mid(i - 1, 2));
            else if (!c.isLowSurrogate())
                w = m.horizontalAdvance(c);
            vor[i] = vor[i - 1] + w * punktJePixel;
        }
        for (int i = 1; i < n; ++i) {
            const QChar c = name.at(i - 1);
            const QChar d = name.at(i);
            wort[i] = c == QLatin1Char(' ') || (c == QLatin1Char('-') && d != QLatin1Char(' '));
            zeichen[i] = wort[i] || (!d.isLowSurrogate() && d != QLatin1Char(' ') && c != QLatin1Char(' '));
        }
    }
};

QStringList zeilenAus(const QString& name, const QVector<int>& enden)
{
    QStringList z;
    int von = 0;
    for (int e : enden) {
        z << name.mid(von, e - von).trimmed();
        von = e;
    }
    z << name.mid(von).trimmed();
    return z;
}

} // namespace

qreal namenBreite(const QString& name, const Schrift& schrift, int zeilen)
{
    const qreal eine = breite(name, schrift);
    if (zeilen <= 1 || name.isEmpty())
        return eine + 2 * innenAbstand;
    const Umbrueche u(name, schrift);
    Aufteilung a = besteAufteilung(name, u.vor, u.wort, zeilen);
    if (a.breiteste < 0)
        a = besteAufteilung(name, u.vor, u.zeichen, zeilen);
    // Widths of beginnings add up to a line's width only nearly.
    return (a.breiteste < 0 ? eine : a.breiteste) + 2 * innenAbstand + 0.5;
}

qreal zeilenHoehe(int zeilen, const Schrift& schrift)
{
    return zeilen * (oberlaenge(schrift) + unterlaenge(schrift));
}

NamenSatz namenSetzen(const QString& name, const Schrift& schrift, const QSizeF& box, int maxZeilen)
{
    const qreal platz = qMax<qreal>(1.0, box.width() - 2 * innenAbstand);
    const qreal start = qMax(schrift.groesse, kleinsteNamen);
    const Schrift mess { start, schrift.fett };
    auto breiteste = [&](const QStringList& zeilen, qreal g) {
        qreal w = 0;
        for (const QString& z : zeilen)
            w = qMax(w, breite(z, Schrift { g, schrift.fett }));
        return w;
    };
    // The largest size, in tenths, at which every line fits the width and the
    // lines fit the height; below kleinsteNamen when they do not fit at it.
    auto groesseFuer = [&](const QStringList& zeilen) {
        const qreal w = breiteste(zeilen, start);
        qreal g = start;
        if (w > platz) {
            g = std::floor(start * platz / w * 10.0) / 10.0;
            // Widths do not shrink exactly in proportion; a few tenths more.
            for (int i = 0; i < 20 && g >= kleinsteNamen && breiteste(zeilen, g) > platz; ++i)
                g = std::round(g * 10.0 - 1.0) / 10.0;
            if (g < kleinsteNamen || breiteste(zeilen, g) > platz)
                return kleinsteNamen - 1.0;
        }
        // A box too low gets smaller lines, down to kleinsteNamen; below
        // that the lines reach beyond it rather than shrink.
        const qreal hoehe = zeilenHoehe(zeilen.size(), Schrift { g, schrift.fett });
        if (hoehe > box.height())
            g = qMax(kleinsteNamen, std::floor(g * box.height() / hoehe * 10.0) / 10.0);
        return qMin(start, g);
    };

    NamenSatz satz;
    satz.zeilen = QStringList { name };
    satz.groesse = groesseFuer(satz.zeilen);
    if (name.isEmpty() || satz.groesse >= kleinsteNamen)
        return satz;

    // The same long names come back for every box they are set in.
    thread_local QHash<QString, NamenSatz> gesetzt;
    const QString schluessel = QStringLiteral("%1|%2|%3|%4|%5|%6")
                                   .arg(start)
                                   .arg(int(schrift.fett))
                                   .arg(platz)
                                   .arg(box.height())
                                   .arg(maxZeilen)
                                   .arg(name);
    const auto bekannt = gesetzt.constFind(schluessel);
    if (bekannt != gesetzt.constEnd())
        return *bekannt;
    if (gesetzt.size() > 20000)
        gesetzt.clear();

    const Umbrueche u(name, mess);
    // Breaks between words on more lines read better than one inside a word.
    for (const QVector<bool>* erlaubt : { &u.wort, &u.zeichen }) {
        for (int zeilen = 2; zeilen <= maxZeilen; ++zeilen) {
            const Aufteilung a = besteAufteilung(name, u.vor, *erlaubt, zeilen);
            if (a.breiteste < 0)
                continue;
            const QStringList z = zeilenAus(name, a.enden);
            const qreal g = groesseFuer(z);
            if (g >= kleinsteNamen) {
                gesetzt.insert(schluessel, NamenSatz { z, g });
                return NamenSatz { z, g };
            }
            satz = NamenSatz { z, kleinsteNamen };
        }
    }
    // Too long for every way: the smallest size, a line still too wide
    // shortened.
    satz.groesse = kleinsteNamen;
    const Schrift klein { kleinsteNamen, schrift.fett };
    for (QString& z : satz.zeilen)
        if (breite(z, klein) > platz)
            z = masse(klein).elidedText(z, Qt::ElideRight, platz / punktJePixel);
    gesetzt.insert(schluessel, satz);
    return satz;
}

void Seite::name(const QRectF& box, const QString& name, const Schrift& schrift, Ausrichtung a, int maxZeilen)
{
    if (name.isEmpty())
        return;
    const NamenSatz satz = namenSetzen(name, schrift, box.size(), maxZeilen);
    const Schrift s { satz.groesse, schrift.fett };
    const qreal zeile = oberlaenge(s) + unterlaenge(s);
    qreal y = box.center().y() - zeile * satz.zeilen.size() / 2 + oberlaenge(s);
    for (const QString& z : satz.zeilen) {
        const qreal w = breite(z, s);
        qreal x = box.left() + innenAbstand;
        if (a == Ausrichtung::Rechts)
            x = box.right() - innenAbstand - w;
        else if (a == Ausrichtung::Mitte)
            x = box.center().x() - w / 2;
        texte.append({ QPointF(x, y), z, s });
        y += zeile;
    }
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
