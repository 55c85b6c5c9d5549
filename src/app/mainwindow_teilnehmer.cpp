// The participants tab: new tournaments and groups, the player choice list,
// and the results table with its loading, header and ordering.

#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QSettings>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardItemModel>
#include <QTimer>

#include "app/dialoge.h"
#include "setup/dlgnewgroup.h"
#include "setup/teilnehmertabelle.h"
#include "storage/datenbank.h"
#include "storage/pfade.h"
#include "widgets/delegates.h"
#include "widgets/mysortfilterproxymodel.h"
#include "widgets/treeview.h"

namespace {
constexpr int AuswahlStartNr = Qt::UserRole + 1;
constexpr int AuswahlMitglied = Qt::UserRole + 2;
constexpr int AuswahlPreisskat = Qt::UserRole + 3;
} // namespace

QString MainWindow::aktuelleGruppe() const
{
    return ui->cmbTeilnehmerGruppe->currentText();
}

QSqlDatabase MainWindow::gruppenDatenbank() const
{
    return verbindungen.datenbank(aktuelleGruppe());
}

int MainWindow::anzahlSerien() const
{
    return ui->leAnzahlSerien->text().toInt();
}

void MainWindow::teilnehmerTabelleEinrichten()
{
    teilnehmerModel = new QStandardItemModel(this);
    teilnehmerModel->setSortRole(Rolle::StartNr);
    teilnehmerTabelle = new TeilnehmerTabelle(teilnehmerModel);
    teilnehmerProxy = new MySortFilterProxyModel(this);
    teilnehmerProxy->setSourceModel(teilnehmerModel);
    teilnehmerView = new TreeView(this);
    teilnehmerView->setObjectName(QStringLiteral("teilnehmerView"));
    teilnehmerView->header()->setSectionResizeMode(QHeaderView::Interactive);
    teilnehmerView->header()->setStretchLastSection(false);
    // Every row is one line of text; without this each changed cell has its
    // whole row measured again.
    teilnehmerView->setUniformRowHeights(true);
    teilnehmerView->setModel(teilnehmerProxy);
    teilnehmerView->setSortingEnabled(true);
    teilnehmerView->sortByColumn(Spalte::Nr, Qt::AscendingOrder);
    teilnehmerView->setEditTriggers(QAbstractItemView::DoubleClicked);
    teilnehmerView->setRootIsDecorated(false);
    ui->vlErgebnis->insertWidget(0, teilnehmerView);
    teilnehmerView->setItemDelegateForColumn(Spalte::Preisskat, new ComboItemDelegate({tr("Ja"), tr("Nein")}, this));
    connect(teilnehmerModel, &QStandardItemModel::itemChanged, this, &MainWindow::onTeilnehmerItemChanged);
    connect(teilnehmerView->header(), &QHeaderView::sectionPressed, this, &MainWindow::onTischSectionClicked);

    // Columns fit their contents. The header's own ResizeToContents mode
    // measured every cell of the table again on each changed cell, a fifth
    // of a second per entered value with 1,000 participants. Now a new or
    // refilled table is fitted once, at the next turn of the event loop, and
    // a changed cell widens only its own column when it has to.
    auto* einpassen = new QTimer(this);
    einpassen->setSingleShot(true);
    einpassen->setInterval(0);
    connect(einpassen, &QTimer::timeout, teilnehmerView, &TreeView::spaltenEinpassen);
    auto spaeter = [einpassen] { einpassen->start(); };
    connect(teilnehmerProxy, &QAbstractItemModel::modelReset, einpassen, spaeter);
    connect(teilnehmerProxy, &QAbstractItemModel::rowsInserted, einpassen, spaeter);
    connect(teilnehmerProxy, &QAbstractItemModel::columnsInserted, einpassen, spaeter);
    connect(teilnehmerProxy, &QAbstractItemModel::headerDataChanged, einpassen, spaeter);
    connect(teilnehmerProxy, &QAbstractItemModel::dataChanged, this,
            [this, einpassen](const QModelIndex& obenLinks, const QModelIndex& untenRechts) {
                if (einpassen->isActive())
                    return;
                if (untenRechts.row() - obenLinks.row() > 16)
                    einpassen->start();
                else
                    teilnehmerView->spaltenErweitern(obenLinks, untenRechts);
            });

    auswahlModel = new QStandardItemModel(this);
    ui->trvSpieler->setModel(auswahlModel);
}

