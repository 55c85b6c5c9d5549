#include "setup/dlgnewgroup.h"

#include "ui_dlgnewgroup.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QLabel>
#include <QSqlDatabase>
#include <QSqlQuery>

#include "storage/spieltagleser.h"

DlgNewGroup::DlgNewGroup(const QMap<QString, QString>& verbindungen, int ersteTischNr, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::DlgNewGroup)
{
    ui->setupUi(this);
    ui->spbErsteTischNr->setValue(ersterFreierTisch(verbindungen, ersteTischNr));
}

DlgNewGroup::~DlgNewGroup()
{
    delete ui;
}

int DlgNewGroup::ersterFreierTisch(const QMap<QString, QString>& verbindungen, int k)
{
    for (auto it = verbindungen.cbegin(); it != verbindungen.cend(); ++it) {
        if (!QSqlDatabase::contains(it.value()))
            continue;
        QSqlDatabase db = QSqlDatabase::database(it.value());
        if (!db.isValid() || !db.isOpen())
            continue;
        // The master database has no Gruppe table; its query simply fails.
        QSqlQuery q(db);
        if (q.exec(QStringLiteral("SELECT LetzterTisch FROM Gruppe")) && q.next()) {
            // A damaged file may hold any number; no group reaches beyond
            // the last table a group may have.
            const int letzter = qMin(q.value(0).toInt(), Spieltag::maxTischNummer - 1);
            if (k <= letzter)
                k = letzter + 1;
        }
    }
    return k;
}

int DlgNewGroup::anzahlSerien() const
{
    return ui->spbAnzahlSerien->value();
}
int DlgNewGroup::ersteTischNr() const
{
    return ui->spbErsteTischNr->value();
}
int DlgNewGroup::spiele3er() const
{
    return ui->spb3erListe->value();
}
int DlgNewGroup::spiele4er() const
{
    return ui->spb4erListe->value();
}

void DlgNewGroup::spieltagAnbieten(const QDate& datum)
{
    if (!deSpieltag) {
        auto* zeile = new QFormLayout;
        deSpieltag = new QDateEdit(this);
        deSpieltag->setObjectName(QStringLiteral("deSpieltag"));
        deSpieltag->setCalendarPopup(true);
        deSpieltag->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        auto* beschriftung = new QLabel(tr("Datum des Spieltags"), this);
        beschriftung->setObjectName(QStringLiteral("lblSpieltag"));
        zeile->addRow(beschriftung, deSpieltag);
        ui->verticalLayout->insertLayout(0, zeile);
    }
    deSpieltag->setDate(datum);
}

QDate DlgNewGroup::spieltag() const
{
    return deSpieltag ? deSpieltag->date() : QDate();
}
