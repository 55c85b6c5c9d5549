#pragma once
// The busy cursor for as long as an object of this class lives: around work
// that can take longer than a moment (draws, loading a large group, writing
// a report). Never around a modal dialog.

#include <QApplication>

class Sanduhr
{
public:
    Sanduhr() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Sanduhr() { QApplication::restoreOverrideCursor(); }
    Sanduhr(const Sanduhr&) = delete;
    Sanduhr& operator=(const Sanduhr&) = delete;
};
