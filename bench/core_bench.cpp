// Figure 8: the window-free core of one command (fillTxBuffer + echoText, what protocol()
// does before writing) and one 10-byte reply (receiveBytes + rxHexFrom + dispatchReply), in
// nanoseconds, with Google Benchmark's repetitions.
#include "bench.h"
#include "protocol/command_frame.h"
#include "protocol/hex_echo.h"
#include "protocol/reply_dispatch.h"
#include "protocol/reply_reception.h"

#include <benchmark/benchmark.h>
#include <iostream>
#include <map>
#include <span>

namespace {

using namespace dx400;

void frameWithEcho(benchmark::State& state) {
    TxBuffer buffer{};
    for (auto _ : state) {
        bool ok = fillTxBuffer(buffer, {command::kReadParameter, 8, 0, 0, 0, 0});
        std::string echo = echoText(std::span(buffer).first(kFrameLength));
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(echo.data());
    }
}
BENCHMARK(frameWithEcho)->Name("frame build with echo");

void replyHandling(benchmark::State& state) {
    const std::uint8_t reply[] = {0xBB, 0x00, 0x06, 0x64, 0x00, 0x00, 0x01, 0xF4, 0xEE, 0x5F};
    for (auto _ : state) {
        ReceivedBytes received = receiveBytes(reply);
        const std::string& echo = received.echoPieces.front();
        const std::string_view head =
            std::string_view(echo).substr(0, std::min(echo.size(), kRxHeadLength));
        ReplyAction action = dispatchReply(received.rxCmd, read_state::kPosition, head);
        benchmark::DoNotOptimize(action.valueText.data());
    }
}
BENCHMARK(replyHandling)->Name("one 10-byte reply handled");

// The console report goes to stderr; each repetition's time is kept, by benchmark name.
struct Collector : benchmark::ConsoleReporter {
    std::map<std::string, std::vector<double>> times;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration)
                times[run.benchmark_name()].push_back(run.GetAdjustedRealTime());
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv) {
    Collector collector;
    collector.SetOutputStream(&std::cerr);
    collector.SetErrorStream(&std::cerr);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();
    for (const auto& [name, samples] : collector.times)
        bench::summaryRow("8. Core: " + name + " (ns)", samples, 1)
            .print("each run is the mean of many iterations");
}
