#include "protocol/reply_check.h"

#include "protocol/command_frame.h"

namespace dx400 {

std::vector<ReplyMismatch> checkReply(ReplyBytes reply, std::uint8_t asked) {
    unsigned sum = 0;
    for (std::size_t i = 1; i <= 7; ++i)
        sum += reply[i];
    struct Expected {
        ReplyField field;
        std::size_t place; // 0-based
        std::uint8_t value;
    };
    const Expected expected[] = {
        {ReplyField::Start, 0, kReplyStart},
        {ReplyField::Command, 2, asked},
        {ReplyField::Status, 3, kReplyStatus},
        {ReplyField::End, 8, kFrameEnd},
        {ReplyField::Checksum, 9, static_cast<std::uint8_t>(sum & 0xFF)},
    };
    std::vector<ReplyMismatch> mismatches;
    for (const auto& [field, place, value] : expected) {
        if (reply[place] != value)
            mismatches.push_back({field, reply[place], value});
    }
    return mismatches;
}

std::int32_t replyData(ReplyBytes reply) {
    const std::uint32_t data = std::uint32_t{reply[4]} << 24 | std::uint32_t{reply[5]} << 16 |
                               std::uint32_t{reply[6]} << 8 | reply[7];
    return static_cast<std::int32_t>(data);
}

} // namespace dx400
