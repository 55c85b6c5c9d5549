#include "season/dlgspieltagoeffnen.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace
{
constexpr int RolleVerzeichnis = Qt::UserRole + 1;
}

DlgSpieltagOeffnen::DlgSpieltagOeffnen(
    const QVector<Spieltagliste::Spieltag>& tage, const QString& aktuell, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DlgSpieltagOeffnen"));
    setWindowTitle(tr("Spieltag öffnen"));
    resize(560, 420);
    auto* layout = new QVBoxLayout(this);
    auto* hinweis = new QLabel(tr("Gespeicherte Spieltage, der neueste zuerst:"), this);
    hinweis->setObjectName(QStringLiteral("lblSpieltage"));
    layout->addWidget(hinweis);

    m_liste = new QTreeWidget(this);
    m_liste->setObjectName(QStringLiteral("trvSpieltage"));
    m_liste->setHeaderLabels({ tr("Datum"), tr("Gruppen"), tr("Teilnehmer") });
    m_liste->setRootIsDecorated(false);
    m_liste->setAlternatingRowColors(true);
    m_liste->setUniformRowHeights(true);
    m_liste->setSelectionMode(QAbstractItemView::SingleSelection);
    const QString aktuellSauber = QDir::cleanPath(aktuell);
    QTreeWidgetItem* auswahl = nullptr;
    QList<QTreeWidgetItem*> zeilen;
    zeilen.reserve(tage.size());
    for (const Spieltagliste::Spieltag& t : tage) {
        QStringList gruppen;
        for (const Spieltagliste::Gruppe& g : t.gruppen)
            gruppen << (g.fehler.isEmpty() ? QStringLiteral("%1 (%2)").arg(g.name).arg(g.teilnehmer)
                                           : tr("%1 (nicht lesbar)").arg(g.name));
        auto* z = new QTreeWidgetItem({ t.datum.toString(QStringLiteral("dd.MM.yyyy")),
            gruppen.isEmpty() ? tr("keine Gruppe") : gruppen.join(QStringLiteral(", ")),
            QString::number(t.teilnehmer()) });
        z->setData(0, RolleVerzeichnis, t.verzeichnis);
        z->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        if (QDir::cleanPath(t.verzeichnis) == aktuellSauber) {
            QFont f = z->font(0);
            f.setBold(true);
            for (int c = 0; c < 3; ++c)
                z->setFont(c, f);
            auswahl = z;
        }
        zeilen << z;
    }
    m_liste->addTopLevelItems(zeilen);
    m_liste->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(m_liste);

    m_knoepfe = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_knoepfe->setObjectName(QStringLiteral("buttonBox"));
    layout->addWidget(m_knoepfe);
    connect(m_knoepfe, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_knoepfe, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_liste, &QTreeWidget::itemActivated, this, &QDialog::accept);
    auto knopfSetzen = [this] { m_knoepfe->button(QDialogButtonBox::Ok)->setEnabled(m_liste->currentItem()); };
    connect(m_liste, &QTreeWidget::currentItemChanged, this, knopfSetzen);
    if (!auswahl && !zeilen.isEmpty())
        auswahl = zeilen.first();
    m_liste->setCurrentItem(auswahl);
    knopfSetzen();
}

QString DlgSpieltagOeffnen::verzeichnis() const
{
    const QTreeWidgetItem* z = m_liste->currentItem();
    return z ? z->data(0, RolleVerzeichnis).toString() : QString();
}
