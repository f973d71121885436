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
    Unseen,  // a valid frame that the replayed log holds no (more) answer to
};

struct LogEntry {
    std::int64_t timeUs = 0; // CLOCK_MONOTONIC in microseconds, as steady_clock on Linux
    LogKind kind = LogKind::Rx;
    std::vector<std::uint8_t> bytes;
};

// CLOCK_MONOTONIC now, in microseconds.
std::int64_t monotonicMicros();

// One line without newline: "<time> <KIND> <hex bytes>", the time in microseconds since
// `startUs`, e.g. "6240 RX AA 00 06 01 00 00 00 00 EE 07"; a hang-up is "9377 HUP".
std::string formatLogLine(const LogEntry& entry, std::int64_t startUs = 0);

// The log's first line, the same as the tool's logs begin with, e.g. "# dx400-sim 1.0.0
// port=COM4 device=/dev/pts/3 speed=19200 start=2026-12-08T07:40:00.123+01:00": the port,
// its pseudo-terminal, the drive's line speed and the wall-clock time at `startUs`.
std::string formatLogHeader(const std::string& port, const std::string& device, int speed,
                            std::int64_t startUs);

} // namespace dx400::sim