void MainWindow::teilnehmerKopfAufbauen(int n)
{
    if (n < 1 || n > 20)
        return;
    teilnehmerTabelle->kopfAufbauen(n);
    teilnehmerView->header()->setSectionResizeMode(QHeaderView::Interactive);
    teilnehmerView->header()->setSortIndicatorShown(true);
}

void MainWindow::onTischSectionClicked(int logicalIndex)
{
    gewaehlteSerie = teilnehmerModel->headerData(logicalIndex, Qt::Horizontal, Rolle::KopfSerie).toInt();
}

void MainWindow::onChangeAktuelleSpielGruppe(QString text)
{
    QSqlDatabase db = verbindungen.datenbank(text);
    if (!db.isValid() || !db.isOpen())
        return;
    verbindungen.setAktuelle(text);

    ui->leAnzahlSerien->setText(QStringLiteral("2"));
    ui->leTischaufteilung->clear();
    ui->le3erListeSpielAnzahl->setText(QStringLiteral("36"));
    ui->le4erListeSpielAnzahl->setText(QStringLiteral("48"));
    for (QWidget* w : std::initializer_list<QWidget*>{ui->tbSpielerWeg, ui->tbSpielerHinzu, ui->leAnzahlSerien,
                                                      ui->le3erListeSpielAnzahl, ui->le4erListeSpielAnzahl,
                                                      ui->leTischNr1, ui->tbTeilnehmerOk})
        w->setEnabled(false);
    ui->pbAuslosen->setEnabled(true);
    ui->pbAuslosungZuruecksetzen->setEnabled(true);
    gruppeGeoeffnet = true;
    gruppeFestgelegt = true;
    ui->tabWidget->setCurrentIndex(1);

    QSqlQuery q = Db::abfrage(db, QStringLiteral("SELECT Datum FROM Gruppe WHERE Name=?"), {text});
    if (q.next())
        ui->dateEdit->setDate(QDate::fromString(q.value(0).toString(), QStringLiteral("yyyy-MM-dd")));

    teilnehmerTabelleLaden();
}

