// A drive (or the wrong device) that sends random bytes all the time: the window reads
// and tests them, closes each "통신에러" message as the operator would (here the test's
// message catcher), stays responsive and does not grow, and works normally once the
// noise stops.
#include "drive_steps.h"
#include "process_usage.h"
#include "qstring_printer.h"
#include "sim_fixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <gtest/gtest.h>

using namespace dx400;
using namespace dx400::e2e;

namespace {

// A fast line's worth of noise: well above what a 115200 baud line carries.
constexpr int kFloodBytesPerSecond = 20000;
constexpr int kFloodMs = 2000;
// How late a posted call may run while the noise comes in; the window runs them within
// milliseconds, a busy or stuck window would not.
constexpr qint64 kLatestMs = 1000;
// Resident growth allowed over the flood: far above what two seconds of noise can
// legitimately cost, far below an unbounded receive text or buffer.
constexpr std::size_t kGrowthLimit = 64u << 20;

} // namespace

TEST(EndToEndFlood, RandomBytesForTwoSecondsKeepTheWindowResponsiveAndBounded) {
    SimFixture f;
    ASSERT_TRUE(f.connect());
    f.setText("Text_PULSE", "1000");
    ASSERT_TRUE(sendOne(f, "CMD_CUR")) << f.trafficText();
    const std::size_t residentBefore = residentBytes();

    sim::Faults flood;
    flood.floodBytesPerSecond = kFloodBytesPerSecond;
    f.sim().setFaults(flood);
    // Every 50 ms a call is posted to the event queue; each notes how late it ran.
    QElapsedTimer clock;
    clock.start();
    int posted = 0;
    int ran = 0;
    qint64 latestMs = 0;
    while (clock.elapsed() < kFloodMs) {
        const qint64 postedAt = clock.elapsed();
        ++posted;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [&, postedAt] {
                ++ran;
                latestMs = std::max(latestMs, clock.elapsed() - postedAt);
            },
            Qt::QueuedConnection);
        f.runFor(50);
    }
    f.sim().setFaults({});
    ASSERT_TRUE(f.waitUntil([&] { return ran == posted; }, 10'000)) << "posted calls never ran";

    std::printf("latest posted call ran %lld ms late; %zu noise bytes\n",
                static_cast<long long>(latestMs), f.sim().counts().noiseBytesSent);
    EXPECT_LT(latestMs, kLatestMs);
    EXPECT_GE(f.sim().counts().noiseBytesSent, std::size_t{kFloodBytesPerSecond});
    EXPECT_FALSE(f.messageTexts().isEmpty()) << "random bytes fail their tests";
    EXPECT_EQ(f.messageTexts().count("통신에러"), f.messageTexts().size())
        << f.messageTexts().join('|').toStdString();
    EXPECT_EQ(f.text("rx_txt").size() % 4, 0) << "every byte shows as two digits and two blanks";
    if (kUnderAddressSanitizer) {
        std::printf("resident size not checked under AddressSanitizer\n");
    } else {
        const std::size_t growth = residentBytes() - std::min(residentBytes(), residentBefore);
        std::printf("resident growth over the flood: %zu KiB\n", growth >> 10);
        EXPECT_LT(growth, kGrowthLimit);
    }

    // The line is still up. Bytes left over from the noise may spoil the first reading;
    // the one after it is exact and quiet.
    ASSERT_TRUE(f.window().serialPort().isOpen());
    ASSERT_TRUE(f.settle()) << f.trafficText();
    EXPECT_EQ(f.window().serialPort().rThreshold(), 10);
    ASSERT_TRUE(readPosition(f).has_value());
    const qsizetype messages = f.messageTexts().size();
    EXPECT_EQ(readPosition(f), QString("1000"));
    EXPECT_EQ(f.colour("Text_RPOS"), "#C0C0FF");
    EXPECT_EQ(f.messageTexts().size(), messages) << f.messageTexts().join('|').toStdString();
}
