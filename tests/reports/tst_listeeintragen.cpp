#include "testumgebung.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QStandardItemModel>

#include "app/mainwindow.h"
#include "scoring/dlglisteeintragen.h"
#include "setup/teilnehmertabelle.h"
#include "ui_mainwindow.h"

using Turnierbau::wert;

namespace
{

// What a row of the dialog shows.
QStringList reihe(QWidget* dlg, int r)
{
    QStringList texte;
    for (const char* feld : { "leStartNr", "leName", "lePunkte", "leKosten" })
        texte << dlg->findChild<QLineEdit*>(QString::fromLatin1(feld) + QString::number(r))->text();
    return texte;
}

bool reiheVierOffen(QWidget* dlg)
{
    return dlg->findChild<QLineEdit*>(QStringLiteral("lePunkte4"))->isEnabled()
        && dlg->findChild<QLineEdit*>(QStringLiteral("leKosten4"))->isEnabled();
}

// Chooses an entry of a selector the way a user does.
void waehlen(QWidget* dlg, const char* name, const QString& text)
{
    auto* cmb = dlg->findChild<QComboBox*>(QString::fromLatin1(name));
    const int i = cmb->findText(text);
    cmb->setCurrentIndex(i);
    if (i >= 0)
        emit cmb->textActivated(text);
}

void setzen(QWidget* dlg, const char* name, const QString& text)
{
    dlg->findChild<QLineEdit*>(QString::fromLatin1(name))->setText(text);
}

const QStringList leer = { QString(), QString(), QString(), QString() };

} // namespace

class TstListeEintragen : public QObject
{
    Q_OBJECT

    std::unique_ptr<Fenster> f;
    QSqlDatabase db;

    // Opens the game-list dialog of the window and lets `handeln` fill it in.
    bool listeEintragen(std::function<void(QWidget*)> handeln)
    {
        return mitDialog((*f)->form()->pbListeEintragen, "DlgListeEintragen", std::move(handeln));
    }

private slots:
    // Seven players (100..106), two series: table 1 seats four, table 2 three.
    // Series 2 seats them out of start-number order.
    void init()
    {
        Testumgebung::frischesZuhause();
        f = std::make_unique<Fenster>();
        db = f->gruppe(7, 2);
        QVERIFY(db.isValid());
        Turnierbau::sitze(db, 2,
            { { 103, 1, 1 }, { 101, 1, 2 }, { 100, 1, 3 }, { 102, 1, 4 }, { 105, 2, 1 }, { 104, 2, 2 },
                { 106, 2, 3 } });
        Turnierbau::sql(db, QStringLiteral("UPDATE Serie2 SET Punkte=40, Kosten=1.5 WHERE StartNr=101"));
        // Series 1: only table 2 has a list, with two players.
        Turnierbau::sitze(db, 1, { { 100, 2, 1 }, { 101, 2, 2 } });
    }

    void cleanup()
    {
        if (f)
            QVERIFY2(f->d.unerwartet.isEmpty(), qPrintable(f->d.unerwartet.join(QLatin1Char(','))));
        db = QSqlDatabase();
        f.reset();
    }

