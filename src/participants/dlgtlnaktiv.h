#pragma once
// Lets the organiser take participants of the current group out of a series
// and back in; every change is stored at once.

#include <QDialog>
#include <QMap>
#include <QString>

#include <functional>

class QStandardItem;
class QStandardItemModel;

namespace Ui
{
class DlgTlnAktiv;
}

class DlgTlnAktiv : public QDialog
{
    Q_OBJECT
public:
    // Stores one flag: series, start number, active; false with a German
    // text when it was not stored.
    using Speichern = std::function<bool(int serie, int startNr, bool aktiv, QString* fehler)>;

    DlgTlnAktiv(int anzahlSerien, const QString& gruppe, const QMap<QString, QString>& verbindungen,
        Speichern speichern, QWidget* parent = nullptr);
    ~DlgTlnAktiv() override;

private slots:
    void onActivChanged(QStandardItem* item);
    void onSerieChanged(QString text);

private:
    void listeFuellen();
    int serie() const;

    Ui::DlgTlnAktiv* ui;
    QStandardItemModel* model;
    QMap<QString, QString> verbindungen;
    QString verbindung; // connection of the group, empty when it has none
    QString gruppe;
    Speichern speichern;
    // Set while the dialog itself puts a stored value back into the list.
    bool zuruecksetzen = false;
};