void MainWindow::teilnehmerTabelleLaden()
{
    QSqlDatabase db = gruppenDatenbank();
    if (!db.isValid() || !db.isOpen())
        return;

    {
        QSqlQuery q = Db::abfrage(db, QStringLiteral("SELECT * FROM Gruppe"));
        if (q.next()) {
            const QSqlRecord r = q.record();
            ui->dateEdit->setDate(QDate::fromString(r.value(QStringLiteral("Datum")).toString(), QStringLiteral("yyyy-MM-dd")));
            ui->leAnzahlSerien->setText(QString::number(r.value(QStringLiteral("Serien")).toInt()));
            ui->le3erListeSpielAnzahl->setText(QString::number(r.value(QStringLiteral("AnzahlSpiele3er")).toInt()));
            ui->le4erListeSpielAnzahl->setText(QString::number(r.value(QStringLiteral("AnzahlSpiele4er")).toInt()));
            ui->leTischNr1->setText(QString::number(r.value(QStringLiteral("ErsterTisch")).toInt()));
        }
    }

    // Loading writes every cell; none of it is an entry to store. The proxy
    // is detached meanwhile so it sorts once at the end, not per row.
    ++teilnehmerSperre;
    teilnehmerProxy->setSourceModel(nullptr);

    const int n = anzahlSerien();
    {
        QSqlQuery q = Db::abfrage(db, QStringLiteral("SELECT StartNr, Name, Mitglied, Preisskat, SummePunkte, "
                                                     "SummeKosten FROM Teilnehmer"));
        bool erste = true;
        while (q.next()) {
            if (erste) {
                teilnehmerKopfAufbauen(n);
                erste = false;
            }
            TeilnehmerZeile t;
            t.startNr = q.value(0).toInt();
            t.name = q.value(1).toString();
            t.mitglied = q.value(2).toBool();
            t.preisskat = q.value(3).toBool();
            QList<QStandardItem*> zeile = TeilnehmerTabelle::neueZeile(t, n);
            zeile[Spalte::summePunkte(n)]->setText(QString::number(q.value(4).toInt()));
            zeile[Spalte::summeKosten(n)]->setText(Zahl::euro(q.value(5).toDouble()));
            teilnehmerModel->appendRow(zeile);
        }
    }
    const int serien = qMin(n, teilnehmerTabelle->serien());
    for (int s = 1; s <= serien; ++s) {
        QSqlQuery q = Db::abfrage(
            db, QStringLiteral("SELECT StartNr, Punkte, Tisch, TischIntern, Kosten FROM Serie%1").arg(s));
        while (q.next()) {
            const int zeile = teilnehmerTabelle->zeileVon(q.value(0).toInt());
            if (zeile < 0)
                continue;
            teilnehmerTabelle->punkteItem(zeile, s)->setText(QString::number(q.value(1).toInt()));
            QStandardItem* tisch = teilnehmerTabelle->tischItem(zeile, s);
            tisch->setText(QString::number(q.value(2).toInt()));
            tisch->setData(q.value(3).toInt(), Rolle::Sitz);
            teilnehmerTabelle->kostenItem(zeile, s)->setText(Zahl::euro(q.value(4).toDouble()));
        }
    }

    teilnehmerProxy->setSourceModel(teilnehmerModel);
    tischaufteilungBerechnen(0);
    const QString g = aktuelleGruppe();
    Tischaufteilung a;
    const QMap<int, int> layout = tischLayout.value(g);
    for (int sitze : layout)
        (sitze == 3 ? a.dreier : a.vierer)++;
    tischaufteilung.insert(g, a);
    ui->leTischaufteilung->setText(
        tr("Spieler-%1 4er-%2 3er-%3").arg(teilnehmerModel->rowCount()).arg(a.vierer).arg(a.dreier));
    --teilnehmerSperre;
    teilnehmerModel->sort(Spalte::Nr, Qt::AscendingOrder);
}

void MainWindow::onNeuesTurnier()
{
    ui->dateEdit->setDate(QDate::currentDate());
    const QString verzeichnis = Pfade::turnierVerzeichnis(
        einstellungen->value(Pfade::schluesselDatenbankPfad, datenbankVerzeichnis).toString(), ui->dateEdit->date());
    if (!turnierUeberschreiben(verzeichnis))
        return;
    ui->cmbTeilnehmerGruppe->clear();
    letzterTisch = 0;
    onNeueSpielGruppe();
    turnierVerzeichnis = verzeichnis;
    verbindungen.aufHauptZuruecksetzen();
    actNeueSpielGruppe->setEnabled(true);
}

