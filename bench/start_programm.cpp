// The program's own main() that ends at the first turn of its event loop, so
// the benchmark can time a complete start.

#include <QApplication>
#include <QTimer>

#include "app/mainwindow.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    MainWindow w;
    w.show();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
