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
// starts, is Sound at once. Anything else waits until `settled` (the line has gone quiet,
// or the time-out has passed), and while a reply may still be arriving, until `timeUp`.
// Then the first complete reply from a start byte is Unsound, or, when a reply's worth of
// bytes holds no start byte, the first bytes are, so that the wrong start byte is named;
// with neither, the reply is Missing once the time is up.
ReplySearch searchReply(std::span<const std::uint8_t> bytes, std::uint8_t asked, bool settled,
                        bool timeUp);

// Where a complete reply to any command, sound but for the command byte it names, starts
// among bytes that came when no reply was awaited; nothing when they hold none (noise).
std::optional<std::size_t> findUnaskedReply(std::span<const std::uint8_t> bytes);

// Whether the bytes end inside what may still become a reply: a start byte followed by
// fewer bytes than a reply has.
bool endsInsideReply(std::span<const std::uint8_t> bytes);

} // namespace dx400
