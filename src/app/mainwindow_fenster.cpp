// The window at the keyboard and on a small screen: shortcuts, typing into
// the tables, the kept columns beside the results table, the player choice
// that folds away once a group is fixed, and the window's size and widths
// remembered between starts.

#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QSplitter>
#include <QSqlQuery>
#include <QSqlTableModel>
#include <QTableView>

#include "setup/teilnehmertabelle.h"
#include "widgets/festespalten.h"
#include "widgets/mysortfilterproxymodel.h"
#include "widgets/tastatur.h"
#include "widgets/treeview.h"

namespace
{

const QString schluesselGroesse = QStringLiteral("Fenster/Groesse");
const QString schluesselPosition = QStringLiteral("Fenster/Position");
const QString schluesselMaximiert = QStringLiteral("Fenster/Maximiert");
const QString schluesselTeiler = QStringLiteral("Fenster/Ergebnisteiler");
const QString schluesselSpalten = QStringLiteral("Fenster/Spaltenbreiten");
const QString schluesselEingeklappt = QStringLiteral("Fenster/AuswahlEingeklappt");

// Calls a function whenever a watched widget is enabled or disabled.
class FreigabeWaechter : public QObject
{
public:
    FreigabeWaechter(QWidget* widget, std::function<void()> bei)
        : QObject(widget)
        , m_bei(std::move(bei))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::EnabledChange)
            m_bei();
        return false;
    }

private:
    std::function<void()> m_bei;
};

// The tooltip of a button names its keys.
void tastenTipp(QWidget* w, const QList<QKeySequence>& tasten)
{
    QStringList namen;
    for (const QKeySequence& t : tasten)
        namen << t.toString(QKeySequence::NativeText);
    const QString text = w->toolTip().isEmpty() ? static_cast<QAbstractButton*>(w)->text() : w->toolTip();
    w->setToolTip(QStringLiteral("%1 (%2)").arg(text, namen.join(QStringLiteral(", "))));
}

// A key that clicks a button while the button can be seen and used.
void knopfTaste(QAbstractButton* knopf, const QKeySequence& taste)
{
    auto* s = new QShortcut(taste, knopf);
    QObject::connect(s, &QShortcut::activated, knopf, [knopf] {
        if (knopf->isEnabled())
            knopf->click();
    });
}

} // namespace

