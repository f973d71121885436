#include "app/form1.h"
#include "fake_window.h"
#include "window_access.h"

#include <QLineEdit>

using namespace dx400;
using namespace dx400::test;

using Connected = ConnectedFakeWindow;

TEST(WindowProtocol, SendsTwelveBytesAndEchoesTheFrame) {
    Connected c;
    control<QLineEdit>(c.window, "rx_txt")->setText("BB  00  ");
    ASSERT_TRUE(c.window.protocol(6, 1, 0, 0, 0, 0));
    EXPECT_EQ(c.lastWrite(), "AA 00 06 01 00 00 00 00 EE 07 00 00");
    EXPECT_EQ(c.text("txt_tx"), "AA  00  06  01  00  00  00  00  EE  07  ");
    EXPECT_EQ(c.text("rx_txt"), "");

    ASSERT_TRUE(c.window.protocol(11, 1, 0, 0, 0, 1));
    EXPECT_EQ(c.text("txt_tx"), "AA  00  0B  01  00  00  00  01  EE  0D  ")
        << "only the last frame";
}

TEST(WindowProtocol, AnArgumentOutsideAByteSendsNothing) {
    Connected c;
    control<QLineEdit>(c.window, "rx_txt")->setText("kept");
    EXPECT_FALSE(c.window.protocol(6, 1, 0, 0, 0, 256));
    EXPECT_FALSE(c.window.protocol(-1, 0, 0, 0, 0, 0));
    EXPECT_TRUE(c.port->writes.isEmpty());
    EXPECT_EQ(c.text("rx_txt"), "kept");
    EXPECT_EQ(c.text("txt_tx"), "");
}

TEST(WindowProtocol, ReceiveEventEchoesChecksAndDispatches) {
    struct Case {
        const char* name;
        const char* bytes;
        int messages;
        const char* rpos; // Text_RPOS afterwards
    };
    const Case cases[] = {
        {"good reply", "BB00066400000 1F4EE5F", 0, "500"},
        {"wrong start byte", "BA0006640000 01F4EE5F", 1, "500"},
        {"wrong status byte", "BB0006650000 01F4EE5F", 1, "500"},
        {"wrong end byte", "BB00066400000 1F4EF5F", 1, "500"},
        {"three wrong bytes", "000006000000 01F40000", 3, "500"},
        {"any checksum", "BB0006640000 01F4EE00", 0, "500"},
        {"twelve bytes", "BB0006640000 01F4EE5FBA00", 0, "500"},
        {"negative position", "BB000664FFFFFF9CEE00", 0, "-100"},
    };
    for (const Case& k : cases) {
        Connected c;
        click(c.window, "Cmd_RPOS");
        const QByteArray bytes = QByteArray::fromHex(QByteArray(k.bytes).replace(' ', ""));
        c.feed(QByteArray::fromHex(QByteArray(k.bytes).replace(' ', "").constData()));
        EXPECT_EQ(c.messages.texts.size(), k.messages) << k.name;
        for (const QString& text : c.messages.texts)
            EXPECT_EQ(text, "통신에러") << k.name;
        EXPECT_EQ(c.text("Text_RPOS"), k.rpos) << k.name;
        EXPECT_EQ(c.text("rx_txt").size(), bytes.size() * 4) << k.name;
        EXPECT_EQ(c.window.readState(), 0) << k.name;
        EXPECT_EQ(colourName(c.window, "Text_RPOS"), "#C0C0FF") << k.name;
        EXPECT_EQ(c.port->rThreshold(), 10) << k.name;
    }
}

TEST(WindowProtocol, EventsOfOtherKindsChangeNothing) {
    Connected c;
    c.port->setRThreshold(10);
    c.port->feed(QByteArray::fromHex("BB000664000001F4EE5F"));
    c.port->raiseOther();
    EXPECT_EQ(c.port->inBufferCount(), 10) << "nothing read";
    EXPECT_EQ(c.text("rx_txt"), "");
}

TEST(WindowProtocol, InputReplyLightsTheIndicatorsOfItsNonZeroBytes) {
    struct Case {
        const char* name;
        const char* reply;
        const char* led1;
        const char* led2;
        const char* led3;
    };
    const Case cases[] = {
        {"01 00 FF", "BB000C6400010 0FFEE0E", "#FF0000", "#FFFFFF", "#FF0000"},
        {"00 00 00", "BB000C64000000 00EE70", "#FFFFFF", "#FFFFFF", "#FFFFFF"},
        {"00 80 00", "BB000C6400008 000EEF0", "#FFFFFF", "#FF0000", "#FFFFFF"},
    };
    for (const Case& k : cases) {
        Connected c;
        click(c.window, "CMD_IN");
        EXPECT_EQ(c.lastWrite(), "AA 00 0C 01 00 00 00 00 EE 0D 00 00") << k.name;
        EXPECT_EQ(c.window.readState(), 9) << k.name;
        c.feed(QByteArray::fromHex(QByteArray(k.reply).replace(' ', "").constData()));
        const auto led = [&](const char* name) {
            return control<CircleIndicator>(c.window, name)->fillColour().name().toUpper();
        };
        EXPECT_EQ(led("led1"), k.led1) << k.name;
        EXPECT_EQ(led("led2"), k.led2) << k.name;
        EXPECT_EQ(led("led3"), k.led3) << k.name;
        EXPECT_EQ(c.window.readState(), 0) << k.name;
    }
}
