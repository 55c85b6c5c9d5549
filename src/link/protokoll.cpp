#include "link/protokoll.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <zlib.h>

#include "scoring/eingabe.h"

namespace Protokoll
{

QString jaNein(bool wert)
{
    return wert ? QStringLiteral("Ja") : QStringLiteral("Nein");
}

QString spielerEintrag(int startNr, const QString& vorname, const QString& nachname, bool mitglied, bool preisskat)
{
    return QString::number(startNr) + QLatin1Char('|') + vorname + QLatin1Char(' ') + nachname + QLatin1Char('|')
        + jaNein(mitglied) + QLatin1Char('|') + jaNein(preisskat);
}

QString sitzEintrag(int startNr, const QString& name, bool mitglied, bool preisskat)
{
    return QString::number(startNr) + QLatin1Char('|') + name + QLatin1Char('|') + jaNein(mitglied) + QLatin1Char('|')
        + jaNein(preisskat);
}

static int ganzOderNull(const QString& text)
{
    bool ok = false;
    const int wert = text.toInt(&ok, 10);
    return ok ? wert : 0;
}

Nachricht regelnNachricht(const Nachricht& empfangen, const QString& listenName, const QString& regelnText)
{
    Nachricht m;
    m.code = Code::Regeln;
    m.adresse = empfangen.adresse;
    m.liste = listenName;
    const QString erstes = empfangen.felder.isEmpty() ? QString() : empfangen.felder.first();
    const QString letztes = empfangen.felder.isEmpty() ? QString() : empfangen.felder.last();
    m.felder
        = QStringList { QString::number(ganzOderNull(erstes)), QString::number(ganzOderNull(letztes)), regelnText };
    return m;
}

std::optional<Ergebnis> ergebnisLesen(const QString& zeile)
{
    const QStringList teile = zeile.split(QLatin1Char('|'), Qt::KeepEmptyParts);
    if (teile.size() != 9)
        return std::nullopt;
    bool ok1 = false, ok4 = false;
    Ergebnis e;
    e.serie = teile.at(2).trimmed().toInt(&ok1, 10);
    e.startNr = teile.at(8).trimmed().toInt(&ok4, 10);
    const std::optional<int> punkte = Eingabe::punkteGeschrieben(teile.at(3));
    const std::optional<double> kosten = Eingabe::kostenGeschrieben(teile.at(6));
    if (!ok1 || !ok4 || !punkte || !kosten)
        return std::nullopt;
    e.punkte = *punkte;
    e.kosten = *kosten;
    return e;
}

QString ergebnisFehler(const QString& zeile)
{
    const QStringList teile = zeile.split(QLatin1Char('|'), Qt::KeepEmptyParts);
    if (teile.size() != 9)
        return QStringLiteral("%1 statt 9 Teile").arg(teile.size());
    auto kurz = [](const QString& t) { return t.size() > 24 ? t.left(24) + QStringLiteral("...") : t; };
    bool ok = false;
    teile.at(2).trimmed().toInt(&ok, 10);
    if (!ok)
        return QStringLiteral("Serie \"%1\" ist keine Zahl").arg(kurz(teile.at(2)));
    if (!Eingabe::punkteGeschrieben(teile.at(3)))
        return QStringLiteral("Punkte \"%1\" sind keine ganze Zahl zwischen -%2 und %2")
            .arg(kurz(teile.at(3)))
            .arg(Eingabe::maxPunkte);
    if (!Eingabe::kostenGeschrieben(teile.at(6)))
        return QStringLiteral("Kosten \"%1\" sind keine Zahl zwischen 0 und %2")
            .arg(kurz(teile.at(6)))
            .arg(Eingabe::maxKosten, 0, 'f', 0);
    teile.at(8).trimmed().toInt(&ok, 10);
    if (!ok)
        return QStringLiteral("Startnummer \"%1\" ist keine Zahl").arg(kurz(teile.at(8)));
    return {};
}

bool dateinameSicher(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") || name.size() > 200)
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    }
    return true;
}

std::optional<QByteArray> dateiEntpacken(const QString& daten, quint32 grenze)
{
    const auto dekodiert = QByteArray::fromBase64Encoding(daten.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!dekodiert)
        return std::nullopt;
    const QByteArray& gepackt = *dekodiert;
    if (gepackt.size() < 4)
        return std::nullopt;
    const quint32 laenge = qFromBigEndian<quint32>(gepackt.constData());
    if (laenge > grenze)
        return std::nullopt;
    if (laenge == 0)
        return QByteArray();
    // Inflate into exactly the declared size: a stream that would unpack to
    // more (a "zip bomb" behind a small declared length) fails here instead
    // of growing memory the way qUncompress does.
    QByteArray entpackt(int(laenge), Qt::Uninitialized);
    z_stream zs {};
    if (inflateInit(&zs) != Z_OK)
        return std::nullopt;
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(gepackt.constData() + 4));
    zs.avail_in = uInt(gepackt.size() - 4);
    zs.next_out = reinterpret_cast<Bytef*>(entpackt.data());
    zs.avail_out = uInt(laenge);
    const int ergebnis = inflate(&zs, Z_FINISH);
    const uLong geschrieben = zs.total_out;
    inflateEnd(&zs);
    if (ergebnis != Z_STREAM_END || geschrieben != laenge)
        return std::nullopt;
    return entpackt;
}

