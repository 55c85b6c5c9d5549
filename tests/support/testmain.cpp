// Runs every test class of one area in one process, each on a fresh HOME.

#include <QApplication>
#include <QtTest>

#include "testumgebung.h"

namespace Testlauf
{
QList<QPair<const char*, Fabrik>>& liste();
}

int main(int argc, char* argv[])
{
    // The HOME must be in place before Qt reads any path.
    Testumgebung::frischesZuhause();
    qputenv(
        "QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    int fehler = 0;
    for (const auto& eintrag : Testlauf::liste()) {
        Testumgebung::frischesZuhause();
        std::unique_ptr<QObject> test(eintrag.second());
        fehler += QTest::qExec(test.get(), argc, argv);
    }
    return fehler == 0 ? 0 : 1;
}
