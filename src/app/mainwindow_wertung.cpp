// Score and cost entry: every changed cell of the results table is stored
// here, whoever changed it (typing, the game-list dialog, a draw, the link).

#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QDate>
#include <QDebug>
#include <QPersistentModelIndex>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QStatusBar>

#include "widgets/mysortfilterproxymodel.h"
#include "widgets/treeview.h"

#include "scoring/eingabe.h"
#include "scoring/wertung.h"
#include "setup/teilnehmertabelle.h"
#include "storage/datenbank.h"

void MainWindow::onTeilnehmerEingabe(const QModelIndex& index)
{
    if (teilnehmerSperre > 0 || !index.isValid() || index.model() != teilnehmerModel)
        return;
    const TeilnehmerZelle item = teilnehmerModel->zelle(index.row(), index.column());
    const int zeile = index.row();
    const int spalte = index.column();
    if (spalte < Spalte::Preisskat)
        return;
    const int startNr = teilnehmerTabelle->startNr(zeile);

    const QString gruppe = aktuelleGruppe();
    spieltag->verbindungen().setAktuelle(gruppe);
    QSqlDatabase db = spieltag->verbindungen().datenbank(gruppe);
    // While participants are still being chosen, the table belongs to a
    // group that has no database yet, even when one of that name is open.
    const bool gespeichert = gruppeFestgelegt && db.isValid() && db.isOpen();

    // Shows a text without taking it for an entry.
    auto zeigen = [this](const TeilnehmerZelle& zelle, const QString& text, bool alsGespeichert) {
        teilnehmerModel->anzeigen(zelle.row(), zelle.column(), text, alsGespeichert);
    };
    // A refused entry typed into the table leaves the cursor on its cell,
    // behind the move to the next row that Enter queued.
    const QPersistentModelIndex getippt = teilnehmerView->indexWidget(teilnehmerProxy->mapFromSource(index))
        ? QPersistentModelIndex(index)
        : QPersistentModelIndex();
    auto ablehnen = [this, getippt](const QString& meldung) {
        qWarning().noquote() << meldung;
        melden(meldung);
        if (!getippt.isValid())
            return;
        QMetaObject::invokeMethod(
            this,
            [this, getippt] {
                if (!getippt.isValid())
                    return;
                const QModelIndex ziel = teilnehmerProxy->mapFromSource(getippt);
                if (ziel.isValid())
                    teilnehmerView->setCurrentIndex(ziel);
            },
            Qt::QueuedConnection);
    };
    // The refusal says what the cell shows again.
    auto behalten
        = [](const QString& fehler, const QString& alt) { return tr("%1; der alte Wert %2 bleibt").arg(fehler, alt); };
    const QString nichtGespeichert = tr("FEHLER: Die Gruppe ist noch nicht gespeichert, Eingabe nicht uebernommen");

    if (spalte == Spalte::Preisskat) {
        if (!gruppeFestgelegt)
            return; // stored with the group when the list is confirmed
        const bool ja = item->text() == QLatin1String("Ja");
        const QString text = ja ? QStringLiteral("Ja") : QStringLiteral("Nein");
        QString fehler;
        if (!gespeichert || !spieltag->preisskatSetzen(gruppe, startNr, ja, &fehler)) {
            if (!gespeichert)
                ablehnen(nichtGespeichert);
            else if (statusBar()->currentMessage() != tr("FEHLER: %1").arg(fehler))
                ablehnen(tr("FEHLER: %1").arg(fehler));
            const std::optional<bool> vorher = gespeichert ? spieltag->preisskat(gruppe, startNr) : std::nullopt;
            zeigen(item, vorher.value_or(!ja) ? QStringLiteral("Ja") : QStringLiteral("Nein"), false);
            return;
        }
        zeigen(item, text, false);
        spielerPreisskatUebernehmen(startNr, ja);
        return;
    }

    const int spalten = teilnehmerModel->columnCount();
    if (spalte >= spalten - 2) {
        // The sums are computed, never typed: the cell shows the stored sum.
        const std::optional<OffenerSpieltag::Stand> summen
            = gespeichert ? spieltag->summen(gruppe, startNr) : std::nullopt;
        const QString vorher = !summen ? QString() : spalte == spalten - 2 ? summen->summePunkte : summen->summeKosten;
        if (!vorher.isEmpty() && vorher != item->text()) {
            zeigen(item, vorher, false);
            ablehnen(tr("FEHLER: Summen werden aus den Serien berechnet"));
        }
        return;
    }

    const int s = item->data(Rolle::Serie).toInt();
    const int art = item->data(Rolle::Art).toInt();
    if (art != Art::Punkte && art != Art::Kosten && art != Art::Tisch)
        return;

    // What the cell showed as stored before this entry.
    QString vorher = item->data(Rolle::Gespeichert).toString();
    if (art == Art::Tisch || vorher.isEmpty()) {
        vorher = gespeichert ? Wertung::gespeicherterText(db, startNr, s, art) : QString();
        if (vorher.isEmpty())
            vorher = art == Art::Kosten ? QStringLiteral("0.0") : QStringLiteral("0");
    }
    if (!gespeichert) {
        zeigen(item, vorher, false);
        ablehnen(nichtGespeichert);
        return;
    }

    // Puts the cell back when the entry is not stored, also when an outer
    // transaction rolls it back later.
    const QPersistentModelIndex zelle(index);
    const bool mitRolle = art != Art::Tisch;
    auto zuruecksetzen = [this, zelle, vorher, mitRolle, zeigen] {
        if (zelle.isValid())
            zeigen(teilnehmerModel->zelle(zelle.row(), zelle.column()), vorher, mitRolle);
    };

    if (art == Art::Tisch) {
        const std::optional<int> tisch = Eingabe::tisch(item->text());
        if (!tisch) {
            ablehnen(behalten(Eingabe::fehlerTisch(item->text()), vorher));
            zuruecksetzen();
            return;
        }
        QString fehler;
        if (!spieltag->tischSetzen(gruppe, startNr, s, *tisch, &fehler)) {
            zuruecksetzen();
            const QString text = tr("FEHLER: %1").arg(fehler);
            if (statusBar()->currentMessage() != text)
                ablehnen(text);
            return;
        }
        zeigen(item, QString::number(*tisch), false);
        if (Db::inTransaktion(db))
            Db::nachAbschluss(db, {}, zuruecksetzen);
        return;
    }

    // Points and costs go where every result goes; the cell and its sum
    // show what the match day stored once it says so.
    OffenerSpieltag::Ergebnis e;
    e.startNr = startNr;
    e.serie = s;
    if (art == Art::Punkte) {
        // A cleared cell stores 0, as it shows after reopening.
        const std::optional<int> p = Eingabe::punkteOderLeer(item->text());
        if (!p) {
            ablehnen(behalten(Eingabe::fehlerPunkte(item->text()), vorher));
            zuruecksetzen();
            return;
        }
        e.punkte = *p;
    } else {
        const std::optional<double> k = Eingabe::kostenOderLeer(item->text());
        if (!k) {
            ablehnen(behalten(Eingabe::fehlerKosten(item->text()), vorher));
            zuruecksetzen();
            return;
        }
        e.kosten = *k;
    }
    QString fehler;
    if (!spieltag->ergebnisseSpeichern(gruppe, { e }, &fehler)) {
        zuruecksetzen();
        const QString text = tr("FEHLER: %1").arg(fehler);
        if (statusBar()->currentMessage() != text)
            ablehnen(text);
        return;
    }
    if (Db::inTransaktion(db))
        Db::nachAbschluss(db, {}, zuruecksetzen);
}

