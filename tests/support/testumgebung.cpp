#include "testumgebung.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTimer>

#include "app/mainwindow.h"
#include "storage/pfade.h"
#include "storage/schema.h"
#include "ui_mainwindow.h"

namespace Testlauf
{

QList<QPair<const char*, Fabrik>>& liste()
{
    static QList<QPair<const char*, Fabrik>> l;
    return l;
}

int registrieren(const char* name, Fabrik fabrik)
{
    liste().append({ name, std::move(fabrik) });
    return liste().size();
}

} // namespace Testlauf

namespace Testumgebung
{

static QString g_zuhause;
static int g_nummer = 0;

static QTemporaryDir& wurzel()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/reizwerk-test-XXXXXX"));
    return dir;
}

QString frischesZuhause()
{
    g_zuhause = QStringLiteral("%1/home%2").arg(wurzel().path()).arg(++g_nummer);
    QDir().mkpath(g_zuhause);
    const QByteArray h = g_zuhause.toUtf8();
    qputenv("HOME", h);
    qputenv("XDG_CONFIG_HOME", h + "/.config");
    qputenv("XDG_DATA_HOME", h + "/.local/share");
    qputenv("XDG_CACHE_HOME", h + "/.cache");
    qunsetenv("XDG_DOCUMENTS_DIR");
    qunsetenv("XDG_DOWNLOAD_DIR");
    // QSettings caches its base path at first use; point it at this HOME.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, g_zuhause + QStringLiteral("/.config"));
    return g_zuhause;
}

QString zuhause()
{
    return g_zuhause;
}
QString dokumente()
{
    return g_zuhause + QStringLiteral("/Documents");
}
QString downloads()
{
    return g_zuhause + QStringLiteral("/Downloads");
}
QString datenOrdner()
{
    return dokumente() + QStringLiteral("/Reizwerk");
}
QString einstellungsDatei()
{
    return g_zuhause + QStringLiteral("/.config/Kartenhof/Reizwerk.ini");
}

