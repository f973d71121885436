#pragma once

#include "ctl/failure.h"
#include "link/ending_signals.h"
#include "link/serial_port.h"

#include <chrono>
#include <string_view>

namespace dx400::ctl {

// How a caught signal ends the run: exit code 128 plus its number, as a shell reports a
// program the signal ended, and the message `say` makes of the signal's name.
Failure interruptedBy(int signal, std::string (*say)(std::string_view signalName));

// While it lives, every signal that would end the program is caught instead (see
// EndingSignals), so that a timed jog still sends its stop frame and a write finishes.
class InterruptWatch {
public:
    // The signal caught first, 0 while none has come; also takes in one that came while
    // no event loop ran.
    int poll() { return m_signals.poll(); }

    const EndingSignals& ending() const { return m_signals; }

    // Runs the event loop for `duration` (at most a turn when it is not above 0), or until a
    // signal is caught or `line`, when given, is lost.
    void waitFor(std::chrono::milliseconds duration, const SerialPort* line = nullptr);

private:
    EndingSignals m_signals;
};

} // namespace dx400::ctl
