#include "participants/dlgnachmeldung.h"

#include "ui_dlgnachmeldung.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QStandardItemModel>

namespace
{
constexpr int RolleStartNr = Qt::UserRole + 1;
enum Spalte { StartNr, Name, Mitglied, Preisskat };
} // namespace

DlgNachmeldung::DlgNachmeldung(const NachmeldeListe& kandidaten, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::DlgNachmeldung)
{
    ui->setupUi(this);
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &DlgNachmeldung::onAccept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    model = new QStandardItemModel(this);
    ui->trvSpieler->setModel(model);
    model->setHorizontalHeaderLabels({ tr("StartNr"), tr("Name"), tr("Mitglied"), tr("Preisskat") });
    for (auto it = kandidaten.cbegin(); it != kandidaten.cend(); ++it) {
        // The number as a number, so a click on the header sorts 99 before 100.
        auto* nr = new QStandardItem;
        nr->setData(it.key(), Qt::DisplayRole);
        nr->setData(it.key(), RolleStartNr);
        model->appendRow({ nr, new QStandardItem(it->name), new QStandardItem(it->mitglied ? tr("Ja") : tr("Nein")),
            new QStandardItem(it->preisskat ? tr("Ja") : tr("Nein")) });
    }
    // A view with sorting on starts out descending; the list reads upward.
    ui->trvSpieler->sortByColumn(StartNr, Qt::AscendingOrder);
    // Whole names: every column as wide as its widest text.
    for (int c = StartNr; c <= Preisskat; ++c)
        ui->trvSpieler->resizeColumnToContents(c);
    const int breite = ui->trvSpieler->header()->length() + 2 * ui->trvSpieler->frameWidth() + 40;
    if (breite > width())
        resize(breite, height());

    // The first candidate has the cursor, so Enter registers him at once.
    if (model->rowCount() > 0)
        ui->trvSpieler->selectionModel()->setCurrentIndex(
            ui->trvSpieler->model()->index(0, StartNr), QItemSelectionModel::NoUpdate);
    ui->trvSpieler->setFocus();
    // Enter and a double click take the row they are on, with the rows
    // selected before; the selection alone is taken by OK.
    ui->trvSpieler->installEventFilter(this);
    connect(ui->trvSpieler, &QTreeView::doubleClicked, this, [this](const QModelIndex& i) { zeileNehmen(i); });
}

void DlgNachmeldung::zeileNehmen(const QModelIndex& index)
{
    if (index.isValid())
        ui->trvSpieler->selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    onAccept();
}

bool DlgNachmeldung::eventFilter(QObject* objekt, QEvent* e)
{
    if (objekt == ui->trvSpieler && e->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(e);
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)
            && (k->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            zeileNehmen(ui->trvSpieler->currentIndex());
            return true;
        }
    }
    return QDialog::eventFilter(objekt, e);
}

DlgNachmeldung::~DlgNachmeldung()
{
    delete ui;
}

void DlgNachmeldung::onAccept()
{
    m_auswahl.clear();
    if (QItemSelectionModel* sel = ui->trvSpieler->selectionModel()) {
        const QModelIndexList zeilen = sel->selectedRows(StartNr);
        for (const QModelIndex& i : zeilen) {
            const int z = i.row();
            NachmeldeSpieler s;
            s.preisskat = model->item(z, Preisskat)->text() == tr("Ja");
            s.mitglied = model->item(z, Mitglied)->text() == tr("Ja");
            s.name = model->item(z, Name)->text();
            m_auswahl.insert(model->item(z, StartNr)->data(RolleStartNr).toInt(), s);
        }
    }
    accept();
}
