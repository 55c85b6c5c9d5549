#pragma once
// Key strokes to whatever has the keyboard focus, as a person types them.

#include <QApplication>
#include <QtTest>

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
