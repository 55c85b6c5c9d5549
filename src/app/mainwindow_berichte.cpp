// Reports: the match-day files and the ranking. The slots collect what the
// reports read, ask for the file name and write; the texts come from reports/.

#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QSettings>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTextStream>

#include <functional>

#include "reports/bericht.h"
#include "reports/dlgrangliste.h"
#include "reports/dlgtextausgabe.h"
#include "reports/rangliste.h"
#include "setup/teilnehmertabelle.h"
#include "storage/pfade.h"
#include "storage/speichername.h"
#include "widgets/dialoge.h"
#include "widgets/sanduhr.h"
#include "widgets/treeview.h"

namespace
{

// The results table as the reports see it, or false (said in the status bar)
// when there is none yet.
bool schnappschussNehmen(const TreeView* ansicht, const QAbstractItemModel* model, const QDate& datum,
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

// The folder the save dialogs start in: the match day's, else the data folder.
QString ausgabeOrdner(const QString& turnier, const QString& datenVerzeichnis)
{
    return !turnier.isEmpty() && QFileInfo(turnier).isDir() ? turnier : datenVerzeichnis;
}

// Asks for the file name, suggesting `vorschlag`, adds the suffix the user
// left out and writes; the status bar names the written file, a file that
// cannot be written is named with the reason. `inhalt` is made only once a
// name was chosen, under the busy cursor.
void dateiAusgeben(QWidget* eltern, QStatusBar* status, const QString& titel, const QString& filter,
    const QString& vorschlag, const QString& endung, const std::function<QByteArray()>& inhalt, bool textModus)
{
    const QString datei = Dialoge::speicherZiel(eltern, titel, vorschlag, filter, endung);
    if (datei.isEmpty())
        return;
    QString grund;
    bool geschrieben = false;
    {
        const Sanduhr warten;
        geschrieben = Bericht::dateiSchreiben(datei, inhalt(), textModus, &grund);
    }
    if (!geschrieben) {
        Dialoge::fehler(eltern, QObject::tr("Die Datei %1 konnte nicht geschrieben werden:\n%2").arg(datei, grund));
        return;
    }
    status->showMessage(QObject::tr("Gespeichert: %1").arg(QDir::toNativeSeparators(datei)), 15000);
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
        dateiAusgeben(
            this, statusBar(), tr("Textdatei"), tr("Textdatei (*.txt)"),
            Speichername::spieltag(ausgabeOrdner(turnierVerzeichnis, datenbankVerzeichnis), aktuelleGruppe(),
                ui->dateEdit->date(), tr("Ergebnisse"), QStringLiteral("txt")),
            QStringLiteral("txt"), [&s] { return Bericht::lokaleBytes(Bericht::textBericht(s)); }, true);
}

void MainWindow::onTeilnehmerExcelAusgabe()
{
    Bericht::Schnappschuss s;
    if (schnappschussNehmen(teilnehmerView, teilnehmerModel, ui->dateEdit->date(), *einstellungen, statusBar(), s))
        dateiAusgeben(
            this, statusBar(), tr("Excel Import"), tr("Textdatei (*.txt)"),
            Speichername::spieltag(ausgabeOrdner(turnierVerzeichnis, datenbankVerzeichnis), aktuelleGruppe(),
                ui->dateEdit->date(), tr("Tabellenimport"), QStringLiteral("txt")),
            QStringLiteral("txt"), [&s] { return Bericht::lokaleBytes(Bericht::excelBericht(s)); }, true);
}

void MainWindow::onTeilnehmerHtmlAusgabe()
{
    Bericht::Schnappschuss s;
    if (schnappschussNehmen(teilnehmerView, teilnehmerModel, ui->dateEdit->date(), *einstellungen, statusBar(), s))
        dateiAusgeben(
            this, statusBar(), tr("Datei schreiben"), tr("html-Datei (*.html)"),
            Speichername::spieltag(ausgabeOrdner(turnierVerzeichnis, datenbankVerzeichnis), aktuelleGruppe(),
                ui->dateEdit->date(), tr("Spieltag"), QStringLiteral("html")),
            QStringLiteral("html"), [&s] { return Bericht::htmlBytes(Bericht::htmlBericht(s)); }, false);
}

void MainWindow::onRangliste()
{
    DlgRangliste dlg(this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    const QDate start = dlg.startDatum();
    const QDate ende = dlg.endDatum();
    QSqlDatabase db = spieltag->verbindungen().hauptDatenbank();
    if (!db.isValid() || !db.isOpen())
        return;

    QString listenName;
    double einsatz = 0.0;
    Bericht::einstellungenLesen(*einstellungen, listenName, einsatz);
    dateiAusgeben(
        this, statusBar(), tr("Datei schreiben"), tr("html-Datei (*.html)"),
        Speichername::vorschlag(ausgabeOrdner(turnierVerzeichnis, datenbankVerzeichnis),
            { tr("Rangliste"), Speichername::datum(start), Speichername::datum(ende) }, QStringLiteral("html")),
        QStringLiteral("html"),
        [&] {
            return Bericht::htmlBytes(
                Rangliste::html(Rangliste::auswerten(Rangliste::lesen(db), start, ende), start, ende, listenName));
        },
        false);
}

void MainWindow::htmlKopfAusgeben(QTextStream& os, QString title)
{
    os << Bericht::htmlKopf(title);
}

void MainWindow::htmlFussAusgeben(QTextStream& os)
{
    os << Bericht::htmlFuss();
}
