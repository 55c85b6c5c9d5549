#include "season/zipdatei.h"

#include <QCryptographicHash>
#include <QIODevice>

#include "season/zipkern.h"
#include "storage/nachladen.h"

namespace
{

bool nichtOffen(QString* fehler)
{
    if (fehler)
        *fehler = QStringLiteral("Archiv nicht geoeffnet");
    return false;
}

template<typename Kern, typename Neu> Kern* neuerKern(const char* name, QString* fehler)
{
    const auto neu = reinterpret_cast<Neu>(Nachladen::funktion(name, fehler));
    return neu ? neu() : nullptr;
}

} // namespace

ZipSchreiber::ZipSchreiber() = default;
ZipSchreiber::~ZipSchreiber() = default;

bool ZipSchreiber::oeffnen(const QString& datei, bool schnell, QString* fehler)
{
    m_kern.reset(neuerKern<ZipSchreiberKern, ZipSchreiberNeu>(zipSchreiberFunktion, fehler));
    return m_kern && m_kern->oeffnen(datei, schnell ? 1 : 6, fehler);
}

bool ZipSchreiber::oeffnenUngepackt(const QString& datei, QString* fehler)
{
    m_kern.reset(neuerKern<ZipSchreiberKern, ZipSchreiberNeu>(zipSchreiberFunktion, fehler));
    return m_kern && m_kern->oeffnen(datei, 0, fehler);
}

bool ZipSchreiber::hinzufuegen(const QString& name, const QByteArray& daten, QString* fehler)
{
    return m_kern ? m_kern->hinzufuegen(name, daten, fehler) : nichtOffen(fehler);
}

bool ZipSchreiber::dateiHinzufuegen(const QString& name, const QString& pfad, QString* fehler)
{
    return m_kern ? m_kern->dateiHinzufuegen(name, pfad, fehler) : nichtOffen(fehler);
}

bool ZipSchreiber::schliessen(QString* fehler)
{
    return m_kern ? m_kern->schliessen(fehler) : nichtOffen(fehler);
}

ZipLeser::ZipLeser() = default;
ZipLeser::~ZipLeser() = default;

bool ZipLeser::oeffnen(const QString& datei, QString* fehler)
{
    m_kern.reset(neuerKern<ZipLeserKern, ZipLeserNeu>(zipLeserFunktion, fehler));
    return m_kern && m_kern->oeffnen(datei, fehler);
}

QStringList ZipLeser::namen() const
{
    return m_kern ? m_kern->namen() : QStringList();
}

bool ZipLeser::lesen(const QString& name, qint64 hoechstens, QByteArray& daten, QString* fehler)
{
    daten.clear();
    return m_kern ? m_kern->lesen(name, hoechstens, daten, fehler) : nichtOffen(fehler);
}

bool ZipLeser::entpacken(
    const QString& name, qint64 groesse, QIODevice& ziel, QCryptographicHash& summe, QString* fehler)
{
    return m_kern ? m_kern->entpacken(name, groesse, ziel, summe, fehler) : nichtOffen(fehler);
}

Pruefsumme::Pruefsumme()
{
    QString fehler;
    m_kern.reset(neuerKern<PruefsummeKern, PruefsummeNeu>(pruefsummeFunktion, &fehler));
    if (!m_kern)
        m_qt = std::make_unique<QCryptographicHash>(QCryptographicHash::Sha256);
}

Pruefsumme::~Pruefsumme() = default;

void Pruefsumme::hinzufuegen(const char* daten, qint64 laenge)
{
    if (m_kern)
        m_kern->hinzufuegen(daten, laenge);
    else
        m_qt->addData(daten, int(laenge));
}

bool Pruefsumme::hinzufuegen(QIODevice& von)
{
    QByteArray stueck(1 << 16, Qt::Uninitialized);
    for (;;) {
        const qint64 n = von.read(stueck.data(), stueck.size());
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        hinzufuegen(stueck.constData(), n);
    }
}

QString Pruefsumme::hex()
{
    const QByteArray summe = m_kern ? m_kern->ergebnis() : m_qt->result();
    return QString::fromLatin1(summe.toHex());
}
