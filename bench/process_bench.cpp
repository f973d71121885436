// Figures 4, 5 and 7: the tool as a process of its own (dx400_tool_child, built like
// dx400), against a bare window of the same size (dx400_bare_child), with the drive
// simulator of this process published as COM4 in a temporary $XDG_CONFIG_HOME.
//   startup [--runs N] [--platform offscreen|xcb]  process start to first expose
//   memory  [--runs N] [--commands N]              VmHWM after start-up and after N commands
//   idle    [--runs N] [--seconds S]               processor time and wake-ups while idle
#include "bench_report.h"
#include "child_process.h"
#include "sim/pty_server.h"
#include "thread_activity.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

using namespace dx400::bench;

struct Options {
    std::string mode;
    int runs = 0;
    std::string platform = "offscreen";
    int commands = 10'000;
    int seconds = 10;
};

std::string childPath(const char* name) {
    return (std::filesystem::canonical("/proc/self/exe").parent_path() / name).string();
}

Row compared(const std::string& figure, const std::vector<double>& tool,
             const std::vector<double>& bare, int decimals, double bound, const std::string& unit) {
    Row row = summaryRow(figure, tool, decimals);
    row.limit = "≤ " + fixed(bound, 1) + " × bare window (bare median " +
                fixed(median(bare), decimals) + unit + ", worst " + fixed(worst(bare), decimals) +
                unit + ")";
    const double ratio = median(tool) / median(bare);
    row.ratio = fixed(ratio, 3);
    row.met = ratio <= bound;
    return row;
}