void verbindungenSchliessen()
{
    const QStringList namen = QSqlDatabase::connectionNames();
    for (const QString& name : namen) {
        {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
}

void einstellen(const QString& schluessel, const QVariant& wert)
{
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kartenhof"), QStringLiteral("Reizwerk"));
    Pfade::einstellungenAlsUtf8(s);
    s.setValue(schluessel, wert);
}

QByteArray dateiInhalt(const QString& pfad)
{
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray golden(const QString& name)
{
    QFile f(QStringLiteral(REIZWERK_TESTDATA "/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("missing golden file ") + name.toUtf8();
}

} // namespace Testumgebung

SkriptDialoge::SkriptDialoge()
    : m_vorher(Dialoge::umsetzung())
{
    Dialoge::setUmsetzung(this);
}

SkriptDialoge::~SkriptDialoge()
{
    Dialoge::setUmsetzung(m_vorher == this ? nullptr : m_vorher);
}

bool SkriptDialoge::frage(QWidget*, const QString& text)
{
    fragen << text;
    if (m_antworten.isEmpty()) {
        unerwartet << text;
        return false;
    }
    return m_antworten.takeFirst();
}

void SkriptDialoge::fehler(QWidget*, const QString& text)
{
    fehlerTexte << text;
}

void SkriptDialoge::info(QWidget*, const QString& titel, const QString& text)
{
    infos << titel + QLatin1Char('\n') + text;
}

QString SkriptDialoge::speicherName(QWidget*, const QString& titel, const QString&, const QString&)
{
    if (m_namen.isEmpty()) {
        unerwartet << titel;
        return {};
    }
    return m_namen.takeFirst();
}

QString SkriptDialoge::oeffnenName(QWidget* eltern, const QString& titel, const QString& ordner, const QString& filter)
{
    return speicherName(eltern, titel, ordner, filter);
}

std::shared_ptr<bool> beimNaechstenDialog(const char* klassenName, std::function<void(QWidget*)> handeln, int zeitMs)
{
    auto erledigt = std::make_shared<bool>(false);
    auto* uhr = new QTimer;
    auto ende = std::make_shared<QElapsedTimer>();
    ende->start();
    const QByteArray klasse(klassenName);
    QObject::connect(uhr, &QTimer::timeout, [uhr, erledigt, ende, klasse, handeln, zeitMs] {
        QWidget* w = QApplication::activeModalWidget();
        if (w && w->inherits(klasse.constData())) {
            uhr->stop();
            uhr->deleteLater();
            handeln(w);
            *erledigt = true;
        } else if (ende->elapsed() > zeitMs) {
            uhr->stop();
            uhr->deleteLater();
            // Another dialog came instead: close it, so the test fails on the
            // unset flag instead of hanging in a modal loop.
            if (auto* dlg = qobject_cast<QDialog*>(w))
                dlg->reject();
        }
    });
    uhr->start(5);
    return erledigt;
}

static bool mitDialog(
    const char* klassenName, const std::function<void()>& ausloesen, std::function<void(QWidget*)> handeln)
{
    auto gezeigt = beimNaechstenDialog(klassenName, [handeln](QWidget* dlg) {
        const QPointer<QDialog> dialog = qobject_cast<QDialog*>(dlg);
        handeln(dlg);
        if (dialog && dialog->isVisible())
            dialog->reject();
    });
    ausloesen();
    return *gezeigt;
}

bool mitDialog(QAction* ausloeser, const char* klassenName, std::function<void(QWidget*)> handeln)
{
    // A missing or disabled action opens nothing; say so rather than wait.
    if (!ausloeser || !ausloeser->isEnabled()) {
        QTest::qFail(ausloeser ? "Aktion ist gesperrt" : "Aktion fehlt", __FILE__, __LINE__);
        return false;
    }
    return mitDialog(
        klassenName, [ausloeser] { ausloeser->trigger(); }, std::move(handeln));
}

bool mitDialog(QAbstractButton* ausloeser, const char* klassenName, std::function<void(QWidget*)> handeln)
{
    return mitDialog(
        klassenName, [ausloeser] { ausloeser->click(); }, std::move(handeln));
}

QAction* aktionBereit(const MainWindow& w, const QString& name)
{
    QAction* a = w.aktion(name);
    if (!a) {
        QTest::qFail(qPrintable(QStringLiteral("Aktion %1 fehlt").arg(name)), __FILE__, __LINE__);
        return nullptr;
    }
    if (!a->isEnabled()) {
        QTest::qFail(qPrintable(QStringLiteral("Aktion %1 ist gesperrt").arg(name)), __FILE__, __LINE__);
        return nullptr;
    }
    return a;
}

bool ausloesen(const MainWindow& w, const QString& name)
{
    QAction* a = aktionBereit(w, name);
    if (!a)
        return false;
    a->trigger();
    return true;
}

QStringList kopfTexte(const QAbstractItemModel* m)
{
    QStringList texte;
    for (int c = 0; c < m->columnCount(); ++c)
        texte << m->headerData(c, Qt::Horizontal).toString();
    return texte;
}

QStringList spaltenTexte(const QAbstractItemModel* m, int spalte)
{
    QStringList texte;
    for (int z = 0; z < m->rowCount(); ++z)
        texte << m->index(z, spalte).data().toString();
    return texte;
}

QStringList comboTexte(const QComboBox* box)
{
    QStringList texte;
    for (int i = 0; i < box->count(); ++i)
        texte << box->itemText(i);
    return texte;
}

void knopf(QWidget* dlg, int standardKnopf)
{
    dlg->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))
        ->button(QDialogButtonBox::StandardButton(standardKnopf))
        ->click();
}

namespace Turnierbau
{

QVector<int> spielerAnlegen(MainWindow& w, const QVector<Spieler>& spieler)
{
    QSqlDatabase db = w.registry().hauptDatenbank();
    QVector<int> nummern;
    QSqlQuery q(db);
    q.exec(QStringLiteral("SELECT MAX(StartNr) FROM Spieler"));
    int nr = q.next() && !q.value(0).isNull() ? q.value(0).toInt() + 1 : 100;
    db.transaction();
    for (const Spieler& s : spieler) {
        q.prepare(QStringLiteral("INSERT INTO Spieler VALUES (?, ?, ?, ?, ?, ?)"));
        q.addBindValue(s.startNr > 0 ? s.startNr : nr);
        q.addBindValue(s.vorname);
        q.addBindValue(s.nachname);
        q.addBindValue(s.gruppe);
        q.addBindValue(s.mitglied);
        q.addBindValue(s.preisskat);
        q.exec();
        nummern << (s.startNr > 0 ? s.startNr : nr++);
    }
    db.commit();
    if (w.spieler())
        w.spieler()->select();
    w.auswahlLaden(w.form()->cmbSpielerGruppe->currentText());
    return nummern;
}

QVector<Spieler> nummeriert(int anzahl, const QString& gruppe)
{
    QVector<Spieler> liste;
    for (int i = 0; i < anzahl; ++i)
        liste << Spieler { QStringLiteral("Vorname%1").arg(i + 1), QStringLiteral("Nachname%1").arg(i + 1), gruppe };
    return liste;
}

QVector<int> spielerAnlegen(MainWindow& w, int anzahl, const QString& gruppe)
{
    return spielerAnlegen(w, nummeriert(anzahl, gruppe));
}

bool neuesTurnier(MainWindow& w, SkriptDialoge& d, int serien, int ersterTisch, bool ueberschreiben)
{
    const QString verzeichnis = QStringLiteral("%1/%2").arg(
        w.datenVerzeichnis(), QDate::currentDate().toString(QStringLiteral("dd_MM_yyyy")));
    if (QDir(verzeichnis).exists())
        d.antworte(ueberschreiben);
    return mitDialog(w.aktion(QStringLiteral("actNeuesTurnier")), "DlgNewGroup", [serien, ersterTisch](QWidget* dlg) {
        dlg->findChild<QSpinBox*>(QStringLiteral("spbAnzahlSerien"))->setValue(serien);
        if (ersterTisch > 0)
            dlg->findChild<QSpinBox*>(QStringLiteral("spbErsteTischNr"))->setValue(ersterTisch);
        static_cast<QDialog*>(dlg)->accept();
    });
}

void teilnehmerWaehlen(MainWindow& w, const QVector<int>& startNrs)
{
    QTreeView* liste = w.form()->trvSpieler;
    QStandardItemModel* m = w.auswahl();
    liste->clearSelection();
    QItemSelection auswahl;
    for (int z = 0; z < m->rowCount(); ++z) {
        const int nr = m->item(z, 0)->data(Qt::UserRole + 1).toInt();
        if (startNrs.isEmpty() || startNrs.contains(nr))
            auswahl.select(m->index(z, 0), m->index(z, 1));
    }
    liste->selectionModel()->select(auswahl, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    w.form()->tbSpielerHinzu->click();
}

void teilnehmerBestaetigen(MainWindow& w, SkriptDialoge& d)
{
    d.antworte(true);
    w.form()->tbTeilnehmerOk->click();
}

void gruppenDateiAnlegen(const QString& pfad, const QString& name, int teilnehmer, int letzterTisch)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("vorbereitung"));
        db.setDatabaseName(pfad);
        QVERIFY(db.open());
        Schema::GruppenDaten g;
        g.name = name;
        g.datum = QDate(2026, 3, 7);
        g.serien = 2;
        g.letzterTisch = letzterTisch;
        QVector<Schema::TeilnehmerEintrag> t;
        for (int i = 0; i < teilnehmer; ++i)
            t << Schema::TeilnehmerEintrag { 100 + i, QStringLiteral("%1 Spieler%2").arg(name).arg(i), true, false };
        QVERIFY(Schema::gruppeAnlegen(db, g, t));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("vorbereitung"));
}

void alterSetzen(const QString& pfad, int sekundenZurueck)
{
    QFile f(pfad);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-sekundenZurueck), QFileDevice::FileModificationTime));
}

