#pragma once
// Shows the first rows of a member list and lets the organiser say which
// column holds what.

#include <QDialog>

#include "mitglieder/mitgliederliste.h"

class QCheckBox;
class QComboBox;
class QTableWidget;

class DlgMitgliederliste : public QDialog
{
    Q_OBJECT
public:
    DlgMitgliederliste(const Mitgliederliste::Tabelle& tabelle, const Mitgliederliste::Zuordnung& vorschlag,
        QWidget* parent = nullptr);
    Mitgliederliste::Zuordnung zuordnung() const;

private:
    void pruefen();

    QTableWidget* m_vorschau;
    QComboBox* m_vorname;
    QComboBox* m_nachname;
    QComboBox* m_gruppe;
    QComboBox* m_mitglied;
    QComboBox* m_mitgliedsNr;
    QComboBox* m_verein;
    QCheckBox* m_kopfzeile;
    class QDialogButtonBox* m_knoepfe;
};
