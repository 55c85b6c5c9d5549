// Benchmark figure of the check-in desk: 60 known players checked in on the
// real dialog by key events (30 by start number, 30 by part of the name, each
// followed by Enter) and one guest added by keys only (name, Enter, Alt+G,
// Enter in the guest dialog), against a master database on disk, each player
// kept as paid until his group is confirmed. The guest's button clicks a
// moment after its mnemonic, as Qt animates it: that wait is part of the
// figure. The floor runs the same reads and writes without the dialogs.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include "geld/geldspeicher.h"
#include "messung.h"
#include "mitglieder/dlganmeldung.h"
#include "mitglieder/dlggast.h"
#include "mitglieder/mitgliederliste.h"
#include "storage/datenbank.h"
#include "storage/schema.h"

namespace
{

const int anzahl = 60;
const QString gruppe = QStringLiteral("Alle");

// "Hans Zab": no surname is part of another one, so three letters find one.
QString nachname(int i)
{
    return QStringLiteral("Z%1%2").arg(QChar('a' + i / 26)).arg(QChar('a' + i % 26));
}

QSqlDatabase stammAnlegen(const QString& pfad, const QString& verbindung)
{
    QSqlDatabase db = Db::oeffnen(verbindung, pfad);
    if (!db.isOpen() || !Schema::stammdatenbankAnlegen(db))
        return QSqlDatabase();
    Db::Transaktion t(db);
    for (int i = 0; i < anzahl; ++i)
        Db::ausfuehren(db,
            QStringLiteral("INSERT INTO Spieler (StartNr, VorName, NachName, Gruppe, Mitglied, Preisskat) VALUES (?, "
                           "?, ?, ?, 'Ja', 'Nein')"),
            { 100 + i, QStringLiteral("Hans"), nachname(i), gruppe });
    t.abschliessen();
    return db;
}

void taste(QWidget* ziel, int key, Qt::KeyboardModifiers mod = Qt::NoModifier, const QString& text = QString())
{
    QKeyEvent druck(QEvent::KeyPress, key, mod, text);
    QApplication::sendEvent(ziel, &druck);
    QKeyEvent los(QEvent::KeyRelease, key, mod, text);
    QApplication::sendEvent(ziel, &los);
}

void tippen(QWidget* ziel, const QString& text)
{
    for (const QChar c : text)
        taste(ziel, c.isDigit() ? Qt::Key_0 + c.digitValue() : Qt::Key_A + (c.toLower().unicode() - 'a'),
            Qt::NoModifier, QString(c));
}

// One run: the desk from its opening to the guest's row; the number of
// participants at the end (anzahl + 1 when everything went in).
int amSchalter(QSqlDatabase db, const QDate& tag)
{
    QVector<DlgAnmeldung::Zeile> dabei;
    auto anmelden = [&](int nr) {
        Mitgliederliste::Anmeldung s;
        if (!Mitgliederliste::anmeldungLesen(db, nr, s))
            return QStringLiteral("unbekannt");
        for (const auto& z : dabei)
            if (z.startNr == nr)
                return QStringLiteral("schon angemeldet");
        if (!Geld::vormerken(db, tag, gruppe, nr, { true, 0 }))
            return QStringLiteral("nicht vorgemerkt");
        dabei.append({ nr, s.name(), QString() });
        return QString();
    };
    DlgAnmeldung::Anbindung a;
    a.gruppe = gruppe;
    a.suchen = [db](const QString& text) {
        QVector<QPair<int, QString>> treffer;
        for (const Spielerdatei::Bisher& b : Mitgliederliste::suchen(Spielerdatei::rosterLesen(db), text))
            treffer << qMakePair(b.startNr, QStringLiteral("%1 %2").arg(b.vorname, b.nachname));
        return treffer;
    };
    a.anmelden = anmelden;
    a.gastAufnehmen = [&](const QString& name) {
        DlgGast g({ gruppe }, gruppe);
        g.nameVorgeben(name);
        // Enter in the surname field, where the dialog puts the cursor.
        if (QWidget* feld = g.findChild<QLineEdit*>(QStringLiteral("leGastNachname"))) {
            QApplication::postEvent(feld, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
            QApplication::postEvent(feld, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier));
        }
        if (g.exec() != QDialog::Accepted)
            return 0;
        const int nr = 100 + anzahl;
        if (!Mitgliederliste::gastAnlegen(db, nr, g.vorname(), g.nachname(), g.gruppe(), nullptr))
            return 0;
        return anmelden(nr).isEmpty() ? nr : 0;
    };
    a.liste = [&] {
        QMap<int, Geld::Zahlung> bezahlt;
        Geld::vorgemerkt(db, tag, gruppe, bezahlt);
        QVector<DlgAnmeldung::Zeile> zeilen = dabei;
        for (auto& z : zeilen)
            z.bezahlt = bezahlt.value(z.startNr).alles ? QStringLiteral("Ja") : QStringLiteral("Nein");
        return zeilen;
    };
    DlgAnmeldung dlg(a);
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    auto* eingabe = dlg.findChild<QLineEdit*>(QStringLiteral("leAnmeldungEingabe"));
    if (!eingabe)
        return 0;
    for (int i = 0; i < anzahl; ++i) {
        tippen(eingabe, i % 2 ? nachname(i).toLower() : QString::number(100 + i));
        taste(eingabe, Qt::Key_Return);
    }
    tippen(eingabe, QStringLiteral("gast"));
    taste(eingabe, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    tippen(eingabe, QStringLiteral("neu"));
    taste(eingabe, Qt::Key_Return);
    taste(eingabe, Qt::Key_G, Qt::AltModifier);
    QElapsedTimer uhr;
    uhr.start();
    while (dabei.size() <= anzahl && uhr.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return dabei.size();
}

// The same reads and writes without a dialog.
int ohneSchalter(QSqlDatabase db, const QDate& tag)
{
    int n = 0;
    for (int i = 0; i < anzahl; ++i) {
        const auto treffer = Mitgliederliste::suchen(
            Spielerdatei::rosterLesen(db), i % 2 ? nachname(i).toLower() : QString::number(100 + i));
        Mitgliederliste::Anmeldung s;
        if (treffer.size() == 1 && Mitgliederliste::anmeldungLesen(db, treffer.first().startNr, s)
            && Geld::vormerken(db, tag, gruppe, treffer.first().startNr, { true, 0 }))
            ++n;
        QMap<int, Geld::Zahlung> bezahlt;
        Geld::vorgemerkt(db, tag, gruppe, bezahlt);
    }
    if (Mitgliederliste::suchen(Spielerdatei::rosterLesen(db), QStringLiteral("gast neu")).isEmpty()
        && Mitgliederliste::gastAnlegen(
            db, 100 + anzahl, QStringLiteral("Gast"), QStringLiteral("Neu"), gruppe, nullptr)
        && Geld::vormerken(db, tag, gruppe, 100 + anzahl, { true, 0 }))
        ++n;
    return n;
}

} // namespace

bool anmeldungMessen(int laeufe)
{
    QTemporaryDir ordner;
    if (!ordner.isValid()) {
        Messung::hinweis(QStringLiteral("check-in desk: no temporary folder"));
        return false;
    }
    const QDate tag(2026, 12, 6);
    QVector<double> zeiten, boden;
    for (int lauf = 0; lauf <= laeufe; ++lauf) {
        int mit = 0, ohne = 0;
        {
            QSqlDatabase db = stammAnlegen(QDir(ordner.path()).filePath(QStringLiteral("m%1.db").arg(lauf)),
                QStringLiteral("anmeldung_m%1").arg(lauf));
            const double t = Messung::sekunden([&] { mit = amSchalter(db, tag); });
            QSqlDatabase b = stammAnlegen(QDir(ordner.path()).filePath(QStringLiteral("b%1.db").arg(lauf)),
                QStringLiteral("anmeldung_b%1").arg(lauf));
            const double f = Messung::sekunden([&] { ohne = ohneSchalter(b, tag); });
            if (lauf > 0) {
                zeiten << t;
                boden << f;
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("anmeldung_m%1").arg(lauf));
        QSqlDatabase::removeDatabase(QStringLiteral("anmeldung_b%1").arg(lauf));
        if (mit != anzahl + 1 || ohne != anzahl + 1) {
            Messung::hinweis(QStringLiteral("check-in desk: %1 (desk) and %2 (floor) checked in, %3 expected")
                                 .arg(mit)
                                 .arg(ohne)
                                 .arg(anzahl + 1));
            return false;
        }
    }
    Messung::zeile(QStringLiteral("check-in desk: 60 players and a guest by keys"), laeufe, Messung::median(zeiten),
        Messung::median(boden), Messung::Einheit::Sekunden, 0, 0);
    return true;
}