void sql(QSqlDatabase db, const QString& text)
{
    QSqlQuery q(db);
    QVERIFY2(q.exec(text), qPrintable(text + QLatin1Char('\n') + q.lastError().text()));
}

void sitze(QSqlDatabase db, int serie, const QVector<QVector<int>>& sitze)
{
    for (const QVector<int>& s : sitze)
        sql(db,
            QStringLiteral("UPDATE Serie%1 SET Tisch=%2, TischIntern=%3 WHERE StartNr=%4")
                .arg(serie)
                .arg(s.value(1))
                .arg(s.value(2))
                .arg(s.value(0)));
}

QVariantList spalte(QSqlDatabase db, const QString& sql)
{
    QVariantList werte;
    QSqlQuery q(db);
    if (!q.exec(sql))
        return werte;
    while (q.next())
        werte << q.value(0);
    return werte;
}

QVariant wert(QSqlDatabase db, const QString& sql)
{
    QSqlQuery q(db);
    if (q.exec(sql) && q.next())
        return q.value(0);
    return {};
}

} // namespace Turnierbau

Fenster::Fenster(bool linkAufLoopback)
{
    starten(linkAufLoopback);
}

Fenster::~Fenster()
{
    w.reset();
    Testumgebung::verbindungenSchliessen();
}

