#include "sim/traffic_log.h"

#include "sim/sim_frame.h"

#include <ctime>

namespace dx400::sim {

std::int64_t monotonicMicros() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1'000'000 + now.tv_nsec / 1'000;
}

std::string_view kindName(LogKind kind) {
    switch (kind) {
    case LogKind::Rx:
        return "RX";
    case LogKind::Tx:
        return "TX";
    case LogKind::Bad:
        return "BAD";
    case LogKind::Stray:
        return "STRAY";
    case LogKind::Noise:
        return "NOISE";
    case LogKind::HangUp:
        return "HUP";
    }
    return "?";
}

std::string formatLogLine(const LogEntry& entry) {
    std::string line = std::to_string(entry.timeUs) + " " + std::string(kindName(entry.kind));
    if (!entry.bytes.empty()) {
        line += " " + toHex(entry.bytes);
    }
    return line;
}

} // namespace dx400::sim
