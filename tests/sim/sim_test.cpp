// The drive simulator: its frame reader, command line, faults, pacing, port and program.
#include "sim/frame_reader.h"
#include "sim/pty_server.h"
#include "sim/sim_options.h"
#include "simulated_drive.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QTest>
#include <gmock/gmock.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace dx400::sim {
namespace {

using namespace std::chrono_literals;

const std::string kReadP1 = "AA 00 06 01 00 00 00 00 EE 07";
const std::string kWriteP6 = "AA 00 05 06 00 00 FF FF EE 09";
const std::string kReplyP1 = "BB 00 06 64 00 00 00 14 EE 7E";

// A fresh $XDG_CONFIG_HOME for the tests, in which COM7 is free for the program to publish.
const test::OnlyPort ports(7);

using namespace test;

// Bytes written out as hex pairs, e.g. "AA 00 06", so frames read like the line.
std::vector<std::uint8_t> hexBytes(const std::string& text) {
    const QByteArray bytes = QByteArray::fromHex(QByteArray::fromStdString(text));
    return {bytes.begin(), bytes.end()};
}

// What came back from the drive, with CLOCK_MONOTONIC times in microseconds as in its log.
struct Exchanged {
    std::vector<std::uint8_t> bytes;
    std::int64_t sentUs = 0, firstUs = 0, lastUs = 0; // the first write, first and last bytes
};

// Opens COMn as the tool does at `rate` (0: unset), writes the frames and two 00 bytes, `chunk` a
// write, and from `readAfterMs` on reads until `count` bytes came or none came for the timeout.
Exchanged exchange(int n, const std::string& frames, std::size_t count, int timeoutMs, int rate = 0,
                   std::size_t chunk = 99, int readAfterMs = 0) {
    const int line = ::open(QFile::encodeName(portLink(n)), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios settings{}; // glibc's cfsetspeed takes 1200 for B1200
    if (rate > 0 && ::tcgetattr(line, &settings) == 0 && ::cfsetspeed(&settings, rate) == 0)
        ::tcsetattr(line, TCSANOW, &settings);
    const auto sent = hexBytes(frames + " 00 00");
    Exchanged got{{}, monotonicMicros()};
    for (std::size_t i = 0;
         i < sent.size() && ::write(line, &sent[i], std::min(chunk, sent.size() - i)) > 0;)
        i += chunk;
    std::this_thread::sleep_for(std::chrono::milliseconds(readAfterMs)); // a slow reader
    for (pollfd ready{line, POLLIN, 0};
         got.bytes.size() < count && ::poll(&ready, 1, timeoutMs) > 0;) {
        std::uint8_t read[4096];
        const ssize_t taken = ::read(line, read, std::min(sizeof read, count - got.bytes.size()));
        if (taken <= 0)
            break;
        got.firstUs = got.bytes.empty() ? monotonicMicros() : got.firstUs;
        got.bytes.insert(got.bytes.end(), read, read + taken);
        got.lastUs = monotonicMicros();
    }
    ::close(line);
    return got;
}

// Each event with the end of its last byte, counted from the bytes the reader held; then command
// lines, each read or refused with what is wrong with it.
TEST(SimReading, FindsEveryValidFrameWhateverSurroundsItAndReadsTheCommandLine) {
    const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
        {{kReadP1 + " 00 00 " + kWriteP6 + " 00 00"},
         {"RX " + kReadP1 + " @10", "RX " + kWriteP6 + " @22"}},
        {words(kReadP1 + " 00 00"), {"RX " + kReadP1 + " @10"}}, // one byte per read
        {{"AA 00 06 01 00 00 00 00 EE 08 00 00 " + kReadP1},
         {"BAD AA 00 06 01 00 00 00 00 EE 08 @10", "RX " + kReadP1 + " @22"}},
        {{"AA AA 12 34 " + kReadP1}, {"BAD AA @1", "BAD AA 12 34 @4", "RX " + kReadP1 + " @14"}},
        {{"AA 01 06 01 00 00 00 00 EE 07"}, {"BAD AA 01 06 01 00 00 00 00 EE 07 @10"}},
        {{"AA 00 06 01 00 00 00 AA 00 05 06", "00 00 FF FF EE 09 00 00"},
         {"BAD AA 00 06 01 00 00 00 @7", "RX " + kWriteP6 + " @10"}},
        {{"12 00 34 56 " + kReadP1 + " 78"},
         {"STRAY 12 @1", "STRAY 34 56 @4", "RX " + kReadP1 + " @14", "STRAY 78 @15"}},
    };
    for (const auto& [reads, expected] : cases) {
        SCOPED_TRACE(reads.front());
        FrameReader reader;
        std::vector<std::string> events;
        for (const std::string& read : reads)
            for (const ReaderEvent& event : reader.feed(hexBytes(read)))
                events.push_back(formatLogLine({0, event.kind, event.bytes}).substr(2) + " @" +
                                 std::to_string(event.end));
        EXPECT_EQ(events, expected);
    }
    const std::pair<std::string, std::string> lines[] = {
        {"", "COM4 000 19200 none"},
        {"--port com255 --inputs 100 --log f --replay r --replay-timing --help",
         "COM255 100 19200 log f replay r timed help none"},
        {"--no-reply --delay 250 --bad-start --bad-status --bad-end --bad-checksum "
         "--wrong-command --split 0 --stray 3 --extra 1 --flood 1000 --hangup-after 5 "
         "--duplicate 0 --lag --port 001",
         "COM1 000 19200 no-reply delay=250 bad-start bad-status bad-end bad-checksum "
         "wrong-command split=0 stray=3 extra=1 flood=1000 hangup-after=5 duplicate=0 lag"},
        {"--line-rate off --drive-speed 56000 --line-rate on --line-rate off --delay 5 --delay off",
         "COM4 000 56000 at once none"},
        {"--port COM0", "--port: expected COM1 to COM255, got COM0"},
        {"--port COM256", "--port: expected COM1 to COM255, got COM256"},
        {"--port con7", "--port: expected COM1 to COM255, got con7"},
        {"--inputs 12", "--inputs: expected three digits 0 or 1, got 12"},
        {"--delay 2s", "--delay: expected a whole number from 0 up, or off"},
        {"--drive-speed 0", "--drive-speed: expected bits per second, e.g. 19200"},
        {"--line-rate no", "--line-rate: expected on or off"},
        {"--fast", "unknown option --fast"},
    };
    for (const auto& [line, expected] : lines) {
        const ParsedOptions parsed = parseArguments(words(line));
        const SimOptions& o = parsed.options;
        std::string text = "COM" + std::to_string(o.port) + " " + formatInputs(o.inputs) + " " +
                           std::to_string(o.line.driveRate);
        text += (o.line.paced ? "" : " at once") + (o.logFile.empty() ? "" : " log " + o.logFile) +
                (o.replayFile.empty() ? "" : " replay " + o.replayFile) +
                (o.replayTiming ? " timed" : "") + (o.help ? " help " : " ") +
                describeFaults(o.faults);
        EXPECT_EQ(parsed.error.empty() ? text : parsed.error, expected) << line;
    }
}

// Three frames that change the drive: parameter 6 to 65535, position to 16909060, output on.
const std::string kThreeChanges =
    kWriteP6 + " 00 00 AA 00 04 00 01 02 03 04 EE 0E 00 00 " + "AA 00 0B 01 00 00 00 01 EE 0D";

// Speed 100 (1000 pulses/s) and acceleration 10 (10000 pulses/s²): a move of 1000 ramps up for
// 0.1 s over 50 pulses, runs 0.9 s, ramps down 0.1 s; one of 40 peaks at 632 pulses/s after
// 0.063 s. Jogs run at their speed, a stop holds at once, and no ramps at acceleration 0.
TEST(DriveModel, MovesOnATrapezoidOfItsSpeedAndAccelerationParameters) {
    struct Step {
        int ms;
        std::uint8_t cmd; // 0: only look
        std::uint8_t opt1;
        std::int32_t data;
        std::int32_t position; // then, within a pulse
    };
    const Step steps[] = {
        {0, code::kWriteParameter, kSpeedIndex, 100, 0},
        {0, code::kWriteParameter, 5, 10, 0},
        {0, code::kMove, 0, 1000, 0},
        {50, 0, 0, 0, 12},
        {100, 0, 0, 0, 50},
        {600, 0, 0, 0, 550},
        {1050, 0, 0, 0, 987},
        {1100, 0, 0, 0, 1000},
        {6000, code::kMove, 0, 960, 1000},
        {6030, 0, 0, 0, 996},
        {6063, 0, 0, 0, 981},
        {8000, code::kJogRor, 0, 300, 960},
        {9000, code::kStop, 0, 0, 1260},
        {20000, code::kWriteParameter, 5, 0, 1260},
        {20000, code::kMove, 1, -1260, 1260}, // from where the stop left it
        {20500, 0, 0, 0, 760},
        {30000, code::kWriteParameter, kSpeedIndex, -5, 0}, // below 1: 10 pulses/s
        {30000, code::kMove, 0, 100, 0},
        {31000, code::kJogRol, 0, 100, 10},
        {32000, 0, 0, 0, -90},
    };
    DriveModel drive;
    const Clock::time_point start{};
    for (const Step& step : steps) {
        const auto at = start + std::chrono::milliseconds(step.ms);
        const auto v = static_cast<std::uint32_t>(step.data);
        if (step.cmd)
            drive.handle({0xAA, 0, step.cmd, step.opt1, std::uint8_t(v >> 24),
                          std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v), 0xEE, 0},
                         at);
        EXPECT_NEAR(drive.position(at), step.position, 1) << step.ms << " ms";
    }
}

