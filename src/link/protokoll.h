#pragma once
// The message contents of the companion-app link that need no window:
// composing the items, reading result lines, and storing received game-list
// files safely.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

#include "link/nachricht.h"
#include "storage/spiellisten.h"

namespace Protokoll
{

namespace Code
{
constexpr int TischBelegt = 3;
constexpr int SpielerListe = 4;
constexpr int TischAnfrage = 5;
constexpr int TischListe = 6;
constexpr int Ergebnisse = 7;
constexpr int Regeln = 15;
constexpr int TextDatei = 16;
constexpr int GepackteDatei = 17;
} // namespace Code

inline const QString begleiterName = QStringLiteral("Listenbote");
inline const QString alleSpieler = QStringLiteral("AlleSpieler");
inline const QString spielListenOrdner = SpielListen::ordnerName;

// Largest file a code-17 message may unpack to.
constexpr quint32 maxEntpackt = quint32(SpielListen::maxDatei);

QString jaNein(bool wert);
// "StartNr|VorName NachName|Mitglied|Preisskat" of the roster message.
QString spielerEintrag(int startNr, const QString& vorname, const QString& nachname, bool mitglied, bool preisskat);
// "StartNr|Name|Mitglied|Preisskat" of the seat list.
QString sitzEintrag(int startNr, const QString& name, bool mitglied, bool preisskat);

// The rules message answering a received message: its first and last field
// as integers, then the rules text.
Nachricht regelnNachricht(const Nachricht& empfangen, const QString& listenName, const QString& regelnText);

// One result line of code 7: nine parts separated by "|".
struct Ergebnis {
    int serie = 0;
    int punkte = 0;
    double kosten = 0.0;
    int startNr = 0;
};
// Nothing for lines of another shape or whose numbers do not read, so a
// broken line never overwrites a stored result with zero. Points and costs
// are read as number formatters write them; costs come back in the one
// decimal that is stored.
std::optional<Ergebnis> ergebnisLesen(const QString& zeile);
// Why ergebnisLesen refuses a line, in German; empty when it reads.
QString ergebnisFehler(const QString& zeile);

// A received file name that stays inside the game-list directory: not empty,
// not "." or "..", no "/" or "\", no control characters, not overlong.
bool dateinameSicher(const QString& name);

// Code-17 data: Base64 of the toolkit's compressed format (a 4-byte
// big-endian length, then a zlib stream). Nothing when the data does not
// decode, declares more than `grenze` bytes, or does not unpack to the
// declared length.
std::optional<QByteArray> dateiEntpacken(const QString& daten, quint32 grenze = maxEntpackt);

// Writes a game-list file into "<turnierVerzeichnis>/SpielListen"; refuses
// unsafe names and a missing match-day directory. The file is replaced whole
// or not at all.
bool spielListeSchreiben(
    const QString& turnierVerzeichnis, const QString& name, const QByteArray& inhalt, bool textModus);

// The game-list files of one match day that companions send: the policy of
// who may replace what and how much each device may store is the folder's
// own (SpielListen::Ablage), shared with the table app.
class SpielListenAblage
{
public:
    static constexpr int standardMaxDateien = SpielListen::maxDateienJeTag;
    static constexpr qint64 standardMaxBytes = SpielListen::maxBytesJeTag;

    enum class Ergebnis { Gespeichert, Beiseitegelegt, Geschuetzt, Ungueltig, Voll };

    explicit SpielListenAblage(int maxDateien = standardMaxDateien, qint64 maxBytes = standardMaxBytes);

    // Stores the file of a code-16 or code-17 message below the match day
    // for the device `m.adresse`; Voll when the match day's files or the
    // device's share would go beyond the bounds (its own file of the same
    // name counts as replaced). `beiseite` names where another writer's
    // file of that name was kept.
    Ergebnis speichern(const QString& turnierVerzeichnis, const Nachricht& m, QString* beiseite = nullptr);

    int maxDateien() const { return m_ablage.maxDateienTag(); }
    qint64 maxBytes() const { return m_ablage.maxBytesTag(); }
    qint64 maxBytesJeGeraet() const { return m_ablage.maxBytesGeraet(); }
    SpielListen::Ablage& ablage() { return m_ablage; }

private:
    SpielListen::Ablage m_ablage;
};

// Stores the file of a code-16 or code-17 message within the default
// bounds; false when nothing was written.
bool dateiNachrichtSpeichern(const QString& turnierVerzeichnis, const Nachricht& m);

} // namespace Protokoll
