// What the window's tests cannot reach: frames refused half-way, the value text of every
// kind of reply, the reply's sum and the parameter limits. Expected bytes are written out.
#include "params/parameter_table.h"
#include "protocol/command_frame.h"
#include "protocol/reply_check.h"
#include "protocol/reply_dispatch.h"
#include "protocol/reply_search.h"

#include <gtest/gtest.h>
#include <span>
#include <string>

using namespace dx400;

namespace {

// "AA 00 06": the bytes as upper-case pairs with single spaces.
std::string hex(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (std::uint8_t b : bytes)
        text += (text.empty() ? "" : " ") +
                std::string{"0123456789ABCDEF"[b >> 4], "0123456789ABCDEF"[b & 15]};
    return text;
}

// The bytes of "AA 00 06" and the like.
std::vector<std::uint8_t> bytes(const std::string& text) {
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i + 1 < text.size(); i += 3)
        out.push_back(std::uint8_t(std::stoi(text.substr(i, 2), nullptr, 16)));
    return out;
}

} // namespace

TEST(CommandFrame, SumsOnlyTheSevenBytesBetweenStartAndEndAndStopsAtABadArgument) {
    const std::tuple<CommandArgs, bool, const char*> cases[] = {
        {{5, 6, 0, 0, 0xFF, 0xFF}, true, "AA 00 05 06 00 00 FF FF EE 09 00 00"}, // sum 0x209
        {{3, 0, 0, 0, 0, 0}, true, "AA 00 03 00 00 00 00 00 EE 03 00 00"},
        // An argument outside a byte stops the fill there; the buffer held a read frame.
        {{6, 1, 0, 0, 0, 256}, false, "AA 00 06 01 00 00 00 00 EE 0E 00 00"},
        {{-1, 0, 0, 0, 0, 0}, false, "AA 00 06 08 00 00 00 00 EE 0E 00 00"},
        {{5, 300, 0, 0, 0, 0}, false, "AA 00 05 08 00 00 00 00 EE 0E 00 00"},
    };
    for (const auto& [args, filled, wire] : cases) {
        TxBuffer buffer{};
        ASSERT_TRUE(fillTxBuffer(buffer, {6, 8, 0, 0, 0, 0}));
        EXPECT_EQ(fillTxBuffer(buffer, args), filled);
        EXPECT_EQ(hex(buffer), wire);
    }
}

TEST(ReplyDispatch, ReadsTheDataDigitsAtTheirPlacesAsASigned32BitValue) {
    const std::tuple<int, int, const char*, int, const char*, int> cases[] = {
        // reply command, read_state, receive text, box filled, its text, new read_state
        {6, 4, "BB  00  06  64  00  00  0A  CF  EE  00  ", 4, "2767", 5},
        {6, 8, "BB  00  06  64  ff  ff  fa  9c  EE  00  ", 8, "-1380", 0}, // typed
        {6, 8, "BB  00  06  64  80  00  00  00  EE  00  ", 8, "-2147483648", 0},
        {6, 8, "BB  00  06  64  00  01  ", 8, "1", 0},         // the digits that are there
        {6, 1, "BB  06  ", 1, "0", 2},                         // none at all
        {6, 8, "BB  00  06  64  00  0g  00  01  ", 8, "0", 0}, // typed: up to the g
        {6, 3, "BB  00  06  64  00  00  01  F4  ", 0, "", 3},
        {5, 1, "BB  00  05  64  00  00  01  F4  ", 0, "", 1},
    };
    for (const auto& [rxCmd, state, text, fill, value, newState] : cases) {
        const ReplyAction action = dispatchReply(std::uint8_t(rxCmd), std::uint8_t(state), text);
        EXPECT_EQ(action.fillIndex, fill) << text;
        EXPECT_EQ(action.valueText, value) << text;
        EXPECT_EQ(action.newReadState, newState) << text;
    }
    // dx400ctl reads the data bytes of a reply it has checked: signed, most significant first.
    using Reply = std::array<std::uint8_t, kReplyLength>;
    EXPECT_EQ(replyData(Reply{0xBB, 0x00, 0x06, 0x64, 0xFE, 0x98, 0x96, 0x7F, 0xEE, 0x00}),
              -23554433);
    // The reply's sum covers its second byte, which the drive may set.
    EXPECT_TRUE(checkReply(Reply{0xBB, 0x01, 0x06, 0x64, 0, 0, 0, 0, 0xEE, 0x6B}, 6).empty());
    // An input reply short of its bytes lights the indicators of the missing ones.
    const ReplyAction inputs = dispatchReply(12, 9, "BB  00  0C  64  00  00");
    EXPECT_TRUE(inputs.setsInputs);
    EXPECT_EQ(inputs.inputOn, (std::array<bool, 3>{true, true, false}));
    EXPECT_EQ(dispatchReply(12, 9, "BB  00  0C  64  00  00  01  00").inputOn,
              (std::array<bool, 3>{false, true, false}));
    EXPECT_FALSE(dispatchReply(12, 0, "BB  00  0C  64  00  00  00  00").setsInputs) << "unasked";
}

