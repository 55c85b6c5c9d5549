#include "testumgebung.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSpinBox>
#include <QSqlQuery>
#include <QSqlTableModel>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTableView>

#include "auslosen.h"
#include "draw/auslosungsdaten.h"
#include "print/dokumente.h"
#include "setup/teilnehmertabelle.h"
#include "storage/pfade.h"
#include "storage/spieltagleser.h"
#include "widgets/treeview.h"

using Turnierbau::sql;

namespace
{


// The pairs at one table of a stored series.
QSet<QPair<int, int>> paareVon(QSqlDatabase db, int serie)
{
    QMap<int, QList<int>> tische;
    const Sitze s = sitzeVon(db, serie);
    for (auto it = s.cbegin(); it != s.cend(); ++it)
        if (it->first > 0)
            tische[it->first] << it.key();
    QSet<QPair<int, int>> paare;
    for (const QList<int>& t : tische)
        for (int i = 0; i < t.size(); ++i)
            for (int j = i + 1; j < t.size(); ++j)
                paare.insert({ qMin(t[i], t[j]), qMax(t[i], t[j]) });
    return paare;
}

// Pairs of a series who already shared a table in an earlier series.
int wiederholungen(QSqlDatabase db, int serie)
{
    QSet<QPair<int, int>> frueher;
    for (int s = 1; s < serie; ++s)
        frueher.unite(paareVon(db, s));
    return int(paareVon(db, serie).intersect(frueher).size());
}

int gesetzt(QSqlDatabase db, int serie)
{
    int n = 0;
    for (const auto& sitz : sitzeVon(db, serie))
        n += sitz.first > 0;
    return n;
}

// The number and the repeats the status bar names after a draw.
QRegularExpressionMatch meldung(MainWindow& w)
{
    return QRegularExpression(QStringLiteral("Losnummer (\\d+), (\\d+) Wiederholung"))
        .match(w.statusBar()->currentMessage());
}

void zuruecksetzen(Fenster& w, int serie)
{
    emit w->teilnehmerAnsicht()->header()->sectionPressed(Spalte::tisch(serie));
    w.d.antworte(true);
    w->form()->pbAuslosungZuruecksetzen->click();
}

QStringList texte(const Druck::Dokument& d)
{
    QStringList t;
    for (const Druck::Seite& s : d.seiten)
        for (const Druck::Seite::Text& x : s.texte)
            t << x.text;
    return t;
}

} // namespace

