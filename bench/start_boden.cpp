// The least a Qt Widgets program with a database does at start: a window and
// one SQLite file. Its start-up is the floor the program's start is held to.

#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QSqlDatabase>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow w;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(QDir::home().filePath(QStringLiteral("boden.db")));
    if (!db.open())
        return 1;
    w.show();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
