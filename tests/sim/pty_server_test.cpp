#include "sim/pty_server.h"

#include "pty_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <thread>

namespace dx400::sim {
namespace {

using namespace std::chrono_literals;
using test::hexBytes;
using test::openLine;
using test::readBytes;
using test::TempConfigHome;
using test::writeHex;

constexpr const char* kReadP1 = "AA 00 06 01 00 00 00 00 EE 07 00 00";
constexpr const char* kReplyP1 = "BB 00 06 64 00 00 00 14 EE 7E";

std::int64_t steadyNowUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::vector<LogEntry> entriesOf(const PtyServer& server, LogKind kind) {
    std::vector<LogEntry> found;
    for (const LogEntry& entry : server.log()) {
        if (entry.kind == kind) {
            found.push_back(entry);
        }
    }
    return found;
}

class PtyServerTest : public ::testing::Test {
protected:
    void startServer(const Faults& faults = {}) {
        m_server = std::make_unique<PtyServer>(4, faults);
        m_server->start();
        m_line = openLine(m_home.link("COM4"));
        ASSERT_GE(m_line, 0);
    }
    void TearDown() override {
        if (m_line >= 0) {
            ::close(m_line);
        }
    }

    TempConfigHome m_home;
    std::unique_ptr<PtyServer> m_server;
    int m_line = -1;
};

TEST_F(PtyServerTest, AnswersThroughTheLinkWithoutTranslatingBytes) {
    m_server = std::make_unique<PtyServer>(4);
    m_server->start();
    const auto link = m_home.link("COM4");
    EXPECT_EQ(std::filesystem::read_symlink(link), m_server->devicePath());
    EXPECT_TRUE(m_server->devicePath().starts_with("/dev/pts/"));

    // Left as the pseudo-terminal comes: no echo, no CR/LF translation either way.
    m_line = openLine(link, false);
    ASSERT_GE(m_line, 0);
    const std::int64_t beforeUs = steadyNowUs();
    ASSERT_TRUE(writeHex(m_line, kReadP1));
    EXPECT_EQ(readBytes(m_line, 10, 2s), hexBytes(kReplyP1));
    ASSERT_TRUE(writeHex(m_line, "AA 00 05 01 00 00 0D 0A EE 1D 00 00"));
    EXPECT_EQ(readBytes(m_line, 10, 2s), hexBytes("BB 00 05 64 00 00 0D 0A EE 80"));

    ASSERT_TRUE(m_server->waitFor([](const TrafficCounts& c) { return c.repliesSent == 2; }, 2s));
    const TrafficCounts counts = m_server->counts();
    EXPECT_EQ(counts.framesReceived, 2u);
    EXPECT_EQ(counts.strayBytes, 0u);
    EXPECT_EQ(counts.badFrames, 0u);
    EXPECT_EQ(m_server->driveState().parameters.at(1), 0x0D0A);

    const auto rx = entriesOf(*m_server, LogKind::Rx);
    const auto tx = entriesOf(*m_server, LogKind::Tx);
    ASSERT_EQ(rx.size(), 2u);
    ASSERT_EQ(tx.size(), 2u);
    EXPECT_EQ(rx[0].bytes, hexBytes("AA 00 06 01 00 00 00 00 EE 07"));
    EXPECT_EQ(tx[0].bytes, hexBytes(kReplyP1));
    // Times are on the steady clock of this and any other process.
    EXPECT_LE(beforeUs, rx[0].timeUs);
    EXPECT_LE(rx[0].timeUs, tx[0].timeUs);
    EXPECT_LE(tx[1].timeUs, steadyNowUs());

    m_server->stop();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST_F(PtyServerTest, ServesAgainAfterTheToolReopensTheDevice) {
    startServer();
    ::close(m_line);
    std::this_thread::sleep_for(100ms);
    m_line = openLine(m_home.link("COM4"));
    ASSERT_TRUE(writeHex(m_line, kReadP1));
    EXPECT_EQ(readBytes(m_line, 10, 2s), hexBytes(kReplyP1));
}

TEST_F(PtyServerTest, CountsBadFramesAndStrayBytesAndStillAnswers) {
    startServer();
    ASSERT_TRUE(writeHex(m_line, "12 34 AA 00 06 01 00 00 00 00 EE 08 00 00"));
    ASSERT_TRUE(writeHex(m_line, kReadP1));
    EXPECT_EQ(readBytes(m_line, 10, 2s), hexBytes(kReplyP1));
    const TrafficCounts counts = m_server->counts();
    EXPECT_EQ(counts.strayBytes, 2u);
    EXPECT_EQ(counts.badFrames, 1u);
    EXPECT_EQ(counts.framesReceived, 1u);
    EXPECT_EQ(entriesOf(*m_server, LogKind::Bad).at(0).bytes,
              hexBytes("AA 00 06 01 00 00 00 00 EE 08"));
    EXPECT_EQ(entriesOf(*m_server, LogKind::Stray).at(0).bytes, hexBytes("12 34"));
}

TEST_F(PtyServerTest, CorruptsRepliesOnRequest) {
    Faults faults;
    faults.badStatus = true;
    faults.strayBefore = 2;
    startServer(faults);
    ASSERT_TRUE(writeHex(m_line, kReadP1));
    const auto got = readBytes(m_line, 12, 2s);
    ASSERT_EQ(got.size(), 12u);
    EXPECT_EQ(std::vector<std::uint8_t>(got.begin() + 2, got.end()),
              hexBytes("BB 00 06 65 00 00 00 14 EE 7F"));
    EXPECT_EQ(m_server->counts().noiseBytesSent, 2u);

    Faults changed;
    changed.badEnd = true;
    m_server->setFaults(changed);
    ASSERT_TRUE(writeHex(m_line, kReadP1));
    EXPECT_EQ(readBytes(m_line, 10, 2s), hexBytes("BB 00 06 64 00 00 00 14 EF 7E"));
}

TEST_F(PtyServerTest, DelaysAndSplitsReplies) {
    Faults faults;
    faults.delayMs = 250;
    faults.splitGapMs = 300;
    startServer(faults);
    ASSERT_TRUE(writeHex(m_line, kReadP1));
    EXPECT_EQ(readBytes(m_line, 10, 3s), hexBytes(kReplyP1));
    const auto rx = entriesOf(*m_server, LogKind::Rx);
    const auto tx = entriesOf(*m_server, LogKind::Tx);
    ASSERT_EQ(rx.size(), 1u);
    ASSERT_EQ(tx.size(), 2u);
    EXPECT_EQ(tx[0].bytes, hexBytes("BB 00 06 64 00"));
    EXPECT_EQ(tx[1].bytes, hexBytes("00 00 14 EE 7E"));
    EXPECT_GE(tx[0].timeUs - rx[0].timeUs, 200'000);
    EXPECT_GE(tx[1].timeUs - tx[0].timeUs, 250'000);
    EXPECT_EQ(m_server->counts().repliesSent, 1u);
}

TEST_F(PtyServerTest, NoReplyReadsButNeverAnswers) {
    Faults faults;
    faults.noReply = true;
    startServer(faults);
    ASSERT_TRUE(writeHex(m_line, kReadP1));
    ASSERT_TRUE(
        m_server->waitFor([](const TrafficCounts& c) { return c.framesReceived == 1; }, 2s));
    EXPECT_TRUE(readBytes(m_line, 1, 300ms).empty());
    EXPECT_EQ(m_server->counts().repliesSent, 0u);
}

TEST_F(PtyServerTest, HangsUpAfterTheGivenNumberOfFrames) {
    Faults faults;
    faults.hangUpAfter = 2;
    startServer(faults);
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(writeHex(m_line, kReadP1));
        EXPECT_EQ(readBytes(m_line, 10, 2s), hexBytes(kReplyP1));
    }
    ASSERT_TRUE(m_server->waitFor([](const TrafficCounts& c) { return c.hungUp; }, 2s));
    pollfd line{m_line, POLLIN, 0};
    ASSERT_EQ(::poll(&line, 1, 2000), 1);
    EXPECT_TRUE(line.revents & POLLHUP);
    EXPECT_EQ(m_server->log().back().kind, LogKind::HangUp);
}

TEST_F(PtyServerTest, HangsUpWhenAsked) {
    startServer();
    m_server->hangUp();
    pollfd line{m_line, POLLIN, 0};
    ASSERT_EQ(::poll(&line, 1, 2000), 1);
    EXPECT_TRUE(line.revents & POLLHUP);
    EXPECT_TRUE(m_server->counts().hungUp);
}

TEST_F(PtyServerTest, FloodsUntilSwitchedOff) {
    startServer();
    Faults faults;
    faults.floodBytesPerSecond = 5000;
    m_server->setFaults(faults);
    // About 2000 bytes in 400 ms; a tenth of that proves the flood runs.
    EXPECT_GE(readBytes(m_line, 100000, 400ms).size(), 200u);
    m_server->setFaults({});
    std::this_thread::sleep_for(100ms);
    readBytes(m_line, 100000, 50ms);
    EXPECT_TRUE(readBytes(m_line, 1, 300ms).empty());
}

TEST_F(PtyServerTest, ReportsTheInputsThatWereSet) {
    startServer();
    m_server->setInputs({false, false, true});
    ASSERT_TRUE(writeHex(m_line, "AA 00 0C 00 00 00 00 00 EE 0C 00 00"));
    EXPECT_EQ(readBytes(m_line, 10, 2s), hexBytes("BB 00 0C 64 00 01 00 00 EE 71"));
    EXPECT_EQ(m_server->driveState().inputs, (Inputs{false, false, true}));
}

TEST(PtyServerLink, RefusesALiveSimulatorAndReplacesAStaleLink) {
    TempConfigHome home;
    const auto link = home.link("COM5");
    std::filesystem::create_directories(link.parent_path());
    std::filesystem::create_symlink("/dev/pts/999999", link); // left by a crashed simulator

    PtyServer first(5);
    first.start();
    EXPECT_EQ(std::filesystem::read_symlink(link), first.devicePath());

    PtyServer second(5);
    EXPECT_THROW(second.start(), std::runtime_error);
    EXPECT_EQ(std::filesystem::read_symlink(link), first.devicePath());

    first.stop();
    second.start();
    EXPECT_EQ(std::filesystem::read_symlink(link), second.devicePath());

    // Someone pointed the link elsewhere meanwhile: stopping leaves their link alone.
    std::filesystem::remove(link);
    std::filesystem::create_symlink("/dev/pts/999998", link);
    second.stop();
    EXPECT_EQ(std::filesystem::read_symlink(link), "/dev/pts/999998");
}

TEST(PtyServerLink, NeverReplacesALinkToAnotherDevice) {
    TempConfigHome home;
    const auto link = home.link("COM6");
    std::filesystem::create_directories(link.parent_path());
    std::filesystem::create_symlink("/dev/null", link);
    PtyServer server(6);
    EXPECT_THROW(server.start(), std::runtime_error);
    EXPECT_EQ(std::filesystem::read_symlink(link), "/dev/null");
}

} // namespace
} // namespace dx400::sim
