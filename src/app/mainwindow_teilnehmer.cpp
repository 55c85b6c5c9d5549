// The participants tab: new tournaments and groups, the player choice list,
// and the results table with its loading, header and ordering.

#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QHeaderView>
#include <QScrollBar>
#include <QSet>
#include <QSettings>
#include <QSpinBox>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTimer>

#include <memory>

#include "roster/spielerauswahl.h"
#include "scoring/wertung.h"
#include "setup/dlgnewgroup.h"
#include "setup/gruppenpruefung.h"
#include "setup/teilnehmertabelle.h"
#include "storage/datenbank.h"
#include "storage/gruppendaten.h"
#include "storage/pfade.h"
#include "storage/spieltagleser.h"
#include "widgets/delegates.h"
#include "widgets/dialoge.h"
#include "widgets/festespalten.h"
#include "widgets/mysortfilterproxymodel.h"
#include "widgets/sanduhr.h"
#include "widgets/treeview.h"

namespace
{
constexpr int AuswahlStartNr = Spielerauswahl::StartNrRolle;
constexpr int AuswahlMitglied = Spielerauswahl::MitgliedRolle;
constexpr int AuswahlPreisskat = Spielerauswahl::PreisskatRolle;
} // namespace

QString MainWindow::aktuelleGruppe() const
{
    return ui->cmbTeilnehmerGruppe->currentText();
}

QSqlDatabase MainWindow::gruppenDatenbank() const
{
    return spieltag->verbindungen().datenbank(aktuelleGruppe());
}

int MainWindow::anzahlSerien() const
{
    return ui->leAnzahlSerien->text().toInt();
}

void MainWindow::teilnehmerTabelleEinrichten()
{
    teilnehmerModel = new TeilnehmerModell(this);
    teilnehmerModel->setObjectName(QStringLiteral("teilnehmerModel"));
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
    teilnehmerView->setItemDelegateForColumn(Spalte::Preisskat, new ComboItemDelegate({ tr("Ja"), tr("Nein") }, this));
    connect(teilnehmerModel, &TeilnehmerModell::eingabe, this, &MainWindow::onTeilnehmerEingabe);
    connect(teilnehmerView->header(), &QHeaderView::sectionPressed, this, &MainWindow::onTischSectionClicked);

    // Columns fit their widest text, which the model knows from the texts
    // it was given, measured in the table's font: a new or refilled table is
    // fitted without reading its cells, and a text wider than its column
    // widens that column alone.
    teilnehmerModel->setSchrift(teilnehmerView->font());
    auto einpassen = new QTimer(this);
    einpassen->setSingleShot(true);
    einpassen->setInterval(0);
    connect(einpassen, &QTimer::timeout, this, &MainWindow::teilnehmerSpaltenEinpassen);
    auto spaeter = [einpassen] { einpassen->start(); };
    connect(teilnehmerModel, &QAbstractItemModel::modelReset, this, spaeter);
    connect(teilnehmerModel, &QAbstractItemModel::rowsInserted, this, spaeter);
    connect(teilnehmerProxy, &QAbstractItemModel::modelReset, this, spaeter);
    connect(teilnehmerModel, &TeilnehmerModell::textBreiter, this, [this, einpassen](int spalte, int breite) {
        if (!einpassen->isActive() && teilnehmerProxy->sourceModel() == teilnehmerModel)
            teilnehmerView->spalteAufTextbreite(spalte, breite);
    });

    auswahlModel = new Spielerauswahl::Modell(this);
    ui->trvSpieler->setModel(auswahlModel);

    connect(spieltag, &OffenerSpieltag::teilnehmerGeaendert, this, &MainWindow::teilnehmerAnzeigen);
    connect(spieltag, &OffenerSpieltag::spielerGeaendert, this, &MainWindow::spielerAnzeigen);
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
    QSqlDatabase db = spieltag->verbindungen().datenbank(text);
    if (!db.isValid() || !db.isOpen())
        return;
    // Values out of range in a group file would drive the table's loops; such
    // a group is not shown, and none of its rows stay on screen under its name.
    QString fehler;
    if (!Gruppenpruefung::gruppeOeffenbar(db, &fehler)) {
        Db::Melder::instanz()->melden(fehler);
        ++teilnehmerSperre;
        teilnehmerModel->removeRows(0, teilnehmerModel->rowCount());
        --teilnehmerSperre;
        ui->pbAuslosen->setEnabled(false);
        ui->pbAuslosungZuruecksetzen->setEnabled(false);
        return;
    }
    spieltag->verbindungen().setAktuelle(text);

    ui->leAnzahlSerien->setText(QStringLiteral("2"));
    ui->leTischaufteilung->clear();
    ui->le3erListeSpielAnzahl->setText(QStringLiteral("36"));
    ui->le4erListeSpielAnzahl->setText(QStringLiteral("48"));
    for (QWidget* w : std::initializer_list<QWidget*> { ui->tbSpielerWeg, ui->tbSpielerHinzu, ui->leAnzahlSerien,
             ui->le3erListeSpielAnzahl, ui->le4erListeSpielAnzahl, ui->leTischNr1, ui->tbTeilnehmerOk })
        w->setEnabled(false);
    ui->pbAuslosen->setEnabled(true);
    ui->pbAuslosungZuruecksetzen->setEnabled(true);
    gruppeFestgelegt = true;
    ui->tabWidget->setCurrentIndex(1);

    const QDate datum = Gruppendaten::datum(db, text);
    if (datum.isValid())
        ui->dateEdit->setDate(datum);

    teilnehmerTabelleLaden();
}