void MainWindow::onNeueSpielGruppe()
{
    if (letzterTisch == 0)
        letzterTisch = 1;
    DlgNewGroup dlg(verbindungen.map(), letzterTisch, this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    ui->leAnzahlSerien->setText(QString::number(dlg.anzahlSerien()));
    ui->leTischaufteilung->clear();
    ui->leTischNr1->setText(QString::number(dlg.ersteTischNr()));
    ui->le3erListeSpielAnzahl->setText(QString::number(dlg.spiele3er()));
    ui->le4erListeSpielAnzahl->setText(QString::number(dlg.spiele4er()));
    ui->tbSpielerWeg->setEnabled(true);
    ui->tbSpielerHinzu->setEnabled(true);
    ui->tbTeilnehmerOk->setEnabled(true);
    ui->pbAuslosen->setEnabled(false);
    ui->pbAuslosungZuruecksetzen->setEnabled(false);
    gruppeFestgelegt = false;
    ui->tabWidget->setCurrentIndex(1);
    teilnehmerKopfAufbauen(dlg.anzahlSerien());
}

void MainWindow::onChangedGruppe(QString gruppe)
{
    auswahlLaden(gruppe);
}

void MainWindow::auswahlLaden(const QString& gruppe)
{
    if (!auswahlModel)
        return;
    ui->trvSpieler->verticalScrollBar()->grabGesture(Qt::PanGesture);
    auswahlModel->clear();
    auswahlModel->setHorizontalHeaderLabels({tr("Vorname"), tr("Nachname")});
    QSqlDatabase db = verbindungen.hauptDatenbank();
    if (!db.isValid() || !db.isOpen())
        return;
    QSqlQuery q = gruppe == QLatin1String("Alle")
                      ? Db::abfrage(db, QStringLiteral("SELECT StartNr, VorName, NachName, Mitglied, Preisskat FROM Spieler"))
                      : Db::abfrage(db,
                                    QStringLiteral("SELECT StartNr, VorName, NachName, Mitglied, Preisskat FROM Spieler "
                                                   "WHERE Gruppe=?"),
                                    {gruppe});
    while (q.next()) {
        auto* vorname = new QStandardItem(q.value(1).toString());
        vorname->setData(q.value(0).toInt(), AuswahlStartNr);
        vorname->setData(q.value(3).toString() == QLatin1String("Ja"), AuswahlMitglied);
        vorname->setData(q.value(4).toString() == QLatin1String("Ja"), AuswahlPreisskat);
        auswahlModel->appendRow({vorname, new QStandardItem(q.value(2).toString())});
    }
}

void MainWindow::onAlleSpielerSelect()
{
    ui->trvSpieler->selectAll();
}

void MainWindow::onAlleSpielerUnselect()
{
    ui->trvSpieler->clearSelection();
}

void MainWindow::onTeilnehmerAdd()
{
    QItemSelectionModel* auswahl = ui->trvSpieler->selectionModel();
    if (!auswahl)
        return;
    const int n = anzahlSerien();
    if (teilnehmerTabelle->serien() != n)
        teilnehmerKopfAufbauen(n);
    const QModelIndexList zeilen = auswahl->selectedRows(0);
    for (const QModelIndex& i : zeilen) {
        const QStandardItem* vorname = auswahlModel->item(i.row(), 0);
        const QStandardItem* nachname = auswahlModel->item(i.row(), 1);
        if (!vorname || !nachname)
            continue;
        TeilnehmerZeile t;
        t.startNr = vorname->data(AuswahlStartNr).toInt();
        if (teilnehmerTabelle->zeileVon(t.startNr) >= 0)
            continue;
        t.name = QStringLiteral("%1 %2").arg(vorname->text(), nachname->text());
        t.mitglied = vorname->data(AuswahlMitglied).toBool();
        t.preisskat = vorname->data(AuswahlPreisskat).toBool();
        teilnehmerTabelle->zeileAnhaengen(t, n);
    }
    auswahl->clearSelection();
    tischaufteilungBerechnen(0);
}

void MainWindow::onTeilnehmerEntfernen()
{
    const QModelIndex aktuell = teilnehmerView->currentIndex();
    if (aktuell.isValid()) {
        const QModelIndex quelle = teilnehmerProxy->mapToSource(aktuell);
        if (quelle.isValid())
            teilnehmerModel->removeRow(quelle.row());
    }
    tischaufteilungBerechnen(0);
}

void MainWindow::onTeilnehmerOk()
{
    if (!Dialoge::frage(this, tr("Alle Teilnehmer ausgewaehlt?\nAnzahl Serien und Anzahl Spieler korrekt?")))
        return;
    for (QWidget* w : std::initializer_list<QWidget*>{ui->tbSpielerWeg, ui->tbSpielerHinzu, ui->leAnzahlSerien,
                                                      ui->le3erListeSpielAnzahl, ui->leTischNr1,
                                                      ui->le4erListeSpielAnzahl, ui->tbTeilnehmerOk})
        w->setEnabled(false);
    ui->pbAuslosen->setEnabled(true);
    ui->pbAuslosungZuruecksetzen->setEnabled(true);
    gruppeFestgelegt = true;
    const QString gruppe = ui->cmbSpielerGruppe->currentText();
    if (ui->cmbTeilnehmerGruppe->findText(gruppe, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
        ui->cmbTeilnehmerGruppe->addItem(gruppe);
    gruppenDatenbankAnlegen();
}
