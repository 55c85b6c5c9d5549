#pragma once
// Random link texts for the tests: from the characters that matter to the
// message reader, and mutations of well-formed messages.

#include <QRandomGenerator>
#include <QString>

// Text from the characters that matter to the reader, with some stray ones.
inline QString zufallsText(QRandomGenerator& r, int maxLaenge)
{
    static const QString zeichen = QStringLiteral(":$@|0123456789ab.-%\\/ \n\xe4");
    const int laenge = r.bounded(maxLaenge + 1);
    QString t;
    for (int i = 0; i < laenge; ++i) {
        switch (r.bounded(10)) {
        case 0: // any code unit, lone surrogates included
            t += QChar(ushort(r.bounded(0x10000)));
            break;
        default:
            t += zeichen.at(r.bounded(zeichen.size()));
        }
    }
    return t;
}

inline QString mutiert(QRandomGenerator& r, QString t)
{
    const int schritte = 1 + r.bounded(4);
    for (int i = 0; i < schritte && !t.isEmpty(); ++i) {
        const int pos = r.bounded(t.size());
        switch (r.bounded(4)) {
        case 0:
            t.remove(pos, 1 + r.bounded(3));
            break;
        case 1:
            t.insert(pos, zufallsText(r, 3));
            break;
        case 2:
            t[pos] = QStringLiteral(":$@|").at(r.bounded(4));
            break;
        default:
            t = t.left(pos);
        }
    }
    return t;
}
