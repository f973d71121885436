#pragma once

#include "ctl/failure.h"

#include <QSocketNotifier>
#include <chrono>
#include <csignal>
#include <memory>
#include <string_view>

namespace dx400::ctl {

// How a caught SIGINT or SIGTERM ends the run: exit code 128 plus its number, as a shell
// reports a program the signal ended, and the message `say` makes of the signal's name.
Failure interruptedBy(int signal, std::string (*say)(std::string_view signalName));

// Catches SIGINT (Ctrl-C) and SIGTERM while it lives, so that a timed jog still sends its
// stop frame when a person or a supervisor ends the program; the handlers before it come
// back when it ends. The handler only writes the signal's number into a pipe, which the
// event loop watches, so everything else happens outside the handler. One watch lives at
// a time: there is one pipe.
class InterruptWatch {
public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    // The signal caught first, 0 while none has come; poll() also takes in one that came
    // while no event loop ran.
    int caught() const { return m_caught; }
    int poll();

    // Runs the event loop for `duration`, or until a signal is caught.
    void waitFor(std::chrono::milliseconds duration);

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
    int m_caught = 0;
    struct sigaction m_previous[2] = {};
};

} // namespace dx400::ctl
