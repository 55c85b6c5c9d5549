#include "scoring/eingabe.h"

#include <QRegularExpression>

#include <cmath>

namespace Eingabe
{

std::optional<int> punkte(const QString& text)
{
    static const QRegularExpression muster(QStringLiteral("^\\s*([+-]?\\d{1,9})\\s*$"));
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
    static const QRegularExpression muster(QStringLiteral("^\\s*\\+?(\\d{1,9})(?:[.,](\\d{0,6}))?\\s*$"));
    const QRegularExpressionMatch m = muster.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double wert = QStringLiteral("%1.%2").arg(m.captured(1), m.captured(2)).toDouble(&ok);
    if (!ok || !std::isfinite(wert) || wert < 0.0 || wert > maxKosten)
        return std::nullopt;
    return wert;
}

static bool istZahl(const QString& text, bool ganz)
{
    static const QRegularExpression ganzzahl(QStringLiteral("^\\s*[+-]?\\d+\\s*$"));
    static const QRegularExpression dezimal(QStringLiteral("^\\s*[+-]?\\d+(?:[.,]\\d*)?\\s*$"));
    return (ganz ? ganzzahl : dezimal).match(text).hasMatch();
}

QString fehlerPunkte(const QString& text)
{
    if (istZahl(text, true))
        return QStringLiteral("FEHLER: %1 liegt nicht zwischen -%2 und %2").arg(text.trimmed()).arg(maxPunkte);
    return QStringLiteral("FEHLER: %1 ist keine Zahl").arg(text.trimmed());
}

QString fehlerKosten(const QString& text)
{
    if (istZahl(text, false))
        return QStringLiteral("FEHLER: %1 liegt nicht zwischen 0 und %2").arg(text.trimmed()).arg(maxKosten, 0, 'f', 0);
    return QStringLiteral("FEHLER: %1 ist keine Zahl").arg(text.trimmed());
}

} // namespace Eingabe
