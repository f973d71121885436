#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace dx400 {

// Finding a program's reply in what the line delivers. A reply carries the command byte
// it answers but no parameter index, so two replies to reads of different parameters
// look alike: a reply is taken only where nothing else can be meant, and bytes that
// nobody asked for are looked at rather than dropped.

struct ReplySearch {
    enum class Verdict {
        Waiting, // nothing to decide yet
        Sound,   // a reply passing every check starts at `start`
        Unsound, // the reply at `start` fails a check, and no sound one came
        Missing, // the time is up without a reply's worth of bytes to judge
    };
    Verdict verdict = Verdict::Waiting;
    std::size_t start = 0; // bytes before it are no part of the reply
};

// Judges the bytes received since a request with command `asked` went. Bytes before a
// start byte (0xBB) are skipped: the first reply that passes every check, wherever it
// starts, is Sound at once. Otherwise nothing is decided until `settled` (the line has
// gone quiet, or the time-out has passed): then the first complete reply from a start
// byte, or failing any the first bytes, is Unsound, so that a wrong start byte is named.
// Missing needs `timeUp` as well: a reply cut short may still be completed.
ReplySearch searchReply(std::span<const std::uint8_t> bytes, std::uint8_t asked, bool settled,
                        bool timeUp);

// Where a complete reply to any command, sound but for the command byte it names, starts
// among bytes that came when no reply was awaited; nothing when they hold none (noise).
std::optional<std::size_t> findUnaskedReply(std::span<const std::uint8_t> bytes);

// Whether the bytes end inside what may still become a reply: a start byte followed by
// fewer bytes than a reply has.
bool endsInsideReply(std::span<const std::uint8_t> bytes);

} // namespace dx400
