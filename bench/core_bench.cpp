// Figure 8: the window-free core of one command and one reply, in nanoseconds.
//   frame: fillTxBuffer + echoText, what protocol() does before writing
//   reply: receiveBytes + rxHexFrom + dispatchReply over one 10-byte position reply
// Google Benchmark runs each with repetitions; the console report goes to stderr and the
// median and worst repetition to stdout as table rows.
#include "bench_report.h"
#include "benchmark_rows.h"
#include "protocol/command_frame.h"
#include "protocol/hex_echo.h"
#include "protocol/reply_dispatch.h"
#include "protocol/reply_reception.h"

#include <benchmark/benchmark.h>
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
        const std::string_view head = std::string_view(received.echo)
                                          .substr(0, std::min(received.echo.size(), kRxHeadLength));
        std::string hex = rxHexFrom(head);
        ReplyAction action = dispatchReply(received.rxCmd, read_state::kPosition, hex, head);
        benchmark::DoNotOptimize(action.valueText.data());
    }
}
BENCHMARK(replyHandling)->Name("one 10-byte reply handled");

} // namespace

int main(int argc, char** argv) {
    const auto& collector = dx400::bench::runBenchmarks(argc, argv);
    for (const auto& [name, samples] : collector.times) {
        dx400::bench::Row row;
        row.figure = "8. Core: " + name + " (ns)";
        row.median = dx400::bench::fixed(dx400::bench::median(samples), 1);
        row.worst = dx400::bench::fixed(dx400::bench::worst(samples), 1);
        row.runs = samples.size();
        row.hasGoal = false;
        row.note = "each run is the mean of many iterations";
        dx400::bench::printRow(row);
    }
    benchmark::Shutdown();
    return 0;
}
