#include "sim/frame_reader.h"

#include "hex_bytes.h"

#include <gtest/gtest.h>

namespace dx400::sim {
namespace {

using test::hexBytes;
using Kind = ReaderEvent::Kind;

constexpr const char* kReadP1 = "AA 00 06 01 00 00 00 00 EE 07";
constexpr const char* kWriteP6 = "AA 00 05 06 00 00 FF FF EE 09";

struct ReaderCase {
    const char* name;
    std::vector<std::string> chunks; // one feed() each
    std::vector<ReaderEvent> events;
    std::size_t frames;
    std::size_t bad;
    std::size_t stray;
};

std::vector<std::string> oneBytePerChunk(const std::string& text) {
    std::vector<std::string> chunks;
    for (std::size_t pos = 0; pos < text.size(); pos += 3) {
        chunks.push_back(text.substr(pos, 2));
    }
    return chunks;
}

TEST(FrameReader, CutsFramesOutOfTheStream) {
    const std::vector<ReaderCase> cases = {
        {"frame with padding",
         {std::string(kReadP1) + " 00 00"},
         {{Kind::Command, hexBytes(kReadP1)}},
         1,
         0,
         0},
        {"two padded frames in one read",
         {std::string(kReadP1) + " 00 00 " + kWriteP6 + " 00 00"},
         {{Kind::Command, hexBytes(kReadP1)}, {Kind::Command, hexBytes(kWriteP6)}},
         2,
         0,
         0},
        {"frame one byte per read",
         oneBytePerChunk(std::string(kReadP1) + " 00 00"),
         {{Kind::Command, hexBytes(kReadP1)}},
         1,
         0,
         0},
        {"frame over three reads",
         {"AA 00 06", "01 00 00 00", "00 EE 07 00 00"},
         {{Kind::Command, hexBytes(kReadP1)}},
         1,
         0,
         0},
        {"padding alone is silent", {"00 00 00", "00"}, {}, 0, 0, 0},
        {"incomplete frame waits for the rest", {"AA 00 06 01"}, {}, 0, 0, 0},
        {"bad checksum then a good frame",
         {"AA 00 06 01 00 00 00 00 EE 08 00 00 " + std::string(kReadP1)},
         {{Kind::BadFrame, hexBytes("AA 00 06 01 00 00 00 00 EE 08")},
          {Kind::Command, hexBytes(kReadP1)}},
         1,
         1,
         0},
        {"bad end byte then a good frame",
         {"AA 00 06 01 00 00 00 00 EF 07 " + std::string(kWriteP6)},
         {{Kind::BadFrame, hexBytes("AA 00 06 01 00 00 00 00 EF 07")},
          {Kind::Command, hexBytes(kWriteP6)}},
         1,
         1,
         0},
        {"stray bytes before a frame",
         {"12 34 " + std::string(kReadP1)},
         {{Kind::Stray, hexBytes("12 34")}, {Kind::Command, hexBytes(kReadP1)}},
         1,
         0,
         2},
        {"stray byte in its own read",
         {"7F", kReadP1},
         {{Kind::Stray, hexBytes("7F")}, {Kind::Command, hexBytes(kReadP1)}},
         1,
         0,
         1},
        {"start byte in garbage, then a frame",
         {"AA 12 34 " + std::string(kReadP1)},
         {{Kind::BadFrame, hexBytes("AA 12 34")}, {Kind::Command, hexBytes(kReadP1)}},
         1,
         1,
         0},
        {"cut-off frame, then a frame split over reads",
         {"AA 00 06 01 00 00 00 AA 00", "05 06 00 00 FF FF EE 09 00 00"},
         {{Kind::BadFrame, hexBytes("AA 00 06 01 00 00 00")}, {Kind::Command, hexBytes(kWriteP6)}},
         1,
         1,
         0},
        {"stray runs around padding",
         {"12 00 34 56 00 00 " + std::string(kReadP1)},
         {{Kind::Stray, hexBytes("12")},
          {Kind::Stray, hexBytes("34 56")},
          {Kind::Command, hexBytes(kReadP1)}},
         1,
         0,
         3},
    };
    for (const ReaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        FrameReader reader;
        std::vector<ReaderEvent> events;
        for (const std::string& chunk : c.chunks) {
            const auto bytes = hexBytes(chunk);
            for (auto& event : reader.feed(bytes)) {
                events.push_back(std::move(event));
            }
        }
        ASSERT_EQ(events.size(), c.events.size());
        for (std::size_t i = 0; i < events.size(); ++i) {
            EXPECT_EQ(events[i].kind, c.events[i].kind) << "event " << i;
            EXPECT_EQ(events[i].bytes, c.events[i].bytes) << "event " << i;
        }
        EXPECT_EQ(reader.framesRead(), c.frames);
        EXPECT_EQ(reader.badFrames(), c.bad);
        EXPECT_EQ(reader.strayBytes(), c.stray);
    }
}

} // namespace
} // namespace dx400::sim