void MainWindow::teilnehmerTabelleLaden()
{
    const Sanduhr warten;
    const std::optional<OffenerSpieltag::GruppenInhalt> inhalt = spieltag->gruppeLesen(aktuelleGruppe());
    if (!inhalt)
        return;
    ui->dateEdit->setDate(inhalt->datum);
    ui->leAnzahlSerien->setText(QString::number(inhalt->serien));
    ui->le3erListeSpielAnzahl->setText(QString::number(inhalt->spiele3er));
    ui->le4erListeSpielAnzahl->setText(QString::number(inhalt->spiele4er));
    ui->leTischNr1->setText(QString::number(inhalt->ersterTisch));

    // Loading writes every cell; none of it is an entry to store. The rows
    // are built away from the model and go in at once while the proxy is
    // detached: the views hear of one reset, and the proxy sorts once when
    // it comes back.
    ++teilnehmerSperre;
    teilnehmerProxy->setSourceModel(nullptr);

    // Every cell is created with its final text and roles, the rows in the
    // order of their start numbers, as the sorted model holds them.
    const int n = anzahlSerien();
    ZeilenBau bau(n);
    for (const OffenerSpieltag::GruppenTeilnehmer& t : inhalt->teilnehmer)
        bau.zeile({ t.startNr, t.name, t.mitglied, t.preisskat }, t.summePunkte, t.summeKosten);
    const bool neueZeilen = bau.zeilen() > 0;
    if (neueZeilen)
        teilnehmerKopfAufbauen(n);
    const int serien = qMin(qMin(n, teilnehmerTabelle->serien()), int(inhalt->werte.size()));
    for (int s = 1; s <= serien; ++s) {
        // The first row of a start number shows its series values; a later
        // record of the same number overwrites an earlier one.
        for (const OffenerSpieltag::SerienWert& w : inhalt->werte.at(s - 1)) {
            if (neueZeilen) {
                bau.serie(bau.zeileVon(w.startNr), s, w.punkte, w.tisch, w.sitz, w.kosten);
                continue;
            }
            // Without participants the table keeps its rows; they take what
            // matches.
            const int zeile = teilnehmerTabelle->zeileVon(w.startNr);
            if (zeile < 0)
                continue;
            teilnehmerModel->anzeigen(zeile,
                { { Spalte::punkte(s), QString::number(w.punkte), true },
                    { Spalte::tisch(s), QString::number(w.tisch), false },
                    { Spalte::kosten(s), Zahl::euro(Wertung::kostenSumme({ w.kosten })), true } });
            teilnehmerModel->setData(teilnehmerModel->index(zeile, Spalte::tisch(s)), w.sitz, Rolle::Sitz);
        }
    }
    if (neueZeilen)
        teilnehmerTabelle->zeilenUebernehmen(bau.abgeben());

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
    // New rows went in already ordered; rows a group without participants
    // kept may have had late registrations appended.
    if (!neueZeilen)
        teilnehmerModel->sort(Spalte::Nr, Qt::AscendingOrder);
    teilnehmerProxy->setSourceModel(teilnehmerModel);
    // Fitted before the table is first painted, not after.
    teilnehmerSpaltenEinpassen();
}

