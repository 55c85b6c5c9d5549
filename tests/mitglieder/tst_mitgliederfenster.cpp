#include "testumgebung.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlTableModel>
#include <QStandardItemModel>
#include <QStatusBar>

#include "app/mainwindow.h"
#include "mitglieder/mitgliederliste.h"

using namespace Turnierbau;

namespace
{

QString datei(const QString& name, const QByteArray& inhalt)
{
    const QString pfad = QDir(Testumgebung::dokumente()).filePath(name);
    QDir().mkpath(Testumgebung::dokumente());
    QFile f(pfad);
    if (!f.open(QIODevice::WriteOnly) || f.write(inhalt) != inhalt.size())
        return QString();
    return pfad;
}

} // namespace

class TestMitgliederFenster : public QObject
{
    Q_OBJECT

private slots:
    void init() { Testumgebung::frischesZuhause(); }

    // The federation's list: the report comes before anything is stored,
    // and a No leaves the roster as it was; a Yes merges it.
    void importMitBerichtUndBestaetigung()
    {
        Fenster f;
        spielerAnlegen(
            *f, { { "Hans", "Meier", "Alle", "Ja", "Ja", 100 }, { "Otto", "Bleibt", "Alle", "Ja", "Nein", 101 } });
        const QString pfad = datei(QStringLiteral("verband.csv"),
            QByteArray("\"Mitgliedsnummer\";\"Vorname\";\"Nachname\";\"Verein\"\r\n"
                       "\"4711\";\"Hans\";\"Meier\";\"SC Nord\"\r\n"
                       "\"4712\";\"Anna Lena\";\"von der Heide\";\"SC Nord\"\r\n"
                       "\"4713\";\"\";\"Ohne\";\"SC Nord\"\r\n"));
        QVERIFY(!pfad.isEmpty());
        QSqlDatabase db = f->registry().hauptDatenbank();

        for (bool ja : { false, true }) {
            f.d.infos.clear();
            f.d.dateiname(pfad);
            f.d.antworte(ja);
            bool gesehen = false;
            QVERIFY(mitDialog(aktionBereit(*f, QStringLiteral("actSpielerImportieren")), "DlgMitgliederliste",
                [&gesehen](QWidget* dlg) {
                    auto* vorname = dlg->findChild<QComboBox*>(QStringLiteral("cmbSpalteVorname"));
                    auto* nr = dlg->findChild<QComboBox*>(QStringLiteral("cmbSpalteMitgliedsnummer"));
                    QVERIFY(vorname && nr);
                    // Guessed from the captions.
                    QCOMPARE(vorname->currentData().toInt(), 1);
                    QCOMPARE(nr->currentData().toInt(), 0);
                    gesehen = true;
                    knopf(dlg, QDialogButtonBox::Ok);
                }));
            QVERIFY(gesehen);
            QCOMPARE(f.d.infos.size(), 1);
            const QString bericht = f.d.infos.first();
            QVERIFY2(bericht.contains(QLatin1String("Zeile 4: uebersprungen")), qPrintable(bericht));
            QVERIFY(bericht.contains(QLatin1String("Anna Lena von der Heide neu mit Startnummer 102")));
            QVERIFY(bericht.contains(QLatin1String("Otto Bleibt")));
            QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Spieler")).toInt(), ja ? 3 : 2);
        }
        QCOMPARE(wert(db, QStringLiteral("SELECT Preisskat FROM Spieler WHERE StartNr = 100")).toString(),
            QStringLiteral("Ja"));
        QCOMPARE(wert(db, QStringLiteral("SELECT Verein FROM Mitgliedsdaten WHERE StartNr = 102")).toString(),
            QStringLiteral("SC Nord"));
        QVERIFY(f.d.unerwartet.isEmpty());

        // The roster tells member number and club as a row's tooltip.
        QSqlTableModel* roster = f->spieler();
        QVERIFY(roster);
        QString tipp;
        for (int z = 0; z < roster->rowCount(); ++z)
            if (roster->index(z, 0).data(Qt::EditRole).toInt() == 102)
                tipp = roster->index(z, 2).data(Qt::ToolTipRole).toString();
        QVERIFY2(
            tipp.contains(QLatin1String("Mitgliedsnummer: 4712")) && tipp.contains(QLatin1String("Verein: SC Nord")),
            qPrintable(tipp));
    }

