// The real window on a real pseudo-terminal against the simulated drive: bytes, order
// and gaps on the line (with wide margins), what the drive keeps, and a misbehaving line.
#include "sim_fixture.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace dx400::e2e;
using dx400::sim::Faults;

namespace {

// The window pauses 100 ms between frames; this leaves room for a busy machine.
constexpr std::int64_t kMinGapUs = 95'000;

const char* const kReadBoxes[] = {"Text_RDATA2", "Text_RDATA3", "Text_RVMAX",
                                  "Text_RACCEL", "Text_RHSPD",  "Text_REPOS"};
const QStringList kReadAllFrames = {
    "AA 00 06 01 00 00 00 00 EE 07", "AA 00 06 02 00 00 00 00 EE 08",
    "AA 00 06 04 00 00 00 00 EE 0A", "AA 00 06 05 00 00 00 00 EE 0B",
    "AA 00 06 07 00 00 00 00 EE 0D", "AA 00 06 06 00 00 00 00 EE 0C"};

} // namespace

TEST(EndToEnd, ConnectSendsNothingAndExitPutsTheWholeStopFrameOnTheLine) {
    SimFixture f;
    ASSERT_TRUE(f.connect());
    EXPECT_EQ(f.colour("rxled"), "#FF0000");
    f.click("CMD3");
    ASSERT_TRUE(f.waitForFrames(1)) << f.trafficText();
    QTest::qWait(100); // anything sent after the stop frame would show by now
    EXPECT_EQ(f.receivedHex(), QStringList{"AA 00 03 00 00 00 00 00 EE 03"}) << f.trafficText();
    EXPECT_EQ(f.sim().counts().strayBytes, 0u) << "only the two padding bytes follow it";
    EXPECT_FALSE(f.window().serialPort().isOpen());
    EXPECT_TRUE(f.messages().isEmpty());
}

TEST(EndToEnd, WriteAllAndReadAllArePacedAndTheDriveKeepsWhatWasWritten) {
    SimFixture f;
    ASSERT_TRUE(f.connect());
    const QString values[] = {"31", "0", "2046", "1", "255", "7"};
    const char* const writeBoxes[] = {"Text_WDATA2", "Text_WDATA3", "Text_VMAX",
                                      "Text_ACCEL",  "Text_HSPD",   "Text_REL"};
    for (int i = 0; i < 6; ++i)
        f.setText(writeBoxes[i], values[i]);
    f.click("cmd_Data");
    ASSERT_TRUE(f.waitForFrames(6)) << f.trafficText();
    EXPECT_EQ(f.receivedHex(),
              (QStringList{"AA 00 05 01 00 00 00 1F EE 25", "AA 00 05 02 00 00 00 00 EE 07",
                           "AA 00 05 04 00 00 07 FE EE 0E", "AA 00 05 05 00 00 00 01 EE 0B",
                           "AA 00 05 07 00 00 00 FF EE 0B", "AA 00 05 06 00 00 00 07 EE 12"}));
    const std::vector<LineFrame> writes = f.received();
    for (std::size_t i = 1; i < writes.size(); ++i)
        EXPECT_GE(writes[i].timeUs - writes[i - 1].timeUs, kMinGapUs) << "write " << i + 1;
    // The six answers piled up during WRITE ALL; they are read but decode nothing.
    ASSERT_TRUE(f.waitUntil([&] { return f.text("rx_txt").size() >= 240; }));

    f.click("cmd_RData");
    ASSERT_TRUE(f.waitUntil([&] { return f.window().readState() == 0; })) << f.trafficText();
    EXPECT_EQ(f.receivedHex().mid(6), kReadAllFrames) << f.trafficText();
    const std::vector<LineFrame> requests = f.received();
    const std::vector<LineFrame> replies = f.replies();
    ASSERT_EQ(replies.size(), 12u);
    for (std::size_t i = 7; i < 12; ++i)
        EXPECT_GE(requests[i].timeUs - replies[i - 1].timeUs, kMinGapUs)
            << "request " << i - 5 << " came too soon after the reply before it";
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(f.text(kReadBoxes[i]), values[i]) << kReadBoxes[i];
        EXPECT_EQ(f.colour(kReadBoxes[i]), "#C0C0FF") << kReadBoxes[i];
    }
    EXPECT_TRUE(f.messages().isEmpty()) << f.messages().join('|').toStdString();
}