void MainWindow::fensterEinrichten()
{
    // Results table: the kept columns (number, name, both sums) on the
    // left of a splitter, the whole table scrolling on the right.
    teilnehmerView->setSelectionBehavior(QAbstractItemView::SelectItems);
    Tastatur::tabelleBedienbar(teilnehmerView);
    ergebnisTeiler = new QSplitter(Qt::Horizontal, this);
    ergebnisTeiler->setObjectName(QStringLiteral("splErgebnis"));
    ergebnisTeiler->setChildrenCollapsible(false);
    festeSpalten = new FesteSpalten(
        teilnehmerView,
        [](int spalte, int anzahl) {
            return anzahl >= Spalte::anzahl(1)
                && (spalte == Spalte::Nr || spalte == Spalte::Name || spalte >= anzahl - 2);
        },
        ergebnisTeiler);
    festeSpalten->setObjectName(QStringLiteral("teilnehmerFest"));
    festeSpalten->setItemDelegate(teilnehmerView->itemDelegate());
    Tastatur::tabelleBedienbar(festeSpalten);
    ui->vlErgebnis->removeWidget(teilnehmerView);
    ergebnisTeiler->addWidget(festeSpalten);
    ergebnisTeiler->addWidget(teilnehmerView);
    ergebnisTeiler->setStretchFactor(0, 0);
    ergebnisTeiler->setStretchFactor(1, 1);
    ui->vlErgebnis->insertWidget(0, ergebnisTeiler);
    connect(festeSpalten->header(), &QHeaderView::sectionPressed, this, &MainWindow::onTischSectionClicked);
    // Until the organiser moves the splitter it follows the kept columns.
    connect(festeSpalten, &FesteSpalten::breiteGeaendert, this, [this] {
        if (teilerGezogen)
            return;
        const int gesamt = ergebnisTeiler->width();
        const int fest = festeSpalten->benoetigteBreite();
        ergebnisTeiler->setSizes({ fest, qMax(0, gesamt - fest) });
    });
    connect(ergebnisTeiler, &QSplitter::splitterMoved, this, [this] { teilerGezogen = true; });

    Tastatur::tabelleBedienbar(ui->tblViewSpieler, false);

    // Disabled fields hold the group's figures; they stay readable. Each
    // field gets the colour itself: the tab's style sheet gives every widget
    // a palette of its own, which a palette of the window no longer reaches.
    const QColor dunkel(70, 70, 70);
    auto lesbar = [dunkel](QWidget* w) {
        QPalette p = w->palette();
        for (const QPalette::ColorRole rolle : { QPalette::Text, QPalette::WindowText, QPalette::ButtonText })
            p.setColor(QPalette::Disabled, rolle, dunkel);
        w->setPalette(p);
    };
    lesbar(this);
    const QList<QWidget*> felder = ui->tabWidget->findChildren<QWidget*>();
    for (QWidget* w : felder)
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QComboBox*>(w)
            || qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w))
            lesbar(w);

    // Once a group is fixed the choice list and its arrows may fold away and
    // give the table their width; a new group brings them back.
    actAuswahlEinklappen = new QAction(tr("Spielerauswahl einklappen"), this);
    actAuswahlEinklappen->setObjectName(QStringLiteral("actAuswahlEinklappen"));
    actAuswahlEinklappen->setCheckable(true);
    actAuswahlEinklappen->setChecked(einstellungen->value(schluesselEingeklappt, true).toBool());
    actAuswahlEinklappen->setShortcut(QKeySequence(Qt::Key_F9));
    connect(actAuswahlEinklappen, &QAction::toggled, this, [this](bool an) {
        einstellungen->setValue(schluesselEingeklappt, an);
        auswahlEinklappen();
    });
    new FreigabeWaechter(ui->tbTeilnehmerOk, [this] { auswahlEinklappen(); });
    QMenu* ansicht = menuBar()->addMenu(tr("&Ansicht"));
    ansicht->setObjectName(QStringLiteral("menuAnsicht"));
    ansicht->addAction(actAuswahlEinklappen);
    auswahlEinklappen();

    tastenEinrichten();

    // Size, position, splitter and column widths of the last session.
    const QSize groesse = einstellungen->value(schluesselGroesse).toSize();
    const QScreen* bildschirm = QGuiApplication::primaryScreen();
    const QRect frei = bildschirm ? bildschirm->availableGeometry() : QRect();
    if (groesse.isValid())
        resize(frei.isValid() ? groesse.boundedTo(frei.size()) : groesse);
    else if (frei.isValid() && (width() > frei.width() || height() > frei.height()))
        resize(size().boundedTo(frei.size()));
    if (einstellungen->contains(schluesselPosition)) {
        const QPoint ort = einstellungen->value(schluesselPosition).toPoint();
        if (!bildschirm || QGuiApplication::screenAt(ort + QPoint(20, 20)))
            move(ort);
    }
    if (einstellungen->value(schluesselMaximiert, false).toBool())
        setWindowState(windowState() | Qt::WindowMaximized);
    const QByteArray teiler = einstellungen->value(schluesselTeiler).toByteArray();
    if (!teiler.isEmpty() && ergebnisTeiler->restoreState(teiler))
        teilerGezogen = true;
    QMap<QString, int> breiten;
    const QVariantMap gespeichert = einstellungen->value(schluesselSpalten).toMap();
    for (auto it = gespeichert.cbegin(); it != gespeichert.cend(); ++it)
        if (it.value().toInt() > 0)
            breiten.insert(it.key(), it.value().toInt());
    teilnehmerView->setNutzerBreiten(breiten);
    festeSpalten->setNutzerBreiten(breiten);
}

