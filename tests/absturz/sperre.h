#pragma once
// The data folder's lock as the real program leaves it, read from outside.

#include <QElapsedTimer>
#include <QTest>

#include "testumgebung.h"

namespace Sperre
{

inline QString datei()
{
    return Testumgebung::datenOrdner() + QStringLiteral("/reizwerk.lock");
}

// The process id written into the lock file (0 while there is none).
inline qint64 halter()
{
    return Testumgebung::dateiInhalt(datei()).split('\n').value(0).toLongLong();
}

inline bool wartenAufHalter(qint64 pid)
{
    QElapsedTimer uhr;
    uhr.start();
    while (uhr.elapsed() < 30000) {
        if (halter() == pid)
            return true;
        QTest::qWait(50);
    }
    return false;
}

} // namespace Sperre
