#pragma once

#include "sim/faults.h"
#include "sim/sim_frame.h"
#include "sim/traffic_log.h"

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace dx400::sim {

inline constexpr std::uint8_t kBadStart = 0xBC;
inline constexpr std::uint8_t kBadStatus = 0x65;
inline constexpr std::uint8_t kBadEnd = 0xEF;

// One write the drive makes in answer to a frame, offsetMs after the frame arrived.
struct PlannedWrite {
    int offsetMs = 0;
    LogKind kind = LogKind::Tx; // Tx for reply bytes, Noise for stray/extra bytes
    std::vector<std::uint8_t> bytes;
    bool endsReply = false; // the last write of the reply frame itself
};

// The writes that answer one frame with the given reply under the given faults, in
// order: stray bytes, the reply (whole, or two halves splitGapMs apart), extra bytes.
// No writes when the fault no-reply is on. A changed status or command code keeps the
// checksum right, so the checksum is wrong only under bad-checksum.
std::vector<PlannedWrite> planReply(const Frame& reply, const Faults& faults,
                                    std::minstd_rand& random);

// count random bytes; none is 0xBB when avoidReplyStart, so they cannot pose as a reply.
std::vector<std::uint8_t> noiseBytes(std::size_t count, std::minstd_rand& random,
                                     bool avoidReplyStart);

} // namespace dx400::sim