void MainWindow::teilnehmerSpaltenEinpassen()
{
    // A style sheet may have given the table another font since.
    teilnehmerModel->setSchrift(teilnehmerView->font());
    QVector<int> breiten(teilnehmerModel->columnCount());
    for (int c = 0; c < breiten.size(); ++c)
        breiten[c] = teilnehmerModel->textBreite(c);
    // The kept columns follow each width; the splitter beside them is laid
    // out once for all of them.
    if (festeSpalten)
        festeSpalten->sammeln(true);
    teilnehmerView->spaltenAufTextbreiten(breiten);
    if (festeSpalten)
        festeSpalten->sammeln(false);
}

void MainWindow::onNeuesTurnier()
{
    const QString daten = einstellungen->value(Pfade::schluesselDatenbankPfad, datenbankVerzeichnis).toString();
    QDate datum = QDate::currentDate();
    QString verzeichnis = Pfade::turnierVerzeichnis(daten, datum);
    if (!turnierUeberschreiben(verzeichnis))
        return;
    QString ueberschrieben = QDir(verzeichnis).exists() ? verzeichnis : QString();

    // The first table counts behind the groups that stay registered; those
    // of a day that is overwritten do not.
    QMap<QString, QString> bleibende = spieltag->verbindungen().map();
    if (!ueberschrieben.isEmpty()) {
        const QString ziel = QFileInfo(ueberschrieben).canonicalFilePath();
        for (const QString& name : spieltag->verbindungen().namen())
            if (name != hauptVerbindung
                && QFileInfo(spieltag->verbindungen().datenbank(name).databaseName()).canonicalPath() == ziel)
                bleibende.remove(name);
    }
    DlgNewGroup dlg(bleibende, 1, this);
    dlg.spieltagAnbieten(datum);
    // Cancel leaves every file and the window as they were.
    if (dlg.exec() != QDialog::Accepted)
        return;
    if (dlg.spieltag().isValid() && dlg.spieltag() != datum) {
        datum = dlg.spieltag();
        verzeichnis = Pfade::turnierVerzeichnis(daten, datum);
        if (!turnierUeberschreiben(verzeichnis))
            return;
        ueberschrieben = QDir(verzeichnis).exists() ? verzeichnis : QString();
    }

    ui->dateEdit->setDate(datum);
    ui->cmbTeilnehmerGruppe->clear();
    letzterTisch = 1;
    neueGruppeUebernehmen(dlg);
    turnierVerzeichnis = verzeichnis;
    spieltag->verbindungen().aufHauptZuruecksetzen();
    ueberschriebenerSpieltag = ueberschrieben;
    actNeueSpielGruppe->setEnabled(true);
}

void MainWindow::onNeueSpielGruppe()
{
    if (letzterTisch == 0)
        letzterTisch = 1;
    DlgNewGroup dlg(spieltag->verbindungen().map(), letzterTisch, this);
    // A further group of the day plays as many series as the groups there
    // are; the shown group first, else any other group of the day.
    int serien = 0;
    QStringList namen = spieltag->verbindungen().namen();
    namen.prepend(aktuelleGruppe());
    for (const QString& name : qAsConst(namen)) {
        if (name.isEmpty() || name == hauptVerbindung)
            continue;
        QSqlDatabase db = spieltag->verbindungen().datenbank(name);
        if (!db.isValid() || !db.isOpen())
            continue;
        const int n = Gruppendaten::serien(db);
        if (n >= 1) {
            serien = n;
            break;
        }
    }
    if (serien > 0)
        if (auto* feld = dlg.findChild<QSpinBox*>(QStringLiteral("spbAnzahlSerien")))
            feld->setValue(serien);
    if (dlg.exec() != QDialog::Accepted)
        return;
    neueGruppeUebernehmen(dlg);
}

void MainWindow::neueGruppeUebernehmen(const DlgNewGroup& dlg)
{
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
    auswahlZeigen(Spielerauswahl::lesen(spieltag->verbindungen().hauptDatenbank(), gruppe));
}