class TstFaireAuslosungFenster : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    // The draw itself for other numbers of players: TstFaireAuslosung.
    void ohneWiederholungenGespeichert()
    {
        const int spieler = 16, serien = 3;
        Fenster w;
        QSqlDatabase db = w.gruppe(spieler, serien);
        QVERIFY(db.isOpen());
        for (int s = 1; s <= serien; ++s) {
            QVERIFY(auslosen(*w, s));
            const QRegularExpressionMatch m = meldung(*w);
            QVERIFY2(m.hasMatch(), qPrintable(w->statusBar()->currentMessage()));
            QCOMPARE(m.captured(2).toInt(), 0);
            QCOMPARE(wiederholungen(db, s), 0);
            QCOMPARE(gesetzt(db, s), spieler);
            QCOMPARE(Turnierbau::wert(db, QStringLiteral("SELECT Losnummer FROM Auslosung WHERE Serie=%1").arg(s))
                         .toLongLong(),
                m.captured(1).toLongLong());
        }
        QVERIFY(w.d.unerwartet.isEmpty());
    }

    void nochmalMitNummer()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(16, 3);
        sql(db, QStringLiteral("UPDATE Serie2 SET Aktiv=0 WHERE StartNr=105"));
        QVERIFY(auslosen(*w, 1));
        QVERIFY(auslosen(*w, 2));
        const Sitze vorher = sitzeVon(db, 2);
        const qint64 nummer = meldung(*w).captured(1).toLongLong();
        QVERIFY(nummer > 0);
        QCOMPARE(gesetzt(db, 2), 15);

        // Not reset yet: nothing to draw.
        QVERIFY(mitDialog(w->aktion(QStringLiteral("actAuslosenMitNummer")), "DlgLosnummer",
            [](QWidget* dlg) { knopf(dlg, QDialogButtonBox::Ok); }));
        QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("Serie 2 ist bereits ausgelost"));

        zuruecksetzen(w, 2);
        QCOMPARE(gesetzt(db, 2), 0);
        // The dialog offers the series drawn last with its number; an
        // invalid number cannot be confirmed.
        QVERIFY(mitDialog(w->aktion(QStringLiteral("actAuslosenMitNummer")), "DlgLosnummer", [nummer](QWidget* dlg) {
            auto* serie = dlg->findChild<QComboBox*>(QStringLiteral("cmbSerie"));
            auto* zahl = dlg->findChild<QLineEdit*>(QStringLiteral("leLosnummer"));
            auto* ok = dlg->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))->button(QDialogButtonBox::Ok);
            QCOMPARE(serie->currentText(), QStringLiteral("Serie 2"));
            QCOMPARE(zahl->text(), QString::number(nummer));
            serie->setCurrentIndex(2);
            QVERIFY(zahl->text().isEmpty());
            QVERIFY(!ok->isEnabled());
            serie->setCurrentIndex(1);
            QVERIFY(ok->isEnabled());
            knopf(dlg, QDialogButtonBox::Ok);
        }));
        QCOMPARE(sitzeVon(db, 2), vorher);
        QCOMPARE(meldung(*w).captured(1).toLongLong(), nummer);
        QCOMPARE(w->tabelle()->tischItem(w->tabelle()->zeileVon(105), 2)->text(), QStringLiteral("-1"));

        // That other numbers give other seatings: TstFaireAuslosung.

        // Seated by standing, the series keeps no number.
        zuruecksetzen(w, 2);
        QVERIFY(auslosen(*w, 2, "rbRang"));
        QVERIFY(!Auslosungsdaten::losungLesen(db, 2).has_value());
        QVERIFY(Auslosungsdaten::losungLesen(db, 1).has_value());
    }

    void trennpaareImDialog()
    {
        Fenster w;
        Turnierbau::spielerAnlegen(*w, 8);
        auto waehlen = [](QWidget* dlg, int a, int b) {
            auto* ca = dlg->findChild<QComboBox*>(QStringLiteral("cmbSpielerA"));
            auto* cb = dlg->findChild<QComboBox*>(QStringLiteral("cmbSpielerB"));
            ca->setCurrentIndex(ca->findData(a));
            cb->setCurrentIndex(cb->findData(b));
            dlg->findChild<QPushButton*>(QStringLiteral("pbTrennen"))->click();
            return dlg->findChild<QLabel*>(QStringLiteral("lblMeldung"))->text();
        };
        QVERIFY(mitDialog(w->aktion(QStringLiteral("actFaireAuslosung")), "DlgTrennpaare", [&](QWidget* dlg) {
            auto* an = dlg->findChild<QCheckBox*>(QStringLiteral("cbWiederholungenVermeiden"));
            auto* tage = dlg->findChild<QSpinBox*>(QStringLiteral("spbSpieltage"));
            QVERIFY(an->isChecked());
            QCOMPARE(tage->value(), 0);
            QCOMPARE(waehlen(dlg, 101, 100), QString());
            QVERIFY(waehlen(dlg, 100, 101).startsWith(QStringLiteral("FEHLER: ")));
            QVERIFY(waehlen(dlg, 102, 102).startsWith(QStringLiteral("FEHLER: ")));
            QCOMPARE(waehlen(dlg, 103, 102), QString());
            auto* paare = dlg->findChild<QTreeView*>(QStringLiteral("trvTrennpaare"));
            QCOMPARE(paare->model()->rowCount(), 2);
            QCOMPARE(paare->model()->index(0, 0).data().toString(), QStringLiteral("100"));
            QCOMPARE(paare->model()->index(0, 2).data().toString(), QStringLiteral("101"));
            QCOMPARE(paare->model()->index(1, 1).data().toString(), QStringLiteral("Vorname3 Nachname3"));

            // Removing asks; No keeps the pair.
            paare->setCurrentIndex(paare->model()->index(1, 0));
            w.d.antworte(false);
            dlg->findChild<QPushButton*>(QStringLiteral("pbEntfernen"))->click();
            QCOMPARE(paare->model()->rowCount(), 2);
            an->setChecked(false);
            tage->setValue(3);
            knopf(dlg, QDialogButtonBox::Close);
        }));
        QCOMPARE(w.d.fragen.size(), 1);
        QCOMPARE(w->settings()->value(Auslosungsdaten::schluesselAusgleich).toBool(), false);
        QCOMPARE(w->settings()->value(Auslosungsdaten::schluesselSpieltage).toInt(), 3);
        QSqlDatabase haupt = w->registry().hauptDatenbank();
        QCOMPARE(
            Auslosungsdaten::trennpaareLesen(haupt), (QVector<FaireAuslosung::Paar> { { 100, 101 }, { 102, 103 } }));

        // A player who leaves the roster takes his pairs along, before his
        // start number can be given to someone else.
        QTableView* liste = w->form()->tblViewSpieler;
        QSqlTableModel* m = w->spieler();
        for (int z = 0; z < m->rowCount(); ++z)
            if (m->index(z, 0).data().toInt() == 101)
                liste->selectRow(z);
        w->form()->pbDeleteSpieler->click();
        QCOMPARE(Turnierbau::spalte(haupt, QStringLiteral("SELECT StartNrA FROM Trennpaare")), QVariantList { 102 });
    }

    void getrenntBeimAuslosen()
    {
        {
            Fenster w;
            QSqlDatabase db = w.gruppe(8, 4);
            QSqlDatabase haupt = w->registry().hauptDatenbank();
            for (int a = 100; a < 108; a += 2)
                QVERIFY(Auslosungsdaten::trennpaarHinzufuegen(haupt, a, a + 1, nullptr));
            // Two tables of four: from series 2 on every table holds two
            // who sat together before (four repeats at least); the couples
            // are still kept apart.
            for (int s = 1; s <= 4; ++s) {
                QVERIFY(auslosen(*w, s));
                const QSet<QPair<int, int>> paare = paareVon(db, s);
                for (int a = 100; a < 108; a += 2)
                    QVERIFY(!paare.contains({ a, a + 1 }));
                QCOMPARE(meldung(*w).captured(2).toInt(), wiederholungen(db, s));
            }
            QCOMPARE(wiederholungen(db, 2), 4);
        }

        // Four players at one table: the draw names the pair it could not
        // keep apart, and the list prints the count.
        Testumgebung::frischesZuhause();
        Fenster v;
        QSqlDatabase klein = v.gruppe(4, 2);
        QVERIFY(Auslosungsdaten::trennpaarHinzufuegen(v->registry().hauptDatenbank(), 102, 100, nullptr));
        QVERIFY(auslosen(*v, 1));
        QVERIFY2(v->statusBar()->currentMessage().endsWith(QStringLiteral("0 Wiederholungen, nicht getrennt: 100/102")),
            qPrintable(v->statusBar()->currentMessage()));
        Spieltag::Gruppe g;
        QVERIFY(Spieltag::gruppeLesen(klein, g));
        QVERIFY(
            texte(Druck::tischliste(g, 1)).join(QLatin1Char('\n')).contains(QStringLiteral("1 Paar nicht getrennt")));
    }

    // The window follows the setting: the plain draw (which knows nothing
    // of earlier series, and seats by number as the fair one does, see
    // TstFaireAuslosung) repeats pairs over some numbers, the fair one never.
    void ohneAusgleichReinerZufall()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(16, 3);
        w->settings()->setValue(Auslosungsdaten::schluesselAusgleich, false);
        QVERIFY(auslosen(*w, 1));
        QVERIFY(auslosen(*w, 2));
        QCOMPARE(meldung(*w).captured(2).toInt(), wiederholungen(db, 2));
        int mitWiederholung = 0;
        for (qint64 n = 1; n <= 12; ++n) {
            zuruecksetzen(w, 2);
            w->auslosenMitLosnummer(2, n);
            mitWiederholung += wiederholungen(db, 2) > 0;
        }
        QVERIFY(mitWiederholung > 0);
        w->settings()->setValue(Auslosungsdaten::schluesselAusgleich, true);
        for (qint64 n = 1; n <= 12; ++n) {
            zuruecksetzen(w, 2);
            w->auslosenMitLosnummer(2, n);
            QCOMPARE(wiederholungen(db, 2), 0);
        }
    }

    void fruehereSpieltageZaehlen()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(16, 2);
        const QString gruppe = w->form()->cmbTeilnehmerGruppe->currentText();
        // Last week the same group sat at four tables of four: 100-103, ...
        const QString ordner
            = Pfade::turnierVerzeichnis(w->datenVerzeichnis(), w->form()->dateEdit->date().addDays(-7));
        QDir().mkpath(ordner);
        Turnierbau::gruppenDateiAnlegen(Pfade::gruppenDatei(ordner, gruppe), gruppe, 16, 4);
        {
            QSqlDatabase alt = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("letzteWoche"));
            alt.setDatabaseName(Pfade::gruppenDatei(ordner, gruppe));
            QVERIFY(alt.open());
            for (int i = 0; i < 16; ++i)
                Turnierbau::sitze(alt, 1, { { 100 + i, 1 + i / 4, 1 + i % 4 } });
            alt.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("letzteWoche"));
        w->settings()->setValue(Auslosungsdaten::schluesselSpieltage, 1);
        for (int s = 1; s <= 2; ++s) {
            QVERIFY(auslosen(*w, s));
            QCOMPARE(meldung(*w).captured(2).toInt(), 0);
            for (const QPair<int, int>& p : paareVon(db, s))
                QVERIFY2((p.first - 100) / 4 != (p.second - 100) / 4,
                    qPrintable(QStringLiteral("%1 %2").arg(p.first).arg(p.second)));
        }
        QCOMPARE(wiederholungen(db, 2), 0);
    }

    void tischlisteNenntLosnummer()
    {
        Fenster w;
        QSqlDatabase db = w.gruppe(8, 2);
        QVERIFY(auslosen(*w, 1));
        const qint64 nummer = meldung(*w).captured(1).toLongLong();
        QVERIFY(auslosen(*w, 2, "rbRang"));
        Spieltag::Gruppe g;
        QVERIFY(Spieltag::gruppeLesen(db, g));
        QCOMPARE(g.losungen.value(1).losnummer, nummer);
        QVERIFY(!g.losungen.contains(2));
        QVERIFY(texte(Druck::tischliste(g, 1))
                    .join(QLatin1Char('\n'))
                    .contains(QStringLiteral("Losnummer %1, 0 Wiederholungen").arg(nummer)));
        QVERIFY(!texte(Druck::tischliste(g, 2)).join(QLatin1Char('\n')).contains(QStringLiteral("Losnummer")));
    }
};

REIZWERK_TEST(TstFaireAuslosungFenster)
#include "tst_faireauslosungfenster.moc"
