// What the window's tests cannot reach; expected bytes are written out, not computed.
#include "protocol/reply_check.h"
#include "protocol/reply_dispatch.h"
#include "protocol/reply_search.h"

#include <gtest/gtest.h>

using namespace dx400;

TEST(ReplyDispatch, ReadsTheDataDigitsAtTheirPlacesAsASigned32BitValueAndTheSearchItsReplies) {
    const std::tuple<int, int, const char*, int, const char*, int> cases[] = {
        // reply command, read_state, receive text, box filled, its text, new read_state
        {6, 8, "BB  00  06  64  ff  ff  fa  9c  EE  00  ", 8, "-1380", 0}, // typed
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
    EXPECT_EQ(replyData(Reply{0xBB, 0, 0x06, 0x64, 0xFE, 0x98, 0x96, 0x7F, 0xEE, 0}), -23554433);
    // The reply's sum covers its second byte, which the drive may set.
    EXPECT_TRUE(checkReply(Reply{0xBB, 0x01, 0x06, 0x64, 0, 0, 0, 0, 0xEE, 0x6B}, 6).empty());
    // The indicators show bytes 7, 6 and 5 (from 0); a reply short of its bytes lights the missing.
    using On = std::array<bool, 3>;
    EXPECT_EQ(dispatchReply(12, 9, "BB  00  0C  64  00  00").inputOn, (On{1, 1, 0}));
    EXPECT_EQ(dispatchReply(12, 9, "BB  00  0C  64  00  01  00  00").inputOn, (On{0, 0, 1}));
    EXPECT_FALSE(dispatchReply(12, 0, "BB  00  0C  64  00  00  00  00").setsInputs) << "unasked";
    // Noise ending in a reply's start is missing at the time-out (dx400ctl's tests check the rest).
    using Bytes = std::vector<std::uint8_t>;
    const Bytes cut{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB, 0x00, 0x06};
    EXPECT_EQ(searchReply(cut, 6, true, true).verdict, ReplySearch::Verdict::Missing);
    EXPECT_EQ(searchReply(Bytes(11, 0xBB), 6, true, true).start, 0u) << "the first start byte";
    // A reply may still be coming while a start byte is among the last nine bytes.
    EXPECT_TRUE(endsInsideReply(Bytes{1, 0xBB, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_FALSE(endsInsideReply(Bytes{0xBB, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}
