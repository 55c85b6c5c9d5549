#include "season/zipkern.h"

#include <QCryptographicHash>
#include <QFile>
#include <QIODevice>
#include <QList>

#include <algorithm>
#include <limits>

#include <openssl/evp.h>
#include <zip.h>

namespace
{

bool melden(QString* fehler, const QString& text)
{
    if (fehler)
        *fehler = text;
    return false;
}

QString text(zip_t* z)
{
    return QString::fromLocal8Bit(zip_strerror(z));
}

// An entry's size as the archive states it; false with the reason otherwise.
bool eintragLesen(zip_t* z, const QString& name, zip_stat_t& st, QString* fehler)
{
    if (!z)
        return melden(fehler, QStringLiteral("Archiv nicht geoeffnet"));
    zip_stat_init(&st);
    if (zip_stat(z, name.toUtf8().constData(), ZIP_FL_ENC_UTF_8, &st) < 0 || !(st.valid & ZIP_STAT_SIZE))
        return melden(fehler, QStringLiteral("%1: %2").arg(name, text(z)));
    return true;
}

QString oeffnenFehler(int code)
{
    zip_error_t e;
    zip_error_init_with_code(&e, code);
    const QString t = QString::fromLocal8Bit(zip_error_strerror(&e));
    zip_error_fini(&e);
    return t;
}

class LibzipSchreiber : public ZipSchreiberKern
{
public:
    ~LibzipSchreiber() override;
    bool oeffnen(const QString& datei, int stufe, QString* fehler) override;
    bool hinzufuegen(const QString& name, const QByteArray& daten, QString* fehler) override;
    bool dateiHinzufuegen(const QString& name, const QString& pfad, QString* fehler) override;
    bool schliessen(QString* fehler) override;

private:
    // Adds the source under `name` with the archive's compression; frees the
    // source when it is not taken.
    bool quelleAufnehmen(const QString& name, zip_source_t* quelle, QString* fehler);

    zip_t* m_zip = nullptr;
    int m_stufe = 6;
    // libzip reads the buffers only when the archive is closed.
    QList<QByteArray> m_puffer;
};

class LibzipLeser : public ZipLeserKern
{
public:
    ~LibzipLeser() override;
    bool oeffnen(const QString& datei, QString* fehler) override;
    QStringList namen() const override;
    bool lesen(const QString& name, qint64 hoechstens, QByteArray& daten, QString* fehler) override;
    bool entpacken(
        const QString& name, qint64 groesse, QIODevice& ziel, QCryptographicHash& summe, QString* fehler) override;

private:
    zip_t* m_zip = nullptr;
};

} // namespace

LibzipSchreiber::~LibzipSchreiber()
{
    if (m_zip)
        zip_discard(m_zip);
}

bool LibzipSchreiber::oeffnen(const QString& datei, int stufe, QString* fehler)
{
    int code = 0;
    m_stufe = stufe;
    m_zip = zip_open(QFile::encodeName(datei).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!m_zip)
        return melden(fehler, oeffnenFehler(code));
    return true;
}

bool LibzipSchreiber::hinzufuegen(const QString& name, const QByteArray& daten, QString* fehler)
{
    if (!m_zip)
        return melden(fehler, QStringLiteral("Archiv nicht geoeffnet"));
    m_puffer.append(daten);
    const QByteArray& p = m_puffer.last();
    zip_source_t* quelle = zip_source_buffer(m_zip, p.constData(), zip_uint64_t(p.size()), 0);
    if (!quelle)
        return melden(fehler, text(m_zip));
    return quelleAufnehmen(name, quelle, fehler);
}

bool LibzipSchreiber::quelleAufnehmen(const QString& name, zip_source_t* quelle, QString* fehler)
{
    const zip_int64_t index = zip_file_add(m_zip, name.toUtf8().constData(), quelle, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(quelle);
        return melden(fehler, text(m_zip));
    }
    const bool speichern = m_stufe <= 0;
    if (zip_set_file_compression(m_zip, zip_uint64_t(index), speichern ? ZIP_CM_STORE : ZIP_CM_DEFLATE,
            speichern ? 0 : zip_uint32_t(m_stufe))
        < 0)
        return melden(fehler, text(m_zip));
    return true;
}

bool LibzipSchreiber::dateiHinzufuegen(const QString& name, const QString& pfad, QString* fehler)
{
    if (!m_zip)
        return melden(fehler, QStringLiteral("Archiv nicht geoeffnet"));
    zip_source_t* quelle = zip_source_file(m_zip, QFile::encodeName(pfad).constData(), 0, 0);
    if (!quelle)
        return melden(fehler, QStringLiteral("%1: %2").arg(pfad, text(m_zip)));
    return quelleAufnehmen(name, quelle, fehler);
}

bool LibzipSchreiber::schliessen(QString* fehler)
{
    if (!m_zip)
        return melden(fehler, QStringLiteral("Archiv nicht geoeffnet"));
    if (zip_close(m_zip) < 0) {
        const QString t = text(m_zip);
        zip_discard(m_zip);
        m_zip = nullptr;
        m_puffer.clear();
        return melden(fehler, t);
    }
    m_zip = nullptr;
    m_puffer.clear();
    return true;
}

LibzipLeser::~LibzipLeser()
{
    if (m_zip)
        zip_discard(m_zip);
}

bool LibzipLeser::oeffnen(const QString& datei, QString* fehler)
{
    int code = 0;
    m_zip = zip_open(QFile::encodeName(datei).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!m_zip)
        return melden(fehler, oeffnenFehler(code));
    return true;
}

