// The drive simulator: how it cuts frames out of what the tool writes, how it reads its
// command line, what each fault puts on the line, how it publishes its port, and what only
// the dx400-sim program itself does (console, log lines, refusal, signals).
#include "sim/frame_reader.h"
#include "sim/pty_server.h"
#include "sim/sim_options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace dx400::sim {
namespace {

using namespace std::chrono_literals;

const std::string kReadP1 = "AA 00 06 01 00 00 00 00 EE 07";
const std::string kWriteP6 = "AA 00 05 06 00 00 FF FF EE 09";
const std::string kReplyP1 = "BB 00 06 64 00 00 00 14 EE 7E";

// A fresh $XDG_CONFIG_HOME for one test, removed again afterwards.
struct TempConfigHome {
    TempConfigHome() {
        ::mkdtemp(path.data());
        ::setenv("XDG_CONFIG_HOME", path.c_str(), 1);
    }
    ~TempConfigHome() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::filesystem::path link(const std::string& port) const {
        return path + "/dx400/ports/" + port;
    }
    std::string path = std::filesystem::temp_directory_path() / "dx400-sim-XXXXXX";
};

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    return {std::istream_iterator<std::string>(in), {}};
}

Faults faultsOf(const std::string& options) {
    return parseArguments(words(options)).options.faults;
}

// Bytes written out as hex pairs, e.g. "AA 00 06", so frames read like the line.
std::vector<std::uint8_t> hexBytes(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    for (const std::string& pair : words(text)) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(pair, nullptr, 16)));
    }
    return bytes;
}

