#include <QApplication>
#include <QIcon>

#include "app/mainwindow.h"
#include "app/sprache.h"
#include "storage/plattform.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Sprache::einrichten(app);
    // The installed menu entry and icon carry this name; desktops match the
    // window to them by it.
    const QString kennung = QStringLiteral("io.github.kartenhof.Reizwerk");
    QGuiApplication::setDesktopFileName(kennung);
    QApplication::setWindowIcon(QIcon::fromTheme(kennung));
    // Logout, kill and Ctrl+C end the program as closing its windows does:
    // dialogs are cancelled, the window keeps its state, and leaving the
    // event loop stops the servers and gives up the data folder's lock.
    Plattform::Beendensignale signale;
    bool beendet = false;
    QObject::connect(&signale, &Plattform::Beendensignale::beendenVerlangt, &app, [&beendet] {
        beendet = true;
        QApplication::closeAllWindows();
        // A window that refused to close, or a dialog's own event loop
        // still running, must not keep the program alive.
        QCoreApplication::quit();
    });
    MainWindow w;
    if (!w.laeuft())
        return 1; // another program works on this data folder
    if (beendet)
        return 0; // asked to end while starting
    w.show();
    return app.exec();
}
