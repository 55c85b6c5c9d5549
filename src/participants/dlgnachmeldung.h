#pragma once
// Offers the roster players of the group who are not participants yet and
// hands back the ones the organiser picks for late registration.

#include <QDialog>
#include <QModelIndex>

#include "participants/teilnehmerpflege.h"

class QStandardItemModel;

namespace Ui
{
class DlgNachmeldung;
}

class DlgNachmeldung : public QDialog
{
    Q_OBJECT
public:
    explicit DlgNachmeldung(const NachmeldeListe& kandidaten, QWidget* parent = nullptr);
    ~DlgNachmeldung() override;

    // The players selected when OK was pressed; empty after Cancel.
    NachmeldeListe auswahl() const { return m_auswahl; }

protected:
    bool eventFilter(QObject* objekt, QEvent* e) override;

private slots:
    void onAccept();

private:
    // Selects the row of `index` (if any) and accepts, as OK does.
    void zeileNehmen(const QModelIndex& index);
    Ui::DlgNachmeldung* ui;
    QStandardItemModel* model;
    NachmeldeListe m_auswahl;
};
