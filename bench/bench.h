#pragma once

// What every benchmark program shares: statistics, the Markdown table rows of
// BENCHMARKS.md (on standard output; diagnostics go to stderr), clocks, options,
// pseudo-terminals and a configuration folder. Plain C++ and POSIX, so that the bare
// window links none of the tool.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dx400::bench {

double median(std::vector<double> samples);
double worst(const std::vector<double>& samples); // the largest sample
double smallest(const std::vector<double>& samples);
std::string fixed(double value, int decimals);

// "| figure | median | worst | runs | limit | ratio | goal (note) |"; `met` is empty for a
// figure reported without a goal.
struct Row {
    std::string figure{}, median{}, worst{};
    std::size_t runs = 0;
    std::string limit = "none set", ratio = "-";
    std::optional<bool> met{};

    Row& goal(std::string limitText, std::string ratioText, bool goalMet) {
        limit = std::move(limitText);
        ratio = std::move(ratioText);
        met = goalMet;
        return *this;
    }
    void print(const std::string& note = "") const;
};

// The median, worst case and count of `samples`, each multiplied by `scale` and shown with
// `decimals` decimals, without a goal until goal() sets one.
Row summaryRow(const std::string& figure, const std::vector<double>& samples, int decimals,
               double scale = 1);

// CLOCK_MONOTONIC in microseconds, the clock of the simulator's log.
std::int64_t monotonicMicros();
// The number after `key` ("VmHWM:") in a /proc status file, 0 if there is none.
long statusValue(const std::string& path, const std::string& key);
inline long peakResidentKiB() {
    return statusValue("/proc/self/status", "VmHWM:");
}

// The value after `name` on the command line ("--runs 3"), or `fallback`.
std::string option(int argc, char** argv, const std::string& name, const std::string& fallback);
int option(int argc, char** argv, const std::string& name, int fallback);

// A raw pseudo-terminal, which echoes and translates nothing; `name` is the slave's device.
struct RawPty {
    int master = -1, slave = -1;
    std::string name;
};
RawPty openRawPty();

// A fresh $XDG_CONFIG_HOME for this process and its children, removed at the end, so that
// the benchmark's port links never meet the operator's own. Every port COM1 to COM10 but
// `used` is linked to a path that does not exist: the window probes all ten at start-up
// and must never open the machine's own serial devices (/dev/ttyS0 is often its console).
class ConfigHome {
public:
    explicit ConfigHome(int used);
    ~ConfigHome();
    ConfigHome(const ConfigHome&) = delete;
    ConfigHome& operator=(const ConfigHome&) = delete;
    void linkPort(int n, const std::string& device) const; // makes COMn that device

private:
    std::string m_path;
};

} // namespace dx400::bench