QStringList LibzipLeser::namen() const
{
    QStringList n;
    if (!m_zip)
        return n;
    const zip_int64_t anzahl = zip_get_num_entries(m_zip, 0);
    for (zip_int64_t i = 0; i < anzahl; ++i) {
        const char* name = zip_get_name(m_zip, zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        n << (name ? QString::fromUtf8(name) : QString());
    }
    return n;
}

bool LibzipLeser::lesen(const QString& name, qint64 hoechstens, QByteArray& daten, QString* fehler)
{
    daten.clear();
    zip_stat_t st;
    if (!eintragLesen(m_zip, name, st, fehler))
        return false;
    if (qint64(st.size) > hoechstens || st.size > zip_uint64_t(std::numeric_limits<int>::max()))
        return melden(fehler, QStringLiteral("%1 ist zu gross").arg(name));
    zip_file_t* f = zip_fopen(m_zip, name.toUtf8().constData(), ZIP_FL_ENC_UTF_8);
    if (!f)
        return melden(fehler, QStringLiteral("%1: %2").arg(name, text(m_zip)));
    daten.resize(int(st.size));
    qint64 gelesen = 0;
    while (gelesen < daten.size()) {
        const zip_int64_t n = zip_fread(f, daten.data() + gelesen, zip_uint64_t(daten.size() - gelesen));
        if (n <= 0)
            break;
        gelesen += n;
    }
    // Reading to the end lets libzip compare the entry's checksum.
    char rest = 0;
    const zip_int64_t mehr = gelesen == daten.size() ? zip_fread(f, &rest, 1) : -1;
    const QString fText = QString::fromLocal8Bit(zip_file_strerror(f));
    zip_fclose(f);
    if (gelesen != daten.size() || mehr != 0) {
        daten.clear();
        return melden(fehler, QStringLiteral("%1: %2").arg(name, fText));
    }
    return true;
}

bool LibzipLeser::entpacken(
    const QString& name, qint64 groesse, QIODevice& ziel, QCryptographicHash& summe, QString* fehler)
{
    zip_stat_t st;
    if (!eintragLesen(m_zip, name, st, fehler))
        return false;
    if (groesse < 0 || st.size != zip_uint64_t(groesse))
        return melden(fehler, QStringLiteral("%1 hat nicht die angegebene Groesse").arg(name));
    zip_file_t* f = zip_fopen(m_zip, name.toUtf8().constData(), ZIP_FL_ENC_UTF_8);
    if (!f)
        return melden(fehler, QStringLiteral("%1: %2").arg(name, text(m_zip)));
    // One piece more than is left, so an entry longer than it says shows.
    QByteArray stueck(1 << 16, Qt::Uninitialized);
    qint64 gelesen = 0;
    bool ok = true;
    QString grund;
    for (;;) {
        const qint64 rest = groesse - gelesen;
        const zip_int64_t n = zip_fread(f, stueck.data(), zip_uint64_t(std::min<qint64>(stueck.size(), rest + 1)));
        if (n < 0) {
            ok = false;
            grund = QString::fromLocal8Bit(zip_file_strerror(f));
            break;
        }
        if (n == 0)
            break;
        if (n > rest) {
            ok = false;
            grund = QStringLiteral("laenger als angegeben");
            break;
        }
        summe.addData(stueck.constData(), int(n));
        if (ziel.write(stueck.constData(), n) != n) {
            ok = false;
            grund = ziel.errorString();
            break;
        }
        gelesen += n;
    }
    zip_fclose(f);
    if (ok && gelesen != groesse) {
        ok = false;
        grund = QStringLiteral("kuerzer als angegeben");
    }
    return ok ? true : melden(fehler, QStringLiteral("%1: %2").arg(name, grund));
}

extern "C" Q_DECL_EXPORT ZipSchreiberKern* reizwerk_zip_schreiber()
{
    return new LibzipSchreiber;
}

extern "C" Q_DECL_EXPORT ZipLeserKern* reizwerk_zip_leser()
{
    return new LibzipLeser;
}

namespace
{

class OpensslSumme : public PruefsummeKern
{
public:
    OpensslSumme()
        : m_ctx(EVP_MD_CTX_new())
    {
        m_ok = m_ctx && EVP_DigestInit_ex(m_ctx, EVP_sha256(), nullptr) == 1;
    }
    ~OpensslSumme() override { EVP_MD_CTX_free(m_ctx); }
    OpensslSumme(const OpensslSumme&) = delete;
    OpensslSumme& operator=(const OpensslSumme&) = delete;

    void hinzufuegen(const char* daten, qint64 laenge) override
    {
        if (m_ok && laenge > 0)
            m_ok = EVP_DigestUpdate(m_ctx, daten, size_t(laenge)) == 1;
    }
    QByteArray ergebnis() override
    {
        unsigned char summe[EVP_MAX_MD_SIZE];
        unsigned int laenge = 0;
        if (!m_ok || EVP_DigestFinal_ex(m_ctx, summe, &laenge) != 1)
            return {};
        m_ok = false;
        return QByteArray(reinterpret_cast<const char*>(summe), int(laenge));
    }

private:
    EVP_MD_CTX* m_ctx;
    bool m_ok = false;
};

} // namespace

extern "C" Q_DECL_EXPORT PruefsummeKern* reizwerk_sha256()
{
    return new OpensslSumme;
}
