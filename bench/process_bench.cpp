// Figures 4, 5 and 7: the tool as a process of its own (dx400_tool_child, started like
// dx400) against a bare window of the same size with one Korean label in the tool's font
// (dx400_bare_child), with the drive simulator of this process published as COM4 in a
// temporary $XDG_CONFIG_HOME.
//   startup [--runs N] [--platform offscreen|xcb]  process start to first expose
//   memory  [--runs N] [--commands N]              VmHWM after start-up and after N commands
//   idle    [--runs N] [--seconds S]               processor time and wake-ups while idle
#include "bench.h"
#include "sim/pty_server.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace dx400::bench;

// A program of the folder this one is in, started with fork and exec, its standard output
// read line by line; startedUs is CLOCK_MONOTONIC just before the fork. The destructor
// kills it if it still runs.
class ChildProcess {
public:
    ChildProcess(const std::string& program, std::vector<std::string> args) {
        // Everything the child needs is made before the fork: this process has threads.
        args.insert(
            args.begin(),
            (std::filesystem::canonical("/proc/self/exe").parent_path() / program).string());
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe failed");
        m_started = monotonicMicros();
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(fds[1], STDOUT_FILENO);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(fds[1]);
        m_out = fds[0];
        if (m_pid < 0)
            throw std::runtime_error("fork failed");
    }
    ~ChildProcess() {
        if (m_pid > 0)
            ::kill(m_pid, SIGTERM);
        wait();
        ::close(m_out);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return m_pid; }
    std::int64_t startedUs() const { return m_started; }

    // The numbers on the next line that starts with `word`; throws when the child reports
    // "error ...", ends, or says nothing of the kind within timeoutMs.
    std::vector<double> expect(const std::string& word, int timeoutMs) {
        const std::int64_t deadline = monotonicMicros() + std::int64_t{timeoutMs} * 1000;
        for (;;) {
            for (std::size_t end; (end = m_buffer.find('\n')) != std::string::npos;) {
                std::istringstream line(m_buffer.substr(0, end));
                m_buffer.erase(0, end + 1);
                std::string first;
                line >> first;
                if (first == "error")
                    throw std::runtime_error("child: " + line.str());
                if (first != word)
                    continue;
                std::vector<double> numbers;
                for (double number; line >> number;)
                    numbers.push_back(number);
                return numbers;
            }
            pollfd ready{m_out, POLLIN, 0};
            const auto left = std::max<std::int64_t>(0, (deadline - monotonicMicros()) / 1000);
            char chunk[512];
            const ssize_t n = ::poll(&ready, 1, static_cast<int>(left)) > 0
                                  ? ::read(m_out, chunk, sizeof chunk)
                                  : 0;
            if (n <= 0)
                throw std::runtime_error("the child did not report '" + word + "'");
            m_buffer.append(chunk, static_cast<std::size_t>(n));
        }
    }

