// The benchmark: builds its own match day in a temporary HOME and prints, per
// figure, the median of several runs of the program's way and of a floor
// measured in the same run on the same machine.
//
// reizwerk_bench [--kurz] [figure...]
//   --kurz: fewer runs, for a quick look; figures: start oeffnen punkte
//   auslosung link web webangriff import berichte druck saison spieltage fair groesse (default: all)

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaObject>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QPainter>
#include <QPdfWriter>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardItem>
#include <QStandardItemModel>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUrl>
#include <QtEndian>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "app/mainwindow.h"
#include "beispiel.h"
#include "link/client.h"
#include "messung.h"
#include "print/dokumente.h"
#include "reports/bericht.h"
#include "reports/rangliste.h"
#include "roster/spielerdatei.h"
#include "scoring/spielliste.h"
#include "season/dlgsaison.h"
#include "season/saison.h"
#include "season/saisonarchiv.h"
#include "setup/teilnehmertabelle.h"
#include "storage/datenbank.h"
#include "storage/pfade.h"
#include "storage/schema.h"
#include "storage/spieltagleser.h"
#include "web/server.h"
#include "web/tischapp.h"
#include "widgets/dialoge.h"
#include "widgets/treeview.h"

using Messung::Einheit;

// match days and backups (spieltage_messen.cpp)
bool spieltageMessen(const QString& basis, int laeufe);
// the fair draw on its own (faire_auslosung_messen.cpp)
bool faireAuslosungMessen(int laeufe);
// the settlement of an evening (abrechnung_messen.cpp)
bool abrechnungMessen(int laeufe);
// a member list read from a workbook and merged (mitgliederliste_messen.cpp)
bool mitgliederlisteMessen(int laeufe);
// the check-in desk driven by key events (anmeldung_messen.cpp)
bool anmeldungMessen(int laeufe);

namespace
{

const QString gruppe = QStringLiteral("Herren");
constexpr int teilnehmerZahl = 1000;
constexpr int serienZahl = 20;
// Series 1 to 18 are drawn and scored; the last two stay free for the draws.
constexpr int gewerteteSerien = 18;

int laeufeNormal = 11;
int laeufeLangsam = 5;
QStringList nurDiese; // figures named on the command line; empty: all

bool messe(const char* name)
{
    return nurDiese.isEmpty() || nurDiese.contains(QLatin1String(name));
}

bool fehlgeschlagen = false;

bool fehler(const QString& text)
{
    fehlgeschlagen = true;
    std::fprintf(stderr, "reizwerk_bench: %s\n", qPrintable(text));
    return false;
}

QStringList umgebungMit(const QString& zuhause)
{
    QStringList env;
    const QStringList ersetzt = { QStringLiteral("HOME="), QStringLiteral("XDG_CONFIG_HOME="),
        QStringLiteral("XDG_DATA_HOME="), QStringLiteral("XDG_CACHE_HOME="), QStringLiteral("QT_QPA_PLATFORM=") };
    const QStringList alle = QProcessEnvironment::systemEnvironment().toStringList();
    for (const QString& e : alle) {
        bool weg = false;
        for (const QString& p : ersetzt)
            weg = weg || e.startsWith(p);
        if (!weg)
            env << e;
    }
    env << QStringLiteral("HOME=") + zuhause
        << QStringLiteral("XDG_CONFIG_HOME=") + zuhause + QStringLiteral("/.config")
        << QStringLiteral("XDG_DATA_HOME=") + zuhause + QStringLiteral("/.local/share")
        << QStringLiteral("XDG_CACHE_HOME=") + zuhause + QStringLiteral("/.cache")
        << QStringLiteral("QT_QPA_PLATFORM=offscreen");
    return env;
}

// The link of every started program listens on loopback only, at a free port.
void linkAufLoopback(const QString& konfiguration)
{
    QDir().mkpath(konfiguration + QStringLiteral("/Kartenhof"));
    QFile f(konfiguration + QStringLiteral("/Kartenhof/Reizwerk.ini"));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write("[Link]\nPort=0\nAdresse=127.0.0.1\n[Web]\nPort=0\nAdresse=127.0.0.1\n");
}

// 1. Start-up of the real program against a window with one SQLite file,
// each run with a fresh HOME and an empty data folder.
void startMessen(const QString& basis, const QString& binaer)
{
    const QString programm = binaer + QStringLiteral("/reizwerk_start_programm");
    const QString boden = binaer + QStringLiteral("/reizwerk_start_boden");
    const QString formular = binaer + QStringLiteral("/reizwerk_start_formular");
    if (!QFileInfo(programm).isExecutable() || !QFileInfo(boden).isExecutable()
        || !QFileInfo(formular).isExecutable()) {
        fehler(QStringLiteral("start programs missing next to the benchmark"));
        return;
    }
    int nr = 0;
    auto lauf = [&](const QString& was) {
        const QString zuhause = QStringLiteral("%1/start%2").arg(basis).arg(++nr);
        QDir().mkpath(zuhause);
        linkAufLoopback(zuhause + QStringLiteral("/.config"));
        const Messung::Prozess p = Messung::starten(was, umgebungMit(zuhause));
        if (p.status != 0)
            fehler(QStringLiteral("%1 ended with %2").arg(was).arg(p.status));
        QDir(zuhause).removeRecursively();
        return p;
    };
    lauf(programm); // the first start fills the file cache
    lauf(boden);
    lauf(formular);
    QVector<double> tP, tB, mP, mB, tF, mF;
    for (int i = 0; i < laeufeNormal; ++i) {
        const Messung::Prozess p = lauf(programm);
        const Messung::Prozess b = lauf(boden);
        const Messung::Prozess f = lauf(formular);
        tP << p.sekunden;
        tB << b.sekunden;
        mP << p.maxRssMiB;
        mB << b.maxRssMiB;
        tF << f.sekunden;
        mF << f.maxRssMiB;
    }
    Messung::zeile(QStringLiteral("start-up, time to first event-loop turn"), laeufeNormal, Messung::median(tP),
        Messung::median(tB), Einheit::Sekunden, 1.5);
    Messung::zeile(QStringLiteral("start-up, peak memory"), laeufeNormal, Messung::median(mP), Messung::median(mB),
        Einheit::MiB, 1.5);
    // What the window's form alone adds to the floor: every start pays it,
    // since all tabs exist before the window is shown.
    Messung::zeile(QStringLiteral("start-up, the form alone: time"), laeufeNormal, Messung::median(tF),
        Messung::median(tB), Einheit::Sekunden);
    Messung::zeile(QStringLiteral("start-up, the form alone: memory"), laeufeNormal, Messung::median(mF),
        Messung::median(mB), Einheit::MiB);
}

// Scores, costs and tables for the scored series, with consistent sums, in
// one transaction: the state of a match day late in the evening.
void werteEintragen(const QString& name = gruppe, int zahl = teilnehmerZahl)
{
    const QString tag = Pfade::turnierVerzeichnis(Pfade::datenVerzeichnis(), QDate::currentDate());
    QSqlDatabase db = Db::oeffnen(QStringLiteral("bench_fuellen"), Pfade::gruppenDatei(tag, name));
    {
        QRandomGenerator zufall(4711);
        Db::Transaktion t(db);
        QSqlQuery q(db);
        for (int s = 1; s <= gewerteteSerien; ++s) {
            q.prepare(
                QStringLiteral("UPDATE Serie%1 SET Punkte=?, Tisch=?, TischIntern=?, Kosten=? WHERE StartNr=?").arg(s));
            for (int i = 0; i < zahl; ++i) {
                q.addBindValue(int(zufall.bounded(1400)) - 200);
                q.addBindValue(i / 4 + 1);
                q.addBindValue(i % 4 + 1);
                q.addBindValue(Zahl::euro(zufall.bounded(12) * 0.5));
                q.addBindValue(100 + i);
                q.exec();
            }
        }
        QString punkte, kosten;
        for (int s = 1; s <= serienZahl; ++s) {
            punkte += QStringLiteral("%1(SELECT Punkte FROM Serie%2 WHERE StartNr=Teilnehmer.StartNr)")
                          .arg(s > 1 ? QStringLiteral("+") : QString())
                          .arg(s);
            kosten += QStringLiteral("%1(SELECT Kosten FROM Serie%2 WHERE StartNr=Teilnehmer.StartNr)")
                          .arg(s > 1 ? QStringLiteral("+") : QString())
                          .arg(s);
        }
        q.exec(QStringLiteral("UPDATE Teilnehmer SET SummePunkte=%1, SummeKosten=%2").arg(punkte, kosten));
        t.abschliessen();
    }
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("bench_fuellen"));
}

