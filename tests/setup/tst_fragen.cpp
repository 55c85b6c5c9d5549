// Which answer Return gives: No for questions that delete or replace data,
// the box's standard Yes for confirmations that destroy nothing.

#include "testumgebung.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "app/mainwindow.h"
#include "ui_mainwindow.h"
#include "widgets/dialoge.h"

using namespace Turnierbau;

namespace
{

// Answers the next message box with Return and tells which button was its
// default and which text it showed.
struct Antwort {
    QString text;
    QMessageBox::StandardButton vorgabe = QMessageBox::NoButton;
    QString details;
    QString objektName;
    bool gesehen = false;
};

void mitReturnBeantworten(Antwort& a)
{
    auto* uhr = new QTimer;
    uhr->setInterval(10);
    QObject::connect(uhr, &QTimer::timeout, uhr, [uhr, &a] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        a.gesehen = true;
        a.text = box->text();
        a.details = box->detailedText();
        a.objektName = box->objectName();
        if (QPushButton* k = box->defaultButton())
            a.vorgabe = box->standardButton(k);
        QTest::keyClick(box, Qt::Key_Return);
        uhr->stop();
        uhr->deleteLater();
    });
    uhr->start();
}

} // namespace

class TstFragen : public QObject
{
    Q_OBJECT
private slots:
    void init() { Testumgebung::frischesZuhause(); }

    void vorgabeJeNachFrage()
    {
        Dialoge::Umsetzung* vorher = Dialoge::geskriptet() ? Dialoge::umsetzung() : nullptr;
        Dialoge::setUmsetzung(nullptr);
        Antwort loeschen, weiter, liste;
        mitReturnBeantworten(loeschen);
        const bool jaBeimLoeschen = Dialoge::frage(nullptr, QStringLiteral("Loeschen?"));
        mitReturnBeantworten(weiter);
        const bool jaBeimWeiter = Dialoge::bestaetigung(nullptr, QStringLiteral("Weiter?"));
        mitReturnBeantworten(liste);
        Dialoge::liste(nullptr, QStringLiteral("Titel"), QStringLiteral("2 Zeilen"),
            { QStringLiteral("Zeile 1: a"), QStringLiteral("Zeile 2: b") });
        Dialoge::setUmsetzung(vorher);

        QVERIFY(loeschen.gesehen && weiter.gesehen && liste.gesehen);
        QCOMPARE(loeschen.vorgabe, QMessageBox::No);
        QVERIFY(!jaBeimLoeschen);
        QCOMPARE(weiter.vorgabe, QMessageBox::Yes);
        QVERIFY(jaBeimWeiter);
        QCOMPARE(liste.text, QStringLiteral("2 Zeilen"));
        QCOMPARE(liste.details, QStringLiteral("Zeile 1: a\nZeile 2: b"));
        QCOMPARE(liste.objektName, QStringLiteral("msgZeilenliste"));
    }

    // "Alle Teilnehmer ausgewaehlt?" deletes nothing: Return goes on.
    void teilnehmerBestaetigenMitReturn()
    {
        Fenster w;
        spielerAnlegen(*w, 4);
        QVERIFY(neuesTurnier(*w, w.d, 2));
        teilnehmerWaehlen(*w);
        Dialoge::setUmsetzung(nullptr);
        Antwort a;
        mitReturnBeantworten(a);
        w->form()->tbTeilnehmerOk->click();
        Dialoge::setUmsetzung(&w.d);
        QVERIFY(a.gesehen);
        QVERIFY2(a.text.startsWith(QStringLiteral("Alle Teilnehmer ausgewaehlt?")), qPrintable(a.text));
        QCOMPARE(a.vorgabe, QMessageBox::Yes);
        QVERIFY(w->registry().datenbank(QStringLiteral("Alle")).isOpen());
    }
};

REIZWERK_TEST(TstFragen)
#include "tst_fragen.moc"
