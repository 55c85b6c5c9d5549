#pragma once
// The table app in the browser: which address serves what, the tables'
// tokens, and reading and checking what a table's page sends. The data side
// (reading the match day, storing a list) is behind `Zugang`, which the
// window implements on its own thread.

#include <QByteArray>
#include <QDate>
#include <QJsonObject>
#include <QString>
#include <QVector>

#include <mutex>
#include <optional>

#include "scoring/spielliste.h"
#include "web/server.h"

namespace Web
{

// A table's seats and list size as stored for a series.
struct Sitz {
    int startNr = 0;
    QString name;
    // Made inactive after the draw: she keeps her seat until the next draw
    // and is marked on the page.
    bool aktiv = true;
};
struct Tisch {
    QString gruppe;
    QDate datum; // the match day's
    int serie = 0;
    int nummer = 0;
    QVector<Sitz> sitze; // seat order
    int maxSpiele = 0; // games of a full list at this table
};

// A refusal: HTTP status and a German text for the page.
struct Fehler {
    int status = 400;
    QString text;
};

// A game as the page sends it: the declarer by start number.
struct GesendetesSpiel {
    int startNr = 0; // 0 for eingepasst
    int wert = 0;
    bool gewonnen = true;
};

// What the window does for the app; every call is made from a worker thread
// and must hand its work to the window's thread.
class Zugang
{
public:
    virtual ~Zugang() = default;
    // The table's seats and the rules, or a refusal (no such group, series
    // not drawn, no such table).
    virtual std::optional<QJsonObject> tischDaten(const QString& gruppe, int serie, int tisch, Fehler& f) = 0;
    // Checks the games against the table, computes, stores the results and
    // the list; the answer names what was stored.
    virtual std::optional<QJsonObject> listeSpeichern(
        const QString& gruppe, int serie, int tisch, const QVector<GesendetesSpiel>& spiele, Fehler& f)
        = 0;
    // The standings of every group of the match day as JSON, from a copy
    // built once per change.
    virtual std::optional<QByteArray> anzeige(Fehler& f) = 0;
};

// A table's token: an HMAC of "group|series|table" under a secret kept with
// the match day, so it stays valid across restarts of the program.
class Schluessel
{
public:
    // Reads the secret of the match-day folder; creates it when missing and
    // asked to (only once a table's address is needed, so a match day
    // without the app keeps its folder as it was). False (and no tokens)
    // when there is none or it cannot be written.
    bool laden(const QString& turnierVerzeichnis, bool erzeugen);
    void vergessen();
    bool geladen() const;
    QString token(const QString& gruppe, int serie, int tisch) const;
    bool pruefen(const QString& gruppe, int serie, int tisch, const QString& token) const;

    static inline const QString dateiName = QStringLiteral("tischschluessel.geheim");

private:
    mutable std::mutex m_mutex;
    QByteArray m_geheim;
};

// Reads the body of a list: {"spiele":[{"spieler":101,"wert":23,"gewonnen":true},{"eingepasst":true},...]}.
// Refuses malformed JSON, unknown fields, impossible values and more than
// `maxSpiele` games.
std::optional<QVector<GesendetesSpiel>> listeLesen(const QByteArray& koerper, int maxSpiele, Fehler& f);

// Maps sent games onto the seats of the table; refuses a declarer who does
// not sit there, more games than the table's list, and a list without any
// played game (it would replace stored results with card money alone).
std::optional<QVector<Spielliste::Spiel>> aufTischAbbilden(
    const Tisch& t, const QVector<GesendetesSpiel>& spiele, Fehler& f);

// The result lines of a stored list in the companion's result format
// (nine parts, series in part 2, points in 3, costs in 6, start number in 8);
// costs in the stored one-decimal form, so every road stores the same.
QStringList ergebnisZeilen(const Tisch& t, const QVector<Spielliste::Ergebnis>& e);

// The file name of a table's list below "SpielListen".
QString listenDateiName(const QString& gruppe, int serie, int tisch);

class TischApp
{
public:
    TischApp(Zugang& zugang, Schluessel& schluessel);
    Antwort beantworten(const Anfrage& a);

    // Largest list the page may send (a 4-player list of any group is below).
    static constexpr int hoechstensSpiele = 200;

private:
    Antwort datei(const QString& pfad, const QByteArray& typ);
    std::optional<Fehler> zugangPruefen(const Anfrage& a, QString& gruppe, int& serie, int& tisch);

    Zugang& m_zugang;
    Schluessel& m_schluessel;
};

} // namespace Web