    // A guest in one step: name and group, the next free number, not a member.
    void gastInEinemSchritt()
    {
        Fenster f;
        spielerAnlegen(*f, { { "Hans", "Meier", "Alle", "Ja", "Nein", 100 } });
        QSqlDatabase db = f->registry().hauptDatenbank();
        QVERIFY(mitDialog(aktionBereit(*f, QStringLiteral("actGastAufnehmen")), "DlgGast", [](QWidget* dlg) {
            auto* vorname = dlg->findChild<QLineEdit*>(QStringLiteral("leGastVorname"));
            auto* nachname = dlg->findChild<QLineEdit*>(QStringLiteral("leGastNachname"));
            auto* box = dlg->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
            QVERIFY(vorname && nachname && box);
            vorname->setText(QStringLiteral("Anna Lena"));
            nachname->setText(QStringLiteral("Pipe|Frau"));
            QVERIFY(!box->button(QDialogButtonBox::Ok)->isEnabled());
            nachname->setText(QStringLiteral("von der Heide"));
            QVERIFY(box->button(QDialogButtonBox::Ok)->isEnabled());
            knopf(dlg, QDialogButtonBox::Ok);
        }));
        QCOMPARE(spalte(db,
                     QStringLiteral("SELECT StartNr || ' ' || VorName || ' ' || NachName || ' ' || Mitglied "
                                    "FROM Spieler ORDER BY StartNr")),
            (QVariantList { "100 Hans Meier Ja", "101 Anna Lena von der Heide Nein" }));
        QVERIFY(f->statusBar()->currentMessage().contains(QLatin1String("101")));

        QString fehler;
        QVERIFY(!Mitgliederliste::gastAnlegen(db, 101, "Zweiter", "Gast", "Alle", &fehler));
        QVERIFY(!fehler.isEmpty());
        QCOMPARE(wert(db, QStringLiteral("SELECT COUNT(*) FROM Spieler")).toInt(), 2);
    }

    // Before the group is confirmed the desk fills the participant
    // selection; by keyboard: a number, a part of a name, Enter.
    void anmeldungVorDemFestlegen()
    {
        Fenster f;
        spielerAnlegen(*f,
            { { "Hans Peter", "von Berg", "Alle", "Ja", "Nein", 100 }, { "Eva", "Schulz", "Alle", "Ja", "Nein", 101 },
                { "Eva", "Meier", "Alle", "Ja", "Nein", 102 } });
        QVERIFY(neuesTurnier(*f, f.d, 2));
        QVERIFY(mitDialog(aktionBereit(*f, QStringLiteral("actAnmeldung")), "DlgAnmeldung", [&f](QWidget* dlg) {
            auto* eingabe = dlg->findChild<QLineEdit*>(QStringLiteral("leAnmeldungEingabe"));
            auto* meldung = dlg->findChild<QLabel*>(QStringLiteral("lblAnmeldungMeldung"));
            auto* stand = dlg->findChild<QLabel*>(QStringLiteral("lblAnmeldungStand"));
            QVERIFY(eingabe && meldung && stand);
            QTest::keyClicks(eingabe, QStringLiteral("101"));
            QTest::keyClick(eingabe, Qt::Key_Return);
            QVERIFY(eingabe->text().isEmpty());
            QTest::keyClicks(eingabe, QStringLiteral("eva"));
            QTest::keyClick(eingabe, Qt::Key_Return);
            // Two Evas: nobody is taken until the text is clear.
            QVERIFY2(meldung->text().contains(QLatin1String("2 Treffer")), qPrintable(meldung->text()));
            eingabe->clear();
            QTest::keyClicks(eingabe, QStringLiteral("von berg"));
            QTest::keyClick(eingabe, Qt::Key_Return);
            QTest::keyClicks(eingabe, QStringLiteral("101"));
            QTest::keyClick(eingabe, Qt::Key_Return);
            QVERIFY(meldung->text().contains(QLatin1String("schon angemeldet")));
            QVERIFY2(stand->text().contains(QLatin1String("2 angemeldet")), qPrintable(stand->text()));
            QCOMPARE(f->teilnehmer()->rowCount(), 2);
            dlg->close();
        }));
        QCOMPARE(spaltenTexte(f->teilnehmer(), 1), (QStringList { "Eva Schulz", "Hans Peter von Berg" }));
    }

