#include "link/protokoll.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <functional>

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
    // Every line of every message passes here: its parts are read in place.
    const QVector<QStringRef> teile = zeile.splitRef(QLatin1Char('|'), Qt::KeepEmptyParts);
    if (teile.size() != 9)
        return std::nullopt;
    bool ok1 = false, ok4 = false;
    Ergebnis e;
    e.serie = teile.at(2).trimmed().toInt(&ok1, 10);
    e.startNr = teile.at(8).trimmed().toInt(&ok4, 10);
    const std::optional<int> punkte = Eingabe::punkteGeschrieben(teile.at(3).toString());
    const std::optional<double> kosten = Eingabe::kostenGeschrieben(teile.at(6).toString());
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
    return SpielListen::dateinameSicher(name);
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
    return SpielListen::schreiben(turnierVerzeichnis, name, inhalt, textModus);
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
    : m_ablage(maxDateien, maxBytes, std::min(maxDateien, SpielListen::maxDateienJeGeraet),
        std::min(maxBytes, SpielListen::maxBytesJeGeraet))
{
}

SpielListenAblage::Ergebnis SpielListenAblage::speichern(
    const QString& turnierVerzeichnis, const Nachricht& m, QString* beiseite)
{
    if (m.felder.isEmpty() || !dateinameSicher(m.felder.first()))
        return Ergebnis::Ungueltig;
    if (m.code != Code::TextDatei && (m.code != Code::GepackteDatei || m.felder.size() != 2))
        return Ergebnis::Ungueltig;

    // The size is known before anything is unpacked, so a full share costs
    // no work.
    qint64 groesse = 0;
    std::function<std::optional<QByteArray>()> inhalt;
    if (m.code == Code::TextDatei) {
        const QByteArray text = m.felder.last().toUtf8() + '\n';
        groesse = text.size();
        inhalt = [text]() { return std::optional<QByteArray>(text); };
    } else {
        const std::optional<quint32> laenge = angekuendigteLaenge(m.felder.at(1));
        if (!laenge || *laenge > maxEntpackt)
            return Ergebnis::Ungueltig;
        groesse = *laenge;
        inhalt = [&m]() { return dateiEntpacken(m.felder.at(1)); };
    }
    using A = SpielListen::Ablage::Ergebnis;
    switch (m_ablage.vomGeraet(
        turnierVerzeichnis, m.adresse, m.felder.first(), groesse, inhalt, m.code == Code::TextDatei, beiseite)) {
    case A::Gespeichert:
        return Ergebnis::Gespeichert;
    case A::Beiseitegelegt:
        return Ergebnis::Beiseitegelegt;
    case A::Geschuetzt:
        return Ergebnis::Geschuetzt;
    case A::VollTag:
    case A::VollGeraet:
        return Ergebnis::Voll;
    case A::Ungueltig:
        break;
    }
    return Ergebnis::Ungueltig;
}

bool dateiNachrichtSpeichern(const QString& turnierVerzeichnis, const Nachricht& m)
{
    SpielListenAblage ablage;
    const SpielListenAblage::Ergebnis e = ablage.speichern(turnierVerzeichnis, m);
    return e == SpielListenAblage::Ergebnis::Gespeichert || e == SpielListenAblage::Ergebnis::Beiseitegelegt;
}

} // namespace Protokoll