// Start-up: each run forks the child, which reports the monotonic time of its window's
// first expose and of its first painted frame. One warm-up run of each is not counted.
void startup(const Options& o) {
    std::vector<double> toolExpose, bareExpose, toolPainted, barePainted;
    for (int i = -1; i < o.runs; ++i) {
        for (const bool tool : {true, false}) {
            const char* child = tool ? "dx400_tool_child" : "dx400_bare_child";
            ChildProcess process(childPath(child), {"startup"}, o.platform);
            const double expose = std::stod(process.expect("expose", 20'000));
            std::istringstream painted(process.expect("painted", 20'000));
            double paintedUs = 0;
            painted >> paintedUs;
            if (process.wait() != 0)
                throw std::runtime_error(std::string(child) + " failed");
            if (i < 0)
                continue;
            const double start = static_cast<double>(process.startedUs());
            (tool ? toolExpose : bareExpose).push_back((expose - start) / 1000);
            (tool ? toolPainted : barePainted).push_back((paintedUs - start) / 1000);
        }
    }
    printRow(compared("4. Start-up to first expose, " + o.platform + " (ms)", toolExpose,
                      bareExpose, 1, 1.3, " ms"));
    Row painted = compared("4. Start-up to first frame painted, " + o.platform + " (ms)",
                           toolPainted, barePainted, 1, 1.3, " ms");
    painted.hasGoal = false;
    painted.note = "the goal is held on the expose; shown for the painting that follows it";
    printRow(painted);
}

// Memory: the tool answers N 입력 clicks, each waiting for its reply (입력 is the command
// whose reply needs no 100 ms pause, so ten thousand fit in seconds).
void memory(const Options& o) {
    std::vector<double> toolStart, toolEnd, bare, growth;
    int messages = 0;
    for (int i = 0; i < o.runs; ++i) {
        ChildProcess tool(childPath("dx400_tool_child"), {"commands", std::to_string(o.commands)},
                          o.platform);
        std::istringstream painted(tool.expect("painted", 20'000));
        double us = 0, kib = 0;
        painted >> us >> kib;
        toolStart.push_back(kib / 1024);
        const double warm = std::stod(tool.expect("start", 120'000));
        std::istringstream end(tool.expect("end", 300'000));
        int boxes = 0;
        end >> kib >> boxes;
        messages += boxes;
        toolEnd.push_back(kib / 1024);
        growth.push_back(kib - warm);
        if (tool.wait() != 0)
            throw std::runtime_error("the tool child failed");

        ChildProcess yardstick(childPath("dx400_bare_child"), {"startup"}, o.platform);
        std::istringstream bareLine(yardstick.expect("painted", 20'000));
        bareLine >> us >> kib;
        bare.push_back(kib / 1024);
        yardstick.wait();
    }
    printRow(compared("5. Peak resident size (VmHWM) after start-up (MiB)", toolStart, bare, 1, 1.2,
                      " MiB"));
    Row end = compared("5. Peak resident size (VmHWM) after " + std::to_string(o.commands) +
                           " commands answered (MiB)",
                       toolEnd, bare, 1, 1.2, " MiB");
    if (messages)
        end.note = std::to_string(messages) + " message boxes were shown";
    printRow(end);
    Row grew = summaryRow("5. VmHWM growth from command 100 to command " +
                              std::to_string(o.commands) + " (KiB)",
                          growth, 0);
    grew.limit = "≤ 256 KiB (noise: a few pages; 26 bytes per command would exceed it)";
    grew.ratio = fixed(worst(growth) / 256, 3);
    grew.met = worst(growth) <= 256;
    printRow(grew);
}

// Idle: the connected tool is left alone; its threads are read from /proc before and after.
void idle(const Options& o) {
    std::vector<double> cpuMs, wakeUps;
    std::string woke;
    for (int i = 0; i < o.runs; ++i) {
        ChildProcess tool(childPath("dx400_tool_child"), {"idle"}, o.platform);
        tool.expect("ready", 20'000);
        std::this_thread::sleep_for(std::chrono::seconds(1)); // let the connect settle
        const auto before = threadActivity(tool.pid());
        std::this_thread::sleep_for(std::chrono::seconds(o.seconds));
        const auto after = threadActivity(tool.pid());
        double cpu = 0, wakes = 0;
        for (const auto& [tid, now] : after) {
            const auto then = before.find(tid);
            const ThreadActivity start = then == before.end() ? ThreadActivity{} : then->second;
            cpu += now.cpuNs - start.cpuNs;
            const long woken = now.voluntary - start.voluntary;
            wakes += static_cast<double>(woken);
            if (woken > 0)
                woke += " " + now.name + ":" + std::to_string(woken);
        }
        cpuMs.push_back(cpu / 1e6);
        wakeUps.push_back(wakes);
        std::cerr << "idle run " << i + 1 << ": " << after.size() << " threads, " << cpu / 1e6
                  << " ms, wake-ups" << (woke.empty() ? " none" : woke) << std::endl;
    }
    const std::string span = std::to_string(o.seconds) + " s";
    Row cpu =
        summaryRow("7. Idle " + span + " connected: processor time of the tool (ms)", cpuMs, 3);
    cpu.hasGoal = false;
    printRow(cpu);
    Row wakes =
        summaryRow("7. Idle " + span + " connected: wake-ups of the tool's threads", wakeUps, 0);
    wakes.limit = "0";
    wakes.met = worst(wakeUps) == 0;
    wakes.note = woke.empty() ? "voluntary context switches of every thread, from /proc"
                              : "by thread:" + woke;
    printRow(wakes);
}

Options parse(int argc, char** argv) {
    Options o;
    o.mode = argc > 1 ? argv[1] : "";
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        const std::string value = argv[i + 1];
        if (key == "--runs")
            o.runs = std::stoi(value);
        else if (key == "--platform")
            o.platform = value;
        else if (key == "--commands")
            o.commands = std::stoi(value);
        else if (key == "--seconds")
            o.seconds = std::stoi(value);
    }
    if (o.runs <= 0)
        o.runs = o.mode == "startup" ? 10 : 3;
    return o;
}

} // namespace

int main(int argc, char** argv) {
    const Options options = parse(argc, argv);
    std::string home = (std::filesystem::temp_directory_path() / "dx400-bench-XXXXXX").string();
    if (!::mkdtemp(home.data()))
        return 2;
    ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
    // The tool child probes COM1 to COM10 at start-up: every port but the simulator's
    // points at a path that does not exist, never at the machine's own serial devices.
    const std::filesystem::path ports = std::filesystem::path(home) / "dx400" / "ports";
    std::filesystem::create_directories(ports);
    for (int n = 1; n <= 10; ++n) {
        if (n != 4)
            std::filesystem::create_symlink("/nonexistent/dx400-bench-port",
                                            ports / ("COM" + std::to_string(n)));
    }
    int status = 0;
    try {
        dx400::sim::PtyServer drive(4);
        drive.start();
        if (options.mode == "startup")
            startup(options);
        else if (options.mode == "memory")
            memory(options);
        else if (options.mode == "idle")
            idle(options);
        else
            throw std::runtime_error("usage: dx400_process_bench startup|memory|idle [options]");
    } catch (const std::exception& error) {
        std::cerr << "process bench: " << error.what() << std::endl;
        status = 2;
    }
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return status;
}
