#include "sim/traffic_log.h"

#include "sim/sim_frame.h"

#include <ctime>

namespace dx400::sim {

std::int64_t monotonicMicros() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1'000'000 + now.tv_nsec / 1'000;
}

std::string formatLogLine(const LogEntry& entry) {
    static constexpr const char* kNames[] = {"RX", "TX", "BAD", "STRAY", "NOISE", "HUP", "GARBLED"};
    std::string line = std::to_string(entry.timeUs) + " " + kNames[static_cast<int>(entry.kind)];
    if (!entry.bytes.empty()) {
        line += " " + toHex(entry.bytes);
    }
    return line;
}

} // namespace dx400::sim
