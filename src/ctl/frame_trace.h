#pragma once

#include <QElapsedTimer>
#include <cstdint>
#include <span>
#include <string>

namespace dx400::ctl {

// Bytes in the window's echo format ("AA  00  06"), for the trace and for messages, so
// that a frame in an error reads like the same frame in the window.
std::string echoLine(std::span<const std::uint8_t> bytes);

// --verbose: each frame sent and every byte received, on standard error as it happens,
// in the echo format after the milliseconds since the trace began (with the command).
// Received bytes that are no reply say what became of them.
class FrameTrace {
public:
    explicit FrameTrace(bool on);
    void sent(std::span<const std::uint8_t> frame) const { print("TX", frame, nullptr); }
    // Nothing for no bytes.
    void received(std::span<const std::uint8_t> bytes, const char* note = nullptr) const {
        print("RX", bytes, note);
    }
    // A line of its own about what the run does next.
    void note(const std::string& text) const;

private:
    void print(const char* direction, std::span<const std::uint8_t> bytes, const char* note) const;

    bool m_on;
    QElapsedTimer m_clock;
};

} // namespace dx400::ctl
