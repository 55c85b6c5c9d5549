#pragma once
// Test ground: every test process gets its own temporary HOME (documents,
// settings, data), modal questions are answered from a script, and small
// tournaments are built in a line or two.

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QtTest>

#include <functional>
#include <memory>

#include "widgets/dialoge.h"

class MainWindow;
class QAbstractButton;
class QAction;
class QAbstractItemModel;
class QComboBox;
class QWidget;

// Registers a test class with the area's test executable.
namespace Testlauf
{
using Fabrik = std::function<QObject*()>;
int registrieren(const char* name, Fabrik fabrik);
} // namespace Testlauf

#define REIZWERK_TEST(Klasse)                                                                                          \
    static const int reizwerk_test_##Klasse = Testlauf::registrieren(#Klasse, [] { return new Klasse; });

namespace Testumgebung
{

// A fresh, empty HOME below the process's temporary folder; settings,
// documents and downloads all live inside it. Returns the HOME path.
QString frischesZuhause();
QString zuhause();
QString dokumente(); // HOME/Documents
QString downloads(); // HOME/Downloads
QString datenOrdner(); // HOME/Documents/Reizwerk
QString einstellungsDatei();

// Removes every database connection the process holds (between windows).
void verbindungenSchliessen();

// Writes one value into the settings of the current HOME.
void einstellen(const QString& schluessel, const QVariant& wert);

// The bytes of a file (empty when it cannot be read), and of a golden file
// under tests/data (a marker text when it is missing).
QByteArray dateiInhalt(const QString& pfad);
QByteArray golden(const QString& name);

} // namespace Testumgebung

// Answers the program's questions and file dialogs from a script and records
// what was asked; installed for as long as it lives.
class SkriptDialoge : public Dialoge::Umsetzung
{
public:
    SkriptDialoge();
    ~SkriptDialoge() override;

    void antworte(bool ja) { m_antworten << ja; }
    void dateiname(const QString& name) { m_namen << name; }

    QStringList fragen;
    QStringList fehlerTexte;
    QStringList infos;
    QStringList unerwartet; // questions or file dialogs nobody scripted

    bool frage(QWidget* eltern, const QString& text) override;
    void fehler(QWidget* eltern, const QString& text) override;
    void info(QWidget* eltern, const QString& titel, const QString& text) override;
    QString speicherName(
        QWidget* eltern, const QString& titel, const QString& vorschlag, const QString& filter) override;
    // Open-file dialogs take their names from the same script as save dialogs.
    QString oeffnenName(QWidget* eltern, const QString& titel, const QString& ordner, const QString& filter) override;

private:
    QList<bool> m_antworten;
    QStringList m_namen;
    Dialoge::Umsetzung* m_vorher;
};

// Runs `handeln` on the next modal dialog of type T once it is shown (for
// the program's own dialogs, which the seam does not cover). Call before the
// action that opens the dialog; check the returned flag afterwards.
std::shared_ptr<bool> beimNaechstenDialog(
    const char* klassenName, std::function<void(QWidget*)> handeln, int zeitMs = 5000);

// Triggers the action (a failed check when it is missing or disabled) or
// clicks the button, and runs `handeln` on the dialog of type T it opens; a
// dialog the handler leaves open (a failed check, say) is rejected, so no
// test waits on it. True when the dialog came.
bool mitDialog(QAction* ausloeser, const char* klassenName, std::function<void(QWidget*)> handeln);
bool mitDialog(QAbstractButton* ausloeser, const char* klassenName, std::function<void(QWidget*)> handeln);

// The window's action of that name, after checking that it exists and is
// enabled (a failed check otherwise, and null). `ausloesen` also triggers it.
QAction* aktionBereit(const MainWindow& w, const QString& name);
bool ausloesen(const MainWindow& w, const QString& name);

// Texts of a model's header, of one of its columns, of a combo box's entries.
QStringList kopfTexte(const QAbstractItemModel* m);
QStringList spaltenTexte(const QAbstractItemModel* m, int spalte);
QStringList comboTexte(const QComboBox* box);

// Clicks a standard button of the dialog's "buttonBox".
void knopf(QWidget* dlg, int standardKnopf);

// Scenario helpers.
namespace Turnierbau
{

struct Spieler {
    QString vorname;
    QString nachname;
    QString gruppe = QStringLiteral("Alle");
    QString mitglied = QStringLiteral("Ja");
    QString preisskat = QStringLiteral("Nein");
    int startNr = 0; // 0: the next number after the highest
};

// Writes players straight into the roster (start numbers 100, 101, ...
// unless given) and reloads the window's roster model. Returns their numbers.
QVector<int> spielerAnlegen(MainWindow& w, int anzahl, const QString& gruppe = QStringLiteral("Alle"));
QVector<int> spielerAnlegen(MainWindow& w, const QVector<Spieler>& spieler);
// `anzahl` players "VornameN NachnameN" (N from 1) of the player group.
QVector<Spieler> nummeriert(int anzahl, const QString& gruppe = QStringLiteral("Alle"));

// Starts a new tournament through the menu and describes the group in its
// dialog. Returns false when the dialog did not show up.
bool neuesTurnier(MainWindow& w, SkriptDialoge& d, int serien, int ersterTisch = 0, bool ueberschreiben = true);

// Selects the given start numbers (all when empty) in the choice list of the
// player group and moves them into the results table.
void teilnehmerWaehlen(MainWindow& w, const QVector<int>& startNrs = {});

// Confirms the participant list, creating the group database.
void teilnehmerBestaetigen(MainWindow& w, SkriptDialoge& d);

// Runs a statement that must succeed.
void sql(QSqlDatabase db, const QString& text);

// Creates a group database file the way a confirmed group leaves it: two
// series, participants from 100 on named "<name> Spieler<i>".
void gruppenDateiAnlegen(const QString& pfad, const QString& name, int teilnehmer, int letzterTisch = 3);

// Moves a file's modification time that many seconds into the past.
void alterSetzen(const QString& pfad, int sekundenZurueck);

// Seats participants in a series: { start number, table, seat } each.
void sitze(QSqlDatabase db, int serie, const QVector<QVector<int>>& sitze);

// Runs a query and returns the first column of every row.
QVariantList spalte(QSqlDatabase db, const QString& sql);
QVariant wert(QSqlDatabase db, const QString& sql);

} // namespace Turnierbau

// A started main window with scripted dialogs of its own (`d`, in place
// before the window starts and until it has ended); ends in order when it
// goes out of scope, also when a check fails.
// Unless told otherwise, the link listens on 127.0.0.1 at a free port
// (settings "Link/Port" 0, "Link/Adresse" 127.0.0.1) when those keys are unset;
// so does the table app's server ("Web/Port", "Web/Adresse").
class Fenster
{
public:
    explicit Fenster(bool linkAufLoopback = true);
    ~Fenster();
    MainWindow* operator->() const { return w.get(); }
    MainWindow& operator*() const { return *w; }
    MainWindow* get() const { return w.get(); }

    // Ends the window and starts a new one on the same HOME.
    void neuStarten(bool linkAufLoopback = true);

    // A confirmed group of new roster players; returns its database.
    QSqlDatabase gruppe(int spieler, int serien, int ersterTisch = 0);
    QSqlDatabase gruppe(const QVector<Turnierbau::Spieler>& spieler, int serien, int ersterTisch = 0);

    SkriptDialoge d;
    std::unique_ptr<MainWindow> w;

private:
    void starten(bool linkAufLoopback);
};
