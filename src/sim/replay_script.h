#pragma once

#include "sim/sim_frame.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace dx400::sim {

// One chunk of a recorded answer: its bytes, and when they came after the request.
struct RecordedChunk {
    std::chrono::microseconds after{0};
    std::vector<std::uint8_t> bytes;
};

// A recorded drive: the answers a traffic log holds, each under the request it followed,
// in recorded order. The log may come from the window or dx400ctl (requests are TX lines,
// answers the RX lines up to the next request) or from this simulator (requests are RX
// lines, answers the TX and NOISE lines up to the next request).
class ReplayScript {
public:
    // Reads the log, passing over lines that are not a log's (a simulator's console output);
    // throws std::runtime_error when the file cannot be read or holds no header line.
    static ReplayScript load(const std::string& path);

    // The next recorded answer to this request (it may be silence: no chunks), or
    // nothing when the log holds no more answers to it.
    std::optional<std::vector<RecordedChunk>> next(const Frame& request);

private:
    std::map<Frame, std::deque<std::vector<RecordedChunk>>> m_answers;
};

} // namespace dx400::sim
