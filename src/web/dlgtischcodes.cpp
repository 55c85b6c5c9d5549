#include "web/dlgtischcodes.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

#include "print/qrcode.h"

DlgTischCodes::DlgTischCodes(const QVector<Spieltag::Gruppe>& gruppen, Adresse adresse, QWidget* parent)
    : QDialog(parent)
    , m_gruppen(gruppen)
    , m_adresse(std::move(adresse))
{
    setObjectName(QStringLiteral("dlgTischCodes"));
    setWindowTitle(tr("Tisch-Codes"));
    resize(820, 640);

    m_gruppe = new QComboBox(this);
    m_gruppe->setObjectName(QStringLiteral("cmbGruppe"));
    for (const Spieltag::Gruppe& g : qAsConst(m_gruppen))
        m_gruppe->addItem(g.name);
    m_serie = new QSpinBox(this);
    m_serie->setObjectName(QStringLiteral("spbSerie"));
    m_serie->setPrefix(tr("Serie "));

    auto* kopf = new QHBoxLayout;
    kopf->addWidget(new QLabel(tr("Gruppe"), this));
    kopf->addWidget(m_gruppe, 1);
    kopf->addWidget(m_serie);

    m_hinweis = new QLabel(this);
    m_hinweis->setObjectName(QStringLiteral("lblHinweis"));
    m_hinweis->setWordWrap(true);

    auto* flaeche = new QWidget;
    m_raster = new QGridLayout(flaeche);
    auto* rollen = new QScrollArea(this);
    rollen->setObjectName(QStringLiteral("scrTischCodes"));
    rollen->setWidgetResizable(true);
    rollen->setWidget(flaeche);
    m_rollen = rollen;

    auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Close, this);
    knoepfe->setObjectName(QStringLiteral("buttonBox"));
    connect(knoepfe, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(kopf);
    layout->addWidget(m_hinweis);
    layout->addWidget(rollen, 1);
    layout->addWidget(knoepfe);

    auto gruppeGewaehlt = [this](int i) {
        const QSignalBlocker sperre(m_serie);
        const Spieltag::Gruppe* g = i >= 0 && i < m_gruppen.size() ? &m_gruppen.at(i) : nullptr;
        m_serie->setRange(1, g ? qMax(1, g->serien) : 1);
        // The series being played: the last one drawn.
        m_serie->setValue(g ? qMax(1, g->letzteGeloste()) : 1);
        zeigen();
    };
    connect(m_gruppe, QOverload<int>::of(&QComboBox::currentIndexChanged), this, gruppeGewaehlt);
    connect(m_serie, QOverload<int>::of(&QSpinBox::valueChanged), this, &DlgTischCodes::zeigen);
    gruppeGewaehlt(m_gruppe->currentIndex());
}

void DlgTischCodes::gruppeWaehlen(const QString& name)
{
    const int i = m_gruppe->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (i >= 0)
        m_gruppe->setCurrentIndex(i);
}

int DlgTischCodes::spaltenZahl() const
{
    const QWidget* erstes = m_raster->count() > 0 ? m_raster->itemAt(0)->widget() : nullptr;
    if (!erstes)
        return 4;
    const int feld = erstes->sizeHint().width() + m_raster->horizontalSpacing();
    const int platz = m_rollen->viewport()->width() - m_raster->contentsMargins().left()
        - m_raster->contentsMargins().right() - m_rollen->verticalScrollBar()->sizeHint().width();
    return qMax(1, platz / qMax(1, feld));
}

void DlgTischCodes::anordnen()
{
    QList<QWidget*> felder;
    for (int i = 0; i < m_raster->count(); ++i)
        if (QWidget* w = m_raster->itemAt(i)->widget())
            felder << w;
    m_spalten = spaltenZahl();
    for (QWidget* w : qAsConst(felder))
        m_raster->removeWidget(w);
    for (int n = 0; n < felder.size(); ++n)
        m_raster->addWidget(felder.at(n), n / m_spalten, n % m_spalten);
}

void DlgTischCodes::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    if (m_raster->count() > 0 && spaltenZahl() != m_spalten)
        anordnen();
}

void DlgTischCodes::zeigen()
{
    while (QLayoutItem* item = m_raster->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_tische.clear();
    const int i = m_gruppe->currentIndex();
    if (i < 0 || i >= m_gruppen.size()) {
        m_hinweis->setText(tr("An diesem Spieltag gibt es noch keine Gruppe."));
        return;
    }
    const Spieltag::Gruppe& g = m_gruppen.at(i);
    const int serie = m_serie->value();
    const QVector<Spieltag::Tisch> tische = Spieltag::tische(g, serie);
    if (tische.isEmpty()) {
        m_hinweis->setText(tr("Serie %1 ist noch nicht ausgelost.").arg(serie));
        return;
    }
    if (m_adresse(g.name, serie, tische.first().nummer).isEmpty()) {
        m_hinweis->setText(tr("Die Tisch-App ist ausgeschaltet oder nicht erreichbar (siehe Statusleiste)."));
        return;
    }
    m_hinweis->setText(tr("Mit dem Telefon scannen: jeder Code öffnet die Spielliste seines Tisches."));
    for (int n = 0; n < tische.size(); ++n) {
        const int nummer = tische.at(n).nummer;
        auto* feld = new QWidget;
        feld->setObjectName(QStringLiteral("tischCode%1").arg(nummer));
        auto* v = new QVBoxLayout(feld);
        auto* bild = new QLabel(feld);
        bild->setPixmap(QPixmap::fromImage(Qr::bild(m_adresse(g.name, serie, nummer), 4)));
        bild->setAlignment(Qt::AlignCenter);
        auto* text = new QLabel(tr("Tisch %1").arg(nummer), feld);
        text->setAlignment(Qt::AlignCenter);
        QFont f = text->font();
        f.setPointSize(f.pointSize() + 4);
        f.setBold(true);
        text->setFont(f);
        // Who sits there, so a player finds his code by his name too.
        QStringList namen;
        for (const Spieltag::SitzEintrag& sitz : tische.at(n).sitze)
            namen << sitz.name;
        auto* spieler = new QLabel(namen.join(QLatin1Char('\n')), feld);
        spieler->setObjectName(QStringLiteral("lblSpieler%1").arg(nummer));
        spieler->setAlignment(Qt::AlignCenter);
        v->addWidget(bild);
        v->addWidget(text);
        v->addWidget(spieler);
        m_raster->addWidget(feld, 0, n);
        m_tische << nummer;
    }
    anordnen();
}
