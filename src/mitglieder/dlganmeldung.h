#pragma once
// The check-in desk at the door: a start number or part of a name, Enter,
// and the player is in the group; who is in, who has paid, and how many.
// The window hands in what a check-in and the list mean for the open day.

#include <QDialog>
#include <QVector>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class DlgAnmeldung : public QDialog
{
    Q_OBJECT
public:
    struct Zeile {
        int startNr = 0;
        QString name;
        QString bezahlt; // "Ja", "Nein", or empty while the group has no file yet
    };
    struct Anbindung {
        // The players a typed text stands for: start number and name.
        std::function<QVector<QPair<int, QString>>(const QString&)> suchen;
        // Checks one in; an error text, empty on success.
        std::function<QString(int)> anmelden;
        // Adds a guest (name as typed) and checks him in; his number or 0.
        std::function<int(const QString&)> gastAufnehmen;
        std::function<QVector<Zeile>()> liste;
        QString gruppe;
    };

    explicit DlgAnmeldung(Anbindung anbindung, QWidget* parent = nullptr);

private:
    void eingabe();
    void alsGast();
    void listeZeigen(int markiert);

    Anbindung m_anbindung;
    QLineEdit* m_eingabe;
    QLabel* m_meldung;
    QLabel* m_stand;
    QPushButton* m_gast;
    QTableWidget* m_liste;
    QString m_unbekannt;
};
