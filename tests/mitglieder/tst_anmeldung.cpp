#include "testumgebung.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableWidget>

#include "app/mainwindow.h"
#include "geld/geldspeicher.h"
#include "setup/teilnehmertabelle.h"
#include "ui_mainwindow.h"
#include "widgets/mysortfilterproxymodel.h"
#include "widgets/treeview.h"

using namespace Turnierbau;

namespace
{

// "Hans Zab": no surname is part of another one, so three letters find one.
QString nachname(int i)
{
    return QStringLiteral("Z%1%2").arg(QChar('a' + i / 26)).arg(QChar('a' + i % 26));
}

// Key presses sent to whatever has the keyboard focus, counted as the
// organiser would press them (a modifier is a key of its own).
struct Tastatur {
    int tasten = 0;

    QWidget* ziel() const { return QApplication::focusWidget(); }
    void tippen(const QString& text)
    {
        QVERIFY(ziel());
        QTest::keyClicks(ziel(), text);
        tasten += text.size();
    }
    void taste(Qt::Key key, Qt::KeyboardModifiers mod = Qt::NoModifier)
    {
        QVERIFY(ziel());
        QTest::keyClick(ziel(), key, mod);
        tasten += 1 + (mod == Qt::NoModifier ? 0 : 1);
    }
};

QString zahlungen(QSqlDatabase db)
{
    QStringList t;
    for (const QVariant& v :
        spalte(db, QStringLiteral("SELECT StartNr || '=' || Alles FROM Zahlungen ORDER BY StartNr")))
        t << v.toString();
    return t.join(QLatin1Char(';'));
}

} // namespace

class TstAnmeldung : public QObject
{
    Q_OBJECT

private slots:
    void init() { Testumgebung::frischesZuhause(); }

    // Paid at the door before the group has a file: kept until the group is
    // confirmed, then in its file; who left the selection before has paid
    // nothing there.
    void bezahltVorDemFestlegen()
    {
        Fenster f;
        spielerAnlegen(*f,
            { { "Hans", "Zaa", "Alle", "Ja", "Nein", 100 }, { "Hans", "Zab", "Alle", "Ja", "Nein", 101 },
                { "Hans", "Zac", "Alle", "Ja", "Nein", 102 }, { "Hans", "Zad", "Alle", "Ja", "Nein", 103 } });
        QSqlDatabase haupt = f->registry().hauptDatenbank();
        QVERIFY(neuesTurnier(*f, f.d, 2));
        // Ticked in the list, not yet paid.
        teilnehmerWaehlen(*f, { 103 });
        QVERIFY(mitDialog(aktionBereit(*f, QStringLiteral("actAnmeldung")), "DlgAnmeldung", [&](QWidget* dlg) {
            auto* stand = dlg->findChild<QLabel*>(QStringLiteral("lblAnmeldungStand"));
            auto* liste = dlg->findChild<QTableWidget*>(QStringLiteral("tblAnmeldung"));
            QVERIFY(stand && liste);
            QApplication::setActiveWindow(dlg);
            QVERIFY2(stand->text().contains(QLatin1String("1 angemeldet, 0 bezahlt")), qPrintable(stand->text()));
            Tastatur k;
            for (const QString& t : { "100", "zab", "102", "103" }) {
                k.tippen(t);
                k.taste(Qt::Key_Return);
            }
            QVERIFY2(stand->text().contains(QLatin1String("4 angemeldet, 4 bezahlt")), qPrintable(stand->text()));
            QCOMPARE(liste->rowCount(), 4);
            for (int z = 0; z < 4; ++z)
                QCOMPARE(liste->item(z, 2)->text(), QStringLiteral("Ja"));
            dlg->close();
        }));
        QCOMPARE(wert(haupt, QStringLiteral("SELECT COUNT(*) FROM VorgemerkteZahlungen")).toInt(), 4);

        // 101 leaves the selection again.
        TreeView* ansicht = f->teilnehmerAnsicht();
        const int zeile = f->tabelle()->zeileVon(101);
        QVERIFY(zeile >= 0);
        ansicht->setCurrentIndex(f->teilnehmerSortierung()->mapFromSource(f->teilnehmer()->index(zeile, Spalte::Name)));
        f->form()->tbSpielerWeg->click();
        QCOMPARE(f->teilnehmer()->rowCount(), 3);
        QCOMPARE(spalte(haupt, QStringLiteral("SELECT StartNr FROM VorgemerkteZahlungen ORDER BY StartNr")),
            (QVariantList { 100, 102, 103 }));

        teilnehmerBestaetigen(*f, f.d);
        QSqlDatabase gruppe = f->registry().datenbank(QStringLiteral("Alle"));
        QVERIFY(gruppe.isValid() && gruppe.isOpen());
        QCOMPARE(zahlungen(gruppe), QStringLiteral("100=1;102=1;103=1"));
        QCOMPARE(wert(haupt, QStringLiteral("SELECT COUNT(*) FROM VorgemerkteZahlungen")).toInt(), 0);
        QVERIFY(f.d.unerwartet.isEmpty());

        // Back at the desk, the group's own payments are shown.
        QVERIFY(mitDialog(aktionBereit(*f, QStringLiteral("actAnmeldung")), "DlgAnmeldung", [](QWidget* dlg) {
            auto* stand = dlg->findChild<QLabel*>(QStringLiteral("lblAnmeldungStand"));
            QVERIFY2(stand->text().contains(QLatin1String("3 angemeldet, 3 bezahlt")), qPrintable(stand->text()));
            dlg->close();
        }));
    }

