#include "testumgebung.h"

#include <QDir>

#include <QFile>
#include <QSignalBlocker>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QStandardItemModel>
#include <QStatusBar>
#include <memory>

#include "app/mainwindow.h"
#include "roster/namensregel.h"
#include "roster/spielerauswahl.h"
#include "roster/spielerdatei.h"
#include "setup/teilnehmertabelle.h"
#include "storage/schema.h"
#include "ui_mainwindow.h"

using namespace Turnierbau;

namespace
{

QStringList roster(MainWindow& w)
{
    QStringList zeilen;
    QSqlQuery q(w.registry().hauptDatenbank());
    q.exec(
        QStringLiteral("SELECT StartNr, VorName, NachName, Gruppe, Mitglied, Preisskat FROM Spieler ORDER BY StartNr"));
    while (q.next()) {
        QStringList teile;
        for (int i = 0; i < 6; ++i)
            teile << q.value(i).toString();
        zeilen << teile.join(QLatin1Char('|'));
    }
    return zeilen;
}

void schreiben(const QString& pfad, const QByteArray& inhalt)
{
    QDir().mkpath(QFileInfo(pfad).path());
    QFile f(pfad);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(inhalt);
}

// Roster edits are stored on the next turn of the event loop.
void warten()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

QVector<Spielerdatei::Eintrag> frischNummeriert(const QVector<Spielerdatei::Zeile>& zeilen)
{
    return Spielerdatei::planen({}, {}, zeilen).eintraege;
}

int zeileMitStartNr(QSqlTableModel* m, int nr)
{
    for (int z = 0; z < m->rowCount(); ++z)
        if (m->record(z).value(QStringLiteral("StartNr")).toInt() == nr)
            return z;
    return -1;
}

} // namespace

