#include "testumgebung.h"

#include <QAction>
#include <QDialog>
#include <QHeaderView>
#include <QSettings>
#include <QSpinBox>
#include <QSqlQuery>
#include <QStandardItemModel>

#include "app/mainwindow.h"
#include "setup/dlgnewgroup.h"
#include "setup/teilnehmertabelle.h"
#include "storage/pfade.h"
#include "ui_mainwindow.h"
#include "widgets/mysortfilterproxymodel.h"
#include "widgets/treeview.h"

using namespace Turnierbau;

class TstGruppe : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void neueGruppeAnlegen()
    {
        Fenster w;
        int ersterTisch = -1;
        auto tischImDialog = [&](QWidget* dlg) {
            ersterTisch = dlg->findChild<QSpinBox*>(QStringLiteral("spbErsteTischNr"))->value();
        };
        QVERIFY(mitDialog(w->aktion(QStringLiteral("actNeuesTurnier")), "DlgNewGroup", tischImDialog));
        QCOMPARE(ersterTisch, 1);
        QVERIFY(w.d.fragen.isEmpty());
        // Cancel leaves the fields and the menu as they were.
        QCOMPARE(w->form()->leAnzahlSerien->text(), QStringLiteral("2"));
        QVERIFY(!w->aktion(QStringLiteral("actNeueSpielGruppe"))->isEnabled());

        // Seven players from table 4, three series.
        spielerAnlegen(*w,
            { { "Anna", "Berg", "Alle", "Ja", "Ja" }, { "Bernd", "Cord", "Alle", "Nein", "Nein" }, { "Carla", "Dorn" },
                { "Dirk", "Esch" }, { "Eva", "Falk" }, { "Fritz", "Gans" }, { "Gabi", "Hut" } });
        QVERIFY(neuesTurnier(*w, w.d, 3, 4));
        teilnehmerWaehlen(*w);
        QVERIFY(w->form()->tbTeilnehmerOk->isEnabled());
        QVERIFY(!w->form()->pbAuslosen->isEnabled());
        // No keeps everything open.
        w.d.antworte(false);
        w->form()->tbTeilnehmerOk->click();
        QCOMPARE(w.d.fragen.last(),
            QStringLiteral("Alle Teilnehmer ausgewaehlt?\nAnzahl Serien und Anzahl Spieler korrekt?"));
        QVERIFY(w->form()->tbTeilnehmerOk->isEnabled());
        QVERIFY(!QFile::exists(w->turnierOrdner() + QStringLiteral("/Alle.db")));

        teilnehmerBestaetigen(*w, w.d);
        QSqlDatabase db = w->registry().datenbank(QStringLiteral("Alle"));
        QVERIFY(db.isOpen());
        const QString tag = QDate::currentDate().toString(QStringLiteral("dd_MM_yyyy"));
        QVERIFY(db.databaseName().endsWith(tag + QStringLiteral("/Alle.db")));
        // Kept relative to the data folder.
        QCOMPARE(w->settings()->value(QStringLiteral("lastdatabasedir")).toString(), tag);
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral(
            "SELECT Name, Datum, Serien, AnzahlSpiele3er, AnzahlSpiele4er, ErsterTisch, LetzterTisch FROM Gruppe")));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("Alle"));
        QCOMPARE(q.value(1).toString(), QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
        QCOMPARE(q.value(2).toInt(), 3);
        QCOMPARE(q.value(3).toInt(), 36);
        QCOMPARE(q.value(4).toInt(), 48);
        QCOMPARE(q.value(5).toInt(), 4);
        QCOMPARE(q.value(6).toInt(), 5); // 7 players: tables 4 (four) and 5 (three)
        QVERIFY(!q.next());
        QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Teilnehmer")).toInt(), 7);
        QCOMPARE(
            wert(db,
                QStringLiteral("SELECT Name || '|' || Mitglied || '|' || Preisskat || '|' || SummePunkte || '|' || "
                               "SummeKosten FROM Teilnehmer WHERE StartNr=100"))
                .toString(),
            QStringLiteral("Anna Berg|1|1|0|0"));
        QCOMPARE(wert(db, QStringLiteral("SELECT Mitglied || Preisskat FROM Teilnehmer WHERE StartNr=101")).toString(),
            QStringLiteral("00"));
        for (int s = 1; s <= 3; ++s) {
            QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Serie%1").arg(s)).toInt(), 7);
            QCOMPARE(wert(db,
                         QStringLiteral("SELECT COUNT(*) FROM Serie%1 WHERE Aktiv=1 AND Punkte=0 AND Tisch=0 "
                                        "AND TischIntern=0 AND Kosten=0")
                             .arg(s))
                         .toInt(),
                7);
        }
        Ui::MainWindow* ui = w->form();
        QVERIFY(!ui->tbSpielerHinzu->isEnabled());
        QVERIFY(!ui->tbSpielerWeg->isEnabled());
        QVERIFY(!ui->tbTeilnehmerOk->isEnabled());
        QVERIFY(ui->pbAuslosen->isEnabled());
        QVERIFY(ui->pbAuslosungZuruecksetzen->isEnabled());
        QCOMPARE(ui->cmbTeilnehmerGruppe->currentText(), QStringLiteral("Alle"));
        QCOMPARE(w->teilnehmer()->rowCount(), 7);

        // The group ends at table 5: the next group starts behind it.
        QCOMPARE(DlgNewGroup::ersterFreierTisch(w->registry().map(), 1), 6);
        QCOMPARE(DlgNewGroup::ersterFreierTisch(w->registry().map(), 9), 9);
        // A database that already holds its group is not written again.
        sql(db, QStringLiteral("UPDATE Gruppe SET AnzahlSpiele3er=11"));
        QVERIFY(mitDialog(w->aktion(QStringLiteral("actNeueSpielGruppe")), "DlgNewGroup", [&](QWidget* dlg) {
            tischImDialog(dlg);
            static_cast<QDialog*>(dlg)->accept();
        }));
        QCOMPARE(ersterTisch, 6);
        teilnehmerWaehlen(*w);
        teilnehmerBestaetigen(*w, w.d);
        db = w->registry().datenbank(QStringLiteral("Alle"));
        QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Gruppe")).toInt(), 1);
        QCOMPARE(wert(db, QStringLiteral("SELECT AnzahlSpiele3er FROM Gruppe")).toInt(), 11);
        QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Teilnehmer")).toInt(), 7);
        QVERIFY(w.d.unerwartet.isEmpty());
    }

    void teilnehmerZeilenUndEntfernen()
    {
        Fenster w;
        const QVector<int> nr = spielerAnlegen(
            *w, { { "Anna", "Berg", "Alle", "Nein", "Ja" }, { "Bernd", "Cord" }, { "Carla", "Dorn" } });
        QVERIFY(neuesTurnier(*w, w.d, 3));
        teilnehmerWaehlen(*w, { nr[0] });
        teilnehmerWaehlen(*w, { nr[0] });
        QStandardItemModel* m = w->teilnehmer();
        QCOMPARE(m->rowCount(), 1);
        QCOMPARE(m->columnCount(), 14);
        QCOMPARE(m->item(0, 0)->text(), QStringLiteral("100"));
        QCOMPARE(m->item(0, 0)->data(Qt::UserRole + 1).toInt(), 100);
        QCOMPARE(m->item(0, 1)->text(), QStringLiteral("Anna Berg"));
        QCOMPARE(m->item(0, 1)->data(Qt::UserRole + 2).toBool(), false);
        QCOMPARE(m->item(0, 2)->text(), QStringLiteral("Ja"));
        for (int s = 1; s <= 3; ++s) {
            const int art[] = { 100, 101, 102 };
            const QString text[] = { "0", "0", "0.0" };
            const QColor farbe[] = { Qt::red, Qt::darkGreen, Qt::blue };
            for (int k = 0; k < 3; ++k) {
                QStandardItem* item = m->item(0, 3 * s + k);
                QCOMPARE(item->text(), text[k]);
                QCOMPARE(item->data(Qt::UserRole + 1).toInt(), s);
                QCOMPARE(item->data(Qt::UserRole + 2).toInt(), 3 * s + k);
                QCOMPARE(item->data(Qt::UserRole + 3).toInt(), art[k]);
                QCOMPARE(item->foreground().color(), farbe[k]);
                QVERIFY(!item->isEditable());
            }
        }
        QCOMPARE(m->item(0, 12)->text(), QStringLiteral("0"));
        QCOMPARE(m->item(0, 13)->text(), QStringLiteral("0.0"));
        QCOMPARE(m->headerData(4, Qt::Horizontal).toString(), QStringLiteral("TischS1"));

        // Remove the current row while the view is sorted by another column.
        teilnehmerWaehlen(*w, { nr[1], nr[2] });
        QCOMPARE(m->rowCount(), 3);
        QCOMPARE(w->form()->leTischaufteilung->text(), QStringLiteral("3 Spieler - 4er 0 - 3er 1"));
        TreeView* ansicht = w->teilnehmerAnsicht();
        ansicht->sortByColumn(1, Qt::AscendingOrder); // names Z to A: Carla, Bernd, Anna
        QCOMPARE(ansicht->model()->index(0, 1).data().toString(), QStringLiteral("Carla Dorn"));
        ansicht->setCurrentIndex(ansicht->model()->index(1, 1));
        w->form()->tbSpielerWeg->click();
        QCOMPARE(m->rowCount(), 2);
        QVERIFY(w->tabelle()->zeileVon(101) < 0);
        QVERIFY(w->tabelle()->zeileVon(100) >= 0);
        QCOMPARE(w->form()->leTischaufteilung->text(), QStringLiteral("2 Spieler - 4er 0 - 3er 0"));
    }

    void gespeicherteGruppeOeffnen()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(10, 2);
        QVERIFY(db.isOpen());
        // Results as a finished match day would hold them.
        sql(db, QStringLiteral("UPDATE Serie1 SET Punkte=-1 WHERE StartNr=100"));
        sql(db, QStringLiteral("UPDATE Serie1 SET Punkte=10, Kosten=2, Tisch=3, TischIntern=2 WHERE StartNr=101"));
        sql(db, QStringLiteral("UPDATE Serie1 SET Kosten=2.34, Tisch=3, TischIntern=1 WHERE StartNr=102"));
        sql(db, QStringLiteral("UPDATE Teilnehmer SET SummePunkte=10, SummeKosten=2 WHERE StartNr=101"));
        w.neuStarten();
        QStandardItemModel* m = w->teilnehmer();
        QCOMPARE(m->rowCount(), 10);
        QCOMPARE(kopfTexte(m),
            (QStringList { "Nr", "Name", "Preisskat", "PktS1", "TischS1", "KostenS1", "PktS2", "TischS2", "KostenS2",
                "Summe Punkte", "Summe Kosten" }));
        TeilnehmerTabelle* t = w->tabelle();
        QCOMPARE(t->kostenItem(t->zeileVon(101), 1)->text(), QStringLiteral("2.0"));
        QCOMPARE(t->kostenItem(t->zeileVon(102), 1)->text(), QStringLiteral("2.3"));
        QCOMPARE(t->tischItem(t->zeileVon(101), 1)->data(Qt::UserRole + 4).toInt(), 2);
        QCOMPARE(t->summePunkteItem(t->zeileVon(101))->text(), QStringLiteral("10"));
        QCOMPARE(t->summeKostenItem(t->zeileVon(101))->text(), QStringLiteral("2.0"));
        QCOMPARE(w->form()->leTischaufteilung->text(), QStringLiteral("Spieler-10 4er-1 3er-2"));
        QCOMPARE(m->item(0, 0)->text(), QStringLiteral("100")); // the model is ordered by start number
        for (int z = 0; z < m->rowCount(); ++z)
            for (int c = 0; c < m->columnCount(); ++c)
                QVERIFY(!m->item(z, c)->isEditable());

        TreeView* ansicht = w->teilnehmerAnsicht();
        ansicht->sortByColumn(3, Qt::AscendingOrder);
        QCOMPARE(ansicht->model()->index(0, 3).data().toString(), QStringLiteral("-1"));
        QCOMPARE(ansicht->model()->index(1, 3).data().toString(), QStringLiteral("0"));
        QCOMPARE(ansicht->model()->index(9, 3).data().toString(), QStringLiteral("10"));
        ansicht->sortByColumn(4, Qt::AscendingOrder);
        QCOMPARE(ansicht->model()->index(8, 0).data().toString(), QStringLiteral("102"));
        QCOMPARE(ansicht->model()->index(9, 0).data().toString(), QStringLiteral("101"));

        QMetaObject::invokeMethod(w.get(), "onTischSectionClicked", Q_ARG(int, 7));
        QCOMPARE(w->serieGewaehlt(), 2);
        QMetaObject::invokeMethod(w.get(), "onTischSectionClicked", Q_ARG(int, 1));
        QCOMPARE(w->serieGewaehlt(), 0);
        emit ansicht->header()->sectionPressed(4);
        QCOMPARE(w->serieGewaehlt(), 1);

        // A group without a connection changes nothing.
        QMetaObject::invokeMethod(w.get(), "onChangeAktuelleSpielGruppe", Q_ARG(QString, QStringLiteral("Gibtsnicht")));
        QCOMPARE(m->rowCount(), 10);
    }

    void gruppennameMitHochkomma()
    {
        Testumgebung::einstellen(QStringLiteral("Gruppe/Gruppe6"), QStringLiteral("Jung's"));
        Fenster w;
        spielerAnlegen(*w, 3, QStringLiteral("Jung's"));
        spielerAnlegen(*w, 2, QStringLiteral("Herren"));
        w->form()->cmbSpielerGruppe->setCurrentText(QStringLiteral("Jung's"));
        QCOMPARE(w->auswahl()->rowCount(), 3);
        QVERIFY(neuesTurnier(*w, w.d, 2));
        teilnehmerWaehlen(*w);
        teilnehmerBestaetigen(*w, w.d);
        QSqlDatabase db = w->registry().datenbank(QStringLiteral("Jung's"));
        QVERIFY(db.isOpen());
        QCOMPARE(wert(db, QStringLiteral("SELECT Name FROM Gruppe")).toString(), QStringLiteral("Jung's"));
        w.neuStarten();
        QCOMPARE(w->form()->cmbTeilnehmerGruppe->currentText(), QStringLiteral("Jung's"));
        QCOMPARE(w->teilnehmer()->rowCount(), 3);
        QCOMPARE(w->form()->dateEdit->date(), QDate::currentDate());
    }
};

REIZWERK_TEST(TstGruppe)
#include "tst_gruppe.moc"
