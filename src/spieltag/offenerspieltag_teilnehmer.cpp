// The open match day's operations on participants: late registration,
// active/inactive, the prize-skat hand-over to the roster, and a group's
// creation with the ranking rows of a day given up.

#include "spieltag/offenerspieltag.h"

#include <QPointer>
#include <QSqlQuery>

#include "roster/spielerauswahl.h"
#include "roster/spielerliste.h"
#include "spieltag/fehlerfang.h"
#include "storage/datenbank.h"
#include "storage/gruppendaten.h"

bool OffenerSpieltag::nachmelden(
    const QString& name, const NachmeldeListe& spieler, Teilnehmerpflege::NachmeldeErgebnis* ergebnis, QString* fehler)
{
    QSqlDatabase db = gruppe(name);
    if (!db.isValid() || !Db::tabelleVorhanden(db, QStringLiteral("Gruppe")))
        return scheitern(fehler, tr("Die Gruppe %1 ist nicht geoeffnet").arg(name.left(64)));
    Fehlerfang fang;
    // A participant the roster does not know could not be named again on a
    // later day; nobody is registered then.
    const QSet<int> roster = Spielerauswahl::startNummern(m_verbindungen.hauptDatenbank());
    for (auto it = spieler.cbegin(); it != spieler.cend(); ++it)
        if (!roster.contains(it.key()))
            return scheitern(fehler, fang.text(tr("Startnummer %1 ist nicht in der Spielerliste").arg(it.key())));

    Db::Transaktion tx(db);
    if (!tx.begonnen())
        return scheitern(fehler, fang.text(tr("Die Gruppe %1 kann nichts speichern").arg(name)));
    sitzeWerdenGeaendert(db, name, 0);
    const Teilnehmerpflege::NachmeldeErgebnis e = Teilnehmerpflege::nachmelden(db, spieler);
    if (!e.ok)
        return scheitern(fehler, e.fehler.isEmpty() ? fang.text(tr("Niemand wurde eingetragen")) : e.fehler);
    if (!e.eingetragen.isEmpty()) {
        QPointer<OffenerSpieltag> selbst(this);
        Db::nachAbschluss(db, [selbst, name] {
            if (selbst)
                emit selbst->teilnehmerGeaendert(name);
        });
    }
    if (!tx.abschliessen())
        return scheitern(fehler, fang.text(tr("Die Nachmeldung in der Gruppe %1 ist nicht gespeichert").arg(name)));
    if (ergebnis)
        *ergebnis = e;
    return true;
}

bool OffenerSpieltag::aktivSetzen(const QString& name, int serie, int startNr, bool aktiv, QString* fehler)
{
    QSqlDatabase db = gruppe(name);
    if (!db.isValid() || !Db::tabelleVorhanden(db, QStringLiteral("Gruppe")))
        return scheitern(fehler, tr("Die Gruppe %1 ist nicht geoeffnet").arg(name.left(64)));
    Fehlerfang fang;
    if (serie < 1 || serie > Gruppendaten::serien(db))
        return scheitern(fehler, fang.text(tr("Eine Serie %1 gibt es nicht").arg(serie)));
    const Teilnehmerpflege::AktivStand stand = Teilnehmerpflege::aktivLesen(db, serie, startNr);
    // Without his row the flag would be stored nowhere, and the draw would
    // still seat him.
    if (!stand.gefunden)
        return scheitern(fehler, fang.text(tr("Teilnehmer %1 hat keine Zeile in Serie %2").arg(startNr).arg(serie)));
    if (stand.aktiv == aktiv)
        return true;
    Db::Transaktion tx(db);
    if (!tx.begonnen())
        return scheitern(fehler, fang.text(tr("Die Gruppe %1 kann nichts speichern").arg(name)));
    sitzeWerdenGeaendert(db, name, serie);
    QString text;
    if (!Teilnehmerpflege::aktivSetzen(db, serie, startNr, aktiv, &text))
        return scheitern(fehler, text.isEmpty() ? fang.text(tr("Teilnehmer %1 nicht gespeichert").arg(startNr)) : text);
    QPointer<OffenerSpieltag> selbst(this);
    Db::nachAbschluss(db, [selbst, name] {
        if (selbst)
            emit selbst->teilnehmerGeaendert(name);
    });
    if (!tx.abschliessen())
        return scheitern(fehler, fang.text(tr("Teilnehmer %1 nicht gespeichert").arg(startNr)));
    return true;
}

