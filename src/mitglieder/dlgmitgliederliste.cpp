#include "mitglieder/dlgmitgliederliste.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace
{
// Enough rows to recognise the columns; the report lists them all.
constexpr int vorschauZeilen = 20;
} // namespace

DlgMitgliederliste::DlgMitgliederliste(
    const Mitgliederliste::Tabelle& tabelle, const Mitgliederliste::Zuordnung& vorschlag, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DlgMitgliederliste"));
    setWindowTitle(tr("Spieler importieren"));
    int spalten = 0;
    for (const QStringList& z : tabelle.zeilen)
        spalten = std::max(spalten, int(z.size()));
    spalten = std::min(spalten, 200);

    auto* layout = new QVBoxLayout(this);
    auto* info = new QLabel(
        tr("%1 Zeilen gelesen (%2). Welche Spalte enthaelt was?").arg(tabelle.zeilen.size()).arg(tabelle.kodierung),
        this);
    info->setObjectName(QStringLiteral("lblMitgliederlisteInfo"));
    layout->addWidget(info);

    m_vorschau = new QTableWidget(std::min(int(tabelle.zeilen.size()), vorschauZeilen), spalten, this);
    m_vorschau->setObjectName(QStringLiteral("tblMitgliederlisteVorschau"));
    m_vorschau->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QStringList kopf;
    for (int s = 0; s < spalten; ++s)
        kopf << tr("Spalte %1").arg(s + 1);
    m_vorschau->setHorizontalHeaderLabels(kopf);
    for (int z = 0; z < m_vorschau->rowCount(); ++z)
        for (int s = 0; s < spalten; ++s)
            m_vorschau->setItem(z, s, new QTableWidgetItem(tabelle.zeilen.at(z).value(s)));
    layout->addWidget(m_vorschau);

    const QStringList ersteZeile = tabelle.zeilen.value(0);
    auto auswahl = [&](const char* name, int wert, bool pflicht) {
        auto* box = new QComboBox(this);
        box->setObjectName(QLatin1String(name));
        box->addItem(pflicht ? tr("(bitte waehlen)") : tr("(keine)"), -1);
        for (int s = 0; s < spalten; ++s) {
            const QString beispiel = ersteZeile.value(s);
            box->addItem(beispiel.isEmpty() ? kopf.at(s) : tr("%1: %2").arg(kopf.at(s), beispiel), s);
        }
        box->setCurrentIndex(std::max(0, box->findData(wert)));
        connect(box, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &DlgMitgliederliste::pruefen);
        return box;
    };
    auto* form = new QFormLayout;
    m_vorname = auswahl("cmbSpalteVorname", vorschlag.vorname, true);
    m_nachname = auswahl("cmbSpalteNachname", vorschlag.nachname, true);
    m_gruppe = auswahl("cmbSpalteSpielergruppe", vorschlag.gruppe, false);
    m_mitglied = auswahl("cmbSpalteMitglied", vorschlag.mitglied, false);
    m_mitgliedsNr = auswahl("cmbSpalteMitgliedsnummer", vorschlag.mitgliedsNr, false);
    m_verein = auswahl("cmbSpalteVerein", vorschlag.verein, false);
    form->addRow(tr("Vorname"), m_vorname);
    form->addRow(tr("Nachname"), m_nachname);
    form->addRow(tr("Spielergruppe"), m_gruppe);
    form->addRow(tr("Mitglied"), m_mitglied);
    form->addRow(tr("Mitgliedsnummer"), m_mitgliedsNr);
    form->addRow(tr("Verein"), m_verein);
    m_kopfzeile = new QCheckBox(tr("Die erste Zeile enthaelt die Spaltennamen"), this);
    m_kopfzeile->setObjectName(QStringLiteral("chkKopfzeile"));
    m_kopfzeile->setChecked(vorschlag.kopfzeile);
    form->addRow(m_kopfzeile);
    layout->addLayout(form);

    m_knoepfe = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_knoepfe->setObjectName(QStringLiteral("buttonBox"));
    connect(m_knoepfe, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_knoepfe, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(m_knoepfe);
    pruefen();
}

Mitgliederliste::Zuordnung DlgMitgliederliste::zuordnung() const
{
    Mitgliederliste::Zuordnung z;
    z.vorname = m_vorname->currentData().toInt();
    z.nachname = m_nachname->currentData().toInt();
    z.gruppe = m_gruppe->currentData().toInt();
    z.mitglied = m_mitglied->currentData().toInt();
    z.mitgliedsNr = m_mitgliedsNr->currentData().toInt();
    z.verein = m_verein->currentData().toInt();
    z.kopfzeile = m_kopfzeile->isChecked();
    return z;
}

void DlgMitgliederliste::pruefen()
{
    // First and last name are needed, and from two different columns.
    const Mitgliederliste::Zuordnung z = zuordnung();
    m_knoepfe->button(QDialogButtonBox::Ok)->setEnabled(z.vollstaendig() && z.vorname != z.nachname);
}
