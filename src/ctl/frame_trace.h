#pragma once

#include <QElapsedTimer>
#include <cstdint>
#include <span>
#include <string>

namespace dx400::ctl {

// Bytes in the window's echo format ("AA  00  06"), for the trace and for messages, so
// that a frame in an error reads like the same frame in the window.
std::string echoLine(std::span<const std::uint8_t> bytes);

// --verbose: each frame sent and each reply received, on standard error as it happens, in
// the echo format after the milliseconds since the trace began (with the command).
class FrameTrace {
public:
    explicit FrameTrace(bool on);
    void sent(std::span<const std::uint8_t> frame) const { print("TX", frame); }
    void received(std::span<const std::uint8_t> reply) const { print("RX", reply); }

private:
    void print(const char* direction, std::span<const std::uint8_t> bytes) const;

    bool m_on;
    QElapsedTimer m_clock;
};

} // namespace dx400::ctl
