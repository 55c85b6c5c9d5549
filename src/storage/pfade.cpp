#include "storage/pfade.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTextCodec>
#include <QFileInfo>
#include <QStandardPaths>

namespace Pfade
{

QString datenVerzeichnis()
{
    return QStringLiteral("%1/Reizwerk").arg(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

QString hauptDatenbank(const QString& datenVerzeichnis)
{
    return QStringLiteral("%1/%2.db").arg(datenVerzeichnis, QStringLiteral("reizwerk"));
}

QString turnierName(const QDate& datum)
{
    return datum.toString(QStringLiteral("dd_MM_yyyy"));
}

QString turnierVerzeichnis(const QString& datenVerzeichnis, const QDate& datum)
{
    return QStringLiteral("%1/%2").arg(datenVerzeichnis, turnierName(datum));
}

QString gruppenDatei(const QString& turnierVerzeichnis, const QString& gruppe)
{
    return QStringLiteral("%1/%2.db").arg(turnierVerzeichnis, gruppe);
}

namespace
{

// True when the file's bytes are not UTF-8: a file typed in a Latin-1 editor,
// which the program read as Latin-1 before it read UTF-8.
bool latin1Datei(const QString& datei)
{
    QFile f(datei);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray inhalt = f.readAll();
    QTextCodec::ConverterState zustand;
    QTextCodec::codecForName("UTF-8")->toUnicode(inhalt.constData(), inhalt.size(), &zustand);
    return zustand.invalidChars > 0 || zustand.remainingChars > 0;
}

// A value of such a file as read byte for byte: it may still be one typed in
// UTF-8 beside the Latin-1 ones.
QVariant alsUtf8WoMoeglich(const QVariant& wert)
{
    if (wert.userType() != QMetaType::QString)
        return wert;
    const QString text = wert.toString();
    for (const QChar c : text)
        if (c.unicode() > 0xff)
            return wert;
    const QByteArray bytes = text.toLatin1();
    QTextCodec::ConverterState zustand;
    const QString utf8 = QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &zustand);
    return zustand.invalidChars == 0 && zustand.remainingChars == 0 ? QVariant(utf8) : wert;
}

} // namespace

QSettings* einstellungenOeffnen(QObject* parent)
{
    auto* s = new QSettings(QSettings::IniFormat, QSettings::UserScope, organisation, anwendung, parent);
    einstellungenAlsUtf8(*s);
    return s;
}

void einstellungenAlsUtf8(QSettings& s)
{
    // What the program wrote before it named a codec is ASCII with every
    // other character escaped, and reads the same as UTF-8. A file that is
    // not UTF-8 was typed by hand in Latin-1: it is read as before and
    // written back as UTF-8, so its umlauts survive the change.
    if (latin1Datei(s.fileName())) {
        QSettings alt(s.fileName(), QSettings::IniFormat);
        QHash<QString, QVariant> werte;
        const QStringList schluessel = alt.allKeys();
        for (const QString& k : schluessel)
            werte.insert(k, alsUtf8WoMoeglich(alt.value(k)));
        s.setIniCodec("UTF-8");
        for (auto it = werte.cbegin(); it != werte.cend(); ++it)
            s.setValue(it.key(), it.value());
        s.sync();
        return;
    }
    s.setIniCodec("UTF-8");
}

QString verbindungsNameVon(const QString& dateiName)
{
    return dateiName.section(QLatin1Char('.'), 0, 0);
}

QString turnierVerzeichnisSpeichern(const QString& datenVerzeichnis, const QString& turnierVerzeichnis)
{
    const QString daten = QDir::cleanPath(datenVerzeichnis);
    const QString turnier = QDir::cleanPath(turnierVerzeichnis);
    if (turnier.startsWith(daten + QLatin1Char('/')))
        return turnier.mid(daten.size() + 1);
    return turnier;
}

QString turnierVerzeichnisLesen(const QString& datenVerzeichnis, const QString& gespeichert)
{
    if (gespeichert.isEmpty())
        return {};
    const QString daten = QDir::cleanPath(datenVerzeichnis);
    if (QDir::isRelativePath(gespeichert)) {
        const QString pfad = QDir::cleanPath(daten + QLatin1Char('/') + gespeichert);
        // "../x" would leave the data directory.
        return pfad.startsWith(daten + QLatin1Char('/')) ? pfad : QString();
    }
    const QString pfad = QDir::cleanPath(gespeichert);
    if (pfad.startsWith(daten + QLatin1Char('/')))
        return pfad;
    // An absolute path of the folder this data was copied from: its match
    // day of the same name here, never the original's files.
    const QString hier = daten + QLatin1Char('/') + QFileInfo(pfad).fileName();
    return QFileInfo(hier).isDir() ? hier : QString();
}

QString letztesTurnier(const QSettings& einstellungen)
{
    const QString daten = einstellungen.value(schluesselDatenbankPfad, datenVerzeichnis()).toString();
    return turnierVerzeichnisLesen(daten, einstellungen.value(schluesselLetztesTurnier).toString());
}

bool istTurnierName(const QString& name, QDate* datum)
{
    if (name.size() != 10)
        return false;
    const QDate d = QDate::fromString(name, QStringLiteral("dd_MM_yyyy"));
    if (!d.isValid())
        return false;
    if (datum)
        *datum = d;
    return true;
}

QStringList gruppenDateien(const QString& turnierVerzeichnis)
{
    QStringList ergebnis;
    const QFileInfoList dateien = QDir(turnierVerzeichnis).entryInfoList(QDir::Files, QDir::Time);
    for (const QFileInfo& fi : dateien)
        if (fi.fileName().endsWith(QLatin1String(".db")))
            ergebnis << fi.fileName();
    return ergebnis;
}

} // namespace Pfade
