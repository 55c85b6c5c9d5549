#pragma once
// Everything of the program that depends on the operating system sits here,
// so a port has one file to look at. Built and tested on Linux (POSIX); the
// Windows branches say what that system would need and were never built.
//
// - The data-folder lock (Datensperre) is QLockFile: it locks and decides
//   whether a lock left behind is stale (its process is gone) on POSIX and
//   on Windows alike, so no code of ours differs there.
// - A file only its owner may read: nurFuerBesitzer().
// - Ending on request of the system (logout, kill, Ctrl+C): Beendensignale.
//
// One exception lies elsewhere: the table app's server (web/server.cpp)
// reads each request head itself on the accepted socket with poll(), recv()
// and send() (POSIX); on Windows these would be WSAPoll(), recv() and send()
// of Winsock, with closesocket() and without MSG_NOSIGNAL.

#include <QObject>

class QFileDevice;
class QSocketNotifier;

namespace Plattform
{

// Makes an open file (a QSaveFile before its commit, so the secret is never
// readable by others for a moment) readable and writable by its owner only.
// POSIX: mode 0600. Windows: QFile only toggles the read-only attribute
// there; the file would stay as private as the profile folder it lies in,
// and a file of its own would need an ACL for the current user's SID only
// (SetSecurityInfo). False when the permissions could not be set.
bool nurFuerBesitzer(QFileDevice& datei);

// Turns SIGTERM and SIGINT into a Qt signal delivered by the event loop, so
// the program can end as when its window is closed instead of dying with its
// lock left behind. The handler only writes the signal's number into a pipe
// (all a signal handler may safely do); a QSocketNotifier reads it in the
// main thread. One object per process. After the first request, and when
// the object goes, the signals mean what they meant before, so a second one
// ends a program whose closing hangs.
// Windows has neither signal: there the session's end reaches the program as
// WM_QUERYENDSESSION (QGuiApplication::commitDataRequest) and a console's
// Ctrl+C through SetConsoleCtrlHandler; this class would install the latter.
class Beendensignale : public QObject
{
    Q_OBJECT
public:
    explicit Beendensignale(QObject* parent = nullptr);
    ~Beendensignale() override;
    Beendensignale(const Beendensignale&) = delete;
    Beendensignale& operator=(const Beendensignale&) = delete;

    // False when the handlers could not be installed (the defaults stay).
    bool aktiv() const { return m_melder != nullptr; }

signals:
    // The number of the signal that asked the program to end.
    void beendenVerlangt(int signal);

private:
    void lesen();

    QSocketNotifier* m_melder = nullptr;
};

} // namespace Plattform
