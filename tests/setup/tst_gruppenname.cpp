#include "testumgebung.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QStandardItemModel>
#include <QStatusBar>

#include <limits>

#include "app/mainwindow.h"
#include "season/spieltagliste.h"
#include "setup/teilnehmertabelle.h"
#include "storage/schema.h"
#include "ui_mainwindow.h"

using namespace Turnierbau;

namespace
{

// Every database file below HOME, relative to it.
QStringList datenbanken()
{
    QStringList dateien;
    QDirIterator it(Testumgebung::zuhause(), { QStringLiteral("*.db") }, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        dateien << QDir(Testumgebung::zuhause()).relativeFilePath(it.next());
    dateien.sort();
    return dateien;
}

void aendern(const QString& pfad, const QString& sql)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("vorbereitung"));
        db.setDatabaseName(pfad);
        QVERIFY(db.open());
        Turnierbau::sql(db, sql);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("vorbereitung"));
}

} // namespace

class TstGruppenname : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    // A player group whose name cannot be a file name is refused when its
    // participant list is confirmed: nothing is stored anywhere, the group
    // is not shown as stored, and the chosen players stay for a good name.
    void unsichereNamenWerdenAbgelehnt()
    {
        const QStringList namen { QStringLiteral("Damen/Jugend"), QStringLiteral(".Sen"),
            QStringLiteral("../../../fremd"), QStringLiteral("../reizwerk"), QStringLiteral(" Herren"),
            QStringLiteral("reizwerk"), QStringLiteral("Kai$"), QStringLiteral(".."), QStringLiteral("a\\b") };
        for (int i = 0; i < namen.size(); ++i)
            Testumgebung::einstellen(QStringLiteral("Gruppe/Gruppe%1").arg(6 + i), namen.at(i));
        Fenster w;
        Ui::MainWindow* ui = w->form();
        for (const QString& name : namen)
            spielerAnlegen(*w, 2, name);
        spielerAnlegen(*w, 3);
        QVERIFY(neuesTurnier(*w, w.d, 2));
        const QStringList vorher = datenbanken();
        QCOMPARE(vorher, QStringList { "Documents/Reizwerk/reizwerk.db" });

        // The settings tree marks them already.
        int markiert = 0;
        for (int z = 0; z < w->gruppen()->rowCount(); ++z)
            if (!w->gruppen()->item(z, 1)->toolTip().isEmpty())
                ++markiert;
        QCOMPARE(markiert, namen.size());

        for (const QString& name : namen) {
            ui->cmbSpielerGruppe->setCurrentText(name);
            QCOMPARE(ui->cmbSpielerGruppe->currentText(), name);
            teilnehmerWaehlen(*w);
            const int fehlerVorher = w.d.fehlerTexte.size();
            ui->tbTeilnehmerOk->click();
            QCOMPARE(w.d.fehlerTexte.size(), fehlerVorher + 1);
            QVERIFY2(w.d.fehlerTexte.last().contains(name.trimmed()), qPrintable(w.d.fehlerTexte.last()));
            QVERIFY(w->statusBar()->currentMessage().startsWith(QStringLiteral("FEHLER: ")));
            QCOMPARE(datenbanken(), vorher);
            QVERIFY(!w->registry().enthaelt(name));
            QVERIFY(ui->tbTeilnehmerOk->isEnabled());
            QVERIFY(!ui->pbAuslosen->isEnabled());
        }
        QVERIFY(w.d.fragen.isEmpty());
        QCOMPARE(w->teilnehmer()->rowCount(), 2 * namen.size());

        // A good name stores the group with the players chosen.
        ui->cmbSpielerGruppe->setCurrentText(QStringLiteral("Alle"));
        teilnehmerBestaetigen(*w, w.d);
        QVERIFY(w->registry().datenbank(QStringLiteral("Alle")).isOpen());
        QCOMPARE(datenbanken().size(), 2);
        QVERIFY(ui->pbAuslosen->isEnabled());
        QVERIFY(w.d.unerwartet.isEmpty());
    }

    // A file opens under its whole name when that is the name it stores
    // ("Sen.A.db" holding "Sen.A"); a copy "x.backup.db" holding "x" opens
    // as x, and a second file for a name already open keeps its whole name.
    void dateienMitPunktenOeffnen()
    {
        const QString tag = Testumgebung::datenOrdner() + QStringLiteral("/07_03_2026");
        QVERIFY(QDir().mkpath(tag));
        gruppenDateiAnlegen(tag + QStringLiteral("/Sen.A.db"), QStringLiteral("Sen.A"), 4, 2);
        gruppenDateiAnlegen(tag + QStringLiteral("/Sen.B.db"), QStringLiteral("Sen.B"), 6, 2);
        gruppenDateiAnlegen(tag + QStringLiteral("/x.backup.db"), QStringLiteral("x"), 3, 2);
        gruppenDateiAnlegen(tag + QStringLiteral("/x.db"), QStringLiteral("x"), 5, 2);
        alterSetzen(tag + QStringLiteral("/Sen.B.db"), 100);
        alterSetzen(tag + QStringLiteral("/x.db"), 200);
        alterSetzen(tag + QStringLiteral("/x.backup.db"), 300);
        Testumgebung::einstellen(QStringLiteral("lastdatabasedir"), tag);
        Fenster w;
        QComboBox* gruppen = w->form()->cmbTeilnehmerGruppe;
        QCOMPARE(comboTexte(gruppen), (QStringList { "Sen.A", "Sen.B", "x", "x.backup" }));
        QCOMPARE(w->teilnehmer()->rowCount(), 4);
        gruppen->setCurrentText(QStringLiteral("Sen.B"));
        QCOMPARE(w->teilnehmer()->rowCount(), 6);
        QCOMPARE(w->tabelle()->nameItem(0)->text(), QStringLiteral("Sen.B Spieler0"));
        gruppen->setCurrentText(QStringLiteral("x"));
        QCOMPARE(w->teilnehmer()->rowCount(), 5);

        // The list of match days names the groups the same way.
        const QVector<Spieltagliste::Spieltag> tage = Spieltagliste::lesen(Testumgebung::datenOrdner());
        QCOMPARE(tage.size(), 1);
        QStringList namen;
        for (const Spieltagliste::Gruppe& g : tage.first().gruppen)
            namen << g.name;
        namen.sort();
        QCOMPARE(namen, (QStringList { "Sen.A", "Sen.B", "x" }));
    }

    // A group named with a dot is stored and opens again under its name.
    void gruppeMitPunktImNamen()
    {
        Testumgebung::einstellen(QStringLiteral("Gruppe/Gruppe6"), QStringLiteral("1. Mannschaft"));
        Fenster w;
        spielerAnlegen(*w, 4, QStringLiteral("1. Mannschaft"));
        QVERIFY(neuesTurnier(*w, w.d, 2));
        w->form()->cmbSpielerGruppe->setCurrentText(QStringLiteral("1. Mannschaft"));
        QCOMPARE(w->form()->cmbSpielerGruppe->currentText(), QStringLiteral("1. Mannschaft"));
        teilnehmerWaehlen(*w);
        teilnehmerBestaetigen(*w, w.d);
        QVERIFY2(w->registry().datenbank(QStringLiteral("1. Mannschaft")).isOpen(),
            qPrintable(w->statusBar()->currentMessage() + w.d.fehlerTexte.join(QLatin1Char('|'))));
        QVERIFY(QFileInfo::exists(w->turnierOrdner() + QStringLiteral("/1. Mannschaft.db")));
        w.neuStarten();
        QCOMPARE(comboTexte(w->form()->cmbTeilnehmerGruppe), QStringList { "1. Mannschaft" });
        QCOMPARE(w->teilnehmer()->rowCount(), 4);
        QVERIFY(w.d.unerwartet.isEmpty());
    }

    // A group from a table behind another that has too few players for a
    // table stores a last table below its first: it has no tables, and it
    // opens again.
    void gruppeOhneTischeOeffnet()
    {
        Fenster w;
        QVERIFY(w.gruppe(8, 2).isValid());
        spielerAnlegen(*w, 2, QStringLiteral("Jugend"));
        w->form()->cmbSpielerGruppe->setCurrentText(QStringLiteral("Jugend"));
        QVERIFY(mitDialog(w->aktion(QStringLiteral("actNeueSpielGruppe")), "DlgNewGroup",
            [](QWidget* dlg) { static_cast<QDialog*>(dlg)->accept(); }));
        teilnehmerWaehlen(*w);
        teilnehmerBestaetigen(*w, w.d);
        QSqlDatabase jugend = w->registry().datenbank(QStringLiteral("Jugend"));
        QVERIFY(jugend.isOpen());
        QCOMPARE(wert(jugend, QStringLiteral("SELECT ErsterTisch FROM Gruppe")).toInt(), 3);
        QCOMPARE(wert(jugend, QStringLiteral("SELECT LetzterTisch FROM Gruppe")).toInt(), 2);
        w.neuStarten();
        QStringList gruppen = comboTexte(w->form()->cmbTeilnehmerGruppe);
        gruppen.sort();
        QCOMPARE(gruppen, (QStringList { "Alle", "Jugend" }));
        QVERIFY2(!w->statusBar()->currentMessage().startsWith(QStringLiteral("FEHLER")),
            qPrintable(w->statusBar()->currentMessage()));
        w->form()->cmbTeilnehmerGruppe->setCurrentText(QStringLiteral("Jugend"));
        QCOMPARE(w->teilnehmer()->rowCount(), 2);
    }

    // One damaged value in a group file makes that group fail to open, with
    // a message naming the file; the program and the other groups go on.
    void beschaedigteGruppeOeffnetNicht()
    {
        const QStringList schaeden { QStringLiteral("UPDATE Gruppe SET Serien=-2"),
            QStringLiteral("UPDATE Gruppe SET Serien=100000"),
            QStringLiteral("UPDATE Gruppe SET LetzterTisch=%1").arg(std::numeric_limits<int>::max() - 1),
            QStringLiteral("UPDATE Gruppe SET ErsterTisch=0"), QStringLiteral("UPDATE Gruppe SET LetzterTisch=-1"),
            QStringLiteral("UPDATE Gruppe SET ErsterTisch=1001, LetzterTisch=1002"),
            QStringLiteral("DROP TABLE Serie2") };
        for (const QString& schaden : schaeden) {
            Testumgebung::frischesZuhause();
            const QString tag = Testumgebung::datenOrdner() + QStringLiteral("/07_03_2026");
            QVERIFY(QDir().mkpath(tag));
            gruppenDateiAnlegen(tag + QStringLiteral("/A.db"), QStringLiteral("A"), 4, 2);
            gruppenDateiAnlegen(tag + QStringLiteral("/B.db"), QStringLiteral("B"), 7, 2);
            aendern(tag + QStringLiteral("/B.db"), schaden);
            alterSetzen(tag + QStringLiteral("/A.db"), 100);
            Testumgebung::einstellen(QStringLiteral("lastdatabasedir"), tag);
            Fenster w;
            QCOMPARE(comboTexte(w->form()->cmbTeilnehmerGruppe), QStringList { "A" });
            QCOMPARE(w->teilnehmer()->rowCount(), 4);
            QVERIFY(!w->registry().enthaelt(QStringLiteral("B")));
            QVERIFY2(w->statusBar()->currentMessage().contains(QStringLiteral("B.db")),
                qPrintable(schaden + QStringLiteral(": ") + w->statusBar()->currentMessage()));
            QVERIFY(w->form()->pbAuslosen->isEnabled());
        }
    }

    // A group damaged while the program runs is not shown when switched to.
    void beschaedigtBeimWechseln()
    {
        Fenster w;
        spielerAnlegen(*w, 4);
        spielerAnlegen(*w, 4, QStringLiteral("Senioren"));
        QVERIFY(neuesTurnier(*w, w.d, 2));
        teilnehmerWaehlen(*w);
        teilnehmerBestaetigen(*w, w.d);
        QVERIFY(mitDialog(w->aktion(QStringLiteral("actNeueSpielGruppe")), "DlgNewGroup",
            [](QWidget* dlg) { static_cast<QDialog*>(dlg)->accept(); }));
        w->form()->cmbSpielerGruppe->setCurrentText(QStringLiteral("Senioren"));
        teilnehmerWaehlen(*w);
        teilnehmerBestaetigen(*w, w.d);
        QComboBox* gruppen = w->form()->cmbTeilnehmerGruppe;
        QCOMPARE(comboTexte(gruppen), (QStringList { "Alle", "Senioren" }));
        sql(w->registry().datenbank(QStringLiteral("Alle")), QStringLiteral("UPDATE Gruppe SET Serien=-2"));
        gruppen->setCurrentText(QStringLiteral("Alle"));
        QVERIFY(w->statusBar()->currentMessage().contains(QStringLiteral("Alle.db")));
        QCOMPARE(w->teilnehmer()->rowCount(), 0);
        QVERIFY(!w->form()->pbAuslosen->isEnabled());
        gruppen->setCurrentText(QStringLiteral("Senioren"));
        QCOMPARE(w->teilnehmer()->rowCount(), 4);
        QVERIFY(w->form()->pbAuslosen->isEnabled());
    }

    // A settings file that cannot be written is reported when a new match
    // day is recorded in it, instead of being lost silently.
    void einstellungenNichtSchreibbar()
    {
        Fenster w;
        spielerAnlegen(*w, 3);
        QVERIFY(neuesTurnier(*w, w.d, 2));
        teilnehmerWaehlen(*w);
        const QString datei = Testumgebung::einstellungsDatei();
        QVERIFY(QFile::remove(datei));
        QVERIFY(QDir().mkpath(datei)); // a folder where the file belongs
        teilnehmerBestaetigen(*w, w.d);
        QVERIFY2(w->statusBar()->currentMessage().startsWith(QStringLiteral("FEHLER: Einstellungen")),
            qPrintable(w->statusBar()->currentMessage()));
        QVERIFY(w->registry().datenbank(QStringLiteral("Alle")).isOpen());
        QDir(datei).removeRecursively();
    }
};

REIZWERK_TEST(TstGruppenname)
#include "tst_gruppenname.moc"
