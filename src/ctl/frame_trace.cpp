#include "ctl/frame_trace.h"

#include "protocol/hex_echo.h"

#include <cstdio>

namespace dx400::ctl {

std::string echoLine(std::span<const std::uint8_t> bytes) {
    std::string text = echoText(bytes);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

FrameTrace::FrameTrace(bool on) : m_on(on) {
    m_clock.start();
}

void FrameTrace::note(const std::string& text) const {
    if (m_on)
        std::fprintf(stderr, "%10.3f ms  %s\n", static_cast<double>(m_clock.nsecsElapsed()) / 1e6,
                     text.c_str());
}

void FrameTrace::print(const char* direction, std::span<const std::uint8_t> bytes,
                       const char* note) const {
    if (m_on && !bytes.empty())
        std::fprintf(stderr, "%10.3f ms  %s  %s%s%s%s\n",
                     static_cast<double>(m_clock.nsecsElapsed()) / 1e6, direction,
                     echoLine(bytes).c_str(), note ? "  (" : "", note ? note : "", note ? ")" : "");
}

} // namespace dx400::ctl