    void laden()
    {
        DlgListeEintragen dlg(1, 2, 2, db);
        auto* tisch = dlg.findChild<QComboBox*>(QStringLiteral("cmbTisch"));
        auto* serie = dlg.findChild<QComboBox*>(QStringLiteral("cmbSerie"));
        QCOMPARE(tisch->count(), 2);
        QCOMPARE(serie->count(), 3);
        QCOMPARE(serie->itemData(2).toInt(), 2);

        // Opening: first table, series 0, empty rows.
        QCOMPARE(tisch->currentText(), QStringLiteral("1"));
        QCOMPARE(serie->currentText(), QStringLiteral("0"));
        for (int r = 1; r <= 4; ++r)
            QCOMPARE(reihe(&dlg, r), leer);

        // Series 2: table 1 in seat order.
        waehlen(&dlg, "cmbSerie", QStringLiteral("2"));
        QCOMPARE(reihe(&dlg, 1), (QStringList { "103", "Vorname4 Nachname4", "0", "0.0" }));
        QCOMPARE(reihe(&dlg, 2), (QStringList { "101", "Vorname2 Nachname2", "40", "1.5" }));
        QCOMPARE(reihe(&dlg, 3), (QStringList { "100", "Vorname1 Nachname1", "0", "0.0" }));
        QCOMPARE(reihe(&dlg, 4), (QStringList { "102", "Vorname3 Nachname3", "0", "0.0" }));
        QVERIFY(reiheVierOffen(&dlg));

        // A table of three: row 4 empty and closed; back to four: open again.
        waehlen(&dlg, "cmbTisch", QStringLiteral("2"));
        QCOMPARE(reihe(&dlg, 1), (QStringList { "105", "Vorname6 Nachname6", "0", "0.0" }));
        QCOMPARE(reihe(&dlg, 3).first(), QStringLiteral("106"));
        QCOMPARE(reihe(&dlg, 4), leer);
        QVERIFY(!reiheVierOffen(&dlg));
        waehlen(&dlg, "cmbTisch", QStringLiteral("1"));
        QCOMPARE(reihe(&dlg, 4).first(), QStringLiteral("102"));
        QVERIFY(reiheVierOffen(&dlg));

        // Another series with fewer players: nothing of the earlier rows is
        // left to be applied there.
        waehlen(&dlg, "cmbTisch", QStringLiteral("2"));
        waehlen(&dlg, "cmbSerie", QStringLiteral("1"));
        QCOMPARE(reihe(&dlg, 1).first(), QStringLiteral("100"));
        QCOMPARE(reihe(&dlg, 2).first(), QStringLiteral("101"));
        QCOMPARE(reihe(&dlg, 3), leer);
        QCOMPARE(reihe(&dlg, 4), leer);
        int t = 0, s = 0;
        QList<SpielListenEintrag> liste;
        dlg.eintraege(t, s, liste);
        QCOMPARE(t, 2);
        QCOMPARE(s, 1);
        QCOMPARE(liste.size(), 2);
        waehlen(&dlg, "cmbTisch", QStringLiteral("1"));
        for (int r = 1; r <= 4; ++r)
            QCOMPARE(reihe(&dlg, r), leer);
        dlg.eintraege(t, s, liste);
        QVERIFY(liste.isEmpty());

        // Back to series 0: rows empty.
        waehlen(&dlg, "cmbSerie", QStringLiteral("2"));
        QCOMPARE(reihe(&dlg, 1).first(), QStringLiteral("103"));
        waehlen(&dlg, "cmbSerie", QStringLiteral("0"));
        for (int r = 1; r <= 4; ++r)
            QCOMPARE(reihe(&dlg, r), leer);

        QCOMPARE(dlg.teilnehmerName(104), QStringLiteral("Vorname5 Nachname5"));
        QCOMPARE(dlg.teilnehmerName(999), QString());

        // What the rows hand back: numbers that do not read count 0.
        waehlen(&dlg, "cmbSerie", QStringLiteral("2"));
        setzen(&dlg, "lePunkte1", QStringLiteral("120"));
        setzen(&dlg, "leKosten1", QStringLiteral("3.5"));
        setzen(&dlg, "lePunkte2", QStringLiteral("viel"));
        setzen(&dlg, "leKosten2", QStringLiteral("2,5"));
        setzen(&dlg, "leKosten3", QString());
        dlg.eintraege(t, s, liste);
        QCOMPARE(t, 1);
        QCOMPARE(s, 2);
        QCOMPARE(liste.size(), 4);
        QCOMPARE(liste[0].StartNr, 103);
        QCOMPARE(liste[0].Name, QStringLiteral("Vorname4 Nachname4"));
        QCOMPARE(liste[0].Punkte, 120);
        QCOMPARE(liste[0].Kosten, 3.5);
        QCOMPARE(liste[1].Punkte, 0);
        QCOMPARE(liste[1].Kosten, 2.5);
        QCOMPARE(liste[2].Kosten, 0.0);
        QCOMPARE(liste[3].StartNr, 102);
    }

