#include "print/dokumente.h"

#include <QLocale>
#include <QSettings>
#include <QSqlQuery>

#include "print/dokumenthilfe.h"
#include "print/tabellensatz.h"
#include "scoring/platzierung.h"
#include "storage/datenbank.h"

namespace Druck
{

Namenszusatz Namenszusatz::aus(const QSettings& s, QSqlDatabase haupt)
{
    Namenszusatz r;
    r.gaesteKennzeichnen = s.value(schluesselGaesteKennzeichnen, false).toBool();
    r.mitgliedsdaten = s.value(schluesselMitgliedsdaten, false).toBool();
    // A roster that never had a member list imported has no such table.
    if (!r.mitgliedsdaten || !haupt.isOpen() || !Db::tabelleVorhanden(haupt, QStringLiteral("Mitgliedsdaten")))
        return r;
    QSqlQuery q = Db::abfrage(haupt, QStringLiteral("SELECT StartNr, MitgliedsNr, Verein FROM Mitgliedsdaten"));
    while (q.next()) {
        QStringList teile;
        for (int i : { 1, 2 }) {
            const QString text = q.value(i).toString().trimmed();
            if (!text.isEmpty())
                teile << text;
        }
        if (!teile.isEmpty())
            r.mitgliedsangaben.insert(q.value(0).toInt(), teile.join(QStringLiteral(", ")));
    }
    return r;
}

QString euro(double betrag)
{
    return QLocale(QLocale::German, QLocale::Germany).toString(betrag, 'f', 2) + QStringLiteral(" \u20ac");
}

QString datumText(const QDate& d)
{
    return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

QString gedruckterName(const Spieltag::SitzEintrag& e)
{
    return e.aktiv ? e.name : QObject::tr("%1 (inaktiv)").arg(e.name);
}

QString dateiName(const QString& gruppe, const QDate& datum, const QString& art, int serie)
{
    QString name = dateiTeil(gruppe);
    if (datum.isValid())
        name += QLatin1Char('_') + datum.toString(QStringLiteral("yyyy-MM-dd"));
    name += QLatin1Char('_') + art;
    if (serie > 0)
        name += QStringLiteral("_S%1").arg(serie);
    return name + QStringLiteral(".pdf");
}

Dokument hinweisDokument(const QString& titel, const QString& dateiVorschlag, const QString& hinweis)
{
    Dokument d;
    d.titel = titel;
    d.dateiVorschlag = dateiVorschlag;
    d.hinweis = hinweis;
    Seite s;
    const qreal b = d.blatt().width() - 2 * rand;
    s.text(QRectF(rand, rand, b, 28), titel, Schrift { 18.0, true }, Ausrichtung::Links, 10.0);
    s.text(QRectF(rand, rand + 60, b, 24), hinweis, Schrift { 14.0, false }, Ausrichtung::Links, 8.0);
    d.seiten.append(s);
    return d;
}

Dokument rangliste(
    const QVector<Rangliste::Platz>& liste, const QDate& start, const QDate& ende, const QString& listenName)
{
    Dokument d;
    d.titel = QObject::tr("Rangliste %1 bis %2").arg(datumText(start), datumText(ende));
    d.dateiVorschlag
        = QStringLiteral("Rangliste_%1_%2.pdf")
              .arg(start.toString(QStringLiteral("yyyy-MM-dd")), ende.toString(QStringLiteral("yyyy-MM-dd")));
    Tabellensatz t;
    t.titel = d.titel;
    t.untertitel = listenName;
    t.spalten = { { QObject::tr("Platz"), Ausrichtung::Rechts, false },
        { QObject::tr("Name"), Ausrichtung::Links, true }, { QObject::tr("Punkte"), Ausrichtung::Rechts, false } };
    QVector<qint64> summen;
    for (const Rangliste::Platz& p : liste)
        summen << p.second;
    const QVector<int> platz = Platzierung::plaetze(summen);
    for (int i = 0; i < liste.size(); ++i)
        t.zeilen.append({ QString::number(platz.at(i)), liste.at(i).first, QString::number(liste.at(i).second) });
    if (liste.isEmpty())
        t.notizen << QObject::tr("Im gew\u00e4hlten Zeitraum wurde kein Spieltag gewertet.");
    tabelleSetzen(d, t, false);
    seitenFuss(d, d.titel);
    return d;
}

} // namespace Druck
