#include "sim/traffic_log.h"

#include "sim/sim_frame.h"

#include <cstdio>
#include <ctime>

namespace dx400::sim {

std::int64_t monotonicMicros() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1'000'000 + now.tv_nsec / 1'000;
}

std::string formatLogLine(const LogEntry& entry, std::int64_t startUs) {
    static constexpr const char* kNames[] = {"RX",    "TX",  "BAD",     "STRAY",
                                             "NOISE", "HUP", "GARBLED", "UNSEEN"};
    std::string line =
        std::to_string(entry.timeUs - startUs) + " " + kNames[static_cast<int>(entry.kind)];
    if (!entry.bytes.empty()) {
        line += " " + toHex(entry.bytes);
    }
    return line;
}

std::string formatLogHeader(const std::string& port, const std::string& device, int speed,
                            std::int64_t startUs) {
    // The wall clock at startUs: now, less the monotonic time since.
    const auto sinceUs = monotonicMicros() - startUs;
    timespec wall{};
    clock_gettime(CLOCK_REALTIME, &wall);
    const std::int64_t atUs =
        std::int64_t{wall.tv_sec} * 1'000'000 + wall.tv_nsec / 1'000 - sinceUs;
    const time_t seconds = static_cast<time_t>(atUs / 1'000'000);
    tm local{};
    localtime_r(&seconds, &local);
    char date[32], zone[8];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    std::strftime(zone, sizeof zone, "%z", &local); // +0100, written +01:00 as ISO 8601 has it
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%s.%03d%.3s:%s", date, static_cast<int>(atUs / 1000 % 1000),
                  zone, zone + 3);
    return "# dx400-sim " DX400_VERSION " port=" + port + " device=" + device +
           " speed=" + std::to_string(speed) + " start=" + stamp;
}

} // namespace dx400::sim
