// The table app in the browser: the server's start with the window, the
// status bar entry, the tables' addresses and QR codes, and the bridge that
// runs every read and change of the app on the window's thread through the
// same functions as the link.

#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QAction>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QMenu>
#include <QNetworkInterface>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QUrlQuery>

#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>

#include "link/protokoll.h"
#include "link/zugang.h"
#include "scoring/spielliste.h"
#include "setup/teilnehmertabelle.h"
#include "storage/datenbank.h"
#include "storage/spiellisten.h"
#include "storage/spieltagleser.h"
#include "web/dlgtischcodes.h"
#include "web/server.h"
#include "web/spieltagdaten.h"
#include "web/tischapp.h"
#include "web/uebergabe.h"

namespace
{
const QString schluesselAktiv = QStringLiteral("Web/Aktiv");
const QString schluesselPort = QStringLiteral("Web/Port");
const QString schluesselAdresse = QStringLiteral("Web/Adresse");
const QString schluesselErlauben = QStringLiteral("Web/Erlauben");
constexpr int standardPort = 47480;
const QString statusName = QStringLiteral("lblWebStatus");
// How long a browser's request waits for the window (a modal dialog can hold
// it); the page sends again afterwards.
constexpr int fensterZeitMs = 10000;
// The public standings are kept as a copy while someone watches them (the
// page asks every 15 s); the window looks for changes this often and builds
// the copy again only when something changed.
constexpr int anzeigePruefenMs = 3000;
constexpr qint64 anzeigeBeobachtetMs = 60000;

qint64 jetztMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
} // namespace

// The server, the app and the bridge; the app's calls arrive on worker
// threads and are handed to the window's thread here.
struct WebTeil : Web::Zugang {
    explicit WebTeil(MainWindow* w)
        : fenster(w)
        , app(*this, schluessel)
        , server([this](const Web::Anfrage& a) { return app.beantworten(a); })
    {
    }

    template<class T> std::optional<T> imFenster(std::function<T()> arbeit)
    {
        return Web::aufThread<T>(fenster, std::move(arbeit), fensterZeitMs, ende);
    }

    std::optional<QJsonObject> tischDaten(const QString& gruppe, int serie, int tisch, Web::Fehler& f) override
    {
        auto r = imFenster<std::pair<std::optional<QJsonObject>, Web::Fehler>>([=] {
            Web::Fehler fehler;
            auto o = fenster->webTischDaten(gruppe, serie, tisch, fehler);
            return std::make_pair(o, fehler);
        });
        if (!r)
            return std::nullopt;
        f = r->second;
        return r->first;
    }

    std::optional<QJsonObject> listeSpeichern(const QString& gruppe, int serie, int tisch,
        const QVector<Web::GesendetesSpiel>& spiele, Web::Fehler& f) override
    {
        auto r = imFenster<std::pair<std::optional<QJsonObject>, Web::Fehler>>([=] {
            Web::Fehler fehler;
            auto o = fenster->webListeSpeichern(gruppe, serie, tisch, spiele, fehler);
            return std::make_pair(o, fehler);
        });
        if (!r)
            return std::nullopt;
        f = r->second;
        return r->first;
    }

    // Served from the stored copy without the window; only a missing or
    // outdated copy is built, once, on the window's thread.
    std::optional<QByteArray> anzeige(Web::Fehler&) override
    {
        letzteAnzeige = jetztMs();
        {
            std::lock_guard<std::mutex> lock(anzeigeMutex);
            if (anzeigeGueltig)
                return anzeigeKopie;
        }
        return imFenster<QByteArray>([this] { return anzeigeBauen(); });
    }

    // On the window's thread.
    QByteArray anzeigeBauen()
    {
        {
            std::lock_guard<std::mutex> lock(anzeigeMutex);
            if (anzeigeGueltig) // built meanwhile for another request
                return anzeigeKopie;
        }
        const QString kennung = fenster->webStandKennung();
        const QByteArray neu = QJsonDocument(fenster->webAnzeige()).toJson(QJsonDocument::Compact);
        ++anzeigeBauten;
        {
            std::lock_guard<std::mutex> lock(anzeigeMutex);
            anzeigeKopie = neu;
            anzeigeGueltig = true;
        }
        anzeigeKennung = kennung;
        if (!anzeigeUhr.isActive())
            anzeigeUhr.start();
        return neu;
    }

    // On the window's thread: after a change (or when nobody watches any
    // more) the copy is given up; the next request builds it.
    void anzeigeVeraltet()
    {
        std::lock_guard<std::mutex> lock(anzeigeMutex);
        anzeigeGueltig = false;
        anzeigeKopie.clear();
    }

