#include "geld/geldspeicher.h"

#include <QSettings>
#include <QSqlQuery>
#include <QStringList>

#include "scoring/regeln.h"
#include "storage/datenbank.h"

namespace Geld
{

namespace
{

const QString artProzent = QStringLiteral("Prozent");
const QString artBetrag = QStringLiteral("Betrag");

bool tabellenAnlegen(QSqlDatabase db)
{
    return Db::ausfuehren(
               db, QStringLiteral("CREATE TABLE IF NOT EXISTS Gebuehren (Startgeld INTEGER, Preisskat INTEGER)"))
        && Db::ausfuehren(db,
            QStringLiteral("CREATE TABLE IF NOT EXISTS Auszahlplan (Art TEXT, Werte TEXT, Anzahl INTEGER, ProTisch "
                           "INTEGER, KostenAnteil INTEGER, SerienPreis INTEGER)"))
        && Db::ausfuehren(db,
            QStringLiteral("CREATE TABLE IF NOT EXISTS Zahlungen (StartNr INTEGER PRIMARY KEY, Alles INTEGER, Betrag "
                           "INTEGER)"));
}

bool vormerkungAnlegen(QSqlDatabase haupt)
{
    return Db::ausfuehren(haupt,
        QStringLiteral(
            "CREATE TABLE IF NOT EXISTS VorgemerkteZahlungen (Datum TEXT NOT NULL, Gruppe TEXT NOT NULL, "
            "StartNr INTEGER NOT NULL, Alles INTEGER, Betrag INTEGER, PRIMARY KEY (Datum, Gruppe, StartNr))"));
}

QString datumText(const QDate& tag)
{
    return tag.toString(QStringLiteral("yyyy-MM-dd"));
}

// Hundredths of a percent or cents, both written with two decimals.
QString hundertstel(qint64 w)
{
    QString t = centText(w);
    if (t.endsWith(QLatin1String(",00")))
        t.chop(3);
    return t;
}

} // namespace

QString werteText(const Auszahlplan& plan)
{
    QStringList teile;
    for (qint64 w : plan.werte)
        teile << hundertstel(w);
    return teile.join(QLatin1Char(';'));
}

bool werteAusText(const QString& text, Auszahlplan::Art art, QVector<qint64>& werte)
{
    QVector<qint64> neu;
    qint64 summe = 0;
    for (const QString& teil : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        qint64 w = 0;
        if (!centAusText(teil, w))
            return false;
        neu << w;
        summe += w;
    }
    // Shares above 100 % would pay out more than the pot.
    if (art == Auszahlplan::Art::Prozent && summe > 10000)
        return false;
    werte = neu;
    return true;
}

bool lesen(QSqlDatabase db, Gebuehren& gebuehren, Auszahlplan& plan, QMap<int, Zahlung>& zahlungen, QString* fehler)
{
    gebuehren = Gebuehren {};
    zahlungen.clear();
    const auto misslungen = [&](const QString& tabelle) {
        if (fehler)
            *fehler = QStringLiteral("Die Tabelle %1 ist nicht lesbar.").arg(tabelle);
        return false;
    };
    if (Db::tabelleVorhanden(db, QStringLiteral("Gebuehren"))) {
        QSqlQuery q = Db::abfrage(db, QStringLiteral("SELECT Startgeld, Preisskat FROM Gebuehren"));
        if (!q.isActive())
            return misslungen(QStringLiteral("Gebuehren"));
        if (q.next()) {
            gebuehren.gesetzt = true;
            gebuehren.startgeld = std::max<qint64>(0, q.value(0).toLongLong());
            gebuehren.preisskat = std::max<qint64>(0, q.value(1).toLongLong());
        }
    }
    if (Db::tabelleVorhanden(db, QStringLiteral("Auszahlplan"))) {
        QSqlQuery q = Db::abfrage(
            db, QStringLiteral("SELECT Art, Werte, Anzahl, ProTisch, KostenAnteil, SerienPreis FROM Auszahlplan"));
        if (!q.isActive())
            return misslungen(QStringLiteral("Auszahlplan"));
        if (q.next()) {
            Auszahlplan p;
            p.art = q.value(0).toString() == artBetrag ? Auszahlplan::Art::Betrag : Auszahlplan::Art::Prozent;
            if (!werteAusText(q.value(1).toString(), p.art, p.werte))
                return misslungen(QStringLiteral("Auszahlplan"));
            p.anzahl = std::max(0, q.value(2).toInt());
            p.einProTisch = q.value(3).toInt() != 0;
            p.kostenAnteil = std::clamp(q.value(4).toInt(), 0, 100);
            p.serienPreis = std::max<qint64>(0, q.value(5).toLongLong());
            plan = p;
        }
    }
    if (Db::tabelleVorhanden(db, QStringLiteral("Zahlungen"))) {
        QSqlQuery q = Db::abfrage(db, QStringLiteral("SELECT StartNr, Alles, Betrag FROM Zahlungen"));
        if (!q.isActive())
            return misslungen(QStringLiteral("Zahlungen"));
        while (q.next())
            zahlungen.insert(
                q.value(0).toInt(), { q.value(1).toInt() != 0, std::max<qint64>(0, q.value(2).toLongLong()) });
    }
    return true;
}

bool festlegen(QSqlDatabase db, const Gebuehren& gebuehren, const Auszahlplan& plan, QString* fehler)
{
    Db::Transaktion t(db);
    const bool ok = t.begonnen() && tabellenAnlegen(db) && Db::ausfuehren(db, QStringLiteral("DELETE FROM Gebuehren"))
        && Db::ausfuehren(db, QStringLiteral("INSERT INTO Gebuehren (Startgeld, Preisskat) VALUES (?, ?)"),
            { gebuehren.startgeld, gebuehren.preisskat })
        && Db::ausfuehren(db, QStringLiteral("DELETE FROM Auszahlplan"))
        && Db::ausfuehren(db,
            QStringLiteral("INSERT INTO Auszahlplan (Art, Werte, Anzahl, ProTisch, KostenAnteil, SerienPreis) VALUES "
                           "(?, ?, ?, ?, ?, ?)"),
            { plan.art == Auszahlplan::Art::Betrag ? artBetrag : artProzent, werteText(plan), plan.anzahl,
                plan.einProTisch ? 1 : 0, plan.kostenAnteil, plan.serienPreis })
        && t.abschliessen();
    if (!ok && fehler)
        *fehler = QStringLiteral("Die Gebühren konnten nicht gespeichert werden.");
    return ok;
}

bool zahlungSpeichern(QSqlDatabase db, int startNr, const Zahlung& z, QString* fehler)
{
    Db::Transaktion t(db);
    bool ok = t.begonnen() && tabellenAnlegen(db);
    if (ok && !z.alles && z.betrag <= 0)
        ok = Db::ausfuehren(db, QStringLiteral("DELETE FROM Zahlungen WHERE StartNr = ?"), { startNr });
    else if (ok)
        ok = Db::ausfuehren(db,
            QStringLiteral("INSERT OR REPLACE INTO Zahlungen (StartNr, Alles, Betrag) VALUES (?, ?, ?)"),
            { startNr, z.alles ? 1 : 0, z.betrag });
    ok = ok && t.abschliessen();
    if (!ok && fehler)
        *fehler = QStringLiteral("Die Zahlung von %1 konnte nicht gespeichert werden.").arg(startNr);
    return ok;
}

bool vormerken(
    QSqlDatabase haupt, const QDate& tag, const QString& gruppe, int startNr, const Zahlung& z, QString* fehler)
{
    Db::Transaktion t(haupt);
    bool ok = t.begonnen() && vormerkungAnlegen(haupt);
    if (ok && !z.alles && z.betrag <= 0)
        ok = Db::ausfuehren(haupt,
            QStringLiteral("DELETE FROM VorgemerkteZahlungen WHERE Datum = ? AND Gruppe = ? AND StartNr = ?"),
            { datumText(tag), gruppe, startNr });
    else if (ok)
        ok = Db::ausfuehren(haupt,
            QStringLiteral("INSERT OR REPLACE INTO VorgemerkteZahlungen (Datum, Gruppe, StartNr, Alles, Betrag) "
                           "VALUES (?, ?, ?, ?, ?)"),
            { datumText(tag), gruppe, startNr, z.alles ? 1 : 0, std::max<qint64>(0, z.betrag) });
    ok = ok && t.abschliessen();
    if (!ok && fehler)
        *fehler = QStringLiteral("Die Zahlung von %1 konnte nicht vorgemerkt werden.").arg(startNr);
    return ok;
}

bool vorgemerkt(
    QSqlDatabase haupt, const QDate& tag, const QString& gruppe, QMap<int, Zahlung>& zahlungen, QString* fehler)
{
    zahlungen.clear();
    if (!Db::tabelleVorhanden(haupt, QStringLiteral("VorgemerkteZahlungen")))
        return true;
    QSqlQuery q = Db::abfrage(haupt,
        QStringLiteral("SELECT StartNr, Alles, Betrag FROM VorgemerkteZahlungen WHERE Datum = ? AND Gruppe = ?"),
        { datumText(tag), gruppe });
    if (!q.isActive()) {
        if (fehler)
            *fehler = QStringLiteral("Die vorgemerkten Zahlungen sind nicht lesbar.");
        return false;
    }
    while (q.next())
        zahlungen.insert(q.value(0).toInt(), { q.value(1).toInt() != 0, std::max<qint64>(0, q.value(2).toLongLong()) });
    return true;
}

bool vormerkungenStreichen(
    QSqlDatabase haupt, const QDate& tag, const QString& gruppe, const QVector<int>& startNrs, QString* fehler)
{
    if (startNrs.isEmpty() || !Db::tabelleVorhanden(haupt, QStringLiteral("VorgemerkteZahlungen")))
        return true;
    Db::Transaktion t(haupt);
    bool ok = t.begonnen();
    for (int i = 0; ok && i < startNrs.size(); ++i)
        ok = Db::ausfuehren(haupt,
            QStringLiteral("DELETE FROM VorgemerkteZahlungen WHERE Datum = ? AND Gruppe = ? AND StartNr = ?"),
            { datumText(tag), gruppe, startNrs.at(i) });
    ok = ok && t.abschliessen();
    if (!ok && fehler)
        *fehler = QStringLiteral("Die vorgemerkten Zahlungen konnten nicht gestrichen werden.");
    return ok;
}

bool vormerkungenEinloesen(QSqlDatabase haupt, QSqlDatabase gruppeDb, const QDate& tag, const QString& gruppe,
    const QSet<int>& teilnehmer, int* uebernommen, QString* fehler)
{
    if (uebernommen)
        *uebernommen = 0;
    QMap<int, Zahlung> offen;
    if (!vorgemerkt(haupt, tag, gruppe, offen, fehler))
        return false;
    if (offen.isEmpty())
        return true;
    int anzahl = 0;
    {
        Db::Transaktion t(gruppeDb);
        bool ok = t.begonnen() && tabellenAnlegen(gruppeDb);
        for (auto i = offen.cbegin(); ok && i != offen.cend(); ++i) {
            if (!teilnehmer.contains(i.key()))
                continue;
            QSqlQuery q(gruppeDb);
            ok = Db::ausfuehren(q,
                QStringLiteral("INSERT OR IGNORE INTO Zahlungen (StartNr, Alles, Betrag) VALUES (?, ?, ?)"),
                { i.key(), i.value().alles ? 1 : 0, i.value().betrag });
            anzahl += ok ? std::max(0, q.numRowsAffected()) : 0;
        }
        if (!(ok && t.abschliessen())) {
            if (fehler)
                *fehler = QStringLiteral("Die an der Tür bezahlten Beträge konnten nicht in die Gruppe %1 übernommen "
                                         "werden; sie bleiben vorgemerkt.")
                              .arg(gruppe);
            return false;
        }
    }
    if (uebernommen)
        *uebernommen = anzahl;
    // The group holds them now; a row left behind here would only be taken
    // over again without effect.
    if (!Db::ausfuehren(haupt, QStringLiteral("DELETE FROM VorgemerkteZahlungen WHERE Datum = ? AND Gruppe = ?"),
            { datumText(tag), gruppe })
        && fehler)
        *fehler = QStringLiteral("Die vorgemerkten Zahlungen der Gruppe %1 konnten nicht entfernt werden.").arg(gruppe);
    return true;
}

Gebuehren gebuehrenVorgabe(const QSettings& s)
{
    Gebuehren g;
    g.gesetzt = true;
    g.startgeld = std::max<qint64>(0, s.value(QStringLiteral("Geld/StartgeldCent"), 1000).toLongLong());
    g.preisskat = centAusKosten(Regeln::werteLesen(s).preisskat);
    return g;
}

Auszahlplan planVorgabe(const QSettings& s)
{
    Auszahlplan p;
    p.art = s.value(QStringLiteral("Geld/PlanArt")).toString() == artBetrag ? Auszahlplan::Art::Betrag
                                                                            : Auszahlplan::Art::Prozent;
    if (!werteAusText(
            s.value(QStringLiteral("Geld/PlanWerte"), QStringLiteral("40;25;15;10;10")).toString(), p.art, p.werte))
        p.werte = { 4000, 2500, 1500, 1000, 1000 };
    p.einProTisch = s.value(QStringLiteral("Geld/PlanProTisch"), true).toBool();
    p.anzahl = std::max(0, s.value(QStringLiteral("Geld/PlanAnzahl"), 5).toInt());
    p.kostenAnteil = std::clamp(s.value(QStringLiteral("Geld/KostenAnteil"), 0).toInt(), 0, 100);
    p.serienPreis = std::max<qint64>(0, s.value(QStringLiteral("Geld/SerienPreisCent"), 0).toLongLong());
    return p;
}

void vorgabeSpeichern(QSettings& s, const Gebuehren& g, const Auszahlplan& plan)
{
    s.setValue(QStringLiteral("Geld/StartgeldCent"), g.startgeld);
    s.setValue(QStringLiteral("Geld/PlanArt"), plan.art == Auszahlplan::Art::Betrag ? artBetrag : artProzent);
    s.setValue(QStringLiteral("Geld/PlanWerte"), werteText(plan));
    s.setValue(QStringLiteral("Geld/PlanProTisch"), plan.einProTisch);
    s.setValue(QStringLiteral("Geld/PlanAnzahl"), plan.anzahl);
    s.setValue(QStringLiteral("Geld/KostenAnteil"), plan.kostenAnteil);
    s.setValue(QStringLiteral("Geld/SerienPreisCent"), plan.serienPreis);
}

} // namespace Geld
