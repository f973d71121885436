#include "link/ending_signals.h"

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace dx400 {

namespace {

struct Caught {
    int signal;
    const char* name;
};

constexpr std::array kSignals{
    Caught{SIGHUP, "SIGHUP"},   Caught{SIGINT, "SIGINT"},   Caught{SIGQUIT, "SIGQUIT"},
    Caught{SIGTERM, "SIGTERM"}, Caught{SIGALRM, "SIGALRM"}, Caught{SIGUSR1, "SIGUSR1"},
    Caught{SIGUSR2, "SIGUSR2"}, Caught{SIGPIPE, "SIGPIPE"},
};

int g_pipe[2] = {-1, -1}; // read end, write end
struct sigaction g_previous[kSignals.size()] = {};

void onSignal(int signal) {
    const int savedErrno = errno; // the interrupted code may be about to read it
    const auto number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &number, 1);
    errno = savedErrno;
}

} // namespace

EndingSignals::EndingSignals(QObject* parent) : QObject(parent) {
    if (::pipe(g_pipe) != 0)
        return; // no watch: the signals end the program as usual
    for (int end : g_pipe) {
        ::fcntl(end, F_SETFD, FD_CLOEXEC);
        ::fcntl(end, F_SETFL, O_NONBLOCK);
    }
    m_notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] { poll(); });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigset_t blocked;
    sigemptyset(&blocked);
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        ::sigaction(kSignals[i].signal, &action, &g_previous[i]);
        sigaddset(&blocked, kSignals[i].signal);
    }
    // A program started with these signals blocked (a parent's mask is inherited) would
    // hold them pending for good; one that came before the watch is taken in now.
    ::pthread_sigmask(SIG_UNBLOCK, &blocked, nullptr);
}

EndingSignals::~EndingSignals() {
    if (!m_notifier)
        return;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i].signal, &g_previous[i], nullptr);
    m_notifier.reset();
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
}

int EndingSignals::poll() {
    unsigned char number = 0;
    while (m_notifier && ::read(g_pipe[0], &number, 1) == 1) {
        m_first = m_first == 0 ? number : m_first;
        emit arrived(number);
    }
    return m_first;
}

const char* EndingSignals::name(int signal) {
    for (const Caught& caught : kSignals) {
        if (caught.signal == signal)
            return caught.name;
    }
    return "a signal";
}

void EndingSignals::endAs(int signal) {
    std::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(signal);
    std::_Exit(128 + signal); // not reached: every one of the signals ends a program
}

} // namespace dx400
