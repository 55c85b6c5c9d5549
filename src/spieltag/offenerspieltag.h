#pragma once
// The open match day: its connections (the master database and one per
// group) and every change to its stored results. It knows no widget: each
// operation runs in one transaction, returns success or an error text, and
// signals after the commit what changed; the window, the link and the table
// app only call it and follow its signals.

#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

#include <optional>

#include "draw/tischverteilung.h"
#include "participants/teilnehmerpflege.h"
#include "storage/schema.h"
#include "storage/spieltagleser.h"
#include "storage/verbindungen.h"

class OffenerSpieltag : public QObject
{
    Q_OBJECT

public:
    explicit OffenerSpieltag(const QString& hauptVerbindung, QObject* parent = nullptr);

    Verbindungen& verbindungen() { return m_verbindungen; }
    const Verbindungen& verbindungen() const { return m_verbindungen; }
    // The open database of a group; invalid when the day has none of that
    // name (the master database is no group).
    QSqlDatabase gruppe(const QString& name) const;

    // One participant's result in one series: what is given is stored, what
    // is left out stays as stored. Costs are stored with one decimal.
    struct Ergebnis {
        int startNr = 0;
        int serie = 0;
        std::optional<int> punkte;
        std::optional<double> kosten;
    };

    // Stores results of one group, all of them or none, with each changed
    // participant's sums (from the stored series) and his ranking row of the
    // day. Lines of participants the group does not have, or of a series it
    // does not have, are left out, as a table's list carries only its seats.
    // False with a German text when nothing was stored.
    bool ergebnisseSpeichern(const QString& gruppe, const QVector<Ergebnis>& ergebnisse, QString* fehler = nullptr);

    // What the results table shows of a participant in a series, as stored:
    // points and costs of the series and the two sums (costs with one decimal).
    struct Stand {
        QString punkte;
        QString kosten;
        QString summePunkte;
        QString summeKosten;
    };
    std::optional<Stand> stand(const QString& gruppe, int startNr, int serie) const;
    // The two sums alone (punkte and kosten of the Stand stay empty).
    std::optional<Stand> summen(const QString& gruppe, int startNr) const;

    // A participant's prize-skat flag of the day; false with a German text
    // when it was not stored.
    bool preisskatSetzen(const QString& gruppe, int startNr, bool ja, QString* fehler = nullptr);
    std::optional<bool> preisskat(const QString& gruppe, int startNr) const;

    // The seats of a series: every participant named gets his table and
    // seat, all of them or none, with a random draw's number and quality
    // when one is given. False with a German text when nothing was stored.
    bool sitzeSpeichern(const QString& gruppe, int serie, const QVector<Zuweisung>& sitze,
        const std::optional<Spieltag::Losung>& losung = std::nullopt, QString* fehler = nullptr);

signals:
    // After the commit: the seats of the series changed.
    void sitzeGeaendert(const QString& gruppe, int serie);
    // After the commit: these participants' results of the series changed.
    void ergebnisGeaendert(const QString& gruppe, int serie, const QVector<int>& startNrs);

public:
    // Participants and the group's creation (offenerspieltag_teilnehmer.cpp).
    // Each runs in one transaction, returns false with a German text when
    // nothing was stored, and signals after the commit.

    // Late registration into a confirmed group: every chosen roster player
    // becomes a participant, sitting out the series already drawn; those
    // already in are skipped and named in the result. A start number the
    // roster does not hold refuses the whole registration.
    bool nachmelden(const QString& gruppe, const NachmeldeListe& spieler,
        Teilnehmerpflege::NachmeldeErgebnis* ergebnis = nullptr, QString* fehler = nullptr);
    // A participant's "Aktiv" flag in one series of the group.
    bool aktivSetzen(const QString& gruppe, int serie, int startNr, bool aktiv, QString* fehler = nullptr);
    // Hands a participant's prize-skat flag over to his roster entry.
    bool preisskatUebergeben(int startNr, bool ja, QString* fehler = nullptr);
    // Opens the group's file under its name and registers it; a file without
    // the group's tables gets them with the participants. On failure the
    // group is not registered.
    bool gruppeAnlegen(const QString& gruppe, const QString& datei, const Schema::GruppenDaten& daten,
        const QVector<Schema::TeilnehmerEintrag>& teilnehmer, QString* fehler = nullptr);
    // The ranking rows of a match day whose groups are given up.
    bool ranglisteVerwerfen(const QDate& tag, QString* fehler = nullptr);

signals:
    // After the commit: participants of the group, or their flags, changed.
    void teilnehmerGeaendert(const QString& gruppe);
    // After the commit: the roster entry of that start number changed.
    void spielerGeaendert(int startNr);
    // After the commit: the group's file holds its tables and participants.
    void gruppeAngelegt(const QString& gruppe);
    // After the commit: the ranking rows of that day changed.
    void ranglisteGeaendert(const QDate& tag);

private:
    Verbindungen m_verbindungen;
};
