#include "draw/dlglosnummer.h"

#include "ui_dlglosnummer.h"

#include <QPushButton>
#include <QRegularExpressionValidator>

#include "draw/auslosungsdaten.h"

DlgLosnummer::DlgLosnummer(int serien, const QMap<int, qint64>& gespeichert, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::DlgLosnummer)
    , m_gespeichert(gespeichert)
{
    ui->setupUi(this);
    ui->leLosnummer->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[1-9][0-9]{0,14}")), this));
    for (int s = 1; s <= serien; ++s)
        ui->cmbSerie->addItem(tr("Serie %1").arg(s), s);
    connect(ui->cmbSerie, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &DlgLosnummer::onSerie);
    connect(ui->leLosnummer, &QLineEdit::textChanged, this, &DlgLosnummer::onText);
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // The series drawn last is the one usually drawn again.
    if (!gespeichert.isEmpty() && gespeichert.lastKey() <= serien)
        ui->cmbSerie->setCurrentIndex(gespeichert.lastKey() - 1);
    onSerie(ui->cmbSerie->currentIndex());
}

DlgLosnummer::~DlgLosnummer()
{
    delete ui;
}

int DlgLosnummer::serie() const
{
    return ui->cmbSerie->currentData().toInt();
}

qint64 DlgLosnummer::losnummer() const
{
    bool ok = false;
    const qint64 n = ui->leLosnummer->text().toLongLong(&ok);
    return ok && n > 0 && n <= Auslosungsdaten::maxLosnummer ? n : 0;
}

void DlgLosnummer::onSerie(int)
{
    const qint64 n = m_gespeichert.value(serie(), 0);
    ui->leLosnummer->setText(n > 0 ? QString::number(n) : QString());
    onText();
}

void DlgLosnummer::onText()
{
    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(serie() > 0 && losnummer() > 0);
}
