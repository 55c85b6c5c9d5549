#pragma once
// The game-list files of a match day (folder "SpielListen"): who may replace
// which file, and how much one device may store. Both roads that write such
// files, the companion link and the table app in the browser, go through
// here; it knows no window and no network.

#include <QByteArray>
#include <QHash>
#include <QString>

#include <functional>
#include <optional>

namespace SpielListen
{

inline const QString ordnerName = QStringLiteral("SpielListen");
// Records which device wrote which file; kept in the folder itself, so it
// travels with a backup. Its name is one that no received file can have.
inline const QString herkunftDatei = QStringLiteral(".herkunft");
// The writer of the table app's files in the record.
inline const QString tischApp = QStringLiteral("tisch-app");

// The largest file a received message may unpack to, the files and bytes a
// match day holds in all, and one device's share of them.
inline constexpr qint64 maxDatei = qint64(64) * 1024 * 1024;
inline constexpr int maxDateienJeTag = 1000;
inline constexpr qint64 maxBytesJeTag = qint64(256) * 1024 * 1024;
inline constexpr int maxDateienJeGeraet = 200;
inline constexpr qint64 maxBytesJeGeraet = qint64(32) * 1024 * 1024;

// A received file name that stays inside the folder: not empty, not "." or
// "..", no "/" or "\", no control characters, not overlong, not the record.
bool dateinameSicher(const QString& name);

// Writes `inhalt` to "<turnierVerzeichnis>/SpielListen/<name>", replacing
// it whole or not at all.
bool schreiben(const QString& turnierVerzeichnis, const QString& name, const QByteArray& inhalt, bool textModus);

// One match day's game-list folder with its record of writers. Counts are
// kept between calls, so a flood of files does not rescan the folder each
// time.
class Ablage
{
public:
    enum class Ergebnis {
        Gespeichert,
        Beiseitegelegt, // another writer's file of that name was kept as `beiseite`
        Geschuetzt, // the table app's file of that name stays; nothing written
        Ungueltig,
        VollTag, // the match day's bound
        VollGeraet, // this device's share
    };

    explicit Ablage(int maxDateienTag = maxDateienJeTag, qint64 maxBytesTag = maxBytesJeTag,
        int maxDateienGeraet = maxDateienJeGeraet, qint64 maxBytesGeraet = maxBytesJeGeraet);

    // A companion's file; `geraet` is its address. `groesse` is known before
    // the data is unpacked, so a full share costs no work; `inhalt` is asked
    // for only when the file will be written.
    Ergebnis vomGeraet(const QString& turnierVerzeichnis, const QString& geraet, const QString& name, qint64 groesse,
        const std::function<std::optional<QByteArray>()>& inhalt, bool textModus, QString* beiseite = nullptr);
    // The table app's own list: stored whatever the shares; a companion's
    // file of the same name is kept beside it.
    Ergebnis vomTisch(
        const QString& turnierVerzeichnis, const QString& name, const QByteArray& inhalt, QString* beiseite = nullptr);

    // Who wrote a file of the folder last opened; empty when unknown.
    QString wer(const QString& name) const { return m_herkunft.value(name); }
    int maxDateienTag() const { return m_maxDateienTag; }
    qint64 maxBytesTag() const { return m_maxBytesTag; }
    int maxDateienGeraet() const { return m_maxDateienGeraet; }
    qint64 maxBytesGeraet() const { return m_maxBytesGeraet; }

private:
    struct Anteil {
        int dateien = 0;
        qint64 bytes = 0;
    };
    bool oeffnen(const QString& turnierVerzeichnis);
    void zaehlen();
    Ergebnis ablegen(
        const QString& wer, const QString& name, const QByteArray& inhalt, bool textModus, QString* beiseite);
    Ergebnis pruefen(const QString& wer, bool neu, qint64 zuwachs) const;
    void herkunftSchreiben() const;
    QString pfad(const QString& name) const;

    int m_maxDateienTag;
    qint64 m_maxBytesTag;
    int m_maxDateienGeraet;
    qint64 m_maxBytesGeraet;
    QString m_ordner; // "<day>/SpielListen"
    QHash<QString, QString> m_herkunft; // file name -> writer
    QHash<QString, Anteil> m_anteile; // writer -> its files
    Anteil m_gesamt;
    qint64 m_gezaehltUm = 0; // msecs since epoch of the last scan
};

} // namespace SpielListen
