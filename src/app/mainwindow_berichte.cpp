// Reports: the match-day files and the ranking. The slots collect what the
// reports read, ask for the file name and write; the texts come from reports/.

#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QHeaderView>
#include <QSettings>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTextStream>

#include "app/dialoge.h"
#include "reports/bericht.h"
#include "reports/dlgrangliste.h"
#include "reports/dlgtextausgabe.h"
#include "reports/rangliste.h"
#include "setup/teilnehmertabelle.h"
#include "storage/pfade.h"
#include "widgets/treeview.h"

namespace
{

// The results table as the reports see it, or false (said in the status bar)
// when there is none yet.
bool schnappschussNehmen(const TreeView* ansicht, const QStandardItemModel* model, const QDate& datum,
    const QSettings& einstellungen, QStatusBar* status, Bericht::Schnappschuss& s)
{
    const QAbstractItemModel* kopf = ansicht ? ansicht->header()->model() : nullptr;
    if (!kopf || !model || kopf->columnCount() < Spalte::anzahl(1)) {
        status->showMessage(QObject::tr("Keine Ergebnistabelle zum Ausgeben"), 5000);
        return false;
    }
    QString listenName;
    double einsatz = 0.0;
    Bericht::einstellungenLesen(einstellungen, listenName, einsatz);
    s = Bericht::schnappschuss(*kopf, *model, datum, listenName, einsatz);
    return true;
}

// Asks for the file name and writes; a file that cannot be written is named
// with the reason.
void dateiAusgeben(QWidget* eltern, const QSettings& einstellungen, const QString& titel, const QString& filter,
    const QByteArray& inhalt, bool textModus)
{
    const QString datei = Dialoge::speicherName(eltern, titel, Pfade::letztesTurnier(einstellungen), filter);
    if (datei.isEmpty())
        return;
    QString grund;
    if (!Bericht::dateiSchreiben(datei, inhalt, textModus, &grund))
        Dialoge::fehler(eltern, QObject::tr("Die Datei %1 konnte nicht geschrieben werden:\n%2").arg(datei, grund));
}

} // namespace

void MainWindow::onTeilnehmerAusgabeInDatei()
{
    DlgTextAusgabe dlg(this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    switch (dlg.ausgabeTyp()) {
    case DlgTextAusgabe::ExcelDatei:
        onTeilnehmerExcelAusgabe();
        break;
    case DlgTextAusgabe::HtmlDatei:
        onTeilnehmerHtmlAusgabe();
        break;
    default:
        onTeilnehmerTextAusgabe();
    }
}

void MainWindow::onTeilnehmerTextAusgabe()
{
    Bericht::Schnappschuss s;
    if (schnappschussNehmen(teilnehmerView, teilnehmerModel, ui->dateEdit->date(), *einstellungen, statusBar(), s))
        dateiAusgeben(this, *einstellungen, tr("Textdatei"), tr("Textdatei (*.txt)"),
            Bericht::lokaleBytes(Bericht::textBericht(s)), true);
}

void MainWindow::onTeilnehmerExcelAusgabe()
{
    Bericht::Schnappschuss s;
    if (schnappschussNehmen(teilnehmerView, teilnehmerModel, ui->dateEdit->date(), *einstellungen, statusBar(), s))
        dateiAusgeben(this, *einstellungen, tr("Excel Import"), tr("Textdatei (*.txt)"),
            Bericht::lokaleBytes(Bericht::excelBericht(s)), true);
}

void MainWindow::onTeilnehmerHtmlAusgabe()
{
    Bericht::Schnappschuss s;
    if (schnappschussNehmen(teilnehmerView, teilnehmerModel, ui->dateEdit->date(), *einstellungen, statusBar(), s))
        dateiAusgeben(this, *einstellungen, tr("Datei schreiben"), tr("html-Datei (*.html)"),
            Bericht::htmlBytes(Bericht::htmlBericht(s)), false);
}

void MainWindow::onRangliste()
{
    DlgRangliste dlg(this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    const QDate start = dlg.startDatum();
    const QDate ende = dlg.endDatum();
    QSqlDatabase db = verbindungen.hauptDatenbank();
    if (!db.isValid() || !db.isOpen())
        return;

    QString listenName;
    double einsatz = 0.0;
    Bericht::einstellungenLesen(*einstellungen, listenName, einsatz);
    const QString seite
        = Rangliste::html(Rangliste::auswerten(Rangliste::lesen(db), start, ende), start, ende, listenName);

    dateiAusgeben(
        this, *einstellungen, tr("Datei schreiben"), tr("html-Datei (*.html)"), Bericht::htmlBytes(seite), false);
}

void MainWindow::htmlKopfAusgeben(QTextStream& os, QString title)
{
    os << Bericht::htmlKopf(title);
}

void MainWindow::htmlFussAusgeben(QTextStream& os)
{
    os << Bericht::htmlFuss();
}
