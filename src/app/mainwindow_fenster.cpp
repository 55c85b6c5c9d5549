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
#include <QTimer>

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

// Calls a function on the first event of a kind that reaches a widget.
class EreignisWaechter : public QObject
{
public:
    EreignisWaechter(QWidget* widget, QEvent::Type art, std::function<void()> bei)
        : QObject(widget)
        , m_art(art)
        , m_bei(std::move(bei))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == m_art && m_bei) {
            auto bei = std::move(m_bei);
            m_bei = nullptr;
            bei();
        }
        return false;
    }

private:
    QEvent::Type m_art;
    std::function<void()> m_bei;
};

// The tooltip of a button names its keys.
void tastenTipp(QAbstractButton* knopf, const QList<QKeySequence>& tasten)
{
    QStringList namen;
    for (const QKeySequence& t : tasten)
        namen << t.toString(QKeySequence::NativeText);
    knopf->setToolTip(QStringLiteral("%1 (%2)").arg(knopf->text(), namen.join(QStringLiteral(", "))));
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
    // The table takes the height, not the captions above it.
    ergebnisTeiler->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    festeSpalten = new FesteSpalten(
        teilnehmerView,
        [](int spalte, int anzahl) {
            return anzahl >= Spalte::anzahl(1)
                && (spalte == Spalte::Nr || spalte == Spalte::Name || spalte >= anzahl - 2);
        },
        ergebnisTeiler);
    festeSpalten->setObjectName(QStringLiteral("teilnehmerFest"));
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
    Tastatur::zahlenfelderMarkieren();

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

    abendEinrichten();

    tastenEinrichten();

    // Size, position, splitter and column widths of the last session.
    fensterEinpassen();
    if (einstellungen->value(schluesselMaximiert, false).toBool())
        setWindowState(windowState() | Qt::WindowMaximized);
    // The frame is known only once the window is on screen; then the whole
    // frame is fitted, also the title bar and the status bar beneath.
    // Without a frame (no window manager yet) there is nothing more to fit;
    // a size given after the window came up (by hand, by a test) stays.
    new EreignisWaechter(this, QEvent::Show, [this] {
        auto gepasst = std::make_shared<QSize>();
        auto passen = [this, gepasst] {
            if (gepasst->isValid() && size() != *gepasst)
                return;
            if (frameGeometry() != geometry())
                fensterEinpassen();
            *gepasst = size();
        };
        QTimer::singleShot(0, this, passen);
        QTimer::singleShot(500, this, passen);
    });
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
    // Folded away, the two columns keep no share of the width either.
    ui->hlTeilnehmer->setStretch(0, weg ? 0 : 20);
    ui->hlTeilnehmer->setStretch(1, weg ? 0 : 10);
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
    // "Drucken" carries its key in its caption ("Dr&ucken"): D and the
    // other letters of the word belong to buttons or menus already.

    for (int i = 0; i < ui->tabWidget->count() && i < 9; ++i) {
        auto* s = new QShortcut(QKeySequence(Qt::ALT + (Qt::Key_1 + i)), this);
        connect(s, &QShortcut::activated, this, [this, i] { ui->tabWidget->setCurrentIndex(i); });
    }

    // Alt and a letter on the buttons of the shown tab; the frequent ones
    // also have a Ctrl key that works from every tab (below). The tooltips
    // name both.
    const struct {
        QAbstractButton* knopf;
        int alt;
        int strg;
    } knoepfe[] = {
        { ui->pbNeuerSpieler, Qt::Key_N, Qt::Key_N },
        { ui->pbDeleteSpieler, Qt::Key_S, 0 },
        { ui->pbSpielerAusListeLaden, Qt::Key_D, 0 },
        { ui->pbRangliste, Qt::Key_R, 0 },
        { ui->pbSelectAllSpieler, Qt::Key_L, 0 },
        { ui->pbUnselectAllSpieler, Qt::Key_K, 0 },
        { ui->pbAuslosen, Qt::Key_S, Qt::Key_L },
        { ui->pbAuslosungZuruecksetzen, Qt::Key_Z, 0 },
        { ui->pbListeEintragen, Qt::Key_I, Qt::Key_E },
        { ui->pbTextAusgaben, Qt::Key_D, Qt::Key_S },
        { ui->pbNeueGruppe, Qt::Key_N, 0 },
        { ui->pbEntfernen, Qt::Key_F, 0 },
    };
    for (const auto& k : knoepfe) {
        const QKeySequence alt(Qt::ALT + k.alt);
        knopfTaste(k.knopf, alt);
        QList<QKeySequence> tasten { alt };
        if (k.strg)
            tasten << QKeySequence(Qt::CTRL + k.strg);
        tastenTipp(k.knopf, tasten);
    }

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
    // Ctrl+L and Ctrl+E belong to the entries that offer the next series
    // and the next table (mainwindow_abend.cpp).
    ueberall(QStringLiteral("tasteAusgabe"), QKeySequence(Qt::CTRL + Qt::Key_S), tab1Knopf(ui->pbTextAusgaben));
}

void MainWindow::fensterEinpassen()
{
    if (isMaximized() || isFullScreen())
        return;
    QSize groesse = einstellungen->value(schluesselGroesse).toSize();
    if (!groesse.isValid())
        groesse = size();
    QPoint ort
        = einstellungen->contains(schluesselPosition) ? einstellungen->value(schluesselPosition).toPoint() : pos();
    if (isVisible()) {
        groesse = size();
        ort = pos();
    }
    // The screen the window opens on: the one its last place lies on, else
    // the main one. A screen that is gone leaves no place to go back to.
    QScreen* bildschirm = QGuiApplication::screenAt(ort + QPoint(20, 20));
    const bool ortBekannt = bildschirm != nullptr;
    if (!bildschirm)
        bildschirm = QGuiApplication::primaryScreen();
    if (!bildschirm) {
        resize(groesse);
        return;
    }
    const QRect frei = bildschirm->availableGeometry();
    // The frame around the inner area is known only once the window is on
    // screen (and the window manager has put its frame around it).
    const QMargins rahmen(geometry().left() - frameGeometry().left(), geometry().top() - frameGeometry().top(),
        frameGeometry().right() - geometry().right(), frameGeometry().bottom() - geometry().bottom());
    const QSize platz(frei.width() - rahmen.left() - rahmen.right(), frei.height() - rahmen.top() - rahmen.bottom());
    groesse = groesse.boundedTo(platz).expandedTo(minimumSize());
    if (groesse != size())
        resize(groesse);
    // The whole frame inside the free area; a window wider than the screen
    // (its layout's minimum) keeps its left edge on screen.
    QRect aussen(ort,
        QSize(groesse.width() + rahmen.left() + rahmen.right(), groesse.height() + rahmen.top() + rahmen.bottom()));
    if (!ortBekannt)
        aussen.moveTopLeft(frei.topLeft());
    if (aussen.right() > frei.right())
        aussen.moveRight(frei.right());
    if (aussen.bottom() > frei.bottom())
        aussen.moveBottom(frei.bottom());
    if (aussen.left() < frei.left())
        aussen.moveLeft(frei.left());
    if (aussen.top() < frei.top())
        aussen.moveTop(frei.top());
    if (aussen.topLeft() != pos() && (ortBekannt || einstellungen->contains(schluesselPosition) || isVisible()))
        move(aussen.topLeft());
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
