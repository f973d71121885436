#include "protocol/reply_search.h"

#include "protocol/reply_check.h"

namespace dx400 {

namespace {

constexpr auto kLength = static_cast<std::size_t>(kReplyLength);

// The first reply from a start byte at or after `from` that passes checkReply with the
// command byte `asked(reply)` demands.
template <typename Asked>
std::optional<std::size_t> firstSound(std::span<const std::uint8_t> bytes, Asked asked) {
    for (std::size_t start = 0; start + kLength <= bytes.size(); ++start) {
        const ReplyBytes reply = bytes.subspan(start).first<kReplyLength>();
        if (reply[0] == kReplyStart && checkReply(reply, asked(reply)).empty())
            return start;
    }
    return std::nullopt;
}

} // namespace

ReplySearch searchReply(std::span<const std::uint8_t> bytes, std::uint8_t asked, bool settled,
                        bool timeUp) {
    using Verdict = ReplySearch::Verdict;
    if (const auto start = firstSound(bytes, [asked](ReplyBytes) { return asked; }))
        return {Verdict::Sound, *start};
    // A reply still arriving may yet be the sound one.
    if (!settled || (!timeUp && endsInsideReply(bytes)))
        return {Verdict::Waiting, 0};
    bool startByte = false;
    for (std::size_t start = 0; start < bytes.size(); ++start) {
        startByte = startByte || bytes[start] == kReplyStart;
        if (bytes[start] == kReplyStart && start + kLength <= bytes.size())
            return {Verdict::Unsound, start};
    }
    if (!startByte && bytes.size() >= kLength)
        return {Verdict::Unsound, 0};
    return {timeUp ? Verdict::Missing : Verdict::Waiting, 0};
}

std::optional<std::size_t> findUnaskedReply(std::span<const std::uint8_t> bytes) {
    return firstSound(bytes, [](ReplyBytes reply) { return reply[2]; });
}

bool endsInsideReply(std::span<const std::uint8_t> bytes) {
    const std::size_t tail = std::min(bytes.size(), kLength - 1);
    for (std::size_t i = bytes.size() - tail; i < bytes.size(); ++i) {
        if (bytes[i] == kReplyStart)
            return true;
    }
    return false;
}

} // namespace dx400
