#pragma once

#include "sim/traffic_log.h"

#include <cstdint>
#include <span>
#include <vector>

namespace dx400::sim {

// What the reader found in the incoming byte stream, in stream order: a valid command
// frame (Rx), bytes from a 0xAA that did not make one (Bad), or a run of bytes outside
// any frame (Stray; 0x00 padding is not reported). `end` places it in the stream, so the
// time its last byte arrived can be looked up: the count of bytes up to its last one, of the
// bytes the reader still held before the feed and the bytes fed.
struct ReaderEvent {
    LogKind kind = LogKind::Rx;
    std::vector<std::uint8_t> bytes;
    std::size_t end = 0;
};

// Cuts command frames out of the bytes the tool writes, however they are split across
// reads. 0x00 between frames is the tool's padding and is skipped silently. A 0xAA
// followed by bytes that do not make a valid frame is reported as a bad frame that
// ends just before the next 0xAA, so a real frame starting inside it is still found.
class FrameReader {
public:
    std::vector<ReaderEvent> feed(std::span<const std::uint8_t> bytes);
    // The bytes kept for the next feed: the last ones fed, from a 0xAA.
    std::size_t held() const { return m_buffer.size(); }

private:
    std::vector<std::uint8_t> m_buffer; // bytes from a 0xAA still waiting for the rest
};

} // namespace dx400::sim
