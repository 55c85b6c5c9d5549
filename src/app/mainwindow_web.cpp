// The table app in the browser: the server's start with the window, the
// status bar entry, the tables' addresses and QR codes, and the bridge that
// runs every read and change of the app on the window's thread through the
// same functions as the link.

#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QAction>
#include <QHostAddress>
#include <QJsonArray>
#include <QLabel>
#include <QMenu>
#include <QNetworkInterface>
#include <QSettings>
#include <QSqlQuery>
#include <QStatusBar>
#include <QUrlQuery>

#include <atomic>
#include <cmath>

#include "link/protokoll.h"
#include "scoring/spielliste.h"
#include "storage/datenbank.h"
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
constexpr int standardPort = 47480;
const QString statusName = QStringLiteral("lblWebStatus");
// How long a browser's request waits for the window (a modal dialog can hold
// it); the page sends again afterwards.
constexpr int fensterZeitMs = 10000;
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

    std::optional<QJsonObject> anzeige(Web::Fehler&) override
    {
        return imFenster<QJsonObject>([this] { return fenster->webAnzeige(); });
    }

    MainWindow* fenster;
    std::atomic<bool> ende { false };
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

    auto* status = new QLabel(this);
    status->setObjectName(statusName);
    status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusBar()->addPermanentWidget(status);

    actTischCodes = new QAction(tr("Tisch-Codes"), this);
    actTischCodes->setObjectName(QStringLiteral("actTischCodes"));
    connect(actTischCodes, &QAction::triggered, this, &MainWindow::onTischCodes);
    menuTurnier->insertAction(actInfo, actTischCodes);

    web = new WebTeil(this);
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
    if (gruppe == verbindungen.hauptVerbindung()) {
        f = { 404, tr("Die Gruppe %1 gibt es an diesem Spieltag nicht.").arg(gruppe) };
        return false;
    }
    return true;
}

std::optional<QJsonObject> MainWindow::webTischDaten(const QString& gruppe, int serie, int tisch, Web::Fehler& f)
{
    if (!webTischErreichbar(gruppe, f))
        return std::nullopt;
    const auto t = Web::tischLesen(verbindungen.datenbank(gruppe), gruppe, serie, tisch, f);
    if (!t)
        return std::nullopt;
    return Web::tischJson(*t, *einstellungen);
}

std::optional<QJsonObject> MainWindow::webListeSpeichern(
    const QString& gruppe, int serie, int tisch, const QVector<Web::GesendetesSpiel>& gesendet, Web::Fehler& f)
{
    if (!webTischErreichbar(gruppe, f))
        return std::nullopt;
    QSqlDatabase db = verbindungen.datenbank(gruppe);
    const auto t = Web::tischLesen(db, gruppe, serie, tisch, f);
    if (!t)
        return std::nullopt;
    const auto spiele = Web::aufTischAbbilden(*t, gesendet, f);
    if (!spiele)
        return std::nullopt;
    // The program's own computation; totals from the page are never taken.
    const QVector<Spielliste::Ergebnis> e
        = Spielliste::berechnen(t->sitze.size(), *spiele, Spielliste::regelwerteAus(*einstellungen));

    QStringList namen;
    for (const Web::Sitz& s : t->sitze)
        namen << s.name;
    const QString datei = Web::listenDateiName(gruppe, serie, tisch);
    const QString kopf = tr("%1 – Gruppe %2, Serie %3, Tisch %4")
                             .arg(einstellungen->value(QStringLiteral("Kosten/ListenName")).toString(), gruppe)
                             .arg(serie)
                             .arg(tisch);
    if (!Protokoll::spielListeSchreiben(
            turnierVerzeichnis, datei, Spielliste::alsText(kopf, namen, *spiele, e).toUtf8(), true)) {
        f = { 500, tr("Die Spielliste konnte nicht gespeichert werden. Bitte der Turnierleitung Bescheid geben.") };
        return std::nullopt;
    }
    // The same road as a companion's results: the shown group through its
    // table and the score entry, another group straight into its database.
    ergebnisseUebernehmen(gruppe, Web::ergebnisZeilen(*t, e));

    // Confirmed only what is really stored; the page sends again otherwise.
    QJsonArray ergebnisse;
    for (int i = 0; i < t->sitze.size(); ++i) {
        QSqlQuery q = Db::abfrage(db, QStringLiteral("SELECT Punkte, Kosten FROM Serie%1 WHERE StartNr=?").arg(serie),
            { t->sitze.at(i).startNr });
        if (!q.next() || q.value(0).toInt() != e.at(i).punkte
            || std::abs(q.value(1).toDouble() - e.at(i).kosten) > 0.051) {
            f = { 500, tr("Das Programm konnte die Ergebnisse nicht speichern.") };
            return std::nullopt;
        }
        ergebnisse.append(QJsonObject { { QStringLiteral("startNr"), t->sitze.at(i).startNr },
            { QStringLiteral("name"), t->sitze.at(i).name }, { QStringLiteral("punkte"), e.at(i).punkte },
            { QStringLiteral("kosten"), e.at(i).kosten }, { QStringLiteral("platz"), e.at(i).platz } });
    }
    statusBar()->showMessage(
        tr("Tisch-App: Liste von Tisch %1, Serie %2 (%3) gespeichert").arg(tisch).arg(serie).arg(gruppe), 10000);
    return QJsonObject { { QStringLiteral("gespeichert"), true }, { QStringLiteral("ergebnisse"), ergebnisse },
        { QStringLiteral("datei"), datei } };
}

QVector<Spieltag::Gruppe> MainWindow::webGruppen() const
{
    QVector<Spieltag::Gruppe> gruppen;
    const QStringList namen = verbindungen.namen();
    for (const QString& name : namen) {
        if (name == verbindungen.hauptVerbindung())
            continue;
        Spieltag::Gruppe g;
        if (Spieltag::gruppeLesen(verbindungen.datenbank(name), g))
            gruppen << g;
    }
    return gruppen;
}

QJsonObject MainWindow::webAnzeige()
{
    return Web::anzeigeJson(webGruppen(), ui->dateEdit->date());
}

void MainWindow::onTischCodes()
{
    DlgTischCodes dlg(
        webGruppen(), [this](const QString& g, int s, int t) { return tischAdresse(g, s, t); }, this);
    dlg.exec();
}
