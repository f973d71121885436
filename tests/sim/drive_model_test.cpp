#include "sim/drive_model.h"

#include "hex_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace dx400::sim {
namespace {

using test::hexBytes;
using namespace std::chrono_literals;

struct Step {
    std::chrono::milliseconds at; // since the start of the case
    const char* command;
    const char* reply;
};

struct ModelCase {
    const char* name;
    Inputs inputs;
    std::vector<Step> steps;
};

Frame frameOf(const char* text) {
    const auto bytes = hexBytes(text);
    Frame frame{};
    std::copy_n(bytes.begin(), frame.size(), frame.begin());
    return frame;
}

TEST(DriveModel, AnswersEveryCommandCode) {
    const std::vector<ModelCase> cases = {
        {"starting parameters",
         {},
         {{0ms, "AA 00 06 01 00 00 00 00 EE 07", "BB 00 06 64 00 00 00 14 EE 7E"},
          {0ms, "AA 00 06 02 00 00 00 00 EE 08", "BB 00 06 64 00 00 00 04 EE 6E"},
          {0ms, "AA 00 06 04 00 00 00 00 EE 0A", "BB 00 06 64 00 00 03 20 EE 8D"},
          {0ms, "AA 00 06 05 00 00 00 00 EE 0B", "BB 00 06 64 00 00 00 0A EE 74"},
          {0ms, "AA 00 06 06 00 00 00 00 EE 0C", "BB 00 06 64 00 00 00 02 EE 6C"},
          {0ms, "AA 00 06 07 00 00 00 00 EE 0D", "BB 00 06 64 00 00 01 F4 EE 5F"},
          {0ms, "AA 00 06 08 00 00 00 00 EE 0E", "BB 00 06 64 00 00 00 00 EE 6A"},
          {0ms, "AA 00 06 03 00 00 00 00 EE 09", "BB 00 06 64 00 00 00 00 EE 6A"}}},
        {"write then read back",
         {},
         {{0ms, "AA 00 05 01 00 00 01 23 EE 2A", "BB 00 05 64 00 00 01 23 EE 8D"},
          {0ms, "AA 00 06 01 00 00 00 00 EE 07", "BB 00 06 64 00 00 01 23 EE 8E"},
          {0ms, "AA 00 05 06 00 00 FF FF EE 09", "BB 00 05 64 00 00 FF FF EE 67"},
          {0ms, "AA 00 06 06 00 00 00 00 EE 0C", "BB 00 06 64 00 00 FF FF EE 68"}}},
        {"unknown index keeps all 32 bits",
         {},
         {{0ms, "AA 00 05 20 12 34 56 78 EE 39", "BB 00 05 64 12 34 56 78 EE 7D"},
          {0ms, "AA 00 06 20 00 00 00 00 EE 26", "BB 00 06 64 12 34 56 78 EE 7E"}}},
        {"absolute and incremental moves",
         {},
         {{0ms, "AA 00 04 00 00 00 03 E8 EE EF", "BB 00 04 64 00 00 00 00 EE 68"},
          {0ms, "AA 00 06 08 00 00 00 00 EE 0E", "BB 00 06 64 00 00 03 E8 EE 55"},
          {0ms, "AA 00 04 01 FF FF FF FF EE 01", "BB 00 04 64 00 00 00 00 EE 68"},
          {0ms, "AA 00 06 08 00 00 00 00 EE 0E", "BB 00 06 64 00 00 03 E7 EE 54"},
          {0ms, "AA 00 04 00 FF FF FF FE EE FF", "BB 00 04 64 00 00 00 00 EE 68"},
          {0ms, "AA 00 06 08 00 00 00 00 EE 0E", "BB 00 06 64 FF FF FF FE EE 65"}}},
        {"jog one way, stop, jog back",
         {},
         {{0ms, "AA 00 01 00 00 00 03 E8 EE EC", "BB 00 01 64 00 00 00 00 EE 65"},
          {2500ms, "AA 00 06 08 00 00 00 00 EE 0E", "BB 00 06 64 00 00 09 C4 EE 37"},
          {3000ms, "AA 00 03 00 00 00 00 00 EE 03", "BB 00 03 64 00 00 00 00 EE 67"},
          {10000ms, "AA 00 06 08 00 00 00 00 EE 0E", "BB 00 06 64 00 00 0B B8 EE 2D"},
          {10000ms, "AA 00 02 00 00 00 03 E8 EE ED", "BB 00 02 64 00 00 00 00 EE 66"},
          {12000ms, "AA 00 06 08 00 00 00 00 EE 0E", "BB 00 06 64 00 00 03 E8 EE 55"}}},
        {"move ends a jog",
         {},
         {{0ms, "AA 00 01 00 00 00 03 E8 EE EC", "BB 00 01 64 00 00 00 00 EE 65"},
          {1000ms, "AA 00 04 00 00 00 03 E8 EE EF", "BB 00 04 64 00 00 00 00 EE 68"},
          {5000ms, "AA 00 06 08 00 00 00 00 EE 0E", "BB 00 06 64 00 00 03 E8 EE 55"}}},
        {"output on and off",
         {},
         {{0ms, "AA 00 0B 00 00 00 00 01 EE 0C", "BB 00 0B 64 00 00 00 00 EE 6F"},
          {0ms, "AA 00 0B 00 00 00 00 00 EE 0B", "BB 00 0B 64 00 00 00 00 EE 6F"}}},
        {"inputs 1 and 3 on",
         {true, false, true},
         {{0ms, "AA 00 0C 00 00 00 00 00 EE 0C", "BB 00 0C 64 00 01 00 01 EE 72"}}},
        {"input 2 on",
         {false, true, false},
         {{0ms, "AA 00 0C 00 00 00 00 00 EE 0C", "BB 00 0C 64 00 00 01 00 EE 71"}}},
        {"unknown command answers data 0",
         {},
         {{0ms, "AA 00 09 00 00 00 00 05 EE 0E", "BB 00 09 64 00 00 00 00 EE 6D"}}},
    };
    for (const ModelCase& c : cases) {
        SCOPED_TRACE(c.name);
        DriveModel model;
        model.setInputs(c.inputs);
        const Clock::time_point start{};
        for (const Step& step : c.steps) {
            SCOPED_TRACE(step.command);
            const Frame reply = model.handle(frameOf(step.command), start + step.at);
            EXPECT_EQ(std::vector<std::uint8_t>(reply.begin(), reply.end()), hexBytes(step.reply));
        }
    }
}

TEST(DriveModel, OutputAndJogShowInTheState) {
    DriveModel model;
    const Clock::time_point start{};
    model.handle(frameOf("AA 00 0B 00 00 00 00 01 EE 0C"), start);
    EXPECT_TRUE(model.state(start).output);
    // Other way at a negative speed (-500) runs forwards.
    model.handle(frameOf("AA 00 02 00 FF FF FE 0C EE 0A"), start);
    EXPECT_EQ(model.state(start + 2s).jogSpeed, 500);
    EXPECT_EQ(model.position(start + 2s), 1000);
    model.handle(frameOf("AA 00 0B 00 00 00 00 00 EE 0B"), start + 2s);
    EXPECT_FALSE(model.state(start + 2s).output);
}

} // namespace
} // namespace dx400::sim
