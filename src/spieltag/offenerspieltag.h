#pragma once
// The open match day: its connections (the master database and one per
// group) and every change to its stored results. It knows no widget: each
// operation runs in one transaction, returns success or an error text, and
// signals after the commit what changed; the window, the link and the table
// app only call it and follow its signals.

#include <QDate>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QVector>

#include <optional>

#include "draw/tischverteilung.h"
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

    // What opening a group shows, read as stored into plain rows: its
    // settings, its participants ordered by start number (equal numbers in
    // stored order) and per series the stored values in stored order.
    // Nothing when the group is not open or has no settings row; a series
    // table that cannot be read yields no values.
    struct GruppenTeilnehmer {
        int startNr = 0;
        QString name;
        bool mitglied = false;
        bool preisskat = false;
        int summePunkte = 0;
        double summeKosten = 0.0;
    };
    struct SerienWert {
        int startNr = 0;
        int punkte = 0;
        int tisch = 0;
        int sitz = 0;
        double kosten = 0.0;
    };
    struct GruppenInhalt {
        QDate datum;
        int serien = 0;
        int spiele3er = 0;
        int spiele4er = 0;
        int ersterTisch = 0;
        QVector<GruppenTeilnehmer> teilnehmer;
        // Index s - 1 holds series s, for s up to `serien` (at most 20).
        QVector<QVector<SerienWert>> werte;
    };
    std::optional<GruppenInhalt> gruppeLesen(const QString& gruppe) const;

signals:
    // After the commit: the seats of the series changed.
    void sitzeGeaendert(const QString& gruppe, int serie);
    // After the commit: these participants' results of the series changed.
    void ergebnisGeaendert(const QString& gruppe, int serie, const QVector<int>& startNrs);

private:
    Verbindungen m_verbindungen;
};
