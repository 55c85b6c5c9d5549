// The link to companion scoring apps: joining, the roster, seat lists, the
// rules, results and game-list files.

#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QDebug>
#include <QLabel>
#include <QMap>
#include <QSettings>
#include <QStatusBar>

#include <functional>

#include "link/client.h"
#include "link/nachricht.h"
#include "link/protokoll.h"
#include "link/tischpruefung.h"
#include "link/zugang.h"
#include "scoring/regeln.h"
#include "scoring/wertung.h"
#include "setup/teilnehmertabelle.h"
#include "storage/datenbank.h"
#include "storage/spieltagleser.h"

namespace
{
const QString schluesselPort = QStringLiteral("Link/Port");
const QString schluesselAdresse = QStringLiteral("Link/Adresse");
const QString schluesselErlauben = QStringLiteral("Link/Erlauben");
constexpr int standardPort = 47474;
// The settings text for "every address, IPv4 and IPv6".
const QString alleAdressen = QStringLiteral("*");
const QString statusName = QStringLiteral("lblLinkStatus");

QHostAddress adresseAus(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t == alleAdressen || t.compare(QLatin1String("any"), Qt::CaseInsensitive) == 0)
        return QHostAddress(QHostAddress::Any);
    return QHostAddress(t);
}

void sendeAn(Client* client, int code, const QString& adresse, const QString& liste, const QStringList& felder)
{
    Nachricht m;
    m.code = code;
    m.adresse = adresse;
    m.liste = liste;
    m.felder = felder;
    client->sendMessage(m.text());
}
} // namespace

void MainWindow::linkEinrichten()
{
    if (!einstellungen->contains(schluesselPort))
        einstellungen->setValue(schluesselPort, standardPort);
    if (!einstellungen->contains(schluesselAdresse))
        einstellungen->setValue(schluesselAdresse, alleAdressen);
    // Written empty, so the organiser finds where to name a device outside
    // the club's own network.
    if (!einstellungen->contains(schluesselErlauben))
        einstellungen->setValue(schluesselErlauben, QString());

    // A child of the window, so its sockets close with it.
    client = new Client(QStringLiteral("Reizwerk"), this);
    connect(client, &Client::newParticipant, this, &MainWindow::newParticipant);
    connect(client, &Client::newMessage, this, &MainWindow::appendMessage);
    connect(client, &Client::participantLeft, this, &MainWindow::protokollAbmeldung);
    connect(client, &Client::teilnehmerZahlGeaendert, this, &MainWindow::linkStatusZeigen);

    // Its own label, so database messages in the status bar do not hide it.
    auto* status = new QLabel(this);
    status->setObjectName(statusName);
    statusBar()->addPermanentWidget(status);

    const Zugang::Erlaubnis erlaubnis = Zugang::erlaubnisLesen(einstellungen->value(schluesselErlauben).toStringList());
    for (const QString& falsch : erlaubnis.ungueltig)
        qWarning("Link: %s in %s ist keine Adresse", qPrintable(falsch), qPrintable(schluesselErlauben));
    client->erlauben(erlaubnis);
}

void MainWindow::linkStarten()
{
    if (!client)
        return;
    bool portOk = false;
    const int port = einstellungen->value(schluesselPort).toInt(&portOk);
    if (portOk && port >= 0 && port <= 65535)
        client->starten(adresseAus(einstellungen->value(schluesselAdresse).toString()), quint16(port));
    linkStatusZeigen();
}

void MainWindow::linkStatusZeigen()
{
    auto* status = findChild<QLabel*>(statusName);
    if (!status)
        return;
    if (client && client->lauscht()) {
        QString text = tr("Verbindung: Port %1, %2 Begleiter").arg(client->port()).arg(client->anzahlTeilnehmer());
        if (linkAbgelehnt > 0)
            text += tr(", %1 Ergebnisse abgelehnt").arg(linkAbgelehnt);
        status->setText(text);
    } else
        status->setText(
            tr("Verbindung: FEHLER Port %1 %2")
                .arg(einstellungen->value(schluesselPort).toString(), client ? client->fehlerText() : QString()));
}