    // What a confirmation could not take over comes in when the desk opens
    // for that group: only its participants', and not over what the group
    // holds already.
    void liegengebliebeneBeimOeffnen()
    {
        Fenster f;
        QSqlDatabase gruppe = f.gruppe(3, 2);
        QVERIFY(gruppe.isValid());
        QSqlDatabase haupt = f->registry().hauptDatenbank();
        const QString name = f->form()->cmbTeilnehmerGruppe->currentText();
        QVERIFY(Geld::zahlungSpeichern(gruppe, 100, { false, 500 }));
        for (int nr : { 100, 101, 150 })
            QVERIFY(Geld::vormerken(haupt, QDate::currentDate(), name, nr, { true, 0 }));
        QVERIFY(mitDialog(aktionBereit(*f, QStringLiteral("actAnmeldung")), "DlgAnmeldung", [](QWidget* dlg) {
            auto* stand = dlg->findChild<QLabel*>(QStringLiteral("lblAnmeldungStand"));
            QVERIFY2(stand->text().contains(QLatin1String("3 angemeldet, 2 bezahlt")), qPrintable(stand->text()));
            dlg->close();
        }));
        QCOMPARE(zahlungen(gruppe), QStringLiteral("100=0;101=1"));
        QCOMPARE(wert(gruppe, QStringLiteral("SELECT Betrag FROM Zahlungen WHERE StartNr = 100")).toInt(), 500);
        QCOMPARE(wert(haupt, QStringLiteral("SELECT COUNT(*) FROM VorgemerkteZahlungen")).toInt(), 0);
    }