// Opens the port as the tool does, writes the frame and its two 00 bytes, and reads until
// count bytes came or the timeout passed; returns what came.
std::vector<std::uint8_t> exchange(const std::filesystem::path& port, const std::string& frame,
                                   std::size_t count, std::chrono::milliseconds timeout) {
    const int line = ::open(port.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    const auto sent = hexBytes(frame + " 00 00");
    std::vector<std::uint8_t> bytes(::write(line, sent.data(), sent.size()) == 12 ? count : 0);
    std::size_t got = 0;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (pollfd ready{line, POLLIN, 0}; got < bytes.size() && ::poll(&ready, 1, 10) >= 0 &&
                                        std::chrono::steady_clock::now() < deadline;) {
        const ssize_t n = (ready.revents & POLLIN) ? ::read(line, &bytes[got], count - got) : 0;
        got += static_cast<std::size_t>(std::max<ssize_t>(n, 0));
    }
    ::close(line);
    bytes.resize(got);
    return bytes;
}

// True once done() holds, checked every 20 ms for at most five seconds.
template <typename Done> bool eventually(Done done) {
    for (int i = 0; i < 250; ++i) {
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

TEST(FrameReader, FindsEveryValidFrameWhateverSurroundsIt) {
    const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
        {{kReadP1 + " 00 00 " + kWriteP6 + " 00 00"}, {"frame " + kReadP1, "frame " + kWriteP6}},
        {words(kReadP1 + " 00 00"), {"frame " + kReadP1}}, // one byte per read
        {{"AA 00 06 01"}, {}},
        {{"AA 00 06 01 00 00 00 00 EE 08 00 00 " + kReadP1},
         {"bad AA 00 06 01 00 00 00 00 EE 08", "frame " + kReadP1}},
        {{"AA 12 34 " + kReadP1}, {"bad AA 12 34", "frame " + kReadP1}},
        {{"AA 00 06 01 00 00 00 AA 00", "05 06 00 00 FF FF EE 09 00 00"},
         {"bad AA 00 06 01 00 00 00", "frame " + kWriteP6}},
        {{"12 00 34 56 00 00 " + kReadP1}, {"stray 12", "stray 34 56", "frame " + kReadP1}},
    };
    for (const auto& [reads, expected] : cases) {
        SCOPED_TRACE(reads.front());
        FrameReader reader;
        std::vector<std::string> events;
        for (const std::string& read : reads) {
            for (const ReaderEvent& event : reader.feed(hexBytes(read))) {
                const char* kind = event.kind == ReaderEvent::Kind::Command    ? "frame "
                                   : event.kind == ReaderEvent::Kind::BadFrame ? "bad "
                                                                               : "stray ";
                events.push_back(kind + toHex(event.bytes));
            }
        }
        EXPECT_EQ(events, expected);
    }
}

TEST(SimOptions, ReadsTheCommandLineAndSaysWhatIsWrongWithIt) {
    const std::string everyFault = "--no-reply --delay 250 --bad-start --bad-status --bad-end "
                                   "--bad-checksum --wrong-command --split 0 --stray 3 --extra 2 "
                                   "--flood 1000 --hangup-after 5";
    const std::pair<std::string, std::string> cases[] = {
        {"", "COM4 000 none"},
        {"--port com12 --inputs 100 --log f --help", "COM12 100 log f help none"},
        {everyFault, "COM4 000 no-reply delay=250 bad-start bad-status bad-end bad-checksum "
                     "wrong-command split=0 stray=3 extra=2 flood=1000 hangup-after=5"},
        {"--port COM0", "--port: expected COM1 to COM255, got COM0"},
        {"--port LPT1", "--port: expected COM1 to COM255, got LPT1"},
        {"--inputs 102", "--inputs: expected three digits 0 or 1, got 102"},
        {"--delay", "--delay needs a value"},
        {"--delay soon", "--delay: expected a whole number from 0 up, or off"},
        {"--stray -1", "--stray: expected a whole number from 0 up, or off"},
        {"--bad-start on", "unknown option on"},
        {"--fast", "unknown option --fast"},
    };
    for (const auto& [line, expected] : cases) {
        const ParsedOptions parsed = parseArguments(words(line));
        const SimOptions& o = parsed.options;
        const std::string text = "COM" + std::to_string(o.port) + " " + formatInputs(o.inputs) +
                                 (o.logFile.empty() ? "" : " log " + o.logFile) +
                                 (o.help ? " help " : " ") + describeFaults(o.faults);
        EXPECT_EQ(parsed.error.empty() ? text : parsed.error, expected) << line;
    }
    // The console switches any fault off with "off".
    Faults faults = faultsOf(everyFault);
    for (const FaultSetting& fault : kFaultSettings) {
        EXPECT_EQ(applyFaultSetting(faults, fault.name, "off"), "") << fault.name;
    }
    EXPECT_EQ(faults, Faults{});
    EXPECT_EQ(applyFaultSetting(faults, "bad-end", "maybe"), "bad-end: expected on or off");
    EXPECT_EQ(applyFaultSetting(faults, "slow", "1"), "unknown fault slow");
}

TEST(PtyServer, PutsEachFaultOnTheLine) {
    // What the drive logs after the frame; random bytes show as NOISE and their number.
    const std::pair<std::string, std::string> cases[] = {
        {"", "TX " + kReplyP1},
        {"--bad-start", "TX BC 00 06 64 00 00 00 14 EE 7E"},
        {"--bad-status", "TX BB 00 06 65 00 00 00 14 EE 7F"},
        {"--bad-end", "TX BB 00 06 64 00 00 00 14 EF 7E"},
        {"--bad-checksum", "TX BB 00 06 64 00 00 00 14 EE 7F"},
        {"--wrong-command", "TX BB 00 07 64 00 00 00 14 EE 7F"},
        {"--bad-start --bad-status --bad-end --bad-checksum --wrong-command",
         "TX BC 00 07 65 00 00 00 14 EF 81"},
        {"--no-reply", ""},
        {"--delay 300", "TX " + kReplyP1},
        {"--split 300", "TX BB 00 06 64 00, TX 00 00 14 EE 7E"},
        {"--stray 1000 --extra 3", "NOISE 1000, TX " + kReplyP1 + ", NOISE 3"},
        {"--hangup-after 1", "TX " + kReplyP1 + ", HUP"},
    };
    TempConfigHome home;
    for (const auto& [options, expected] : cases) {
        SCOPED_TRACE(options);
        const Faults faults = faultsOf(options);
        PtyServer server(4, faults);
        server.start();
        const std::size_t size = faults.strayBefore + faults.extraAfter + (faults.noReply ? 0 : 10);
        const auto got = exchange(home.link("COM4"), kReadP1, std::max<std::size_t>(size, 1),
                                  size > 0 ? 3s : 300ms);
        if (faults.hangUpAfter) {
            server.waitFor([](const TrafficCounts& c) { return c.hungUp; }, 2s);
        }

        const std::vector<LogEntry> log = server.log();
        std::string logged;
        std::vector<std::uint8_t> written;
        std::int64_t gapUs = 0; // before the last reply write
        for (std::size_t i = 1; i < log.size(); ++i) {
            const std::string entry = formatLogLine(log[i]); // "<time> KIND bytes"
            logged += (i > 1 ? ", " : "") + (log[i].kind == LogKind::Noise
                                                 ? "NOISE " + std::to_string(log[i].bytes.size())
                                                 : entry.substr(entry.find(' ') + 1));
            written.insert(written.end(), log[i].bytes.begin(), log[i].bytes.end());
            gapUs = log[i].kind == LogKind::Tx ? log[i].timeUs - log[i - 1].timeUs : gapUs;
        }
        EXPECT_EQ(logged, expected);
        EXPECT_EQ(got, written);
        EXPECT_LE(std::count(got.begin(), got.end(), 0xBB), 1) << "noise that poses as a reply";
        EXPECT_GE(gapUs, std::max(faults.delayMs, faults.splitGapMs.value_or(0)) * 800);
    }
}

TEST(PtyServer, PublishesItsPortOverAStaleLinkOnly) {
    namespace fs = std::filesystem;
    TempConfigHome home;
    const fs::path link = home.link("COM5");
    const auto linkTo = [&](const char* target) {
        fs::remove(link);
        fs::create_symlink(target, link);
    };
    fs::create_directories(link.parent_path());
    linkTo("/dev/pts/999999"); // left by a simulator that died
    PtyServer first(5);
    PtyServer second(5);
    first.start();
    EXPECT_EQ(fs::read_symlink(link), first.devicePath());
    EXPECT_THROW(second.start(), std::runtime_error);
    EXPECT_EQ(fs::read_symlink(link), first.devicePath());
    first.stop();
    EXPECT_FALSE(fs::is_symlink(link));
    second.start();
    linkTo("/dev/pts/999998"); // someone else's link now: stopping leaves it
    second.stop();
    EXPECT_EQ(fs::read_symlink(link), "/dev/pts/999998");
    linkTo("/dev/null"); // a device that is no pseudo-terminal is never replaced
    EXPECT_THROW(first.start(), std::runtime_error);
    EXPECT_EQ(fs::read_symlink(link), "/dev/null");
}

// The dx400-sim program with its standard input on a pipe and its output in a file.
struct SimProcess {
    SimProcess(const std::string& arguments, const std::string& outFile) : out(outFile) {
        const std::string command = "exec " DX400_SIM " " + arguments + " >" + out + " 2>&1";
        const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
        int input[2] = {-1, -1};
        EXPECT_EQ(::pipe2(input, O_CLOEXEC), 0);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_adddup2(&files, input[0], 0);
        if (posix_spawn(&pid, "/bin/sh", &files, nullptr, const_cast<char**>(argv), environ)) {
            pid = -1;
        }
        posix_spawn_file_actions_destroy(&files);
        ::close(input[0]);
        console = input[1];
    }
    ~SimProcess() {
        ::close(console);
        if (pid > 0) { // only a child that was started and is not reaped yet
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
    // The exit code once it ended within five seconds, else -1.
    int exitCode() {
        int status = -1;
        if (pid > 0 && eventually([&] { return ::waitpid(pid, &status, WNOHANG) == pid; })) {
            pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        return -1;
    }
    bool printed(const std::string& text) const {
        std::ifstream file(out);
        return std::string(std::istreambuf_iterator<char>(file), {}).find(text) !=
               std::string::npos;
    }

    std::string out;
    pid_t pid = -1;
    int console = -1; // its standard input
};

TEST(SimProgram, ServesItsPortWithAConsoleUntilTerminated) {
    std::signal(SIGPIPE, SIG_IGN); // a console write to a simulator that ended fails instead
    TempConfigHome home;
    SimProcess sim("--port COM7 --inputs 100", home.path + "/sim");
    ASSERT_GT(sim.pid, 0);
    ASSERT_TRUE(eventually([&] { return std::filesystem::is_symlink(home.link("COM7")); }));
    // A console command, then the end of standard input, which does not end it.
    ASSERT_EQ(::write(sim.console, "fault wrong-command\n", 20), 20);
    ::close(std::exchange(sim.console, -1));
    ASSERT_TRUE(eventually([&] { return sim.printed("faults wrong-command\n"); }));
    EXPECT_EQ(toHex(exchange(home.link("COM7"), "AA 00 0C 00 00 00 00 00 EE 0C", 10, 3s)),
              "BB 00 0D 64 00 00 00 01 EE 72");
    EXPECT_TRUE(sim.printed(" RX AA 00 0C 00 00 00 00 00 EE 0C\n"));
    EXPECT_TRUE(sim.printed(" TX BB 00 0D 64 00 00 00 01 EE 72\n"));

    SimProcess second("--port COM7", home.path + "/second");
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_TRUE(second.printed("dx400-sim: COM7 is already served"));
    ::kill(sim.pid, SIGTERM);
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_FALSE(std::filesystem::is_symlink(home.link("COM7")));
}

} // namespace
} // namespace dx400::sim
