#pragma once
// Describes a new tournament group: series, first table and games per list.

#include <QDate>
#include <QDialog>
#include <QMap>
#include <QString>

namespace Ui
{
class DlgNewGroup;
}

class QDateEdit;

class DlgNewGroup : public QDialog
{
    Q_OBJECT
public:
    DlgNewGroup(const QMap<QString, QString>& verbindungen, int ersteTischNr, QWidget* parent = nullptr);
    ~DlgNewGroup() override;

    int anzahlSerien() const;
    int ersteTischNr() const;
    int spiele3er() const;
    int spiele4er() const;

    // A new match day also asks for its date (a day entered afterwards from
    // paper goes under its real date); groups added to a day do not.
    void spieltagAnbieten(const QDate& datum);
    QDate spieltag() const;

    // The first table behind the last table of every registered group.
    static int ersterFreierTisch(const QMap<QString, QString>& verbindungen, int ersteTischNr);

private:
    Ui::DlgNewGroup* ui;
    QDateEdit* deSpieltag = nullptr;
};
