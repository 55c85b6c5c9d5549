// Printing: the menu "Drucken" with the seating list, the game-list sheets,
// the results notice and the ranking page. The slots read the stored match
// day, let print/ lay out the pages and open the print preview.

#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

#include "print/dlgdruckserie.h"
#include "print/dokumente.h"
#include "print/vorschau.h"
#include "reports/dlgrangliste.h"
#include "reports/rangliste.h"
#include "widgets/dialoge.h"

void MainWindow::druckMenuEinrichten()
{
    menuDrucken = menuBar()->addMenu(tr("Dr&ucken"));
    menuDrucken->setObjectName(QStringLiteral("menuDrucken"));
    struct Eintrag {
        const char* name;
        QString text;
        void (MainWindow::*slot)();
    };
    const Eintrag eintraege[] = {
        { "actTischliste", tr("Tischliste\u2026"), &MainWindow::onTischlisteDrucken },
        { "actSpiellisten", tr("Spiellisten\u2026"), &MainWindow::onSpiellistenDrucken },
        { "actErgebnisliste", tr("Ergebnisliste\u2026"), &MainWindow::onErgebnislisteDrucken },
        { "actRanglisteDrucken", tr("Rangliste\u2026"), &MainWindow::onRanglisteDrucken },
    };
    for (const Eintrag& e : eintraege) {
        QAction* a = menuDrucken->addAction(e.text, this, e.slot);
        a->setObjectName(QLatin1String(e.name));
    }
}

void MainWindow::setTischAdresse(std::function<QString(const QString&, int, int)> adresse)
{
    druckTischAdresse = std::move(adresse);
}

bool MainWindow::druckGruppeLesen(Spieltag::Gruppe& g)
{
    QSqlDatabase db = gruppenDatenbank();
    if (aktuelleGruppe().isEmpty() || !db.isValid() || !db.isOpen()) {
        statusBar()->showMessage(tr("Keine Gruppe ge\u00f6ffnet, nichts zu drucken"), 5000);
        return false;
    }
    QString fehler;
    if (!Spieltag::gruppeLesen(db, g, &fehler)) {
        Dialoge::fehler(this, tr("Die Gruppe %1 konnte nicht gelesen werden:\n%2").arg(aktuelleGruppe(), fehler));
        return false;
    }
    return true;
}

namespace
{

// The series to print, or 0 when the organiser cancels.
int serieWaehlen(QWidget* eltern, const QString& was, const Spieltag::Gruppe& g)
{
    DlgDruckSerie dlg(was, g.name, g.serien, qMax(1, g.letzteGeloste()), eltern);
    return dlg.exec() == QDialog::Accepted ? dlg.serie() : 0;
}

// Opens the preview, or says why there is nothing to print.
void zeigen(QWidget* eltern, const Druck::Dokument& d, const QString& ordner)
{
    if (!d.hinweis.isEmpty()) {
        Dialoge::info(eltern, QObject::tr("Drucken"), d.hinweis);
        return;
    }
    Druck::vorschauZeigen(eltern, d, ordner);
}

} // namespace

void MainWindow::onTischlisteDrucken()
{
    Spieltag::Gruppe g;
    if (!druckGruppeLesen(g))
        return;
    const int s = serieWaehlen(this, tr("Tischliste"), g);
    if (s > 0)
        zeigen(this, Druck::tischliste(g, s, druckTischAdresse), turnierVerzeichnis);
}

void MainWindow::onSpiellistenDrucken()
{
    Spieltag::Gruppe g;
    if (!druckGruppeLesen(g))
        return;
    const int s = serieWaehlen(this, tr("Spiellisten"), g);
    if (s > 0)
        zeigen(
            this, Druck::spiellisten(g, s, Regeln::werteLesen(*einstellungen), druckTischAdresse), turnierVerzeichnis);
}

void MainWindow::onErgebnislisteDrucken()
{
    Spieltag::Gruppe g;
    if (druckGruppeLesen(g))
        zeigen(this,
            Druck::ergebnisliste(g, Regeln::werteLesen(*einstellungen),
                Druck::Namenszusatz::aus(*einstellungen, registry().hauptDatenbank())),
            turnierVerzeichnis);
}

void MainWindow::onRanglisteDrucken()
{
    DlgRangliste dlg(this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    QSqlDatabase db = spieltag->verbindungen().hauptDatenbank();
    if (!db.isValid() || !db.isOpen())
        return;
    const QDate start = dlg.startDatum();
    const QDate ende = dlg.endDatum();
    zeigen(this,
        Druck::rangliste(Rangliste::auswerten(Rangliste::lesen(db), start, ende), start, ende,
            Regeln::werteLesen(*einstellungen).listenName),
        turnierVerzeichnis);
}
