// The seating list of a series: the tables as blocks, two side by side, then
// everybody alphabetically with table and seat.

#include <QCollator>
#include <QLocale>
#include <QObject>

#include <algorithm>
#include <numeric>

#include "draw/auslosungsdaten.h"
#include "print/dokumente.h"
#include "print/dokumenthilfe.h"
#include "print/tabellensatz.h"

namespace Druck
{

namespace
{

constexpr qreal kopfHoehe = 24.0;
constexpr qreal zeile = 17.0;
constexpr qreal qrSeite = 62.0;
constexpr qreal adressHoehe = 10.0;
constexpr qreal blockLuecke = 14.0;
constexpr qreal namenLinks = 58.0;
const Schrift schrift { 11.0, false };

// One block of the grid: a strip with a heading and rows below it.
struct Block {
    QString ueberschrift;
    QString zusatz; // right of the heading, small
    QVector<QStringList> zeilen; // seat, start number, name
    QString adresse; // QR code of the table's page, when given

    qreal qrBreite() const { return adresse.isEmpty() ? 0.0 : qrSeite + 4; }

    // A row grows with the lines its name needs.
    QVector<qreal> zeilenHoehen(qreal breite) const
    {
        QVector<qreal> h;
        for (const QStringList& z : zeilen) {
            const int n = namenSetzen(z.value(2), schrift, QSizeF(breite - namenLinks - qrBreite(), 1000.0), 3)
                              .zeilen.size();
            h << (n > 1 ? qMax(zeile, zeilenHoehe(n, Schrift { kleinsteNamen, false }) + 1.0) : zeile);
        }
        return h;
    }

    qreal inhaltHoehe(qreal breite) const
    {
        const QVector<qreal> h = zeilenHoehen(breite);
        return std::accumulate(h.cbegin(), h.cend(), qreal(0));
    }

    qreal hoehe(qreal breite) const
    {
        qreal inhalt = inhaltHoehe(breite);
        if (!adresse.isEmpty())
            inhalt = qMax(inhalt, qrSeite) + adressHoehe;
        return kopfHoehe + inhalt + 4;
    }

