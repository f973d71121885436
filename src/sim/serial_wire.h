#pragma once

#include <chrono>

namespace dx400::sim {

// What a serial line does to bytes. Each byte is ten bit times on the wire: a start bit (0),
// eight data bits least significant first, a stop bit (1).

// The time one byte takes on a line at rate bits per second: 5.2 ms at 1200, 87 us at 115200.
std::chrono::nanoseconds byteTime(int rate);

} // namespace dx400::sim
