// The results notice of a group, to hang on the wall: places, the points of
// every played series, the total and the prize-skat players.

#include <QCollator>
#include <QLocale>
#include <QObject>

#include <algorithm>

#include "print/dokumente.h"
#include "print/dokumenthilfe.h"
#include "print/tabellensatz.h"
#include "scoring/platzierung.h"

namespace Druck
{

Dokument ergebnisliste(const Spieltag::Gruppe& g, const Regeln::Regelwerte& regeln, const Namenszusatz& zusatz)
{
    Dokument d;
    d.titel = QObject::tr("Ergebnisliste %1 \u2013 %2").arg(g.name, datumText(g.datum));
    d.dateiVorschlag = dateiName(g.name, g.datum, QStringLiteral("Ergebnisliste"));

    // A series nobody has a result in yet is left out rather than shown as
    // a column of zeros.
    QVector<int> gespielt;
    for (int s = 1; s <= g.serien; ++s)
        if (g.serieGespielt(s))
            gespielt << s;

    struct Zeile {
        const Spieltag::Teilnehmer* t;
        qint64 summe;
    };
    QVector<Zeile> zeilen;
    for (const Spieltag::Teilnehmer& t : g.teilnehmer) {
        qint64 summe = 0;
        for (const Spieltag::SerienErgebnis& e : t.serien)
            summe += e.punkte;
        zeilen.append({ &t, summe });
    }
    QCollator ordnung(QLocale(QLocale::German, QLocale::Germany));
    ordnung.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(zeilen.begin(), zeilen.end(), [&ordnung](const Zeile& a, const Zeile& b) {
        if (a.summe != b.summe)
            return a.summe > b.summe;
        const int n = ordnung.compare(a.t->name, b.t->name);
        return n != 0 ? n < 0 : a.t->startNr < b.t->startNr;
    });
    QVector<qint64> summen;
    for (const Zeile& z : zeilen)
        summen << z.summe;
    const QVector<int> platz = Platzierung::plaetze(summen);

    Tabellensatz t;
    t.titel = d.titel;
    QStringList unter;
    if (!regeln.listenName.isEmpty())
        unter << regeln.listenName;
    QStringList nummern;
    for (int s : gespielt)
        nummern << QString::number(s);
    unter << (gespielt.isEmpty() ? QObject::tr("noch keine Serie gewertet")
                                 : QObject::tr("gewertete Serien: %1").arg(nummern.join(QStringLiteral(", "))));
    t.untertitel = unter.join(QStringLiteral(" \u00b7 "));
    t.spalten = { { QObject::tr("Platz"), Ausrichtung::Rechts, false },
        { QObject::tr("Nr"), Ausrichtung::Rechts, false }, { QObject::tr("Name"), Ausrichtung::Links, true } };
    for (int s : gespielt)
        t.spalten.append({ QObject::tr("Serie %1").arg(s), Ausrichtung::Rechts, false });
    t.spalten.append({ QObject::tr("Summe"), Ausrichtung::Rechts, false });
    t.spalten.append({ QObject::tr("Preisskat"), Ausrichtung::Mitte, false });

    int preisskatSpieler = 0;
    for (int i = 0; i < zeilen.size(); ++i) {
        const Spieltag::Teilnehmer& tn = *zeilen.at(i).t;
        QString name = tn.name;
        if (zusatz.gaesteKennzeichnen && !tn.mitglied)
            name += QObject::tr(" (Gast)");
        if (zusatz.mitgliedsdaten && zusatz.mitgliedsangaben.contains(tn.startNr))
            name += QStringLiteral(" \u2013 ") + zusatz.mitgliedsangaben.value(tn.startNr);
        QStringList z { QString::number(platz.at(i)), QString::number(tn.startNr), name };
        for (int s : gespielt) {
            const Spieltag::SerienErgebnis& e = tn.serie(s);
            // Someone who sat the series out has no result in it, not 0.
            z << (!e.aktiv && e.punkte == 0 ? QStringLiteral("\u2013") : QString::number(e.punkte));
        }
        z << QString::number(zeilen.at(i).summe) << (tn.preisskat ? QObject::tr("ja") : QString());
        preisskatSpieler += tn.preisskat ? 1 : 0;
        t.zeilen.append(z);
    }
    t.notizen << QObject::tr("Preisskat: %1 Teilnehmer \u00d7 %2 = %3")
                     .arg(preisskatSpieler)
                     .arg(euro(regeln.preisskat), euro(preisskatSpieler * regeln.preisskat));
    if (gespielt.size() < g.serien)
        t.notizen << QObject::tr("Serien ohne Ergebnisse sind nicht aufgef\u00fchrt.");
    tabelleSetzen(d, t, true);
    seitenFuss(d, QObject::tr("%1 \u00b7 %2 \u00b7 Ergebnisliste").arg(g.name, datumText(g.datum)));
    return d;
}

} // namespace Druck
