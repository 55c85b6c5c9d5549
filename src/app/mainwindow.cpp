#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QIntValidator>
#include <QMenu>
#include <QMenuBar>
#include <QSqlTableModel>
#include <QStatusBar>
#include <QTimer>

#include "app/meldungen.h"
#include "storage/datenbank.h"
#include "storage/datensperre.h"
#include "storage/pfade.h"
#include "widgets/dialoge.h"

static void ressourcenLaden()
{
    // The images live in the static core library; its resources must be
    // registered by name before the form uses them.
    Q_INIT_RESOURCE(resources);
}

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , meldungsProtokoll(std::make_unique<Meldungsprotokoll>())
    , spieltag(new OffenerSpieltag(QStringLiteral("reizwerk_connection_name"), this))
{
    QCoreApplication::setOrganizationName(Pfade::organisation);
    QCoreApplication::setApplicationName(Pfade::anwendung);
    QCoreApplication::setOrganizationDomain(QStringLiteral("kartenhof.skat"));

    ressourcenLaden();
    ui = new Ui::MainWindow;
    ui->setupUi(this);
    setCentralWidget(ui->tabWidget);
    // First, so the log holds every message from the start on.
    meldungenEinrichten();
    connect(ui->tabWidget, &QTabWidget::currentChanged, this, &MainWindow::onChangeCurrentTab);
    connect(Db::Melder::instanz(), &Db::Melder::fehler, this, &MainWindow::onDatenbankFehler);
    connect(spieltag, &OffenerSpieltag::ergebnisGeaendert, this, &MainWindow::onErgebnisGeaendert);

    actNeuesTurnier = new QAction(tr("Neues Turnier"), this);
    actNeuesTurnier->setObjectName(QStringLiteral("actNeuesTurnier"));
    connect(actNeuesTurnier, &QAction::triggered, this, &MainWindow::onNeuesTurnier);
    actNeueSpielGruppe = new QAction(tr("Neue Spielgruppe"), this);
    actNeueSpielGruppe->setObjectName(QStringLiteral("actNeueSpielGruppe"));
    actNeueSpielGruppe->setEnabled(false);
    connect(actNeueSpielGruppe, &QAction::triggered, this, &MainWindow::onNeueSpielGruppe);
    actKorrektur = new QAction(tr("Korrektur"), this);
    actKorrektur->setObjectName(QStringLiteral("actKorrektur"));
    actKorrektur->setCheckable(true);
    connect(actKorrektur, &QAction::triggered, this, &MainWindow::onKorrektur);
    actTeilnehmerAktiv = new QAction(tr("Teilnehmer aktiv/deaktiv setzen"), this);
    actTeilnehmerAktiv->setObjectName(QStringLiteral("actTeilnehmerAktiv"));
    connect(actTeilnehmerAktiv, &QAction::triggered, this, &MainWindow::onTeilNehmerAktivDeaktiv);
    actNachmelden = new QAction(tr("Teilnehmer nachmelden"), this);
    actNachmelden->setObjectName(QStringLiteral("actNachmelden"));
    connect(actNachmelden, &QAction::triggered, this, &MainWindow::onTeilnehmerNachmelden);

    menuTurnier = menuBar()->addMenu(tr("Turnier"));
    menuTurnier->addAction(actNeuesTurnier);
    menuTurnier->addSeparator();
    menuTurnier->addAction(actNeueSpielGruppe);
    actInfo = menuTurnier->addAction(tr("Info Reizwerk"), this, &MainWindow::onAbout);
    actInfo->setObjectName(QStringLiteral("actInfo"));
    menuEditieren = menuBar()->addMenu(tr("Editieren"));
    menuEditieren->addAction(actKorrektur);
    menuEditieren->addAction(actTeilnehmerAktiv);
    menuEditieren->addAction(actNachmelden);
    // printing
    druckMenuEinrichten();

    connect(ui->pbNeuerSpieler, &QPushButton::clicked, this, &MainWindow::onNeuerSpieler);
    connect(ui->pbDeleteSpieler, &QPushButton::clicked, this, &MainWindow::onSpielerEntfernen);
    connect(ui->pbSpielerAusListeLaden, &QPushButton::clicked, this, &MainWindow::onSpielerAusDateiLaden);
    connect(ui->pbRangliste, &QPushButton::clicked, this, &MainWindow::onRangliste);
    connect(ui->pbSelectAllSpieler, &QPushButton::clicked, this, &MainWindow::onAlleSpielerSelect);
    connect(ui->pbUnselectAllSpieler, &QPushButton::clicked, this, &MainWindow::onAlleSpielerUnselect);
    connect(ui->tbSpielerHinzu, &QToolButton::clicked, this, &MainWindow::onTeilnehmerAdd);
    connect(ui->tbSpielerWeg, &QToolButton::clicked, this, &MainWindow::onTeilnehmerEntfernen);
    connect(ui->tbTeilnehmerOk, &QToolButton::clicked, this, &MainWindow::onTeilnehmerOk);
    connect(ui->pbAuslosen, &QPushButton::clicked, this, &MainWindow::onAuslosen);
    connect(ui->pbAuslosungZuruecksetzen, &QPushButton::clicked, this, &MainWindow::onAuslosungZuruecksetzen);
    connect(ui->pbListeEintragen, &QPushButton::clicked, this, &MainWindow::onListeEintragen);
    connect(ui->pbTextAusgaben, &QPushButton::clicked, this, &MainWindow::onTeilnehmerAusgabeInDatei);
    connect(ui->cmbSpielerGruppe, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
        [this](int i) { onChangedGruppe(ui->cmbSpielerGruppe->itemText(i)); });
    connect(ui->cmbTeilnehmerGruppe, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
        [this](int i) { onChangeAktuelleSpielGruppe(ui->cmbTeilnehmerGruppe->itemText(i)); });

    if (!datenOrdnerSperren())
        return;
    unterbrocheneWiederherstellung();
    datenbankOeffnen();
    initPunkteUndKosten();
    spielerModelAufbauen();

    ui->leAnzahlSerien->setValidator(new QIntValidator(2, 20, this));
    ui->le3erListeSpielAnzahl->setValidator(new QIntValidator(1, 200, this));
    ui->le4erListeSpielAnzahl->setValidator(new QIntValidator(1, 200, this));
    ui->leTischNr1->setValidator(new QIntValidator(1, 200, this));
    ui->leTischNr1->setText(QStringLiteral("1"));
    ui->dateEdit->setDate(QDate::currentDate());
    ui->dateEdit->setEnabled(false);
    ui->pbAuslosen->setEnabled(false);
    ui->pbAuslosungZuruecksetzen->setEnabled(false);
    teilnehmerTabelleEinrichten();
    letztesTurnierOeffnen();
    spieltageEinrichten();

    linkEinrichten();
    // season standings
    saisonEinrichten();
    geldEinrichten();
    anmeldungEinrichten();
    // fair draw: pairs kept apart, a draw again by its number
    auslosungEinrichten();
    // table app in the browser (mainwindow_web.cpp)
    webEinrichten();

    // window, keys and screen; last, so it finds every action and view
    fensterEinrichten();

    // The first turn of the event loop shows and paints the window; what
    // that paint does not need starts in the turn after it.
    QTimer::singleShot(0, this, [this] { QTimer::singleShot(0, this, &MainWindow::diensteStarten); });
}

