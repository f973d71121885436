// Connecting to the simulated drive and leaving with EXIT.
#include "sim_fixture.h"

#include <gtest/gtest.h>

using namespace dx400::e2e;

TEST(EndToEndConnect, ConnectOpensTheDrivesLineAndExitPutsOnlyTheStopFrameOnIt) {
    SimFixture f;
    ASSERT_TRUE(f.connect()) << f.messageTexts().join('|').toStdString();
    EXPECT_TRUE(f.messageTexts().isEmpty()) << f.messageTexts().join('|').toStdString();
    EXPECT_EQ(f.colour("rxled"), "#FF0000");
    // COM4 is the drive's pseudo-terminal, and connecting alone sends nothing.
    EXPECT_EQ(f.window().serialPort().deviceName(4).toStdString(), f.sim().devicePath());
    f.runFor(100);
    EXPECT_TRUE(f.received().empty()) << f.trafficText();

    f.click("CMD3");
    ASSERT_TRUE(f.waitForFrames(1)) << f.trafficText();
    f.runFor(150); // anything sent after the stop frame would show up by now
    EXPECT_EQ(f.receivedHex(), QStringList{"AA 00 03 00 00 00 00 00 EE 03"}) << f.trafficText();
    EXPECT_EQ(f.lastReceived(), "AA 00 03 00 00 00 00 00 EE 03");
    // The two padding bytes after the frame are the only other bytes on the line.
    EXPECT_EQ(f.sim().counts().strayBytes, 0u) << f.trafficText();
    EXPECT_EQ(f.sim().counts().badFrames, 0u) << f.trafficText();
    EXPECT_FALSE(f.window().serialPort().isOpen()) << "EXIT releases the port";
    EXPECT_TRUE(f.messageTexts().isEmpty()) << f.messageTexts().join('|').toStdString();
}
