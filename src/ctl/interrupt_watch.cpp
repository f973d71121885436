#include "ctl/interrupt_watch.h"

#include <QEventLoop>
#include <QTimer>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace dx400::ctl {

Failure interruptedBy(int signal, std::string (*say)(std::string_view signalName)) {
    return {static_cast<ExitCode>(static_cast<int>(ExitCode::Interrupted) + signal),
            say(signal == SIGINT ? "SIGINT" : "SIGTERM")};
}

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM};
int g_pipe[2] = {-1, -1}; // read end, write end

void onSignal(int signal) {
    const int savedErrno = errno; // the interrupted code may be about to read it
    const auto number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &number, 1);
    errno = savedErrno;
}

} // namespace

InterruptWatch::InterruptWatch() {
    if (::pipe(g_pipe) != 0)
        return; // no watch: the signals end the program as usual
    for (int end : g_pipe) {
        ::fcntl(end, F_SETFD, FD_CLOEXEC);
        ::fcntl(end, F_SETFL, O_NONBLOCK);
    }
    m_notifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { poll(); });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &m_previous[i]);
}

InterruptWatch::~InterruptWatch() {
    if (!m_notifier)
        return;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &m_previous[i], nullptr);
    m_notifier.reset();
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
}

int InterruptWatch::poll() {
    unsigned char number = 0;
    while (m_notifier && ::read(g_pipe[0], &number, 1) == 1) {
        if (m_caught == 0)
            m_caught = number;
    }
    return m_caught;
}

void InterruptWatch::waitFor(std::chrono::milliseconds duration) {
    if (m_caught != 0)
        return;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    if (m_notifier)
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, &loop, &QEventLoop::quit);
    timer.start(duration);
    loop.exec();
}

} // namespace dx400::ctl