TEST(EndToEnd, MovesJogsAndTheOutputReachTheDriveAndTheInputsLight) {
    SimFixture f;
    f.sim().setInputs({true, false, true});
    ASSERT_TRUE(f.connect());
    f.setText("Text_PULSE", "1000");
    ASSERT_TRUE(f.send("CMD_CUR")) << f.trafficText();
    f.setText("Text_PULSE", "-100");
    ASSERT_TRUE(f.send("CMD_CUR_R")) << f.trafficText();
    ASSERT_TRUE(f.send("CMD_OUT")) << f.trafficText();
    ASSERT_TRUE(f.send("CMD_IN")) << f.trafficText();
    ASSERT_TRUE(f.send("Cmd_RPOS")) << f.trafficText();
    EXPECT_EQ(f.text("Text_RPOS"), "900");
    EXPECT_TRUE(f.sim().driveState().output);
    EXPECT_EQ(f.colour("led1") + f.colour("led2") + f.colour("led3"), "#FF0000#FFFFFF#FF0000");

    ASSERT_TRUE(f.send("cmd_ROR"));
    EXPECT_EQ(f.sim().driveState().jogSpeed, 300);
    ASSERT_TRUE(f.send("mtr_STOP"));
    EXPECT_EQ(f.sim().driveState().jogSpeed, 0);
    EXPECT_EQ(f.receivedHex().mid(5),
              (QStringList{"AA 00 01 00 00 00 01 2C EE 2E", "AA 00 03 00 00 00 00 00 EE 03"}));
    EXPECT_TRUE(f.messages().isEmpty()) << f.messages().join('|').toStdString();
}

TEST(EndToEnd, ASilentOrSplittingDriveNeverLeavesTheWindowStuck) {
    Faults silent;
    silent.noReply = true;
    SimFixture f(silent);
    ASSERT_TRUE(f.connect());
    f.click("cmd_RData");
    ASSERT_TRUE(f.waitForFrames(1));
    QTest::qWait(300); // three times the pause between requests
    EXPECT_EQ(f.received().size(), 1u) << "nothing follows an unanswered request";
    EXPECT_EQ(f.window().readState(), 1);
    for (const char* box : kReadBoxes)
        EXPECT_EQ(f.colour(box), "#FFFFFF") << box;

    // A reply written in two halves 300 ms apart is read whole once the second comes.
    Faults split;
    split.splitGapMs = 300;
    f.sim().setFaults(split);
    f.click("cmd_RData");
    ASSERT_TRUE(f.waitUntil([&] { return f.replies().size() == 1; }));
    QTest::qWait(100);
    EXPECT_EQ(f.colour("Text_RDATA2"), "#FFFFFF") << "half a reply is not read";
    ASSERT_TRUE(f.waitUntil([&] { return f.window().readState() == 0; }, 5000)) << f.trafficText();
    EXPECT_EQ(f.text("Text_RDATA2"), "20");
    EXPECT_EQ(f.receivedHex().mid(1), kReadAllFrames);
    EXPECT_TRUE(f.messages().isEmpty()) << f.messages().join('|').toStdString();
}

TEST(EndToEnd, ALineLostDuringReadAllIsReportedOnceAndANewDriveCanBeUsed) {
    Faults hangUp;
    hangUp.hangUpAfter = 3;
    SimFixture f(hangUp);
    ASSERT_TRUE(f.connect());
    f.click("cmd_RData");
    ASSERT_TRUE(f.waitUntil([&] { return !f.messages().isEmpty(); })) << f.trafficText();
    QTest::qWait(100); // a port left open would report the loss over and over
    EXPECT_EQ(f.messages(), QStringList{"통신 연결이 끊어졌습니다: COM4"});
    EXPECT_EQ(f.window().readState(), 0);
    EXPECT_EQ(f.colour("rxled"), "#FFFFFF");
    EXPECT_FALSE(f.window().serialPort().isOpen());

    f.replaceDrive();
    ASSERT_TRUE(f.connect());
    ASSERT_TRUE(f.send("Cmd_RPOS")) << f.trafficText();
    EXPECT_EQ(f.receivedHex(), QStringList{"AA 00 06 08 00 00 00 00 EE 0E"});
    EXPECT_EQ(f.text("Text_RPOS"), "0");
    EXPECT_EQ(f.messages().size(), 1);
}
