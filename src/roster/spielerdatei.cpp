#include "roster/spielerdatei.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTextCodec>

#include <algorithm>
#include <array>

#include "roster/namensregel.h"
#include "storage/datenbank.h"
#include "storage/sqlitedirekt.h"

namespace Spielerdatei
{

namespace
{

QString text(const char* quelle)
{
    return QCoreApplication::translate("Spielerdatei", quelle);
}

// The file's text. Byte order marks name their encoding; without one the
// bytes must be valid UTF-8, or they are taken as Windows-1252, which is what
// a German Windows editor writes when it does not write UTF-8.
QString dekodieren(const QByteArray& inhalt, bool* windows1252, bool* kaputt)
{
    QTextCodec* utf8 = QTextCodec::codecForName("UTF-8");
    QTextCodec* markiert = QTextCodec::codecForUtfText(inhalt, nullptr);
    QTextCodec* codec = markiert ? markiert : utf8;
    QTextCodec::ConverterState zustand;
    const QString ergebnis = codec->toUnicode(inhalt.constData(), inhalt.size(), &zustand);
    if (zustand.invalidChars == 0 && zustand.remainingChars == 0)
        return ergebnis;
    if (markiert && markiert->mibEnum() != utf8->mibEnum()) {
        // Marked as UTF-16 or UTF-32 but not decodable as such: not text.
        *kaputt = true;
        return {};
    }
    *windows1252 = true;
    // A UTF-8 mark in front of bytes that are no UTF-8 is not part of a name.
    const QByteArray bytes = markiert ? inhalt.mid(3) : inhalt;
    if (QTextCodec* cp1252 = QTextCodec::codecForName("Windows-1252"))
        return cp1252->toUnicode(bytes);
    return QString::fromLatin1(bytes);
}

// TAB separates fields; every other control character (NUL first of all)
// means the file is no text.
bool hatSteuerzeichen(QStringView zeile)
{
    // Printable ASCII, which nearly every roster is, needs no category.
    return std::any_of(zeile.cbegin(), zeile.cend(), [](QChar c) {
        return (c.unicode() < 0x20 || c.unicode() >= 0x7f) && c.category() == QChar::Other_Control
            && c != QLatin1Char('\t');
    });
}

} // namespace

QStringList suchOrte()
{
    return { QStringLiteral("%1/%2").arg(
                 QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), dateiName),
        QStringLiteral("%1/%2").arg(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation), dateiName) };
}

QString finden()
{
    const QStringList orte = suchOrte();
    for (const QString& pfad : orte)
        if (QFileInfo(pfad).isFile())
            return pfad;
    return {};
}

Ergebnis lesen(const QByteArray& inhalt)
{
    Ergebnis e;
    if (inhalt.size() > maxGroesse) {
        e.fehler = text("Sie ist groesser als 10 MiB und damit keine Spielerliste.");
        return e;
    }
    bool kaputt = false;
    const QString ganz = dekodieren(inhalt, &e.windows1252, &kaputt);
    if (kaputt) {
        e.fehler = text("Sie ist als UTF-16 oder UTF-32 gekennzeichnet, enthaelt aber ungueltige Zeichen.");
        return e;
    }
    // CRLF, LF or a lone CR (old Mac exports) end a line.
    const QChar* const anfang = ganz.constData();
    const int laenge = ganz.size();
    int ab = 0;
    for (int nr = 0; ab <= laenge; ++nr) {
        int bis = ab;
        while (bis < laenge && anfang[bis] != QLatin1Char('\n') && anfang[bis] != QLatin1Char('\r'))
            ++bis;
        const QStringRef zeile(&ganz, ab, bis - ab);
        ab = bis
            + (bis + 1 < laenge && anfang[bis] == QLatin1Char('\r') && anfang[bis + 1] == QLatin1Char('\n') ? 2 : 1);
        if (zeile.isEmpty())
            continue;
        if (hatSteuerzeichen(zeile)) {
            e.spieler.clear();
            e.uebersprungeneZeilen.clear();
            e.fehler = text("Zeile %1 enthaelt ein Steuerzeichen; das ist keine Textdatei mit Spielern.").arg(nr + 1);
            return e;
        }
        const bool tabs = zeile.contains(QLatin1Char('\t'));
        // The four fields, trimmed, without a list per line: only their
        // number counts beyond four.
        const QChar trenner = tabs ? QLatin1Char('\t') : QLatin1Char(' ');
        std::array<QStringRef, 4> teile;
        int anzahl = 0;
        for (int von = 0;; ++anzahl) {
            const int bis = zeile.indexOf(trenner, von);
            if (anzahl < 4)
                teile[anzahl] = zeile.mid(von, bis < 0 ? -1 : bis - von).trimmed();
            if (bis < 0)
                break;
            von = bis + 1;
        }
        ++anzahl;
        QString grund;
        if (anzahl != 4)
            grund = tabs ? text("%1 durch Tabulatoren getrennte Felder statt 4").arg(anzahl)
                         : text("%1 durch Leerzeichen getrennte Felder statt 4").arg(anzahl);
        else if (std::any_of(teile.cbegin(), teile.cend(), [](const QStringRef& t) { return t.isEmpty(); }))
            grund = text("ein Feld ist leer");
        else if (!std::all_of(
                     teile.cbegin(), teile.cend(), [](const QStringRef& t) { return Namensregel::zulaessig(t); }))
            grund = text("ein Feld enthaelt ein nicht erlaubtes Zeichen");
        if (!grund.isEmpty()) {
            ++e.uebersprungen;
            e.uebersprungeneZeilen.append({ nr + 1, zeile.toString(), grund });
            continue;
        }
        Zeile z;
        // A spreadsheet may pad its cells; the name is what stands in them.
        z.vorname = teile[0].toString();
        z.nachname = teile[1].toString();
        z.gruppe = teile[2].toString();
        const QStringRef& mitglied = teile[3];
        z.mitglied = (mitglied == QLatin1String("Nein") || mitglied == QLatin1String("nein")) ? QStringLiteral("Nein")
                                                                                              : QStringLiteral("Ja");
        e.spieler << z;
    }
    if (e.spieler.isEmpty()) {
        e.fehler = text("Keine Zeile hat vier durch Leerzeichen getrennte Felder.");
    } else if (e.uebersprungen > e.spieler.size()) {
        e.fehler = text("%1 von %2 Zeilen haben nicht vier durch Leerzeichen getrennte, gueltige Felder.")
                       .arg(e.uebersprungen)
                       .arg(e.uebersprungen + e.spieler.size());
        e.spieler.clear();
        e.uebersprungeneZeilen.clear();
    }
    return e;
}