void MainWindow::newParticipant(QString nick)
{
    const Nick n = Nick::lesen(nick);
    if (n.name != Protokoll::begleiterName || n.adresse.isEmpty())
        return;
    // A companion is its address: a second connection from it continues the
    // first one's claims and gets no roster.
    if (++linkVerbindungen[n.adresse] > 1 || linkPartner.contains(n.adresse))
        return;
    linkPartner.insert(n.adresse, 0);
    spielerListeSenden(n.adresse);
}

void MainWindow::protokollAbmeldung(QString nick)
{
    const Nick n = Nick::lesen(nick);
    if (n.name != Protokoll::begleiterName)
        return;
    const auto it = linkVerbindungen.find(n.adresse);
    if (it != linkVerbindungen.end() && --it.value() > 0)
        return;
    if (it != linkVerbindungen.end())
        linkVerbindungen.erase(it);
    linkPartner.remove(n.adresse);
    client->tischGehalten(n.adresse, false);
}

void MainWindow::appendMessage(QString from, QString message)
{
    if (from.isEmpty() || message.isEmpty() || !from.startsWith(Protokoll::begleiterName))
        return;
    // A request acts for the device it came from, whatever address its
    // header names: nobody claims, reads or frees another's table.
    const QString absender = Nick::lesen(from).adresse;
    if (absender.isEmpty())
        return;
    Nachricht m = Nachricht::lesen(message);
    if (m.code != 0 && m.adresse != absender) {
        // Logged, but a flood of them must not flood the log.
        static int gewarnt = 0;
        if (gewarnt++ % 1000 == 0)
            qWarning("Link: %s nennt die Adresse %s, gilt fuer %s", qPrintable(from), qPrintable(m.adresse.left(64)),
                qPrintable(absender));
        m.adresse = absender;
    }
    switch (m.code) {
    case Protokoll::Code::TischAnfrage:
        tischListeSenden(m);
        sendeKostenRegeln(m);
        break;
    case Protokoll::Code::Ergebnisse:
        ergebnisseVomTisch(absender, m);
        break;
    case Protokoll::Code::TextDatei:
    case Protokoll::Code::GepackteDatei:
        dateiSpeichern(m);
        break;
    default:
        break;
    }
}

void MainWindow::spielerListeSenden(QString adresse)
{
    // The roster lives in the master database, whichever group is current.
    if (!spieltag->verbindungen().hauptDatenbank().isOpen())
        return;
    QStringList eintraege;
    const QVector<OffenerSpieltag::RosterEintrag> roster = spieltag->roster();
    for (const OffenerSpieltag::RosterEintrag& e : roster)
        eintraege << Protokoll::spielerEintrag(e.startNr, e.vorName, e.nachName, e.mitglied, e.preisskat);
    listenName = Protokoll::alleSpieler;
    sendeAn(client, Protokoll::Code::SpielerListe, adresse, listenName, eintraege);
}

void MainWindow::tischListeSenden(const Nachricht& m)
{
    if (m.felder.size() != 2)
        return;
    const int t = Zahl::ganz(m.felder.at(0));
    const int s = Zahl::ganz(m.felder.at(1));
    // No table has a number below 1; unclaimed companions hold 0.
    if (t < 1)
        return;
    for (auto it = linkPartner.cbegin(); it != linkPartner.cend(); ++it) {
        if (it.key() != m.adresse && it.value() == t) {
            sendeAn(client, Protokoll::Code::TischBelegt, m.adresse, listenName, { QString::number(t) });
            return;
        }
    }
    if (linkPartner.contains(m.adresse))
        linkPartner[m.adresse] = t;
    client->tischGehalten(m.adresse, linkPartner.value(m.adresse) != 0);

    // The group of the table is looked up without changing the group the
    // window works on.
    const std::optional<OffenerSpieltag::GruppeDesTisches> gefunden = spieltag->gruppeDesTisches(t);
    if (!gefunden || s < 1 || s > gefunden->serien)
        return;
    const QString gruppe = gefunden->name;

    listenName = gruppe;
    QStringList eintraege { QString::number(t), QString::number(s) };
    // The stored seating, as printed and shown in the table app: a player
    // made inactive after the draw is still seated here.
    const QVector<Spieltag::SitzEintrag> sitze = spieltag->sitze(gefunden->verbindung, s, t);
    for (const Spieltag::SitzEintrag& e : sitze)
        if (e.teilnehmer)
            eintraege << Protokoll::sitzEintrag(e.startNr, e.name, e.mitglied, e.preisskat);
    sendeAn(client, Protokoll::Code::TischListe, m.adresse, listenName, eintraege);
    // Whoever was sent a table's seats may send its results, until another
    // companion is sent them.
    tischHalter().insert({ s, t }, m.adresse);
}

