#include "app/ShutdownSignals.h"

#include <QSocketNotifier>

#ifndef _WIN32
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = { SIGTERM, SIGINT, SIGHUP };
constexpr int kSignalCount = static_cast<int>(sizeof kSignals / sizeof kSignals[0]);

// Written by the handler, read on the interface thread.
int g_pipe[2] = { -1, -1 };
struct sigaction g_previous[kSignalCount];
bool g_replaced[kSignalCount] = {};

extern "C" void OnShutdownSignal(int signo)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signo);
    // Non-blocking: a full pipe already holds a request.
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}

bool MakeNonBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    return flags != -1 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != -1
        && ::fcntl(fd, F_SETFD, FD_CLOEXEC) != -1;
}

} // namespace

ShutdownSignals::ShutdownSignals(QObject* parent)
    : QObject(parent)
{
    if (g_pipe[0] >= 0)
        return; // another one is in force
    if (::pipe(g_pipe) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        return;
    }
    if (!MakeNonBlocking(g_pipe[0]) || !MakeNonBlocking(g_pipe[1])) {
        ::close(g_pipe[0]);
        ::close(g_pipe[1]);
        g_pipe[0] = g_pipe[1] = -1;
        return;
    }
    notifier_ = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &ShutdownSignals::Drain);
    for (int i = 0; i < kSignalCount; ++i) {
        struct sigaction current {};
        if (::sigaction(kSignals[i], nullptr, &current) != 0 || current.sa_handler == SIG_IGN)
            continue; // nohup and background jobs ask for these to be ignored
        struct sigaction handler {};
        handler.sa_handler = OnShutdownSignal;
        sigemptyset(&handler.sa_mask);
        // Restarted calls, and the default action again once caught: a second signal ends the
        // program even if finishing hangs.
        handler.sa_flags = SA_RESTART | SA_RESETHAND;
        g_replaced[i] = ::sigaction(kSignals[i], &handler, &g_previous[i]) == 0;
    }
}

ShutdownSignals::~ShutdownSignals()
{
    if (notifier_ == nullptr)
        return;
    for (int i = 0; i < kSignalCount; ++i) {
        if (g_replaced[i])
            ::sigaction(kSignals[i], &g_previous[i], nullptr);
        g_replaced[i] = false;
    }
    delete notifier_;
    notifier_ = nullptr;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void ShutdownSignals::Drain()
{
    unsigned char bytes[16];
    bool any = false;
    while (::read(g_pipe[0], bytes, sizeof bytes) > 0)
        any = true;
    if (any)
        emit shutdownRequested();
}

#else // no POSIX signals: the session's end reaches the program through the session manager

ShutdownSignals::ShutdownSignals(QObject* parent)
    : QObject(parent)
{
}

ShutdownSignals::~ShutdownSignals() = default;

void ShutdownSignals::Drain() {}

#endif
