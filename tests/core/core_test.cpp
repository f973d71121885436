// The logic that needs no window: frames, the echo and checks of a receive event, the
// reply dispatch, the parameter table and pulse packing. Expected bytes are written out.
#include "motion/pulse_packing.h"
#include "params/parameter_table.h"
#include "protocol/command_frame.h"
#include "protocol/hex_echo.h"
#include "protocol/reply_dispatch.h"
#include "protocol/reply_reception.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>

using namespace dx400;

namespace {

// "AA 00 06": the bytes as upper-case pairs with single spaces.
std::string hex(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (std::uint8_t b : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, text.empty() ? "%02X" : " %02X", b);
        text += pair;
    }
    return text;
}

// The bytes written as hex pairs, blanks ignored.
std::vector<std::uint8_t> bytesOf(std::string_view hexText) {
    std::string digits;
    for (char c : hexText)
        if (c != ' ')
            digits += c;
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
        bytes.push_back(std::uint8_t(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return bytes;
}

// The receive echo of the bytes, as rx_txt shows them.
std::string echoOf(const char* hexText) {
    return echoText(bytesOf(hexText));
}

} // namespace

TEST(CommandFrame, FillsTheBufferAndSumsOnlyTheSevenBytesBetweenStartAndEnd) {
    struct Case {
        CommandArgs args;
        const char* wire;
    };
    const Case cases[] = {
        {{6, 1, 0, 0, 0, 0}, "AA 00 06 01 00 00 00 00 EE 07 00 00"},
        {{11, 1, 0, 0, 0, 1}, "AA 00 0B 01 00 00 00 01 EE 0D 00 00"},
        {{5, 6, 0, 0, 0xFF, 0xFF}, "AA 00 05 06 00 00 FF FF EE 09 00 00"}, // sum 0x209
        {{3, 0, 0, 0, 0, 0}, "AA 00 03 00 00 00 00 00 EE 03 00 00"},
        {{4, 1, 0xFF, 0xFF, 0xFF, 0x9C}, "AA 00 04 01 FF FF FF 9C EE 9E 00 00"},
        {{5, 7, 0, 0, 1, 0xF4}, "AA 00 05 07 00 00 01 F4 EE 01 00 00"},
    };
    for (const Case& c : cases) {
        TxBuffer buffer{};
        ASSERT_TRUE(fillTxBuffer(buffer, c.args));
        EXPECT_EQ(hex(buffer), c.wire);
    }
    EXPECT_EQ(echoText(bytesOf("AA000B01000000 01EE0D")),
              "AA  00  0B  01  00  00  00  01  EE  0D  ");
}

TEST(CommandFrame, AnArgumentOutsideAByteStopsTheFillThere) {
    struct Case {
        CommandArgs args;
        const char* kept; // the buffer afterwards, which held a read-position frame
    };
    const Case cases[] = {
        {{6, 1, 0, 0, 0, 256}, "AA 00 06 01 00 00 00 00 EE 0E 00 00"},
        {{-1, 0, 0, 0, 0, 0}, "AA 00 06 08 00 00 00 00 EE 0E 00 00"},
        {{5, 300, 0, 0, 0, 0}, "AA 00 05 08 00 00 00 00 EE 0E 00 00"},
    };
    for (const Case& c : cases) {
        TxBuffer buffer{};
        ASSERT_TRUE(fillTxBuffer(buffer, {6, 8, 0, 0, 0, 0}));
        EXPECT_FALSE(fillTxBuffer(buffer, c.args));
        EXPECT_EQ(hex(buffer), c.kept);
    }
}

TEST(ReplyReception, EchoesEveryByteAndCutsTheEchoAfterEachByteThatFailsItsTest) {
    struct Case {
        const char* bytes;
        std::vector<const char*> pieces; // hex of the bytes of each piece
        int rxCmd;
    };
    const Case cases[] = {
        {"BB00066400 0001F4EE5F", {"BB00066400 0001F4EE5F"}, 6},
        {"BA00066400 0001F4EE5F", {"BA", "00066400 0001F4EE5F"}, 6},
        {"BB000C6500 0001F4EE5F", {"BB000C65", "000001F4EE5F"}, 12},
        {"BB00066400 0001F4EF5F", {"BB00066400 0001F4EF", "5F"}, 6},
        {"00000600 000001F40000", {"00", "000600", "000001F400", "00"}, 6},
        {"BB00066400 0001F4EE5FBA00", {"BB00066400 0001F4EE5FBA00"}, 6}, // 11, 12 untested
        {"BB06", {"BB06"}, 0},
        {"", {""}, 0},
    };
    for (const Case& c : cases) {
        const ReceivedBytes received = receiveBytes(bytesOf(c.bytes));
        std::vector<std::string> expected;
        for (const char* piece : c.pieces)
            expected.push_back(echoOf(piece));
        EXPECT_EQ(received.echoPieces, expected) << c.bytes;
        EXPECT_EQ(received.rxCmd, c.rxCmd) << c.bytes;
    }
}

TEST(ReplyDispatch, FollowsReadStateThroughReadAllPositionAndInputs) {
    struct Case {
        int rxCmd, readState;
        std::string rxText;
        int fill;          // parameter index of the box filled, 8 the position, 0 none
        const char* value; // its text
        int next;          // read request sent next, 0 none
        int newState;
        const char* inputs; // "" or led1, led2, led3: 1 red, 0 white
    };
    const std::string r500 = echoOf("BB00066400 0001F4EE5F");
    const Case cases[] = {
        {6, 1, r500, 1, "500", 2, 2, ""},
        {6, 2, r500, 2, "500", 4, 4, ""},
        {6, 4, echoOf("BB000664000007CFEE00"), 4, "1999", 5, 5, ""},
        {6, 5, r500, 5, "500", 7, 7, ""},
        {6, 7, r500, 7, "500", 6, 6, ""},
        {6, 6, r500, 6, "500", 0, 0, ""},
        {6, 8, echoOf("BB000664FFFFFF9CEE00"), 8, "-100", 0, 0, ""},
        {6, 8, echoOf("BB00066480000000EE00"), 8, "-2147483648", 0, 0, ""},
        {6, 8, echoOf("BB0006640001"), 8, "1", 0, 0, ""},     // digits that are there
        {6, 1, echoOf("BB06"), 1, "0", 2, 2, ""},             // no digits at all
        {6, 8, "BB  00  06  64  00  0G  ", 8, "0", 0, 0, ""}, // typed: stops at G
        {6, 0, r500, 0, "", 0, 0, ""},
        {6, 3, r500, 0, "", 0, 3, ""},
        {6, 9, r500, 0, "", 0, 9, ""},
        {5, 1, r500, 0, "", 0, 1, ""},
        {12, 9, echoOf("BB000C6400010 0FFEE00"), 0, "", 0, 0, "101"},
        {12, 9, echoOf("BB000C6400008 000EE00"), 0, "", 0, 0, "010"},
        {12, 9, echoOf("BB000C640000"), 0, "", 0, 0, "110"}, // missing bytes are on
        {12, 0, r500, 0, "", 0, 0, ""},
        {12, 8, r500, 0, "", 0, 8, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.rxCmd) + " in state " + std::to_string(c.readState) + ": " +
                     c.rxText);
        const ReplyAction action =
            dispatchReply(std::uint8_t(c.rxCmd), std::uint8_t(c.readState), c.rxText);
        EXPECT_EQ(action.fillIndex, c.fill);
        EXPECT_EQ(action.valueText, c.value);
        EXPECT_EQ(action.nextRequest.value_or(0), c.next);
        EXPECT_EQ(action.newReadState, c.newState);
        std::string inputs;
        for (bool on : action.inputOn)
            inputs += action.setsInputs ? (on ? "1" : "0") : "";
        EXPECT_EQ(inputs, c.inputs);
    }
}

