#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace dx400::sim {

// Ways the simulated drive can misbehave, switched on from the command line, the
// simulator's console or a test. All off by default.
struct Faults {
    bool noReply = false;           // frames are read and logged but never answered
    int delayMs = 0;                // wait this long before answering
    bool badStart = false;          // reply starts with BC instead of BB
    bool badStatus = false;         // reply status 65 instead of 64 (checksum still right)
    bool badEnd = false;            // reply end byte EF instead of EE
    std::optional<int> splitGapMs;  // reply written in two halves this far apart
    int strayBefore = 0;            // random bytes written just before each reply
    int extraAfter = 0;             // random bytes written just after each reply
    int floodBytesPerSecond = 0;    // random bytes written all the time at this rate
    std::optional<int> hangUpAfter; // hang up once this many frames were answered and read

    bool operator==(const Faults&) const = default;
};

// A fault as named on the command line (--NAME) and on the console (fault NAME VALUE).
struct FaultName {
    std::string_view name;
    bool isSwitch; // takes on/off instead of a number
    std::string_view help;
};

inline constexpr std::array<FaultName, 10> kFaultNames{{
    {"no-reply", true, "never answer"},
    {"delay", false, "MS: answer after MS milliseconds"},
    {"bad-start", true, "reply start byte BC instead of BB"},
    {"bad-status", true, "reply status byte 65 instead of 64"},
    {"bad-end", true, "reply end byte EF instead of EE"},
    {"split", false, "MS: write each reply in two halves MS milliseconds apart (off to stop)"},
    {"stray", false, "N: N random bytes before each reply"},
    {"extra", false, "N: N random bytes after each reply"},
    {"flood", false, "RATE: random bytes at RATE bytes per second, all the time"},
    {"hangup-after", false, "N: close the line after answering N frames (off to stop)"},
}};

// The entry of kFaultNames called name, or nullptr.
const FaultName* findFault(std::string_view name);

// Sets one fault from its name and text value ("on"/"off" for switches, a whole number
// otherwise, "off" also for split and hangup-after). Returns an error message, or an
// empty string when the fault was set.
std::string applyFaultSetting(Faults& faults, std::string_view name, std::string_view value);

// The faults that are on, e.g. "delay=250 bad-status", or "none".
std::string describeFaults(const Faults& faults);

// A whole number from 0 up, or nothing if the text is not one.
std::optional<int> parseCount(std::string_view text);

} // namespace dx400::sim
