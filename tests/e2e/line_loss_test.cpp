// Losing the line: the drive hangs up in the middle of READ ALL and of WRITE ALL, a frame
// is written to a line that is already gone, and the port is held by another program at
// connect. Each loss gives one message naming the port, leaves the window not connected
// without a busy loop, reports nothing as sent that was not, and a new drive on COM4
// can be used at once.
#include "line_checks.h"
#include "process_usage.h"
#include "qstring_printer.h"
#include "sim_fixture.h"

#include <QSerialPort>
#include <gtest/gtest.h>
#include <thread>

using namespace dx400;
using namespace dx400::e2e;
using dx400::sim::Faults;
using dx400::sim::TrafficCounts;

namespace {

constexpr const char* kWhite = "#FFFFFF";
constexpr const char* kLightBlue = "#C0C0FF";
constexpr const char* kLightYellow = "#FFFF80";

// In the panel's order, which is the order READ ALL and WRITE ALL go through them.
const char* const kReadBoxes[] = {"Text_RDATA2", "Text_RDATA3", "Text_RVMAX",
                                  "Text_RACCEL", "Text_RHSPD",  "Text_REPOS"};
const char* const kWriteBoxes[] = {"Text_WDATA2", "Text_WDATA3", "Text_VMAX",
                                   "Text_ACCEL",  "Text_HSPD",   "Text_REL"};

// A dead line must not keep the window busy: over two seconds of running the event loop
// the whole process (window and drive thread) may use at most 0.2 s of processor time.
void expectIdleForTwoSeconds(SimFixture& f) {
    const double before = cpuSeconds();
    f.runFor(2000);
    EXPECT_LT(cpuSeconds() - before, 0.2) << "the window keeps working on a lost line";
}

} // namespace

TEST(EndToEndLineLoss, HangUpDuringReadAllGivesOneMessageAndTheWindowCanConnectAgain) {
    Faults faults;
    faults.hangUpAfter = 3; // answers the requests for parameters 1, 2 and 4, then hangs up
    SimFixture f(faults);
    ASSERT_TRUE(f.connect());
    f.click("cmd_RData");
    ASSERT_TRUE(f.waitUntil([&] { return !f.messageTexts().isEmpty(); })) << f.trafficText();
    expectIdleForTwoSeconds(f);

    EXPECT_EQ(f.messageTexts(), QStringList{kLineLostOnCom4});
    expectNotConnected(f);
    EXPECT_TRUE(f.sim().counts().hungUp);
    for (std::size_t i = 0; i < std::size(kReadBoxes); ++i)
        EXPECT_EQ(f.colour(kReadBoxes[i]), i < 3 ? kLightBlue : kWhite) << kReadBoxes[i];
    expectReconnectToANewDrive(f);
}

TEST(EndToEndLineLoss, HangUpDuringWriteAllStopsItAtTheFirstFrameThatCannotGo) {
    SimFixture f;
    ASSERT_TRUE(f.connect());
    // WRITE ALL writes its six frames 100 ms apart without running the event loop, so the
    // drive is hung up from here as soon as it has the second frame: the third frame then
    // meets a closed line.
    std::thread hangUp([&] {
        if (f.sim().waitFor([](const TrafficCounts& c) { return c.framesReceived >= 2; },
                            std::chrono::seconds(5)))
            f.sim().hangUp();
    });
    f.click("cmd_Data");
    hangUp.join();
    EXPECT_EQ(f.messageTexts(), QStringList{kLineLostOnCom4}) << f.trafficText();
    expectIdleForTwoSeconds(f);

    EXPECT_EQ(f.messageTexts(), QStringList{kLineLostOnCom4});
    expectNotConnected(f);
    EXPECT_EQ(f.sim().counts().framesReceived, 2u) << f.trafficText();
    // Only the two frames that left are shown as written.
    for (std::size_t i = 0; i < std::size(kWriteBoxes); ++i)
        EXPECT_EQ(f.colour(kWriteBoxes[i]), i < 2 ? kLightYellow : kWhite) << kWriteBoxes[i];
    expectReconnectToANewDrive(f);
}

