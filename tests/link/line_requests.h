#pragma once

#include <termios.h>
#include <utility>
#include <vector>

namespace dx400::test {

// What this test program has asked of the devices it opened, as the system calls saw
// it: line settings set with tcsetattr(), and modem-line requests (TIOCMBIS, TIOCMBIC,
// TIOCMSET) with the lines they named. A pseudo-terminal keeps neither parity nor modem
// lines (it forces 8 bits without parity and refuses modem requests), so the request is
// what shows what the program did. The test program's own tcsetattr() and ioctl() stand in
// front of the system's to record them.
struct LineRequests {
    std::vector<termios> settings;
    std::vector<std::pair<unsigned long, int>> modemLines;
};
LineRequests& lineRequests();

} // namespace dx400::test
