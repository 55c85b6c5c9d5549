#include "storage/plattform.h"

#include <QFileDevice>
#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace Plattform
{

bool nurFuerBesitzer(QFileDevice& datei)
{
    return datei.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

#ifdef Q_OS_UNIX

namespace
{

// The pipe between the handler and the event loop: [0] is read by the
// notifier, [1] written by the handler.
int s_rohr[2] = { -1, -1 };
struct sigaction s_vorher[2];
constexpr int s_signale[2] = { SIGTERM, SIGINT };

extern "C" void behandeln(int signal)
{
    const int gesichert = errno;
    const unsigned char nr = static_cast<unsigned char>(signal);
    // Non-blocking: when the pipe is full a request is already waiting.
    [[maybe_unused]] const ssize_t n = ::write(s_rohr[1], &nr, 1);
    errno = gesichert;
}

} // namespace

Beendensignale::Beendensignale(QObject* parent)
    : QObject(parent)
{
    if (s_rohr[0] >= 0)
        return; // one object per process
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, s_rohr) != 0)
        return;
    ::fcntl(s_rohr[1], F_SETFL, ::fcntl(s_rohr[1], F_GETFL) | O_NONBLOCK);
    ::fcntl(s_rohr[0], F_SETFL, ::fcntl(s_rohr[0], F_GETFL) | O_NONBLOCK);
    m_melder = new QSocketNotifier(s_rohr[0], QSocketNotifier::Read, this);
    connect(m_melder, &QSocketNotifier::activated, this, &Beendensignale::lesen);
    for (int i = 0; i < 2; ++i) {
        struct sigaction sa {
        };
        sa.sa_handler = behandeln;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        ::sigaction(s_signale[i], &sa, &s_vorher[i]);
    }
}

Beendensignale::~Beendensignale()
{
    if (!m_melder)
        return;
    for (int i = 0; i < 2; ++i)
        ::sigaction(s_signale[i], &s_vorher[i], nullptr);
    delete m_melder;
    m_melder = nullptr;
    ::close(s_rohr[0]);
    ::close(s_rohr[1]);
    s_rohr[0] = s_rohr[1] = -1;
}

void Beendensignale::lesen()
{
    unsigned char nr = 0;
    int letztes = 0;
    while (::read(s_rohr[0], &nr, 1) == 1)
        letztes = nr;
    if (letztes == 0)
        return;
    // Asked once, the program is closing; a second signal ends it at once,
    // should closing hang.
    for (int i = 0; i < 2; ++i)
        ::sigaction(s_signale[i], &s_vorher[i], nullptr);
    emit beendenVerlangt(letztes);
}

#else

// Not built: see the header for what Windows would need.
Beendensignale::Beendensignale(QObject* parent)
    : QObject(parent)
{
}

Beendensignale::~Beendensignale() = default;

void Beendensignale::lesen() { }

#endif

} // namespace Plattform