TEST(EndToEndLineLoss, DriveHangingUpAfterTwoFramesOfWriteAllIsOneLoss) {
    // The drive's own fault: it answers two frames and hangs up once the tool has read
    // the last answer, which the tool does only after WRITE ALL has written all six frames
    // into the line. The loss then comes as read errors, and is still reported once.
    Faults faults;
    faults.hangUpAfter = 2;
    SimFixture f(faults);
    ASSERT_TRUE(f.connect());
    f.click("cmd_Data");
    ASSERT_TRUE(f.waitUntil([&] { return !f.messageTexts().isEmpty(); })) << f.trafficText();
    expectIdleForTwoSeconds(f);

    EXPECT_EQ(f.messageTexts(), QStringList{kLineLostOnCom4});
    expectNotConnected(f);
    EXPECT_TRUE(f.sim().counts().hungUp);
    expectReconnectToANewDrive(f);
}

TEST(EndToEndLineLoss, AFrameForALineThatIsGoneIsNeverShownAsSent) {
    // Each handler writes into a line whose far end has just hung up, before the window
    // has run its event loop to notice: the write itself finds the loss. The handlers are
    // called directly so that nothing else can find it first.
    struct Case {
        const char* button;
        void (Form1::*handler)();
    };
    const Case cases[] = {
        {"Cmd_RPOS", &Form1::Cmd_RPOS_Click},   {"cmd_RData", &Form1::cmd_RData_Click},
        {"cmd_Data", &Form1::cmd_Data_Click},   {"CMD_CUR", &Form1::CMD_CUR_Click},
        {"CMD_CUR_R", &Form1::CMD_CUR_R_Click}, {"cmd_ROL", &Form1::cmd_ROL_Click},
        {"cmd_ROR", &Form1::cmd_ROR_Click},     {"mtr_STOP", &Form1::mtr_STOP_Click},
        {"CMD_IN", &Form1::CMD_IN_Click},       {"CMD_OUT", &Form1::CMD_OUT_Click},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        SimFixture f;
        ASSERT_TRUE(f.connect());
        f.sim().hangUp();
        ASSERT_TRUE(f.sim().waitFor([](const TrafficCounts& counts) { return counts.hungUp; },
                                    std::chrono::seconds(5)));
        // The drive counts the hang-up just before it closes its end; give the close time
        // to happen, without running the window's event loop.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        (f.window().*c.handler)();
        EXPECT_EQ(f.messageTexts(), QStringList{kLineLostOnCom4});
        f.runFor(300);
        EXPECT_EQ(f.messageTexts(), QStringList{kLineLostOnCom4}) << "one message per loss";
        expectNotConnected(f);
        EXPECT_EQ(f.sim().counts().framesReceived, 0u);
        // Nothing painted or captioned as if a frame had gone.
        for (const char* box : kWriteBoxes)
            EXPECT_NE(f.colour(box), kLightYellow) << box;
        for (const char* box : kReadBoxes)
            EXPECT_NE(f.colour(box), kLightBlue) << box;
        EXPECT_NE(f.colour("Text_RPOS"), kLightBlue);
        EXPECT_NE(f.colour("cmd_ROL"), "#FF0000");
        EXPECT_NE(f.colour("cmd_ROR"), "#FF0000");
        EXPECT_EQ(f.text("CMD_OUT"), "출력ON");
        EXPECT_EQ(f.window().outState(), 0);
    }
}

TEST(EndToEndLineLoss, APortHeldByAnotherProgramIsNamedAndCanBeUsedOnceFree) {
    SimFixture f;
    QSerialPort holder(QString::fromStdString(f.sim().devicePath()));
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
    EXPECT_FALSE(f.connect());
    ASSERT_EQ(f.messageTexts().size(), 1);
    const QString message = f.messageTexts().front();
    EXPECT_TRUE(message.startsWith("통신 연결 실패: COM4")) << message.toStdString();
    EXPECT_TRUE(message.contains("다른 프로그램이 포트를 사용하고 있습니다"))
        << message.toStdString();
    expectNotConnected(f);

    holder.close();
    ASSERT_TRUE(f.connect()) << f.messageTexts().join('|').toStdString();
    f.click("Cmd_RPOS");
    ASSERT_TRUE(f.waitUntil([&] { return f.readState() == 0 && !f.received().empty(); }));
    EXPECT_EQ(f.received().front().hex, "AA 00 06 08 00 00 00 00 EE 0E");
    EXPECT_EQ(f.messageTexts().size(), 1);
}
