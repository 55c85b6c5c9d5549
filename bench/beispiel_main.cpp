// Prepares a match day in the HOME given as argument, for the README pictures:
// reizwerk_beispiel HOME [players] [series] [drawn series] [PDF folder]
// With a PDF folder, the seating list and the game-list sheets of the last
// drawn series are written there as well.

#include <QApplication>
#include <QSettings>

#include "app/mainwindow.h"
#include "beispiel.h"
#include "print/dokumente.h"
#include "storage/spieltagleser.h"
#include "storage/verbindungen.h"

int main(int argc, char* argv[])
{
    if (argc < 2)
        return 2;
    Beispiel::zuhauseSetzen(QString::fromLocal8Bit(argv[1]));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int spieler = argc > 2 ? atoi(argv[2]) : 20;
    const int serien = argc > 3 ? atoi(argv[3]) : 3;
    const int gezogen = argc > 4 ? atoi(argv[4]) : 2;
    Beispiel::spieltagAnlegen(spieler, serien);
    {
        // The prepared program listens on loopback only, at a free port.
        QSettings s(
            QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kartenhof"), QStringLiteral("Reizwerk"));
        s.setValue(QStringLiteral("Link/Port"), 0);
        s.setValue(QStringLiteral("Link/Adresse"), QStringLiteral("127.0.0.1"));
        s.setValue(QStringLiteral("Web/Port"), 0);
        s.setValue(QStringLiteral("Web/Adresse"), QStringLiteral("127.0.0.1"));
    }
    MainWindow w;
    Beispiel::auslosenUndWerten(w, gezogen);
    if (argc > 5) {
        Spieltag::Gruppe g;
        QString fehler;
        const QString ordner = QString::fromLocal8Bit(argv[5]);
        if (!Spieltag::gruppeLesen(w.registry().datenbank(QStringLiteral("Herren")), g, &fehler)
            || !Druck::pdfSchreiben(Druck::tischliste(g, gezogen), ordner + QStringLiteral("/tischliste.pdf"), &fehler)
            || !Druck::pdfSchreiben(Druck::spiellisten(g, gezogen, Regeln::werteLesen(*w.settings())),
                ordner + QStringLiteral("/spielliste.pdf"), &fehler)) {
            qWarning("%s", qPrintable(fehler));
            return 1;
        }
    }
    return 0;
}
