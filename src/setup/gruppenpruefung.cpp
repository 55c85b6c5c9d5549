#include "setup/gruppenpruefung.h"

#include <QSettings>
#include <QSqlQuery>

#include "storage/datenbank.h"
#include "storage/pfade.h"
#include "storage/spieltagleser.h"

namespace Gruppenpruefung
{

namespace
{

bool melden(QString* fehler, const QString& text)
{
    if (fehler)
        *fehler = text;
    return false;
}

bool steuerzeichen(QChar c)
{
    const QChar::Category k = c.category();
    return k == QChar::Other_Control || k == QChar::Other_Format || k == QChar::Separator_Line
        || k == QChar::Separator_Paragraph;
}

} // namespace

bool textOhneTrenner(const QString& text, QString* fehler)
{
    for (const QChar c : text) {
        if (steuerzeichen(c))
            return melden(fehler, QStringLiteral("\"%1\" enthaelt ein Steuerzeichen").arg(text.simplified()));
        if (c == QLatin1Char('$') || c == QLatin1Char('@') || c == QLatin1Char('|') || c == QLatin1Char(':'))
            return melden(
                fehler, QStringLiteral("\"%1\" enthaelt das Zeichen %2 (nicht erlaubt: $ @ | :)").arg(text, c));
    }
    return true;
}

bool nameGueltig(const QString& name, QString* fehler)
{
    if (name.isEmpty())
        return melden(fehler, QStringLiteral("Der Gruppenname ist leer"));
    if (name.size() > 64)
        return melden(fehler, QStringLiteral("Der Gruppenname ist laenger als 64 Zeichen"));
    if (name.front().isSpace() || name.back().isSpace())
        return melden(
            fehler, QStringLiteral("Der Gruppenname \"%1\" beginnt oder endet mit einem Leerzeichen").arg(name));
    for (const QChar c : name) {
        if (steuerzeichen(c))
            return melden(
                fehler, QStringLiteral("Der Gruppenname \"%1\" enthaelt ein Steuerzeichen").arg(name.simplified()));
        if (QStringLiteral("/\\:$@|").contains(c))
            return melden(fehler,
                QStringLiteral("Der Gruppenname \"%1\" enthaelt das Zeichen %2 (nicht erlaubt: / \\ : $ @ |)")
                    .arg(name, c));
    }
    // A dot inside is fine ("1. Mannschaft": the file's stored name tells it
    // from a copy such as "x.backup.db"); a leading one hides the file or
    // names a directory.
    if (name.front() == QLatin1Char('.'))
        return melden(fehler, QStringLiteral("Der Gruppenname \"%1\" beginnt mit einem Punkt").arg(name));
    // Case does not matter to every file system the data folder may live on.
    if (name.compare(QStringLiteral("reizwerk"), Qt::CaseInsensitive) == 0
        || name.compare(Pfade::hauptVerbindung, Qt::CaseInsensitive) == 0)
        return melden(fehler, QStringLiteral("\"%1\" ist der Name der Stammdatenbank").arg(name));
    return true;
}

bool gruppeOeffenbar(QSqlDatabase db, QString* fehler)
{
    // Only the settings row and the tables' presence are read: opening a
    // large group reads its rows once, when the table is filled.
    auto kaputt
        = [&](const QString& grund) { return melden(fehler, QStringLiteral("%1: %2").arg(db.databaseName(), grund)); };
    if (!db.isOpen())
        return kaputt(QStringLiteral("Datenbank nicht geoeffnet"));
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(
            QStringLiteral("SELECT Serien, AnzahlSpiele3er, AnzahlSpiele4er, ErsterTisch, LetzterTisch FROM Gruppe"))
        || !q.next())
        return kaputt(QStringLiteral("keine Gruppe gespeichert"));
    Spieltag::Gruppe g;
    g.serien = q.value(0).toInt();
    g.spiele3er = q.value(1).toInt();
    g.spiele4er = q.value(2).toInt();
    g.ersterTisch = q.value(3).toInt();
    g.letzterTisch = q.value(4).toInt();
    q.finish();
    QString grund;
    if (!Spieltag::einstellungenGueltig(g, &grund))
        return kaputt(grund);
    if (!Db::tabelleVorhanden(db, QStringLiteral("Teilnehmer")))
        return kaputt(QStringLiteral("Tabelle Teilnehmer fehlt"));
    for (int s = 1; s <= g.serien; ++s)
        if (!Db::tabelleVorhanden(db, QStringLiteral("Serie%1").arg(s)))
            return kaputt(QStringLiteral("Tabelle Serie%1 fehlt").arg(s));
    return true;
}

bool einstellungenSichern(QSettings& s, QString* fehler)
{
    s.sync();
    switch (s.status()) {
    case QSettings::NoError:
        return true;
    case QSettings::FormatError:
        return melden(fehler, QStringLiteral("Einstellungen %1 sind unlesbar").arg(s.fileName()));
    case QSettings::AccessError:
        break;
    }
    return melden(fehler, QStringLiteral("Einstellungen %1 koennen nicht geschrieben werden").arg(s.fileName()));
}

} // namespace Gruppenpruefung
