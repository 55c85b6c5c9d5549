#include "scoring/dlglisteeintragen.h"

#include "ui_dlglisteeintragen.h"

#include <QMap>
#include <QSqlQuery>

#include "setup/teilnehmertabelle.h"
#include "storage/datenbank.h"

DlgListeEintragen::DlgListeEintragen(int ersterTisch, int letzterTisch, int serien, QSqlDatabase db, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::DlgListeEintragen)
    , datenbank(db)
{
    ui->setupUi(this);
    reihen[0] = { ui->leStartNr1, ui->leName1, ui->lePunkte1, ui->leKosten1 };
    reihen[1] = { ui->leStartNr2, ui->leName2, ui->lePunkte2, ui->leKosten2 };
    reihen[2] = { ui->leStartNr3, ui->leName3, ui->lePunkte3, ui->leKosten3 };
    reihen[3] = { ui->leStartNr4, ui->leName4, ui->lePunkte4, ui->leKosten4 };

    for (int t = ersterTisch; t <= letzterTisch; ++t)
        ui->cmbTisch->addItem(QStringLiteral("%1").arg(t), t);
    for (int s = 0; s <= serien; ++s)
        ui->cmbSerie->addItem(QStringLiteral("%1").arg(s), s);
    aktuellerTisch = ersterTisch;
    aktuelleSerie = 0;

    connect(ui->cmbTisch, &QComboBox::textActivated, this, &DlgListeEintragen::onTischNr);
    connect(ui->cmbSerie, &QComboBox::textActivated, this, &DlgListeEintragen::onSerie);
}

DlgListeEintragen::~DlgListeEintragen()
{
    delete ui;
}

void DlgListeEintragen::onSerie(const QString& text)
{
    aktuelleSerie = text.toInt();
    ladeListe();
}

void DlgListeEintragen::onTischNr(const QString& text)
{
    aktuellerTisch = text.toInt();
    ladeListe();
}

void DlgListeEintragen::reiheLeeren(const Reihe& r)
{
    r.startNr->clear();
    r.name->clear();
    r.punkte->clear();
    r.kosten->clear();
}

void DlgListeEintragen::ladeListe()
{
    // Rows left over from another table or series would otherwise be applied
    // to the one now chosen.
    for (const Reihe& r : reihen)
        reiheLeeren(r);
    reihen[3].punkte->setEnabled(true);
    reihen[3].kosten->setEnabled(true);

    if (aktuellerTisch == 0 || aktuelleSerie == 0)
        return;
    if (!datenbank.isValid() || !datenbank.isOpen())
        return;

    QSqlQuery q = Db::abfrage(datenbank,
        QStringLiteral("SELECT StartNr, Punkte, Kosten, TischIntern FROM Serie%1 "
                       "WHERE Tisch=%2")
            .arg(aktuelleSerie)
            .arg(aktuellerTisch));
    QMap<int, SpielListenEintrag> nachSitz;
    while (q.next()) {
        SpielListenEintrag e;
        e.StartNr = q.value(0).toInt();
        e.Name = teilnehmerName(e.StartNr);
        if (e.Name.isEmpty())
            continue;
        e.Punkte = q.value(1).toInt();
        e.Kosten = q.value(2).toDouble();
        nachSitz.insert(q.value(3).toInt(), e);
    }

    int zeile = 0;
    for (const SpielListenEintrag& e : qAsConst(nachSitz)) {
        const Reihe& r = reihen[qMin(zeile, 3)];
        r.startNr->setText(QStringLiteral("%1").arg(e.StartNr));
        r.name->setText(e.Name);
        r.punkte->setText(QStringLiteral("%1").arg(e.Punkte));
        r.kosten->setText(Zahl::euro(e.Kosten));
        ++zeile;
    }
    if (nachSitz.size() == 3) {
        // A table of three has no fourth seat.
        reihen[3].punkte->setEnabled(false);
        reihen[3].kosten->setEnabled(false);
    }
    // The list is typed in at once: points, costs, points, ... by Tab.
    if (!nachSitz.isEmpty()) {
        reihen[0].punkte->setFocus(Qt::OtherFocusReason);
        reihen[0].punkte->selectAll();
    }
}

QString DlgListeEintragen::teilnehmerName(int startNr) const
{
    QSqlQuery q = Db::abfrage(datenbank, QStringLiteral("SELECT Name FROM Teilnehmer WHERE StartNr=%1").arg(startNr));
    if (q.next())
        return q.value(0).toString();
    return {};
}

void DlgListeEintragen::eintraege(int& tisch, int& serie, QList<SpielListenEintrag>& liste) const
{
    // The pair the rows were loaded for; the selectors show the same after
    // every activation.
    tisch = aktuellerTisch;
    serie = aktuelleSerie;
    liste.clear();
    for (const Reihe& r : reihen) {
        if (r.name->text().isEmpty())
            continue;
        SpielListenEintrag e;
        e.StartNr = Zahl::ganz(r.startNr->text());
        e.Name = r.name->text();
        e.Punkte = Zahl::ganz(r.punkte->text());
        // Typed on a German keyboard, costs often come with a decimal comma.
        QString kosten = r.kosten->text();
        e.Kosten = Zahl::dezimal(kosten.replace(QLatin1Char(','), QLatin1Char('.')));
        liste << e;
    }
}
