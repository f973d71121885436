#include "sim/frame_reader.h"

#include "sim/sim_frame.h"

#include <algorithm>

namespace dx400::sim {

std::vector<ReaderEvent> FrameReader::feed(std::span<const std::uint8_t> bytes) {
    m_buffer.insert(m_buffer.end(), bytes.begin(), bytes.end());
    std::vector<ReaderEvent> events;
    std::vector<std::uint8_t> stray;
    std::size_t pos = 0;
    const auto flushStray = [&] {
        if (!stray.empty()) {
            events.push_back({LogKind::Stray, stray, pos});
            stray.clear();
        }
    };

    while (pos < m_buffer.size()) {
        const std::uint8_t byte = m_buffer[pos];
        if (byte != kCommandStart) {
            if (byte == 0x00) {
                flushStray();
            } else {
                stray.push_back(byte);
            }
            ++pos;
            continue;
        }
        if (m_buffer.size() - pos < kFrameSize) {
            break; // the rest of this frame has not arrived yet
        }
        flushStray();
        const auto first = m_buffer.begin() + static_cast<std::ptrdiff_t>(pos);
        Frame frame{};
        std::copy_n(first, kFrameSize, frame.begin());
        if (isValidCommand(frame)) {
            pos += kFrameSize;
            events.push_back({LogKind::Rx, {frame.begin(), frame.end()}, pos});
            continue;
        }
        std::size_t length = 1;
        while (length < kFrameSize && m_buffer[pos + length] != kCommandStart) {
            ++length;
        }
        pos += length;
        events.push_back({LogKind::Bad, {first, first + static_cast<std::ptrdiff_t>(length)}, pos});
    }
    flushStray();
    m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(pos));
    return events;
}

} // namespace dx400::sim
