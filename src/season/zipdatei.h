#pragma once
// Writing an archive from byte buffers or files and reading one back entry by
// entry, with failures as readable texts. Large entries pass through in
// pieces, never whole in memory. libzip itself is reached through the service
// module (season/zipkern.h), loaded on the first archive.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class QCryptographicHash;
class QIODevice;
class ZipSchreiberKern;
class ZipLeserKern;
class PruefsummeKern;

// Writes a new zip archive. Nothing appears under the file's name until
// schliessen() succeeds; a writer that is not closed leaves no file behind.
class ZipSchreiber
{
public:
    ZipSchreiber();
    ~ZipSchreiber();
    ZipSchreiber(const ZipSchreiber&) = delete;
    ZipSchreiber& operator=(const ZipSchreiber&) = delete;

    // `schnell` stores with the fastest compression (automatic snapshots).
    bool oeffnen(const QString& datei, bool schnell, QString* fehler);
    // Entries stored as they are: a snapshot that is only ever put back,
    // where the import waiting for it counts more than its size.
    bool oeffnenUngepackt(const QString& datei, QString* fehler);
    bool hinzufuegen(const QString& name, const QByteArray& daten, QString* fehler);
    // The file is read only when the archive is closed; it must stay
    // unchanged until then.
    bool dateiHinzufuegen(const QString& name, const QString& pfad, QString* fehler);
    bool schliessen(QString* fehler);

private:
    // libzip's side, in the service module (storage/nachladen.h).
    std::unique_ptr<ZipSchreiberKern> m_kern;
};

// Reads an existing archive; a file whose structure is inconsistent is not
// opened at all.
class ZipLeser
{
public:
    ZipLeser();
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
    std::unique_ptr<ZipLeserKern> m_kern;
};

// The SHA-256 sum of what an archive holds, as lower-case hex. Computed by the
// service module; where that cannot be loaded, by Qt, to the same sum.
class Pruefsumme
{
public:
    Pruefsumme();
    ~Pruefsumme();
    Pruefsumme(const Pruefsumme&) = delete;
    Pruefsumme& operator=(const Pruefsumme&) = delete;

    void hinzufuegen(const char* daten, qint64 laenge);
    // Reads the device to its end; false when reading failed.
    bool hinzufuegen(QIODevice& von);
    // The sum of everything added; ends the sum.
    QString hex();

private:
    std::unique_ptr<PruefsummeKern> m_kern;
    std::unique_ptr<QCryptographicHash> m_qt;
};
