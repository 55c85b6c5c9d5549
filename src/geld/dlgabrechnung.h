#pragma once
// The settlement of the open group's evening: the fees and the payout plan
// that apply, who has paid, and the settlement printed, as PDF or as CSV.
// Every change is stored at once in the group file; a value that cannot be
// stored is refused and the stored one shown again.

#include <QDialog>
#include <QMap>
#include <QSqlDatabase>

#include "geld/abrechnung.h"
#include "storage/spieltagleser.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSettings;
class QSpinBox;
class QTableWidget;
class QTableWidgetItem;

class DlgAbrechnung : public QDialog
{
    Q_OBJECT
public:
    // Columns of the participant table.
    enum Spalte { Nr, Name, Schuld, Bezahlt, Betrag, Preise, Saldo, Spalten };

    DlgAbrechnung(QSqlDatabase db, QSettings& einstellungen, const QString& ordner, QWidget* eltern = nullptr);

    const Geld::Abrechnung& abrechnung() const { return m_abrechnung; }
    // The last refusal, as shown in the dialog's status line.
    QString meldung() const;

    // Toggles "paid in full" of the participant in that row; the key Space
    // does this on the current row.
    void bezahltUmschalten(int zeile);

protected:
    bool eventFilter(QObject* objekt, QEvent* ereignis) override;

private slots:
    void onFestlegen();
    void onZelleGeaendert(QTableWidgetItem* item);
    void onDrucken();
    void onBelege();
    void onPdf();
    void onCsv();

private:
    bool laden();
    bool aktualisieren();
    void neuBerechnen();
    void felderZeigen();
    void fehler(const QString& text);
    QString zielDatei(const QString& titel, const QString& filter, const QString& endung);

    QSqlDatabase m_db;
    QSettings& m_einstellungen;
    QString m_ordner;
    Spieltag::Gruppe m_gruppe;
    Geld::Gebuehren m_gebuehren;
    Geld::Auszahlplan m_plan;
    QMap<int, Geld::Zahlung> m_zahlungen;
    Geld::Abrechnung m_abrechnung;
    bool m_fuellen = false;

    QLineEdit* m_startgeld;
    QLabel* m_preisskat;
    QComboBox* m_planArt;
    QLineEdit* m_planWerte;
    QCheckBox* m_proTisch;
    QSpinBox* m_anzahl;
    QSpinBox* m_kostenAnteil;
    QLineEdit* m_serienPreis;
    QSpinBox* m_verlorenBis;
    QLineEdit* m_passGeld;
    QTableWidget* m_tabelle;
    QLabel* m_summen;
    QLabel* m_status;
};
