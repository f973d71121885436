#include "sim/reply_plan.h"

#include "hex_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace dx400::sim {
namespace {

using test::hexBytes;

struct Expected {
    int offsetMs;
    LogKind kind;
    const char* bytes;       // Tx writes: the exact bytes
    std::size_t noiseLength; // Noise writes: random, only the length is known
    bool endsReply;
};

struct PlanCase {
    const char* name;
    Faults faults;
    std::vector<Expected> writes;
};

Faults with(void (*set)(Faults&)) {
    Faults faults;
    set(faults);
    return faults;
}

TEST(ReplyPlan, AppliesFaultsToTheReply) {
    // Reply to a read of parameter 1 holding 20.
    const Frame reply{0xBB, 0x00, 0x06, 0x64, 0x00, 0x00, 0x00, 0x14, 0xEE, 0x7E};
    const std::vector<PlanCase> cases = {
        {"no fault", {}, {{0, LogKind::Tx, "BB 00 06 64 00 00 00 14 EE 7E", 0, true}}},
        {"no reply", with([](Faults& f) { f.noReply = true; }), {}},
        {"delay",
         with([](Faults& f) { f.delayMs = 250; }),
         {{250, LogKind::Tx, "BB 00 06 64 00 00 00 14 EE 7E", 0, true}}},
        {"bad start",
         with([](Faults& f) { f.badStart = true; }),
         {{0, LogKind::Tx, "BC 00 06 64 00 00 00 14 EE 7E", 0, true}}},
        {"bad status keeps the checksum right",
         with([](Faults& f) { f.badStatus = true; }),
         {{0, LogKind::Tx, "BB 00 06 65 00 00 00 14 EE 7F", 0, true}}},
        {"bad end",
         with([](Faults& f) { f.badEnd = true; }),
         {{0, LogKind::Tx, "BB 00 06 64 00 00 00 14 EF 7E", 0, true}}},
        {"bad checksum",
         with([](Faults& f) { f.badChecksum = true; }),
         {{0, LogKind::Tx, "BB 00 06 64 00 00 00 14 EE 7F", 0, true}}},
        {"wrong command keeps the checksum right",
         with([](Faults& f) { f.wrongCommand = true; }),
         {{0, LogKind::Tx, "BB 00 07 64 00 00 00 14 EE 7F", 0, true}}},
        {"every byte fault at once",
         with([](Faults& f) {
             f.badStart = f.badStatus = f.badEnd = f.badChecksum = f.wrongCommand = true;
         }),
         {{0, LogKind::Tx, "BC 00 07 65 00 00 00 14 EF 81", 0, true}}},
        {"split after a delay",
         with([](Faults& f) {
             f.delayMs = 100;
             f.splitGapMs = 300;
         }),
         {{100, LogKind::Tx, "BB 00 06 64 00", 0, false},
          {400, LogKind::Tx, "00 00 14 EE 7E", 0, true}}},
        {"stray before and extra after a split reply",
         with([](Faults& f) {
             f.splitGapMs = 50;
             f.strayBefore = 3;
             f.extraAfter = 2;
         }),
         {{0, LogKind::Noise, "", 3, false},
          {0, LogKind::Tx, "BB 00 06 64 00", 0, false},
          {50, LogKind::Tx, "00 00 14 EE 7E", 0, true},
          {50, LogKind::Noise, "", 2, false}}},
    };
    for (const PlanCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::minstd_rand random;
        const auto writes = planReply(reply, c.faults, random);
        ASSERT_EQ(writes.size(), c.writes.size());
        for (std::size_t i = 0; i < writes.size(); ++i) {
            const Expected& expected = c.writes[i];
            EXPECT_EQ(writes[i].offsetMs, expected.offsetMs) << "write " << i;
            EXPECT_EQ(writes[i].kind, expected.kind) << "write " << i;
            EXPECT_EQ(writes[i].endsReply, expected.endsReply) << "write " << i;
            if (expected.kind == LogKind::Tx) {
                EXPECT_EQ(writes[i].bytes, hexBytes(expected.bytes)) << "write " << i;
            } else {
                EXPECT_EQ(writes[i].bytes.size(), expected.noiseLength) << "write " << i;
            }
        }
    }
}

TEST(ReplyPlan, StrayAndExtraBytesNeverPoseAsAReplyStart) {
    std::minstd_rand random;
    const auto bytes = noiseBytes(5000, random, true);
    EXPECT_EQ(bytes.size(), 5000u);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0xBB), 0);
    EXPECT_GT(std::count_if(bytes.begin(), bytes.end(), [](auto b) { return b > 0xBB; }), 0);
}

} // namespace
} // namespace dx400::sim