QHash<QPair<int, int>, QString>& MainWindow::tischHalter()
{
    // Table numbers belong to one match day.
    if (linkHalterTag != turnierVerzeichnis) {
        linkTischHalter.clear();
        linkHalterTag = turnierVerzeichnis;
    }
    return linkTischHalter;
}

bool MainWindow::ergebnisseUebernehmen(QString liste, QStringList felder)
{
    // One road whether or not the group is on screen: the match day stores
    // a message's lines together, and the table follows what it stored.
    QVector<OffenerSpieltag::Ergebnis> ergebnisse;
    for (const QString& zeile : qAsConst(felder))
        if (const auto e = Protokoll::ergebnisLesen(zeile))
            ergebnisse.append({ e->startNr, e->serie, e->punkte, e->kosten });
    return ergebnisseUebernehmen(liste, ergebnisse);
}

bool MainWindow::ergebnisseUebernehmen(const QString& liste, const QVector<OffenerSpieltag::Ergebnis>& ergebnisse)
{
    QString fehler;
    if (spieltag->ergebnisseSpeichern(liste, ergebnisse, &fehler))
        return true;
    const QString text = tr("FEHLER: %1").arg(fehler);
    if (statusBar()->currentMessage() != text)
        melden(text);
    return false;
}

void MainWindow::ergebnisseVomTisch(const QString& adresse, const Nachricht& m)
{
    auto alleAblehnen = [&](const QString& grund) {
        QVector<Tischpruefung::Abgelehnt> zeilen;
        for (const QString& zeile : qAsConst(m.felder)) {
            zeilen.append({ zeile, grund });
            if (zeilen.size() >= 3)
                break;
        }
        ergebnisseAbgelehnt(adresse, zeilen, int(m.felder.size()));
    };
    // Only a companion that joined holds a table; others store nothing.
    if (!linkPartner.contains(adresse))
        return alleAblehnen(tr("nicht als %1 angemeldet").arg(Protokoll::begleiterName));
    const QSqlDatabase db
        = m.liste == spieltag->verbindungen().hauptVerbindung() ? QSqlDatabase() : spieltag->verbindungen().datenbank(m.liste);
    Tischpruefung::Sitzsuche sitze(db, &linkAnweisungen);
    if (sitze.serien() < 1)
        return alleAblehnen(tr("die Gruppe %1 gibt es nicht").arg(m.liste.left(64)));
    // Each line is read once, and the seats of all of them together.
    const Tischpruefung::Gelesen gelesen = Tischpruefung::lesen(m.felder);
    sitze.vorlesen(gelesen);

    Tischpruefung::Anspruch anspruch;
    anspruch.adresse = adresse;
    anspruch.tisch = linkPartner.value(adresse, 0);
    const QHash<QPair<int, int>, QString>& halter = tischHalter();
    anspruch.halter = [&halter](int serie, int tisch) { return halter.value({ serie, tisch }); };
    anspruch.frei = [&](int tisch) {
        for (auto it = linkPartner.cbegin(); it != linkPartner.cend(); ++it)
            if (it.key() != adresse && it.value() == tisch)
                return false;
        return true;
    };
    const Tischpruefung::Ergebnis e = Tischpruefung::pruefen(m.felder, gelesen, anspruch, std::ref(sitze));
    if (e.tisch != anspruch.tisch) {
        linkPartner[adresse] = e.tisch;
        client->tischGehalten(adresse, e.tisch != 0);
    }
    if (e.abgelehnt > 0)
        ergebnisseAbgelehnt(adresse, e.abgelehnteZeilen, e.abgelehnt);
    if (!e.werte.isEmpty()) {
        QVector<OffenerSpieltag::Ergebnis> ergebnisse;
        ergebnisse.reserve(e.werte.size());
        for (const Protokoll::Ergebnis& w : e.werte)
            ergebnisse.append({ w.startNr, w.serie, w.punkte, w.kosten });
        ergebnisseUebernehmen(m.liste, ergebnisse);
    }
}