bool OffenerSpieltag::preisskatUebergeben(int startNr, bool ja, QString* fehler)
{
    QSqlDatabase haupt = m_verbindungen.hauptDatenbank();
    if (!haupt.isValid() || !haupt.isOpen())
        return scheitern(fehler, tr("Die Spielerliste ist nicht geoeffnet"));
    Fehlerfang fang;
    const Spielerliste::Flaggen f = Spielerliste::flaggenLesen(haupt, startNr);
    if (!f.gefunden)
        return scheitern(fehler, fang.text(tr("Startnummer %1 ist nicht in der Spielerliste").arg(startNr)));
    // Unchanged: nothing to store, and no reload to disturb the roster's view.
    if (f.preisskat == ja)
        return true;
    Db::Transaktion tx(haupt);
    if (!tx.begonnen())
        return scheitern(fehler, fang.text(tr("Die Spielerliste kann nichts speichern")));
    if (!Spielerliste::preisskatSetzen(haupt, startNr, ja))
        return scheitern(fehler, fang.text(tr("Spieler %1 nicht gespeichert").arg(startNr)));
    QPointer<OffenerSpieltag> selbst(this);
    Db::nachAbschluss(haupt, [selbst, startNr] {
        if (selbst)
            emit selbst->spielerGeaendert(startNr);
    });
    if (!tx.abschliessen())
        return scheitern(fehler, fang.text(tr("Spieler %1 nicht gespeichert").arg(startNr)));
    return true;
}

bool OffenerSpieltag::gruppeAnlegen(const QString& name, const QString& datei, const Schema::GruppenDaten& daten,
    const QVector<Schema::TeilnehmerEintrag>& teilnehmer, QString* fehler)
{
    if (name.isEmpty() || name == m_verbindungen.hauptVerbindung())
        return scheitern(fehler, tr("Eine Gruppe %1 ist nicht moeglich").arg(name.left(64)));
    Fehlerfang fang;
    QSqlDatabase db = Db::oeffnen(name, datei);
    if (!db.isValid() || !db.isOpen())
        return scheitern(fehler, fang.text(tr("Die Datei %1 kann nicht geoeffnet werden").arg(datei)));
    m_verbindungen.eintragen(name);
    m_vorrunden.remove(name);
    // A file that holds the group already keeps what it holds.
    if (Db::tabelleVorhanden(db, QStringLiteral("Gruppe")))
        return true;
    bool angelegt = false;
    {
        Db::Transaktion tx(db);
        if (tx.begonnen() && Schema::gruppeAnlegen(db, daten, teilnehmer)) {
            QPointer<OffenerSpieltag> selbst(this);
            Db::nachAbschluss(db, [selbst, name] {
                if (selbst)
                    emit selbst->gruppeAngelegt(name);
            });
            angelegt = tx.abschliessen();
        }
    }
    if (angelegt)
        return true;
    // Not shown as a group: no results could be stored in it.
    m_verbindungen.entfernen(name);
    return scheitern(fehler, fang.text(tr("Die Gruppe %1 konnte nicht gespeichert werden.").arg(name)));
}

bool OffenerSpieltag::ranglisteVerwerfen(const QDate& tag, QString* fehler)
{
    QSqlDatabase haupt = m_verbindungen.hauptDatenbank();
    if (!haupt.isValid() || !haupt.isOpen())
        return scheitern(fehler, tr("Die Rangliste ist nicht geoeffnet"));
    Fehlerfang fang;
    Db::Transaktion tx(haupt);
    if (!tx.begonnen())
        return scheitern(fehler, fang.text(tr("Die Rangliste kann nichts speichern")));
    QSqlQuery q(haupt);
    QString text;
    if (!Db::ausfuehren(q, QStringLiteral("DELETE FROM Rangliste WHERE Datum=?"),
            { tag.toString(QStringLiteral("yyyy-MM-dd")) }, &text))
        return scheitern(fehler, text);
    if (q.numRowsAffected() > 0) {
        QPointer<OffenerSpieltag> selbst(this);
        Db::nachAbschluss(haupt, [selbst, tag] {
            if (selbst)
                emit selbst->ranglisteGeaendert(tag);
        });
    }
    if (!tx.abschliessen())
        return scheitern(fehler, fang.text(tr("Die Rangliste ist nicht gespeichert")));
    return true;
}
