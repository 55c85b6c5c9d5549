#pragma once
// A guest at the door in one step: first and last name and the player group;
// the start number is given by the program.

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

class DlgGast : public QDialog
{
    Q_OBJECT
public:
    DlgGast(const QStringList& gruppen, const QString& gruppe, QWidget* parent = nullptr);
    void nameVorgeben(const QString& name);
    QString vorname() const;
    QString nachname() const;
    QString gruppe() const;

private:
    void pruefen();

    QLineEdit* m_vorname;
    QLineEdit* m_nachname;
    QComboBox* m_gruppe;
    QPushButton* m_ok;
};
