#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dx400::bench {

// Summaries of repeated measurements and the Markdown table rows that BENCHMARKS.md is
// made of. Every harness prints its rows on standard output; diagnostics go to stderr.

double median(std::vector<double> samples);
double worst(const std::vector<double>& samples); // the largest sample
double smallest(const std::vector<double>& samples);

// A number with a fixed count of decimals.
std::string fixed(double value, int decimals);

// One figure held against its limit. `ratio` is the held statistic divided by the
// limit (or the tool's value divided by the bare window's), `met` whether the goal holds.
struct Row {
    std::string figure;
    std::string median;
    std::string worst;
    std::size_t runs = 0;
    std::string limit = "none set";
    std::string ratio = "-";
    bool met = false;
    bool hasGoal = true; // false: the figure is reported without a goal
    std::string note;
};

// A row for `figure` with the median, worst case and count of `samples`, each sample
// multiplied by `scale` and shown with `decimals` decimals; limit and verdict still to set.
Row summaryRow(const std::string& figure, const std::vector<double>& samples, int decimals,
               double scale = 1);

// "| figure | median | worst | runs | limit | ratio | met |" with the note after the verdict.
void printRow(const Row& row);

// CLOCK_MONOTONIC in microseconds, the clock of the simulator's log.
std::int64_t monotonicMicros();

// Peak resident size of this process in KiB (VmHWM of /proc/self/status), 0 if unknown.
long peakResidentKiB();

} // namespace dx400::bench
