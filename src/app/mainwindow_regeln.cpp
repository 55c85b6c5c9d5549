// The settings tab: cost and point rules, and the player groups.

#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QBrush>
#include <QHeaderView>
#include <QSettings>
#include <QSignalBlocker>
#include <QSqlTableModel>
#include <QStandardItemModel>
#include <QStatusBar>

#include "roster/spielerauswahl.h"
#include "scoring/regeln.h"
#include "setup/gruppenpruefung.h"
#include "storage/datenbank.h"
#include "widgets/delegates.h"
#include "widgets/dialoge.h"

namespace
{

// The value cell of a player group: editable but for "Alle"; a name that
// cannot become a group's file name is marked, and the new-group flow
// refuses it.
QStandardItem* gruppenWert(const QString& name)
{
    auto* item = new QStandardItem(name);
    item->setEditable(name != QLatin1String("Alle"));
    QString fehler;
    if (!Gruppenpruefung::nameGueltig(name, &fehler)) {
        item->setForeground(QBrush(Qt::red));
        item->setToolTip(QObject::tr("Als Name einer Spielgruppe nicht erlaubt: %1").arg(fehler));
    }
    return item;
}

} // namespace

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
    ui->trvGruppen->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    gruppenModel->setHorizontalHeaderLabels({ tr("Name"), tr("Wert") });
    Regeln::gruppenStandardsSchreiben(*einstellungen);
    const QVector<Regeln::Spielergruppe> gruppen = Regeln::gruppenLesen(*einstellungen);
    for (const Regeln::Spielergruppe& g : gruppen) {
        gruppenModel->appendRow({ nurLesen(g.schluessel), gruppenWert(g.name) });
        ui->cmbSpielerGruppe->addItem(g.name);
    }
    ui->cmbSpielerGruppe->setCurrentText(QStringLiteral("Alle"));
    spielergruppenPflegen();
}

void MainWindow::spielergruppenPflegen()
{
    // The roster's group editor offers the groups of the moment.
    auto rosterAuswahl = [this] {
        QStringList namen;
        for (int i = 1; i < ui->cmbSpielerGruppe->count(); ++i)
            namen << ui->cmbSpielerGruppe->itemText(i);
        if (auto* d = qobject_cast<ComboItemDelegate*>(ui->tblViewSpieler->itemDelegateForColumn(3)))
            d->setItems(namen);
    };
    auto sichern = [this] {
        QString grund;
        if (!Gruppenpruefung::einstellungenSichern(*einstellungen, &grund))
            Db::Melder::instanz()->melden(grund);
    };

    connect(gruppenModel, &QStandardItemModel::itemChanged, this, [this, rosterAuswahl, sichern](QStandardItem* item) {
        if (!item || item->column() != 1)
            return;
        const QString schluessel = gruppenModel->item(item->row(), 0)->text();
        const QString alt = einstellungen->value(QStringLiteral("Gruppe/") + schluessel).toString();
        const QString neu = item->text();
        if (neu == alt)
            return;
        QString fehler;
        if (!Regeln::gruppeBenennen(*einstellungen, schluessel, neu, &fehler)) {
            const QSignalBlocker sperre(gruppenModel);
            item->setText(alt);
            statusBar()->showMessage(QStringLiteral("FEHLER: ") + fehler);
            Dialoge::fehler(this, tr("Der Name \"%1\" ist nicht moeglich.\n%2.").arg(neu, fehler));
            return;
        }
        sichern();
        {
            const QSignalBlocker sperre(gruppenModel);
            item->setForeground(QBrush());
            item->setToolTip(QString());
        }
        const int i = ui->cmbSpielerGruppe->findText(alt, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (i >= 0)
            ui->cmbSpielerGruppe->setItemText(i, neu);
        rosterAuswahl();
        // The group's players move with it.
        if (Spielerauswahl::gruppeUmbenennen(spieltag->verbindungen().hauptDatenbank(), alt, neu) && spielerModel
            && !spielerModel->isDirty())
            spielerModel->select();
        statusBar()->showMessage(tr("Spielergruppe %1 heisst jetzt %2").arg(alt, neu), 5000);
    });

    connect(ui->pbNeueGruppe, &QPushButton::clicked, this, [this, rosterAuswahl, sichern] {
        const Regeln::Spielergruppe g = Regeln::gruppeHinzufuegen(*einstellungen);
        sichern();
        {
            const QSignalBlocker sperre(gruppenModel);
            auto* schluessel = new QStandardItem(g.schluessel);
            schluessel->setEditable(false);
            gruppenModel->appendRow({ schluessel, gruppenWert(g.name) });
        }
        ui->cmbSpielerGruppe->addItem(g.name);
        rosterAuswahl();
        // The organiser names it right away.
        const QModelIndex wert = gruppenModel->index(gruppenModel->rowCount() - 1, 1);
        ui->trvGruppen->setCurrentIndex(wert);
        ui->trvGruppen->edit(wert);
    });

    connect(ui->pbEntfernen, &QPushButton::clicked, this, [this, rosterAuswahl, sichern] {
        const QModelIndex aktuell = ui->trvGruppen->currentIndex();
        if (!aktuell.isValid()) {
            statusBar()->showMessage(tr("Bitte zuerst eine Spielergruppe waehlen"), 5000);
            return;
        }
        const QString schluessel = gruppenModel->item(aktuell.row(), 0)->text();
        const QString name = gruppenModel->item(aktuell.row(), 1)->text();
        if (name == QLatin1String("Alle")) {
            statusBar()->showMessage(tr("FEHLER: Die Gruppe \"Alle\" bleibt"), 5000);
            return;
        }
        if (!Dialoge::frage(this, tr("Spielergruppe %1 entfernen?\nIhre Spieler behalten den Gruppennamen.").arg(name)))
            return;
        if (!Regeln::gruppeEntfernen(*einstellungen, schluessel))
            return;
        sichern();
        gruppenModel->removeRow(aktuell.row());
        const int i = ui->cmbSpielerGruppe->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (i >= 0) {
            if (ui->cmbSpielerGruppe->currentIndex() == i)
                ui->cmbSpielerGruppe->setCurrentText(QStringLiteral("Alle"));
            ui->cmbSpielerGruppe->removeItem(i);
        }
        rosterAuswahl();
    });
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
