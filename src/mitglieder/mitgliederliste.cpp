#include "mitglieder/mitgliederliste.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextCodec>
#include <QXmlStreamReader>

#include <csv.h>

#include <algorithm>
#include <memory>

#include "roster/namensregel.h"
#include "season/zipdatei.h"
#include "storage/datenbank.h"
#include "storage/pfade.h"

namespace Mitgliederliste
{

namespace
{

QString text(const char* quelle)
{
    return QCoreApplication::translate("Mitgliederliste", quelle);
}

QString dekodieren(const QByteArray& inhalt, QString& kodierung)
{
    if (inhalt.startsWith("\xFF\xFE") || inhalt.startsWith("\xFE\xFF")) {
        kodierung = QStringLiteral("UTF-16");
        return QTextCodec::codecForName("UTF-16")->toUnicode(inhalt);
    }
    QTextCodec::ConverterState zustand;
    const QString utf8 = QTextCodec::codecForName("UTF-8")->toUnicode(inhalt.constData(), inhalt.size(), &zustand);
    if (zustand.invalidChars == 0) {
        kodierung = QStringLiteral("UTF-8");
        return utf8.startsWith(QChar(0xFEFF)) ? utf8.mid(1) : utf8;
    }
    kodierung = QStringLiteral("Windows-1252");
    return QTextCodec::codecForName("Windows-1252")->toUnicode(inhalt);
}

// The separator the first line holds most often outside quotes; ";" wins a tie.
QChar trennerFinden(const QString& inhalt)
{
    int semikolon = 0, tab = 0, komma = 0;
    bool inAnfuehrung = false;
    for (const QChar c : inhalt) {
        if (c == QLatin1Char('"'))
            inAnfuehrung = !inAnfuehrung;
        else if (inAnfuehrung)
            continue;
        else if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            break;
        else if (c == QLatin1Char(';'))
            ++semikolon;
        else if (c == QLatin1Char('\t'))
            ++tab;
        else if (c == QLatin1Char(','))
            ++komma;
    }
    if (tab > semikolon && tab >= komma)
        return QLatin1Char('\t');
    if (komma > semikolon && komma > tab)
        return QLatin1Char(',');
    return QLatin1Char(';');
}

struct CsvSammler {
    QVector<QStringList> zeilen;
    QStringList aktuell;
};

void feldFertig(void* daten, size_t laenge, void* ziel)
{
    auto* s = static_cast<CsvSammler*>(ziel);
    s->aktuell << QString::fromUtf8(static_cast<const char*>(daten), int(laenge)).trimmed();
}

void zeileFertig(int, void* ziel)
{
    auto* s = static_cast<CsvSammler*>(ziel);
    const bool leer = std::all_of(s->aktuell.cbegin(), s->aktuell.cend(), [](const QString& f) { return f.isEmpty(); });
    if (!leer)
        s->zeilen << s->aktuell;
    s->aktuell.clear();
}

// "AB12" -> 27 (columns from 0); -1 when the reference names no column.
int spalteAusBezug(const QStringRef& bezug)
{
    int spalte = 0;
    int i = 0;
    for (; i < bezug.size() && bezug.at(i).isLetter(); ++i)
        spalte = spalte * 26 + (bezug.at(i).toUpper().unicode() - 'A' + 1);
    return i == 0 ? -1 : spalte - 1;
}

QString normiert(const QString& s)
{
    QString n = s.toLower();
    n.remove(QRegExp(QStringLiteral("[^a-z0-9äöüß]")));
    return n;
}

bool istMitglied(const QString& s)
{
    const QString n = s.trimmed().toLower();
    return !(n == QLatin1String("nein") || n == QLatin1String("n") || n == QLatin1String("no")
        || n == QLatin1String("0") || n == QLatin1String("gast") || n == QLatin1String("false")
        || n == QLatin1String("falsch"));
}

} // namespace

Tabelle csvLesen(const QByteArray& inhalt)
{
    Tabelle t;
    if (inhalt.size() > maxGroesse) {
        t.fehler = text("Die Datei ist zu gross fuer eine Mitgliederliste.");
        return t;
    }
    const QString textInhalt = dekodieren(inhalt, t.kodierung);
    t.trenner = trennerFinden(textInhalt);
    const QByteArray utf8 = textInhalt.toUtf8();
    csv_parser p;
    if (csv_init(&p, CSV_APPEND_NULL) != 0) {
        t.fehler = text("Der CSV-Leser konnte nicht beginnen.");
        return t;
    }
    csv_set_delim(&p, static_cast<unsigned char>(t.trenner.toLatin1()));
    CsvSammler s;
    if (csv_parse(&p, utf8.constData(), size_t(utf8.size()), feldFertig, zeileFertig, &s) != size_t(utf8.size())) {
        t.fehler
            = text("Die Datei ist keine lesbare CSV-Datei: %1").arg(QString::fromUtf8(csv_strerror(csv_error(&p))));
        csv_free(&p);
        return t;
    }
    csv_fini(&p, feldFertig, zeileFertig, &s);
    csv_free(&p);
    t.zeilen = std::move(s.zeilen);
    return t;
}

Tabelle xlsxLesen(const QString& pfad)
{
    Tabelle t;
    t.kodierung = QStringLiteral("xlsx");
    ZipLeser zip;
    QString fehler;
    if (!zip.oeffnen(pfad, &fehler)) {
        t.fehler = fehler;
        return t;
    }
    const QStringList namen = zip.namen();

    // The first sheet of the workbook, through its relationship; a workbook
    // without one still has its first sheet under the usual name.
    QString blatt = QStringLiteral("xl/worksheets/sheet1.xml");
    QByteArray daten;
    QString rid;
    if (namen.contains(QStringLiteral("xl/workbook.xml"))
        && zip.lesen(QStringLiteral("xl/workbook.xml"), maxGroesse, daten, &fehler)) {
        QXmlStreamReader x(daten);
        while (!x.atEnd() && rid.isEmpty())
            if (x.readNext() == QXmlStreamReader::StartElement && x.name() == QLatin1String("sheet"))
                for (const QXmlStreamAttribute& a : x.attributes())
                    if (a.name() == QLatin1String("id"))
                        rid = a.value().toString();
    }
    if (!rid.isEmpty() && zip.lesen(QStringLiteral("xl/_rels/workbook.xml.rels"), maxGroesse, daten, &fehler)) {
        QXmlStreamReader x(daten);
        while (!x.atEnd())
            if (x.readNext() == QXmlStreamReader::StartElement && x.name() == QLatin1String("Relationship")
                && x.attributes().value(QStringLiteral("Id")) == rid) {
                QString ziel = x.attributes().value(QStringLiteral("Target")).toString();
                // Only a part inside the workbook's folder; no path leaves it.
                if (ziel.startsWith(QLatin1Char('/')))
                    ziel = ziel.mid(1);
                else
                    ziel = QStringLiteral("xl/") + ziel;
                if (!ziel.contains(QLatin1String("..")) && namen.contains(ziel))
                    blatt = ziel;
                break;
            }
    }

    QStringList geteilt;
    if (namen.contains(QStringLiteral("xl/sharedStrings.xml"))) {
        if (!zip.lesen(QStringLiteral("xl/sharedStrings.xml"), maxGroesse, daten, &fehler)) {
            t.fehler = fehler;
            return t;
        }
        QXmlStreamReader x(daten);
        QString aktuell;
        bool inSi = false;
        while (!x.atEnd()) {
            const auto art = x.readNext();
            if (art == QXmlStreamReader::StartElement) {
                if (x.name() == QLatin1String("si")) {
                    inSi = true;
                    aktuell.clear();
                } else if (inSi && x.name() == QLatin1String("t")) {
                    aktuell += x.readElementText();
                } else if (x.name() == QLatin1String("rPh")) {
                    x.skipCurrentElement(); // phonetic hints are no part of the text
                }
            } else if (art == QXmlStreamReader::EndElement && x.name() == QLatin1String("si")) {
                geteilt << aktuell;
                inSi = false;
            }
        }
        if (x.hasError()) {
            t.fehler = text("Die Tabelle der Texte ist beschaedigt: %1").arg(x.errorString());
            return t;
        }
    }

    if (!namen.contains(blatt) || !zip.lesen(blatt, maxGroesse, daten, &fehler)) {
        t.fehler = fehler.isEmpty() ? text("Die Arbeitsmappe hat kein Tabellenblatt.") : fehler;
        return t;
    }
    QXmlStreamReader x(daten);
    QStringList zeile;
    int spalte = 0;
    QString typ;
    while (!x.atEnd()) {
        const auto art = x.readNext();
        if (art == QXmlStreamReader::StartElement) {
            if (x.name() == QLatin1String("row")) {
                zeile.clear();
            } else if (x.name() == QLatin1String("c")) {
                const int s = spalteAusBezug(x.attributes().value(QStringLiteral("r")));
                spalte = s >= 0 ? s : zeile.size();
                typ = x.attributes().value(QStringLiteral("t")).toString();
            } else if (x.name() == QLatin1String("v") || x.name() == QLatin1String("is")) {
                QString wert;
                if (x.name() == QLatin1String("is")) {
                    // An inline string: the texts of all its runs.
                    while (!(x.readNext() == QXmlStreamReader::EndElement && x.name() == QLatin1String("is"))
                        && !x.atEnd())
                        if (x.isStartElement() && x.name() == QLatin1String("t"))
                            wert += x.readElementText();
                } else {
                    wert = x.readElementText();
                    if (typ == QLatin1String("s")) {
                        bool ok = false;
                        const int i = wert.toInt(&ok);
                        wert = ok ? geteilt.value(i) : QString();
                    }
                }
                if (spalte > 10000)
                    continue; // no member list has that many columns
                while (zeile.size() <= spalte)
                    zeile << QString();
                zeile[spalte] = wert.trimmed();
            }
        } else if (art == QXmlStreamReader::EndElement && x.name() == QLatin1String("row")) {
            const bool leer = std::all_of(zeile.cbegin(), zeile.cend(), [](const QString& f) { return f.isEmpty(); });
            if (!leer)
                t.zeilen << zeile;
        }
    }
    if (x.hasError())
        t.fehler = text("Das Tabellenblatt ist beschaedigt: %1").arg(x.errorString());
    return t;
}

Tabelle dateiLesen(const QString& pfad)
{
    QFile datei(pfad);
    Tabelle t;
    if (!datei.open(QIODevice::ReadOnly)) {
        t.fehler = text("Sie kann nicht gelesen werden: %1").arg(datei.errorString());
        return t;
    }
    if (datei.peek(4) == QByteArray("PK\x03\x04", 4)) {
        datei.close();
        return xlsxLesen(pfad);
    }
    const QByteArray inhalt = datei.read(maxGroesse + 1);
    return csvLesen(inhalt);
}

Zuordnung raten(const QStringList& kopf)
{
    Zuordnung z;
    for (int i = 0; i < kopf.size(); ++i) {
        const QString n = normiert(kopf.at(i));
        if (z.vorname < 0 && n.contains(QLatin1String("vorname")))
            z.vorname = i;
        else if (z.nachname < 0
            && (n == QLatin1String("name") || n.contains(QLatin1String("nachname"))
                || n == QLatin1String("familienname")))
            z.nachname = i;
        else if (z.mitgliedsNr < 0
            && (n.contains(QLatin1String("mitgliedsn")) || n.contains(QLatin1String("passnr"))
                || n == QLatin1String("nr") || n.contains(QLatin1String("mitgliedernr"))))
            z.mitgliedsNr = i;
        else if (z.mitglied < 0 && n.startsWith(QLatin1String("mitglied")))
            z.mitglied = i;
        else if (z.verein < 0 && (n.contains(QLatin1String("verein")) || n == QLatin1String("club")))
            z.verein = i;
        else if (z.gruppe < 0 && n.contains(QLatin1String("gruppe")))
            z.gruppe = i;
    }
    z.kopfzeile = z.vorname >= 0 || z.nachname >= 0;
    if (!z.kopfzeile) {
        z.vorname = 0;
        z.nachname = kopf.size() > 1 ? 1 : -1;
    }
    return z;
}

Zuordnung gespeicherteZuordnung(const QStringList& kopf)
{
    std::unique_ptr<QSettings> s(Pfade::einstellungenOeffnen(nullptr));
    if (!s->contains(QStringLiteral("Mitgliederliste/Vorname")))
        return raten(kopf);
    Zuordnung z;
    z.vorname = s->value(QStringLiteral("Mitgliederliste/Vorname"), -1).toInt();
    z.nachname = s->value(QStringLiteral("Mitgliederliste/Nachname"), -1).toInt();
    z.gruppe = s->value(QStringLiteral("Mitgliederliste/Spielergruppe"), -1).toInt();
    z.mitglied = s->value(QStringLiteral("Mitgliederliste/Mitglied"), -1).toInt();
    z.mitgliedsNr = s->value(QStringLiteral("Mitgliederliste/Mitgliedsnummer"), -1).toInt();
    z.verein = s->value(QStringLiteral("Mitgliederliste/Verein"), -1).toInt();
    z.kopfzeile = s->value(QStringLiteral("Mitgliederliste/Kopfzeile"), true).toBool();
    return z;
}

void zuordnungSpeichern(const Zuordnung& z)
{
    std::unique_ptr<QSettings> s(Pfade::einstellungenOeffnen(nullptr));
    s->setValue(QStringLiteral("Mitgliederliste/Vorname"), z.vorname);
    s->setValue(QStringLiteral("Mitgliederliste/Nachname"), z.nachname);
    s->setValue(QStringLiteral("Mitgliederliste/Spielergruppe"), z.gruppe);
    s->setValue(QStringLiteral("Mitgliederliste/Mitglied"), z.mitglied);
    s->setValue(QStringLiteral("Mitgliederliste/Mitgliedsnummer"), z.mitgliedsNr);
    s->setValue(QStringLiteral("Mitgliederliste/Verein"), z.verein);
    s->setValue(QStringLiteral("Mitgliederliste/Kopfzeile"), z.kopfzeile);
    s->sync();
}

int Plan::anzahl(Art a) const
{
    return int(std::count_if(eintraege.cbegin(), eintraege.cend(), [a](const Eintrag& e) { return e.art == a; }));
}

QStringList Plan::bericht() const
{
    QStringList zeilen;
    for (const Eintrag& e : eintraege) {
        const QString name = e.vorname + QLatin1Char(' ') + e.nachname;
        switch (e.art) {
        case Art::Neu:
            zeilen << text("Zeile %1: %2 neu mit Startnummer %3").arg(e.zeile).arg(name).arg(e.startNr);
            break;
        case Art::Geaendert:
            zeilen << text("Zeile %1: %2 (Startnummer %3) geaendert: %4")
                          .arg(e.zeile)
                          .arg(name)
                          .arg(e.startNr)
                          .arg(e.grund);
            break;
        case Art::Unveraendert:
            zeilen << text("Zeile %1: %2 (Startnummer %3) unveraendert").arg(e.zeile).arg(name).arg(e.startNr);
            break;
        case Art::Uebersprungen:
            zeilen << text("Zeile %1: uebersprungen (%2)").arg(e.zeile).arg(e.grund);
            break;
        }
    }
    for (const Spielerdatei::Bisher& b : fehlend)
        zeilen << text("Nicht in der Datei, bleibt: %1 %2 (Startnummer %3)").arg(b.vorname, b.nachname).arg(b.startNr);
    return zeilen;
}

Plan planen(const QVector<Bisher>& roster, const QVector<Spielerdatei::Nummer>& anderswo, const Tabelle& tabelle,
    const Zuordnung& z, const QString& standardGruppe)
{
    Plan p;
    QHash<QString, int> nachNr;
    QHash<QString, QVector<int>> nachName;
    QSet<int> belegt;
    for (int i = roster.size() - 1; i >= 0; --i) {
        const Bisher& b = roster.at(i);
        belegt.insert(b.spieler.startNr);
        if (!b.mitgliedsNr.isEmpty())
            nachNr.insert(b.mitgliedsNr, i);
        nachName[b.spieler.vorname + QLatin1Char(' ') + b.spieler.nachname] << i;
    }
    QSet<int> fremd;
    for (const Spielerdatei::Nummer& n : anderswo)
        fremd.insert(n.startNr);
    QSet<int> getroffen;
    QSet<QString> neueSchluessel; // member number, else name, of the new players
    int naechste = 100;

    for (int r = z.kopfzeile ? 1 : 0; r < tabelle.zeilen.size(); ++r) {
        const QStringList& zeile = tabelle.zeilen.at(r);
        Eintrag e;
        e.zeile = r + 1;
        e.vorname = zeile.value(z.vorname).simplified();
        e.nachname = zeile.value(z.nachname).simplified();
        e.gruppe = z.gruppe >= 0 ? zeile.value(z.gruppe).simplified() : QString();
        if (e.gruppe.isEmpty())
            e.gruppe = standardGruppe;
        e.mitglied
            = z.mitglied < 0 || istMitglied(zeile.value(z.mitglied)) ? QStringLiteral("Ja") : QStringLiteral("Nein");
        e.mitgliedsNr = z.mitgliedsNr >= 0 ? zeile.value(z.mitgliedsNr).simplified() : QString();
        e.verein = z.verein >= 0 ? zeile.value(z.verein).simplified() : QString();
        const QString roh = zeile.join(QStringLiteral(" | "));
        if (e.vorname.isEmpty() || e.nachname.isEmpty()) {
            e.art = Art::Uebersprungen;
            e.grund = text("Vor- oder Nachname fehlt: %1").arg(roh);
        } else if (!Namensregel::zulaessig(e.vorname) || !Namensregel::zulaessig(e.nachname)
            || !Namensregel::zulaessig(e.gruppe) || !Namensregel::linkSicher(e.verein)) {
            e.art = Art::Uebersprungen;
            e.grund = Namensregel::fehlerText(roh);
        } else if (e.gruppe.isEmpty()) {
            e.art = Art::Uebersprungen;
            e.grund = text("keine Spielergruppe: %1").arg(roh);
        } else {
            int treffer = -1;
            if (!e.mitgliedsNr.isEmpty())
                treffer = nachNr.value(e.mitgliedsNr, -1);
            if (treffer < 0) {
                // A roster player with another member number is somebody else.
                for (int i : nachName.value(e.vorname + QLatin1Char(' ') + e.nachname))
                    if (!getroffen.contains(i)
                        && (e.mitgliedsNr.isEmpty() || roster.at(i).mitgliedsNr.isEmpty()
                            || roster.at(i).mitgliedsNr == e.mitgliedsNr)) {
                        treffer = i;
                        break;
                    }
            }
            // A second row for an already matched player is the same
            // player again, not a new one.
            if (treffer < 0)
                for (int i : nachName.value(e.vorname + QLatin1Char(' ') + e.nachname))
                    if (getroffen.contains(i)
                        && (e.mitgliedsNr.isEmpty() || roster.at(i).mitgliedsNr.isEmpty()
                            || roster.at(i).mitgliedsNr == e.mitgliedsNr))
                        treffer = i;
            const QString schluessel = e.mitgliedsNr.isEmpty() ? e.vorname + QLatin1Char(' ') + e.nachname
                                                               : QStringLiteral("#") + e.mitgliedsNr;
            if ((treffer >= 0 && getroffen.contains(treffer)) || (treffer < 0 && neueSchluessel.contains(schluessel))) {
                e.art = Art::Uebersprungen;
                e.grund = text("derselbe Spieler steht schon in einer frueheren Zeile: %1").arg(roh);
            } else if (treffer >= 0) {
                getroffen.insert(treffer);
                const Bisher& b = roster.at(treffer);
                e.startNr = b.spieler.startNr;
                QStringList aenderung;
                auto vergleich = [&aenderung](const QString& was, const QString& alt, const QString& neu) {
                    if (alt != neu)
                        aenderung << QStringLiteral("%1 %2 -> %3").arg(was, alt, neu);
                };
                vergleich(text("Vorname"), b.spieler.vorname, e.vorname);
                vergleich(text("Nachname"), b.spieler.nachname, e.nachname);
                vergleich(text("Gruppe"), b.gruppe, e.gruppe);
                vergleich(text("Mitglied"), b.mitglied, e.mitglied);
                if (z.mitgliedsNr >= 0)
                    vergleich(text("Mitgliedsnummer"), b.mitgliedsNr, e.mitgliedsNr);
                else
                    e.mitgliedsNr = b.mitgliedsNr;
                if (z.verein >= 0)
                    vergleich(text("Verein"), b.verein, e.verein);
                else
                    e.verein = b.verein;
                e.art = aenderung.isEmpty() ? Art::Unveraendert : Art::Geaendert;
                e.grund = aenderung.join(QStringLiteral(", "));
            } else {
                while (belegt.contains(naechste) || fremd.contains(naechste))
                    ++naechste;
                e.startNr = naechste;
                belegt.insert(naechste);
                neueSchluessel.insert(schluessel);
                e.art = Art::Neu;
            }
        }
        p.eintraege << e;
    }
    for (int i = 0; i < roster.size(); ++i)
        if (!getroffen.contains(i))
            p.fehlend << roster.at(i).spieler;
    return p;
}

QVector<Bisher> rosterLesen(QSqlDatabase db)
{
    QVector<Bisher> liste;
    tabelleAnlegen(db);
    QSqlQuery q = Db::abfrage(db,
        QStringLiteral("SELECT s.StartNr, s.VorName, s.NachName, s.Preisskat, s.Gruppe, s.Mitglied, "
                       "COALESCE(m.MitgliedsNr, ''), COALESCE(m.Verein, '') FROM Spieler s "
                       "LEFT JOIN Mitgliedsdaten m ON m.StartNr = s.StartNr ORDER BY s.StartNr"));
    while (q.next()) {
        Bisher b;
        b.spieler = Spielerdatei::Bisher { q.value(0).toInt(), q.value(1).toString(), q.value(2).toString(),
            q.value(3).toString() };
        b.gruppe = q.value(4).toString();
        b.mitglied = q.value(5).toString();
        b.mitgliedsNr = q.value(6).toString();
        b.verein = q.value(7).toString();
        liste << b;
    }
    return liste;
}

bool tabelleAnlegen(QSqlDatabase db)
{
    if (Db::tabelleVorhanden(db, QStringLiteral("Mitgliedsdaten")))
        return true;
    // Start numbers are given again to other players, so a player's member
    // data goes with him; the trigger covers every way a player is removed.
    return Db::ausfuehren(db,
               QStringLiteral("CREATE TABLE IF NOT EXISTS Mitgliedsdaten (StartNr INTEGER PRIMARY KEY, "
                              "MitgliedsNr TEXT NOT NULL DEFAULT '', Verein TEXT NOT NULL DEFAULT '')"))
        && Db::ausfuehren(db,
            QStringLiteral("CREATE TRIGGER IF NOT EXISTS MitgliedsdatenMitSpieler AFTER DELETE ON Spieler "
                           "BEGIN DELETE FROM Mitgliedsdaten WHERE StartNr = OLD.StartNr; END"));
}

QString mitgliedsNr(QSqlDatabase db, int startNr)
{
    if (!Db::tabelleVorhanden(db, QStringLiteral("Mitgliedsdaten")))
        return QString();
    QSqlQuery q
        = Db::abfrage(db, QStringLiteral("SELECT MitgliedsNr FROM Mitgliedsdaten WHERE StartNr = ?"), { startNr });
    return q.next() ? q.value(0).toString() : QString();
}

QString verein(QSqlDatabase db, int startNr)
{
    if (!Db::tabelleVorhanden(db, QStringLiteral("Mitgliedsdaten")))
        return QString();
    QSqlQuery q = Db::abfrage(db, QStringLiteral("SELECT Verein FROM Mitgliedsdaten WHERE StartNr = ?"), { startNr });
    return q.next() ? q.value(0).toString() : QString();
}

bool anmeldungLesen(QSqlDatabase db, int startNr, Anmeldung& spieler)
{
    QSqlQuery q = Db::abfrage(db,
        QStringLiteral("SELECT VorName, NachName, Mitglied, Preisskat FROM Spieler WHERE StartNr = ?"), { startNr });
    if (!q.next())
        return false;
    spieler.vorname = q.value(0).toString();
    spieler.nachname = q.value(1).toString();
    spieler.mitglied = q.value(2).toString() != QLatin1String("Nein");
    spieler.preisskat = q.value(3).toString() == QLatin1String("Ja");
    return true;
}

bool uebernehmen(QSqlDatabase db, const Plan& plan)
{
    Db::Transaktion t(db);
    if (!t.begonnen() || !tabelleAnlegen(db))
        return false;
    for (const Eintrag& e : plan.eintraege) {
        bool ok = true;
        if (e.art == Art::Neu)
            ok = Db::ausfuehren(db,
                QStringLiteral("INSERT INTO Spieler (StartNr, VorName, NachName, Gruppe, Mitglied, Preisskat) "
                               "VALUES (?, ?, ?, ?, ?, 'Nein')"),
                { e.startNr, e.vorname, e.nachname, e.gruppe, e.mitglied });
        else if (e.art == Art::Geaendert)
            ok = Db::ausfuehren(db,
                QStringLiteral(
                    "UPDATE Spieler SET VorName = ?, NachName = ?, Gruppe = ?, Mitglied = ? WHERE StartNr = ?"),
                { e.vorname, e.nachname, e.gruppe, e.mitglied, e.startNr });
        else
            continue;
        ok = ok
            && Db::ausfuehren(db,
                QStringLiteral("INSERT OR REPLACE INTO Mitgliedsdaten (StartNr, MitgliedsNr, Verein) VALUES (?, ?, ?)"),
                { e.startNr, e.mitgliedsNr, e.verein });
        if (!ok)
            return false;
    }
    return t.abschliessen();
}

QVector<Spielerdatei::Bisher> suchen(const QVector<Spielerdatei::Bisher>& roster, const QString& eingabe)
{
    const QString text = eingabe.simplified();
    QVector<Spielerdatei::Bisher> treffer;
    if (text.isEmpty())
        return treffer;
    bool zahl = false;
    const int nr = text.toInt(&zahl);
    for (const Spielerdatei::Bisher& b : roster) {
        const QString name = b.vorname + QLatin1Char(' ') + b.nachname;
        if (zahl ? b.startNr == nr : name.contains(text, Qt::CaseInsensitive)) {
            if (!zahl && name.compare(text, Qt::CaseInsensitive) == 0)
                return { b };
            treffer << b;
        }
    }
    return treffer;
}

bool gastAnlegen(QSqlDatabase db, int startNr, const QString& vorname, const QString& nachname, const QString& gruppe,
    QString* fehler)
{
    for (const QString& teil : { vorname, nachname, gruppe })
        if (teil.trimmed().isEmpty() || !Namensregel::zulaessig(teil)) {
            *fehler = teil.trimmed().isEmpty() ? text("Vorname, Nachname und Gruppe sind noetig.")
                                               : Namensregel::fehlerText(teil);
            return false;
        }
    if (startNr < 100
        || Db::abfrage(db, QStringLiteral("SELECT 1 FROM Spieler WHERE StartNr = ?"), { startNr }).next()) {
        *fehler = text("Die Startnummer %1 ist schon vergeben.").arg(startNr);
        return false;
    }
    Db::Transaktion t(db);
    if (!t.begonnen() || !tabelleAnlegen(db)
        || !Db::ausfuehren(db,
            QStringLiteral("INSERT INTO Spieler (StartNr, VorName, NachName, Gruppe, Mitglied, Preisskat) "
                           "VALUES (?, ?, ?, ?, 'Nein', 'Nein')"),
            { startNr, vorname.simplified(), nachname.simplified(), gruppe })
        || !t.abschliessen()) {
        *fehler = text("Der Gast konnte nicht gespeichert werden.");
        return false;
    }
    return true;
}

} // namespace Mitgliederliste