TEST(PtyServer, PutsEachFaultOnTheLine) {
    using State = std::tuple<int, int, bool>;
    struct Case {
        std::string options;
        std::string writes; // after the frames, writes apart by "|"
        std::string frames = kReadP1;
        int gapUs = 0;            // at least before the last reply write, less 20%
        State state = {2, 0, 0};  // parameter 6, target, output after the frames
        int rate = 0;             // the tool's line speed; 0 leaves it unset (19200)
        std::string garbled = ""; // the first three bytes the drive's UART read, when garbled
        int readAfterMs = 0;      // the tool reads this late
    };
    const Case cases[] = {
        {"--split 300", "BB 00 06 64 00 | 00 00 14 EE 7E", kReadP1, 300'000},
        {"--stray 1000 --extra 1", "1000 random | " + kReplyP1 + " | 1 random"},
        // The line is hung up only once a slow tool has read the last reply.
        {.options = "--hangup-after 1 --split 50",
         .writes = "BB 00 06 64 00 | 00 00 14 EE 7E | HUP",
         .readAfterMs = 300},
        // A second frame's reply waits for the whole of the first.
        {"--split 200", "BB 00 06 64 00 | 00 00 00 EE 6A | BB 00 05 64 00 | 00 FF FF EE 67",
         "AA 00 06 03 00 00 00 00 EE 09 00 00 " + kWriteP6, 200'000, State(65535, 0, 0)},
        // The copy follows the reply's last byte (10 bytes at 19200: 5.2 ms) after the gap.
        {"--duplicate 0", kReplyP1 + " | " + kReplyP1, kReadP1, 5'200},
        {"--duplicate 5", "BB 00 0B 64 00 00 00 00 EE 6F | BB 00 0B 64 00 00 00 00 EE 6F",
         "AA 00 0B 01 00 00 00 00 EE 0C", 10'200},
        {"--lag", "BB 00 05 64 00 00 FF FF EE 67 | BB 00 04 64 00 00 00 00 EE 68", kThreeChanges, 0,
         State(65535, 16909060, 1)},
        // A drive at 19200 reads no frame of a tool at 9600 or 38400, so changes nothing: at
        // 9600 a bit lasts two of its own, so AA reads as 98 E6; at 38400 AA 00 05 reads as 08 29.
        {"", "", kThreeChanges, 0, State(2, 0, 0), 9600, "98 E6 FE"},
        {"", "", kThreeChanges, 0, State(2, 0, 0), 38400, "08 29 08"},
        {"", "", kThreeChanges, 0, State(2, 0, 0), 500000, "F9"},
        // An absolute move to 16909060, then an incremental one 5 back.
        {"", "BB 00 04 64 00 00 00 00 EE 68 | BB 00 04 64 00 00 00 00 EE 68",
         "AA 00 04 00 01 02 03 04 EE 0E 00 00 AA 00 04 01 FF FF FF FB EE FD", 0,
         State(2, 16909055, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options + " at " + std::to_string(c.rate));
        const Faults faults = parseArguments(words(c.options)).options.faults;
        PtyServer server(4, faults);
        server.start();
        const auto size =
            faults.strayBefore + faults.extraAfter +
            std::ranges::count_if(words(c.writes), [](auto& w) { return w.size() == 2; });
        const auto got = exchange(4, c.frames, std::max<std::size_t>(size, 1),
                                  size > 0 ? 3000 : 300, c.rate, 99, c.readAfterMs);
        EXPECT_TRUE(server.waitFor([&](auto n) { return n.hungUp || !faults.hangUpAfter; }, 500ms));

        const std::vector<LogEntry> log = server.log();
        std::string writes;
        std::vector<std::uint8_t> written;
        std::int64_t lastGapUs = 0; // before the last reply write
        for (std::size_t i = 1; i < log.size(); ++i) {
            const LogEntry& entry = log[i];
            if (entry.kind == LogKind::Rx || entry.kind == LogKind::Garbled)
                continue;
            writes +=
                (writes.empty() ? "" : " | ") +
                (entry.kind == LogKind::HangUp  ? "HUP"
                 : entry.kind == LogKind::Noise ? std::to_string(entry.bytes.size()) + " random"
                                                : toHex(entry.bytes));
            written.insert(written.end(), entry.bytes.begin(), entry.bytes.end());
            lastGapUs = entry.kind == LogKind::Tx ? entry.timeUs - log[i - 1].timeUs : lastGapUs;
        }
        EXPECT_EQ(std::tuple(writes, got.bytes), std::tuple(c.writes, written));
        const auto replies = std::ranges::count(words(c.writes), std::string("BB"));
        EXPECT_EQ(std::ranges::count(got.bytes, 0xBB), replies)
            << "no random byte may pose as a reply's start";
        EXPECT_EQ(server.counts().repliesSent * 10 + server.counts().noiseBytesSent, size);
        EXPECT_GE(lastGapUs, c.gapUs * 8 / 10);
        const auto garbled = std::ranges::find(log, LogKind::Garbled, &LogEntry::kind);
        EXPECT_EQ(garbled == log.end() ? "" : toHex(garbled->bytes).substr(0, 8), c.garbled);
        const DriveState state = server.driveState();
        EXPECT_EQ(std::tuple(state.parameters.at(6), state.target, state.output), c.state);
    }
}

// Both ways a byte takes ten bit times at the tool's speed, unless the line is not paced: the
// frame reaches the drive, then the reply's first and last bytes the tool, after the drive's TX.
TEST(PtyServer, PacesEachByteAtTheToolsLineSpeedAndFloodsTheLineAtItsRate) {
    const std::pair<int, std::string> cases[] = {{1200, "--drive-speed 1200"},
                                                 {115200, "--drive-speed 115200"},
                                                 {1200, "--drive-speed 1200 --line-rate off"}};
    for (const auto& [rate, options] : cases) {
        SCOPED_TRACE(options);
        const LineSettings line = parseArguments(words(options)).options.line;
        PtyServer server(4, {}, {}, line);
        server.start();
        exchange(4, kReadP1, 10, 3000, rate, 1); // a first frame: the next one is timed alone
        const Exchanged got = exchange(4, "AA 00 0C 00 00 00 00 00 EE 0C", 10, 3000, rate, 1);
        const std::vector<LogEntry> log = server.log();
        ASSERT_EQ(toHex(got.bytes), "BB 00 0C 64 00 00 00 00 EE 70"); // inputs 000
        EXPECT_LE(log.at(3).timeUs, got.firstUs);
        using Span = std::pair<std::int64_t, int>; // in microseconds, and bytes on the wire
        for (const auto& [us, bytes] :
             {Span{log[2].timeUs - got.sentUs, 10}, Span{got.firstUs - log[2].timeUs, 1},
              Span{got.lastUs - log[2].timeUs, 10}}) {
            const double wireUs = bytes * 10e6 / rate;
            EXPECT_GE(us, line.paced ? 0.95 * wireUs : 0) << bytes;
            EXPECT_LE(us, line.paced ? 1.3 * wireUs + 50'000 : 10 * 10e6 / rate / 2) << bytes;
        }
    }
    // Noise at the flood's rate, all of it logged; a wide margin, as the test shares the machine.
    PtyServer server(4, parseArguments(words("--flood 80000")).options.faults);
    server.start();
    const Exchanged got = exchange(4, "", 8000, 1000);
    ASSERT_EQ(got.bytes.size(), 8000u);
    const double rate = 8000e6 / double(got.lastUs - got.sentUs);
    EXPECT_TRUE(rate > 50'000 && rate < 120'000 && server.counts().noiseBytesSent >= 8000u) << rate;
    EXPECT_EQ(std::set(got.bytes.begin(), got.bytes.end()).size(), 256u) << "every byte, BB too";
}

// A recorded drive, from either end of the line: each frame gets the answer that followed it
// there, in order; one recorded without an answer gets none; one the log holds no more answers
// to gets none either, and the log says so.
TEST(PtyServer, ReplaysTheDriveOfATrafficLogFromEitherEnd) {
    const std::string tool = "# dx400ctl 1.0.0 port=COM4 device=/dev/pts/3 speed=19200 start=x\n"
                             "0 TX " +
                             kReadP1 +
                             " 00 00\n11278 RX BB 00 06 64\n12000 RX 0G\n13309 RX 00 00 "
                             "00 14 EE 7E\n# x\n9 RX 55\n15975 TX " +
                             kReadP1 + " 00 00\n20000 TX " + kWriteP6 +
                             " 00 00\n264579 RX BB 00 06 64 00 00 00 15 EE 7F\n300000 HUP\n";
    const std::string drive = "dx400-sim: COM4 -> /dev/pts/0\n# dx400-sim 1.0.0 port=COM4 x\n"
                              "1014481 RX " +
                              kWriteP6 + "\n1214615 TX " + kReplyP1 + "\n9 BAD 56\n9 NOISE 12 34\n";
    const std::tuple<std::string, bool, std::string, std::string, int> cases[] = {
        // the log, its timing kept, the frames sent, the bytes answered, the first one's delay
        {tool, false, kReadP1 + " 00 00 " + kWriteP6 + " 00 00 " + kReadP1 + " 00 00 " + kReadP1,
         kReplyP1 + " BB 00 06 64 00 00 00 15 EE 7F", 0},
        {drive, true, kWriteP6 + " 00 00 " + kReadP1, kReplyP1 + " 12 34", 200'000},
    };
    for (const auto& [log, timed, frames, answered, delayUs] : cases) {
        QTemporaryFile file;
        ASSERT_TRUE(file.open() && file.write(log.c_str()) == qint64(log.size()) && file.flush());
        PtyServer server(4);
        server.setReplay(ReplayScript::load(file.fileName().toStdString()), timed);
        server.start();
        const Exchanged got = exchange(4, frames, words(answered).size(), 1500);
        EXPECT_EQ(toHex(got.bytes), answered);
        EXPECT_TRUE(got.firstUs - got.sentUs >= delayUs &&
                    got.firstUs - got.sentUs < 150'000 + delayUs);
        EXPECT_TRUE(QTest::qWaitFor([&] { // the last frame, once it has come
            return std::ranges::count(server.log(), LogKind::Unseen, &LogEntry::kind) == 1;
        }));
        EXPECT_EQ(server.counts().repliesSent, words(answered).size() / 10) << "one a frame";
    }
    EXPECT_THROW(ReplayScript::load("/dev/null"), std::runtime_error);
}

TEST(PtyServer, PublishesOverItsOwnKindOfLinkOnly) {
    const std::filesystem::path link = portLink(5).toStdString();
    PtyServer server(5);
    std::filesystem::create_symlink("/dev/null", link.parent_path() / ".COM5.new"); // left over
    server.start();
    EXPECT_TRUE(QFileInfo(link.parent_path() / ".COM5.lock").permission(QFile::ReadOwner));
    const int tool = ::open(link.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    std::filesystem::remove(link);
    std::filesystem::create_symlink("/dev/pts/999998", link); // someone else's now
    server.stop();
    EXPECT_EQ(std::filesystem::read_symlink(link), "/dev/pts/999998");
    pollfd line{tool, POLLIN, 0};
    EXPECT_TRUE(::poll(&line, 1, 1000) == 1 && (line.revents & POLLHUP)) << "a stop hangs up";
    ::close(tool);
    std::filesystem::remove(link);
    std::filesystem::create_symlink("/dev/null", link); // no pseudo-terminal: never replaced
    EXPECT_THROW(server.start(), std::runtime_error);
    EXPECT_EQ(std::filesystem::read_symlink(link).string() + server.devicePath(), "/dev/null");
}

// Beside a simulator serving COM7, runs that end at once with their codes: the help, each fault's
// text in the column of the others'; a wrong option; an unwritable log; a second one for COM7.
TEST(SimProgram, ServesItsPortWithAConsoleUntilTerminatedAndEndsAtOnceWhenItCannotServe) {
    const std::filesystem::path link = portLink(7).toStdString();
    std::filesystem::create_symlink("/dev/pts/999999", link); // left by a simulator that died

    QProcess sim;
    sim.setProcessChannelMode(QProcess::MergedChannels);
    sim.start(DX400_SIM, {"--port", "COM7", "--inputs", "010", "--drive-speed", "38400"});
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return std::filesystem::read_symlink(link) != "/dev/pts/999999"; }));
    const std::string frames =
        "12 34 AA 00 06 01 00 00 00 00 EE 08 00 00 AA 00 0C 00 00 00 00 00 EE 0C";
    EXPECT_EQ(toHex(exchange(7, frames, 10, 3000, 38400).bytes), "BB 00 0C 64 00 00 01 00 EE 71");
    // The console answers on standard output; the end of standard input does not end it.
    sim.write("status\nline-rate off\ndrive-speed 0\ndrive-speed 9600\ninputs 12\ninputs 101\n"
              "fault lag\nfault delay 5\nfault lag off\n\nfault delay 99999999999\nfault nosuch\n"
              "fault clear\nbogus\nstatus\n");
    QByteArray printed;
    const auto shows = [&](const char* text) {
        return QTest::qWaitFor([&] {
            sim.waitForReadyRead(20);
            printed += sim.readAll();
            return printed.contains(text);
        });
    };
    EXPECT_TRUE(shows("tool 38400 baud, drive 38400 baud, not paced\n"
                      "drive-speed: expected bits per second, e.g. 19200\n"
                      "tool 38400 baud, drive 9600 baud, not paced\n"
                      "inputs: expected three digits 0 or 1, e.g. inputs 101\n"
                      "inputs 101\nfaults lag\nfaults delay=5 lag\nfaults delay=5\n"
                      "delay: expected a whole number from 0 up, or off\n"
                      "unknown fault nosuch\nfaults none\nunknown command bogus\ncommands:\n") &&
                shows("inputs 101\nparameters 1=20 2=4 4=800 5=10 6=2 7=500\nfaults none\n"))
        << printed.toStdString();
    EXPECT_EQ(toHex(exchange(7, "AA 00 0C 00 00 00 00 00 EE 0C", 10, 3000, 9600).bytes),
              "BB 00 0C 64 00 01 00 01 EE 72");
    sim.write("hangup\n");
    sim.closeWriteChannel();
    for (const char* text : {" HUP\n", " TX BB 00 0C 64 00 00 01 00 EE 71\n",
                             ", tool 38400 baud, drive 38400 baud, paced\nframes received 1, "
                             "replies sent 1, bad frames 1, stray bytes 2\n"})
        EXPECT_TRUE(shows(text)) << text;
    // The log's header, then times from its start (seconds, not the clock's since boot).
    const QRegularExpression logged(
        R"(^# dx400-sim [\d.]+ port=COM7 device=/dev/pts/\d+ )"
        R"(speed=38400 start=)" +
        QDate::currentDate().toString(Qt::ISODate) +
        R"(T[\d:.]{12}\+13:10\n(dx400-sim: .*\n)?\d{1,7} STRAY 12 34\n)");
    EXPECT_TRUE(logged.match(QString::fromUtf8(printed)).hasMatch()) << printed.toStdString();

    const std::tuple<QStringList, int, std::string> cases[] = {
        {{"--help"}, 0, "  --port COMn        port to publish (default COM4)\n"},
        {{"--log"}, 2, "dx400-sim: --log needs a value\n(see dx400-sim --help)\n"},
        {{"--log", "/nonexistent/log"}, 1, "dx400-sim: cannot write /nonexistent/log\n"},
        {{"--replay", "/dev/null"}, 1, "dx400-sim: /dev/null is not a traffic log"},
        {{"--port", "COM7"}, 1, "dx400-sim: COM7 is already served"}};
    for (const auto& [arguments, code, text] : cases) {
        QProcess other;
        other.start(DX400_SIM, arguments);
        ASSERT_TRUE(other.waitForFinished(5000));
        const std::string out =
            (code ? other.readAllStandardError() : other.readAllStandardOutput()).toStdString();
        EXPECT_EQ(other.exitCode(), code);
        EXPECT_THAT(out, testing::HasSubstr(text));
        for (std::size_t i = 0; code == 0 && i < kFaultSettings.size(); ++i) { // the help only
            const auto at = out.find("\n  --" + std::string(kFaultSettings[i].name) + " ");
            EXPECT_EQ(out.find(kFaultSettings[i].help, at) - at, 22u) << kFaultSettings[i].name;
        }
    }
    for (const int signal : {SIGINT, SIGHUP, SIGTERM}) // none may cut the ending short
        ::kill(pid_t(sim.processId()), signal);
    ASSERT_TRUE(sim.waitForFinished(5000));
    EXPECT_EQ(sim.exitStatus() == QProcess::NormalExit ? sim.exitCode() : -1, 0);
    EXPECT_FALSE(std::filesystem::is_symlink(link));
}

} // namespace
} // namespace dx400::sim
