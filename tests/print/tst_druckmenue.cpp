#include "testumgebung.h"

#include <QAction>
#include <QCalendarWidget>
#include <QDialog>
#include <QDialogButtonBox>
#include <QMenu>
#include <QMenuBar>
#include <QPrintPreviewWidget>
#include <QSpinBox>

#include "druckspieltag.h"

using namespace Druckspieltag;

namespace
{

// Records the suggested file name of each save dialog as well.
class MitVorschlag : public SkriptDialoge
{
public:
    QStringList vorschlaege;
    QString speicherName(
        QWidget* eltern, const QString& titel, const QString& vorschlag, const QString& filter) override
    {
        vorschlaege << vorschlag;
        return SkriptDialoge::speicherName(eltern, titel, vorschlag, filter);
    }
};

struct Vorschau {
    bool gezeigt = false;
    int seiten = -1;
    QString titel;
};

// Arms a handler for the print preview: notes its page count, saves a PDF
// through its own entry when `datei` is given, then closes it.
std::shared_ptr<Vorschau> vorschauErwarten(const QString& datei)
{
    auto v = std::make_shared<Vorschau>();
    beimNaechstenDialog("QPrintPreviewDialog", [v, datei](QWidget* dlg) {
        v->gezeigt = true;
        v->titel = dlg->windowTitle();
        if (auto* w = dlg->findChild<QPrintPreviewWidget*>()) {
            w->updatePreview();
            v->seiten = w->pageCount();
        }
        if (!datei.isEmpty())
            if (auto* a = dlg->findChild<QAction*>(QStringLiteral("actAlsPdf")))
                a->trigger();
        static_cast<QDialog*>(dlg)->reject();
    });
    return v;
}

// Answers the series dialog: checks the preset, picks `serie`.
std::shared_ptr<int> serieWaehlen(int serie)
{
    auto vorgabe = std::make_shared<int>(-1);
    beimNaechstenDialog("DlgDruckSerie", [vorgabe, serie](QWidget* dlg) {
        auto* spb = dlg->findChild<QSpinBox*>(QStringLiteral("spbSerie"));
        *vorgabe = spb ? spb->value() : -2;
        if (spb)
            spb->setValue(serie);
        knopf(dlg, QDialogButtonBox::Ok);
    });
    return vorgabe;
}

} // namespace

class TstDruckMenue : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void menueUndVorschau()
    {
        Fenster w;
        // Without a group there is nothing to print and no dialog.
        QVERIFY(ausloesen(*w, QStringLiteral("actErgebnisliste")));
        QVERIFY(w.d.infos.isEmpty());

        QVERIFY(anlegen(w).isValid());
        auto* menue = w->findChild<QMenu*>(QStringLiteral("menuDrucken"));
        QVERIFY(menue);
        QCOMPARE(menue->title(), QStringLiteral("Dr&ucken"));
        QStringList titel;
        for (QAction* a : w->menuBar()->actions())
            titel << a->text();
        QVERIFY(titel.indexOf(QStringLiteral("Dr&ucken")) > titel.indexOf(QStringLiteral("Editieren")));
        QStringList namen;
        for (QAction* a : menue->actions())
            namen << a->objectName();
        QCOMPARE(namen,
            (QStringList { QStringLiteral("actTischliste"), QStringLiteral("actSpiellisten"),
                QStringLiteral("actErgebnisliste"), QStringLiteral("actRanglisteDrucken") }));

        MitVorschlag skript;
        const QString ordner = Testumgebung::zuhause();

        // Seating list: preset is the last drawn series (3); series 2 is
        // chosen and saved from the preview under a name without suffix.
        skript.dateiname(ordner + QStringLiteral("/aushang"));
        auto vorgabe = serieWaehlen(2);
        auto v = vorschauErwarten(QStringLiteral("x"));
        QVERIFY(ausloesen(*w, QStringLiteral("actTischliste")));
        QCOMPARE(*vorgabe, 3);
        QVERIFY(v->gezeigt);
        QCOMPARE(v->seiten, 2);
        QVERIFY(v->titel.contains(QStringLiteral("Tischliste Serie 2")));
        const QString tag = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
        QCOMPARE(skript.vorschlaege.value(0),
            QDir(w->turnierOrdner()).filePath(QStringLiteral("Herren_%1_Tischliste_S2.pdf").arg(tag)));
        QStringList s = seiten(ordner + QStringLiteral("/aushang.pdf"));
        QCOMPARE(s.size(), 2);
        QVERIFY(s[0].contains(QStringLiteral("Tischliste Serie 2")));

        // Sheets of a series without a draw: a message, no preview.
        serieWaehlen(4);
        QVERIFY(ausloesen(*w, QStringLiteral("actSpiellisten")));
        QCOMPARE(skript.infos.size(), 1);
        QVERIFY(skript.infos[0].contains(QStringLiteral("Serie 4 ist noch nicht ausgelost")));

        // Sheets with the table app's addresses: six pages, codes printed.
        w->setTischAdresse([](const QString& g, int serie, int tisch) {
            return QStringLiteral("http://127.0.0.1:9/%1/%2/%3").arg(g).arg(serie).arg(tisch);
        });
        skript.dateiname(ordner + QStringLiteral("/listen.PDF"));
        serieWaehlen(2);
        v = vorschauErwarten(QStringLiteral("x"));
        QVERIFY(ausloesen(*w, QStringLiteral("actSpiellisten")));
        QVERIFY(v->gezeigt);
        QCOMPARE(v->seiten, 6);
        s = seiten(ordner + QStringLiteral("/listen.PDF"));
        QCOMPARE(s.size(), 6);
        QVERIFY(s[5].contains(QStringLiteral("http://127.0.0.1:9/Herren/2/8")));

        // Results notice straight into the preview; a failed save is FEHLER.
        skript.dateiname(ordner + QStringLiteral("/fehlt/ergebnis.pdf"));
        v = vorschauErwarten(QStringLiteral("x"));
        QVERIFY(ausloesen(*w, QStringLiteral("actErgebnisliste")));
        QVERIFY(v->gezeigt);
        QCOMPARE(v->seiten, 1);
        QCOMPARE(skript.fehlerTexte.size(), 1);
        QVERIFY(skript.fehlerTexte[0].contains(ordner + QStringLiteral("/fehlt/ergebnis.pdf")));

        // Ranking: the date dialog, then the preview.
        v = vorschauErwarten(QString());
        const bool datum
            = mitDialog(w->aktion(QStringLiteral("actRanglisteDrucken")), "DlgRangliste", [](QWidget* dlg) {
                  dlg->findChild<QCalendarWidget*>(QStringLiteral("cwStart"))->setSelectedDate(QDate(2000, 1, 1));
                  knopf(dlg, QDialogButtonBox::Ok);
              });
        QVERIFY(datum);
        QVERIFY(v->gezeigt);
        QCOMPARE(v->seiten, 1);
        QVERIFY(skript.unerwartet.isEmpty());
    }
};

REIZWERK_TEST(TstDruckMenue)
#include "tst_druckmenue.moc"
