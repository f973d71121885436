#include "line_checks.h"

#include "sim/sim_frame.h"
#include "window_access.h"

#include <QComboBox>
#include <gtest/gtest.h>

namespace dx400::e2e {

namespace {

const char* const kCommandButtons[] = {"CMD3",     "cmd_Data",  "cmd_RData", "Cmd_RPOS",
                                       "CMD_CUR",  "CMD_CUR_R", "cmd_ROL",   "cmd_ROR",
                                       "mtr_STOP", "CMD_IN",    "CMD_OUT"};

} // namespace

void expectNotConnected(SimFixture& f) {
    const Form1& w = f.window();
    for (const char* name : {"Combo_0", "Combo_1", "통신연결버튼"})
        EXPECT_TRUE(test::control(w, name)->isEnabled()) << name;
    for (const char* name : kCommandButtons)
        EXPECT_FALSE(test::control(w, name)->isEnabled()) << name;
    EXPECT_EQ(f.colour("rxled"), "#FFFFFF");
    EXPECT_EQ(f.readState(), 0);
    EXPECT_FALSE(f.window().serialPort().isOpen());
}

void expectReconnectToANewDrive(SimFixture& f) {
    f.sim().stop(); // takes the old drive's COM4 link away
    sim::PtyServer drive(4);
    drive.start();
    const qsizetype messagesBefore = f.messageTexts().size();
    f.click("통신연결버튼");
    ASSERT_TRUE(f.window().serialPort().isOpen()) << f.messageTexts().join('|').toStdString();
    f.click("Cmd_RPOS");
    ASSERT_TRUE(f.waitUntil([&] { return drive.counts().repliesSent >= 1 && f.readState() == 0; }))
        << "the new drive did not answer";
    std::vector<std::string> frames;
    for (const sim::LogEntry& entry : drive.log()) {
        if (entry.kind == sim::LogKind::Rx)
            frames.push_back(sim::toHex(entry.bytes));
    }
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.front(), "AA 00 06 08 00 00 00 00 EE 0E");
    EXPECT_EQ(drive.counts().strayBytes, 0u) << "bytes before the first frame";
    EXPECT_EQ(drive.counts().badFrames, 0u);
    EXPECT_EQ(f.text("Text_RPOS"), "0");
    EXPECT_EQ(f.colour("Text_RPOS"), "#C0C0FF");
    EXPECT_EQ(f.messageTexts().size(), messagesBefore) << f.messageTexts().join('|').toStdString();
    // Leave the line quietly, before the drive goes away with this scope.
    f.window().serialPort().close();
}

} // namespace dx400::e2e
