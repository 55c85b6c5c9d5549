#pragma once
// Shows the QR codes of the tables of a series on screen, so players can
// scan their table's page without a printed sheet.

#include <QDialog>
#include <QVector>

#include <functional>

#include "storage/spieltagleser.h"

class QComboBox;
class QSpinBox;
class QGridLayout;
class QLabel;

class DlgTischCodes : public QDialog
{
    Q_OBJECT
public:
    using Adresse = std::function<QString(const QString& gruppe, int serie, int tisch)>;
    DlgTischCodes(const QVector<Spieltag::Gruppe>& gruppen, Adresse adresse, QWidget* parent = nullptr);

    // The tables whose codes are shown now, for tests.
    QVector<int> gezeigteTische() const { return m_tische; }

private slots:
    void zeigen();

private:
    QVector<Spieltag::Gruppe> m_gruppen;
    Adresse m_adresse;
    QComboBox* m_gruppe = nullptr;
    QSpinBox* m_serie = nullptr;
    QGridLayout* m_raster = nullptr;
    QLabel* m_hinweis = nullptr;
    QVector<int> m_tische;
};