// Reads what opening the group reads, with plain queries into plain values.
int gruppeRoh(QSqlDatabase db)
{
    int gelesen = 0;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.exec(QStringLiteral("SELECT * FROM Gruppe"));
    while (q.next())
        gelesen += q.value(2).toInt();
    struct Zeile {
        int startNr;
        QString name;
        bool mitglied, preisskat;
        int summe;
        double kosten;
    };
    QVector<Zeile> zeilen;
    q.exec(QStringLiteral("SELECT StartNr, Name, Mitglied, Preisskat, SummePunkte, SummeKosten FROM Teilnehmer"));
    while (q.next())
        zeilen << Zeile { q.value(0).toInt(), q.value(1).toString(), q.value(2).toBool(), q.value(3).toBool(),
            q.value(4).toInt(), q.value(5).toDouble() };
    struct Serie {
        int startNr, punkte, tisch, sitz;
        double kosten;
    };
    QVector<Serie> werte;
    for (int s = 1; s <= serienZahl; ++s) {
        q.exec(QStringLiteral("SELECT StartNr, Punkte, Tisch, TischIntern, Kosten FROM Serie%1").arg(s));
        while (q.next())
            werte << Serie { q.value(0).toInt(), q.value(1).toInt(), q.value(2).toInt(), q.value(3).toInt(),
                q.value(4).toDouble() };
    }
    return gelesen + zeilen.size() + werte.size();
}

void ereignisse()
{
    QCoreApplication::processEvents();
}

// 2. Opening the stored group into the results table.
double gruppeOeffnenMessen(MainWindow& w)
{
    QSqlDatabase db = w.registry().datenbank(gruppe);
    auto oeffnen = [&] {
        QMetaObject::invokeMethod(&w, "onChangeAktuelleSpielGruppe", Qt::DirectConnection, Q_ARG(QString, gruppe));
        ereignisse(); // until the table is laid out and painted
    };
    oeffnen();
    gruppeRoh(db);
    QVector<double> p, b;
    for (int i = 0; i < laeufeNormal; ++i) {
        p << Messung::sekunden(oeffnen);
        b << Messung::sekunden([&] { gruppeRoh(db); });
    }
    if (w.tabelle()->zeilen() != teilnehmerZahl || w.tabelle()->serien() != serienZahl)
        fehler(QStringLiteral("the group did not open with all rows and series"));
    Messung::zeile(QStringLiteral("open group 1000 x 20 series"), laeufeNormal, Messung::median(p), Messung::median(b),
        Einheit::Sekunden, 3, 0.15);
    return Messung::median(b);
}

