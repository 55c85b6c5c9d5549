#include "participants/dlgnachmeldung.h"

#include "ui_dlgnachmeldung.h"

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
