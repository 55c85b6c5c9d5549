#include "scoring/eingabe.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace Eingabe
{

std::optional<int> punkte(const QString& text)
{
    static const QRegularExpression muster(QStringLiteral("^\\s*([+-]?[0-9]{1,9})\\s*$"));
    const QRegularExpressionMatch m = muster.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    bool ok = false;
    const int wert = m.captured(1).toInt(&ok);
    if (!ok || wert < -maxPunkte || wert > maxPunkte)
        return std::nullopt;
    return wert;
}

std::optional<double> kosten(const QString& text)
{
    static const QRegularExpression muster(QStringLiteral("^\\s*\\+?([0-9]{1,9})(?:[.,]([0-9]{0,6}))?\\s*$"));
    const QRegularExpressionMatch m = muster.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double wert = QStringLiteral("%1.%2").arg(m.captured(1), m.captured(2)).toDouble(&ok);
    if (!ok || !std::isfinite(wert) || wert < 0.0 || wert > maxKosten)
        return std::nullopt;
    return wert;
}

// The plain decimal notation of number formatters; no "nan", "inf", hex or
// thousands separators.
static std::optional<double> geschrieben(const QString& text)
{
    static const QRegularExpression muster(
        QStringLiteral("^\\s*[+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eE][+-]?[0-9]{1,4})?\\s*$"));
    if (text.size() > 64 || !muster.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double wert = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(wert))
        return std::nullopt;
    return wert;
}

std::optional<int> punkteGeschrieben(const QString& text)
{
    const std::optional<double> wert = geschrieben(text);
    if (!wert || *wert < -maxPunkte || *wert > maxPunkte || std::trunc(*wert) != *wert)
        return std::nullopt;
    return int(*wert);
}

std::optional<double> kostenGeschrieben(const QString& text)
{
    const std::optional<double> wert = geschrieben(text);
    if (!wert || *wert < 0.0 || *wert > maxKosten)
        return std::nullopt;
    // The one-decimal form the results table stores.
    return QString::number(*wert, 'f', 1).toDouble() + 0.0;
}

std::optional<int> punkteOderLeer(const QString& text)
{
    if (text.trimmed().isEmpty())
        return 0;
    return punkte(text);
}

std::optional<double> kostenOderLeer(const QString& text)
{
    if (text.trimmed().isEmpty())
        return 0.0;
    return kosten(text);
}

std::optional<int> tisch(const QString& text)
{
    static const QRegularExpression muster(QStringLiteral("^\\s*(-1|[0-9]{1,4})\\s*$"));
    const QRegularExpressionMatch m = muster.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const int wert = m.captured(1).toInt();
    if (wert > maxTisch)
        return std::nullopt;
    return wert;
}

// The refused text as the message quotes it: trimmed, short, visible when empty.
static QString zitat(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return QStringLiteral("(leer)");
    return t.size() > 40 ? t.left(40) + QStringLiteral("...") : t;
}

static bool istZahl(const QString& text, bool ganz)
{
    static const QRegularExpression ganzzahl(QStringLiteral("^\\s*[+-]?[0-9]+\\s*$"));
    static const QRegularExpression dezimal(QStringLiteral("^\\s*[+-]?[0-9]+(?:[.,][0-9]*)?\\s*$"));
    return (ganz ? ganzzahl : dezimal).match(text).hasMatch();
}

QString fehlerPunkte(const QString& text)
{
    if (istZahl(text, true))
        return QStringLiteral("FEHLER: %1 liegt nicht zwischen -%2 und %2").arg(zitat(text)).arg(maxPunkte);
    return QStringLiteral("FEHLER: %1 ist keine Zahl").arg(zitat(text));
}

QString fehlerKosten(const QString& text)
{
    if (istZahl(text, false))
        return QStringLiteral("FEHLER: %1 liegt nicht zwischen 0 und %2").arg(zitat(text)).arg(maxKosten, 0, 'f', 0);
    return QStringLiteral("FEHLER: %1 ist keine Zahl").arg(zitat(text));
}

QString fehlerTisch(const QString& text)
{
    if (istZahl(text, true))
        return QStringLiteral("FEHLER: Tisch %1 liegt nicht zwischen -1 und %2").arg(zitat(text)).arg(maxTisch);
    return QStringLiteral("FEHLER: %1 ist keine Zahl").arg(zitat(text));
}

} // namespace Eingabe