// A stored group of `zahl` participants with 20 series, scored like the
// 1000 of the match day, beside it in the same folder.
bool groesseAnlegen(const QString& name, int zahl)
{
    const QString tag = Pfade::turnierVerzeichnis(Pfade::datenVerzeichnis(), QDate::currentDate());
    {
        QSqlDatabase db = Db::oeffnen(QStringLiteral("bench_groesse"), Pfade::gruppenDatei(tag, name));
        QVector<Schema::TeilnehmerEintrag> teilnehmer;
        for (int i = 0; i < zahl; ++i)
            teilnehmer << Schema::TeilnehmerEintrag { 100 + i, QStringLiteral("Spieler %1").arg(100 + i), true,
                i % 3 == 0 };
        Schema::GruppenDaten g;
        g.name = name;
        g.datum = QDate::currentDate();
        g.serien = serienZahl;
        g.letzterTisch = qMax(1, zahl / 4);
        if (!Schema::gruppeAnlegen(db, g, teilnehmer))
            return fehler(QStringLiteral("group %1 not created").arg(name));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench_groesse"));
    werteEintragen(name, zahl);
    return true;
}

// 2b. Opening groups of 250, 1000 and 4000 participants: the time per
// participant stays the same when the cost grows linearly with the rows.
void groessenMessen()
{
    const struct {
        QString name;
        int zahl;
    } groessen[] = { { QStringLiteral("Groesse250"), 250 }, { gruppe, teilnehmerZahl },
        { QStringLiteral("Groesse4000"), 4000 } };
    for (const auto& g : groessen)
        if (g.name != gruppe && !groesseAnlegen(g.name, g.zahl))
            return;
    // A fresh window opens every group of the day; the first window's
    // connections would hide those it had open.
    const QStringList offen = QSqlDatabase::connectionNames();
    for (const QString& n : offen)
        QSqlDatabase::removeDatabase(n);
    MainWindow w;
    w.show();
    ereignisse();
    ereignisse();
    auto* gruppen = w.findChild<QComboBox*>(QStringLiteral("cmbTeilnehmerGruppe"));
    if (!gruppen)
        return void(fehler(QStringLiteral("no group list")));
    QString proTeilnehmer;
    for (const auto& g : groessen) {
        QSqlDatabase db = w.registry().datenbank(g.name);
        if (!db.isValid() || !db.isOpen()) {
            fehler(QStringLiteral("group %1 not opened at start").arg(g.name));
            return;
        }
        auto oeffnen = [&] {
            QMetaObject::invokeMethod(&w, "onChangeAktuelleSpielGruppe", Qt::DirectConnection, Q_ARG(QString, g.name));
            ereignisse();
        };
        // The window loads the group its list shows.
        gruppen->setCurrentText(g.name);
        oeffnen();
        gruppeRoh(db);
        QVector<double> p, b;
        for (int i = 0; i < laeufeLangsam; ++i) {
            p << Messung::sekunden(oeffnen);
            b << Messung::sekunden([&] { gruppeRoh(db); });
        }
        if (w.tabelle()->zeilen() != g.zahl)
            fehler(QStringLiteral("group %1 opened with %2 rows").arg(g.name).arg(w.tabelle()->zeilen()));
        Messung::zeile(QStringLiteral("open group %1 x 20 series (size series)").arg(g.zahl), laeufeLangsam,
            Messung::median(p), Messung::median(b), Einheit::Sekunden);
        proTeilnehmer += QStringLiteral("%1%2: %3 us")
                             .arg(proTeilnehmer.isEmpty() ? QString() : QStringLiteral(", "))
                             .arg(g.zahl)
                             .arg(1e6 * Messung::median(p) / g.zahl, 0, 'f', 1);
    }
    Messung::hinweis(QStringLiteral("size series, opening time per participant: ") + proTeilnehmer);
}

// 3. One points edit in the results table.
// The ranking statements score entry runs, spelt out by hand for the floors.
void ranglisteRohSpeichern(QSqlQuery& r, int startNr, const QString& tag, int punkte)
{
    r.prepare(QStringLiteral("SELECT 1 FROM Rangliste WHERE StartNr=? AND Datum=?"));
    r.addBindValue(startNr);
    r.addBindValue(tag);
    r.exec();
    const bool da = r.next();
    r.finish();
    if (da) {
        r.prepare(QStringLiteral("UPDATE Rangliste SET Punkte=? WHERE StartNr=? AND Datum=?"));
        r.addBindValue(punkte);
        r.addBindValue(startNr);
        r.addBindValue(tag);
    } else {
        r.prepare(QStringLiteral("INSERT INTO Rangliste (StartNr, Name, Datum, Punkte) VALUES (?, ?, ?, ?)"));
        r.addBindValue(startNr);
        r.addBindValue(QStringLiteral("Bench"));
        r.addBindValue(tag);
        r.addBindValue(punkte);
    }
    r.exec();
}

void punkteMessen(MainWindow& w)
{
    TeilnehmerTabelle* t = w.tabelle();
    QSqlDatabase g = w.registry().datenbank(gruppe);
    QSqlDatabase h = w.registry().hauptDatenbank();
    const QString tag = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    int wert = 5000;
    const int zeile = t->zeileVon(500);
    auto bearbeiten = [&](int s) { t->punkteItem(zeile, s)->setText(QString::number(++wert)); };
    auto boden = [&](int s) {
        ++wert;
        g.transaction();
        QSqlQuery q(g);
        q.prepare(QStringLiteral("UPDATE Serie%1 SET Punkte=? WHERE StartNr=?").arg(s));
        q.addBindValue(wert);
        q.addBindValue(500);
        q.exec();
        q.prepare(QStringLiteral("UPDATE Teilnehmer SET SummePunkte=? WHERE StartNr=?"));
        q.addBindValue(wert);
        q.addBindValue(500);
        q.exec();
        g.commit();
        QSqlQuery r(h);
        r.setForwardOnly(true);
        ranglisteRohSpeichern(r, 500, tag, wert);
    };
    bearbeiten(1);
    boden(1);
    QVector<double> p, b;
    const int n = laeufeNormal * 2 + 1;
    for (int i = 0; i < n; ++i) {
        const int s = 1 + i % gewerteteSerien;
        p << Messung::sekunden([&] { bearbeiten(s); });
        b << Messung::sekunden([&] { boden(s); });
    }
    QSqlQuery pruefen(g);
    pruefen.exec(QStringLiteral("SELECT Punkte FROM Serie%1 WHERE StartNr=500").arg(1 + (n - 1) % gewerteteSerien));
    if (!pruefen.next())
        fehler(QStringLiteral("points edit: no row"));
    Messung::zeile(QStringLiteral("points edit (series, sum, ranking row)"), n, Messung::median(p), Messung::median(b),
        Einheit::Sekunden, 1.2);
}

// The seats a series shows, as the draw stored them.
QVector<Zuweisung> sitzeVon(const TeilnehmerTabelle& t, int s)
{
    QVector<Zuweisung> z;
    for (int i = 0; i < t.zeilen(); ++i)
        z << Zuweisung { Zahl::ganz(t.tischItem(i, s)->text()), t.tischItem(i, s)->data(Rolle::Sitz).toInt(),
            t.startNr(i) };
    return z;
}

// 4. The random and the rank draw of one series.
void auslosungMessen(MainWindow& w)
{
    TeilnehmerTabelle* t = w.tabelle();
    QSqlDatabase g = w.registry().datenbank(gruppe);
    const int s = serienZahl;
    QVector<Zuweisung> leer;
    for (int i = 0; i < t->zeilen(); ++i)
        leer << Zuweisung { 0, 0, t->startNr(i) };
    auto boden = [&](const QVector<Zuweisung>& sitze) {
        g.transaction();
        QSqlQuery q(g);
        q.prepare(QStringLiteral("UPDATE Serie%1 SET Tisch=?, TischIntern=? WHERE StartNr=?").arg(s));
        for (const Zuweisung& z : sitze) {
            q.bindValue(0, z.tisch);
            q.bindValue(1, z.sitz);
            q.bindValue(2, z.startNr);
            q.exec();
        }
        g.commit();
    };
    auto messen = [&](const QString& name, const std::function<void()>& auslosen) {
        QVector<double> p, b;
        for (int i = 0; i <= laeufeNormal; ++i) {
            const double tp = Messung::sekunden(auslosen);
            const QVector<Zuweisung> sitze = sitzeVon(*t, s);
            int besetzt = 0;
            for (const Zuweisung& z : sitze)
                besetzt += z.tisch > 0;
            if (besetzt != teilnehmerZahl)
                fehler(QStringLiteral("%1: %2 of %3 seated").arg(name).arg(besetzt).arg(teilnehmerZahl));
            w.tischeSpeichern(s, leer, true);
            const double tb = Messung::sekunden([&] { boden(sitze); });
            boden(leer);
            if (i > 0) { // the first run warms up
                p << tp;
                b << tb;
            }
        }
        Messung::zeile(name, laeufeNormal, Messung::median(p), Messung::median(b), Einheit::Sekunden, 2, 0.5);
    };
    // Until the table shows it: the view takes the new column in at the next turn.
    messen(QStringLiteral("random draw, 1000 participants"), [&] {
        w.auslosenZufall(s);
        ereignisse();
    });
    messen(QStringLiteral("rank draw, 1000 participants"), [&] {
        w.auslosenRang(s);
        ereignisse();
    });
}

QByteArray rahmen(const QString& text)
{
    const QByteArray daten = text.toUtf8();
    QByteArray f(4, Qt::Uninitialized);
    qToBigEndian<quint32>(quint32(daten.size()), f.data());
    return f + daten;
}

// A companion on loopback that reads the program's frames.
struct Begleiter {
    QTcpSocket socket;
    QByteArray puffer;
    QStringList empfangen;

    void abholen()
    {
        puffer += socket.readAll();
        while (puffer.size() >= 4) {
            const quint32 n = qFromBigEndian<quint32>(puffer.constData());
            if (quint32(puffer.size()) < n + 4)
                break;
            empfangen << QString::fromUtf8(puffer.mid(4, int(n)));
            puffer.remove(0, int(n) + 4);
        }
    }
    bool warte(const std::function<bool()>& bedingung, int ms = 20000)
    {
        QElapsedTimer uhr;
        uhr.start();
        while (!bedingung()) {
            if (uhr.elapsed() > ms)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            abholen();
        }
        return true;
    }
};

// 7. Results from a companion: 100 messages of 4 lines until the last is stored.
void linkMessen(MainWindow& w)
{
    if (!w.link() || !w.link()->lauscht()) {
        fehler(QStringLiteral("the link does not listen"));
        return;
    }
    Begleiter b;
    b.socket.connectToHost(QHostAddress(QStringLiteral("127.0.0.1")), w.link()->port());
    if (!b.warte([&] { return b.socket.state() == QAbstractSocket::ConnectedState; })) {
        fehler(QStringLiteral("no connection to the link"));
        return;
    }
    b.socket.write(rahmen(QStringLiteral("Listenbote")));
    // The name comes back, then the roster.
    if (!b.warte([&] { return b.empfangen.size() >= 2; })) {
        fehler(QStringLiteral("the link did not answer the name"));
        return;
    }
    TeilnehmerTabelle* t = w.tabelle();
    QSqlDatabase g = w.registry().datenbank(gruppe);
    QSqlDatabase h = w.registry().hauptDatenbank();
    const QString tag = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    constexpr int nachrichten = 100;
    constexpr int zeilen = 4;
    struct Ergebnis {
        int serie, punkte, startNr;
        double kosten;
    };
    auto ergebnisse = [&](int lauf) {
        QVector<QVector<Ergebnis>> alle;
        for (int m = 0; m < nachrichten; ++m) {
            QVector<Ergebnis> e;
            for (int k = 0; k < zeilen; ++k)
                e << Ergebnis { 1 + m % gewerteteSerien, 1000 * lauf + m, 100 + (m * zeilen + k) % teilnehmerZahl,
                    lauf * 10 + k * 0.5 };
            alle << e;
        }
        return alle;
    };
    auto programm = [&](int lauf) {
        const auto alle = ergebnisse(lauf);
        QByteArray daten;
        for (const auto& e : alle) {
            // A companion sends results for the table it holds: the four
            // lines of a message sit at one table, which it asks for first.
            const int tisch = (e.first().startNr - 100) / 4 + 1;
            daten += rahmen(QStringLiteral("5:127.0.0.1:x$%1@%2").arg(tisch).arg(e.first().serie));
            QStringList felder;
            for (const Ergebnis& x : e)
                felder
                    << QStringLiteral("0|1|%1|%2|0|0|%3|0|%4").arg(x.serie).arg(x.punkte).arg(x.kosten).arg(x.startNr);
            daten += rahmen(QStringLiteral("7:127.0.0.1:%1$%2").arg(gruppe, felder.join(QLatin1Char('@'))));
        }
        const Ergebnis letzte = alle.last().last();
        const int zeile = t->zeileVon(letzte.startNr);
        const TeilnehmerZelle kosten = t->kostenItem(zeile, letzte.serie);
        const QString erwartet = Zahl::euro(letzte.kosten);
        return Messung::sekunden([&] {
            b.socket.write(daten);
            b.socket.flush();
            if (!b.warte([&] { return kosten->text() == erwartet; }, 120000))
                fehler(QStringLiteral("the results did not arrive"));
        });
    };
    auto boden = [&](int lauf) {
        const auto alle = ergebnisse(lauf);
        return Messung::sekunden([&] {
            for (const auto& e : alle) {
                g.transaction();
                QSqlQuery q(g);
                for (const Ergebnis& x : e) {
                    q.prepare(QStringLiteral("UPDATE Serie%1 SET Punkte=?, Kosten=? WHERE StartNr=?").arg(x.serie));
                    q.addBindValue(x.punkte);
                    q.addBindValue(Zahl::allgemein(x.kosten));
                    q.addBindValue(x.startNr);
                    q.exec();
                    q.prepare(QStringLiteral("UPDATE Teilnehmer SET SummePunkte=?, SummeKosten=? WHERE StartNr=?"));
                    q.addBindValue(x.punkte);
                    q.addBindValue(Zahl::allgemein(x.kosten));
                    q.addBindValue(x.startNr);
                    q.exec();
                }
                g.commit();
                h.transaction();
                QSqlQuery r(h);
                for (const Ergebnis& x : e)
                    ranglisteRohSpeichern(r, x.startNr, tag, x.punkte);
                h.commit();
            }
        });
    };
    programm(1);
    boden(1);
    QVector<double> p, f;
    for (int i = 0; i < laeufeLangsam; ++i) {
        p << programm(2 + i);
        f << boden(2 + i);
    }
    Messung::zeile(QStringLiteral("link: 100 results messages x 4 lines"), laeufeLangsam, Messung::median(p),
        Messung::median(f), Einheit::Sekunden, 1.5);
    b.socket.disconnectFromHost();
    ereignisse();
}

// The import asks before it replaces a roster that has players; the
// benchmark answers yes and sees no boxes.
class JaSager : public Dialoge::Umsetzung
{
public:
    JaSager()
        : m_vorher(Dialoge::umsetzung())
    {
        Dialoge::setUmsetzung(this);
    }
    ~JaSager() override { Dialoge::setUmsetzung(m_vorher); }
    bool frage(QWidget*, const QString&) override { return true; }
    void fehler(QWidget*, const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    void info(QWidget*, const QString&, const QString&) override { }
    QString speicherName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }

private:
    Dialoge::Umsetzung* m_vorher;
};
// 8. The table app: sixty tables send their 48-game lists at once over
// loopback, until every answer confirms its list stored (and shown, the
// group being the one on screen); and the load of a table's page.
void webMessen(MainWindow& w)
{
    if (!w.webServer() || !w.webServer()->laeuft()) {
        fehler(QStringLiteral("the table app does not listen"));
        return;
    }
    constexpr int tische = 60;
    constexpr int serie = 1;
    const quint16 port = w.webServer()->port();
    QSqlDatabase g = w.registry().datenbank(gruppe);
    QSqlDatabase h = w.registry().hauptDatenbank();
    const QString tag = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    const QString listen = w.turnierOrdner() + QStringLiteral("/SpielListen");
    QMap<int, QVector<int>> sitze;
    {
        QSqlQuery q(g);
        q.exec(QStringLiteral(
            "SELECT StartNr, Tisch FROM Serie%1 WHERE Tisch BETWEEN 1 AND %2 ORDER BY Tisch, TischIntern")
                   .arg(serie)
                   .arg(tische));
        while (q.next())
            sitze[q.value(1).toInt()] << q.value(0).toInt();
    }
    if (sitze.size() != tische) {
        fehler(QStringLiteral("series 1 is not drawn"));
        return;
    }
    const QVector<int>& werte = Spielliste::spielwerte();
    auto spiele = [&](int lauf, int tisch) {
        QVector<Spielliste::Spiel> l;
        for (int k = 0; k < 48; ++k)
            l << Spielliste::Spiel { k % 4, werte.at((lauf * 7 + k * 3 + tisch) % werte.size()),
                (k + lauf + tisch) % 3 != 0 };
        return l;
    };
    auto anfragen = [&](int lauf) {
        QVector<QByteArray> a;
        for (int t = 1; t <= tische; ++t) {
            QJsonArray liste;
            for (const Spielliste::Spiel& s : spiele(lauf, t))
                liste.append(QJsonObject { { QStringLiteral("spieler"), sitze[t].at(s.spieler) },
                    { QStringLiteral("wert"), s.wert }, { QStringLiteral("gewonnen"), s.gewonnen } });
            const QByteArray koerper
                = QJsonDocument(QJsonObject { { QStringLiteral("spiele"), liste } }).toJson(QJsonDocument::Compact);
            const QUrl adresse(w.tischAdresse(gruppe, serie, t));
            a << "POST /api/liste?" + adresse.query(QUrl::FullyEncoded).toLatin1()
                    + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\nContent-Type: application/json\r\n"
                      "Content-Length: "
                    + QByteArray::number(koerper.size()) + "\r\n\r\n" + koerper;
        }
        return a;
    };
    auto programm = [&](int lauf) {
        const QVector<QByteArray> a = anfragen(lauf);
        std::vector<std::unique_ptr<QTcpSocket>> verbindungen;
        const double zeit = Messung::sekunden([&] {
            for (const QByteArray& x : a) {
                verbindungen.push_back(std::make_unique<QTcpSocket>());
                QTcpSocket* s = verbindungen.back().get();
                QObject::connect(s, &QTcpSocket::connected, s, [s, x] { s->write(x); });
                // Each table is a phone of its own: the server serves few
                // connections per address.
                s->bind(QHostAddress(QStringLiteral("127.0.0.%1").arg(10 + int(verbindungen.size()))));
                s->connectToHost(QHostAddress::LocalHost, port);
            }
            QElapsedTimer uhr;
            uhr.start();
            for (;;) {
                bool fertig = true;
                for (auto& s : verbindungen)
                    fertig = fertig && s->state() == QAbstractSocket::UnconnectedState;
                if (fertig || uhr.elapsed() > 60000)
                    break;
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            }
        });
        for (auto& s : verbindungen)
            if (!s->readAll().startsWith("HTTP/1.1 200"))
                fehler(QStringLiteral("a table's list was not confirmed"));
        return zeit;
    };
    const Regeln::Regelwerte regeln = Regeln::werteLesen(*w.settings());
    auto boden = [&](int lauf) {
        return Messung::sekunden([&] {
            for (int t = 1; t <= tische; ++t) {
                const auto l = spiele(lauf, t);
                const auto e = Spielliste::berechnen(4, l, regeln);
                QSaveFile f(listen + QStringLiteral("/boden_%1.txt").arg(t));
                f.open(QIODevice::WriteOnly);
                f.write(Spielliste::alsText(gruppe,
                    { QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d") }, l, e)
                            .toUtf8());
                f.commit();
                g.transaction();
                QSqlQuery q(g);
                for (int i = 0; i < 4; ++i) {
                    q.prepare(QStringLiteral("UPDATE Serie%1 SET Punkte=?, Kosten=? WHERE StartNr=?").arg(serie));
                    q.addBindValue(e.at(i).punkte);
                    q.addBindValue(Zahl::euro(e.at(i).kosten));
                    q.addBindValue(sitze[t].at(i));
                    q.exec();
                    q.prepare(QStringLiteral("UPDATE Teilnehmer SET SummePunkte=?, SummeKosten=? WHERE StartNr=?"));
                    q.addBindValue(e.at(i).punkte);
                    q.addBindValue(Zahl::allgemein(e.at(i).kosten));
                    q.addBindValue(sitze[t].at(i));
                    q.exec();
                }
                g.commit();
                h.transaction();
                QSqlQuery r(h);
                for (int i = 0; i < 4; ++i)
                    ranglisteRohSpeichern(r, sitze[t].at(i), tag, e.at(i).punkte);
                h.commit();
            }
        });
    };
    QDir().mkpath(listen);
    programm(1);
    boden(1);
    QVector<double> p, f;
    for (int i = 0; i < laeufeLangsam; ++i) {
        p << programm(2 + i);
        f << boden(2 + i);
    }
    Messung::zeile(QStringLiteral("web: 60 tables send 48-game lists at once"), laeufeLangsam, Messung::median(p),
        Messung::median(f), Einheit::Sekunden, 2.0, 2.0);

    // A table's page as a browser loads it: the page, then its three files
    // side by side, then the table's data. Floor: the same files and rows
    // read directly.
    QNetworkAccessManager nam;
    nam.setProxy(QNetworkProxy::NoProxy);
    const QString seite = w.tischAdresse(gruppe, serie, 7);
    const QString basis = QStringLiteral("http://127.0.0.1:%1").arg(port);
    auto holen = [&](const QStringList& adressen) {
        QVector<QNetworkReply*> r;
        for (const QString& a : adressen)
            r << nam.get(QNetworkRequest(QUrl(a)));
        for (QNetworkReply* x : r) {
            while (!x->isFinished())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (x->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 200)
                fehler(QStringLiteral("the page did not load: ") + x->url().toString());
            x->deleteLater();
        }
    };
    auto laden = [&] {
        holen({ seite });
        holen({ basis + QStringLiteral("/seite/stil.css"), basis + QStringLiteral("/seite/spielliste.js"),
            basis + QStringLiteral("/seite/tisch.js") });
        holen({ QString(seite).replace(QStringLiteral("/tisch?"), QStringLiteral("/api/tisch?")) });
    };
    auto direkt = [&] {
        for (const char* n : { "tisch.html", "stil.css", "spielliste.js", "tisch.js" }) {
            QFile d(QStringLiteral(":/seite/") + QLatin1String(n));
            d.open(QIODevice::ReadOnly);
            d.readAll();
        }
        QSqlQuery q(g);
        q.exec(QStringLiteral("SELECT StartNr, TischIntern FROM Serie%1 WHERE Tisch=7").arg(serie));
        while (q.next()) {
            QSqlQuery n(g);
            n.exec(QStringLiteral("SELECT Name FROM Teilnehmer WHERE StartNr=%1").arg(q.value(0).toInt()));
            n.next();
        }
    };
    laden();
    QVector<double> lp, lb;
    for (int i = 0; i < laeufeNormal; ++i) {
        lp << Messung::sekunden(laden);
        lb << Messung::sekunden(direkt);
    }
    Messung::zeile(QStringLiteral("web: a table's page loads"), laeufeNormal, Messung::median(lp), Messung::median(lb),
        Einheit::Sekunden, 0, 0.1);
    ereignisse();
}

// A raw loopback connection from `von` (another 127.0.0.x stands for another
// device on the club's network); -1 when it fails.
int rohVerbinden(quint16 port, const char* von)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return -1;
    sockaddr_in a {};
    a.sin_family = AF_INET;
    inet_pton(AF_INET, von, &a.sin_addr);
    sockaddr_in z {};
    z.sin_family = AF_INET;
    z.sin_port = htons(port);
    inet_pton(AF_INET, "127.0.0.1", &z.sin_addr);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof(a)) != 0
        || ::connect(fd, reinterpret_cast<sockaddr*>(&z), sizeof(z)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// One GET from its own thread, seconds until the status line arrived (-1: none).
double rohHolen(quint16 port, const char* von, const QByteArray& pfad, int zeitMs)
{
    QElapsedTimer uhr;
    uhr.start();
    const int fd = rohVerbinden(port, von);
    if (fd < 0)
        return -1;
    timeval tv { zeitMs / 1000, (zeitMs % 1000) * 1000 };
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv));
    const QByteArray anfrage = "GET " + pfad + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n";
    ::send(fd, anfrage.constData(), size_t(anfrage.size()), MSG_NOSIGNAL);
    char puffer[512];
    const ssize_t n = ::recv(fd, puffer, sizeof(puffer), 0);
    ::close(fd);
    return n > 12 && std::strncmp(puffer, "HTTP/1.1 200", 12) == 0 ? double(uhr.nsecsElapsed()) / 1e9 : -1;
}

// 8b. The table app while one device on the club's network attacks it:
// memory while four connections send header lines without end, a table's
// answer while one address holds forty slow connections, and how long the
// window takes to answer while /api/anzeige is hammered (1000 x 20 day).
void webAngriffMessen(MainWindow& w)
{
    if (!w.webServer() || !w.webServer()->laeuft())
        return;
    const quint16 port = w.webServer()->port();
    const QString tischPfad = QUrl(w.tischAdresse(gruppe, 1, 7)).toString(QUrl::RemoveScheme | QUrl::RemoveAuthority);
    const QByteArray tisch
        = QString(tischPfad).replace(QStringLiteral("/tisch?"), QStringLiteral("/api/tisch?")).toLatin1();

    // Endless header lines: peak resident memory above the start, for 10 s.
    std::atomic<bool> stopp { false };
    std::atomic<long long> zeilen { 0 };
    std::vector<std::thread> angreifer;
    const double rssVorher = Messung::eigenerRssMiB();
    for (int i = 0; i < 4; ++i)
        angreifer.emplace_back([&] {
            while (!stopp) {
                const int fd = rohVerbinden(port, "127.0.0.2");
                if (fd < 0)
                    continue;
                const char kopf[] = "GET /api/anzeige HTTP/1.1\r\nHost: x\r\n";
                ::send(fd, kopf, sizeof(kopf) - 1, MSG_NOSIGNAL);
                const char zeile[] = "X-Mehr: aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\r\n";
                while (!stopp && ::send(fd, zeile, sizeof(zeile) - 1, MSG_NOSIGNAL) > 0)
                    ++zeilen;
                ::close(fd);
            }
        });
    double rssSpitze = rssVorher;
    double nachZwei = 0; // flat memory: the growth stops after the first moments
    QElapsedTimer uhr;
    uhr.start();
    while (uhr.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        rssSpitze = std::max(rssSpitze, Messung::eigenerRssMiB());
        if (nachZwei == 0 && uhr.elapsed() >= 2000)
            nachZwei = rssSpitze;
    }
    stopp = true;
    for (std::thread& t : angreifer)
        t.join();
    Messung::zeile(
        QStringLiteral("web: memory growth, endless headers (10 s)"), 1, rssSpitze - rssVorher, 0, Einheit::MiB);
    Messung::hinweis(QStringLiteral("%1 header lines sent by 4 connections, each head cut at 100 lines; "
                                    "growth after the first 2 s: %2 MiB")
                         .arg(zeilen.load())
                         .arg(rssSpitze - nachZwei, 0, 'f', 1));

    // A table's answer, alone and while one address trickles on 40 connections.
    auto tischZeiten = [&] {
        QVector<double> z;
        std::vector<std::thread> t;
        std::vector<double> e(6, -1);
        for (int i = 0; i < 6; ++i)
            t.emplace_back([&, i] {
                const QByteArray von = "127.0.0." + QByteArray::number(20 + i);
                e[size_t(i)] = rohHolen(port, von.constData(), tisch, 10000);
            });
        while (std::any_of(e.begin(), e.end(), [](double x) { return x < 0; }) && uhr.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        for (std::thread& x : t)
            x.join();
        for (const double x : e)
            z << (x < 0 ? 10.0 : x);
        return *std::max_element(z.begin(), z.end());
    };
    uhr.restart();
    const double ohne = tischZeiten();
    stopp = false;
    std::vector<std::thread> langsam;
    for (int i = 0; i < 40; ++i)
        langsam.emplace_back([&] {
            while (!stopp) {
                const int fd = rohVerbinden(port, "127.0.0.2");
                if (fd < 0)
                    continue;
                const char* a = "GET /api/anzeige HTTP/1.1\r\nHost: x\r\nX-Langsam: aaaaaaaaaaaaaaaaaaaaa\r\n";
                for (const char* p = a; *p && !stopp; ++p) {
                    if (::send(fd, p, 1, MSG_NOSIGNAL) <= 0)
                        break;
                    for (int k = 0; k < 40 && !stopp; ++k)
                        std::this_thread::sleep_for(std::chrono::milliseconds(100));
                }
                ::close(fd);
            }
        });
    QElapsedTimer warten;
    warten.start();
    while (warten.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    uhr.restart();
    const double mit = tischZeiten();
    stopp = true;
    for (std::thread& t : langsam)
        t.join();
    Messung::zeile(QStringLiteral("web: slowest of 6 tables, 40 slow conns"), 1, mit, ohne, Einheit::Sekunden, 0, 3.0);

    // The window's answer: a queued call's round trip, idle and while eight
    // clients fetch /api/anzeige without pause.
    auto fensterLatenz = [&](int ms) {
        double spitze = 0;
        QElapsedTimer dauer;
        dauer.start();
        while (dauer.elapsed() < ms) {
            QElapsedTimer t;
            t.start();
            bool da = false;
            QMetaObject::invokeMethod(
                &w, [&da] { da = true; }, Qt::QueuedConnection);
            while (!da)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            spitze = std::max(spitze, double(t.nsecsElapsed()) / 1e9);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return spitze;
    };
    // The copy's first build, which needs the window's thread.
    std::atomic<bool> gebaut { false };
    std::thread erster([&] {
        rohHolen(port, "127.0.0.30", "/api/anzeige", 20000);
        gebaut = true;
    });
    while (!gebaut)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    erster.join();
    const double ruhig = fensterLatenz(3000);
    stopp = false;
    std::atomic<long long> abrufe { 0 };
    std::vector<std::thread> hammer;
    for (int i = 0; i < 8; ++i)
        hammer.emplace_back([&, i] {
            const QByteArray von = "127.0.0." + QByteArray::number(40 + i);
            while (!stopp)
                if (rohHolen(port, von.constData(), "/api/anzeige", 10000) >= 0)
                    ++abrufe;
        });
    const double belastet = fensterLatenz(5000);
    stopp = true;
    for (std::thread& t : hammer)
        t.join();
    Messung::zeile(QStringLiteral("web: window latency, /api/anzeige hammered"), 1, belastet, ruhig, Einheit::Sekunden);
    Messung::hinweis(QStringLiteral("%1 standings served in 5 s by 8 clients").arg(abrufe.load()));
    ereignisse();
}

// 5. The roster import of 5,000 lines through the button's path.
void importMessen(MainWindow& w)
{
    const JaSager ja;
    const QString datei = Spielerdatei::suchOrte().value(0);
    QDir().mkpath(QFileInfo(datei).absolutePath());
    constexpr int zeilen = 5000;
    QByteArray inhalt;
    for (int i = 0; i < zeilen; ++i)
        inhalt += QStringLiteral("Vorname%1 Nachname%2 %3 %4\n")
                      .arg(i)
                      .arg(i * 7 % 997)
                      .arg(i % 3 ? QStringLiteral("Herren") : QStringLiteral("Damen"))
                      .arg(i % 5 ? QStringLiteral("Ja") : QStringLiteral("Nein"))
                      .toUtf8();
    {
        QFile f(datei);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(inhalt) != inhalt.size()) {
            fehler(QStringLiteral("cannot write %1").arg(datei));
            return;
        }
    }
    const QVector<Spielerdatei::Zeile> spieler = Spielerdatei::lesen(inhalt).spieler;
    QSqlDatabase h = w.registry().hauptDatenbank();
    auto boden = [&] {
        h.transaction();
        QSqlQuery q(h);
        q.exec(QStringLiteral("DELETE FROM Spieler"));
        q.prepare(QStringLiteral("INSERT INTO Spieler (StartNr, VorName, NachName, Gruppe, Mitglied, Preisskat) "
                                 "VALUES (?, ?, ?, ?, ?, 'Nein')"));
        int nr = 100;
        for (const Spielerdatei::Zeile& z : spieler) {
            q.bindValue(0, nr++);
            q.bindValue(1, z.vorname);
            q.bindValue(2, z.nachname);
            q.bindValue(3, z.gruppe);
            q.bindValue(4, z.mitglied);
            q.exec();
        }
        h.commit();
    };
    auto programm = [&] {
        QMetaObject::invokeMethod(&w, "onSpielerAusDateiLaden", Qt::DirectConnection);
        ereignisse();
    };
    programm();
    boden();
    QVector<double> p, b;
    for (int i = 0; i < laeufeNormal; ++i) {
        p << Messung::sekunden(programm);
        b << Messung::sekunden(boden);
    }
    QSqlQuery q(h);
    q.exec(QStringLiteral("SELECT COUNT(*) FROM Spieler"));
    if (!q.next() || q.value(0).toInt() != zeilen)
        fehler(QStringLiteral("the import did not store %1 players").arg(zeilen));
    Messung::zeile(QStringLiteral("roster import, 5000 lines"), laeufeNormal, Messung::median(p), Messung::median(b),
        Einheit::Sekunden, 2);
}

// A ranking table of `tage` match days with `spieler` rows each, in a file of
// its own.
QSqlDatabase ranglisteAnlegen(const QString& datei, int tage, int spieler)
{
    QSqlDatabase db = Db::oeffnen(QFileInfo(datei).baseName(), datei);
    Schema::stammdatenbankAnlegen(db);
    QRandomGenerator zufall(815);
    db.transaction();
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO Rangliste (StartNr, Name, Datum, Punkte) VALUES (?, ?, ?, ?)"));
    const QDate erster(2020, 1, 4);
    for (int d = 0; d < tage; ++d) {
        const QString tag = erster.addDays(7 * d).toString(QStringLiteral("yyyy-MM-dd"));
        for (int i = 0; i < spieler; ++i) {
            q.bindValue(0, 100 + i);
            q.bindValue(1, QStringLiteral("Spieler %1 Nachname").arg(100 + i));
            q.bindValue(2, tag);
            q.bindValue(3, int(zufall.bounded(3000)) - 500);
            q.exec();
        }
    }
    db.commit();
    return db;
}

int ranglisteRoh(QSqlDatabase db)
{
    QVector<Rangliste::Eintrag> e;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.exec(QStringLiteral("SELECT Datum, Name, Punkte FROM Rangliste"));
    while (q.next())
        e << Rangliste::Eintrag { q.value(0).toString(), q.value(1).toString(), q.value(2).toInt() };
    return e.size();
}

// 6. The match-day files and the ranking pages.
void berichteMessen(MainWindow& w, const QString& basis, double gruppeLesen)
{
    const QAbstractItemModel* kopf = w.teilnehmerAnsicht()->header()->model();
    QString listenName;
    double einsatz = 0;
    Bericht::einstellungenLesen(*w.settings(), listenName, einsatz);
    const QDate datum = QDate::currentDate();
    const QString ziel = basis + QStringLiteral("/bericht");
    auto datei = [&](const std::function<QByteArray(const Bericht::Schnappschuss&)>& machen, bool text) {
        return [&, machen, text] {
            const Bericht::Schnappschuss s = Bericht::schnappschuss(*kopf, *w.teilnehmer(), datum, listenName, einsatz);
            QString grund;
            if (!Bericht::dateiSchreiben(ziel, machen(s), text, &grund))
                fehler(grund);
        };
    };
    struct Fall {
        QString name;
        std::function<void()> lauf;
    };
    const QVector<Fall> faelle = {
        { QStringLiteral("match-day HTML file, 1000 x 20"),
            datei([](const Bericht::Schnappschuss& s) { return Bericht::htmlBytes(Bericht::htmlBericht(s)); }, false) },
        { QStringLiteral("match-day text file, 1000 x 20"),
            datei(
                [](const Bericht::Schnappschuss& s) { return Bericht::lokaleBytes(Bericht::textBericht(s)); }, true) },
        { QStringLiteral("match-day spreadsheet file, 1000 x 20"),
            datei(
                [](const Bericht::Schnappschuss& s) { return Bericht::lokaleBytes(Bericht::excelBericht(s)); }, true) },
    };
    for (const Fall& f : faelle) {
        f.lauf();
        QVector<double> p;
        for (int i = 0; i < laeufeNormal; ++i)
            p << Messung::sekunden(f.lauf);
        Messung::zeile(f.name, laeufeNormal, Messung::median(p), gruppeLesen, Einheit::Sekunden);
    }

    const QDate start(2020, 1, 1), ende(2030, 12, 31);
    auto rangliste = [&](QSqlDatabase db) {
        return [&, db] {
            const QString seite
                = Rangliste::html(Rangliste::auswerten(Rangliste::lesen(db), start, ende), start, ende, listenName);
            QString grund;
            if (!Bericht::dateiSchreiben(ziel, Bericht::htmlBytes(seite), false, &grund))
                fehler(grund);
        };
    };
    struct RFall {
        QString name;
        int tage;
        int laeufe;
    };
    for (const RFall& r : { RFall { QStringLiteral("ranking page, 1 match day x 1000"), 1, laeufeNormal },
             RFall { QStringLiteral("ranking page, 200 match days x 1000"), 200, laeufeLangsam } }) {
        QSqlDatabase db = ranglisteAnlegen(QStringLiteral("%1/rangliste%2.db").arg(basis).arg(r.tage), r.tage, 1000);
        const auto lauf = rangliste(db);
        lauf();
        ranglisteRoh(db);
        QVector<double> p, b;
        for (int i = 0; i < r.laeufe; ++i) {
            p << Messung::sekunden(lauf);
            b << Messung::sekunden([&] { ranglisteRoh(db); });
        }
        Messung::zeile(r.name, r.laeufe, Messung::median(p), Messung::median(b), Einheit::Sekunden);
    }
}

// 8. Season standings over five years of weekly match days, against the same
// aggregation as one SQL query.
void saisonMessen(const QString& basis)
{
    constexpr int tage = 260;
    constexpr int spieler = 60;
    QSqlDatabase db = ranglisteAnlegen(QStringLiteral("%1/saison.db").arg(basis), tage, spieler);
    // Every fourth player misses a day now and then, so best N has a choice.
    QSqlQuery weg(db);
    weg.exec(QStringLiteral("DELETE FROM Rangliste WHERE StartNr % 4 = 0 AND (rowid % 7) = 0"));
    const QDate von(2020, 1, 1), bis(2030, 12, 31);
    const QString iso = QStringLiteral("yyyy-MM-dd");
    int gelesen = 0;
    auto programm = [&](Saison::Regel regel) {
        QVector<Saison::Zeile> zeilen;
        Saison::ranglisteLesen(db, zeilen);
        Saison::Vorgabe v;
        v.von = von;
        v.bis = bis;
        v.regel = regel;
        v.besteN = 40;
        v.mindestTage = 100;
        const Saison::Tabelle t = Saison::berechnen(zeilen, v);
        gelesen = t.tage.size() * (t.gewertet.size() + t.unterMindest.size());
    };
    struct Platz {
        int startNr;
        QString name;
        int tage;
        qint64 summe;
    };
    auto boden = [&] {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("SELECT StartNr, MAX(Name), COUNT(DISTINCT Datum), SUM(Punkte) FROM Rangliste "
                                 "WHERE Datum BETWEEN ? AND ? GROUP BY StartNr ORDER BY 4 DESC"));
        q.addBindValue(von.toString(iso));
        q.addBindValue(bis.toString(iso));
        q.exec();
        QVector<Platz> plaetze;
        while (q.next())
            plaetze << Platz { q.value(0).toInt(), q.value(1).toString(), q.value(2).toInt(), q.value(3).toLongLong() };
        return plaetze.size();
    };
    programm(Saison::Regel::Summe);
    if (gelesen != tage * spieler || boden() != spieler)
        fehler(QStringLiteral("season standings: %1 cells, %2 players").arg(gelesen).arg(boden()));
    struct Fall {
        QString name;
        Saison::Regel regel;
    };
    for (const Fall& f : { Fall { QStringLiteral("season standings 260 days x 60, total"), Saison::Regel::Summe },
             Fall { QStringLiteral("season standings 260 days x 60, best 40"), Saison::Regel::BesteN } }) {
        QVector<double> p, b;
        for (int i = 0; i < laeufeNormal; ++i) {
            p << Messung::sekunden([&] { programm(f.regel); });
            b << Messung::sekunden(boden);
        }
        Messung::zeile(f.name, laeufeNormal, Messung::median(p), Messung::median(b), Einheit::Sekunden, 3, 0.3);
    }

    // The dialog as the organiser opens it: reading, computing and filling
    // its table of 60 rows and 266 columns.
    const QString daten = basis + QStringLiteral("/saison_daten");
    QDir().mkpath(daten);
    QVector<double> p, b;
    for (int i = 0; i < laeufeLangsam; ++i) {
        p << Messung::sekunden([&] {
            DlgSaison dlg(db, daten, nullptr);
            dlg.findChild<QComboBox*>(QStringLiteral("cmbZeitraum"))->setCurrentIndex(DlgSaison::Alle);
            gelesen = dlg.wertungModel()->rowCount() * dlg.wertungModel()->columnCount();
        });
        b << Messung::sekunden(boden);
    }
    if (gelesen != spieler * (5 + tage))
        fehler(QStringLiteral("season dialog: %1 cells").arg(gelesen));
    Messung::zeile(QStringLiteral("season dialog filled, 260 days x 60"), laeufeLangsam, Messung::median(p),
        Messung::median(b), Einheit::Sekunden, 0, 0.3);
}

// printing: the floor, `seiten` A4 pages of plain text (60 lines each)
// through QPdfWriter.
void klartextPdf(const QString& datei, int seiten)
{
    QPdfWriter pdf(datei);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setResolution(1200);
    QPainter p(&pdf);
    QFont schrift(QStringLiteral("DejaVu Sans"));
    schrift.setPointSizeF(10);
    p.setFont(schrift);
    const qreal zeile = 1200.0 / 72 * 12;
    const QString text = QStringLiteral("Nr 123 Vorname Nachname Tisch 12 Platz 3 Serie 7 Punkte 1234 Summe 12345 ja");
    for (int s = 0; s < seiten; ++s) {
        if (s > 0)
            pdf.newPage();
        for (int z = 0; z < 60; ++z)
            p.drawText(QPointF(600, 600 + z * zeile), text);
    }
}

// printing: 8. the seating list and the 60 game-list sheets of a 240-player
// series, and the results notice of 1000 participants x 20 series, as PDF
// files from the match day read into memory.
void druckMessen(MainWindow& w, const QString& basis)
{
    Spieltag::Gruppe g;
    QString grund;
    if (!Spieltag::gruppeLesen(w.registry().datenbank(gruppe), g, &grund)) {
        fehler(QStringLiteral("printing: %1").arg(grund));
        return;
    }
    // Series 1 seats participant i at table i/4+1: the first 240 fill 60 tables.
    Spieltag::Gruppe serie = g;
    serie.teilnehmer.resize(240);
    const Regeln::Regelwerte regeln = Regeln::werteLesen(*w.settings());
    const QString ziel = basis + QStringLiteral("/druck.pdf");
    const QString zweites = basis + QStringLiteral("/druck2.pdf");
    const QString boden = basis + QStringLiteral("/boden.pdf");

    int seiten = 0;
    auto schreiben = [&](const Druck::Dokument& d, const QString& datei) {
        QString f;
        if (!Druck::pdfSchreiben(d, datei, &f))
            fehler(f);
        seiten += d.seiten.size();
    };
    struct Fall {
        QString name;
        std::function<void()> lauf;
        int erwartet;
    };
    const QVector<Fall> faelle = {
        { QStringLiteral("seating list + 60 sheets of 240 players PDF"),
            [&] {
                schreiben(Druck::tischliste(serie, 1), ziel);
                schreiben(Druck::spiellisten(serie, 1, regeln), zweites);
            },
            60 },
        { QStringLiteral("results notice 1000 x 20 PDF"), [&] { schreiben(Druck::ergebnisliste(g, regeln), ziel); },
            0 },
    };
    for (const Fall& f : faelle) {
        seiten = 0;
        f.lauf();
        const int n = seiten;
        if (n < f.erwartet)
            fehler(QStringLiteral("%1: only %2 pages").arg(f.name).arg(n));
        klartextPdf(boden, n);
        QVector<double> p, b;
        for (int i = 0; i < laeufeLangsam; ++i) {
            p << Messung::sekunden(f.lauf);
            b << Messung::sekunden([&] { klartextPdf(boden, n); });
        }
        Messung::zeile(QStringLiteral("%1, %2 p.").arg(f.name).arg(n), laeufeLangsam, Messung::median(p),
            Messung::median(b), Einheit::Sekunden, 3, 2);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--kurz") == 0) {
            laeufeNormal = 5;
            laeufeLangsam = 3;
        } else {
            nurDiese << QString::fromLocal8Bit(argv[i]);
        }
    }
    // Nothing of the user's documents or settings is touched: every HOME the
    // benchmark uses lies in a temporary folder that goes at the end.
    QTemporaryDir tmp;
    if (!tmp.isValid())
        return fehler(QStringLiteral("no temporary folder")), 1;
    const QString basis = tmp.path();
    const QString binaer = QFileInfo(QFile::decodeName(argv[0])).absolutePath();

    std::printf("Reizwerk benchmark: medians; each floor measured in the same run on this machine\n");
    Messung::kopf();
    // Start-up first, while this process is small: a child inherits the
    // parent's peak memory up to its exec.
    if (messe("start"))
        startMessen(basis, binaer);

    const QString zuhause = basis + QStringLiteral("/home");
    Beispiel::zuhauseSetzen(zuhause);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    linkAufLoopback(zuhause + QStringLiteral("/.config"));
    Beispiel::spieltagAnlegen(teilnehmerZahl, serienZahl);
    werteEintragen();

    double gruppeLesen = 0;
    {
        MainWindow w;
        w.show();
        ereignisse();
        ereignisse(); // the link and the table app start after the first paint
        if (w.tabelle()->zeilen() != teilnehmerZahl)
            return fehler(QStringLiteral("the prepared group did not open")), 1;
        if (messe("oeffnen") || messe("berichte"))
            gruppeLesen = gruppeOeffnenMessen(w);
        if (messe("punkte"))
            punkteMessen(w);
        if (messe("auslosung"))
            auslosungMessen(w);
        if (messe("link"))
            linkMessen(w);
        if (messe("web"))
            webMessen(w);
        if (messe("webangriff"))
            webAngriffMessen(w);
        if (messe("import"))
            importMessen(w);
        if (messe("berichte"))
            berichteMessen(w, basis, gruppeLesen);
        if (messe("saison"))
            saisonMessen(basis);
        if (messe("druck"))
            druckMessen(w, basis);
    }
    // match days and backups
    if (messe("spieltage") && !spieltageMessen(basis, laeufeNormal))
        fehlgeschlagen = true;
    if (messe("fair") && !faireAuslosungMessen(laeufeNormal))
        fehlgeschlagen = true;
    if (messe("abrechnung") && !abrechnungMessen(laeufeNormal))
        fehlgeschlagen = true;
    if (messe("mitglieder") && !mitgliederlisteMessen(laeufeNormal))
        fehlgeschlagen = true;
    if (messe("anmeldung") && !anmeldungMessen(laeufeNormal))
        fehlgeschlagen = true;
    // last: its groups join the match day's folder
    if (messe("groesse"))
        groessenMessen();
    const QStringList namen = QSqlDatabase::connectionNames();
    for (const QString& n : namen)
        QSqlDatabase::removeDatabase(n);
    std::printf("# floors: start-up = window + one SQLite file; group and report floors = the group's rows read "
                "with plain queries; edits, draws, import, link = the same statements on the same files and settings "
                "(synchronous=FULL); printing = as many A4 pages of plain text (60 lines each) through QPdfWriter\n");
    return fehlgeschlagen ? 1 : 0;
}
