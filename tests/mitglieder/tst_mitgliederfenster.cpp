#include "testumgebung.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
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
};

REIZWERK_TEST(TestMitgliederFenster)
#include "tst_mitgliederfenster.moc"
