// The link to companion scoring apps: joining, the roster, seat lists, the
// rules, results and game-list files.

#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QLabel>
#include <QMap>
#include <QSettings>
#include <QSqlQuery>
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
    if (n.name != Protokoll::begleiterName || n.adresse.isEmpty() || linkPartner.contains(n.adresse))
        return;
    linkPartner.insert(n.adresse, 0);
    spielerListeSenden(n.adresse);
}

void MainWindow::protokollAbmeldung(QString nick)
{
    const Nick n = Nick::lesen(nick);
    if (n.name == Protokoll::begleiterName)
        linkPartner.remove(n.adresse);
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
    QSqlDatabase db = verbindungen.hauptDatenbank();
    if (!db.isValid() || !db.isOpen())
        return;
    QStringList eintraege;
    QSqlQuery q
        = Db::abfrage(db, QStringLiteral("SELECT StartNr, VorName, NachName, Mitglied, Preisskat FROM Spieler"));
    while (q.next())
        eintraege << Protokoll::spielerEintrag(q.value(0).toInt(), q.value(1).toString(), q.value(2).toString(),
            q.value(3).toString() == QLatin1String("Ja"), q.value(4).toString() == QLatin1String("Ja"));
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

    // The group of the table is looked up without changing the group the
    // window works on.
    QSqlDatabase db;
    QString gruppe;
    int serien = 0;
    const QStringList namen = verbindungen.namen();
    for (const QString& name : namen) {
        QSqlDatabase kandidat = verbindungen.datenbank(name);
        if (!kandidat.isValid() || !kandidat.isOpen() || !Db::tabelleVorhanden(kandidat, QStringLiteral("Gruppe")))
            continue;
        QSqlQuery q = Db::abfrage(kandidat,
            QStringLiteral("SELECT Name, Serien FROM Gruppe WHERE ErsterTisch<=? AND "
                           "LetzterTisch>=?"),
            { t, t });
        if (q.next()) {
            db = kandidat;
            gruppe = q.value(0).toString();
            serien = q.value(1).toInt();
            break;
        }
    }
    if (!db.isValid() || s < 1 || s > serien)
        return;

    QMap<int, int> sitze; // seat position -> start number; a later row wins
    {
        QSqlQuery q
            = Db::abfrage(db, QStringLiteral("SELECT StartNr, TischIntern FROM Serie%1 WHERE Tisch=?").arg(s), { t });
        while (q.next())
            sitze.insert(q.value(1).toInt(), q.value(0).toInt());
    }
    listenName = gruppe;
    QStringList eintraege { QString::number(t), QString::number(s) };
    for (const int startNr : qAsConst(sitze)) {
        QSqlQuery q = Db::abfrage(db,
            QStringLiteral("SELECT StartNr, Name, Mitglied, Preisskat FROM Teilnehmer WHERE "
                           "StartNr=?"),
            { startNr });
        if (q.next())
            eintraege << Protokoll::sitzEintrag(
                q.value(0).toInt(), q.value(1).toString(), q.value(2).toBool(), q.value(3).toBool());
    }
    sendeAn(client, Protokoll::Code::TischListe, m.adresse, listenName, eintraege);
}

