#include "geld/geldausgabe.h"

#include <QObject>

#include "print/dokumenthilfe.h"
#include "print/tabellensatz.h"
#include "season/saisonausgabe.h"

namespace Geld
{

namespace
{

QStringList kopf()
{
    return { QObject::tr("Nr"), QObject::tr("Name"), QObject::tr("Startgeld"), QObject::tr("Kosten"),
        QObject::tr("Preisskat"), QObject::tr("Schuld"), QObject::tr("Gezahlt"), QObject::tr("Preis"),
        QObject::tr("Preisskat-Preis"), QObject::tr("Serienpreis"), QObject::tr("Saldo") };
}

QStringList betraege(const Zeile& z)
{
    return { centText(z.startgeld), centText(z.kosten), centText(z.preisskat), centText(z.schuld()),
        centText(z.gezahlt), centText(z.preis), centText(z.preisskatPreis), centText(z.serienPreis),
        centText(z.saldo()) };
}

QString titel(const Spieltag::Gruppe& g)
{
    return QObject::tr("Abrechnung %1 \u2013 %2").arg(g.name, Druck::datumText(g.datum));
}

} // namespace

QVector<QPair<QString, qint64>> summenZeilen(const Abrechnung& a)
{
    return { { QObject::tr("Einnahmen (geschuldet)"), a.schuld }, { QObject::tr("Gezahlt"), a.gezahlt },
        { QObject::tr("Ausgaben (Preise)"), a.aus }, { QObject::tr("Verbleibt beim Verein"), a.verbleib() },
        { QObject::tr("davon Rest (Rundung, nicht vergebene Plätze)"), a.rundungsRest },
        { QObject::tr("Noch zu zahlen"), a.offen }, { QObject::tr("Auszuzahlen"), a.auszuzahlen } };
}

Druck::Dokument abrechnungsDokument(const Spieltag::Gruppe& g, const Abrechnung& a)
{
    Druck::Dokument d;
    d.titel = titel(g);
    d.dateiVorschlag = Druck::dateiName(g.name, g.datum, QStringLiteral("Abrechnung"));
    Druck::Tabellensatz t;
    t.titel = d.titel;
    t.untertitel = a.gebuehrenGesetzt ? QObject::tr("Preistopf %1 € \u00b7 Preisskat-Topf %2 € \u00b7 %3 Tische")
                                            .arg(centText(a.topf), centText(a.preisskatTopf))
                                            .arg(a.anzahlTische)
                                      : QObject::tr("keine Gebühren");
    t.schrift = { 9.0, false };
    // The paper shows the prizes summed; the CSV has them one by one.
    t.spalten = { { QObject::tr("Nr"), Druck::Ausrichtung::Rechts, false },
        { QObject::tr("Name"), Druck::Ausrichtung::Links, true },
        { QObject::tr("Startgeld"), Druck::Ausrichtung::Rechts, false },
        { QObject::tr("Kosten"), Druck::Ausrichtung::Rechts, false },
        { QObject::tr("Preisskat"), Druck::Ausrichtung::Rechts, false },
        { QObject::tr("Schuld"), Druck::Ausrichtung::Rechts, false },
        { QObject::tr("Gezahlt"), Druck::Ausrichtung::Rechts, false },
        { QObject::tr("Preise"), Druck::Ausrichtung::Rechts, false },
        { QObject::tr("Saldo"), Druck::Ausrichtung::Rechts, false } };
    for (const Zeile& z : a.zeilen)
        t.zeilen.append(
            { QString::number(z.startNr), z.name, centText(z.startgeld), centText(z.kosten), centText(z.preisskat),
                centText(z.schuld()), centText(z.gezahlt), centText(z.gewinn()), centText(z.saldo()) });
    for (const auto& s : summenZeilen(a))
        t.notizen << QStringLiteral("%1: %2 €").arg(s.first, centText(s.second));
    t.notizen << QObject::tr("Saldo positiv: erhält ausgezahlt; negativ: zahlt noch.");
    Druck::tabelleSetzen(d, t, true);
    Druck::seitenFuss(d, QObject::tr("%1 \u00b7 %2 \u00b7 Abrechnung").arg(g.name, Druck::datumText(g.datum)));
    return d;
}

Druck::Dokument belege(const Spieltag::Gruppe& g, const Abrechnung& a)
{
    Druck::Dokument d;
    d.titel = QObject::tr("Belege %1 \u2013 %2").arg(g.name, Druck::datumText(g.datum));
    d.dateiVorschlag = Druck::dateiName(g.name, g.datum, QStringLiteral("Belege"));
    const qreal breite = (Druck::a4Breite - 2 * Druck::rand) / 2;
    const qreal hoehe = (Druck::a4Hoehe - 2 * Druck::rand) / 4;
    const Druck::Schrift kopfSchrift { 10.0, true };
    const Druck::Schrift schrift { 10.0, false };
    const qreal zeile = 14.0;
    for (int i = 0; i < a.zeilen.size(); ++i) {
        if (i % 8 == 0)
            d.seiten.append(Druck::Seite {});
        Druck::Seite& seite = d.seiten.last();
        const QRectF feld(Druck::rand + (i % 2) * breite, Druck::rand + ((i % 8) / 2) * hoehe, breite, hoehe);
        seite.rahmen(feld, 0.3);
        const Zeile& z = a.zeilen.at(i);
        const qreal links = feld.left() + 10, innen = feld.width() - 20;
        qreal y = feld.top() + 8;
        seite.text(QRectF(links, y, innen, zeile), titel(g), kopfSchrift);
        y += zeile;
        seite.name(QRectF(links, y, innen, zeile), QStringLiteral("%1  %2").arg(z.startNr).arg(z.name), schrift,
            Druck::Ausrichtung::Links, 1);
        y += zeile + 4;
        QVector<QPair<QString, qint64>> posten { { QObject::tr("Startgeld"), z.startgeld },
            { QObject::tr("Kosten der Serien"), z.kosten }, { QObject::tr("Preisskat"), z.preisskat },
            { QObject::tr("Schuld"), z.schuld() }, { QObject::tr("Gezahlt"), z.gezahlt },
            { QObject::tr("Preis"), z.preis }, { QObject::tr("Preisskat-Preis"), z.preisskatPreis },
            { QObject::tr("Serienpreis"), z.serienPreis } };
        for (const auto& p : posten) {
            seite.text(QRectF(links, y, innen * 0.6, zeile), p.first, schrift);
            seite.text(QRectF(links + innen * 0.6, y, innen * 0.4, zeile), centText(p.second) + QStringLiteral(" €"),
                schrift, Druck::Ausrichtung::Rechts);
            y += zeile;
        }
        seite.linie(links, y + 1, links + innen, y + 1, 0.5);
        y += 3;
        const qint64 saldo = z.saldo();
        seite.text(QRectF(links, y, innen * 0.6, zeile),
            saldo < 0 ? QObject::tr("Noch zu zahlen") : QObject::tr("Auszuzahlen"), kopfSchrift);
        seite.text(QRectF(links + innen * 0.6, y, innen * 0.4, zeile),
            centText(saldo < 0 ? -saldo : saldo) + QStringLiteral(" €"), kopfSchrift, Druck::Ausrichtung::Rechts);
    }
    if (d.seiten.isEmpty())
        return Druck::hinweisDokument(d.titel, d.dateiVorschlag, QObject::tr("Die Gruppe hat keine Teilnehmer."));
    return d;
}

QByteArray abrechnungCsv(const Spieltag::Gruppe& g, const Abrechnung& a)
{
    Saison::CsvSchreiber c;
    c.feld(titel(g));
    c.zeileEnde();
    if (!a.gebuehrenGesetzt) {
        c.feld(QObject::tr("keine Gebühren"));
        c.zeileEnde();
    }
    for (const QString& k : kopf())
        c.feld(k);
    c.zeileEnde();
    for (const Zeile& z : a.zeilen) {
        c.zahl(z.startNr);
        c.feld(z.name);
        for (const QString& b : betraege(z))
            c.feld(b);
        c.zeileEnde();
    }
    for (const auto& s : summenZeilen(a)) {
        c.feld(s.first);
        c.feld(centText(s.second));
        c.zeileEnde();
    }
    return c.bytes();
}

} // namespace Geld