    void anzeigePruefen()
    {
        if (jetztMs() - letzteAnzeige.load() > anzeigeBeobachtetMs) {
            anzeigeVeraltet();
            anzeigeUhr.stop();
            return;
        }
        if (fenster->webStandKennung() != anzeigeKennung) {
            anzeigeVeraltet();
            anzeigeBauen();
        }
    }

    MainWindow* fenster;
    std::atomic<bool> ende { false };
    std::mutex anzeigeMutex;
    QByteArray anzeigeKopie;
    bool anzeigeGueltig = false;
    std::atomic<qint64> letzteAnzeige { 0 };
    QString anzeigeKennung; // window's thread only
    QTimer anzeigeUhr; // window's thread only
    int anzeigeBauten = 0;
    Web::Schluessel schluessel;
    QString schluesselOrdner; // the match-day folder the secret belongs to
    Web::TischApp app;
    Web::Server server;
};

void MainWindow::webEinrichten()
{
    if (!einstellungen->contains(schluesselAktiv))
        einstellungen->setValue(schluesselAktiv, true);
    if (!einstellungen->contains(schluesselPort))
        einstellungen->setValue(schluesselPort, standardPort);
    if (!einstellungen->contains(schluesselAdresse))
        einstellungen->setValue(schluesselAdresse, QStringLiteral("*"));
    // Written empty, as for the link, so the organiser finds where to name
    // a device outside the club's own network.
    if (!einstellungen->contains(schluesselErlauben))
        einstellungen->setValue(schluesselErlauben, QString());

    auto* status = new QLabel(this);
    status->setObjectName(statusName);
    status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusBar()->addPermanentWidget(status);

    actTischCodes = new QAction(tr("Tisch-Codes"), this);
    actTischCodes->setObjectName(QStringLiteral("actTischCodes"));
    connect(actTischCodes, &QAction::triggered, this, &MainWindow::onTischCodes);
    menuTurnier->insertAction(actInfo, actTischCodes);

    web = new WebTeil(this);
    web->anzeigeUhr.setInterval(anzeigePruefenMs);
    connect(&web->anzeigeUhr, &QTimer::timeout, this, [this] { web->anzeigePruefen(); });
    // The link's rule: the club's own network, and whom the settings name.
    const Zugang::Erlaubnis erlaubnis = Zugang::erlaubnisLesen(einstellungen->value(schluesselErlauben).toStringList());
    for (const QString& falsch : erlaubnis.ungueltig)
        qWarning("Tisch-App: %s in %s ist keine Adresse", qPrintable(falsch), qPrintable(schluesselErlauben));
    web->server.zulassen([erlaubnis](const QHostAddress& a) { return Zugang::zugelassen(a, erlaubnis); });
    webSchluesselAktuell();
    // The seating list and the game-list sheets print each table's code.
    setTischAdresse([this](const QString& g, int s, int t) { return tischAdresse(g, s, t); });
}

void MainWindow::webStarten()
{
    if (!web)
        return;
    if (einstellungen->value(schluesselAktiv).toBool()) {
        bool ok = false;
        const int port = einstellungen->value(schluesselPort).toInt(&ok);
        if (ok && port >= 0 && port <= 65535)
            web->server.starten(einstellungen->value(schluesselAdresse).toString(), quint16(port));
    }
    webStatusZeigen();
}

void MainWindow::webBeenden()
{
    if (!web)
        return;
    web->ende = true;
    web->server.anhalten();
    delete web;
    web = nullptr;
}

Web::Server* MainWindow::webServer() const
{
    return web ? &web->server : nullptr;
}

void MainWindow::webStatusZeigen()
{
    auto* status = findChild<QLabel*>(statusName);
    if (!status)
        return;
    if (!einstellungen->value(schluesselAktiv).toBool())
        status->setText(tr("Tisch-App: aus"));
    else if (web && web->server.laeuft())
        status->setText(tr("Tisch-App: %1").arg(anzeigeAdresse()));
    else
        status->setText(
            tr("Tisch-App: FEHLER Port %1 %2")
                .arg(einstellungen->value(schluesselPort).toString(), web ? web->server.fehlerText() : QString()));
}

bool MainWindow::webSchluesselAktuell(bool erzeugen)
{
    if (web->schluesselOrdner == turnierVerzeichnis && web->schluessel.geladen())
        return true;
    const bool neuerTag = web->schluesselOrdner != turnierVerzeichnis;
    web->schluesselOrdner = turnierVerzeichnis;
    web->schluessel.laden(turnierVerzeichnis, erzeugen);
    // A new match day: tokens of the one before no longer count.
    return !neuerTag && web->schluessel.geladen();
}