TEST(ParameterTable, AcceptsEachParameterBelowItsLimitAndSplitsItsBytes) {
    struct Case {
        int index;
        int value;
        bool accepted;
        const char* bytes; // data1 data0
    };
    const Case cases[] = {
        {1, 31, true, "00 1F"}, {1, 32, false, ""},      {1, -1, false, ""},
        {2, 0, true, "00 00"},  {2, 32, false, ""},      {4, 2046, true, "07 FE"},
        {4, 2047, false, ""},   {4, 255, true, "00 FF"}, {5, 256, true, "01 00"},
        {5, 2047, false, ""},   {7, 500, true, "01 F4"}, {7, 2047, false, ""},
        {6, 7, true, "00 07"},  {6, 8, false, ""},       {6, -1, false, ""},
    };
    for (const Case& c : cases) {
        const std::optional<std::size_t> position = panelPosition(c.index);
        ASSERT_TRUE(position.has_value()) << c.index;
        const DriveParameter& p = driveParameters()[*position];
        EXPECT_EQ(p.index, c.index);
        EXPECT_EQ(acceptsValue(p, c.value), c.accepted) << c.index << " " << c.value;
        if (c.accepted) {
            const auto [high, low] = splitValue(p, c.value);
            const std::uint8_t split[] = {high, low};
            EXPECT_EQ(hex(split), c.bytes) << c.index << " " << c.value;
        }
    }
    EXPECT_FALSE(panelPosition(3).has_value());
    EXPECT_FALSE(panelPosition(8).has_value());
}

TEST(PulsePacking, PacksTwosComplementMostSignificantFirst) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {1000, "00 00 03 E8"},
        {-100, "FF FF FF 9C"},
        {65536, "00 01 00 00"},
        {9999999, "00 98 96 7F"},
        {-999999, "FF F0 BD C1"},
        {-1, "FF FF FF FF"},
        {-2147483647 - 1, "80 00 00 00"},
    };
    for (const auto& [value, bytes] : cases)
        EXPECT_EQ(hex(packPulses(value)), bytes) << value;
}
