#include "mitglieder/dlganmeldung.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

DlgAnmeldung::DlgAnmeldung(Anbindung anbindung, QWidget* parent)
    : QDialog(parent)
    , m_anbindung(std::move(anbindung))
{
    setObjectName(QStringLiteral("DlgAnmeldung"));
    setWindowTitle(tr("Anmeldung – %1").arg(m_anbindung.gruppe));
    auto* layout = new QVBoxLayout(this);
    auto* hilfe = new QLabel(tr("Startnummer oder Teil des Namens, dann Enter. Esc schließt."), this);
    hilfe->setObjectName(QStringLiteral("lblAnmeldungHilfe"));
    layout->addWidget(hilfe);
    m_eingabe = new QLineEdit(this);
    m_eingabe->setObjectName(QStringLiteral("leAnmeldungEingabe"));
    layout->addWidget(m_eingabe);
    m_meldung = new QLabel(this);
    m_meldung->setObjectName(QStringLiteral("lblAnmeldungMeldung"));
    m_meldung->setWordWrap(true);
    layout->addWidget(m_meldung);
    m_gast = new QPushButton(tr("als &Gast aufnehmen"), this);
    m_gast->setObjectName(QStringLiteral("pbAnmeldungGast"));
    // Enter belongs to the input line; no button takes it.
    m_gast->setAutoDefault(false);
    m_gast->setEnabled(false);
    layout->addWidget(m_gast);
    m_stand = new QLabel(this);
    m_stand->setObjectName(QStringLiteral("lblAnmeldungStand"));
    layout->addWidget(m_stand);
    m_liste = new QTableWidget(0, 3, this);
    m_liste->setObjectName(QStringLiteral("tblAnmeldung"));
    m_liste->setHorizontalHeaderLabels({ tr("StartNr"), tr("Name"), tr("Bezahlt") });
    m_liste->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_liste->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_liste->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(m_liste);
    connect(m_eingabe, &QLineEdit::returnPressed, this, &DlgAnmeldung::eingabe);
    connect(m_gast, &QPushButton::clicked, this, &DlgAnmeldung::alsGast);
    resize(520, 600);
    listeZeigen(0);
    m_eingabe->setFocus();
}

void DlgAnmeldung::eingabe()
{
    const QString text = m_eingabe->text().simplified();
    if (text.isEmpty())
        return;
    const QVector<QPair<int, QString>> treffer = m_anbindung.suchen(text);
    m_unbekannt.clear();
    m_gast->setEnabled(false);
    if (treffer.isEmpty()) {
        m_unbekannt = text;
        m_gast->setEnabled(true);
        m_meldung->setText(tr("„%1“ ist nicht in der Spielerliste. Alt+G: als Gast aufnehmen.").arg(text));
        return;
    }
    if (treffer.size() > 1) {
        QStringList namen;
        for (const auto& t : treffer.mid(0, 8))
            namen << QStringLiteral("%1 %2").arg(t.first).arg(t.second);
        m_meldung->setText(tr("%1 Treffer, bitte genauer oder die Startnummer:\n%2")
                               .arg(treffer.size())
                               .arg(namen.join(QLatin1Char('\n'))));
        return;
    }
    const QString fehler = m_anbindung.anmelden(treffer.first().first);
    if (!fehler.isEmpty()) {
        m_meldung->setText(tr("FEHLER: %1").arg(fehler));
        return;
    }
    m_meldung->setText(tr("%1 %2 angemeldet").arg(treffer.first().first).arg(treffer.first().second));
    m_eingabe->clear();
    listeZeigen(treffer.first().first);
}

void DlgAnmeldung::alsGast()
{
    if (m_unbekannt.isEmpty())
        return;
    const int nr = m_anbindung.gastAufnehmen(m_unbekannt);
    m_gast->setEnabled(false);
    if (nr == 0) {
        m_meldung->setText(tr("Kein Gast aufgenommen."));
    } else {
        m_meldung->setText(tr("Gast mit Startnummer %1 angemeldet").arg(nr));
        m_eingabe->clear();
        m_unbekannt.clear();
    }
    listeZeigen(nr);
    m_eingabe->setFocus();
}

void DlgAnmeldung::listeZeigen(int markiert)
{
    const QVector<Zeile> zeilen = m_anbindung.liste();
    m_liste->setRowCount(zeilen.size());
    int bezahlt = 0;
    for (int z = 0; z < zeilen.size(); ++z) {
        const Zeile& e = zeilen.at(z);
        m_liste->setItem(z, 0, new QTableWidgetItem(QString::number(e.startNr)));
        m_liste->setItem(z, 1, new QTableWidgetItem(e.name));
        m_liste->setItem(z, 2, new QTableWidgetItem(e.bezahlt.isEmpty() ? tr("–") : e.bezahlt));
        if (e.bezahlt == QLatin1String("Ja"))
            ++bezahlt;
        if (e.startNr == markiert)
            m_liste->scrollToItem(m_liste->item(z, 0));
    }
    m_stand->setText(
        tr("Gruppe %1: %2 angemeldet, %3 bezahlt").arg(m_anbindung.gruppe).arg(zeilen.size()).arg(bezahlt));
}
