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
class QScrollArea;

class DlgTischCodes : public QDialog
{
    Q_OBJECT
public:
    using Adresse = std::function<QString(const QString& gruppe, int serie, int tisch)>;
    DlgTischCodes(const QVector<Spieltag::Gruppe>& gruppen, Adresse adresse, QWidget* parent = nullptr);

    // The tables whose codes are shown now, for tests.
    QVector<int> gezeigteTische() const { return m_tische; }
    // Shows the group of that name (the one on screen), at its last drawn series.
    void gruppeWaehlen(const QString& name);

protected:
    // As many codes in a row as the width holds, none of them cut.
    void resizeEvent(QResizeEvent* e) override;

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
    QScrollArea* m_rollen = nullptr;
    int m_spalten = 0;
    int spaltenZahl() const;
    void anordnen();
};
