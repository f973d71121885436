// The real window on a real pseudo-terminal against the simulated drive: bytes, order and
// gaps on the line (wide margins), what the drive keeps, a lost line, and a long run of
// commands: 1,000 in CI, DX400_SOAK_COMMANDS=10000 ctest -L soak for the full soak (2 min).
#include "sim_fixture.h"

#include <QComboBox>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

using namespace dx400::e2e;
using dx400::sim::Faults;

namespace {

// Resident size of this process in KiB.
long residentKiB() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    statm.open(QIODevice::ReadOnly);
    return statm.readAll().split(' ').value(1).toLong() * 4;
}

// The window pauses 100 ms between frames; this leaves room for a busy machine.
constexpr std::int64_t kMinGapUs = 75'000;

const char* const kReadBoxes[] = {"Text_RDATA2", "Text_RDATA3", "Text_RVMAX",
                                  "Text_RACCEL", "Text_RHSPD",  "Text_REPOS"};
const QStringList kReadAllFrames = {
    "AA 00 06 01 00 00 00 00 EE 07", "AA 00 06 02 00 00 00 00 EE 08",
    "AA 00 06 04 00 00 00 00 EE 0A", "AA 00 06 05 00 00 00 00 EE 0B",
    "AA 00 06 07 00 00 00 00 EE 0D", "AA 00 06 06 00 00 00 00 EE 0C"};

} // namespace

TEST(EndToEnd, WriteAllAndReadAllArePacedAndTheDriveKeepsWhatWasWritten) {
    SimFixture f;
    ASSERT_TRUE(f.connect());
    const QString values[] = {"31", "0", "2046", "1", "255", "7"};
    const char* const writeBoxes[] = {"Text_WDATA2", "Text_WDATA3", "Text_VMAX",
                                      "Text_ACCEL",  "Text_HSPD",   "Text_REL"};
    for (int i = 0; i < 6; ++i)
        f.setText(writeBoxes[i], values[i]);
    f.click("cmd_Data");
    ASSERT_TRUE(f.waitUntil([&] { return f.drive->counts().repliesSent == 6; }));
    EXPECT_EQ(f.receivedHex(),
              (QStringList{"AA 00 05 01 00 00 00 1F EE 25", "AA 00 05 02 00 00 00 00 EE 07",
                           "AA 00 05 04 00 00 07 FE EE 0E", "AA 00 05 05 00 00 00 01 EE 0B",
                           "AA 00 05 07 00 00 00 FF EE 0B", "AA 00 05 06 00 00 00 07 EE 12"}));
    const auto writes = f.frames(dx400::sim::LogKind::Rx);
    for (std::size_t i = 1; i < writes.size(); ++i)
        EXPECT_GE(writes[i].first - writes[i - 1].first, kMinGapUs) << "write " << i + 1;
    // The six answers piled up during WRITE ALL; they are read but decode nothing.
    ASSERT_TRUE(f.waitUntil([&] { return f.text("rx_txt").size() >= 240; }));

    f.click("cmd_RData");
    ASSERT_TRUE(f.waitUntil([&] { return f.window->readState() == 0; })) << f.trafficText();
    EXPECT_EQ(f.receivedHex().mid(6), kReadAllFrames) << f.trafficText();
    const auto requests = f.frames(dx400::sim::LogKind::Rx);
    const auto replies = f.frames(dx400::sim::LogKind::Tx);
    ASSERT_EQ(replies.size(), 12u);
    for (std::size_t i = 7; i < 12; ++i)
        EXPECT_GE(requests[i].first - replies[i - 1].first, kMinGapUs)
            << "request " << i - 5 << " came too soon after the reply before it";
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(f.text(kReadBoxes[i]), values[i]) << kReadBoxes[i];
        EXPECT_EQ(f.colour(kReadBoxes[i]), "#C0C0FF") << kReadBoxes[i];
    }
    EXPECT_TRUE(f.messages.texts.isEmpty()) << f.messages.texts.join('|').toStdString();
}

TEST(EndToEnd, ALineLostDuringReadAllIsReportedOnce) {
    Faults hangUp;
    hangUp.hangUpAfter = 3;
    SimFixture f(hangUp);
    ASSERT_TRUE(f.connect());
    f.click("cmd_RData");
    ASSERT_TRUE(f.waitUntil([&] { return !f.messages.texts.isEmpty(); })) << f.trafficText();
    QTest::qWait(100); // a port left open would report the loss over and over
    EXPECT_EQ(f.messages.texts, QStringList{"통신 연결이 끊어졌습니다: COM4"});
    EXPECT_EQ(f.window->readState(), 0);
    EXPECT_EQ(f.colour("rxled"), "#FFFFFF");
    EXPECT_FALSE(f.window->serialPort().isOpen());
}

TEST(EndToEnd, AtAnotherSpeedThanTheDrivesNothingIsReceivedAndNothingChanges) {
    SimFixture f;
    auto* speed = dx400::test::control<QComboBox>(*f.window, "Combo_1");
    speed->setCurrentIndex(speed->findText("9600"));
    ASSERT_TRUE(f.connect());
    // The drive reads each frame as garbage, at its own speed.
    for (const char* button : {"cmd_ROR", "Cmd_RPOS"}) {
        const std::size_t before = f.frames(dx400::sim::LogKind::Garbled).size();
        f.click(button);
        ASSERT_TRUE(
            f.waitUntil([&] { return f.frames(dx400::sim::LogKind::Garbled).size() > before; }));
    }
    EXPECT_EQ(f.drive->counts().framesReceived, 0u);
    EXPECT_EQ(f.drive->driveState().jogSpeed, 0);
    EXPECT_EQ(f.text("rx_txt"), "");
    EXPECT_EQ(f.window->readState(), 8) << "READ POSITION still awaits its reply";
}

TEST(EndToEndSoak, EveryCommandIsAnsweredAndHandledAndNothingGrowsWithTheCount) {
    const int commands = std::max(1000, qEnvironmentVariableIntValue("DX400_SOAK_COMMANDS"));
    SimFixture f({}, {.paced = false}); // what grows per command, not a thousand wire times
    ASSERT_TRUE(f.connect());
    long afterWarmUp = 0;
    for (int i = 0; i < commands; ++i) {
        afterWarmUp = i == 100 ? residentKiB() : afterWarmUp;
        f.drive->setInputs({false, (i & 1) != 0, false});
        ASSERT_TRUE(f.send("CMD_IN")) << "command " << i;
        ASSERT_EQ(f.colour("led2"), i & 1 ? "#FF0000" : "#FFFFFF") << "command " << i;
    }
    EXPECT_EQ(f.drive->counts().repliesSent, std::size_t(commands));
    EXPECT_EQ(f.drive->counts().badFrames + f.drive->counts().strayBytes, 0u);
    EXPECT_TRUE(f.messages.texts.isEmpty());
    // Page-sized noise and the drive's log in this process, nothing per command; under
    // AddressSanitizer freed memory is held back, so the size says nothing there.
#if !defined(__SANITIZE_ADDRESS__) && !__has_feature(address_sanitizer)
    EXPECT_LT(residentKiB() - afterWarmUp, 4096 + commands / 4);
#endif
}
