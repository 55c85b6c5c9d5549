#include "app/dlgmeldungen.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/meldungen.h"

DlgMeldungen::DlgMeldungen(const Meldungsprotokoll& protokoll, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DlgMeldungen"));
    setWindowTitle(tr("Meldungen"));
    resize(760, 420);
    auto* layout = new QVBoxLayout(this);

    const int anzahl = protokoll.eintraege().size();
    const int fehler = protokoll.fehlerAnzahl();
    QString kopf = anzahl == 1 ? tr("1 Meldung seit dem Start") : tr("%1 Meldungen seit dem Start").arg(anzahl);
    if (fehler > 0)
        kopf += tr(", davon %1 mit FEHLER").arg(fehler);
    if (protokoll.verworfen() > 0)
        kopf += tr("; die %1 \u00e4ltesten sind nicht mehr gespeichert").arg(protokoll.verworfen());
    auto* zusammenfassung = new QLabel(kopf, this);
    zusammenfassung->setObjectName(QStringLiteral("lblMeldungenAnzahl"));
    layout->addWidget(zusammenfassung);

    liste = new QListWidget(this);
    liste->setObjectName(QStringLiteral("lstMeldungen"));
    liste->setWordWrap(true);
    liste->setAlternatingRowColors(true);
    QFont fett = liste->font();
    fett.setBold(true);
    for (const Meldungsprotokoll::Eintrag& e : protokoll.eintraege()) {
        auto* zeile = new QListWidgetItem(Meldungsprotokoll::zeile(e), liste);
        zeile->setData(Qt::UserRole, e.fehler);
        if (e.fehler) {
            zeile->setForeground(QColor(170, 0, 0));
            zeile->setFont(fett);
        }
    }
    // The newest is what the organiser looks for.
    if (liste->count() > 0) {
        liste->setCurrentRow(liste->count() - 1);
        liste->scrollToBottom();
    }
    layout->addWidget(liste);

    auto* knoepfe = new QDialogButtonBox(QDialogButtonBox::Close, this);
    knoepfe->setObjectName(QStringLiteral("buttonBox"));
    QPushButton* kopieren = knoepfe->addButton(tr("Alle kopieren"), QDialogButtonBox::ActionRole);
    kopieren->setObjectName(QStringLiteral("pbMeldungenKopieren"));
    kopieren->setAutoDefault(false);
    connect(kopieren, &QPushButton::clicked, this, [this] {
        QStringList zeilen;
        for (int i = 0; i < liste->count(); ++i)
            zeilen << liste->item(i)->text();
        QApplication::clipboard()->setText(zeilen.join(QLatin1Char('\n')));
    });
    connect(knoepfe, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(knoepfe);
    liste->setFocus();
}
