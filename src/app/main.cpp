#include <QApplication>

#include "app/mainwindow.h"
#include "app/sprache.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Sprache::einrichten(app);
    MainWindow w;
    w.show();
    return app.exec();
}
