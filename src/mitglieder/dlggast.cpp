#include "mitglieder/dlggast.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include "roster/namensregel.h"

DlgGast::DlgGast(const QStringList& gruppen, const QString& gruppe, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DlgGast"));
    setWindowTitle(tr("Gast aufnehmen"));
    auto* form = new QFormLayout(this);
    m_vorname = new QLineEdit(this);
    m_vorname->setObjectName(QStringLiteral("leGastVorname"));
    m_nachname = new QLineEdit(this);
    m_nachname->setObjectName(QStringLiteral("leGastNachname"));
    m_gruppe = new QComboBox(this);
    m_gruppe->setObjectName(QStringLiteral("cmbGastGruppe"));
    m_gruppe->addItems(gruppen);
    m_gruppe->setCurrentIndex(std::max(0, m_gruppe->findText(gruppe)));
    form->addRow(tr("Vorname"), m_vorname);
    form->addRow(tr("Nachname"), m_nachname);
    form->addRow(tr("Spielergruppe"), m_gruppe);
    auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    knoepfe->setObjectName(QStringLiteral("buttonBox"));
    m_ok = knoepfe->button(QDialogButtonBox::Ok);
    m_ok->setDefault(true);
    connect(knoepfe, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(knoepfe, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(knoepfe);
    connect(m_vorname, &QLineEdit::textChanged, this, &DlgGast::pruefen);
    connect(m_nachname, &QLineEdit::textChanged, this, &DlgGast::pruefen);
    pruefen();
}

void DlgGast::nameVorgeben(const QString& name)
{
    // "Vorname Nachname" as typed at the desk: the last word is the surname
    // unless the organiser corrects it.
    const QString n = name.simplified();
    const int leer = n.lastIndexOf(QLatin1Char(' '));
    m_vorname->setText(leer > 0 ? n.left(leer) : QString());
    m_nachname->setText(leer > 0 ? n.mid(leer + 1) : n);
    (leer > 0 ? m_nachname : m_vorname)->setFocus();
}

QString DlgGast::vorname() const
{
    return m_vorname->text().simplified();
}

QString DlgGast::nachname() const
{
    return m_nachname->text().simplified();
}

QString DlgGast::gruppe() const
{
    return m_gruppe->currentText();
}

void DlgGast::pruefen()
{
    m_ok->setEnabled(!vorname().isEmpty() && !nachname().isEmpty() && !gruppe().isEmpty()
        && Namensregel::zulaessig(vorname()) && Namensregel::zulaessig(nachname()));
}
