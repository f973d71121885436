// A misbehaving drive: corrupt, missing, split and noisy replies.
#include "drive_steps.h"
#include "sim_fixture.h"

#include <gtest/gtest.h>

using namespace dx400::e2e;
using dx400::sim::Faults;

namespace {

constexpr const char* kWhite = "#FFFFFF";
constexpr const char* kLightBlue = "#C0C0FF";

const char* const kReadBoxes[] = {"Text_RDATA2", "Text_RDATA3", "Text_RVMAX",
                                  "Text_RACCEL", "Text_RHSPD",  "Text_REPOS"};

// Connects and moves the drive to 1000 with a healthy line, so that a later position
// reading is told apart from the box's start text.
void connectAndMoveTo1000(SimFixture& f) {
    ASSERT_TRUE(f.connect());
    f.setText("Text_PULSE", "1000");
    ASSERT_TRUE(sendOne(f, "CMD_CUR")) << f.trafficText();
}

} // namespace

TEST(EndToEndFaultyDrive, ACorruptReplyByteGivesOneMessageAndTheReplyIsStillUsed) {
    struct Case {
        const char* name;
        Faults faults;
    };
    Faults badStart;
    badStart.badStart = true;
    Faults badStatus;
    badStatus.badStatus = true;
    Faults badEnd;
    badEnd.badEnd = true;
    const Case cases[] = {{"bad start", badStart}, {"bad status", badStatus}, {"bad end", badEnd}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimFixture f;
        connectAndMoveTo1000(f);
        f.sim().setFaults(c.faults);
        f.click("Cmd_RPOS");
        ASSERT_TRUE(f.waitUntil([&] { return f.readState() == 0; })) << f.trafficText();
        ASSERT_TRUE(f.settle());
        EXPECT_EQ(f.messageTexts(), QStringList{"통신에러"});
        EXPECT_EQ(f.text("Text_RPOS"), "1000");
        EXPECT_EQ(f.colour("Text_RPOS"), kLightBlue);
    }
}

TEST(EndToEndFaultyDrive, ASilentDriveLeavesReadAllWaitingAndReadAllStartsOver) {
    SimFixture f;
    ASSERT_TRUE(f.connect());
    ASSERT_TRUE(readAll(f)) << f.trafficText();
    for (const char* box : kReadBoxes)
        ASSERT_EQ(f.colour(box), kLightBlue) << box;

    Faults silent;
    silent.noReply = true;
    f.sim().setFaults(silent);
    f.click("cmd_RData");
    ASSERT_TRUE(f.waitForFrames(7)) << f.trafficText();
    f.runFor(300); // three times the pause between requests
    EXPECT_EQ(f.received().size(), 7u) << "nothing follows an unanswered request\n"
                                       << f.trafficText();
    EXPECT_EQ(f.readState(), 1);
    for (const char* box : kReadBoxes)
        EXPECT_EQ(f.colour(box), kWhite) << box;

    f.click("cmd_RData");
    ASSERT_TRUE(f.waitForFrames(8)) << f.trafficText();
    EXPECT_EQ(f.lastReceived(), "AA 00 06 01 00 00 00 00 EE 07");
    EXPECT_EQ(f.readState(), 1);
    EXPECT_TRUE(f.messageTexts().isEmpty()) << f.messageTexts().join('|').toStdString();
}

// The drive writes each reply in two halves, 400 ms apart. The window reads only when ten
// bytes wait, so the first half stays unread, and once the second half is in the whole
// reply is read in one receive event and used as if it had come in one piece.
TEST(EndToEndFaultyDrive, ASplitReplyIsReadWholeOnceItsSecondHalfArrives) {
    SimFixture f;
    connectAndMoveTo1000(f);
    Faults split;
    split.splitGapMs = 400;
    f.sim().setFaults(split);
    const std::size_t writesBefore = f.replies().size();

    f.click("Cmd_RPOS");
    ASSERT_TRUE(f.waitUntil([&] { return f.replies().size() == writesBefore + 1; }))
        << f.trafficText();
    f.runFor(100);
    // The window is looked at before the drive, so the second half cannot have come
    // between the two looks.
    const int stateWithHalf = f.readState();
    const QString colourWithHalf = f.colour("Text_RPOS");
    ASSERT_EQ(f.replies().size(), writesBefore + 1) << "still only the first half";
    EXPECT_EQ(stateWithHalf, 8) << "the first half alone is not read";
    EXPECT_EQ(colourWithHalf, kWhite);

    ASSERT_TRUE(f.waitUntil([&] { return f.readState() == 0; })) << f.trafficText();
    EXPECT_EQ(f.replies().size(), writesBefore + 2);
    EXPECT_EQ(f.text("Text_RPOS"), "1000");
    EXPECT_EQ(f.colour("Text_RPOS"), kLightBlue);
    EXPECT_EQ(f.text("rx_txt").size(), 40) << "ten bytes echoed by one event";
    EXPECT_TRUE(f.messageTexts().isEmpty()) << f.messageTexts().join('|').toStdString();
}

// Three stray bytes come just before the reply, and the window reads all thirteen bytes
// in one event. It tests bytes 1, 4 and 9 of what it read: a stray byte, the reply's BB
// and the reply's 6th byte (00 for position 1000), so each raises "통신에러".
TEST(EndToEndFaultyDrive, StrayBytesBeforeAReplyRaiseMessagesAndTheWindowCarriesOn) {
    SimFixture f;
    connectAndMoveTo1000(f);
    Faults stray;
    stray.strayBefore = 3;
    f.sim().setFaults(stray);
    f.click("Cmd_RPOS");
    ASSERT_TRUE(f.waitForReplies(2)) << f.trafficText();
    ASSERT_TRUE(f.settle()) << f.trafficText();
    EXPECT_EQ(f.messageTexts(), (QStringList{"통신에러", "통신에러", "통신에러"}))
        << f.trafficText();
    EXPECT_EQ(f.text("rx_txt").size(), 52) << "thirteen bytes echoed by one event";

    f.sim().setFaults({});
    const std::optional<QString> position = readPosition(f);
    EXPECT_EQ(position, "1000") << f.trafficText();
    EXPECT_EQ(f.colour("Text_RPOS"), kLightBlue);
    EXPECT_EQ(f.readState(), 0);
    EXPECT_EQ(f.messageTexts().size(), 3) << "no message for the clean reply";
}
