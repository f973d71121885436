#include "bench_report.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <sstream>

namespace dx400::bench {

double median(std::vector<double> samples) {
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const std::size_t mid = samples.size() / 2;
    return samples.size() % 2 ? samples[mid] : (samples[mid - 1] + samples[mid]) / 2;
}

double worst(const std::vector<double>& samples) {
    return samples.empty() ? 0 : *std::max_element(samples.begin(), samples.end());
}

double smallest(const std::vector<double>& samples) {
    return samples.empty() ? 0 : *std::min_element(samples.begin(), samples.end());
}

std::string fixed(double value, int decimals) {
    std::ostringstream out;
    out.setf(std::ios::fixed);
    out.precision(decimals);
    out << value;
    return out.str();
}

Row summaryRow(const std::string& figure, const std::vector<double>& samples, int decimals,
               double scale) {
    Row row;
    row.figure = figure;
    row.median = fixed(median(samples) * scale, decimals);
    row.worst = fixed(worst(samples) * scale, decimals);
    row.runs = samples.size();
    return row;
}

void printRow(const Row& row) {
    std::cout << "| " << row.figure << " | " << row.median << " | " << row.worst << " | "
              << row.runs << " | " << row.limit << " | " << row.ratio << " | "
              << (!row.hasGoal ? "no goal"
                  : row.met    ? "met"
                               : "**missed**");
    if (!row.note.empty())
        std::cout << " (" << row.note << ")";
    std::cout << " |" << std::endl;
}

std::int64_t monotonicMicros() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1'000'000 + now.tv_nsec / 1'000;
}

long peakResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
        status.ignore(4096, '\n');
    }
    return 0;
}

} // namespace dx400::bench
