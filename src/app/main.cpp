#include <QApplication>

#include "app/mainwindow.h"
#include "app/sprache.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Sprache::einrichten(app);
    MainWindow w;
    if (!w.laeuft())
        return 1; // another program works on this data folder
    w.show();
    return app.exec();
}