class TstRoster : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void neueSpielerBekommenDieNaechsteFreieNummer()
    {
        Fenster w;
        w->form()->pbNeuerSpieler->click();
        QCOMPARE(roster(*w), QStringList { QStringLiteral("100|-|-|Alle|Ja|Nein") });
        w->form()->pbNeuerSpieler->click();
        w->form()->pbNeuerSpieler->click();
        QCOMPARE(w->naechsteStartNr(), 103);

        // Remove 101 by selecting its whole row.
        QTableView* tabelle = w->form()->tblViewSpieler;
        const int zeile = zeileMitStartNr(w->spieler(), 101);
        QVERIFY(zeile >= 0);
        tabelle->selectRow(zeile);
        w->form()->pbDeleteSpieler->click();
        QCOMPARE(roster(*w).size(), 2);
        w->form()->pbNeuerSpieler->click();
        w->form()->pbNeuerSpieler->click();
        QStringList nummern;
        for (const QString& z : roster(*w))
            nummern << z.section(QLatin1Char('|'), 0, 0);
        QCOMPARE(nummern, (QStringList { "100", "101", "102", "103" }));

        // Only whole rows are removed: single cells of two rows remove nothing.
        QSqlTableModel* m = w->spieler();
        tabelle->clearSelection();
        tabelle->selectionModel()->select(m->index(zeileMitStartNr(m, 100), 1), QItemSelectionModel::Select);
        tabelle->selectionModel()->select(m->index(zeileMitStartNr(m, 101), 2), QItemSelectionModel::Select);
        w->form()->pbDeleteSpieler->click();
        QCOMPARE(roster(*w).size(), 4);

        tabelle->clearSelection();
        tabelle->setSelectionMode(QAbstractItemView::ExtendedSelection);
        for (int nr : { 100, 102 }) {
            const int z = zeileMitStartNr(m, nr);
            tabelle->selectionModel()->select(QItemSelection(m->index(z, 0), m->index(z, 5)),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
        w->form()->pbDeleteSpieler->click();
        QCOMPARE(roster(*w).size(), 2);
        QVERIFY(roster(*w).first().startsWith(QStringLiteral("101|")));
        QVERIFY(roster(*w).last().startsWith(QStringLiteral("103|")));
    }

    void aenderungWirdGespeichertUndWeitergegeben()
    {
        Fenster w;
        spielerAnlegen(*w,
            { { QStringLiteral("Anna"), QStringLiteral("Berg") },
                { QStringLiteral("Bernd"), QStringLiteral("Cord") } });
        QVERIFY(neuesTurnier(*w, w.d, 2));
        teilnehmerWaehlen(*w);
        QCOMPARE(w->teilnehmer()->rowCount(), 2);
        TeilnehmerTabelle* t = w->tabelle();
        const int zeile = t->zeileVon(100);
        QCOMPARE(t->preisskatItem(zeile)->text(), QStringLiteral("Nein"));

        QSqlTableModel* m = w->spieler();
        const int r = zeileMitStartNr(m, 100);
        QVERIFY(m->setData(m->index(r, 5), QStringLiteral("Ja")));
        warten();
        QCOMPARE(t->preisskatItem(zeile)->text(), QStringLiteral("Ja"));
        QVERIFY(roster(*w).first().endsWith(QStringLiteral("|Ja")));
        QVERIFY(m->setData(m->index(zeileMitStartNr(m, 100), 4), QStringLiteral("Nein")));
        warten();
        QCOMPARE(t->nameItem(zeile)->data(Rolle::Mitglied).toBool(), false);
        // The choice list carries the flags too.
        QStandardItemModel* auswahl = w->auswahl();
        for (int z = 0; z < auswahl->rowCount(); ++z)
            if (auswahl->item(z, 0)->data(Qt::UserRole + 1).toInt() == 100) {
                QCOMPARE(auswahl->item(z, 0)->data(Qt::UserRole + 2).toBool(), false);
                QCOMPARE(auswahl->item(z, 0)->data(Qt::UserRole + 3).toBool(), true);
            }

        // A change covering several cells is stored but not passed on.
        const int r2 = zeileMitStartNr(m, 101);
        {
            const QSignalBlocker sperre(m);
            QVERIFY(m->setData(m->index(r2, 1), QStringLiteral("Berndt")));
            QVERIFY(m->setData(m->index(r2, 5), QStringLiteral("Ja")));
        }
        emit m->dataChanged(m->index(r2, 1), m->index(r2, 5));
        warten();
        QVERIFY(roster(*w).at(1).contains(QStringLiteral("|Berndt|")));
        QCOMPARE(t->preisskatItem(t->zeileVon(101))->text(), QStringLiteral("Nein"));
    }

    void dateiZeilenLesen()
    {
        const QByteArray inhalt = "Anna Berg Damen Ja\r\n"
                                  "Bert Cramer Herren nein\n"
                                  "Carl Dorn Herren NEIN\n"
                                  "Dora  Eck Damen Ja\n"
                                  " Emil Funk Herren Ja\n"
                                  "Fritz Gabel Herren Ja \n"
                                  "Gerd Hahn Herren Ja Nein\n"
                                  "\n"
                                  "J\xc3\xbcrgen \xc5\x81ukasz Jugend Nein\n"
                                  "Hans Igel Senioren Ja";
        const Spielerdatei::Ergebnis e = Spielerdatei::lesen(inhalt);
        QCOMPARE(e.spieler.size(), 5);
        QCOMPARE(e.uebersprungen, 4);
        // The first two lines' fields are checked by importErsetztDieListe.
        QCOMPARE(e.spieler[2].mitglied, QStringLiteral("Ja"));
        QCOMPARE(e.spieler[3].vorname, QString::fromUtf8("J\xc3\xbcrgen"));
        QCOMPARE(e.spieler[3].nachname, QString::fromUtf8("\xc5\x81ukasz"));
        QCOMPARE(e.spieler[3].mitglied, QStringLiteral("Nein"));
        QCOMPARE(e.spieler[4].gruppe, QStringLiteral("Senioren"));
        QVERIFY(e.fehler.isEmpty());
        QVERIFY(!e.windows1252);

        // A line with an empty field or a separator of the link in a field
        // is skipped and counted; the rest is read.
        const Spielerdatei::Ergebnis leer = Spielerdatei::lesen("Anna Berg Damen \n"
                                                                " Berg Damen Ja\n"
                                                                "Kai$ Berg Damen Ja\n"
                                                                "Ute Kurz Da|men Ja\n"
                                                                "Ute Kurz Damen Ja\n"
                                                                "Eva Lang Damen Ja\n"
                                                                "Ina Moll Damen Ja\n"
                                                                "Otto Nolte Herren Ja\n");
        QVERIFY2(leer.fehler.isEmpty(), qPrintable(leer.fehler));
        QCOMPARE(leer.uebersprungen, 4);
        QCOMPARE(leer.spieler.size(), 4);
        QCOMPARE(leer.spieler.first().vorname, QStringLiteral("Ute"));
    }

    // Every line end counts one line, however CR and LF follow each other,
    // and a last line needs none; a control character anywhere in the file
    // refuses it, one beyond ASCII as well, while letters beyond ASCII are
    // names like any other.
    void zeilenNummernUndZeichen_data()
    {
        QTest::addColumn<QByteArray>("inhalt");
        QTest::addColumn<int>("spieler");
        QTest::addColumn<QVector<int>>("uebersprungen");
        QTest::addColumn<bool>("abgewiesen");

        QTest::newRow("CR CR") << QByteArray("A B C D\r\rE F G\rH I J K") << 2 << QVector<int> { 3 } << false;
        QTest::newRow("LF CR") << QByteArray("A B C D\n\rE F G\n\rH I J K\n") << 2 << QVector<int> { 3 } << false;
        QTest::newRow("CR LF LF") << QByteArray("A B C D\r\n\nE F\r\n\r\nH I J K\r\n\r\n") << 2 << QVector<int> { 3 }
                                  << false;
        QTest::newRow("ohne Ende") << QByteArray("A B C D\r\nX Y Z W\r\nE F G") << 2 << QVector<int> { 3 } << false;
        QTest::newRow("Umlaute") << QByteArray("J\xc3\xbcrgen M\xc3\xbcller Herren Ja\n\xc3\x84 \xc3\x96 Damen nein\n")
                                 << 2 << QVector<int> {} << false;
        QTest::newRow("Trenner") << QByteArray("A B C D\nE F:x G H\nI J K L\n") << 2 << QVector<int> { 2 } << false;
        QTest::newRow("DEL") << QByteArray("A B C D\nE F\x7f G H\n") << 0 << QVector<int> {} << true;
        QTest::newRow("NEL") << QByteArray("A B C D\nE F\xc2\x85 G H\n") << 0 << QVector<int> {} << true;
    }
    void zeilenNummernUndZeichen()
    {
        QFETCH(QByteArray, inhalt);
        QFETCH(int, spieler);
        QFETCH(QVector<int>, uebersprungen);
        QFETCH(bool, abgewiesen);
        const Spielerdatei::Ergebnis e = Spielerdatei::lesen(inhalt);
        QCOMPARE(!e.fehler.isEmpty(), abgewiesen);
        if (abgewiesen) {
            QVERIFY2(e.fehler.contains(QStringLiteral("Steuerzeichen")), qPrintable(e.fehler));
            QVERIFY(e.spieler.isEmpty());
            return;
        }
        QCOMPARE(e.spieler.size(), spieler);
        QVector<int> nummern;
        for (const Spielerdatei::Uebersprungen& u : e.uebersprungeneZeilen)
            nummern << u.nummer;
        QCOMPARE(nummern, uebersprungen);
        QCOMPARE(e.uebersprungen, uebersprungen.size());
    }

    void namensregelJenseitsVonAscii()
    {
        QVERIFY(Namensregel::zulaessig(QStringLiteral("J\u00fcrgen")));
        QVERIFY(Namensregel::zulaessig(QStringLiteral("~^&%")));
        QVERIFY(Namensregel::zulaessig(QStringLiteral("\u00c9mile-Z\u00f6e")));
        for (const QString& falsch : { QStringLiteral("a:b"), QStringLiteral("\u00e4$"), QStringLiteral("x|"),
                 QStringLiteral("a@b"), QStringLiteral("a\u007f"), QStringLiteral("a\u0085b"), QStringLiteral("\u009f"),
                 QStringLiteral("a\tb"), QStringLiteral("=A"), QStringLiteral("-1") })
            QVERIFY2(!Namensregel::zulaessig(falsch), qPrintable(falsch));
        QVERIFY(Namensregel::zulaessig(QStringLiteral("-")));
    }

    // The choice list is refilled as one reset: a view or proxy on it hears
    // of one change, and gets every row with its roles and the headers.
    void auswahlInEinemZug()
    {
        Spielerauswahl::Modell m;
        QSortFilterProxyModel proxy;
        proxy.setSourceModel(&m);
        QSignalSpy zurueck(&m, &QAbstractItemModel::modelReset);
        QSignalSpy eingefuegt(&m, &QAbstractItemModel::rowsInserted);
        QSignalSpy geaendert(&m, &QAbstractItemModel::dataChanged);
        auto zeilen = [](int n, int ab) {
            QList<QList<QStandardItem*>> z;
            for (int i = 0; i < n; ++i) {
                auto* v = new QStandardItem(QStringLiteral("V%1").arg(ab + i));
                v->setData(ab + i, Qt::UserRole + 1);
                z.append(QList<QStandardItem*> { v, new QStandardItem(QStringLiteral("N%1").arg(ab + i)) });
            }
            return z;
        };
        m.ersetzen({ QStringLiteral("Vorname"), QStringLiteral("Nachname") }, zeilen(500, 100));
        QCOMPARE(zurueck.count(), 1);
        QCOMPARE(eingefuegt.count(), 0);
        QCOMPARE(geaendert.count(), 0);
        QCOMPARE(proxy.rowCount(), 500);
        QCOMPARE(proxy.columnCount(), 2);
        QCOMPARE(m.item(499, 0)->data(Qt::UserRole + 1).toInt(), 599);
        QCOMPARE(m.item(499, 1)->text(), QStringLiteral("N599"));
        QCOMPARE(proxy.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Nachname"));

        // A smaller group replaces every row.
        m.ersetzen({ QStringLiteral("Vorname"), QStringLiteral("Nachname") }, zeilen(3, 7));
        QCOMPARE(zurueck.count(), 2);
        QCOMPARE(proxy.rowCount(), 3);
        QCOMPARE(m.item(0, 0)->text(), QStringLiteral("V7"));
        m.ersetzen({ QStringLiteral("Vorname"), QStringLiteral("Nachname") }, {});
        QCOMPARE(proxy.rowCount(), 0);
        QCOMPARE(m.columnCount(), 2);
    }

    // A first-name cell holds its roles itself: reading, changing (one
    // change notice, none for the same value), copying, sorting and the
    // model's itemData() see them as they see a plain item's.
    void vornameZelle()
    {
        using namespace Spielerauswahl;
        Modell m;
        QList<QList<QStandardItem*>> zeilen;
        const QVector<Spielerauswahl::Spieler> spieler = { { 105, QStringLiteral("Udo"), QStringLiteral("Zahn"), true, false },
            { 101, QStringLiteral("\u00c4nne"), QStringLiteral("Berg"), false, true },
            { 103, QStringLiteral("Carl"), QStringLiteral("Dorn"), true, true } };
        for (const Spielerauswahl::Spieler& s : spieler)
            zeilen.append(QList<QStandardItem*> { new VornameZelle(s), new QStandardItem(s.nachname) });
        m.ersetzen({ QStringLiteral("Vorname"), QStringLiteral("Nachname") }, zeilen);
        for (int z = 0; z < spieler.size(); ++z) {
            const QModelIndex i = m.index(z, 0);
            QCOMPARE(i.data().toString(), spieler.at(z).vorname);
            QCOMPARE(i.data(Qt::EditRole).toString(), spieler.at(z).vorname);
            QCOMPARE(i.data(StartNrRolle), QVariant(spieler.at(z).startNr));
            QCOMPARE(i.data(MitgliedRolle), QVariant(spieler.at(z).mitglied));
            QCOMPARE(i.data(PreisskatRolle), QVariant(spieler.at(z).preisskat));
            QVERIFY(!i.data(PreisskatRolle + 1).isValid());
            const QMap<int, QVariant> rollen = m.itemData(i);
            QCOMPARE(rollen.value(Qt::DisplayRole).toString(), spieler.at(z).vorname);
            QCOMPARE(rollen.value(StartNrRolle), QVariant(spieler.at(z).startNr));
            QCOMPARE(rollen.value(PreisskatRolle), QVariant(spieler.at(z).preisskat));
        }

        QSignalSpy geaendert(&m, &QAbstractItemModel::dataChanged);
        QStandardItem* carl = m.item(2, 0);
        carl->setData(false, MitgliedRolle);
        QCOMPARE(geaendert.count(), 1);
        QCOMPARE(geaendert.first().at(0).toModelIndex(), m.index(2, 0));
        QCOMPARE(m.index(2, 0).data(MitgliedRolle), QVariant(false));
        carl->setData(false, MitgliedRolle);
        QCOMPARE(geaendert.count(), 1);
        // Other roles are the plain item's.
        carl->setData(QStringLiteral("Tipp"), Qt::ToolTipRole);
        QCOMPARE(geaendert.count(), 2);
        QCOMPARE(m.index(2, 0).data(Qt::ToolTipRole).toString(), QStringLiteral("Tipp"));
        QCOMPARE(m.itemData(m.index(2, 0)).value(Qt::ToolTipRole).toString(), QStringLiteral("Tipp"));
        carl->setText(QStringLiteral("Karl"));
        QCOMPARE(m.index(2, 0).data().toString(), QStringLiteral("Karl"));

        std::unique_ptr<QStandardItem> kopie(carl->clone());
        QCOMPARE(kopie->text(), QStringLiteral("Karl"));
        QCOMPARE(kopie->data(StartNrRolle), QVariant(103));
        QCOMPARE(kopie->data(MitgliedRolle), QVariant(false));
        QCOMPARE(kopie->type(), carl->type());

        QSortFilterProxyModel proxy;
        proxy.setSourceModel(&m);
        proxy.setSortRole(StartNrRolle);
        proxy.sort(0);
        QCOMPARE(proxy.index(0, 1).data().toString(), QStringLiteral("Berg"));
        QCOMPARE(proxy.index(2, 1).data().toString(), QStringLiteral("Zahn"));
    }

    // After an import the choice list is built from the rows just stored:
    // it must be what reading them back gives, for every player group.
    void auswahlWieGespeichert()
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("auswahl"));
        db.setDatabaseName(QStringLiteral(":memory:"));
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(Schema::spielerTabelle));
        QVERIFY(QSqlQuery(db).exec(QStringLiteral("INSERT INTO Spieler VALUES (100, 'Anna', 'Berg', 'Damen', 'Ja', "
                                                  "'Ja'), (101, 'Otto', 'Alt', 'Herren', 'Ja', 'Nein')")));
        const Spielerdatei::Ergebnis datei
            = Spielerdatei::lesen("Carl Dorn Herren nein\nAnna Berg Damen Ja\n"
                                  "J\xc3\xbcrgen M\xc3\xbcller Herren Ja\nEva Funk Senioren Ja\n");
        QCOMPARE(datei.spieler.size(), 4);
        const Spielerdatei::Plan plan = Spielerdatei::planen(Spielerdatei::rosterLesen(db), {}, datei.spieler);
        QVERIFY(Spielerdatei::rosterErsetzen(db, plan.eintraege));
        for (const QString& gruppe : { QStringLiteral("Alle"), QStringLiteral("Herren"), QStringLiteral("Damen"),
                 QStringLiteral("Senioren"), QStringLiteral("Jugend") }) {
            const QVector<Spielerauswahl::Spieler> gelesen = Spielerauswahl::lesen(db, gruppe);
            const QVector<Spielerauswahl::Spieler> gebaut = Spielerauswahl::ausEintraegen(plan.eintraege, gruppe);
            QCOMPARE(gebaut.size(), gelesen.size());
            for (int i = 0; i < gelesen.size(); ++i) {
                QCOMPARE(gebaut.at(i).startNr, gelesen.at(i).startNr);
                QCOMPARE(gebaut.at(i).vorname, gelesen.at(i).vorname);
                QCOMPARE(gebaut.at(i).nachname, gelesen.at(i).nachname);
                QCOMPARE(gebaut.at(i).mitglied, gelesen.at(i).mitglied);
                QCOMPARE(gebaut.at(i).preisskat, gelesen.at(i).preisskat);
            }
        }
        // Anna kept her number and prize-skat flag; Carl is no member.
        const QVector<Spielerauswahl::Spieler> alle
            = Spielerauswahl::ausEintraegen(plan.eintraege, QStringLiteral("Alle"));
        QCOMPARE(alle.size(), 4);
        QCOMPARE(alle.at(1).startNr, 100);
        QVERIFY(alle.at(1).preisskat);
        QVERIFY(!alle.at(0).mitglied);
        QCOMPARE(alle.at(0).startNr, 101);
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("auswahl"));
    }

    void dateiKodierungUndAbweisung()
    {
        // Latin-1 / Windows-1252 from an old editor.
        const Spielerdatei::Ergebnis latin = Spielerdatei::lesen("J\xfcrgen M\xfcller Herren Ja\r\n\x80uro Gr\xf6\xdf"
                                                                 "e Alle nein\r\n");
        QVERIFY(latin.fehler.isEmpty());
        QVERIFY(latin.windows1252);
        QCOMPARE(latin.spieler.size(), 2);
        QCOMPARE(latin.spieler[0].vorname, QString::fromUtf8("J\xc3\xbcrgen"));
        QCOMPARE(latin.spieler[0].nachname, QString::fromUtf8("M\xc3\xbcller"));
        QCOMPARE(latin.spieler[1].vorname, QString::fromUtf8("\xe2\x82\xacuro"));
        QCOMPARE(latin.spieler[1].nachname,
            QString::fromUtf8("Gr\xc3\xb6\xc3\x9f"
                              "e"));

        // UTF-8 with a byte order mark: the mark is not part of the name.
        const Spielerdatei::Ergebnis bom = Spielerdatei::lesen("\xef\xbb\xbfJ\xc3\xbcrgen Berg Alle Ja\n");
        QVERIFY(!bom.windows1252);
        QCOMPARE(bom.spieler.value(0).vorname, QString::fromUtf8("J\xc3\xbcrgen"));

        // "Unicode" from a Windows editor: UTF-16 with its mark, both byte orders.
        const QString text = QString::fromUtf8("J\xc3\xbcrgen M\xc3\xbcller Herren Ja\r\nAnna Berg Damen nein\r\n");
        QByteArray le("\xff\xfe", 2), be("\xfe\xff", 2);
        for (const QChar c : text) {
            const ushort u = c.unicode();
            le.append(char(u & 0xff)).append(char(u >> 8));
            be.append(char(u >> 8)).append(char(u & 0xff));
        }
        for (const QByteArray& utf16 : { le, be }) {
            const Spielerdatei::Ergebnis e = Spielerdatei::lesen(utf16);
            QVERIFY2(e.fehler.isEmpty(), qPrintable(e.fehler));
            QCOMPARE(e.spieler.size(), 2);
            QCOMPARE(e.spieler[0].nachname, QString::fromUtf8("M\xc3\xbcller"));
            QCOMPARE(e.spieler[1].mitglied, QStringLiteral("Nein"));
            QVERIFY(!e.windows1252);
        }
        // The same without a mark has NULs in every line.
        QVERIFY(!Spielerdatei::lesen(le.mid(2)).fehler.isEmpty());

        // Not text: refused as a whole, no player read.
        const QByteArray gross(Spielerdatei::maxGroesse + 1, 'a');
        QVERIFY(!Spielerdatei::lesen(gross).fehler.isEmpty());
        QVERIFY(!Spielerdatei::lesen(QByteArray("Anna Berg Damen Ja\nAb\0cd Berg Damen Ja\n", 39)).fehler.isEmpty());
        // A control character other than TAB and the line ends: no text.
        const Spielerdatei::Ergebnis klingel = Spielerdatei::lesen("Anna Berg Damen Ja\nBernd Cord\x07 Herren Ja\n");
        QVERIFY(klingel.fehler.contains(QStringLiteral("Zeile 2")));
        QVERIFY(klingel.spieler.isEmpty());
        QVERIFY(!Spielerdatei::lesen(QByteArray("Anna Berg Damen Ja\n\x1b[0m\n")).fehler.isEmpty());
        const Spielerdatei::Ergebnis meist
            = Spielerdatei::lesen("Anna Berg Damen Ja\nzwei Felder\nein\ndrei Felder hier\n");
        QVERIFY(!meist.fehler.isEmpty());
        QVERIFY(meist.spieler.isEmpty());
        // Half valid is not "most lines invalid".
        QVERIFY(Spielerdatei::lesen("Anna Berg Damen Ja\nzwei Felder\n").fehler.isEmpty());
    }

    // A spreadsheet's text export: a line with a TAB is split at TABs only,
    // so a field may hold spaces; a lone CR ends a line; a stray CR or TAB
    // costs at most its line, which is listed with its number and reason.
    void tabulatorenUndZeilenenden()
    {
        const Spielerdatei::Ergebnis e = Spielerdatei::lesen("Hans Peter\tvon Berg\tAlle\tJa\r\n"
                                                             "Anna\tBerg\tDamen\tnein\r"
                                                             "Carl Dorn Herren Ja\r"
                                                             "Dora\tEck\tDamen\n"
                                                             "Emil Funk\tHerren Ja\n"
                                                             "Fritz Gabel Herren Ja\r\n"
                                                             "Gerd\t\tHerren\tJa\n");
        QVERIFY2(e.fehler.isEmpty(), qPrintable(e.fehler));
        QCOMPARE(e.spieler.size(), 4);
        QCOMPARE(e.spieler[0].vorname, QStringLiteral("Hans Peter"));
        QCOMPARE(e.spieler[0].nachname, QStringLiteral("von Berg"));
        QCOMPARE(e.spieler[0].gruppe, QStringLiteral("Alle"));
        QCOMPARE(e.spieler[1].mitglied, QStringLiteral("Nein"));
        QCOMPARE(e.spieler[2].vorname, QStringLiteral("Carl"));
        QCOMPARE(e.spieler[3].nachname, QStringLiteral("Gabel"));
        QCOMPARE(e.uebersprungen, 3);
        QCOMPARE(e.uebersprungeneZeilen.size(), 3);
        QCOMPARE(e.uebersprungeneZeilen[0].nummer, 4);
        QCOMPARE(e.uebersprungeneZeilen[0].text, QStringLiteral("Dora\tEck\tDamen"));
        QCOMPARE(e.uebersprungeneZeilen[0].grund, QStringLiteral("3 durch Tabulatoren getrennte Felder statt 4"));
        QCOMPARE(e.uebersprungeneZeilen[1].nummer, 5);
        QCOMPARE(e.uebersprungeneZeilen[2].nummer, 7);
        QCOMPARE(e.uebersprungeneZeilen[2].grund, QStringLiteral("ein Feld ist leer"));

        // UTF-16 with TABs: its zero bytes are no NUL characters.
        const QString text = QStringLiteral("Anna\tBerg\tDamen\tJa\r\n");
        QByteArray le("\xff\xfe", 2);
        for (const QChar c : text)
            le.append(char(c.unicode() & 0xff)).append(char(c.unicode() >> 8));
        const Spielerdatei::Ergebnis utf16 = Spielerdatei::lesen(le);
        QVERIFY2(utf16.fehler.isEmpty(), qPrintable(utf16.fehler));
        QCOMPARE(utf16.spieler.size(), 1);

        // A spreadsheet cell padded with a space still must not carry a formula in.
        const Spielerdatei::Ergebnis gepolstert
            = Spielerdatei::lesen("Anna\tBerg\tDamen\tJa\n Ina\t =Summe\tDamen\tJa\nOtto\t @x \tAlle\tJa\n"
                                  "Bert\tAbel\tAlle\tJa\nCarl\tDorn\tAlle\tJa\n");
        QVERIFY2(gepolstert.fehler.isEmpty(), qPrintable(gepolstert.fehler));
        QCOMPARE(gepolstert.spieler.size(), 3);
        QCOMPARE(gepolstert.uebersprungeneZeilen.size(), 2);
        QCOMPARE(gepolstert.uebersprungeneZeilen[0].nummer, 2);
    }

    void startNummernBeimImport()
    {
        using Spielerdatei::Zeile;
        auto zeile = [](const char* v, const char* n) {
            return Zeile { QString::fromUtf8(v), QString::fromUtf8(n), QStringLiteral("Alle"), QStringLiteral("Ja") };
        };
        const QVector<Spielerdatei::Bisher> roster = { { 100, "Anna", "Berg", "Ja" }, { 101, "Bernd", "Cord", "Nein" },
            { 102, "Carl", "Dorn", "Ja" }, { 105, "Anna", "Berg", "Nein" } };
        // 103 was Otto's on an earlier match day, 104 stood for two people,
        // 106 for Dora, who is no longer in the roster.
        const QVector<Spielerdatei::Nummer> anderswo = { { 103, "Otto Lehmann" }, { 104, "Xaver Ypsilon" },
            { 104, "Zoe Zander" }, { 106, "Dora Eck" }, { 100, "Anna Berg" }, { 7, "Alt Nummer" } };
        const Spielerdatei::Plan p = Spielerdatei::planen(roster, anderswo,
            { zeile("Bernd", "Cord"), zeile("Otto", "Lehmann"), zeile("Neu", "Eins"), zeile("Anna", "Berg"),
                zeile("Anna", "Berg"), zeile("Anna", "Berg"), zeile("Neu", "Zwei"), zeile("Zoe", "Zander") });
        QVector<int> nummern;
        QStringList preisskat;
        for (const Spielerdatei::Eintrag& e : p.eintraege) {
            nummern << e.startNr;
            preisskat << e.preisskat;
        }
        QCOMPARE(nummern, (QVector<int> { 101, 103, 102, 100, 105, 107, 108, 109 }));
        QCOMPARE(preisskat, (QStringList { "Nein", "Nein", "Nein", "Ja", "Nein", "Nein", "Nein", "Nein" }));
        QCOMPARE(p.behalten, 3);
        QCOMPARE(p.neu, 5);

        // A fresh roster is numbered from 100, in the file's order.
        const Spielerdatei::Plan frisch
            = Spielerdatei::planen({}, {}, { zeile("A", "B"), zeile("C", "D"), zeile("A", "B") });
        QCOMPARE(frisch.eintraege.value(0).startNr, 100);
        QCOMPARE(frisch.eintraege.value(1).startNr, 101);
        QCOMPARE(frisch.eintraege.value(2).startNr, 102);
        QCOMPARE(frisch.neu, 3);
    }

    void importErsetztDieListe()
    {
        Fenster w;
        spielerAnlegen(*w, 5);
        // Nothing in either place: the user hears where we looked.
        w->form()->pbSpielerAusListeLaden->click();
        QCOMPARE(w.d.fehlerTexte.size(), 1);
        QVERIFY(w.d.fehlerTexte.first().contains(Testumgebung::dokumente() + QStringLiteral("/ReizwerkSpieler.txt")));
        QVERIFY(w.d.fehlerTexte.first().contains(Testumgebung::downloads() + QStringLiteral("/ReizwerkSpieler.txt")));
        QCOMPARE(roster(*w).size(), 5);

        // Only bad lines: the roster stays as it was.
        schreiben(Testumgebung::downloads() + QStringLiteral("/ReizwerkSpieler.txt"),
            "Anna  Berg Damen Ja\nnur drei Felder\n");
        w->form()->pbSpielerAusListeLaden->click();
        QCOMPARE(w.d.fehlerTexte.size(), 2);
        QVERIFY(w.d.fehlerTexte.last().contains(QStringLiteral("Downloads/ReizwerkSpieler.txt")));
        QVERIFY(w.d.fehlerTexte.last().contains(QStringLiteral("vier")));
        QCOMPARE(roster(*w).size(), 5);

        // The documents folder wins over the download folder. Replacing a
        // roster that has players is asked first; No changes nothing.
        schreiben(Testumgebung::dokumente() + QStringLiteral("/ReizwerkSpieler.txt"),
            "Anna Berg Damen Ja\r\nBert Cramer Herren nein\r\nzu viele Felder hier drin\r\nCarl Dorn Herren Ja\r\n");
        w.d.antworte(false);
        w->form()->pbSpielerAusListeLaden->click();
        QCOMPARE(w.d.fragen.size(), 1);
        QVERIFY(w.d.fragen.first().contains(QStringLiteral("mit 5 Spielern")));
        QVERIFY(w.d.fragen.first().contains(QStringLiteral("die 3 Spieler")));
        QCOMPARE(roster(*w).size(), 5);
        w.d.antworte(true);
        w->form()->pbSpielerAusListeLaden->click();
        QCOMPARE(w.d.fehlerTexte.size(), 2);
        QCOMPARE(roster(*w),
            (QStringList {
                "100|Anna|Berg|Damen|Ja|Nein", "101|Bert|Cramer|Herren|Nein|Nein", "102|Carl|Dorn|Herren|Ja|Nein" }));
        QCOMPARE(w->spieler()->rowCount(), 3);
        QVERIFY2(
            w->statusBar()->currentMessage().startsWith(QStringLiteral("3 Spieler gelesen, 1 Zeilen uebersprungen")),
            qPrintable(w->statusBar()->currentMessage()));
        // The skipped line is shown, with its number and why.
        QCOMPARE(w.d.infos.size(), 1);
        QVERIFY2(w.d.infos.last().contains(QStringLiteral(
                     "Zeile 3: zu viele Felder hier drin (5 durch Leerzeichen getrennte Felder statt 4)")),
            qPrintable(w.d.infos.last()));
    }

    void fehlgeschlagenerImportLaesstListeGanz()
    {
        Fenster w;
        spielerAnlegen(*w, 4);
        QSqlDatabase db = w->registry().hauptDatenbank();
        // A trigger that fails on the third insert stands in for a failed write.
        sql(db,
            QStringLiteral("CREATE TRIGGER bremse BEFORE INSERT ON Spieler WHEN NEW.StartNr = 102 "
                           "BEGIN SELECT RAISE(ABORT, 'Platte voll'); END"));
        QVector<Spielerdatei::Zeile> neu;
        for (int i = 0; i < 5; ++i)
            neu << Spielerdatei::Zeile { QStringLiteral("N%1").arg(i), QStringLiteral("X"), QStringLiteral("Alle"),
                QStringLiteral("Ja") };
        QVERIFY(!Spielerdatei::rosterErsetzen(db, frischNummeriert(neu)));
        QCOMPARE(roster(*w).size(), 4);
        QVERIFY(roster(*w).first().contains(QStringLiteral("Vorname1")));

        // A large import goes through in one transaction.
        sql(db, QStringLiteral("DROP TRIGGER bremse"));
        QVector<Spielerdatei::Zeile> viele;
        for (int i = 0; i < 5000; ++i)
            viele << Spielerdatei::Zeile { QStringLiteral("V%1").arg(i), QStringLiteral("N%1").arg(i),
                QStringLiteral("Alle"), QStringLiteral("Ja") };
        QVERIFY(Spielerdatei::rosterErsetzen(db, frischNummeriert(viele)));
        QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Spieler")).toInt(), 5000);
        QCOMPARE(wert(db, QStringLiteral("SELECT MAX(StartNr) FROM Spieler")).toInt(), 5099);
    }
};

REIZWERK_TEST(TstRoster)
#include "tst_roster.moc"