QString MainWindow::webHost() const
{
    const QHostAddress fest(einstellungen->value(schluesselAdresse).toString().trimmed());
    if (!fest.isNull() && fest != QHostAddress(QHostAddress::Any) && fest != QHostAddress(QHostAddress::AnyIPv4)
        && fest != QHostAddress(QHostAddress::AnyIPv6))
        return fest.protocol() == QAbstractSocket::IPv6Protocol ? QStringLiteral("[%1]").arg(fest.toString())
                                                                : fest.toString();
    // The address the phones at the tables reach: this machine's first
    // IPv4 address on a running network that is not the loopback.
    const QList<QNetworkInterface> schnittstellen = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& s : schnittstellen) {
        const auto f = s.flags();
        if (!(f & QNetworkInterface::IsUp) || !(f & QNetworkInterface::IsRunning)
            || (f & QNetworkInterface::IsLoopBack))
            continue;
        const QList<QNetworkAddressEntry> eintraege = s.addressEntries();
        for (const QNetworkAddressEntry& e : eintraege)
            if (e.ip().protocol() == QAbstractSocket::IPv4Protocol && !e.ip().isLoopback() && !e.ip().isLinkLocal())
                return e.ip().toString();
    }
    return QStringLiteral("127.0.0.1");
}

QString MainWindow::anzeigeAdresse() const
{
    if (!web || !web->server.laeuft())
        return {};
    return QStringLiteral("http://%1:%2/anzeige").arg(webHost()).arg(web->server.port());
}

QString MainWindow::tischAdresse(const QString& gruppe, int serie, int tisch)
{
    if (!web || !web->server.laeuft())
        return {};
    webSchluesselAktuell(true);
    const QString token = web->schluessel.token(gruppe, serie, tisch);
    if (token.isEmpty())
        return {};
    QUrlQuery q;
    q.addQueryItem(QStringLiteral("g"), QString::fromLatin1(QUrl::toPercentEncoding(gruppe)));
    q.addQueryItem(QStringLiteral("s"), QString::number(serie));
    q.addQueryItem(QStringLiteral("t"), QString::number(tisch));
    q.addQueryItem(QStringLiteral("k"), token);
    return QStringLiteral("http://%1:%2/tisch?%3")
        .arg(webHost())
        .arg(web->server.port())
        .arg(q.query(QUrl::FullyEncoded));
}

bool MainWindow::webTischErreichbar(const QString& gruppe, Web::Fehler& f)
{
    if (!webSchluesselAktuell()) {
        f = { 403, tr("Diese Adresse gehört zu einem anderen Spieltag. Bitte den QR-Code neu scannen.") };
        return false;
    }
    if (gruppe == spieltag->verbindungen().hauptVerbindung()) {
        f = { 404, tr("Die Gruppe %1 gibt es an diesem Spieltag nicht.").arg(gruppe) };
        return false;
    }
    return true;
}

std::optional<QJsonObject> MainWindow::webTischDaten(const QString& gruppe, int serie, int tisch, Web::Fehler& f)
{
    if (!webTischErreichbar(gruppe, f))
        return std::nullopt;
    const auto t = Web::tischLesen(spieltag->verbindungen().datenbank(gruppe), gruppe, serie, tisch, f);
    if (!t)
        return std::nullopt;
    return Web::tischJson(*t, *einstellungen);
}

