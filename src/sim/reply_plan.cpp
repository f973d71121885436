#include "sim/reply_plan.h"

namespace dx400::sim {

std::vector<std::uint8_t> noiseBytes(std::size_t count, std::minstd_rand& random,
                                     bool avoidReplyStart) {
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(count);
    while (bytes.size() < count) {
        const auto value = static_cast<std::uint8_t>(byte(random));
        if (!avoidReplyStart || value != kReplyStart) {
            bytes.push_back(value);
        }
    }
    return bytes;
}

std::vector<PlannedWrite> planReply(const Frame& reply, const Faults& faults,
                                    std::minstd_rand& random) {
    std::vector<PlannedWrite> writes;
    if (faults.noReply) {
        return writes;
    }
    Frame sent = reply;
    if (faults.badStart) {
        sent[0] = kBadStart;
    }
    if (faults.wrongCommand) {
        ++sent[kCommandIndex];
    }
    if (faults.badStatus) {
        sent[kStatusIndex] = kBadStatus;
    }
    if (faults.badEnd) {
        sent[kEndIndex] = kBadEnd;
    }
    // The checksum covers the command, status and data bytes, so it is made again.
    sent[kChecksumIndex] =
        static_cast<std::uint8_t>(frameChecksum(sent) + (faults.badChecksum ? 1 : 0));

    const int start = faults.delayMs;
    if (faults.strayBefore > 0) {
        writes.push_back({start, LogKind::Noise,
                          noiseBytes(static_cast<std::size_t>(faults.strayBefore), random, true),
                          false});
    }
    int end = start;
    if (faults.splitGapMs) {
        constexpr auto kHalf = static_cast<std::ptrdiff_t>(kFrameSize / 2);
        end = start + *faults.splitGapMs;
        writes.push_back({start, LogKind::Tx, {sent.begin(), sent.begin() + kHalf}, false});
        writes.push_back({end, LogKind::Tx, {sent.begin() + kHalf, sent.end()}, true});
    } else {
        writes.push_back({start, LogKind::Tx, {sent.begin(), sent.end()}, true});
    }
    if (faults.extraAfter > 0) {
        writes.push_back({end, LogKind::Noise,
                          noiseBytes(static_cast<std::size_t>(faults.extraAfter), random, true),
                          false});
    }
    return writes;
}

} // namespace dx400::sim