TEST(ParameterTable, AcceptsEachParameterBelowItsLimitAndSplitsItsBytes) {
    const std::tuple<int, int, const char*> cases[] = {
        // index, value, data1 data0 or "" when refused
        {1, 31, "00 1F"},   {1, 32, ""},   {1, -1, ""},       {2, 31, "00 1F"},   {2, 32, ""},
        {4, 2046, "07 FE"}, {4, 2047, ""}, {4, 255, "00 FF"}, {5, 256, "01 00"},  {5, 2047, ""},
        {7, 2046, "07 FE"}, {7, 2047, ""}, {6, 7, "00 07"},   {5, 2046, "07 FE"}, {6, 8, ""},
    };
    for (const auto& [index, value, bytes] : cases) {
        const DriveParameter& p = driveParameters().at(panelPosition(index).value_or(99));
        ASSERT_EQ(p.index, index);
        const auto [high, low] = splitValue(value);
        const std::uint8_t split[] = {high, low};
        EXPECT_EQ(acceptsValue(p, value) ? hex(split) : "", bytes) << index << " " << value;
    }
    EXPECT_FALSE(panelPosition(3) || panelPosition(8));
}

TEST(ReplySearch, TakesTheFirstSoundReplyAndJudgesOthersOnlyOnceTheLineIsQuiet) {
    const std::string reply = "BB 00 06 64 00 00 01 F4 EE 5F"; // a read of 500
    using V = ReplySearch::Verdict;
    const std::tuple<std::string, bool, bool, V, std::size_t> cases[] = {
        // received, settled, time up: verdict, where the reply starts
        {reply, false, false, V::Sound, 0},
        {"12 34 " + reply, false, false, V::Sound, 2},
        {"BB 12 " + reply + " 77", false, false, V::Sound, 2},          // a start byte in the noise
        {"BB 00 07 64 00 00 01 F4 EE 60", false, false, V::Waiting, 0}, // another command's
        {"33 BB 00 07 64 00 00 01 F4 EE 60", true, false, V::Unsound, 1},
        {"BB 00 06 64 00 00 01 F4 EE 60", true, false, V::Unsound, 0}, // checksum
        {"BC 00 06 64 00 00 01 F4 EE 5F", true, false, V::Unsound, 0}, // no start byte
        {"BB 00 06 64 00", true, false, V::Waiting, 0},                // cut short
        {"BB 00 06 64 00", true, true, V::Missing, 0},
        {"11 22 33 44 55 66 77 88 99 AA BB 00 06", true, false, V::Waiting, 0},
        {"11 22 33 44 55 66 77 88 99 AA BB 00 06", true, true, V::Missing, 0},
        {"BB 00 07 64 00 00 01 F4 EE 60 BB 00", true, false, V::Waiting, 0},
        {"", true, true, V::Missing, 0},
    };
    for (const auto& [received, settled, timeUp, verdict, start] : cases) {
        const ReplySearch search = searchReply(bytes(received), 6, settled, timeUp);
        EXPECT_EQ(search.verdict, verdict) << received;
        EXPECT_EQ(search.start, start) << received;
    }
    // Unasked: a whole sound reply to any command, not noise nor a reply with a bad sum.
    EXPECT_EQ(findUnaskedReply(bytes("00 BB 11 BB 00 0C 64 00 00 00 01 EE 71")), 3u);
    EXPECT_FALSE(findUnaskedReply(bytes("BB 00 06 64 00 00 01 F4 EE 60 BB 00 06")));
    EXPECT_TRUE(endsInsideReply(bytes("01 BB 02 03 04 05 06 07 08 09")));
    EXPECT_FALSE(endsInsideReply(bytes("BB 01 02 03 04 05 06 07 08 09")));
}
