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

signals:
    // After the commit: the seats of the series changed.
    void sitzeGeaendert(const QString& gruppe, int serie);
    // After the commit: these participants' results of the series changed.
    void ergebnisGeaendert(const QString& gruppe, int serie, const QVector<int>& startNrs);

private:
    Verbindungen m_verbindungen;

    // Results arrive by the hundred and preparing a statement costs more
    // than running it: each is prepared once per connection and kept while
    // the connection stays open. Null (announced unless `leise`) when it
    // cannot be prepared.
    std::shared_ptr<QSqlQuery> anweisung(QSqlDatabase db, const QString& sql, bool leise = false) const;
    // Every result looks participants up by start number in each series;
    // without an index each look-up reads the whole table.
    void indizesAnlegen(QSqlDatabase db, const QStringList& tabellen, const QString& spalten);
    bool ranglisteSpeichern(const QDate& datum, const QMap<int, QString>& namen, const QHash<int, int>& punkte);
    mutable QHash<QString, std::shared_ptr<QSqlQuery>> m_anweisungen;
    QSet<QString> m_indiziert;
};
