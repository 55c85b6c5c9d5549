// Table distribution, seat plan and the draws of a series.

#include "app/mainwindow.h"

#include <QDate>

#include "ui_mainwindow.h"

#include <QAction>
#include <QBrush>
#include <QDebug>
#include <QHash>
#include <QHeaderView>
#include <QMenu>
#include <QRandomGenerator>
#include <QSet>
#include <QStandardItemModel>
#include <QStatusBar>

#include "draw/auslosung.h"
#include "draw/auslosungsdaten.h"
#include "draw/dlgauslosung.h"
#include "draw/dlglosnummer.h"
#include "draw/dlgtrennpaare.h"
#include "setup/teilnehmertabelle.h"
#include "widgets/dialoge.h"
#include "widgets/mysortfilterproxymodel.h"
#include "widgets/sanduhr.h"
#include "widgets/treeview.h"

void MainWindow::tischaufteilungBerechnen(int serie)
{
    // While a group is being set up, its name comes from the player group;
    // an opened group keeps its own name and never gains a phantom entry.
    const QString spielerGruppe = ui->cmbSpielerGruppe->currentText();
    if (!gruppeFestgelegt
        && ui->cmbTeilnehmerGruppe->findText(spielerGruppe, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
        ui->cmbTeilnehmerGruppe->addItem(spielerGruppe);
        ui->cmbTeilnehmerGruppe->setCurrentText(spielerGruppe);
    }
    int n = 0;
    const Tischaufteilung a = spieltag->aufteilungBerechnen(
        aktuelleGruppe(), serie, teilnehmerModel->rowCount(), ui->leTischNr1->text().toInt(), &n);
    ui->leTischaufteilung->setText(tr("%1 Spieler - 4er %2 - 3er %3").arg(n).arg(a.vierer).arg(a.dreier));
}

void MainWindow::sitzplanAufbauen(int serie)
{
    const QString g = aktuelleGruppe();
    // One reading of the series gives the plan and who is active.
    QHash<int, bool> aktiv;
    spieltag->sitzplanAufbauen(g, serie, &aktiv);
    if (serie >= 1 && serie <= teilnehmerTabelle->serien()) {
        // Who was made inactive shows -1 in red until the next draw seats him.
        for (int z = 0; z < teilnehmerModel->rowCount(); ++z) {
            const TeilnehmerZelle tisch = teilnehmerTabelle->tischItem(z, serie);
            auto it = tisch ? aktiv.constFind(teilnehmerTabelle->startNr(z)) : aktiv.constEnd();
            if (it == aktiv.constEnd())
                continue;
            if (!it.value()) {
                tisch->setText(QStringLiteral("-1"));
                tisch->setBackground(QBrush(Qt::red));
            } else {
                // Only a real change: a colour is no entry, but each change
                // is a notice to the views.
                const QVariant hintergrund = teilnehmerTabelle->punkteItem(z, serie)->data(Qt::BackgroundRole);
                if (tisch->data(Qt::BackgroundRole) != hintergrund)
                    tisch->setData(hintergrund, Qt::BackgroundRole);
            }
        }
    }
}

namespace
{

// Start numbers of the rows still without a table in a series, in row order;
// rows showing a table or "-1" (inactive) keep what they have.
QVector<int> ohneTisch(const TeilnehmerTabelle& tabelle, int serie)
{
    QVector<int> startNrs;
    for (int z = 0; z < tabelle.zeilen(); ++z) {
        const TeilnehmerZelle tisch = tabelle.tischItem(z, serie);
        if (tisch && Zahl::ganz(tisch->text()) == 0)
            startNrs << tabelle.startNr(z);
    }
    return startNrs;
}

} // namespace

void MainWindow::onAuslosen()
{
    auslosenMitDialog(0);
}

void MainWindow::onNaechsteSerieAuslosen()
{
    if (!ui->pbAuslosen->isEnabled() || teilnehmerTabelle->zeilen() == 0) {
        melden(tr("Nichts auszulosen: erst eine Gruppe anlegen und ihre Teilnehmer festlegen (Strg+Eingabe)"), 8000);
        return;
    }
    const int serie = ersteUngelosteSerie();
    if (serie == 0) {
        melden(tr("Alle %1 Serien der Gruppe %2 sind ausgelost").arg(teilnehmerTabelle->serien()).arg(aktuelleGruppe()),
            8000);
        return;
    }
    ui->tabWidget->setCurrentIndex(1);
    auslosenMitDialog(serie);
}

int MainWindow::ersteUngelosteSerie() const
{
    for (int s = 1; s <= teilnehmerTabelle->serien(); ++s)
        if (!ohneTisch(*teilnehmerTabelle, s).isEmpty())
            return s;
    return 0;
}

int MainWindow::letzteGelosteSerie() const
{
    for (int s = teilnehmerTabelle->serien(); s >= 1; --s)
        for (int z = 0; z < teilnehmerTabelle->zeilen(); ++z) {
            const TeilnehmerZelle tisch = teilnehmerTabelle->tischItem(z, s);
            if (tisch && Zahl::ganz(tisch->text()) > 0)
                return s;
        }
    return 0;
}

void MainWindow::auslosungMelden(int serie)
{
    QSet<int> tische;
    for (int z = 0; z < teilnehmerTabelle->zeilen(); ++z) {
        const TeilnehmerZelle tisch = teilnehmerTabelle->tischItem(z, serie);
        if (tisch && Zahl::ganz(tisch->text()) > 0)
            tische.insert(Zahl::ganz(tisch->text()));
    }
    QString text = tische.size() == 1 ? tr("Serie %1 ausgelost: 1 Tisch").arg(serie)
                                      : tr("Serie %1 ausgelost: %2 Tische").arg(serie).arg(tische.size());
    const int ohne = ohneTisch(*teilnehmerTabelle, serie).size();
    if (ohne > 0)
        text += tr("; %1 Teilnehmer ohne Platz").arg(ohne);
    if (!letzteLosung.isEmpty())
        text += QStringLiteral("; ") + letzteLosung;
    letzteLosung.clear();
    melden(text);
}

void MainWindow::auslosenMitDialog(int vorwahl)
{
    DlgAuslosung dlg(aktuelleGruppe(), spieltag->verbindungen().map(), anzahlSerien(), ui->dateEdit->date());
    if (vorwahl > 0)
        dlg.serieWaehlen(vorwahl);
    if (dlg.exec() != QDialog::Accepted)
        return;
    const int serie = dlg.serie();
    if (serie < 1 || serie > teilnehmerTabelle->serien())
        return;
    // Every participant already has a table: a draw would change nothing,
    // which the organiser is told rather than left to wonder.
    const int ohneVorher = ohneTisch(*teilnehmerTabelle, serie).size();
    if (dlg.modus() != DlgAuslosung::Setzen && teilnehmerTabelle->zeilen() > 0 && ohneVorher == 0) {
        const int naechste = ersteUngelosteSerie();
        melden(naechste > 0 ? tr("Serie %1 ist bereits ausgelost; als n\u00e4chste ist Serie %2 dran (Strg+L)")
                                  .arg(serie)
                                  .arg(naechste)
                            : tr("Serie %1 ist bereits ausgelost").arg(serie),
            10000);
        return;
    }
    const Sanduhr warten;
    bool gelost = false;
    switch (dlg.modus()) {
    case DlgAuslosung::Zufall:
        auslosenZufall(serie);
        break;
    case DlgAuslosung::Rang:
        auslosenRang(serie);
        break;
    case DlgAuslosung::Spieltag:
        auslosenSpieltag(dlg.datum(), serie);
        break;
    case DlgAuslosung::Setzen: {
        const DlgAuslosung::Setzliste liste = dlg.setzliste();
        qDebug() << "Setzliste Serie" << serie << liste;
        QVector<Zuweisung> gesetzt;
        for (auto it = liste.cbegin(); it != liste.cend(); ++it)
            for (const auto& sitz : it.value())
                gesetzt << Zuweisung { it.key(), sitz.first, sitz.second };
        gelost = !gesetzt.isEmpty() && tischeSpeichern(serie, gesetzt);
        // Seats set by hand are no longer the seats of a draw number.
        if (gelost)
            Auslosungsdaten::losungVergessen(gruppenDatenbank(), serie);
        break;
    }
    default:
        break;
    }
    if (gelost || ohneTisch(*teilnehmerTabelle, serie).size() < ohneVorher)
        auslosungMelden(serie);
}

void MainWindow::auslosenZufall(int serie)
{
    auslosenMitLosnummer(serie, Auslosungsdaten::neueLosnummer());
}

void MainWindow::auslosenRang(int serie)
{
    tischaufteilungBerechnen(serie);
    sitzplanAufbauen(serie);
    const QVector<int> startNrs = ohneTisch(*teilnehmerTabelle, serie);
    if (startNrs.isEmpty())
        return;
    sitzplanSchreiben(serie, Auslosung::rang(startNrs, Auslosungsdaten::summenLesen(gruppenDatenbank())));
}

void MainWindow::auslosenSpieltag(const QDate& tag, int serie)
{
    tischaufteilungBerechnen(serie);
    sitzplanAufbauen(serie);
    const QVector<int> startNrs = ohneTisch(*teilnehmerTabelle, serie);
    if (startNrs.isEmpty())
        return;
    const QHash<int, int> punkte = Auslosungsdaten::ranglistePunkte(spieltag->verbindungen().hauptDatenbank(), tag);
    sitzplanSchreiben(serie, Auslosung::spieltag(startNrs, punkte));
}

void MainWindow::sitzplanSchreiben(int serie, const QVector<int>& reihenfolge)
{
    if (reihenfolge.isEmpty())
        return;
    const QString g = aktuelleGruppe();
    Sitzplan plan = spieltag->sitzordnung().plaene.value(g);
    positionenSetzen(plan);
    const QVector<int> ohnePlatz = besetzen(plan, reihenfolge);
    const int ersterTisch = ui->leTischNr1->text().toInt();
    plan = umnummerieren(plan, ersterTisch);
    tischZaehler = ersterTisch - 1 + plan.size();
    if (!tischeSpeichern(serie, zuweisungen(plan)))
        return;
    // Seated by standing, the series no longer has the seats of its number.
    Auslosungsdaten::losungVergessen(gruppenDatenbank(), serie);
    spieltag->sitzordnung().plaene.insert(g, plan);
    if (!ohnePlatz.isEmpty())
        statusBar()->showMessage(tr("%1 Teilnehmer ohne Platz").arg(ohnePlatz.size()));
}

bool MainWindow::tischeSpeichern(
    int serie, const QVector<Zuweisung>& liste, bool markeEntfernen, const std::optional<Spieltag::Losung>& losung)
{
    if (liste.isEmpty())
        return true;
    if (!gruppenDatenbank().isValid() || serie < 1 || serie > teilnehmerTabelle->serien())
        return false;
    // The seats of the participants the table shows; the match day stores
    // them all or none, and the cells show them only once they are stored.
    QVector<Zuweisung> gezeigt;
    gezeigt.reserve(liste.size());
    for (const Zuweisung& z : liste) {
        const int zeile = teilnehmerTabelle->zeileVon(z.startNr);
        if (zeile >= 0 && teilnehmerTabelle->tischItem(zeile, serie))
            gezeigt << z;
    }
    QString fehler;
    if (!spieltag->sitzeSpeichern(aktuelleGruppe(), serie, gezeigt, losung, &fehler)) {
        const QString text = tr("FEHLER: %1").arg(fehler);
        if (statusBar()->currentMessage() != text)
            melden(text);
        return false;
    }
    tischeZeigen(serie, gezeigt, markeEntfernen);
    return true;
}

void MainWindow::tischeZeigen(int serie, const QVector<Zuweisung>& gezeigt, bool markeEntfernen)
{
    // A draw changes a whole column: the cells only show what is stored (no
    // entry for the score handler), and the views hear of the column once,
    // so they keep their rows, widths and place.
    if (serie < 1 || serie > teilnehmerTabelle->serien())
        return;
    QVector<TeilnehmerModell::Sitzanzeige> sitze;
    sitze.reserve(gezeigt.size());
    for (const Zuweisung& z : qAsConst(gezeigt)) {
        const int zeile = teilnehmerTabelle->zeileVon(z.startNr);
        if (zeile < 0)
            continue;
        const TeilnehmerZelle zelle = teilnehmerTabelle->tischItem(zeile, serie);
        if (markeEntfernen && zelle->text() == QLatin1String("-1")) {
            const QVariant hintergrund = teilnehmerTabelle->punkteItem(zeile, serie)->data(Qt::BackgroundRole);
            if (zelle->data(Qt::BackgroundRole) != hintergrund)
                zelle->setData(hintergrund, Qt::BackgroundRole);
        }
        sitze << TeilnehmerModell::Sitzanzeige { zeile, z.tisch, z.sitz };
    }
    teilnehmerModel->sitzeZeigen(Spalte::tisch(serie), sitze);
}

void MainWindow::onAuslosungZuruecksetzen()
{
    const int serie = gewaehlteSerie;
    if (serie < 1 || serie > teilnehmerTabelle->serien()) {
        melden(tr("Welche Serie? Erst auf die Spalte TischS der Serie klicken, dann zur\u00fccksetzen"), 8000);
        return;
    }
    if (!Dialoge::frage(this, tr("Auslosung von Serie %1 zuruecksetzen?").arg(serie)))
        return;
    QString fehler;
    if (!spieltag->auslosungZuruecksetzen(aktuelleGruppe(), serie, &fehler)) {
        melden(tr("FEHLER: %1").arg(fehler));
        return;
    }
    // The cells show what is now stored: nobody has a table, and the marks
    // of those made inactive go until the next draw sets them again.
    QVector<Zuweisung> alle;
    alle.reserve(teilnehmerTabelle->zeilen());
    for (int z = 0; z < teilnehmerTabelle->zeilen(); ++z)
        alle << Zuweisung { 0, 0, teilnehmerTabelle->startNr(z) };
    tischeZeigen(serie, alle, true);
    melden(tr("Auslosung von Serie %1 zur\u00fcckgesetzt").arg(serie), 8000);
}

void MainWindow::auslosenMitLosnummer(int serie, qint64 losnummer)
{
    letzteLosung.clear();
    tischaufteilungBerechnen(serie);
    sitzplanAufbauen(serie);
    const QVector<int> startNrs = ohneTisch(*teilnehmerTabelle, serie);
    QSqlDatabase db = gruppenDatenbank();
    if (startNrs.isEmpty() || !db.isValid() || !db.isOpen())
        return;
    const QString g = aktuelleGruppe();
    const Auslosungsdaten::Einstellung einstellung = Auslosungsdaten::einstellungLesen(*einstellungen);
    FaireAuslosung::Eingabe e;
    e.plan = spieltag->sitzordnung().plaene.value(g);
    e.spieler = startNrs;
    e.losnummer = quint64(losnummer);
    e.ausgleich = einstellung.ausgleich;
    // Only the series before this one: drawn again after a reset with the
    // same number, a series must see what it saw the first time.
    e.vorgeschichte = spieltag->vorgeschichte(g, serie);
    if (einstellung.ausgleich) {
        const QVector<FaireAuslosung::Runde> frueher
            = Auslosungsdaten::fruehereSpieltage(datenbankVerzeichnis, ui->dateEdit->date(), g, einstellung.spieltage);
        for (const FaireAuslosung::Runde& r : frueher)
            e.vorgeschichte.rundeHinzufuegen(r, FaireAuslosung::gewichtFrueher);
    }
    e.getrennt = Auslosungsdaten::trennpaareLesen(spieltag->verbindungen().hauptDatenbank());
    const FaireAuslosung::Ergebnis r = FaireAuslosung::auslosen(e);

    const int ersterTisch = ui->leTischNr1->text().toInt();
    const Sitzplan plan = umnummerieren(r.plan, ersterTisch);
    tischZaehler = ersterTisch - 1 + plan.size();
    const bool gesetzt = r.ohnePlatz.size() < startNrs.size();
    // The number and the seats are stored together or not at all.
    std::optional<Spieltag::Losung> losung;
    if (gesetzt)
        losung = Spieltag::Losung { losnummer, r.guete.wiederholungen, int(r.guete.nichtGetrennt.size()) };
    if (!tischeSpeichern(serie, zuweisungen(plan), false, losung))
        return;
    spieltag->sitzordnung().plaene.insert(g, plan);
    if (!r.ohnePlatz.isEmpty() && !gesetzt)
        statusBar()->showMessage(tr("%1 Teilnehmer ohne Platz").arg(r.ohnePlatz.size()));
    // The confirmation of the draw (auslosungMelden) carries this along.
    if (gesetzt)
        letzteLosung = tr("Losnummer %1, %2").arg(losnummer).arg(Auslosungsdaten::gueteText(r.guete));
}

void MainWindow::auslosungEinrichten()
{
    auto* trennen = new QAction(tr("Faire Auslosung\u2026"), this);
    trennen->setObjectName(QStringLiteral("actFaireAuslosung"));
    trennen->setStatusTip(tr("Wiederholungen am Tisch vermeiden und Spieler, die nie zusammen sitzen"));
    connect(trennen, &QAction::triggered, this, &MainWindow::onTrennpaare);
    auto* nochmal = new QAction(tr("Erneut auslosen mit Nummer\u2026"), this);
    nochmal->setObjectName(QStringLiteral("actAuslosenMitNummer"));
    nochmal->setStatusTip(tr("Eine zurueckgesetzte Serie mit ihrer Losnummer genau so wieder auslosen"));
    connect(nochmal, &QAction::triggered, this, &MainWindow::onAuslosenMitNummer);
    menuEditieren->addSeparator();
    menuEditieren->addAction(trennen);
    menuEditieren->addAction(nochmal);
}

void MainWindow::onTrennpaare()
{
    DlgTrennpaare dlg(spieltag->verbindungen().hauptDatenbank(), einstellungen, this);
    dlg.exec();
}

void MainWindow::onAuslosenMitNummer()
{
    QSqlDatabase db = gruppenDatenbank();
    if (!gruppeFestgelegt || !db.isValid() || !db.isOpen() || teilnehmerTabelle->zeilen() == 0) {
        statusBar()->showMessage(tr("Keine Gruppe zum Auslosen geoeffnet"), 5000);
        return;
    }
    QMap<int, qint64> nummern;
    for (int s = 1; s <= teilnehmerTabelle->serien(); ++s)
        if (const std::optional<Auslosungsdaten::Losung> l = Auslosungsdaten::losungLesen(db, s))
            nummern.insert(s, l->losnummer);
    DlgLosnummer dlg(teilnehmerTabelle->serien(), nummern, this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    const int serie = dlg.serie();
    if (serie < 1 || serie > teilnehmerTabelle->serien() || dlg.losnummer() <= 0)
        return;
    if (ohneTisch(*teilnehmerTabelle, serie).isEmpty()) {
        statusBar()->showMessage(tr("Serie %1 ist bereits ausgelost").arg(serie), 10000);
        return;
    }
    const Sanduhr warten;
    const int ohneVorher = ohneTisch(*teilnehmerTabelle, serie).size();
    auslosenMitLosnummer(serie, dlg.losnummer());
    if (ohneTisch(*teilnehmerTabelle, serie).size() < ohneVorher)
        auslosungMelden(serie);
}