void MainWindow::onErgebnisGeaendert(const QString& gruppe, int serie, const QVector<int>& startNrs)
{
    if (!gruppeFestgelegt || gruppe != aktuelleGruppe() || serie < 1 || serie > teilnehmerTabelle->serien())
        return;
    // The program's own change, not an entry, as when loading the group;
    // a row's changed cells are announced together.
    const int n = teilnehmerTabelle->serien();
    // What changed is read together, once per call of the match day.
    const QHash<int, OffenerSpieltag::Stand> staende = spieltag->staende(gruppe, serie, startNrs);
    for (int startNr : startNrs) {
        const int zeile = teilnehmerTabelle->zeileVon(startNr);
        const auto stand = staende.constFind(startNr);
        if (zeile < 0 || stand == staende.cend())
            continue;
        teilnehmerModel->anzeigen(zeile,
            { { Spalte::punkte(serie), stand->punkte, true }, { Spalte::kosten(serie), stand->kosten, true },
                { Spalte::summePunkte(n), stand->summePunkte, false },
                { Spalte::summeKosten(n), stand->summeKosten, false } });
    }
}

void MainWindow::onKorrektur(bool on)
{
    // Editability is no entry and needs no notice: an editor asks for it.
    const int n = anzahlSerien();
    const int spalten = teilnehmerModel->columnCount();
    for (int z = 0; z < teilnehmerModel->rowCount(); ++z) {
        teilnehmerModel->setEditierbar(z, Spalte::Preisskat, on);
        for (int s = 1; s <= n; ++s) {
            teilnehmerModel->setEditierbar(z, Spalte::punkte(s), on);
            teilnehmerModel->setEditierbar(z, Spalte::kosten(s), on);
            const TeilnehmerZelle tisch = teilnehmerTabelle->tischItem(z, s);
            if (on && tisch && Zahl::ganz(tisch.text()) == 0)
                tisch.setEditable(true);
        }
        if (Spalte::summeKosten(n) < spalten) {
            teilnehmerModel->setEditierbar(z, Spalte::summePunkte(n), on);
            teilnehmerModel->setEditierbar(z, Spalte::summeKosten(n), on);
        }
    }
    korrekturZeigen(on);
}
