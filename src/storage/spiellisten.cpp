#include "storage/spiellisten.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace SpielListen
{

namespace
{
// The record names at most every file of a full day; anything longer was
// not written by us and is not read on.
constexpr qint64 maxHerkunft = qint64(4) * 1024 * 1024;
} // namespace

bool dateinameSicher(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || name.size() > 200
        || name == herkunftDatei)
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    }
    return true;
}

bool schreiben(const QString& turnierVerzeichnis, const QString& name, const QByteArray& inhalt, bool textModus)
{
    // Without a match day the directory would end up at the file-system root
    // or below the working directory.
    if (turnierVerzeichnis.isEmpty() || QFileInfo(turnierVerzeichnis).isRelative() || !dateinameSicher(name))
        return false;
    const QString verzeichnis = turnierVerzeichnis + QLatin1Char('/') + ordnerName;
    if (!QDir().mkpath(verzeichnis))
        return false;
    QSaveFile datei(verzeichnis + QLatin1Char('/') + name);
    QIODevice::OpenMode modus = QIODevice::WriteOnly;
    if (textModus)
        modus |= QIODevice::Text;
    if (!datei.open(modus))
        return false;
    if (datei.write(inhalt) != inhalt.size())
        return false;
    return datei.commit();
}

Ablage::Ablage(int maxDateienTag, qint64 maxBytesTag, int maxDateienGeraet, qint64 maxBytesGeraet)
    : m_maxDateienTag(maxDateienTag)
    , m_maxBytesTag(maxBytesTag)
    , m_maxDateienGeraet(maxDateienGeraet)
    , m_maxBytesGeraet(maxBytesGeraet)
{
}

QString Ablage::pfad(const QString& name) const
{
    return m_ordner + QLatin1Char('/') + name;
}

bool Ablage::oeffnen(const QString& turnierVerzeichnis)
{
    if (turnierVerzeichnis.isEmpty() || QFileInfo(turnierVerzeichnis).isRelative())
        return false;
    const QString ordner = turnierVerzeichnis + QLatin1Char('/') + ordnerName;
    if (!QDir().mkpath(ordner))
        return false;
    if (ordner != m_ordner) {
        m_ordner = ordner;
        zaehlen();
    }
    return true;
}

void Ablage::zaehlen()
{
    m_herkunft.clear();
    m_anteile.clear();
    m_gesamt = {};
    m_gezaehltUm = QDateTime::currentMSecsSinceEpoch();
    QFile record(pfad(herkunftDatei));
    if (record.size() <= maxHerkunft && record.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> zeilen = record.readAll().split('\n');
        for (const QByteArray& z : zeilen) {
            const QList<QByteArray> teile = z.split('\t');
            if (teile.size() == 2)
                m_herkunft.insert(QString::fromUtf8(teile.at(0)), QString::fromUtf8(teile.at(1)));
        }
    }
    QHash<QString, QString> vorhanden;
    const QFileInfoList dateien
        = QDir(m_ordner).entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& f : dateien) {
        if (f.fileName() == herkunftDatei)
            continue;
        // Files from before the record was kept belong to nobody known.
        const QString wer = m_herkunft.value(f.fileName());
        if (!wer.isEmpty())
            vorhanden.insert(f.fileName(), wer);
        Anteil& a = m_anteile[wer];
        ++a.dateien;
        a.bytes += f.size();
        ++m_gesamt.dateien;
        m_gesamt.bytes += f.size();
    }
    // Files removed by hand leave the record.
    m_herkunft = vorhanden;
}

Ablage::Ergebnis Ablage::pruefen(const QString& wer, bool neu, qint64 zuwachs) const
{
    if ((neu && m_gesamt.dateien >= m_maxDateienTag) || m_gesamt.bytes + zuwachs > m_maxBytesTag)
        return Ergebnis::VollTag;
    const Anteil a = m_anteile.value(wer);
    if ((neu && a.dateien >= m_maxDateienGeraet) || a.bytes + zuwachs > m_maxBytesGeraet)
        return Ergebnis::VollGeraet;
    return Ergebnis::Gespeichert;
}