void MainWindow::auswahlZeigen(const QVector<Spielerauswahl::Spieler>& spieler)
{
    if (!auswahlModel)
        return;
    ui->trvSpieler->verticalScrollBar()->grabGesture(Qt::PanGesture);
    QList<QList<QStandardItem*>> zeilen;
    zeilen.reserve(spieler.size());
    for (const Spielerauswahl::Spieler& s : spieler) {
        zeilen.append(QList<QStandardItem*> { new Spielerauswahl::VornameZelle(s), new QStandardItem(s.nachname) });
    }
    auswahlModel->ersetzen({ tr("Vorname"), tr("Nachname") }, zeilen);
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
        // Until the list is confirmed the prize-skat flag may still change;
        // the group stores what the cell shows then.
        TeilnehmerTabelle::Zeile zeile = TeilnehmerTabelle::neueZeile(t, n);
        zeile.zellen[Spalte::Preisskat].editierbar = true;
        teilnehmerModel->zeileAnhaengen(std::move(zeile));
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
    // The group's name becomes its file's name: refused before anything is
    // asked or stored, so the chosen participants stay for another name.
    const QString name = ui->cmbSpielerGruppe->currentText();
    QString fehler;
    if (!Gruppenpruefung::nameGueltig(name, &fehler)) {
        fehler = tr("Die Gruppe kann so nicht gespeichert werden.\n%1.\nBitte eine andere Spielergruppe waehlen.")
                     .arg(fehler);
        statusBar()->showMessage(
            QStringLiteral("FEHLER: ") + QString(fehler).replace(QLatin1Char('\n'), QLatin1Char(' ')));
        Dialoge::fehler(this, fehler);
        return;
    }
    // A group reaching beyond the last table a group file may hold would not
    // open again.
    const Tischaufteilung aufteilung = ::tischaufteilung(teilnehmerModel->rowCount());
    const int letzter = ui->leTischNr1->text().toInt() + aufteilung.vierer + aufteilung.dreier - 1;
    if (letzter > Spieltag::maxTischNummer) {
        fehler = tr("Die Gruppe braucht Tische bis %1, erlaubt sind Tische bis %2.")
                     .arg(letzter)
                     .arg(Spieltag::maxTischNummer);
        statusBar()->showMessage(QStringLiteral("FEHLER: ") + fehler);
        Dialoge::fehler(this, fehler);
        return;
    }
    // Deletes nothing: Return goes on, as organisers are used to.
    if (!Dialoge::bestaetigung(this, tr("Alle Teilnehmer ausgewaehlt?\nAnzahl Serien und Anzahl Spieler korrekt?")))
        return;
    const QString gruppe = ui->cmbSpielerGruppe->currentText();
    if (!gruppeAnlegenErlaubt(gruppe))
        return;
    for (QWidget* w : std::initializer_list<QWidget*> { ui->tbSpielerWeg, ui->tbSpielerHinzu, ui->leAnzahlSerien,
             ui->le3erListeSpielAnzahl, ui->leTischNr1, ui->le4erListeSpielAnzahl, ui->tbTeilnehmerOk })
        w->setEnabled(false);
    ui->pbAuslosen->setEnabled(true);
    ui->pbAuslosungZuruecksetzen->setEnabled(true);
    gruppeFestgelegt = true;
    if (ui->cmbTeilnehmerGruppe->findText(gruppe, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
        ui->cmbTeilnehmerGruppe->addItem(gruppe);
    gruppenDatenbankAnlegen();

    // A group whose file could not be created is not shown as stored: the
    // list stays open for another try, and points could not be entered.
    QSqlDatabase db = spieltag->verbindungen().datenbank(gruppe);
    if (!db.isValid() || !db.isOpen() || !Db::tabelleVorhanden(db, QStringLiteral("Gruppe"))) {
        spieltag->verbindungen().entfernen(gruppe);
        for (QWidget* w : std::initializer_list<QWidget*> { ui->tbSpielerWeg, ui->tbSpielerHinzu, ui->leAnzahlSerien,
                 ui->le3erListeSpielAnzahl, ui->leTischNr1, ui->le4erListeSpielAnzahl, ui->tbTeilnehmerOk })
            w->setEnabled(true);
        ui->pbAuslosen->setEnabled(false);
        ui->pbAuslosungZuruecksetzen->setEnabled(false);
        gruppeFestgelegt = false;
        Dialoge::fehler(this, tr("Die Gruppe %1 konnte nicht gespeichert werden.").arg(gruppe));
        return;
    }
    vormerkungenEinloesen(gruppe);
}
