// Runs the dx400-sim program as a user would: its path is the first argument.

#include "pty_test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace dx400::sim {
namespace {

using namespace std::chrono_literals;
using test::hexBytes;
using test::TempConfigHome;

std::string g_simPath;

// The simulator started with standard input from /dev/null (as in the background of a
// script) and its output in files in the temporary config folder.
class SimProcess {
public:
    SimProcess(const TempConfigHome& home, const std::string& name,
               const std::vector<std::string>& arguments)
        : m_out(home.path() / (name + ".out")), m_err(home.path() / (name + ".err")) {
        std::vector<std::string> args{g_simPath};
        args.insert(args.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (auto& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&files, 1, m_out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&files, 2, m_err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        m_spawned =
            posix_spawn(&m_pid, g_simPath.c_str(), &files, nullptr, argv.data(), environ) == 0;
        posix_spawn_file_actions_destroy(&files);
    }
    ~SimProcess() {
        if (m_spawned && !m_exited) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }

    bool spawned() const { return m_spawned; }
    // Only a spawned child is signalled: kill() with pid 0 would hit the whole process
    // group, the test runner included.
    void terminate() const {
        if (m_spawned && m_pid > 0)
            ::kill(m_pid, SIGTERM);
    }

    // The exit code, or -1 if it is still running after the timeout or died of a signal.
    int waitForExit(std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_exited = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(20ms);
        }
        return -1;
    }

    std::string errors() const { return readFile(m_err); }
    std::string output() const { return readFile(m_out); }

private:
    static std::string readFile(const std::filesystem::path& path) {
        std::ifstream file(path);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    std::filesystem::path m_out;
    std::filesystem::path m_err;
    pid_t m_pid = 0;
    bool m_spawned = false;
    bool m_exited = false;
};

bool waitForLink(const std::filesystem::path& link, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (std::filesystem::is_symlink(link)) {
            return true;
        }
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

TEST(SimProgram, ServesAPortUntilTerminatedAndRefusesASecondSimulator) {
    TempConfigHome home;
    const auto link = home.link("COM7");
    SimProcess sim(home, "first", {"--port", "COM7", "--inputs", "100"});
    ASSERT_TRUE(sim.spawned());
    ASSERT_TRUE(waitForLink(link, 5s)) << sim.errors();

    // The end of standard input (/dev/null) did not end it: it still answers.
    const int line = test::openLine(link);
    ASSERT_GE(line, 0);
    ASSERT_TRUE(test::writeHex(line, "AA 00 0C 00 00 00 00 00 EE 0C 00 00"));
    EXPECT_EQ(test::readBytes(line, 10, 2s), hexBytes("BB 00 0C 64 00 00 00 01 EE 71"));
    ::close(line);

    SimProcess second(home, "second", {"--port", "COM7"});
    ASSERT_TRUE(second.spawned());
    EXPECT_GT(second.waitForExit(5s), 0);
    EXPECT_NE(second.errors().find("COM7 is already served"), std::string::npos) << second.errors();
    EXPECT_TRUE(std::filesystem::is_symlink(link));

    sim.terminate();
    EXPECT_EQ(sim.waitForExit(5s), 0) << sim.errors();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
    const std::string output = sim.output();
    EXPECT_NE(output.find("COM7 -> /dev/pts/"), std::string::npos) << output;
    EXPECT_NE(output.find(" RX AA 00 0C 00 00 00 00 00 EE 0C\n"), std::string::npos) << output;
    EXPECT_NE(output.find(" TX BB 00 0C 64 00 00 00 01 EE 71\n"), std::string::npos) << output;
}

TEST(SimProgram, RejectsABadCommandLine) {
    TempConfigHome home;
    SimProcess sim(home, "bad", {"--delay", "soon"});
    ASSERT_TRUE(sim.spawned());
    EXPECT_EQ(sim.waitForExit(5s), 2);
    EXPECT_NE(sim.errors().find("--delay: expected"), std::string::npos) << sim.errors();
}

} // namespace
} // namespace dx400::sim

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <path of dx400-sim> [gtest options]\n", argv[0]);
        return 2;
    }
    dx400::sim::g_simPath = argv[1];
    return RUN_ALL_TESTS();
}
