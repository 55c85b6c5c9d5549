// Participant maintenance: active/inactive per series and late registration.

#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include <QBrush>
#include <QStandardItemModel>
#include <QStatusBar>

#include "participants/dlgnachmeldung.h"
#include "participants/dlgtlnaktiv.h"
#include "participants/teilnehmerpflege.h"
#include "roster/namensregel.h"
#include "roster/spielerauswahl.h"
#include "setup/teilnehmertabelle.h"
#include "widgets/dialoge.h"

namespace
{
constexpr int AuswahlStartNr = Spielerauswahl::StartNrRolle;
constexpr int AuswahlMitglied = Spielerauswahl::MitgliedRolle;
constexpr int AuswahlPreisskat = Spielerauswahl::PreisskatRolle;

// A draw seats only rows showing table 0, so a participant taken back into a
// series would keep his "-1" and never be seated again; he gets his 0 back.
// The change reaches the score handler, which stores table 0 for him.
// `flags` holds per series (from 1 on) the stored flag of each start number.
void wiederAufgenommeneFreigeben(TeilnehmerTabelle& tabelle, const QVector<QMap<int, bool>>& flags)
{
    for (int s = 1; s < flags.size(); ++s) {
        const QMap<int, bool>& aktiv = flags.at(s);
        for (int z = 0; z < tabelle.zeilen(); ++z) {
            const TeilnehmerZelle tisch = tabelle.tischItem(z, s);
            if (!tisch || tisch->text() != QLatin1String("-1") || !aktiv.value(tabelle.startNr(z), false))
                continue;
            tisch->setText(QStringLiteral("0"));
            tisch->setBackground(tabelle.punkteItem(z, s)->background());
        }
    }
}
// Each row gets its final texts before it is appended: appending is no
// entry, so nothing of it is taken for a score.
void zeileAnhaengen(
    TeilnehmerModell& model, int startNr, const NachmeldeSpieler& spieler, const QVector<int>& aussetzen, int serien)
{
    TeilnehmerZeile t;
    t.startNr = startNr;
    t.name = spieler.name;
    t.mitglied = spieler.mitglied;
    t.preisskat = spieler.preisskat;
    TeilnehmerTabelle::Zeile zeile = TeilnehmerTabelle::neueZeile(t, serien);
    for (int s : aussetzen) {
        if (s < 1 || s > serien)
            continue;
        zeile.zellen[Spalte::tisch(s)].text = QStringLiteral("-1");
        zeile.rolleSetzen(Spalte::tisch(s), Qt::BackgroundRole, QBrush(Qt::red));
    }
    model.zeileAnhaengen(std::move(zeile));
}

// Who was registered, under which number, and from which series on he
// plays: the first series not drawn when he came.
QString nachmeldung(const Teilnehmerpflege::NachmeldeErgebnis& e, int serien)
{
    int ab = 0;
    for (int s = 1; s <= serien && ab == 0; ++s)
        if (!e.inaktivIn.contains(s))
            ab = s;
    QStringList wer;
    for (auto it = e.eingetragen.cbegin(); it != e.eingetragen.cend(); ++it)
        wer << QObject::tr("%1 (Nr. %2)").arg(it->name).arg(it.key());
    if (wer.isEmpty())
        return QObject::tr("Niemand nachgemeldet: die Gew\u00e4hlten sind schon Teilnehmer");
    const bool einer = wer.size() == 1;
    const QString wann = ab > 0
        ? (einer ? QObject::tr("spielt ab Serie %1") : QObject::tr("spielen ab Serie %1")).arg(ab)
        : QObject::tr("alle Serien sind schon ausgelost");
    return einer ? QObject::tr("Nachgemeldet: %1, %2").arg(wer.first(), wann)
                 : QObject::tr("%1 nachgemeldet, %2: %3").arg(wer.size()).arg(wann, wer.join(QStringLiteral(", ")));
}

} // namespace

void MainWindow::onTeilNehmerAktivDeaktiv()
{
    if (teilnehmerModel->rowCount() == 0)
        return;
    // The results table follows each stored flag through the match day's
    // signal.
    const QString gruppe = aktuelleGruppe();
    DlgTlnAktiv dlg(
        anzahlSerien(), gruppe, spieltag->verbindungen().map(),
        [this, gruppe](int serie, int startNr, bool aktiv, QString* fehler) {
            return spieltag->aktivSetzen(gruppe, serie, startNr, aktiv, fehler);
        },
        this);
    dlg.exec();
}

