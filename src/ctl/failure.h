#pragma once

#include <stdexcept>
#include <string>

namespace dx400::ctl {

// The exit codes scripts test; --help, the manual page and the README list them.
enum class ExitCode {
    Ok = 0,
    Differences = 1,   // verify found values that differ from the profile
    Usage = 2,         // the command line or the profile is wrong; nothing was sent
    PortNotOpened = 3, // the port could not be opened
    NoReply = 4,       // a reply did not come in time, or the line was lost
    BadReply = 5,      // a reply failed its checks
    ValueRefused = 6,  // a value was refused; nothing was sent
    Interrupted = 128, // plus the signal's number: a timed jog stopped, or a write finished
};

// What ends a run early: the exit code and the message that says why. The first failure
// ends the run, so a script never goes on after a step that did not happen as asked.
class Failure : public std::runtime_error {
public:
    Failure(ExitCode code, const std::string& message)
        : std::runtime_error(message), m_code(code) {}
    ExitCode code() const { return m_code; }

private:
    ExitCode m_code;
};

} // namespace dx400::ctl