bool spielListeSchreiben(
    const QString& turnierVerzeichnis, const QString& name, const QByteArray& inhalt, bool textModus)
{
    // Without a match day the directory would end up at the file-system root
    // or below the working directory.
    if (turnierVerzeichnis.isEmpty() || QFileInfo(turnierVerzeichnis).isRelative() || !dateinameSicher(name))
        return false;
    const QString verzeichnis = turnierVerzeichnis + QLatin1Char('/') + spielListenOrdner;
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

namespace
{
// The length a code-17 body declares, read from its first Base64 characters
// without decoding the rest.
std::optional<quint32> angekuendigteLaenge(const QString& daten)
{
    const auto kopf = QByteArray::fromBase64Encoding(daten.left(8).toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!kopf || kopf.decoded.size() < 4)
        return std::nullopt;
    return qFromBigEndian<quint32>(kopf.decoded.constData());
}
} // namespace

SpielListenAblage::SpielListenAblage(int maxDateien, qint64 maxBytes)
    : m_maxDateien(maxDateien)
    , m_maxBytes(maxBytes)
{
}

void SpielListenAblage::zaehlen(const QString& verzeichnis)
{
    m_verzeichnis = verzeichnis;
    m_anzahl = 0;
    m_bytes = 0;
    m_gezaehltUm = QDateTime::currentMSecsSinceEpoch();
    const QFileInfoList dateien
        = QDir(verzeichnis).entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& f : dateien) {
        ++m_anzahl;
        m_bytes += f.size();
    }
}

bool SpielListenAblage::passt(bool neu, qint64 zuwachs) const
{
    return (!neu || m_anzahl < m_maxDateien) && m_bytes + zuwachs <= m_maxBytes;
}

SpielListenAblage::Ergebnis SpielListenAblage::speichern(const QString& turnierVerzeichnis, const Nachricht& m)
{
    if (m.felder.isEmpty() || !dateinameSicher(m.felder.first()) || turnierVerzeichnis.isEmpty()
        || QFileInfo(turnierVerzeichnis).isRelative())
        return Ergebnis::Ungueltig;
    if (m.code != Code::TextDatei && (m.code != Code::GepackteDatei || m.felder.size() != 2))
        return Ergebnis::Ungueltig;

    const QString verzeichnis = turnierVerzeichnis + QLatin1Char('/') + spielListenOrdner;
    if (verzeichnis != m_verzeichnis)
        zaehlen(verzeichnis);
    const QFileInfo alt(verzeichnis + QLatin1Char('/') + m.felder.first());
    const bool neu = !alt.exists();
    const qint64 altGroesse = neu ? 0 : alt.size();

    // The size is known before anything is unpacked, so a full match day
    // costs no work.
    qint64 groesse = 0;
    QByteArray text;
    if (m.code == Code::TextDatei) {
        text = m.felder.last().toUtf8() + '\n';
        groesse = text.size();
    } else {
        const std::optional<quint32> laenge = angekuendigteLaenge(m.felder.at(1));
        if (!laenge || *laenge > maxEntpackt)
            return Ergebnis::Ungueltig;
        groesse = *laenge;
    }
    if (!passt(neu, groesse - altGroesse)) {
        // Files removed by hand since the last count free their room; a
        // flood of refused files rescans at most every few seconds.
        if (QDateTime::currentMSecsSinceEpoch() - m_gezaehltUm < 5000)
            return Ergebnis::Voll;
        zaehlen(verzeichnis);
        if (!passt(neu, groesse - altGroesse))
            return Ergebnis::Voll;
    }

    bool ok = false;
    if (m.code == Code::TextDatei) {
        ok = spielListeSchreiben(turnierVerzeichnis, m.felder.first(), text, true);
    } else {
        const std::optional<QByteArray> inhalt = dateiEntpacken(m.felder.at(1));
        ok = inhalt && spielListeSchreiben(turnierVerzeichnis, m.felder.first(), *inhalt, false);
    }
    if (!ok)
        return Ergebnis::Ungueltig;
    if (neu)
        ++m_anzahl;
    m_bytes += groesse - altGroesse;
    return Ergebnis::Gespeichert;
}

bool dateiNachrichtSpeichern(const QString& turnierVerzeichnis, const Nachricht& m)
{
    SpielListenAblage ablage;
    return ablage.speichern(turnierVerzeichnis, m) == SpielListenAblage::Ergebnis::Gespeichert;
}

} // namespace Protokoll