    // After the confirmation a check-in is a late registration, paid at the
    // door; an unknown name becomes a guest in one step.
    void anmeldungNachDemFestlegenUndGast()
    {
        Fenster f;
        QSqlDatabase gruppe = f.gruppe(4, 2);
        QVERIFY(gruppe.isValid());
        spielerAnlegen(*f, { { "Karl", "Spaet", "Alle", "Ja", "Nein", 0 } });
        const int spaet
            = wert(f->registry().hauptDatenbank(), "SELECT StartNr FROM Spieler WHERE NachName = 'Spaet'").toInt();
        QVERIFY(spaet > 0);
        QVERIFY(mitDialog(aktionBereit(*f, QStringLiteral("actAnmeldung")), "DlgAnmeldung", [&](QWidget* dlg) {
            auto* eingabe = dlg->findChild<QLineEdit*>(QStringLiteral("leAnmeldungEingabe"));
            auto* gast = dlg->findChild<QPushButton*>(QStringLiteral("pbAnmeldungGast"));
            auto* stand = dlg->findChild<QLabel*>(QStringLiteral("lblAnmeldungStand"));
            QVERIFY(eingabe && gast && stand);
            QTest::keyClicks(eingabe, QStringLiteral("spaet"));
            QTest::keyClick(eingabe, Qt::Key_Return);
            QVERIFY2(stand->text().contains(QLatin1String("5 angemeldet, 1 bezahlt")), qPrintable(stand->text()));

            QTest::keyClicks(eingabe, QStringLiteral("Anna von Gast"));
            QTest::keyClick(eingabe, Qt::Key_Return);
            QVERIFY(gast->isEnabled());
            auto gesehen = beimNaechstenDialog("DlgGast", [](QWidget* g) {
                auto* vorname = g->findChild<QLineEdit*>(QStringLiteral("leGastVorname"));
                auto* nachname = g->findChild<QLineEdit*>(QStringLiteral("leGastNachname"));
                QCOMPARE(vorname->text(), QStringLiteral("Anna von"));
                QCOMPARE(nachname->text(), QStringLiteral("Gast"));
                // The organiser corrects the split, still by keyboard.
                vorname->setText(QStringLiteral("Anna"));
                nachname->setText(QStringLiteral("von Gast"));
                knopf(g, QDialogButtonBox::Ok);
            });
            // The mnemonic goes to the active window, as at the desk.
            QApplication::setActiveWindow(dlg);
            QTest::keyClick(eingabe, Qt::Key_G, Qt::AltModifier);
            // A mnemonic clicks its button a moment later.
            QTRY_VERIFY(*gesehen);
            QVERIFY2(stand->text().contains(QLatin1String("6 angemeldet, 2 bezahlt")), qPrintable(stand->text()));
            dlg->close();
        }));
        QCOMPARE(wert(gruppe, QStringLiteral("SELECT COUNT(*) FROM Teilnehmer")).toInt(), 6);
        QCOMPARE(wert(gruppe, QStringLiteral("SELECT Alles FROM Zahlungen WHERE StartNr = %1").arg(spaet)).toInt(), 1);
        QCOMPARE(wert(f->registry().hauptDatenbank(),
                     QStringLiteral("SELECT Mitglied FROM Spieler WHERE NachName = 'von Gast'"))
                     .toString(),
            QStringLiteral("Nein"));
        QCOMPARE(wert(gruppe, QStringLiteral("SELECT COUNT(*) FROM Serie1")).toInt(), 6);
    }
};

REIZWERK_TEST(TestMitgliederFenster)
#include "tst_mitgliederfenster.moc"
