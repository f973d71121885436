// Figure 6, the receive box on its own: what one receive event's echo costs the box as it
// fills. An event of the 1 MiB burst reads about 4000 bytes, 16,000 echo characters. Each
// iteration appends four such pieces to a box that already holds N characters and repaints
// it after each, as the event loop would; the time is per event. Compared:
//   QLineEdit       the box before the fix, appended with setText(text() + piece)
//   ReceiveEchoBox  the box now, appended with append(piece)
#include "app/app_look.h"
#include "app/receive_echo_box.h"
#include "bench_report.h"
#include "benchmark_rows.h"

#include <QApplication>
#include <QLineEdit>
#include <QWindow>
#include <iostream>
#include <limits>

namespace {

using namespace dx400;

constexpr int kEventsPerIteration = 4;
constexpr qsizetype kPieceChars = 16'000;

const QString& piece() {
    static const QString text =
        QStringLiteral("BB  00  06  64  00  00  01  F4  EE  5F  ").repeated(kPieceChars / 40);
    return text;
}

// A box as rx_txt is: its font, its size, shown.
template <typename Box> std::unique_ptr<Box> makeBox() {
    auto box = std::make_unique<Box>();
    box->setFont(gulim(12, true));
    box->setMaxLength(std::numeric_limits<int>::max());
    box->resize(385, 41);
    box->show();
    // Painting only happens once the window is exposed.
    for (int i = 0; i < 100 && !(box->windowHandle() && box->windowHandle()->isExposed()); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents();
    return box;
}

// The box holding `chars` characters that nobody else shares, with room to grow as a box
// that has been growing for a while has.
QString held(qsizetype chars) {
    QString text;
    text.reserve(chars + kEventsPerIteration * kPieceChars);
    while (text.size() < chars)
        text += piece();
    text.truncate(chars);
    return text;
}

void appendEvent(QLineEdit& box) {
    box.setText(box.text() + piece());
}
void appendEvent(ReceiveEchoBox& box) {
    box.append(piece());
}

template <typename Box> void echoEvent(benchmark::State& state) {
    const auto box = makeBox<Box>();
    for (auto _ : state) {
        state.PauseTiming();
        box->setText(held(state.range(0)));
        box->repaint();
        state.ResumeTiming();
        for (int i = 0; i < kEventsPerIteration; ++i) {
            appendEvent(*box);
            box->repaint();
        }
    }
    state.SetItemsProcessed(state.iterations() * kEventsPerIteration);
    state.counters["per_event"] =
        benchmark::Counter(static_cast<double>(state.iterations() * kEventsPerIteration),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(echoEvent<QLineEdit>)
    ->Name("QLineEdit")
    ->Arg(16'000)
    ->Arg(512'000)
    ->Iterations(2)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(echoEvent<ReceiveEchoBox>)
    ->Name("ReceiveEchoBox")
    ->Arg(16'000)
    ->Arg(512'000)
    ->Arg(4'000'000)
    ->Iterations(20)
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    applyApplicationLook(app);
    auto& collector = bench::runBenchmarks(argc, argv);
    std::map<std::string, double> medians;
    std::map<std::string, std::size_t> runs;
    for (const auto& [name, samples] : collector.times) {
        // Times are per iteration of four events.
        std::vector<double> perEvent;
        for (double t : samples)
            perEvent.push_back(t / kEventsPerIteration);
        // "ReceiveEchoBox/16000/iterations:20"
        const auto slash = name.find('/');
        const std::string box = name.substr(0, slash);
        const std::string chars = name.substr(slash + 1, name.find('/', slash + 1) - slash - 1);
        medians[box + "/" + chars] = bench::median(perEvent);
        runs[box + "/" + chars] = perEvent.size();
        bench::Row row;
        row.figure = "6. Receive box alone: one event's echo appended and painted, " + box +
                     " holding " + chars + " characters (µs)";
        row.median = bench::fixed(bench::median(perEvent), 0);
        row.worst = bench::fixed(bench::worst(perEvent), 0);
        row.runs = perEvent.size();
        row.hasGoal = false;
        row.note = box == "QLineEdit" ? "the box before the fix" : "the box now";
        bench::printRow(row);
    }
    const double small = medians["ReceiveEchoBox/16000"];
    const double large = medians["ReceiveEchoBox/4000000"];
    if (small > 0) {
        bench::Row row;
        row.figure = "6. Receive box alone: ReceiveEchoBox event cost holding 4,000,000 ÷ "
                     "holding 16,000 characters";
        row.median = bench::fixed(large / small, 2);
        row.worst = "-";
        row.runs = runs["ReceiveEchoBox/4000000"];
        row.limit = "≤ 1.5 (the cost does not grow with what the box holds)";
        row.ratio = bench::fixed(large / small / 1.5, 3);
        row.met = large / small <= 1.5;
        row.note = "ratio of the medians";
        bench::printRow(row);
    }
    benchmark::Shutdown();
    return 0;
}