void MainWindow::ergebnisseAbgelehnt(
    const QString& adresse, const QVector<Tischpruefung::Abgelehnt>& zeilen, int anzahl)
{
    linkAbgelehnt += anzahl;
    linkStatusZeigen();
    // The organiser must see that a table's result is missing: the sender,
    // the line and why, the first few of them.
    QStringList teile;
    for (const Tischpruefung::Abgelehnt& z : zeilen) {
        if (teile.size() == 3)
            break;
        const QString zeile = z.zeile.size() > 80 ? z.zeile.left(80) + QStringLiteral("...") : z.zeile;
        teile << tr("\"%1\": %2").arg(zeile, z.grund);
    }
    QString text = anzahl == 1
        ? tr("FEHLER: Ergebnis von %1 abgelehnt: %2").arg(adresse, teile.join(QString()))
        : tr("FEHLER: %1 Ergebnisse von %2 abgelehnt: %3").arg(anzahl).arg(adresse, teile.join(QStringLiteral("; ")));
    if (anzahl > teile.size())
        text += QStringLiteral("; ...");
    // Logged, but a flood of them must not flood the log.
    static int gemeldet = 0;
    if (gemeldet++ % 100 == 0)
        qWarning().noquote() << text;
    statusBar()->showMessage(text);
}

void MainWindow::sendeKostenRegeln(const Nachricht& empfangen)
{
    client->sendMessage(Protokoll::regelnNachricht(empfangen, listenName, Regeln::regelnText(*einstellungen)).text());
}

void MainWindow::dateiSpeichern(const Nachricht& m)
{
    // A broken file is not announced: the sender is a peer on the network,
    // and a flood of them must not flood the log either. A full match day,
    // a file kept aside and a refused replacement are shown, since the
    // organiser can act on them.
    using E = Protokoll::SpielListenAblage::Ergebnis;
    QString beiseite;
    const QString name = m.felder.value(0).left(64);
    switch (spielListenAblage.speichern(turnierVerzeichnis, m, &beiseite)) {
    case E::Voll:
        statusBar()->showMessage(
            tr("Spielliste %1 von %2 abgelehnt: je Spieltag hoechstens %3 Dateien mit %4 MiB, je Geraet %5 Dateien "
               "mit %6 MiB")
                .arg(name, m.adresse.left(64))
                .arg(spielListenAblage.maxDateien())
                .arg(spielListenAblage.maxBytes() / (1024 * 1024))
                .arg(spielListenAblage.ablage().maxDateienGeraet())
                .arg(spielListenAblage.maxBytesJeGeraet() / (1024 * 1024)),
            10000);
        break;
    case E::Geschuetzt:
        statusBar()->showMessage(tr("Spielliste %1 von %2 abgelehnt: die Tisch-App hat diese Liste gespeichert")
                                     .arg(name, m.adresse.left(64)),
            10000);
        break;
    case E::Beiseitegelegt:
        statusBar()->showMessage(tr("Spielliste %1 von %2 gespeichert; die Datei eines anderen Geraets bleibt als %3")
                                     .arg(name, m.adresse.left(64), beiseite.left(70)),
            10000);
        break;
    case E::Gespeichert:
    case E::Ungueltig:
        break;
    }
}