void MainWindow::auswahlEinklappen()
{
    const bool weg = actAuswahlEinklappen && actAuswahlEinklappen->isChecked() && !ui->tbTeilnehmerOk->isEnabled();
    for (QWidget* w : std::initializer_list<QWidget*> { ui->trvSpieler, ui->pbSelectAllSpieler,
             ui->pbUnselectAllSpieler, ui->tbSpielerHinzu, ui->tbSpielerWeg, ui->tbTeilnehmerOk })
        w->setVisible(!weg);
}

void MainWindow::tastenEinrichten()
{
    // The captions stay as they are; the keys come beside them. Alt with a
    // letter acts like a mnemonic on the buttons of the shown tab, Ctrl
    // keys reach the frequent actions from anywhere in the window.
    actNeuesTurnier->setShortcut(QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_N));
    actNeueSpielGruppe->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_G));
    actKorrektur->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_K));
    actTeilnehmerAktiv->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_D));
    actNachmelden->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_M));
    if (QAction* drucken = aktion(QStringLiteral("actTischliste")))
        if (drucken->shortcut().isEmpty())
            drucken->setShortcut(QKeySequence::Print);

    // The menus open with Alt and their first letter.
    auto menueTaste = [this](QMenu* menue, const QKeySequence& taste) {
        auto* s = new QShortcut(taste, this);
        connect(s, &QShortcut::activated, this, [this, menue] { menuBar()->setActiveAction(menue->menuAction()); });
    };
    menueTaste(menuTurnier, QKeySequence(Qt::ALT + Qt::Key_T));
    menueTaste(menuEditieren, QKeySequence(Qt::ALT + Qt::Key_E));

    for (int i = 0; i < ui->tabWidget->count() && i < 9; ++i) {
        auto* s = new QShortcut(QKeySequence(Qt::ALT + (Qt::Key_1 + i)), this);
        connect(s, &QShortcut::activated, this, [this, i] { ui->tabWidget->setCurrentIndex(i); });
    }

    const struct {
        QAbstractButton* knopf;
        QKeySequence alt;
    } mnemonik[] = {
        { ui->pbNeuerSpieler, QKeySequence(Qt::ALT + Qt::Key_N) },
        { ui->pbDeleteSpieler, QKeySequence(Qt::ALT + Qt::Key_S) },
        { ui->pbSpielerAusListeLaden, QKeySequence(Qt::ALT + Qt::Key_D) },
        { ui->pbRangliste, QKeySequence(Qt::ALT + Qt::Key_R) },
        { ui->pbSelectAllSpieler, QKeySequence(Qt::ALT + Qt::Key_L) },
        { ui->pbUnselectAllSpieler, QKeySequence(Qt::ALT + Qt::Key_K) },
        { ui->pbAuslosen, QKeySequence(Qt::ALT + Qt::Key_S) },
        { ui->pbAuslosungZuruecksetzen, QKeySequence(Qt::ALT + Qt::Key_Z) },
        { ui->pbListeEintragen, QKeySequence(Qt::ALT + Qt::Key_I) },
        { ui->pbTextAusgaben, QKeySequence(Qt::ALT + Qt::Key_D) },
        { ui->pbNeueGruppe, QKeySequence(Qt::ALT + Qt::Key_N) },
        { ui->pbEntfernen, QKeySequence(Qt::ALT + Qt::Key_F) },
    };
    for (const auto& m : mnemonik)
        knopfTaste(m.knopf, m.alt);

    // The choice arrows; they are only there while a group is set up.
    ui->tbSpielerHinzu->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_Right));
    ui->tbSpielerWeg->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_Left));
    ui->tbTeilnehmerOk->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_Return));

    // Frequent actions from anywhere: they bring their tab to the front.
    auto ueberall = [this](const QString& name, const QKeySequence& taste, std::function<void()> tun) {
        auto* s = new QShortcut(taste, this);
        s->setObjectName(name);
        connect(s, &QShortcut::activated, this, std::move(tun));
    };
    ueberall(QStringLiteral("tasteNeuerSpieler"), QKeySequence(Qt::CTRL + Qt::Key_N), [this] {
        if (!spielerModel)
            return;
        ui->tabWidget->setCurrentIndex(0);
        const int startNr = naechsteStartNr();
        ui->pbNeuerSpieler->click();
        // The new row's first name is edited at once; storing the row may
        // already have opened it.
        QTableView* tabelle = ui->tblViewSpieler;
        for (int z = 0; z < spielerModel->rowCount(); ++z) {
            const QModelIndex vorname = spielerModel->index(z, 1);
            if (spielerModel->index(z, 0).data().toInt() != startNr)
                continue;
            if (tabelle->currentIndex() != vorname)
                tabelle->setCurrentIndex(vorname);
            if (!tabelle->indexWidget(vorname)) {
                tabelle->setFocus();
                tabelle->edit(vorname);
            }
            break;
        }
    });
    auto tab1Knopf = [this](QAbstractButton* knopf) {
        return [this, knopf] {
            if (!knopf->isEnabled())
                return;
            ui->tabWidget->setCurrentIndex(1);
            knopf->click();
        };
    };
    ueberall(QStringLiteral("tasteAuslosen"), QKeySequence(Qt::CTRL + Qt::Key_L), tab1Knopf(ui->pbAuslosen));
    ueberall(
        QStringLiteral("tasteListeEintragen"), QKeySequence(Qt::CTRL + Qt::Key_E), tab1Knopf(ui->pbListeEintragen));
    ueberall(QStringLiteral("tasteAusgabe"), QKeySequence(Qt::CTRL + Qt::Key_S), tab1Knopf(ui->pbTextAusgaben));

    const struct {
        QAbstractButton* knopf;
        QList<QKeySequence> tasten;
    } tipps[] = {
        { ui->pbNeuerSpieler, { QKeySequence(Qt::ALT + Qt::Key_N), QKeySequence(Qt::CTRL + Qt::Key_N) } },
        { ui->pbAuslosen, { QKeySequence(Qt::ALT + Qt::Key_S), QKeySequence(Qt::CTRL + Qt::Key_L) } },
        { ui->pbListeEintragen, { QKeySequence(Qt::ALT + Qt::Key_I), QKeySequence(Qt::CTRL + Qt::Key_E) } },
        { ui->pbTextAusgaben, { QKeySequence(Qt::ALT + Qt::Key_D), QKeySequence(Qt::CTRL + Qt::Key_S) } },
        { ui->pbDeleteSpieler, { QKeySequence(Qt::ALT + Qt::Key_S) } },
        { ui->pbSpielerAusListeLaden, { QKeySequence(Qt::ALT + Qt::Key_D) } },
        { ui->pbRangliste, { QKeySequence(Qt::ALT + Qt::Key_R) } },
        { ui->pbSelectAllSpieler, { QKeySequence(Qt::ALT + Qt::Key_L) } },
        { ui->pbUnselectAllSpieler, { QKeySequence(Qt::ALT + Qt::Key_K) } },
        { ui->pbAuslosungZuruecksetzen, { QKeySequence(Qt::ALT + Qt::Key_Z) } },
        { ui->pbNeueGruppe, { QKeySequence(Qt::ALT + Qt::Key_N) } },
        { ui->pbEntfernen, { QKeySequence(Qt::ALT + Qt::Key_F) } },
    };
    for (const auto& t : tipps)
        tastenTipp(t.knopf, t.tasten);
}

void MainWindow::fensterZustandSpeichern()
{
    if (!einstellungen || !ergebnisTeiler)
        return;
    einstellungen->setValue(schluesselMaximiert, isMaximized());
    if (!isMaximized() && !isFullScreen()) {
        einstellungen->setValue(schluesselGroesse, size());
        einstellungen->setValue(schluesselPosition, pos());
    }
    if (teilerGezogen)
        einstellungen->setValue(schluesselTeiler, ergebnisTeiler->saveState());
    QVariantMap breiten;
    const QMap<QString, int> nutzer = teilnehmerView->nutzerBreiten();
    for (auto it = nutzer.cbegin(); it != nutzer.cend(); ++it)
        breiten.insert(it.key(), it.value());
    einstellungen->setValue(schluesselSpalten, breiten);
}