void MainWindow::teilnehmerAnzeigen(const QString& gruppe)
{
    if (!teilnehmerTabelle || gruppe != aktuelleGruppe() || !gruppeFestgelegt)
        return;
    QSqlDatabase db = spieltag->gruppe(gruppe);
    if (!db.isValid())
        return;
    // Participants stored but not shown yet get their rows, sitting out
    // (table -1) the series they are stored inactive in.
    const int n = teilnehmerTabelle->serien();
    QVector<QMap<int, bool>> aktiv(n + 1);
    for (int s = 1; s <= n; ++s)
        aktiv[s] = Teilnehmerpflege::aktivFlags(db, s);
    const NachmeldeListe gemeldet = Teilnehmerpflege::teilnehmerLesen(db);
    bool neu = false;
    for (auto it = gemeldet.cbegin(); it != gemeldet.cend(); ++it) {
        if (teilnehmerTabelle->zeileVon(it.key()) >= 0)
            continue;
        QVector<int> aussetzen;
        for (int s = 1; s <= n; ++s)
            if (!aktiv.at(s).value(it.key(), true))
                aussetzen << s;
        zeileAnhaengen(*teilnehmerModel, it.key(), *it, aussetzen, n);
        neu = true;
    }
    wiederAufgenommeneFreigeben(*teilnehmerTabelle, aktiv);
    if (neu)
        tischaufteilungBerechnen(0);
}

void MainWindow::onTeilnehmerNachmelden()
{
    if (ui->cmbTeilnehmerGruppe->count() == 0)
        return;
    // While a group is still being put together, the table shows players of
    // a group that has no database yet; they are added with the tool buttons.
    QSqlDatabase db = gruppenDatenbank();
    if (!gruppeFestgelegt || !db.isValid() || !db.isOpen()) {
        melden(tr("Nachmelden erst, wenn die Teilnehmer der Gruppe festgelegt sind"), 5000);
        return;
    }
    const QString gruppe = aktuelleGruppe();
    ui->cmbSpielerGruppe->setCurrentText(gruppe);
    // The choice list must hold this group's roster even when the player
    // group was current already or no longer exists under that name.
    auswahlLaden(gruppe);

    NachmeldeListe kandidaten;
    QStringList abgewiesen;
    for (int z = 0; z < auswahlModel->rowCount(); ++z) {
        const QStandardItem* vorname = auswahlModel->item(z, 0);
        const QStandardItem* nachname = auswahlModel->item(z, 1);
        if (!vorname || !nachname)
            continue;
        const int nr = vorname->data(AuswahlStartNr).toInt();
        if (nr == 0 || teilnehmerTabelle->zeileVon(nr) >= 0)
            continue;
        // A name stored before names were checked would break the link's
        // messages once he plays; he is named, not offered.
        if (!Namensregel::linkSicher(vorname->text()) || !Namensregel::linkSicher(nachname->text())) {
            abgewiesen << QStringLiteral("%1 %2").arg(vorname->text(), nachname->text());
            continue;
        }
        NachmeldeSpieler s;
        s.preisskat = vorname->data(AuswahlPreisskat).toBool();
        s.mitglied = vorname->data(AuswahlMitglied).toBool();
        s.name = QStringLiteral("%1 %2").arg(vorname->text(), nachname->text());
        kandidaten.insert(nr, s);
    }

    if (!abgewiesen.isEmpty())
        Dialoge::fehler(this,
            tr("Nicht angeboten, weil der Name $ @ | : oder Steuerzeichen enthaelt (bitte in der Spielerliste "
               "korrigieren):\n%1")
                .arg(abgewiesen.join(QLatin1Char('\n'))));
    DlgNachmeldung dlg(kandidaten, this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    const NachmeldeListe auswahl = dlg.auswahl();
    if (auswahl.isEmpty()) {
        melden(tr("Niemand nachgemeldet"), 10000);
        return;
    }

    Teilnehmerpflege::NachmeldeErgebnis e;
    QString fehler;
    if (!spieltag->nachmelden(gruppe, auswahl, &e, &fehler)) {
        Dialoge::fehler(this, tr("Nachmeldung fehlgeschlagen, niemand wurde eingetragen:\n%1").arg(fehler));
        return;
    }

    nachgemeldeteZeigen(e);
}

void MainWindow::nachgemeldeteZeigen(const Teilnehmerpflege::NachmeldeErgebnis& e)
{
    // The match day's signal has shown the rows already; a registration
    // that did not go through it gets them here.
    const int n = teilnehmerTabelle->serien();
    for (auto it = e.eingetragen.cbegin(); it != e.eingetragen.cend(); ++it)
        if (teilnehmerTabelle->zeileVon(it.key()) < 0)
            zeileAnhaengen(*teilnehmerModel, it.key(), *it, e.inaktivIn, n);
    tischaufteilungBerechnen(0);
    melden(nachmeldung(e, n), 15000);
}
