#include "sim/sim_frame.h"

namespace dx400::sim {

std::uint8_t frameChecksum(const Frame& frame) {
    unsigned sum = 0;
    for (std::size_t i = 1; i < kEndIndex; ++i) {
        sum += frame[i];
    }
    return static_cast<std::uint8_t>(sum & 0xFFu);
}

bool isValidCommand(const Frame& frame) {
    return frame[0] == kCommandStart && frame[kEndIndex] == kFrameEnd &&
           frame[kChecksumIndex] == frameChecksum(frame);
}

Frame makeReply(std::uint8_t cmd, std::int32_t data) {
    const auto value = static_cast<std::uint32_t>(data);
    Frame reply{kReplyStart,
                0x00,
                cmd,
                kReplyStatus,
                static_cast<std::uint8_t>(value >> 24),
                static_cast<std::uint8_t>(value >> 16),
                static_cast<std::uint8_t>(value >> 8),
                static_cast<std::uint8_t>(value),
                kFrameEnd,
                0};
    reply[kChecksumIndex] = frameChecksum(reply);
    return reply;
}

std::int32_t frameData(const Frame& frame) {
    const std::uint32_t value = (std::uint32_t{frame[4]} << 24) | (std::uint32_t{frame[5]} << 16) |
                                (std::uint32_t{frame[6]} << 8) | std::uint32_t{frame[7]};
    return static_cast<std::int32_t>(value);
}

std::string toHex(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const std::uint8_t byte : bytes) {
        if (!text.empty()) {
            text += ' ';
        }
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

} // namespace dx400::sim