std::optional<QJsonObject> MainWindow::webListeSpeichern(
    const QString& gruppe, int serie, int tisch, const QVector<Web::GesendetesSpiel>& gesendet, Web::Fehler& f)
{
    if (!webTischErreichbar(gruppe, f))
        return std::nullopt;
    QSqlDatabase db = spieltag->verbindungen().datenbank(gruppe);
    const auto t = Web::tischLesen(db, gruppe, serie, tisch, f);
    if (!t)
        return std::nullopt;
    const auto spiele = Web::aufTischAbbilden(*t, gesendet, f);
    if (!spiele)
        return std::nullopt;
    // The program's own computation; totals from the page are never taken.
    QVector<Spielliste::Ergebnis> e
        = Spielliste::berechnen(t->sitze.size(), *spiele, Regeln::werteLesen(*einstellungen));
    // Costs are stored with one decimal whichever road they take; the file,
    // the stored rows and the page's answer all name that amount.
    for (Spielliste::Ergebnis& x : e)
        x.kosten = Zahl::dezimal(Zahl::euro(x.kosten));

    QStringList namen;
    for (const Web::Sitz& s : t->sitze)
        namen << s.name;
    const QString datei = Web::listenDateiName(gruppe, serie, tisch);
    const QString kopf = tr("%1 – Gruppe %2, Serie %3, Tisch %4")
                             .arg(Regeln::werteLesen(*einstellungen).listenName, gruppe)
                             .arg(serie)
                             .arg(tisch);
    // The table app's list is kept whatever a companion sent under its name,
    // and a companion's file it replaces stays beside it.
    QString beiseite;
    const auto abgelegt = spielListenAblage.ablage().vomTisch(
        turnierVerzeichnis, datei, Spielliste::alsText(kopf, namen, *spiele, e).toUtf8(), &beiseite);
    if (abgelegt != SpielListen::Ablage::Ergebnis::Gespeichert
        && abgelegt != SpielListen::Ablage::Ergebnis::Beiseitegelegt) {
        f = { 500, tr("Die Spielliste konnte nicht gespeichert werden. Bitte der Turnierleitung Bescheid geben.") };
        return std::nullopt;
    }
    // The same road as a companion's results and the game-list dialog: the
    // open match day stores them, whether or not the group is on screen.
    // Confirmed only what is really stored; the page sends again otherwise.
    const auto nichtGespeichert = [&f] {
        f = { 500, tr("Das Programm konnte die Ergebnisse nicht speichern.") };
        return std::nullopt;
    };
    if (!ergebnisseUebernehmen(gruppe, Web::ergebnisZeilen(*t, e)))
        return nichtGespeichert();
    QJsonArray ergebnisse;
    for (int i = 0; i < t->sitze.size(); ++i) {
        const std::optional<OffenerSpieltag::Stand> stand = spieltag->stand(gruppe, t->sitze.at(i).startNr, serie);
        if (!stand || Zahl::ganz(stand->punkte) != e.at(i).punkte
            || std::abs(Zahl::dezimal(stand->kosten) - e.at(i).kosten) > 0.001)
            return nichtGespeichert();
        ergebnisse.append(QJsonObject { { QStringLiteral("startNr"), t->sitze.at(i).startNr },
            { QStringLiteral("name"), t->sitze.at(i).name }, { QStringLiteral("punkte"), Zahl::ganz(stand->punkte) },
            { QStringLiteral("kosten"), Zahl::dezimal(stand->kosten) }, { QStringLiteral("platz"), e.at(i).platz } });
    }
    web->anzeigeVeraltet();
    statusBar()->showMessage(
        tr("Tisch-App: Liste von Tisch %1, Serie %2 (%3) gespeichert").arg(tisch).arg(serie).arg(gruppe)
            + (beiseite.isEmpty() ? QString() : tr("; die Datei eines Geraets bleibt als %1").arg(beiseite)),
        10000);
    return QJsonObject { { QStringLiteral("gespeichert"), true }, { QStringLiteral("ergebnisse"), ergebnisse },
        { QStringLiteral("datei"), datei } };
}

QVector<Spieltag::Gruppe> MainWindow::webGruppen() const
{
    QVector<Spieltag::Gruppe> gruppen;
    const QStringList namen = spieltag->verbindungen().namen();
    for (const QString& name : namen) {
        if (name == spieltag->verbindungen().hauptVerbindung())
            continue;
        Spieltag::Gruppe g;
        if (Spieltag::gruppeLesen(spieltag->verbindungen().datenbank(name), g))
            gruppen << g;
    }
    return gruppen;
}

QJsonObject MainWindow::webAnzeige()
{
    return Web::anzeigeJson(webGruppen(), ui->dateEdit->date());
}

QString MainWindow::webStandKennung() const
{
    // The match day's mark moves with every stored change of a group, also
    // one written from elsewhere.
    QStringList teile { ui->dateEdit->date().toString(Qt::ISODate) };
    const QString stand = spieltag->aenderungsStand();
    if (!stand.isEmpty())
        teile << stand;
    return teile.join(QLatin1Char('|'));
}

int MainWindow::webAnzeigeBauten() const
{
    return web ? web->anzeigeBauten : 0;
}

void MainWindow::onTischCodes()
{
    DlgTischCodes dlg(
        webGruppen(), [this](const QString& g, int s, int t) { return tischAdresse(g, s, t); }, this);
    dlg.gruppeWaehlen(aktuelleGruppe());
    dlg.exec();
}
