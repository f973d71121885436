#include "protocol/reply_dispatch.h"

#include <gtest/gtest.h>

using namespace dx400;

namespace {
const char* kReply500 = "BB  00  06  64  00  00  01  F4  EE  5F  ";
}

TEST(ReplyDispatch, ValueTextReadsSigned32Bit) {
    struct Case {
        const char* hex;
        const char* text;
    };
    const Case cases[] = {
        {"000001F4", "500"},
        {"00000000", "0"},
        {"000007CF", "1999"},
        {"00008000", "32768"},
        {"0000FFFF", "65535"},
        {"FFFFFFFF", "-1"},
        {"7FFFFFFF", "2147483647"},
        {"80000000", "-2147483648"},
        {"FFFFFF9C", "-100"},
        {"1F4", "500"},
        {"FF", "255"},
        {"", "0"},
        {"12G4", "18"},
        {"-1", "0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(valueText(c.hex), c.text) << c.hex;
}

TEST(ReplyDispatch, ReadStateTransitions) {
    struct Case {
        const char* name;
        std::uint8_t rxCmd;
        std::uint8_t readState;
        int fillIndex;
        std::optional<int> next;
        std::uint8_t newState;
    };
    const Case cases[] = {
        {"operating current, then stop current", 6, 1, 1, 2, 2},
        {"stop current, then drive speed", 6, 2, 2, 4, 4},
        {"drive speed, then acceleration", 6, 4, 4, 5, 5},
        {"acceleration, then home speed", 6, 5, 5, 7, 7},
        {"home speed, then resolution", 6, 7, 7, 6, 6},
        {"resolution ends the sequence", 6, 6, 6, std::nullopt, 0},
        {"position", 6, 8, 8, std::nullopt, 0},
        {"parameter reply while idle", 6, 0, 0, std::nullopt, 0},
        {"parameter reply while inputs awaited", 6, 9, 0, std::nullopt, 9},
        {"index 3 is never awaited", 6, 3, 0, std::nullopt, 3},
        {"write reply during a sequence", 5, 4, 0, std::nullopt, 4},
        {"input reply during a sequence", 12, 2, 0, std::nullopt, 2},
        {"unknown reply", 0, 8, 0, std::nullopt, 8},
    };
    for (const Case& c : cases) {
        const ReplyAction a = dispatchReply(c.rxCmd, c.readState, "000001F4", kReply500);
        EXPECT_EQ(a.fillIndex, c.fillIndex) << c.name;
        EXPECT_EQ(a.nextRequest, c.next) << c.name;
        EXPECT_EQ(a.newReadState, c.newState) << c.name;
        EXPECT_FALSE(a.setsInputs) << c.name;
        if (c.fillIndex != 0)
            EXPECT_EQ(a.valueText, "500") << c.name;
    }
}

TEST(ReplyDispatch, InputReplyPaintsIndicatorsFromBytesSixToEight) {
    struct Case {
        const char* name;
        const char* rxText;
        std::array<bool, 3> on; // led1, led2, led3
    };
    const Case cases[] = {
        {"01 00 FF", "BB  00  0C  64  00  01  00  FF  EE  0E  ", {true, false, true}},
        {"all off", "BB  00  0C  64  00  00  00  00  EE  70  ", {false, false, false}},
        {"only byte six", "BB  00  0C  64  00  01  ", {true, true, true}},
        {"seven bytes", "BB  00  0C  64  00  00  00  ", {true, false, false}},
    };
    for (const Case& c : cases) {
        const ReplyAction a = dispatchReply(12, 9, "", c.rxText);
        EXPECT_TRUE(a.setsInputs) << c.name;
        EXPECT_EQ(a.inputOn, c.on) << c.name;
        EXPECT_EQ(a.newReadState, 0) << c.name;
    }
    EXPECT_FALSE(dispatchReply(12, 0, "", kReply500).setsInputs) << "inputs not awaited";
}
