#pragma once
// The season standings inside the program: range with presets, group,
// rule, minimum attendance, the table, a player's history, and from it the
// printed page, a PDF and a spreadsheet file.

#include <QDialog>
#include <QSet>
#include <QSqlDatabase>
#include <QVector>

#include <memory>

#include "season/saison.h"
#include "season/saisonarchiv.h"
#include "season/saisonausgabe.h"

class QAbstractItemModel;
class QSettings;
class SaisonModell;
class QStandardItemModel;
class QTreeView;

namespace Ui
{
class DlgSaison;
}

class DlgSaison : public QDialog
{
    Q_OBJECT
public:
    // The entries of cmbZeitraum.
    enum Zeitraum { DieseSaison, DiesesJahr, Alle, Eigener };

    DlgSaison(QSqlDatabase haupt, const QString& datenVerzeichnis, QSettings* einstellungen, QWidget* parent = nullptr);
    ~DlgSaison() override;

    const Saison::Tabelle& tabelle() const { return m_tabelle; }
    QAbstractItemModel* wertungModel() const;
    QAbstractItemModel* unterMindestModel() const;
    QAbstractItemModel* gaesteModel() const;
    QStandardItemModel* verlaufModel() const { return m_verlauf; }

    // Shows a player's history (as selecting his row does).
    void verlaufZeigen(int startNr);

    // The file name the save dialog suggests for a file of that suffix.
    QString dateiVorschlag(const QString& endung) const;

private slots:
    void onZeitraumGewaehlt(int index);
    void onDatumGeaendert();
    void onSaisonBeginnGeaendert();
    void onBerechnen();
    void onDrucken();
    void onPdf();
    void onCsv();
    void onHtml();

private:
    void zeitraumSetzen(const QDate& von, const QDate& bis);
    Saison::Titel titel() const;
    // Asks for the file to write; empty when cancelled or when a file the
    // added suffix names exists and is not to be replaced.
    QString zielDatei(const QString& titel, const QString& filter, const QString& endung);
    void auswahlVerfolgen(QTreeView* ansicht);

    Ui::DlgSaison* ui;
    QSqlDatabase m_haupt;
    QSettings* m_einstellungen;
    QString m_datenVerzeichnis;
    QVector<Saison::Zeile> m_zeilen;
    std::unique_ptr<Saison::Archiv> m_archiv;
    Saison::Tabelle m_tabelle;
    SaisonModell* m_wertung;
    SaisonModell* m_unterMindest;
    SaisonModell* m_gaeste;
    QSet<int> m_gastNr;
    QStandardItemModel* m_verlauf;
    bool m_fuellen = false; // while the dialog sets its own controls
};