    // Sixty known players and a guest by keyboard only: each known player
    // takes his number or three letters of his name and Enter; the guest his
    // name, Enter, Alt+G and Enter in the guest dialog.
    void sechzigUndEinGastPerTastatur()
    {
        Fenster f;
        QVector<Spieler> spieler;
        for (int i = 0; i < 60; ++i)
            spieler << Spieler { QStringLiteral("Hans"), nachname(i), QStringLiteral("Alle"), QStringLiteral("Ja"),
                QStringLiteral("Nein"), 100 + i };
        spielerAnlegen(*f, spieler);
        QVERIFY(neuesTurnier(*f, f.d, 2));
        int tastenBekannt = 0, meisteJeSpieler = 0, tastenGast = 0;
        QVERIFY(mitDialog(aktionBereit(*f, QStringLiteral("actAnmeldung")), "DlgAnmeldung", [&](QWidget* dlg) {
            auto* eingabe = dlg->findChild<QLineEdit*>(QStringLiteral("leAnmeldungEingabe"));
            auto* meldung = dlg->findChild<QLabel*>(QStringLiteral("lblAnmeldungMeldung"));
            auto* stand = dlg->findChild<QLabel*>(QStringLiteral("lblAnmeldungStand"));
            QVERIFY(eingabe && meldung && stand);
            QApplication::setActiveWindow(dlg);
            QCOMPARE(QApplication::focusWidget(), eingabe);
            Tastatur k;
            for (int i = 0; i < 60; ++i) {
                const int vorher = k.tasten;
                // Every other one by start number, the rest by part of the name.
                k.tippen(i % 2 ? nachname(i).toLower() : QString::number(100 + i));
                k.taste(Qt::Key_Return);
                QVERIFY2(meldung->text().endsWith(QLatin1String("angemeldet")), qPrintable(meldung->text()));
                QCOMPARE(f->teilnehmer()->rowCount(), i + 1);
                // Ready for the next one without a further key.
                QVERIFY(eingabe->text().isEmpty());
                QCOMPARE(QApplication::focusWidget(), eingabe);
                meisteJeSpieler = std::max(meisteJeSpieler, k.tasten - vorher);
            }
            tastenBekannt = k.tasten;

            auto gesehen = beimNaechstenDialog("DlgGast", [&k](QWidget* g) {
                QApplication::setActiveWindow(g);
                k.taste(Qt::Key_Return);
                QVERIFY(!g->isVisible());
            });
            k.tippen(QStringLiteral("Gerda Gast"));
            k.taste(Qt::Key_Return);
            k.taste(Qt::Key_G, Qt::AltModifier);
            QTRY_VERIFY(*gesehen);
            QTRY_VERIFY2(stand->text().contains(QLatin1String("61 angemeldet, 61 bezahlt")), qPrintable(stand->text()));
            QApplication::setActiveWindow(dlg);
            QCOMPARE(QApplication::focusWidget(), eingabe);
            tastenGast = k.tasten - tastenBekannt;
            dlg->close();
        }));
        // Three digits or three letters, and Enter.
        QCOMPARE(meisteJeSpieler, 4);
        QCOMPARE(tastenBekannt, 240);
        // The name as typed, Enter, Alt+G, Enter.
        QCOMPARE(tastenGast, 10 + 1 + 2 + 1);

        QSqlDatabase haupt = f->registry().hauptDatenbank();
        QCOMPARE(wert(haupt,
                     QStringLiteral("SELECT StartNr || ' ' || Mitglied FROM Spieler WHERE NachName = 'Gast' "
                                    "AND VorName = 'Gerda'"))
                     .toString(),
            QStringLiteral("160 Nein"));
        QCOMPARE(f->tabelle()->zeilen(), 61);
        QSet<int> dabei;
        for (int z = 0; z < f->tabelle()->zeilen(); ++z)
            dabei.insert(f->tabelle()->startNr(z));
        for (int nr = 100; nr <= 160; ++nr)
            QVERIFY2(dabei.contains(nr), qPrintable(QString::number(nr)));

        teilnehmerBestaetigen(*f, f.d);
        QSqlDatabase gruppe = f->registry().datenbank(QStringLiteral("Alle"));
        QVERIFY(gruppe.isValid() && gruppe.isOpen());
        QCOMPARE(wert(gruppe, QStringLiteral("SELECT COUNT(*) FROM Teilnehmer")).toInt(), 61);
        QCOMPARE(wert(gruppe, QStringLiteral("SELECT COUNT(*) FROM Zahlungen WHERE Alles = 1")).toInt(), 61);
        QCOMPARE(wert(gruppe, QStringLiteral("SELECT Mitglied FROM Teilnehmer WHERE StartNr = 160")).toInt(), 0);
    }
};

REIZWERK_TEST(TstAnmeldung)
#include "tst_anmeldung.moc"
