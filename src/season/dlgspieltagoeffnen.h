#pragma once
// Chooses one of the stored match days: date, groups and participant
// counts, newest first.

#include <QDialog>
#include <QVector>

#include "season/spieltagliste.h"

class QTreeWidget;
class QDialogButtonBox;

class DlgSpieltagOeffnen : public QDialog
{
    Q_OBJECT
public:
    DlgSpieltagOeffnen(const QVector<Spieltagliste::Spieltag>& tage, const QString& aktuell, QWidget* parent = nullptr);

    // The chosen match day's folder (empty when none is chosen).
    QString verzeichnis() const;
    QTreeWidget* liste() const { return m_liste; }

private:
    QTreeWidget* m_liste = nullptr;
    QDialogButtonBox* m_knoepfe = nullptr;
};
