#pragma once
// The one place that knows libzip: writing an archive from byte buffers or
// files and reading one back entry by entry, with failures as readable texts.
// Large entries pass through in pieces, never whole in memory.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QCryptographicHash;
class QIODevice;

struct zip;
typedef struct zip zip_t;
struct zip_source;
typedef struct zip_source zip_source_t;

// Writes a new zip archive. Nothing appears under the file's name until
// schliessen() succeeds; a writer that is not closed leaves no file behind.
class ZipSchreiber
{
public:
    ZipSchreiber() = default;
    ~ZipSchreiber();
    ZipSchreiber(const ZipSchreiber&) = delete;
    ZipSchreiber& operator=(const ZipSchreiber&) = delete;

    // `schnell` stores with the fastest compression (automatic snapshots).
    bool oeffnen(const QString& datei, bool schnell, QString* fehler);
    bool hinzufuegen(const QString& name, const QByteArray& daten, QString* fehler);
    // The file is read only when the archive is closed; it must stay
    // unchanged until then.
    bool dateiHinzufuegen(const QString& name, const QString& pfad, QString* fehler);
    bool schliessen(QString* fehler);

private:
    // Adds the source under `name` with the archive's compression; frees the
    // source when it is not taken.
    bool quelleAufnehmen(const QString& name, zip_source_t* quelle, QString* fehler);

    zip_t* m_zip = nullptr;
    bool m_schnell = false;
    // libzip reads the buffers only when the archive is closed.
    QList<QByteArray> m_puffer;
};

// Reads an existing archive; a file whose structure is inconsistent is not
// opened at all.
class ZipLeser
{
public:
    ZipLeser() = default;
    ~ZipLeser();
    ZipLeser(const ZipLeser&) = delete;
    ZipLeser& operator=(const ZipLeser&) = delete;

    bool oeffnen(const QString& datei, QString* fehler);
    QStringList namen() const;
    // The entry's bytes, checked against the archive's checksum; refuses an
    // entry larger than `hoechstens` bytes.
    bool lesen(const QString& name, qint64 hoechstens, QByteArray& daten, QString* fehler);
    // Streams the entry into `ziel` and `summe`; refuses an entry whose
    // stored size is not `groesse`, and stops as soon as more would come.
    bool entpacken(const QString& name, qint64 groesse, QIODevice& ziel, QCryptographicHash& summe, QString* fehler);

private:
    zip_t* m_zip = nullptr;
};