Ergebnis dateiLesen(const QString& pfad)
{
    Ergebnis e;
    QFile datei(pfad);
    if (!datei.open(QIODevice::ReadOnly)) {
        e.fehler = text("Sie kann nicht gelesen werden: %1").arg(datei.errorString());
        return e;
    }
    // Read one byte beyond the limit, so an oversized file is seen without
    // holding all of it.
    const QByteArray inhalt = datei.read(maxGroesse + 1);
    return lesen(inhalt);
}

namespace
{

// "first last", as the ranking and the groups name a player; built with one
// allocation, since the import builds thousands of them.
QString ganzerName(const QString& vorname, const QString& nachname)
{
    QString name;
    name.reserve(vorname.size() + 1 + nachname.size());
    name.append(vorname).append(QLatin1Char(' ')).append(nachname);
    return name;
}

} // namespace

Plan planen(const QVector<Bisher>& roster, const QVector<Nummer>& anderswo, const QVector<Zeile>& spieler)
{
    Plan p;
    QVector<Bisher> bisher = roster;
    std::sort(bisher.begin(), bisher.end(), [](const Bisher& a, const Bisher& b) { return a.startNr < b.startNr; });
    // Two players of the same name keep one number each, the lower first:
    // a name leads to its lowest number not given yet, `weiter` from each to
    // the next of the same name.
    QHash<QString, int> nachName;
    nachName.reserve(bisher.size());
    QVector<int> weiter(bisher.size(), -1);
    for (int i = bisher.size() - 1; i >= 0; --i) {
        const QString name = ganzerName(bisher.at(i).vorname, bisher.at(i).nachname);
        const auto da = nachName.find(name);
        if (da == nachName.end()) {
            nachName.insert(name, i);
        } else {
            weiter[i] = da.value();
            da.value() = i;
        }
    }

    QSet<int> belegt;
    belegt.reserve(spieler.size());
    QVector<int> neue;
    p.eintraege.reserve(spieler.size());
    QHash<int, QString> namen; // of the new ones, for below
    // Most lines name a player already in the roster: their names are put
    // together in one buffer, without a string of their own.
    QString name;
    for (const Zeile& z : spieler) {
        Eintrag e;
        e.zeile = z;
        name.resize(0);
        name.append(z.vorname).append(QLatin1Char(' ')).append(z.nachname);
        const auto gleiche = nachName.find(name);
        if (gleiche != nachName.end() && gleiche.value() >= 0) {
            const Bisher& b = bisher.at(gleiche.value());
            gleiche.value() = weiter.at(gleiche.value());
            e.startNr = b.startNr;
            e.preisskat = b.preisskat == QLatin1String("Ja") ? QStringLiteral("Ja") : QStringLiteral("Nein");
            e.behalten = true;
            belegt.insert(b.startNr);
            ++p.behalten;
        } else {
            namen.insert(p.eintraege.size(), name);
            neue << p.eintraege.size();
        }
        p.eintraege << e;
    }

    // Who each number stands for outside the roster: one name, or several.
    QHash<int, QString> fremd;
    QSet<int> mehrdeutig;
    for (const Nummer& n : anderswo) {
        if (n.startNr < 100)
            continue;
        const auto da = fremd.constFind(n.startNr);
        if (da == fremd.cend())
            fremd.insert(n.startNr, n.name);
        else if (da.value() != n.name)
            mehrdeutig.insert(n.startNr);
    }
    QHash<QString, QVector<int>> eigene;
    for (auto it = fremd.cbegin(); it != fremd.cend(); ++it)
        if (!mehrdeutig.contains(it.key()))
            eigene[it.value()] << it.key();
    for (QVector<int>& nummern : eigene)
        std::sort(nummern.begin(), nummern.end());

    int naechste = 100;
    for (int i : neue) {
        Eintrag& e = p.eintraege[i];
        int nr = 0;
        const auto frueher = eigene.constFind(namen.value(i));
        if (frueher != eigene.cend())
            for (int k : *frueher)
                if (!belegt.contains(k)) {
                    nr = k;
                    break;
                }
        if (nr == 0) {
            while (belegt.contains(naechste) || fremd.contains(naechste))
                ++naechste;
            nr = naechste;
        }
        e.startNr = nr;
        belegt.insert(nr);
        ++p.neu;
    }
    return p;
}

