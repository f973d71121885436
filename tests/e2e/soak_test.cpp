// A long run of commands against the simulated drive, and a drive that floods the line:
// every frame reaches the drive, every answer is handled, nothing grows with the count.
//
// CI runs 1,000 commands; DX400_SOAK_COMMANDS=10000 ctest -L soak runs the full soak
// (about three minutes).
#include "sim_fixture.h"

#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

using namespace dx400::e2e;

namespace {

// Resident size of this process in KiB, from /proc/self/statm.
long residentKiB() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    statm.open(QIODevice::ReadOnly);
    return statm.readAll().split(' ').value(1).toLong() * 4;
}

} // namespace

TEST(EndToEndSoak, EveryCommandIsAnsweredAndHandledAndNothingGrowsWithTheCount) {
    const int n = std::max(100, qEnvironmentVariableIntValue("DX400_SOAK_COMMANDS"));
    const int commands = qEnvironmentVariableIsSet("DX400_SOAK_COMMANDS") ? n : 1000;
    SimFixture f;
    ASSERT_TRUE(f.connect());
    f.setText("Text_PULSE", "1000");
    ASSERT_TRUE(f.send("CMD_CUR"));
    long afterWarmUp = 0;
    for (int i = 0; i < commands; ++i) {
        if (i == 100)
            afterWarmUp = residentKiB();
        const dx400::sim::Inputs inputs{(i & 1) != 0, (i & 2) != 0, (i & 4) != 0};
        f.sim().setInputs(inputs);
        ASSERT_TRUE(f.send(i % 10 == 0 ? "Cmd_RPOS" : "CMD_IN")) << "command " << i;
        if (i % 10 == 0)
            ASSERT_EQ(f.text("Text_RPOS"), "1000") << "command " << i;
        else
            ASSERT_EQ(f.colour("led2"), inputs[1] ? "#FF0000" : "#FFFFFF") << "command " << i;
    }
    EXPECT_EQ(f.sim().counts().repliesSent, std::size_t(commands) + 1);
    EXPECT_EQ(f.sim().counts().badFrames + f.sim().counts().strayBytes, 0u);
    EXPECT_TRUE(f.messages().isEmpty());
#if !defined(__SANITIZE_ADDRESS__) && !__has_feature(address_sanitizer)
    // Page-sized noise and the drive's log in this process, nothing per command.
    EXPECT_LT(residentKiB() - afterWarmUp, 4096 + commands / 4);
#endif

    // Noise at 20,000 bytes a second for a second: the window reads it all and stays
    // usable, and the next frame empties the box again.
    dx400::sim::Faults flood;
    flood.floodBytesPerSecond = 20'000;
    f.sim().setFaults(flood);
    QTest::qWait(1000);
    f.sim().setFaults({});
    ASSERT_TRUE(f.waitUntil([&] { return f.window().serialPort().inBufferCount() < 10; }));
    EXPECT_GT(f.text("rx_txt").size(), 40'000);
    ASSERT_TRUE(f.send("Cmd_RPOS"));
    EXPECT_EQ(f.text("rx_txt").size(), 40);
}
