#pragma once
// libzip's side of ZipSchreiber and ZipLeser (season/zipdatei.h). It lives in
// the service module, so libzip and the OpenSSL it links are loaded with the
// first archive, not at start. The methods mean what the same-named ones of
// ZipSchreiber and ZipLeser say.

#include <QByteArray>
#include <QString>
#include <QStringList>

class QCryptographicHash;
class QIODevice;

class ZipSchreiberKern
{
public:
    virtual ~ZipSchreiberKern() = default;
    // `stufe` is deflate's level; 0 stores the entries as they are.
    virtual bool oeffnen(const QString& datei, int stufe, QString* fehler) = 0;
    virtual bool hinzufuegen(const QString& name, const QByteArray& daten, QString* fehler) = 0;
    virtual bool dateiHinzufuegen(const QString& name, const QString& pfad, QString* fehler) = 0;
    virtual bool schliessen(QString* fehler) = 0;
};

class ZipLeserKern
{
public:
    virtual ~ZipLeserKern() = default;
    virtual bool oeffnen(const QString& datei, QString* fehler) = 0;
    virtual QStringList namen() const = 0;
    virtual bool lesen(const QString& name, qint64 hoechstens, QByteArray& daten, QString* fehler) = 0;
    virtual bool entpacken(
        const QString& name, qint64 groesse, QIODevice& ziel, QCryptographicHash& summe, QString* fehler)
        = 0;
};

// The module's functions that make them (names as the module exports them).
using ZipSchreiberNeu = ZipSchreiberKern* (*)();
using ZipLeserNeu = ZipLeserKern* (*)();
constexpr const char* zipSchreiberFunktion = "reizwerk_zip_schreiber";
constexpr const char* zipLeserFunktion = "reizwerk_zip_leser";

// SHA-256 of the bytes put into an archive, by OpenSSL, which uses the
// processor's SHA instructions where it has them: several times faster than
// a portable implementation over a large database.
class PruefsummeKern
{
public:
    virtual ~PruefsummeKern() = default;
    virtual void hinzufuegen(const char* daten, qint64 laenge) = 0;
    // The 32 bytes of the sum; empty when OpenSSL failed.
    virtual QByteArray ergebnis() = 0;
};
using PruefsummeNeu = PruefsummeKern* (*)();
constexpr const char* pruefsummeFunktion = "reizwerk_sha256";