QVector<Bisher> rosterLesen(QSqlDatabase db)
{
    QVector<Bisher> liste;
    // Thousands of rows: read through SQLite's own interface. The flag as a
    // number, one text fewer per row.
    Db::Direkt q(db, QStringLiteral("SELECT StartNr, VorName, NachName, Preisskat='Ja' FROM Spieler"));
    while (q.naechste())
        liste << Bisher { q.ganz(0), q.text(1), q.text(2),
            q.ganz(3) == 1 ? QStringLiteral("Ja") : QStringLiteral("Nein") };
    return liste;
}

QVector<Nummer> nummernLesen(QSqlDatabase db, const QString& sql)
{
    QVector<Nummer> liste;
    // A ranking of many match days: thousands of rows, as the roster.
    Db::Direkt q(db, sql);
    while (q.naechste())
        liste << Nummer { q.ganz(0), q.text(1) };
    return liste;
}

bool rosterErsetzen(QSqlDatabase db, const QVector<Eintrag>& eintraege)
{
    Db::Transaktion t(db);
    if (!t.begonnen())
        return false;
    // Member number and club go with a removed player; those who keep their
    // number here are the same people and keep them.
    const bool mitgliedsdaten = Db::tabelleVorhanden(db, QStringLiteral("Mitgliedsdaten"));
    QVector<QVariantList> behalteneDaten;
    if (mitgliedsdaten) {
        QSet<int> behalten;
        for (const Eintrag& e : eintraege)
            if (e.behalten)
                behalten.insert(e.startNr);
        QSqlQuery m = Db::abfrage(db, QStringLiteral("SELECT StartNr, MitgliedsNr, Verein FROM Mitgliedsdaten"));
        while (m.next())
            if (behalten.contains(m.value(0).toInt()))
                behalteneDaten << QVariantList { m.value(0), m.value(1), m.value(2) };
    }
    if (!Db::ausfuehren(db, QStringLiteral("DELETE FROM Spieler")))
        return false;
    // Thousands of rows: through SQLite's own interface, in the transaction
    // above.
    Db::Direkt q(db,
        QStringLiteral("INSERT INTO Spieler (StartNr, VorName, NachName, Gruppe, Mitglied, Preisskat) "
                       "VALUES (?, ?, ?, ?, ?, ?)"));
    if (!q.bereit())
        return false;
    for (const Eintrag& e : eintraege) {
        q.binden(0, e.startNr);
        q.binden(1, e.zeile.vorname);
        q.binden(2, e.zeile.nachname);
        q.binden(3, e.zeile.gruppe);
        q.binden(4, e.zeile.mitglied);
        q.binden(5, e.preisskat);
        if (!q.ausfuehren())
            return false;
    }
    for (const QVariantList& werte : behalteneDaten)
        if (!Db::ausfuehren(db,
                QStringLiteral("INSERT OR REPLACE INTO Mitgliedsdaten (StartNr, MitgliedsNr, Verein) VALUES (?, ?, ?)"),
                werte))
            return false;
    return t.abschliessen();
}

} // namespace Spielerdatei
