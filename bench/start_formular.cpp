// The floor's window with the program's own form in it and nothing else: no
// data folder, no models, no link. What it costs above the floor is what the
// form alone adds to every start, since the window builds all its tabs
// before it is shown.

#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QSqlDatabase>
#include <QTimer>

#include "ui_mainwindow.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(resources);
    QMainWindow w;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(QDir::home().filePath(QStringLiteral("boden.db")));
    if (!db.open())
        return 1;
    Ui::MainWindow ui;
    ui.setupUi(&w);
    w.setCentralWidget(ui.tabWidget);
    w.show();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
