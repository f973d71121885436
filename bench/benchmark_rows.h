#pragma once

#include <benchmark/benchmark.h>
#include <map>
#include <string>
#include <vector>

namespace dx400::bench {

// A Google Benchmark reporter that prints the usual console report on stderr and keeps
// the time of every repetition, in the benchmark's time unit, by benchmark name.
class RepetitionCollector : public benchmark::ConsoleReporter {
public:
    RepetitionCollector();
    std::map<std::string, std::vector<double>> times;

    void ReportRuns(const std::vector<Run>& runs) override;
};

// Runs the registered benchmarks with the collector and returns it.
RepetitionCollector& runBenchmarks(int& argc, char** argv);

} // namespace dx400::bench