void Fenster::starten(bool linkAufLoopback)
{
    if (linkAufLoopback) {
        // Tests never listen on the real port or on outside addresses.
        QSettings s(
            QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Kartenhof"), QStringLiteral("Reizwerk"));
        // Read as the program reads it, or a UTF-8 value would be written back garbled.
        Pfade::einstellungenAlsUtf8(s);
        if (!s.contains(QStringLiteral("Link/Port")))
            s.setValue(QStringLiteral("Link/Port"), 0);
        if (!s.contains(QStringLiteral("Link/Adresse")))
            s.setValue(QStringLiteral("Link/Adresse"), QStringLiteral("127.0.0.1"));
        // Likewise the table app's server.
        if (!s.contains(QStringLiteral("Web/Port")))
            s.setValue(QStringLiteral("Web/Port"), 0);
        if (!s.contains(QStringLiteral("Web/Adresse")))
            s.setValue(QStringLiteral("Web/Adresse"), QStringLiteral("127.0.0.1"));
    }
    w = std::make_unique<MainWindow>();
    w->show();
    QCoreApplication::processEvents();
    // The link and the table app start in the turn after the first paint.
    QCoreApplication::processEvents();
}

void Fenster::neuStarten(bool linkAufLoopback)
{
    w.reset();
    Testumgebung::verbindungenSchliessen();
    starten(linkAufLoopback);
}

QSqlDatabase Fenster::gruppe(int spieler, int serien, int ersterTisch)
{
    return gruppe(Turnierbau::nummeriert(spieler), serien, ersterTisch);
}

QSqlDatabase Fenster::gruppe(const QVector<Turnierbau::Spieler>& spieler, int serien, int ersterTisch)
{
    Turnierbau::spielerAnlegen(*w, spieler);
    if (!Turnierbau::neuesTurnier(*w, d, serien, ersterTisch))
        return {};
    Turnierbau::teilnehmerWaehlen(*w);
    Turnierbau::teilnehmerBestaetigen(*w, d);
    return w->registry().datenbank(w->form()->cmbTeilnehmerGruppe->currentText());
}