    void malen(Seite& s, qreal x, qreal y, qreal breite) const
    {
        s.flaeche(QRectF(x, y, breite, kopfHoehe), 215);
        s.text(QRectF(x + 2, y, breite * 0.6, kopfHoehe), ueberschrift, Schrift { 15.0, true });
        s.text(QRectF(x + breite * 0.5, y, breite * 0.5 - 2, kopfHoehe), zusatz, Schrift { 9.0, false },
            Ausrichtung::Rechts);
        const qreal qr = qrBreite();
        const QVector<qreal> hoehen = zeilenHoehen(breite);
        qreal zy = y + kopfHoehe;
        for (int i = 0; i < zeilen.size(); ++i) {
            const QStringList& z = zeilen.at(i);
            const qreal h = hoehen.at(i);
            s.text(QRectF(x, zy, 20, h), z.value(0), Schrift { 11.0, true }, Ausrichtung::Rechts);
            s.text(QRectF(x + 20, zy, 36, h), z.value(1), schrift, Ausrichtung::Rechts);
            s.name(QRectF(x + namenLinks, zy, breite - namenLinks - qr, h), z.value(2), schrift, Ausrichtung::Links, 3);
            zy += h;
            s.linie(x, zy, x + breite - qr, zy, 0.3);
        }
        if (!adresse.isEmpty()) {
            s.qr(QRectF(x + breite - qrSeite, y + kopfHoehe + 1, qrSeite, qrSeite), adresse);
            const qreal unten = y + kopfHoehe + qMax(inhaltHoehe(breite), qrSeite);
            s.text(QRectF(x, unten, breite, adressHoehe), adresse, Schrift { 6.0, false }, Ausrichtung::Rechts, 4.0);
        }
        s.rahmen(QRectF(x, y, breite, hoehe(breite) - 4), 0.8);
    }
};

qreal titelZeilen(Seite& s, const Dokument& d, const QString& titel, const QString& untertitel)
{
    const qreal b = d.blatt().width() - 2 * rand;
    s.text(QRectF(rand, rand, b, 26), titel, Schrift { 18.0, true }, Ausrichtung::Links, 10.0);
    s.text(QRectF(rand, rand + 26, b, 18), untertitel, Schrift { 11.0, false }, Ausrichtung::Links, 7.0);
    return rand + 54;
}

} // namespace

Dokument tischliste(const Spieltag::Gruppe& g, int serie, const TischAdresse& tischAdresse)
{
    const QString titel = QObject::tr("Tischliste Serie %1").arg(serie);
    QString untertitel = QObject::tr("Gruppe %1 \u2013 %2").arg(g.name, datumText(g.datum));
    // A random draw's number and quality, so the seating can be checked and drawn again.
    if (g.losungen.contains(serie))
        untertitel += QObject::tr(" \u2013 Losnummer %1, %2")
                          .arg(g.losungen.value(serie).losnummer)
                          .arg(Auslosungsdaten::gueteText(g.losungen.value(serie)));
    const QString vorschlag = dateiName(g.name, g.datum, QStringLiteral("Tischliste"), serie);
    const QVector<Spieltag::Tisch> tische = Spieltag::tische(g, serie);
    if (tische.isEmpty())
        return hinweisDokument(titel + QStringLiteral(" \u2013 ") + g.name, vorschlag,
            QObject::tr("Serie %1 ist noch nicht ausgelost.").arg(serie));

    Dokument d;
    d.titel = titel + QStringLiteral(" \u2013 ") + g.name;
    d.dateiVorschlag = vorschlag;

    QVector<Block> bloecke;
    for (const Spieltag::Tisch& t : tische) {
        Block b;
        b.ueberschrift = QObject::tr("Tisch %1").arg(t.nummer);
        b.zusatz = t.sitze.size() <= 3 ? QObject::tr("3er-Tisch") : QString();
        for (const Spieltag::SitzEintrag& e : t.sitze)
            b.zeilen.append({ QString::number(e.platz), QString::number(e.startNr), gedruckterName(e) });
        if (tischAdresse)
            b.adresse = tischAdresse(g.name, serie, t.nummer);
        bloecke.append(b);
    }
    const QVector<const Spieltag::Teilnehmer*> aus = Spieltag::nichtSpielend(g, serie);
    if (!aus.isEmpty()) {
        Block b;
        b.ueberschrift = QObject::tr("Spielen nicht");
        b.zusatz = QObject::tr("in Serie %1").arg(serie);
        for (const Spieltag::Teilnehmer* t : aus)
            b.zeilen.append({ QString(), QString::number(t->startNr), t->name });
        bloecke.append(b);
    }

    // The grid: two blocks a row, a row never split across pages.
    const qreal breite = (d.blatt().width() - 2 * rand - blockLuecke) / 2;
    const qreal unten = inhaltUnten(d);
    qreal y = unten;
    for (int i = 0; i < bloecke.size(); i += 2) {
        const qreal h
            = qMax(bloecke.at(i).hoehe(breite), i + 1 < bloecke.size() ? bloecke.at(i + 1).hoehe(breite) : 0.0);
        if (y + h > unten) {
            d.seiten.append(Seite());
            y = titelZeilen(d.seiten.last(), d, titel, untertitel);
        }
        bloecke.at(i).malen(d.seiten.last(), rand, y, breite);
        if (i + 1 < bloecke.size())
            bloecke.at(i + 1).malen(d.seiten.last(), rand + breite + blockLuecke, y, breite);
        y += h + 8;
    }

    // Everybody by surname, so a player finds his table without knowing it.
    struct Eintrag {
        const Spieltag::Teilnehmer* t;
        QString name, tisch, platz;
    };
    QVector<Eintrag> alle;
    for (const Spieltag::Teilnehmer& t : g.teilnehmer) {
        const Spieltag::SerienErgebnis& e = t.serie(serie);
        if (e.tisch > 0)
            alle.append({ &t, gedruckterName({ e.platz, t.startNr, t.name, e.aktiv }), QString::number(e.tisch),
                QString::number(e.platz) });
        else if (!e.aktiv)
            alle.append({ &t, t.name, QObject::tr("spielt nicht"), QString() });
        else
            alle.append({ &t, t.name, QObject::tr("ohne Platz"), QString() });
    }
    QCollator ordnung(QLocale(QLocale::German, QLocale::Germany));
    ordnung.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(alle.begin(), alle.end(), [&ordnung](const Eintrag& a, const Eintrag& b) {
        const int n = ordnung.compare(a.t->nachName(), b.t->nachName());
        if (n != 0)
            return n < 0;
        const int v = ordnung.compare(a.t->name, b.t->name);
        return v != 0 ? v < 0 : a.t->startNr < b.t->startNr;
    });
    Tabellensatz wer;
    wer.titel = QObject::tr("Wer sitzt wo \u2013 Serie %1").arg(serie);
    wer.untertitel = untertitel;
    wer.schrift = Schrift { 10.0, false };
    wer.bloecke = 2;
    wer.spalten = { { QObject::tr("Name"), Ausrichtung::Links, true },
        { QObject::tr("Nr"), Ausrichtung::Rechts, false }, { QObject::tr("Tisch"), Ausrichtung::Rechts, false },
        { QObject::tr("Platz"), Ausrichtung::Rechts, false } };
    for (const Eintrag& e : alle)
        wer.zeilen.append({ e.name, QString::number(e.t->startNr), e.tisch, e.platz });
    tabelleSetzen(d, wer, false);

    seitenFuss(d, QObject::tr("%1 \u00b7 %2 \u00b7 Tischliste Serie %3").arg(g.name, datumText(g.datum)).arg(serie));
    return d;
}

} // namespace Druck
