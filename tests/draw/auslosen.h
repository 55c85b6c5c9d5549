#pragma once
// Draws through the window's draw dialog, as the organiser does.

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QMap>
#include <QPair>
#include <QRadioButton>
#include <QSqlQuery>

#include "app/mainwindow.h"
#include "testumgebung.h"
#include "ui_mainwindow.h"

// Chooses series and mode, lets `weiter` fill in the rest, then OK.
inline bool auslosen(
    MainWindow& w, int serie, const char* modus = "rbZufall", std::function<void(QWidget*)> weiter = {})
{
    const QString rb = QString::fromLatin1(modus);
    return mitDialog(w.form()->pbAuslosen, "DlgAuslosung", [serie, rb, weiter](QWidget* dlg) {
        dlg->findChild<QComboBox*>(QStringLiteral("comboBox"))->setCurrentIndex(serie - 1);
        dlg->findChild<QRadioButton*>(rb)->click();
        if (weiter)
            weiter(dlg);
        knopf(dlg, QDialogButtonBox::Ok);
    });
}

using Sitze = QMap<int, QPair<int, int>>; // start number -> (table, seat)

// The seats of a series as stored.
inline Sitze sitzeVon(QSqlDatabase db, int serie)
{
    Sitze s;
    QSqlQuery q(db);
    q.exec(QStringLiteral("SELECT StartNr, Tisch, TischIntern FROM Serie%1").arg(serie));
    while (q.next())
        s.insert(q.value(0).toInt(), { q.value(1).toInt(), q.value(2).toInt() });
    return s;
}
