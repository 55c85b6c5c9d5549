#pragma once
// The open match day: its connections (the master database and one per
// group) and every change to its stored results. It knows no widget: each
// operation runs in one transaction, returns success or an error text, and
// signals after the commit what changed; the window, the link and the table
// app only call it and follow its signals.

#include <QDate>
#include <QHash>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>
#include <optional>

#include "draw/faireauslosung.h"
#include "draw/tischverteilung.h"
#include "participants/teilnehmerpflege.h"
#include "storage/anweisungen.h"
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
    // The same for several participants of one series, read together: those
    // that cannot be read are missing from the answer.
    QHash<int, Stand> staende(const QString& gruppe, int serie, const QVector<int>& startNrs) const;
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

    // --- Seats, draws and what the link and the table app read
    // (offenerspieltag_sitze.cpp) ---

    // The group's first and last table number as stored; none, with a German
    // text, when the group has no settings row or its numbers are out of
    // range. A last table below the first means the group has no tables yet.
    struct Tischbereich {
        int erster = 0;
        int letzter = 0;
    };
    std::optional<Tischbereich> tischbereich(const QString& gruppe, QString* fehler = nullptr) const;

    // A table number typed for one participant in one series: -1 (inactive),
    // 0 (no table) or a table of the group's range. False with a German text
    // when nothing was stored.
    bool tischSetzen(const QString& gruppe, int startNr, int serie, int tisch, QString* fehler = nullptr);

    // Takes the draw of a series back: every participant of the group loses
    // table and seat, all of them or none; the draw's number stays, so the
    // series can be drawn again exactly. Refused for a series nobody has a
    // table in.
    bool auslosungZuruecksetzen(const QString& gruppe, int serie, QString* fehler = nullptr);

    // Table layouts and seat plans per group, as the draw builds them step
    // by step; forgotten when the group or the day closes.
    struct Sitzordnung {
        QMap<QString, TischLayout> layouts;
        QMap<QString, Tischaufteilung> aufteilungen;
        QMap<QString, Sitzplan> plaene;
        void vergessen(const QString& gruppe);
        void leeren();
    };
    Sitzordnung& sitzordnung() { return m_sitzordnung; }
    const Sitzordnung& sitzordnung() const { return m_sitzordnung; }

    // Start number -> active flag, as stored in the series (empty when the
    // series cannot be read).
    QHash<int, bool> aktivInSerie(const QString& gruppe, int serie) const;
    // The tables a series needs for `teilnehmer` participants less those
    // stored inactive in it (series 0: all of them count), numbered from
    // `ersterTisch`; kept as the group's layout. `spielend` gets the number
    // of those who play.
    Tischaufteilung aufteilungBerechnen(
        const QString& gruppe, int serie, int teilnehmer, int ersterTisch, int* spielend = nullptr);
    // The group's seat plan of a series: its layout's empty tables with every
    // active participant stored at a table keeping his seat; kept as the
    // group's plan. `aktiv`, when given, gets what aktivInSerie() answers,
    // from the same reading of the series.
    Sitzplan sitzplanAufbauen(const QString& gruppe, int serie, QHash<int, bool>* aktiv = nullptr);
    // What the random draw of `serie` avoids: every pair that sat at one
    // table in a series before it (active participants at a table above 0),
    // each meeting weighing FaireAuslosung::gewichtHeute. Kept between
    // draws, as a draw reads all earlier series: the seats and flags of a
    // series change only through this object, whose operations let it read
    // that series again, or through another connection, after which every
    // series is read again.
    FaireAuslosung::Vorgeschichte vorgeschichte(const QString& gruppe, int serie);

    // The link's reads: the roster of the master database, and the group
    // whose tables include a table number (the first in the registry's order).
    struct RosterEintrag {
        int startNr = 0;
        QString vorName;
        QString nachName;
        bool mitglied = false;
        bool preisskat = false;
    };
    QVector<RosterEintrag> roster() const;
    struct GruppeDesTisches {
        QString name; // the group's stored name
        QString verbindung; // its connection name in the registry
        int serien = 0;
    };
    std::optional<GruppeDesTisches> gruppeDesTisches(int tisch) const;
    // The stored seats of a table of a series, as Spieltag::sitzeLesen
    // reads them, with the statement kept prepared.
    QVector<Spieltag::SitzEintrag> sitze(const QString& verbindung, int serie, int tisch) const;
    // A mark that changes whenever a group's stored data changes, through
    // this program's connection or from elsewhere; the table app compares it.
    QString aenderungsStand() const;

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
    Sitzordnung m_sitzordnung;

    // Results arrive by the hundred and preparing a statement costs more
    // than running it: each is prepared once per connection and kept while
    // the connection stays open. Null (announced unless `leise`) when it
    // cannot be prepared.
    std::shared_ptr<QSqlQuery> anweisung(QSqlDatabase db, const QString& sql, bool leise = false) const;
    // Every result looks participants up by start number in each series;
    // without an index each look-up reads the whole table.
    void indizesAnlegen(QSqlDatabase db, const QStringList& tabellen, const QString& spalten);
    bool ranglisteSpeichern(const QDate& datum, const QMap<int, QString>& namen, const QHash<int, int>& punkte);
    // Groups of many days pass through one program: the cache stays small.
    mutable Db::Anweisungen m_anweisungen { 500 };
    // What a store read back in its own transaction, for the views that hear
    // of the change while it is announced: they need not read the same rows
    // again. Set only during the announcement.
    struct Gelesen {
        QVector<int> punkte; // index s - 1 holds series s
        QVector<double> kosten;
        int summePunkte = 0;
        double summeKosten = 0;
        quint32 geaendert = 0; // bit s: the store changed his row of series s
    };
    struct Frisch {
        QString gruppe;
        QHash<int, Gelesen> teilnehmer;
    };
    std::optional<Frisch> m_frisch;
    // What the file holds, as far as it can be told without reading it:
    // the statement asked (one prepared anew means the connection closed or
    // changed), commits of other connections and row changes of this one.
    struct Dateistand {
        std::shared_ptr<QSqlQuery> anweisung;
        qint64 datenVersion = -1;
        qint64 aenderungen = -1;
        bool operator==(const Dateistand& o) const
        {
            return anweisung == o.anweisung && datenVersion == o.datenVersion && aenderungen == o.aenderungen;
        }
        bool operator!=(const Dateistand& o) const { return !(*this == o); }
    };
    // None while a transaction is open or when it cannot be asked.
    std::optional<Dateistand> dateistand(QSqlDatabase db) const;
    // The rows of a series as the table split read them, for the seat plan
    // that follows; null when the series cannot be read.
    struct Serienzeilen;
    std::shared_ptr<Serienzeilen> serienzeilenLesen(QSqlDatabase db, const QString& gruppe, int serie) const;
    std::shared_ptr<Serienzeilen> m_serienzeilen;
    // The earlier series' tables per group, as vorgeschichte() keeps them.
    struct Vorrunden;
    QHash<QString, std::shared_ptr<Vorrunden>> m_vorrunden;
    // Before a change to the seats or flags of a series (0: of all): what
    // is kept of it is read again, also when the change is rolled back.
    void sitzeWerdenGeaendert(QSqlDatabase db, const QString& gruppe, int serie);
    QSet<QString> m_indiziert;
};
