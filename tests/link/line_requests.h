#pragma once

#include <string>
#include <termios.h>
#include <utility>
#include <vector>

namespace dx400::test {

// What this test program has asked of the serial lines it opened, as the system calls
// saw it: line settings set with tcsetattr(), modem-line requests (TIOCMBIS, TIOCMBIC,
// TIOCMSET) with the lines they named, and the order of writes, drains, settings and
// closes on a line. A pseudo-terminal keeps neither parity nor modem lines and sends at
// once, so the calls are what show what the program did. The test program's own
// tcsetattr(), ioctl(), write(), tcdrain() and close() stand in front of the system's to
// record them; a line is a descriptor that tcsetattr() was called on.
struct LineRequests {
    std::vector<termios> settings;
    std::vector<std::pair<unsigned long, int>> modemLines;
    std::vector<std::string> calls; // "write", "drain", "settings", "close", in order
};
LineRequests& lineRequests();

} // namespace dx400::test