Ablage::Ergebnis Ablage::vomGeraet(const QString& turnierVerzeichnis, const QString& geraet, const QString& name,
    qint64 groesse, const std::function<std::optional<QByteArray>()>& inhalt, bool textModus, QString* beiseite)
{
    if (geraet.isEmpty() || geraet == tischApp || !dateinameSicher(name) || groesse < 0 || groesse > maxDatei
        || !oeffnen(turnierVerzeichnis))
        return Ergebnis::Ungueltig;
    auto vorab = [&]() {
        const QFileInfo alt(pfad(name));
        if (alt.exists() && !alt.isFile())
            return Ergebnis::Ungueltig;
        const QString wer = alt.exists() ? m_herkunft.value(name) : QString();
        if (alt.exists() && wer == tischApp)
            return Ergebnis::Geschuetzt;
        // Only the device's own file is replaced; any other is kept beside
        // the new one and still counts for its writer.
        const bool eigen = alt.exists() && wer == geraet;
        return pruefen(geraet, !eigen, eigen ? groesse - alt.size() : groesse);
    };
    Ergebnis e = vorab();
    // Files removed by hand since the last count free their room; a flood
    // of refused files rescans at most every few seconds.
    if ((e == Ergebnis::VollTag || e == Ergebnis::VollGeraet)
        && QDateTime::currentMSecsSinceEpoch() - m_gezaehltUm >= 5000) {
        zaehlen();
        e = vorab();
    }
    if (e != Ergebnis::Gespeichert)
        return e;
    const std::optional<QByteArray> bytes = inhalt();
    if (!bytes || bytes->size() != groesse)
        return Ergebnis::Ungueltig;
    return ablegen(geraet, name, *bytes, textModus, beiseite);
}

Ablage::Ergebnis Ablage::vomTisch(
    const QString& turnierVerzeichnis, const QString& name, const QByteArray& inhalt, QString* beiseite)
{
    if (!dateinameSicher(name) || !oeffnen(turnierVerzeichnis))
        return Ergebnis::Ungueltig;
    return ablegen(tischApp, name, inhalt, true, beiseite);
}

Ablage::Ergebnis Ablage::ablegen(
    const QString& wer, const QString& name, const QByteArray& inhalt, bool textModus, QString* beiseite)
{
    const QFileInfo alt(pfad(name));
    if (alt.exists() && !alt.isFile())
        return Ergebnis::Ungueltig;
    const QString bisher = alt.exists() ? m_herkunft.value(name) : QString();
    const bool eigen = alt.exists() && bisher == wer;
    const qint64 altGroesse = alt.exists() ? alt.size() : 0;
    QString neben;
    if (alt.exists() && !eigen) {
        for (int n = 1; neben.isEmpty() || QFileInfo::exists(pfad(neben)); ++n)
            neben = QStringLiteral("%1.%2").arg(name).arg(n);
        if (!QFile::rename(pfad(name), pfad(neben)))
            return Ergebnis::Ungueltig;
        if (!bisher.isEmpty())
            m_herkunft.insert(neben, bisher);
        m_herkunft.remove(name);
        herkunftSchreiben();
    }
    QSaveFile datei(pfad(name));
    QIODevice::OpenMode modus = QIODevice::WriteOnly;
    if (textModus)
        modus |= QIODevice::Text;
    if (!datei.open(modus) || datei.write(inhalt) != inhalt.size() || !datei.commit()) {
        if (!neben.isEmpty() && QFile::rename(pfad(neben), pfad(name))) {
            if (!bisher.isEmpty())
                m_herkunft.insert(name, bisher);
            m_herkunft.remove(neben);
            herkunftSchreiben();
        }
        return Ergebnis::Ungueltig;
    }
    const qint64 neu = QFileInfo(pfad(name)).size();
    Anteil& a = m_anteile[wer];
    if (eigen) {
        a.bytes += neu - altGroesse;
        m_gesamt.bytes += neu - altGroesse;
    } else {
        ++a.dateien;
        a.bytes += neu;
        ++m_gesamt.dateien;
        m_gesamt.bytes += neu;
    }
    // A table sending its list again changes no sender: the record is
    // written only when it does.
    const auto da = m_herkunft.constFind(name);
    if (da == m_herkunft.cend() || da.value() != wer) {
        m_herkunft.insert(name, wer);
        herkunftSchreiben();
    }
    if (neben.isEmpty())
        return Ergebnis::Gespeichert;
    if (beiseite)
        *beiseite = neben;
    return Ergebnis::Beiseitegelegt;
}

void Ablage::herkunftSchreiben() const
{
    QStringList namen = m_herkunft.keys();
    std::sort(namen.begin(), namen.end());
    QByteArray text;
    for (const QString& n : qAsConst(namen))
        text += n.toUtf8() + '\t' + m_herkunft.value(n).toUtf8() + '\n';
    QSaveFile f(pfad(herkunftDatei));
    if (f.open(QIODevice::WriteOnly)) {
        f.write(text);
        f.commit();
    }
}

} // namespace SpielListen
