#pragma once

#include "protocol/reply_reception.h"

#include <cstdint>
#include <span>
#include <vector>

namespace dx400 {

using ReplyBytes = std::span<const std::uint8_t, kReplyLength>;

// The bytes of a reply that a program waiting for it checks, in frame order. The window
// tests only the start, status and end bytes (byteFailsCheck); a program that waits for
// each reply also knows which command it answers and checks the checksum.
enum class ReplyField { Start, Command, Status, End, Checksum };

struct ReplyMismatch {
    ReplyField field;
    std::uint8_t found;
    std::uint8_t expected;
};

// Every byte of `reply` that is not what a reply to command `asked` carries; empty when
// the reply is sound. The checksum is a command frame's: the low 8 bits of the sum of
// bytes 2 to 8 (1-based).
std::vector<ReplyMismatch> checkReply(ReplyBytes reply, std::uint8_t asked);

// The reply's data bytes, most significant first, as the signed 32-bit number they carry.
std::int32_t replyData(ReplyBytes reply);

} // namespace dx400
