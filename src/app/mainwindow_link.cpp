// The link to companion scoring apps.

#include "app/mainwindow.h"

#include <QStatusBar>

#include "link/client.h"
#include "link/nachricht.h"

void MainWindow::linkEinrichten()
{
    client = new Client(QStringLiteral("Reizwerk"));
    connect(client, &Client::newParticipant, this, &MainWindow::newParticipant);
    connect(client, &Client::newMessage, this, &MainWindow::appendMessage);
    connect(client, &Client::participantLeft, this, &MainWindow::protokollAbmeldung);
    linkStatusZeigen();
}

void MainWindow::linkStatusZeigen()
{
    statusBar()->showMessage(tr("Verbindung: FEHLER %1").arg(client->fehlerText()));
}

void MainWindow::appendMessage(QString, QString) {}
void MainWindow::newParticipant(QString) {}
void MainWindow::protokollAbmeldung(QString) {}
void MainWindow::spielerListeSenden(QString) {}
void MainWindow::tischListeSenden(const Nachricht&) {}
void MainWindow::ergebnisseUebernehmen(QString, QStringList) {}
void MainWindow::sendeKostenRegeln(const Nachricht&) {}
void MainWindow::dateiSpeichern(const Nachricht&) {}
