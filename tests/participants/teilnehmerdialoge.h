#pragma once
// The participant dialogs as the organiser uses them.

#include <QAction>
#include <QComboBox>
#include <QTreeView>

#include "app/mainwindow.h"
#include "testumgebung.h"

// Row of a start number in a dialog list (first column), -1 when missing.
inline int zeileVon(QAbstractItemModel* m, int startNr)
{
    for (int z = 0; z < m->rowCount(); ++z)
        if (m->index(z, 0).data().toString() == QString::number(startNr))
            return z;
    return -1;
}

// Opens "Teilnehmer aktiv/deaktiv" and hands its series choice and list to
// `handeln`; the dialog is closed afterwards. False when it did not open.
inline bool aktivDialog(MainWindow& w, std::function<void(QComboBox*, QTreeView*)> handeln)
{
    return mitDialog(w.aktion(QStringLiteral("actTeilnehmerAktiv")), "DlgTlnAktiv", [handeln](QWidget* dlg) {
        auto* cmb = dlg->findChild<QComboBox*>(QStringLiteral("cmbSerien"));
        auto* view = dlg->findChild<QTreeView*>(QStringLiteral("trvTeilnehmer"));
        QVERIFY(cmb && view);
        handeln(cmb, view);
    });
}
