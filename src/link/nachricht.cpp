#include "link/nachricht.h"

#include <QHostAddress>

Nachricht Nachricht::lesen(const QString& text)
{
    Nachricht m;
    const QStringList teile = text.split(QLatin1Char('$'), Qt::KeepEmptyParts);
    if (teile.size() != 2)
        return m;
    const QStringList kopf = teile.at(0).split(QLatin1Char(':'), Qt::KeepEmptyParts);
    if (kopf.size() != 3)
        return m;
    bool ok = false;
    const int code = kopf.at(0).toInt(&ok, 10);
    m.code = ok ? code : 0;
    m.adresse = kopf.at(1);
    m.liste = kopf.at(2);

    const QString& rumpf = teile.at(1);
    if (m.code == 17) {
        // File data may itself hold "@"; only the name is cut off.
        const int at = rumpf.indexOf(QLatin1Char('@'));
        if (at < 0)
            m.felder = QStringList { rumpf, rumpf };
        else
            m.felder = QStringList { rumpf.left(at), rumpf.mid(at + 1) };
    } else {
        m.felder = rumpf.split(QLatin1Char('@'), Qt::KeepEmptyParts);
    }
    return m;
}

QString Nachricht::text() const
{
    // Concatenated, not arg(): the parts are foreign text that may hold "%1".
    return QString::number(code) + QLatin1Char(':') + adresse + QLatin1Char(':') + liste + QLatin1Char('$')
        + felder.join(QLatin1Char('@'));
}

Nick Nick::lesen(const QString& nick)
{
    Nick n;
    const QStringList teile = nick.split(QLatin1Char('@'), Qt::KeepEmptyParts);
    if (teile.size() != 2)
        return n;
    // "address:port" as the link writes it, IPv6 addresses included; they
    // would fall apart at their own ":" below.
    const int letzter = teile.at(1).lastIndexOf(QLatin1Char(':'));
    if (letzter > 0) {
        const QString vorne = teile.at(1).left(letzter);
        QHostAddress a;
        if (vorne.contains(QLatin1Char(':')) && a.setAddress(vorne)) {
            n.name = teile.at(0);
            n.adresse = vorne;
            return n;
        }
    }
    const QStringList stuecke = teile.at(1).split(QLatin1Char(':'), Qt::KeepEmptyParts);
    for (const QString& stueck : stuecke) {
        QHostAddress a;
        if (!stueck.isEmpty() && a.setAddress(stueck)) {
            n.name = teile.at(0);
            n.adresse = stueck;
            return n;
        }
    }
    return n;
}
