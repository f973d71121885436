#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace dx400::sim {

// What the reader found in the incoming byte stream, in stream order.
struct ReaderEvent {
    enum class Kind {
        Command,  // a valid 10-byte command frame
        BadFrame, // bytes from a 0xAA that did not make a valid frame
        Stray,    // a run of bytes outside any frame (0x00 padding is not reported)
    };
    Kind kind = Kind::Command;
    std::vector<std::uint8_t> bytes;

    bool operator==(const ReaderEvent&) const = default;
};

// Cuts command frames out of the bytes the tool writes, however they are split across
// reads. 0x00 between frames is the tool's padding and is skipped silently. A 0xAA
// followed by bytes that do not make a valid frame is reported as a bad frame that
// ends just before the next 0xAA, so a real frame starting inside it is still found.
class FrameReader {
public:
    std::vector<ReaderEvent> feed(std::span<const std::uint8_t> bytes);

    std::size_t framesRead() const { return m_framesRead; }
    std::size_t badFrames() const { return m_badFrames; }
    std::size_t strayBytes() const { return m_strayBytes; }

private:
    std::vector<std::uint8_t> m_buffer; // bytes from a 0xAA still waiting for the rest
    std::size_t m_framesRead = 0;
    std::size_t m_badFrames = 0;
    std::size_t m_strayBytes = 0;
};

} // namespace dx400::sim
