#pragma once

#include "sim/sim_frame.h"
#include "sim/traffic_log.h"

#include <array>
#include <chrono>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace dx400::sim {

// Ways the simulated drive can misbehave, switched on from the command line, the
// simulator's console or a test. All off by default.
struct Faults {
    bool noReply = false;              // frames are read and logged but never answered
    int delayMs = 0;                   // wait this long before answering
    bool badStart = false;             // reply starts with BC instead of BB
    bool badStatus = false;            // reply status 65 instead of 64 (checksum still right)
    bool badEnd = false;               // reply end byte EF instead of EE
    std::optional<int> splitGapMs;     // reply written in two halves, this long between them
    int strayBefore = 0;               // random bytes written just before each reply
    int extraAfter = 0;                // random bytes written just after each reply
    int floodBytesPerSecond = 0;       // random bytes written all the time at this rate
    std::optional<int> hangUpAfter;    // hang up once this many frames were answered and read
    bool badChecksum = false;          // reply checksum one more than the right one
    bool wrongCommand = false;         // reply command code one more than asked (checksum right)
    std::optional<int> duplicateGapMs; // every reply sent again this long after its last byte
    bool lag = false; // each frame answered with the reply to the one before, the first not

    bool operator==(const Faults&) const = default;
};

// One fault as named on the command line (--NAME) and on the console (fault NAME VALUE).
// A switch takes on or off; a number takes a whole number from 0 up, or off.
struct FaultSetting {
    std::string_view name;
    std::string_view argument; // what the number means, empty for a switch
    std::string_view help;
    std::variant<bool Faults::*, int Faults::*, std::optional<int> Faults::*> field;

    bool isSwitch() const { return std::holds_alternative<bool Faults::*>(field); }
    // Sets the fault from its text value; returns an error message, or "" when set.
    std::string set(Faults& faults, std::string_view text) const;
    // "name" or "name=value" while the fault is on, else "".
    std::string describe(const Faults& faults) const;
};

inline constexpr std::array kFaultSettings{
    FaultSetting{"no-reply", "", "never answer", &Faults::noReply},
    FaultSetting{"delay", "MS", "answer MS milliseconds late", &Faults::delayMs},
    FaultSetting{"bad-start", "", "reply start byte BC instead of BB", &Faults::badStart},
    FaultSetting{"bad-status", "", "reply status byte 65 instead of 64", &Faults::badStatus},
    FaultSetting{"bad-end", "", "reply end byte EF instead of EE", &Faults::badEnd},
    FaultSetting{"bad-checksum", "", "reply checksum one more than the right one",
                 &Faults::badChecksum},
    FaultSetting{"wrong-command", "", "reply command code one more than asked",
                 &Faults::wrongCommand},
    FaultSetting{"split", "MS", "write each reply in two halves, MS milliseconds between them",
                 &Faults::splitGapMs},
    FaultSetting{"stray", "N", "N random bytes before each reply", &Faults::strayBefore},
    FaultSetting{"extra", "N", "N random bytes after each reply", &Faults::extraAfter},
    FaultSetting{"flood", "RATE", "random bytes at RATE bytes per second, all the time",
                 &Faults::floodBytesPerSecond},
    FaultSetting{"hangup-after", "N", "close the line after answering N frames",
                 &Faults::hangUpAfter},
    FaultSetting{"duplicate", "MS", "send every reply twice, the copy MS milliseconds after it",
                 &Faults::duplicateGapMs},
    FaultSetting{"lag", "", "answer each frame with the reply to the one before, the first not",
                 &Faults::lag},
};

// The entry of kFaultSettings called name, or nullptr.
const FaultSetting* findFault(std::string_view name);

// Sets the fault called name; returns an error message, or "" when it was set.
std::string applyFaultSetting(Faults& faults, std::string_view name, std::string_view value);

// The faults that are on, e.g. "delay=250 bad-status", or "none".
std::string describeFaults(const Faults& faults);

// A whole number from 0 up, or nothing if the text is not one.
std::optional<int> parseCount(std::string_view text);

// One write the drive makes in answer to a frame.
struct ReplyWrite {
    // After the previous write's last byte, or for the first write after the frame.
    std::chrono::milliseconds after{0};
    LogKind kind = LogKind::Tx; // Tx for reply bytes, Noise for stray and extra bytes
    std::vector<std::uint8_t> bytes;
    bool endsReply = false; // the last write of the reply frame itself
};

// The writes that answer one frame with reply under faults, in order: stray bytes, the
// reply (whole, or two halves), its copy, extra bytes; none under no-reply. A changed status
// or command code keeps the checksum right, so the checksum is wrong only under bad-checksum.
// (The lag fault is the server's: it holds each reply back for the next frame.)
std::vector<ReplyWrite> planReply(const Frame& reply, const Faults& faults,
                                  std::minstd_rand& random);

// count random bytes; none is 0xBB when avoidReplyStart, so they cannot pose as a reply.
std::vector<std::uint8_t> noiseBytes(std::size_t count, std::minstd_rand& random,
                                     bool avoidReplyStart);

} // namespace dx400::sim