    void ausDemFenster()
    {
        Fenster& w = *f;
        TeilnehmerTabelle* t = w->tabelle();
        const int z103 = t->zeileVon(103);
        QVERIFY(z103 >= 0);
        QString startTisch;
        bool offenMitLeerenReihen = false;

        // Cancel: nothing changes.
        QVERIFY(listeEintragen([](QWidget* dlg) {
            waehlen(dlg, "cmbSerie", QStringLiteral("2"));
            setzen(dlg, "lePunkte1", QStringLiteral("999"));
            knopf(dlg, QDialogButtonBox::Cancel);
        }));
        QCOMPARE(t->punkteItem(z103, 2)->text(), QStringLiteral("0"));
        QCOMPARE(wert(db, QStringLiteral("SELECT Punkte FROM Serie2 WHERE StartNr=103")).toInt(), 0);

        // Confirming with series 0 changes nothing.
        QVERIFY(listeEintragen([](QWidget* dlg) {
            waehlen(dlg, "cmbSerie", QStringLiteral("2"));
            setzen(dlg, "lePunkte1", QStringLiteral("999"));
            waehlen(dlg, "cmbSerie", QStringLiteral("0"));
            setzen(dlg, "lePunkte1", QStringLiteral("999"));
            knopf(dlg, QDialogButtonBox::Ok);
        }));
        for (int z = 0; z < t->zeilen(); ++z)
            for (int c = 0; c < w->teilnehmer()->columnCount(); ++c)
                QVERIFY(w->teilnehmer()->item(z, c)->text() != QStringLiteral("999"));

        // 120 points and 3.5 costs for the player on seat 1 of table 1, series 2.
        QVERIFY(listeEintragen([&](QWidget* dlg) {
            startTisch = dlg->findChild<QComboBox*>(QStringLiteral("cmbTisch"))->currentText();
            offenMitLeerenReihen = reihe(dlg, 1) == leer
                && dlg->findChild<QComboBox*>(QStringLiteral("cmbSerie"))->currentText() == QStringLiteral("0");
            waehlen(dlg, "cmbSerie", QStringLiteral("2"));
            setzen(dlg, "lePunkte1", QStringLiteral("120"));
            setzen(dlg, "leKosten1", QStringLiteral("3.5"));
            knopf(dlg, QDialogButtonBox::Ok);
        }));
        QCOMPARE(startTisch, QStringLiteral("1"));
        QVERIFY(offenMitLeerenReihen);
        QCOMPARE(t->punkteItem(z103, 2)->text(), QStringLiteral("120"));
        QCOMPARE(t->kostenItem(z103, 2)->text(), QStringLiteral("3.5"));
        QCOMPARE(t->punkteItem(z103, 1)->text(), QStringLiteral("0"));
        // The other rows of the list are applied as the dialog showed them.
        QCOMPARE(t->punkteItem(t->zeileVon(101), 2)->text(), QStringLiteral("40"));
        QCOMPARE(t->kostenItem(t->zeileVon(101), 2)->text(), QStringLiteral("1.5"));
        QCOMPARE(t->punkteItem(t->zeileVon(104), 2)->text(), QStringLiteral("0"));

        // Stored, and the sums follow (what the store keeps besides, the
        // ranking included: TstOffenerSpieltag::speichern).
        QCOMPARE(wert(db, QStringLiteral("SELECT Punkte FROM Serie2 WHERE StartNr=103")).toInt(), 120);
        QCOMPARE(t->summePunkteItem(z103)->text(), QStringLiteral("120"));
        QCOMPARE(t->summeKostenItem(z103)->text(), QStringLiteral("3.5"));
    }
};

REIZWERK_TEST(TstListeEintragen)
#include "tst_listeeintragen.moc"
