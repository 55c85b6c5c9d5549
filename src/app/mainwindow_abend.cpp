// The evening at the keyboard: every step says in the status bar what
// happened, the message log keeps what was said, and the next step is one
// key away (the next series to draw, the next table's game list, a player
// found by start number, correction mode that can be seen).

#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QAction>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>

#include "app/dlgmeldungen.h"
#include "app/meldungen.h"
#include "setup/teilnehmertabelle.h"
#include "widgets/mysortfilterproxymodel.h"
#include "widgets/treeview.h"

namespace
{
const QString korrekturRahmen = QStringLiteral("QSplitter#splErgebnis { border: 3px solid rgb(230, 110, 0); }");
} // namespace

void MainWindow::meldungenEinrichten()
{
    // Every message that reaches the status bar, whoever shows it, is kept;
    // the bar itself shows only the last one, and only as far as the link's
    // and the table app's texts beside it leave room.
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& text) {
        if (text.isEmpty()) {
            meldungZuletzt.clear();
            return;
        }
        // The bar repeats its message when widgets are added beside it.
        if (text == meldungZuletzt)
            return;
        meldungZuletzt = text;
        meldungsProtokoll->aufnehmen(text);
        statusBar()->setToolTip(text);
    });
}

void MainWindow::melden(const QString& text, int ms)
{
    // Cleared first: the same message again is a new message for the log.
    statusBar()->clearMessage();
    statusBar()->showMessage(text, ms);
}

void MainWindow::onMeldungen()
{
    DlgMeldungen dlg(*meldungsProtokoll, this);
    dlg.exec();
}

void MainWindow::abendEinrichten()
{
    // After the entries the menus have always had, so nothing moves for
    // those who know them.
    actNaechsteSerie = new QAction(tr("N\u00e4chste Serie auslosen\u2026"), this);
    actNaechsteSerie->setObjectName(QStringLiteral("actNaechsteSerie"));
    actNaechsteSerie->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_L));
    connect(actNaechsteSerie, &QAction::triggered, this, &MainWindow::onNaechsteSerieAuslosen);
    actNaechsteListe = new QAction(tr("N\u00e4chste Spielliste eintragen\u2026"), this);
    actNaechsteListe->setObjectName(QStringLiteral("actNaechsteListe"));
    actNaechsteListe->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_E));
    connect(actNaechsteListe, &QAction::triggered, this, &MainWindow::onNaechsteListeEintragen);
    actStartNrSuchen = new QAction(tr("Startnummer suchen\u2026"), this);
    actStartNrSuchen->setObjectName(QStringLiteral("actStartNrSuchen"));
    actStartNrSuchen->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_F));
    connect(actStartNrSuchen, &QAction::triggered, this, &MainWindow::onStartNrSuchen);
    menuEditieren->addSeparator();
    menuEditieren->addAction(actNaechsteSerie);
    menuEditieren->addAction(actNaechsteListe);
    menuEditieren->addAction(actStartNrSuchen);

    actBeenden = new QAction(tr("Beenden"), this);
    actBeenden->setObjectName(QStringLiteral("actBeenden"));
    actBeenden->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_Q));
    actBeenden->setMenuRole(QAction::QuitRole);
    connect(actBeenden, &QAction::triggered, this, &QWidget::close);
    menuTurnier->addSeparator();
    menuTurnier->addAction(actBeenden);

    actMeldungen = new QAction(tr("&Meldungen\u2026"), this);
    actMeldungen->setObjectName(QStringLiteral("actMeldungen"));
    connect(actMeldungen, &QAction::triggered, this, &MainWindow::onMeldungen);
    if (auto* ansicht = menuBar()->findChild<QMenu*>(QStringLiteral("menuAnsicht")))
        ansicht->addAction(actMeldungen);

    // Correction mode is seen above the table, not only as a check mark in
    // a closed menu.
    lblKorrektur = new QLabel(
        tr("KORREKTURMODUS: Eingaben in der Tabelle werden sofort gespeichert. Strg+K beendet ihn."), this);
    lblKorrektur->setObjectName(QStringLiteral("lblKorrektur"));
    lblKorrektur->setStyleSheet(
        QStringLiteral("background: rgb(255, 200, 120); color: black; font-weight: bold; padding: 3px;"));
    lblKorrektur->hide();
    ui->vlErgebnis->insertWidget(0, lblKorrektur);
}

void MainWindow::korrekturZeigen(bool an)
{
    if (!lblKorrektur || !ergebnisTeiler)
        return;
    lblKorrektur->setVisible(an);
    ergebnisTeiler->setStyleSheet(an ? korrekturRahmen : QString());
    melden(an ? tr("Korrekturmodus an: Punkte und Kosten in der Tabelle eintippen, Enter speichert")
              : tr("Korrekturmodus aus"),
        an ? 0 : 5000);
}

void MainWindow::onStartNrSuchen()
{
    if (teilnehmerModel->rowCount() == 0) {
        melden(tr("Keine Teilnehmer in der Tabelle, niemand zu suchen"), 5000);
        return;
    }
    QInputDialog dlg(this);
    dlg.setObjectName(QStringLiteral("dlgStartNrSuchen"));
    dlg.setWindowTitle(tr("Startnummer suchen"));
    dlg.setLabelText(tr("Startnummer:"));
    dlg.setInputMode(QInputDialog::TextInput);
    if (dlg.exec() != QDialog::Accepted)
        return;
    const QString text = dlg.textValue().trimmed();
    bool zahl = false;
    const int startNr = text.toInt(&zahl);
    const int zeile = zahl ? teilnehmerTabelle->zeileVon(startNr) : -1;
    if (zeile < 0) {
        melden(tr("FEHLER: Startnummer %1 ist nicht in der Gruppe %2").arg(text, aktuelleGruppe()));
        return;
    }
    // The cursor keeps its column, so the organiser types on in the series
    // he was in; from a column outside the series it goes to the points of
    // the last drawn one.
    int spalte = teilnehmerView->currentIndex().column();
    if (spalte < Spalte::punkte(1) || spalte >= Spalte::summePunkte(teilnehmerTabelle->serien()))
        spalte = Spalte::punkte(qMax(1, letzteGelosteSerie()));
    const QModelIndex ziel = teilnehmerProxy->mapFromSource(teilnehmerModel->index(zeile, spalte));
    ui->tabWidget->setCurrentIndex(1);
    teilnehmerView->setCurrentIndex(ziel);
    teilnehmerView->scrollTo(ziel);
    teilnehmerView->setFocus(Qt::ShortcutFocusReason);
    melden(tr("Startnummer %1: %2").arg(startNr).arg(teilnehmerTabelle->nameItem(zeile)->text()), 5000);
}