void MainWindow::ergebnisseUebernehmen(QString liste, QStringList felder)
{
    QVector<Protokoll::Ergebnis> ergebnisse;
    for (const QString& zeile : qAsConst(felder))
        if (const auto e = Protokoll::ergebnisLesen(zeile))
            ergebnisse << *e;

    // The table shows this group's stored participants: its cells go
    // through the score entry, which stores them.
    if (liste == aktuelleGruppe() && gruppeFestgelegt) {
        // A message's lines are stored together: each cell's statements join
        // these transactions instead of committing (and syncing) one by one.
        Db::Transaktion gruppenTx(verbindungen.datenbank(liste));
        Db::Transaktion ranglistenTx(verbindungen.hauptDatenbank());
        const int n = qMin(anzahlSerien(), teilnehmerTabelle->serien());
        for (const Protokoll::Ergebnis& e : qAsConst(ergebnisse)) {
            const int zeile = teilnehmerTabelle->zeileVon(e.startNr);
            if (zeile < 0 || e.serie < 1 || e.serie > n)
                continue;
            teilnehmerTabelle->punkteItem(zeile, e.serie)->setText(QString::number(e.punkte));
            teilnehmerTabelle->kostenItem(zeile, e.serie)->setText(Zahl::euro(e.kosten));
        }
        gruppenTx.abschliessen();
        ranglistenTx.abschliessen();
        return;
    }

    QSqlDatabase db = verbindungen.datenbank(liste);
    if (liste == verbindungen.hauptVerbindung() || !db.isValid() || !db.isOpen()
        || !Db::tabelleVorhanden(db, QStringLiteral("Gruppe")))
        return;
    QSqlQuery g = Db::abfrage(db, QStringLiteral("SELECT Serien, Datum FROM Gruppe"));
    if (!g.next())
        return;
    const int serien = g.value(0).toInt();
    const QDate datum = QDate::fromString(g.value(1).toString(), QStringLiteral("yyyy-MM-dd"));

    // A message's lines belong together: all of them are stored or none.
    QMap<int, QString> geaendert; // start number -> name
    QMap<int, int> summen; // start number -> match-day points
    {
        Db::Transaktion tx(db);
        for (const Protokoll::Ergebnis& e : qAsConst(ergebnisse)) {
            if (e.serie < 1 || e.serie > serien)
                continue;
            QSqlQuery q = Db::abfrage(db, QStringLiteral("SELECT Name FROM Teilnehmer WHERE StartNr=?"), { e.startNr });
            if (!q.next())
                continue;
            if (!Db::ausfuehren(db,
                    QStringLiteral("UPDATE Serie%1 SET Punkte=?, Kosten=? WHERE StartNr=?").arg(e.serie),
                    { e.punkte, Zahl::allgemein(e.kosten), e.startNr }))
                return;
            geaendert.insert(e.startNr, q.value(0).toString());
        }
        for (auto it = geaendert.cbegin(); it != geaendert.cend(); ++it) {
            const Wertung::Summen s = Wertung::summenNeuBerechnen(db, it.key(), serien);
            if (!s.ok)
                return;
            summen.insert(it.key(), s.punkte);
        }
        if (!tx.abschliessen())
            return;
    }
    for (auto it = geaendert.cbegin(); it != geaendert.cend(); ++it)
        Wertung::ranglistePunkteSpeichern(
            verbindungen.hauptDatenbank(), it.key(), datum, it.value(), summen.value(it.key()));
}

void MainWindow::ergebnisseVomTisch(const QString& adresse, const Nachricht& m)
{
    // Only a companion that joined holds a table; others store nothing.
    const bool bekannt = linkPartner.contains(adresse);
    const QSqlDatabase db
        = m.liste == verbindungen.hauptVerbindung() ? QSqlDatabase() : verbindungen.datenbank(m.liste);
    Tischpruefung::Sitzsuche sitze(bekannt ? db : QSqlDatabase());
    const int eigenerTisch = linkPartner.value(adresse, 0);
    const Tischpruefung::Ergebnis e = Tischpruefung::pruefen(m.felder, eigenerTisch, std::ref(sitze), [&](int tisch) {
        for (auto it = linkPartner.cbegin(); it != linkPartner.cend(); ++it)
            if (it.key() != adresse && it.value() == tisch)
                return false;
        return true;
    });
    if (bekannt && e.tisch != eigenerTisch)
        linkPartner[adresse] = e.tisch;
    if (e.abgelehnt > 0) {
        linkAbgelehnt += e.abgelehnt;
        linkStatusZeigen();
    }
    if (!e.angenommen.isEmpty())
        ergebnisseUebernehmen(m.liste, e.angenommen);
}

void MainWindow::sendeKostenRegeln(const Nachricht& empfangen)
{
    client->sendMessage(Protokoll::regelnNachricht(empfangen, listenName, Regeln::regelnText(*einstellungen)).text());
}

void MainWindow::dateiSpeichern(const Nachricht& m)
{
    // A broken file is not announced: the sender is a peer on the network,
    // and a flood of them must not flood the log either. A full match day
    // is shown, since the organiser can act on it.
    if (spielListenAblage.speichern(turnierVerzeichnis, m) == Protokoll::SpielListenAblage::Ergebnis::Voll)
        statusBar()->showMessage(tr("Spielliste %1 abgelehnt: je Spieltag hoechstens %2 Dateien mit %3 MiB")
                                     .arg(m.felder.value(0).left(64))
                                     .arg(spielListenAblage.maxDateien())
                                     .arg(spielListenAblage.maxBytes() / (1024 * 1024)),
            10000);
}
