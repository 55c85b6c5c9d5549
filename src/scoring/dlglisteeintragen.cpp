#include "scoring/dlglisteeintragen.h"

#include "ui_dlglisteeintragen.h"

#include <QLabel>
#include <QMainWindow>
#include <QMap>
#include <QPushButton>
#include <QSqlQuery>
#include <QStatusBar>

#include "scoring/eingabe.h"

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
    // Typed over, not edited: a field reached by the keyboard selects its text.
    for (const Reihe& r : reihen) {
        r.punkte->setProperty("zahlenfeld", true);
        r.kosten->setProperty("zahlenfeld", true);
    }

    // The numbers come from a group file; whatever it holds, the selectors
    // offer no more than a group can have.
    for (int t = qMax(1, ersterTisch); t <= qMin(letzterTisch, Eingabe::maxTisch); ++t)
        ui->cmbTisch->addItem(QStringLiteral("%1").arg(t), t);
    for (int s = 0; s <= qBound(0, serien, 20); ++s)
        ui->cmbSerie->addItem(QStringLiteral("%1").arg(s), s);

    lblFehler = new QLabel(this);
    lblFehler->setObjectName(QStringLiteral("lblFehler"));
    lblFehler->setStyleSheet(QStringLiteral("color: red"));
    lblFehler->hide();
    ui->vlAlles->insertWidget(ui->vlAlles->count() - 1, lblFehler);
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

void DlgListeEintragen::fehlerZeigen(const QString& text)
{
    lblFehler->setText(text);
    lblFehler->setVisible(!text.isEmpty());
    if (text.isEmpty())
        return;
    if (auto* fenster = qobject_cast<QMainWindow*>(parentWidget()))
        fenster->statusBar()->showMessage(text);
}

void DlgListeEintragen::accept()
{
    if (pruefen())
        QDialog::accept();
}

bool DlgListeEintragen::pruefen()
{
    for (const Reihe& r : reihen) {
        if (r.name->text().isEmpty())
            continue;
        QString fehler;
        QLineEdit* feld = nullptr;
        // An empty field stores 0; other text that is no number is refused.
        if (!Eingabe::punkteOderLeer(r.punkte->text())) {
            fehler = Eingabe::fehlerPunkte(r.punkte->text());
            feld = r.punkte;
        } else if (r.kosten->isEnabled() && !Eingabe::kostenOderLeer(r.kosten->text())) {
            fehler = Eingabe::fehlerKosten(r.kosten->text());
            feld = r.kosten;
        }
        if (feld) {
            fehlerZeigen(QStringLiteral("%1 (%2)").arg(fehler, r.name->text()));
            feld->setFocus();
            feld->selectAll();
            return false;
        }
    }
    fehlerZeigen(QString());
    return true;
}

void DlgListeEintragen::vorwaehlen(int tisch, int serie)
{
    const int t = ui->cmbTisch->findData(tisch);
    const int s = ui->cmbSerie->findData(serie);
    if (t < 0 || s < 0)
        return;
    ui->cmbTisch->setCurrentIndex(t);
    ui->cmbSerie->setCurrentIndex(s);
    aktuellerTisch = tisch;
    aktuelleSerie = serie;
    ladeListe();
}

void DlgListeEintragen::weiterAnbieten(Weiter weiter)
{
    m_weiter = std::move(weiter);
    if (findChild<QPushButton*>(QStringLiteral("pbSpeichernWeiter")))
        return;
    QPushButton* knopf = ui->buttonBox->addButton(tr("Speichern und weiter"), QDialogButtonBox::ActionRole);
    knopf->setObjectName(QStringLiteral("pbSpeichernWeiter"));
    // Table after table with Enter; OK stays for the last one.
    if (QPushButton* ok = ui->buttonBox->button(QDialogButtonBox::Ok)) {
        ok->setDefault(false);
        ok->setAutoDefault(false);
    }
    knopf->setAutoDefault(true);
    knopf->setDefault(true);
    connect(knopf, &QPushButton::clicked, this, &DlgListeEintragen::speichernUndWeiter);
}

void DlgListeEintragen::speichernUndWeiter()
{
    if (!m_weiter || !pruefen())
        return;
    int tisch = 0;
    int serie = 0;
    QList<SpielListenEintrag> liste;
    eintraege(tisch, serie, liste);
    if (liste.isEmpty() || serie < 1)
        return;
    const int naechster = m_weiter(tisch, serie, liste);
    if (naechster < 0)
        return;
    if (naechster == 0) {
        // Everything is applied; OK must not apply it once more.
        for (const Reihe& r : reihen)
            reiheLeeren(r);
        QDialog::accept();
        return;
    }
    vorwaehlen(naechster, serie);
}

void DlgListeEintragen::ladeListe()
{
    fehlerZeigen(QString());
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
        // Checked on confirmation; a decimal comma is as good as a point.
        e.Punkte = Eingabe::punkteOderLeer(r.punkte->text()).value_or(0);
        e.Kosten = Eingabe::kostenOderLeer(r.kosten->text()).value_or(0.0);
        liste << e;
    }
}
