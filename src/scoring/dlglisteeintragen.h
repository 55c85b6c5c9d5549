#pragma once
// Enters one table's game list of one series in one step: the players seated
// there in seat order with their points and costs, to be confirmed together.

#include <QDialog>
#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <functional>

class QLabel;
class QLineEdit;

namespace Ui
{
class DlgListeEintragen;
}

// One row of a confirmed list.
struct SpielListenEintrag {
    double Kosten = 0.0;
    int Punkte = 0;
    QString Name;
    int StartNr = 0;
};

class DlgListeEintragen : public QDialog
{
    Q_OBJECT
public:
    DlgListeEintragen(int ersterTisch, int letzterTisch, int serien, QSqlDatabase db, QWidget* parent = nullptr);
    ~DlgListeEintragen() override;

    // Fills the four rows for the current table and series.
    void ladeListe();
    // The participant's name, or an empty string.
    QString teilnehmerName(int startNr) const;
    // The confirmed list: rows with a name, in row order.
    void eintraege(int& tisch, int& serie, QList<SpielListenEintrag>& liste) const;

    // Shows a table of a series and loads its list, as choosing both does.
    void vorwaehlen(int tisch, int serie);
    // Applies a list and names the table to load next: 0 when none is left
    // (the dialog then closes), -1 when the list was not taken (the dialog
    // stays on it).
    using Weiter = std::function<int(int tisch, int serie, const QList<SpielListenEintrag>& liste)>;
    // Adds the button "Speichern und weiter" (the default button): it
    // checks the list as OK does, hands it to `weiter` and loads the table
    // named back.
    void weiterAnbieten(Weiter weiter);

public slots:
    void onSerie(const QString& text);
    void onTischNr(const QString& text);
    // Confirms only a list whose points and costs are all numbers in range;
    // otherwise the field in question is marked and the dialog stays open.
    void accept() override;

private:
    struct Reihe {
        QLineEdit* startNr;
        QLineEdit* name;
        QLineEdit* punkte;
        QLineEdit* kosten;
    };
    void reiheLeeren(const Reihe& r);
    // Checks every named row; marks the first wrong field and says why.
    bool pruefen();
    void speichernUndWeiter();
    void fehlerZeigen(const QString& text);

    Ui::DlgListeEintragen* ui;
    QSqlDatabase datenbank;
    int aktuellerTisch = 0;
    int aktuelleSerie = 0;
    Reihe reihen[4];
    QLabel* lblFehler = nullptr;
    Weiter m_weiter;
};
