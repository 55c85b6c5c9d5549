// The settings tab: cost and point rules, and the player groups.

#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QBrush>
#include <QHeaderView>
#include <QSettings>
#include <QStandardItemModel>
#include <QStatusBar>

#include "scoring/regeln.h"
#include "setup/gruppenpruefung.h"
#include "widgets/delegates.h"

void MainWindow::initPunkteUndKosten()
{
    punkteModel = new QStandardItemModel(0, 2, this);
    connect(punkteModel, &QStandardItemModel::itemChanged, this, &MainWindow::onPunkteUndKostenChanged);
    ui->trvPunkteUndKosten->setModel(punkteModel);
    ui->trvPunkteUndKosten->header()->setSectionResizeMode(QHeaderView::Stretch);
    punkteModel->setHorizontalHeaderLabels({ tr("Punkte und Kosten"), tr("Wert") });
    connect(ui->trvPunkteUndKosten, &QTreeView::activated, this, &MainWindow::onKostenActivated);
    connect(ui->trvPunkteUndKosten, &QTreeView::clicked, this, &MainWindow::onKostenActivated);

    Regeln::standardsSchreiben(*einstellungen);

    auto nurLesen = [](const QString& text) {
        auto* item = new QStandardItem(text);
        item->setEditable(false);
        return item;
    };
    auto wert = [this](int nummer) {
        auto* item = new QStandardItem(Regeln::anzeige(*einstellungen, *Regeln::regel(nummer)));
        item->setData(nummer, Regeln::RolleNummer);
        return item;
    };

    QStringList plaetze;
    for (int n = 1; n <= 4; ++n)
        plaetze << Regeln::anzeige(*einstellungen, *Regeln::regel(n));
    QStandardItem* platzName = nurLesen(tr("Platzierung 1 - 4 Euro"));
    QStandardItem* platzWert = nurLesen(plaetze.join(QLatin1Char('|')));
    for (int n = 1; n <= 4; ++n)
        platzName->appendRow({ nurLesen(Regeln::regel(n)->titel), wert(n) });
    punkteModel->appendRow({ platzName, platzWert });
    // The tree lists the 4-player rule before the 3-player rule.
    for (int n : { 5, 6, 7, 8, 9, 11, 10, 12 })
        punkteModel->appendRow({ nurLesen(Regeln::regel(n)->titel), wert(n) });

    gruppenModel = new QStandardItemModel(0, 2, this);
    ui->trvGruppen->setModel(gruppenModel);
    ui->trvGruppen->header()->setSectionResizeMode(QHeaderView::Stretch);
    gruppenModel->setHorizontalHeaderLabels({ tr("Name"), tr("Wert") });
    Regeln::gruppenStandardsSchreiben(*einstellungen);
    einstellungen->beginGroup(QStringLiteral("Gruppe"));
    const QStringList schluessel = einstellungen->childKeys();
    for (const QString& k : schluessel) {
        const QString name = einstellungen->value(k).toString();
        QStandardItem* wert = nurLesen(name);
        // Still offered to filter the roster, but no group can be stored
        // under it; the tree says so before the new-group flow refuses it.
        QString fehler;
        if (!Gruppenpruefung::nameGueltig(name, &fehler)) {
            wert->setForeground(QBrush(Qt::red));
            wert->setToolTip(tr("Als Name einer Spielgruppe nicht erlaubt: %1").arg(fehler));
        }
        gruppenModel->appendRow({ nurLesen(k), wert });
        ui->cmbSpielerGruppe->addItem(name);
    }
    einstellungen->endGroup();
    ui->cmbSpielerGruppe->setCurrentText(QStringLiteral("Alle"));

    // Groups are kept in the settings store; the tab offers no editing yet,
    // and says so instead of pretending.
    auto nichtDa = [this] { nochNichtVerfuegbar(tr("Spielergruppen bearbeiten (in der Einstellungsdatei)")); };
    connect(ui->pbNeueGruppe, &QPushButton::clicked, this, nichtDa);
    connect(ui->pbEntfernen, &QPushButton::clicked, this, nichtDa);
}

void MainWindow::onPunkteUndKostenChanged(QStandardItem* item)
{
    if (!item)
        return;
    const bool vorher = punkteModel->blockSignals(true);
    const QString text = item->text();
    const int nummer = item->data(Regeln::RolleNummer).toInt();
    QString fehler;
    const bool gespeichert = Regeln::speichern(*einstellungen, nummer, text, &fehler);
    if (!fehler.isEmpty()) {
        // Refused: the cell shows the stored value again.
        if (const Regeln::Regel* r = Regeln::regel(nummer))
            item->setText(Regeln::anzeige(*einstellungen, *r));
        statusBar()->showMessage(fehler);
    } else if (gespeichert) {
        QString grund;
        if (!Gruppenpruefung::einstellungenSichern(*einstellungen, &grund))
            statusBar()->showMessage(QStringLiteral("FEHLER: ") + grund);
    }
    if (gespeichert && nummer >= 1 && nummer <= 4) {
        QStandardItem* platzName = punkteModel->item(0, 0);
        QStringList teile;
        for (int n = 1; n <= 4; ++n) {
            const QStandardItem* kind = platzName->child(n - 1, 1);
            teile << (n == nummer ? QString(text).replace(QLatin1Char(','), QLatin1Char('.')) : kind->text());
        }
        punkteModel->item(0, 1)->setText(teile.join(QLatin1Char('|')));
    }
    punkteModel->blockSignals(vorher);
}

void MainWindow::onKostenActivated(QModelIndex index)
{
    if (!index.isValid())
        return;
    const int nummer = index.data(Regeln::RolleNummer).toInt();
    int modus = StringItemDelegate::Text;
    if (nummer >= 1 && nummer <= 8)
        modus = StringItemDelegate::Dezimal;
    else if (nummer >= 9 && nummer <= 11)
        modus = StringItemDelegate::Ganzzahl;
    // One delegate per mode, shared by the rows: a replaced delegate may still
    // own an open editor, so none is ever deleted while the window lives.
    const QString name = QStringLiteral("regelEditor%1").arg(modus);
    auto* delegate = findChild<StringItemDelegate*>(name, Qt::FindDirectChildrenOnly);
    if (!delegate) {
        delegate = new StringItemDelegate(modus, this);
        delegate->setObjectName(name);
    }
    ui->trvPunkteUndKosten->setItemDelegateForRow(index.row(), delegate);
}