    int wait() { // the exit status, or -1
        int status = 0;
        if (m_pid <= 0 || ::waitpid(m_pid, &status, 0) < 0)
            return -1;
        m_pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t m_pid = -1;
    int m_out = -1;
    std::int64_t m_started = 0;
    std::string m_buffer;
};

constexpr const char* kTool = "dx400_tool_child";
constexpr const char* kBare = "dx400_bare_child";

Row compared(const std::string& figure, const std::vector<double>& tool,
             const std::vector<double>& bare, double bound, const std::string& unit) {
    const double ratio = median(tool) / median(bare);
    std::ostringstream limit;
    limit << "≤ " << bound << " × bare window (bare median " << fixed(median(bare), 1) << unit
          << ", worst " << fixed(worst(bare), 1) << unit << ")";
    return summaryRow(figure, tool, 1).goal(limit.str(), fixed(ratio, 3), ratio <= bound);
}

// Start-up: each run starts the child, which reports the monotonic time of its window's
// first expose and of its first painted frame. One warm-up run of each is not counted.
void startup(int runs, const std::string& platform) {
    std::map<std::string, std::vector<double>> expose, painted;
    for (int i = -1; i < runs; ++i) {
        for (const std::string name : {kTool, kBare}) {
            ChildProcess child(name, {"startup"});
            const double exposed = child.expect("expose", 20'000).at(0);
            const double paintedUs = child.expect("painted", 20'000).at(0);
            if (child.wait() != 0)
                throw std::runtime_error(name + " failed");
            const auto start = static_cast<double>(child.startedUs());
            if (i >= 0) {
                expose[name].push_back((exposed - start) / 1000);
                painted[name].push_back((paintedUs - start) / 1000);
            }
        }
    }
    const std::string on = ", " + platform + " (ms)";
    compared("4. Start-up to first expose" + on, expose[kTool], expose[kBare], 1.15, " ms").print();
    Row row = compared("4. Start-up to first frame painted" + on, painted[kTool], painted[kBare],
                       1.15, " ms");
    row.met.reset();
    row.print("the goal is held on the expose; shown for the painting that follows it");
}

// Memory: the tool answers N 입력 clicks, each waiting for its reply (입력 is the command
// whose reply needs no 100 ms pause, so ten thousand fit in seconds).
void memory(int runs, int commands) {
    std::vector<double> toolStart, toolEnd, bare, growth;
    int messages = 0;
    for (int i = 0; i < runs; ++i) {
        ChildProcess tool(kTool, {"commands", std::to_string(commands)});
        toolStart.push_back(tool.expect("painted", 20'000).at(1) / 1024);
        const double warm = tool.expect("start", 120'000).at(0);
        const std::vector<double> end = tool.expect("end", 300'000);
        toolEnd.push_back(end.at(0) / 1024);
        growth.push_back(end.at(0) - warm);
        messages += static_cast<int>(end.at(1));
        if (tool.wait() != 0)
            throw std::runtime_error("the tool child failed");
        bare.push_back(ChildProcess(kBare, {"startup"}).expect("painted", 20'000).at(1) / 1024);
    }
    compared("5. Peak resident size (VmHWM) after start-up (MiB)", toolStart, bare, 1.2, " MiB")
        .print();
    const std::string n = std::to_string(commands);
    compared("5. Peak resident size (VmHWM) after " + n + " commands answered (MiB)", toolEnd, bare,
             1.2, " MiB")
        .print(messages ? std::to_string(messages) + " message boxes were shown" : "");
    summaryRow("5. VmHWM growth from command 100 to command " + n + " (KiB)", growth, 0)
        .goal("≤ 256 KiB (noise: a few pages; 26 bytes per command would exceed it)",
              fixed(worst(growth) / 256, 3), worst(growth) <= 256)
        .print();
}

// Processor time (ns) and voluntary context switches of every thread of a process, by
// "id name", read from /proc without disturbing it. Every voluntary switch is a sleep the
// thread came back from, that is a wake-up.
std::map<std::string, std::pair<double, long>> threadActivity(pid_t pid) {
    std::map<std::string, std::pair<double, long>> threads;
    std::error_code error;
    for (const auto& task :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        std::string name;
        std::getline(std::ifstream(task.path() / "comm"), name);
        auto& [cpuNs, voluntary] = threads[task.path().filename().string() + " " + name];
        std::ifstream(task.path() / "schedstat") >> cpuNs;
        voluntary = statusValue(task.path() / "status", "voluntary_ctxt_switches:");
    }
    return threads;
}

// Idle: the connected tool is left alone; its threads are read from /proc before and after.
void idle(int runs, int seconds) {
    std::vector<double> cpuMs, wakeUps;
    std::string woke;
    for (int i = 0; i < runs; ++i) {
        ChildProcess tool(kTool, {"idle"});
        tool.expect("ready", 20'000);
        std::this_thread::sleep_for(std::chrono::seconds(1)); // let the connect settle
        auto before = threadActivity(tool.pid());
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        cpuMs.push_back(0);
        wakeUps.push_back(0);
        for (const auto& [thread, now] : threadActivity(tool.pid())) {
            const long woken = now.second - before[thread].second;
            cpuMs.back() += (now.first - before[thread].first) / 1e6;
            wakeUps.back() += static_cast<double>(woken);
            if (woken > 0)
                woke += " " + thread.substr(thread.find(' ') + 1) + ":" + std::to_string(woken);
        }
    }
    const std::string span = "7. Idle " + std::to_string(seconds) + " s connected: ";
    summaryRow(span + "processor time of the tool (ms)", cpuMs, 3).print();
    summaryRow(span + "wake-ups of the tool's threads", wakeUps, 0)
        .goal("0", "-", worst(wakeUps) == 0)
        .print(woke.empty() ? "voluntary context switches of every thread, from /proc"
                            : "by thread:" + woke);
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    const int runs = option(argc, argv, "--runs", mode == "startup" ? 10 : 3);
    const std::string platform = option(argc, argv, "--platform", "offscreen");
    ::setenv("QT_QPA_PLATFORM", platform.c_str(), 1); // for every child
    try {
        ConfigHome home(4);
        dx400::sim::PtyServer drive(4, {}, {}, {.paced = false}); // the tool's own figures
        drive.start();
        if (mode == "startup")
            startup(runs, platform);
        else if (mode == "memory")
            memory(runs, option(argc, argv, "--commands", 10'000));
        else if (mode == "idle")
            idle(runs, option(argc, argv, "--seconds", 10));
        else
            throw std::runtime_error("usage: dx400_process_bench startup|memory|idle [options]");
    } catch (const std::exception& error) {
        std::cerr << "process bench: " << error.what() << std::endl;
        return 2;
    }
}
