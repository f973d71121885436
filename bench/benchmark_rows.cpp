#include "benchmark_rows.h"

#include <iostream>

namespace dx400::bench {

RepetitionCollector::RepetitionCollector() {
    SetOutputStream(&std::cerr);
    SetErrorStream(&std::cerr);
}

void RepetitionCollector::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        if (run.run_type == Run::RT_Iteration)
            times[run.benchmark_name()].push_back(run.GetAdjustedRealTime());
    }
    ConsoleReporter::ReportRuns(runs);
}

RepetitionCollector& runBenchmarks(int& argc, char** argv) {
    static RepetitionCollector collector;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks(&collector);
    return collector;
}

} // namespace dx400::bench
