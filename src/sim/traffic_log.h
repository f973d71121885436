#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dx400::sim {

// What one log line records.
enum class LogKind {
    Rx,      // a valid command frame received
    Tx,      // reply bytes written (a split reply gives two lines)
    Bad,     // received bytes from 0xAA that did not make a valid frame
    Stray,   // received bytes outside any frame (0x00 padding is not logged)
    Noise,   // random bytes written on purpose by a fault (stray, extra, flood)
    HangUp,  // the line was hung up (no bytes)
    Garbled, // what the drive read of bytes the tool sent at another line speed than its own
};

struct LogEntry {
    std::int64_t timeUs = 0; // CLOCK_MONOTONIC in microseconds, as steady_clock on Linux
    LogKind kind = LogKind::Rx;
    std::vector<std::uint8_t> bytes;
};

// CLOCK_MONOTONIC now, in microseconds.
std::int64_t monotonicMicros();

// One line without newline: "<timeUs> <KIND> <hex bytes>", e.g.
// "123456789 RX AA 00 06 01 00 00 00 00 EE 07"; a hang-up is "123456999 HUP".
std::string formatLogLine(const LogEntry& entry);

} // namespace dx400::sim