void MainWindow::diensteStarten()
{
    linkStarten();
    webStarten();
}

MainWindow::~MainWindow()
{
    // roster: an open cell editor commits when it loses focus while the
    // widgets go; that change must not reach a window being destroyed.
    if (spielerModel)
        disconnect(spielerModel, nullptr, this, nullptr);
    // table app in the browser: its workers stop before anything they reach goes.
    webBeenden();
    fensterZustandSpeichern();
    delete ui;
}

QAction* MainWindow::aktion(const QString& objektName) const
{
    return findChild<QAction*>(objektName);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Every change was stored when it was made; only the window's own size
    // and widths are kept for the next start.
    fensterZustandSpeichern();
    event->accept();
}

void MainWindow::onAbout()
{
    Dialoge::info(this, QStringLiteral("ProgrammInfo"),
        tr("Reizwerk Version %1.%2\n\nTurnierverwaltung fuer Skat-Spieltage.\n"
           "Daten: %3")
            .arg(REIZWERK_VERSION_MAJOR)
            .arg(REIZWERK_VERSION_MINOR)
            .arg(datenbankVerzeichnis));
}

void MainWindow::onChangeCurrentTab(int index)
{
    if (index == 1 && ui->cmbSpielerGruppe->count() > 0)
        auswahlLaden(ui->cmbSpielerGruppe->currentText());
}

void MainWindow::onDatenbankFehler(const QString& text)
{
    melden(text);
}
