#include "protocol/reply_reception.h"

#include <gtest/gtest.h>
#include <vector>

using namespace dx400;

TEST(ReplyReception, TestsStartStatusAndEndBytesByPosition) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        std::vector<std::size_t> failed;
        std::uint8_t rxCmd;
    };
    const Case cases[] = {
        {"good reply", {0xBB, 0x00, 0x06, 0x64, 0x00, 0x00, 0x01, 0xF4, 0xEE, 0x5F}, {}, 6},
        {"wrong first byte", {0xBA, 0x00, 0x06, 0x64, 0x00, 0x00, 0x01, 0xF4, 0xEE, 0x5F}, {0}, 6},
        {"wrong fourth byte", {0xBB, 0x00, 0x06, 0x65, 0x00, 0x00, 0x01, 0xF4, 0xEE, 0x5F}, {3}, 6},
        {"wrong ninth byte", {0xBB, 0x00, 0x06, 0x64, 0x00, 0x00, 0x01, 0xF4, 0xEF, 0x5F}, {8}, 6},
        {"all three wrong",
         {0x00, 0xBB, 0x06, 0x00, 0x00, 0x00, 0x01, 0xF4, 0x00, 0x5F},
         {0, 3, 8},
         6},
        {"any tenth byte", {0xBB, 0x00, 0x0C, 0x64, 0x00, 0x00, 0x01, 0xF4, 0xEE, 0x00}, {}, 12},
        {"twelve bytes", {0xBB, 0x00, 0x06, 0x64, 0, 0, 0, 1, 0xEE, 0x5B, 0xBA, 0x00}, {}, 6},
        {"two bytes only", {0xBB, 0x00}, {}, 0},
        {"nothing", {}, {}, 0},
    };
    for (const Case& c : cases) {
        const ReceivedBytes r = receiveBytes(c.bytes);
        EXPECT_EQ(r.failedBytes, c.failed) << c.name;
        EXPECT_EQ(r.rxCmd, c.rxCmd) << c.name;
        EXPECT_EQ(r.echo.size(), c.bytes.size() * 4) << c.name;
    }
}

TEST(ReplyReception, EchoesEveryByteInTheTransmitForm) {
    const std::vector<std::uint8_t> reply = {0xBB, 0x00, 0x06, 0x64, 0x00,
                                             0x00, 0x01, 0xF4, 0xEE, 0x5F};
    EXPECT_EQ(receiveBytes(reply).echo, "BB  00  06  64  00  00  01  F4  EE  5F  ");
}

TEST(ReplyReception, DataDigitsComeFromFixedCharacterPositions) {
    struct Case {
        const char* name;
        const char* rxText;
        const char* rxHex;
    };
    const Case cases[] = {
        {"complete reply", "BB  00  06  64  00  00  01  F4  EE  5F  ", "000001F4"},
        {"eight bytes", "BB  00  06  64  7F  FF  FF  FF  ", "7FFFFFFF"},
        {"six bytes", "BB  00  06  64  12  34  ", "1234"},
        {"five bytes and a half", "BB  00  06  64  12  3", "123"},
        {"two bytes", "BB  00  ", ""},
        {"empty box", "", ""},
        {"typed text", "abcdefghijklmnopqrstuvwxyz0123456789", "qruvyz23"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rxHexFrom(c.rxText), c.rxHex) << c.name;
}
