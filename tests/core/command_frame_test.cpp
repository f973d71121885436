#include "protocol/command_frame.h"
#include "protocol/hex_echo.h"

#include <gtest/gtest.h>
#include <string>

using namespace dx400;

namespace {

std::string frameHex(const TxBuffer& buffer) {
    std::string text;
    for (std::uint8_t b : buffer) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X ", b);
        text += digits;
    }
    text.pop_back();
    return text;
}

struct FrameCase {
    const char* name;
    CommandArgs args;
    const char* wire; // all 12 bytes as they go on the line
};

// Every worked frame of the drive's command set, written out byte by byte.
const FrameCase kFrames[] = {
    {"read parameter 1", {6, 1, 0, 0, 0, 0}, "AA 00 06 01 00 00 00 00 EE 07 00 00"},
    {"output on", {11, 1, 0, 0, 0, 1}, "AA 00 0B 01 00 00 00 01 EE 0D 00 00"},
    {"sum above 255 keeps its low byte",
     {5, 6, 0, 0, 0xFF, 0xFF},
     "AA 00 05 06 00 00 FF FF EE 09 00 00"},
    {"stop leaves AA and EE out of the sum",
     {3, 0, 0, 0, 0, 0},
     "AA 00 03 00 00 00 00 00 EE 03 00 00"},
    {"write operating current 20", {5, 1, 0, 0, 0, 0x14}, "AA 00 05 01 00 00 00 14 EE 1A 00 00"},
    {"write stop current 4", {5, 2, 0, 0, 0, 4}, "AA 00 05 02 00 00 00 04 EE 0B 00 00"},
    {"write drive speed 800", {5, 4, 0, 0, 3, 0x20}, "AA 00 05 04 00 00 03 20 EE 2C 00 00"},
    {"write acceleration 10", {5, 5, 0, 0, 0, 0x0A}, "AA 00 05 05 00 00 00 0A EE 14 00 00"},
    {"write home speed 500", {5, 7, 0, 0, 1, 0xF4}, "AA 00 05 07 00 00 01 F4 EE 01 00 00"},
    {"write resolution 2", {5, 6, 0, 0, 0, 2}, "AA 00 05 06 00 00 00 02 EE 0D 00 00"},
    {"read stop current", {6, 2, 0, 0, 0, 0}, "AA 00 06 02 00 00 00 00 EE 08 00 00"},
    {"read drive speed", {6, 4, 0, 0, 0, 0}, "AA 00 06 04 00 00 00 00 EE 0A 00 00"},
    {"read acceleration", {6, 5, 0, 0, 0, 0}, "AA 00 06 05 00 00 00 00 EE 0B 00 00"},
    {"read resolution", {6, 6, 0, 0, 0, 0}, "AA 00 06 06 00 00 00 00 EE 0C 00 00"},
    {"read home speed", {6, 7, 0, 0, 0, 0}, "AA 00 06 07 00 00 00 00 EE 0D 00 00"},
    {"read position", {6, 8, 0, 0, 0, 0}, "AA 00 06 08 00 00 00 00 EE 0E 00 00"},
    {"absolute move to 1000", {4, 0, 0, 0, 3, 0xE8}, "AA 00 04 00 00 00 03 E8 EE EF 00 00"},
    {"incremental move by 1000", {4, 1, 0, 0, 3, 0xE8}, "AA 00 04 01 00 00 03 E8 EE F0 00 00"},
    {"absolute move to -100",
     {4, 0, 0xFF, 0xFF, 0xFF, 0x9C},
     "AA 00 04 00 FF FF FF 9C EE 9D 00 00"},
    {"incremental move by -100",
     {4, 1, 0xFF, 0xFF, 0xFF, 0x9C},
     "AA 00 04 01 FF FF FF 9C EE 9E 00 00"},
    {"absolute move to 0", {4, 0, 0, 0, 0, 0}, "AA 00 04 00 00 00 00 00 EE 04 00 00"},
    {"incremental move by 0", {4, 1, 0, 0, 0, 0}, "AA 00 04 01 00 00 00 00 EE 05 00 00"},
    {"jog ROL at 300", {2, 0, 0, 0, 1, 0x2C}, "AA 00 02 00 00 00 01 2C EE 2F 00 00"},
    {"jog ROR at 300", {1, 0, 0, 0, 1, 0x2C}, "AA 00 01 00 00 00 01 2C EE 2E 00 00"},
    {"read inputs", {12, 1, 0, 0, 0, 0}, "AA 00 0C 01 00 00 00 00 EE 0D 00 00"},
    {"output off", {11, 1, 0, 0, 0, 0}, "AA 00 0B 01 00 00 00 00 EE 0C 00 00"},
};

} // namespace

TEST(CommandFrame, BuildsEveryWorkedFrame) {
    for (const FrameCase& c : kFrames) {
        TxBuffer buffer{};
        ASSERT_TRUE(fillTxBuffer(buffer, c.args)) << c.name;
        EXPECT_EQ(frameHex(buffer), c.wire) << c.name;
    }
}

TEST(CommandFrame, EchoShowsTenBytesAsDigitPairsWithTwoBlanks) {
    TxBuffer buffer{};
    ASSERT_TRUE(fillTxBuffer(buffer, {11, 1, 0, 0, 0, 1}));
    const std::string echo = echoText(std::span(buffer).first(kFrameLength));
    EXPECT_EQ(echo, "AA  00  0B  01  00  00  00  01  EE  0D  ");
    EXPECT_EQ(echo.size(), 40u);
}

TEST(CommandFrame, ArgumentOutsideByteRangeStopsTheFill) {
    struct Case {
        const char* name;
        CommandArgs args;
        const char* kept; // tx_buf afterwards, starting from a previous read-position frame
    };
    const Case cases[] = {
        {"data0 of 256", {6, 1, 0, 0, 0, 256}, "AA 00 06 01 00 00 00 00 EE 0E 00 00"},
        {"negative cmd", {-1, 0, 0, 0, 0, 0}, "AA 00 06 08 00 00 00 00 EE 0E 00 00"},
        {"opt1 of 300", {5, 300, 0, 0, 0, 0}, "AA 00 05 08 00 00 00 00 EE 0E 00 00"},
    };
    for (const Case& c : cases) {
        TxBuffer buffer{};
        ASSERT_TRUE(fillTxBuffer(buffer, {6, 8, 0, 0, 0, 0}));
        EXPECT_FALSE(fillTxBuffer(buffer, c.args)) << c.name;
        EXPECT_EQ(frameHex(buffer), c.kept) << c.name;
    }
}
