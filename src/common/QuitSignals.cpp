#include "common/QuitSignals.h"
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int g_pipe[2] = {-1, -1};

// Only async-signal-safe work here; the event loop picks the byte up.
void OnSignal(int sig) {
    const int saved = errno;
    const char c = char(sig);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &c, 1);
    errno = saved;
}
} // namespace

TQuitSignals::TQuitSignals(std::initializer_list<int> which, QObject* parent)
    : QObject(parent), signals_(which) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0) return;
    notifier_ = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TQuitSignals::OnReadable);
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : signals_)
        ::sigaction(sig, &sa, nullptr);
}

TQuitSignals::~TQuitSignals() {
    for (int sig : signals_)
        ::signal(sig, SIG_DFL);
    for (int& fd : g_pipe) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

void TQuitSignals::OnReadable() {
    char c = 0;
    while (::read(g_pipe[0], &c, 1) == 1)
        Q_EMIT Caught(int(c));
}
