#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <vector>

namespace dx400::sim {

// What a serial line does to bytes. Each byte is ten bit times on the wire: a start bit (0),
// eight data bits least significant first, a stop bit (1); the idle line is 1.

// The time one byte takes on a line at rate bits per second: 8.3 ms at 1200, 87 us at 115200.
std::chrono::nanoseconds byteTime(int rate);

struct ReceivedByte {
    std::uint8_t value = 0;
    std::chrono::nanoseconds done{0}; // the end of its stop bit, from the first start bit
};

// What a UART at receiverRate reads of bytes sent back to back at senderRate onto an idle
// line. It waits for a falling edge, samples the middle of each of its own bit times after
// it and takes the eight data bits; a byte whose stop bit samples 0 is a framing error and
// is dropped, and the next falling edge is looked for from the middle of that stop bit.
// At equal rates it reads the bytes as they were sent, each one byte time after the last.
std::vector<ReceivedByte> receiveBytes(std::span<const std::uint8_t> bytes, int senderRate,
                                       int receiverRate);

} // namespace dx400::sim
