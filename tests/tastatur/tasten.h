#pragma once
// Key strokes to whatever has the keyboard focus, as a person types them.

#include <QApplication>
#include <QDialog>
#include <QtTest>

#include <functional>

#include "testumgebung.h"

inline void taste(int key, Qt::KeyboardModifiers mod = Qt::NoModifier)
{
    QWidget* ziel = QApplication::focusWidget();
    QVERIFY(ziel);
    QTest::keyClick(ziel, Qt::Key(key), mod);
}

inline void tippen(const QString& text)
{
    for (const QChar c : text) {
        QWidget* ziel = QApplication::focusWidget();
        QVERIFY(ziel);
        QTest::keyClick(ziel, c.toLatin1());
    }
}

// The same inside a dialog, to the widget that has the focus within it.
inline void tasteIn(QWidget* fenster, int key, Qt::KeyboardModifiers mod = Qt::NoModifier)
{
    QWidget* ziel = fenster->focusWidget() ? fenster->focusWidget() : fenster;
    QTest::keyClick(ziel, Qt::Key(key), mod);
}

inline void tippenIn(QWidget* fenster, const QString& text)
{
    for (const QChar c : text)
        QTest::keyClick(fenster->focusWidget() ? fenster->focusWidget() : fenster, c.toLatin1());
}

// Presses a key in the window and runs `handeln` on the dialog of that class
// it opens; a dialog the handler leaves open is rejected. True when it came.
inline bool dialogPerTaste(
    const char* klasse, int key, Qt::KeyboardModifiers mod, std::function<void(QWidget*)> handeln)
{
    auto erledigt = beimNaechstenDialog(klasse, [handeln](QWidget* dlg) {
        handeln(dlg);
        if (dlg->isVisible())
            static_cast<QDialog*>(dlg)->reject();
    });
    QWidget* fenster = QApplication::activeWindow();
    taste(key, mod);
    if (fenster) {
        fenster->activateWindow();
        if (!QTest::qWaitForWindowActive(fenster))
            return false;
    }
    return *erledigt;
}
