// Figures 1 to 3: the real window on QtSerialPort, connected to the drive simulator that
// runs in this process on a pseudo-terminal published as COM4. Both sides stamp with
// CLOCK_MONOTONIC, so a click timed here and a frame logged by the simulator compare.
//   1. click to wire: from QTest::mouseClick to the simulator's RX stamp of the frame
//   2. READ ALL: from the click until the window awaits nothing again (sixth box filled
//      and its pause over), against the floor worked out from the same run
//   3. WRITE ALL pacing: the gaps between the six RX stamps
#include "app/app_look.h"
#include "app/form1.h"
#include "bench_report.h"
#include "bench_window.h"
#include "link/qt_serial_port.h"
#include "pty_transfer.h"
#include "sim/pty_server.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <thread>

namespace {

using namespace dx400;
using namespace dx400::bench;
using namespace std::chrono_literals;

constexpr double kPauseUs = 100'000;
constexpr int kReadAllFrames = 6;
constexpr double kRequestBytes = 12;
constexpr double kReplyBytes = 10;
constexpr double kLineUsPerByte = 10.0 * 1e6 / 19200; // 10 bits per byte at 19200 baud

struct Options {
    int clicks = 30;   // rounds over the single-frame buttons
    int readAll = 15;  // READ ALL runs
    int writeAll = 15; // WRITE ALL runs
};

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const int value = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--clicks"))
            options.clicks = value;
        else if (!std::strcmp(argv[i], "--read-all"))
            options.readAll = value;
        else if (!std::strcmp(argv[i], "--write-all"))
            options.writeAll = value;
    }
    return options;
}

class WireBench {
public:
    WireBench(sim::PtyServer& drive, Form1& window)
        : m_drive(drive), m_window(window), m_rx(lineEdit(window, "rx_txt")) {}

    // One click of a button that sends one frame; returns click to wire in µs.
    double clickOnce(const char* name) {
        const std::size_t from = m_drive.log().size();
        const std::int64_t start = click(name);
        const std::vector<sim::LogEntry> rx = entries(from, sim::LogKind::Rx, 1);
        settle(40);
        return static_cast<double>(rx.front().timeUs - start);
    }

    struct ReadAllRun {
        double clickToWireUs, elapsedUs, turnaroundUs;
    };
    ReadAllRun readAll() {
        const std::size_t from = m_drive.log().size();
        const std::int64_t start = click("cmd_RData");
        if (!pumpUntil([this] { return m_window.readState() == 0; }, 5000))
            throw std::runtime_error("READ ALL did not finish");
        const std::int64_t end = monotonicMicros();
        settle(40);
        const auto rx = entries(from, sim::LogKind::Rx, kReadAllFrames);
        const auto tx = entries(from, sim::LogKind::Tx, kReadAllFrames);
        double turnaround = 0;
        for (int i = 0; i < kReadAllFrames; ++i)
            turnaround += static_cast<double>(tx[i].timeUs - rx[i].timeUs);
        return {static_cast<double>(rx.front().timeUs - start), static_cast<double>(end - start),
                turnaround};
    }

    struct WriteAllRun {
        double clickToWireUs;
        std::vector<double> gapsUs;
    };
    WriteAllRun writeAll() {
        const std::size_t from = m_drive.log().size();
        const std::int64_t start = click("cmd_Data");
        const auto rx = entries(from, sim::LogKind::Rx, kReadAllFrames);
        settle(40 * kReadAllFrames);
        WriteAllRun run{static_cast<double>(rx.front().timeUs - start), {}};
        for (std::size_t i = 1; i < rx.size(); ++i)
            run.gapsUs.push_back(static_cast<double>(rx[i].timeUs - rx[i - 1].timeUs));
        return run;
    }

private:
    std::int64_t click(const char* name) {
        QPushButton* target = button(m_window, name);
        const std::int64_t start = monotonicMicros();
        QTest::mouseClick(target, Qt::LeftButton);
        return start;
    }

    // The first `count` log entries of this kind from index `from` on, waiting for them.
    std::vector<sim::LogEntry> entries(std::size_t from, sim::LogKind kind, std::size_t count) {
        std::vector<sim::LogEntry> found;
        const auto deadline = std::chrono::steady_clock::now() + 3s;
        while (std::chrono::steady_clock::now() < deadline) {
            found.clear();
            const std::vector<sim::LogEntry> log = m_drive.log();
            for (std::size_t i = from; i < log.size() && found.size() < count; ++i) {
                if (log[i].kind == kind)
                    found.push_back(log[i]);
            }
            if (found.size() == count)
                return found;
            std::this_thread::sleep_for(1ms);
        }
        throw std::runtime_error("the simulator did not log the expected frames");
    }

    // Waits until the simulator has answered every frame and the window has read the
    // replies (at least `rxChars` echo characters) and awaits none.
    void settle(qsizetype rxChars) {
        m_drive.waitFor(
            [](const sim::TrafficCounts& c) { return c.repliesSent >= c.framesReceived; }, 2s);
        if (!pumpUntil(
                [&] {
                    return m_window.readState() == 0 && m_rx->text().size() >= rxChars &&
                           m_window.serialPort().inBufferCount() == 0;
                },
                3000))
            throw std::runtime_error("the window did not settle after a frame");
    }

    sim::PtyServer& m_drive;
    Form1& m_window;
    QLineEdit* m_rx;
};

Row clickRow(const std::string& caption, const std::vector<double>& us) {
    Row row = summaryRow("1. Click to wire: " + caption + " (µs)", us, 0);
    row.limit = "median < 1000 µs";
    row.ratio = fixed(median(us) / 1000, 3);
    row.met = median(us) < 1000;
    return row;
}

Row infoRow(const std::string& figure, const std::vector<double>& samples, double scale,
            int decimals, const std::string& note) {
    Row row = summaryRow(figure, samples, decimals, scale);
    row.hasGoal = false;
    row.note = note;
    return row;
}

int run(const Options& options) {
    sim::PtyServer drive(4);
    drive.start();
    Form1 window(std::make_unique<QtSerialPort>());
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        throw std::runtime_error("the window was not shown");
    MessageCloser messages;
    QTest::mouseClick(button(window, "통신연결버튼"), Qt::LeftButton);
    if (!window.serialPort().isOpen())
        throw std::runtime_error("the window did not connect to COM4");
    WireBench bench(drive, window);

    const std::pair<const char*, const char*> single[] = {{"Cmd_RPOS", "READ POSITION"},
                                                          {"CMD_CUR", "절대이동"},
                                                          {"CMD_CUR_R", "증분이동"},
                                                          {"CMD_IN", "입력"},
                                                          {"CMD_OUT", "출력"},
                                                          {"cmd_ROL", "ROL"},
                                                          {"cmd_ROR", "ROR"},
                                                          {"mtr_STOP", "STOP"}};
    std::map<std::string, std::vector<double>> clicks;
    for (int round = 0; round < options.clicks; ++round) {
        for (const auto& [name, caption] : single)
            clicks[caption].push_back(bench.clickOnce(name));
    }

    std::vector<double> readAllWire, elapsed, turnaround;
    for (int i = 0; i < options.readAll; ++i) {
        const auto r = bench.readAll();
        readAllWire.push_back(r.clickToWireUs);
        elapsed.push_back(r.elapsedUs);
        turnaround.push_back(r.turnaroundUs);
    }
    std::vector<double> writeAllWire, gaps;
    for (int i = 0; i < options.writeAll; ++i) {
        const auto r = bench.writeAll();
        writeAllWire.push_back(r.clickToWireUs);
        gaps.insert(gaps.end(), r.gapsUs.begin(), r.gapsUs.end());
    }
    // Measured in the same run, right after the clicks.
    const PtyTransfer transfer = measurePtyTransfer(200);
    const double requestUs = median(transfer.requestUs);
    const double replyUs = median(transfer.replyUs);

    printRow(clickRow("WRITE ALL, first frame", writeAllWire));
    printRow(clickRow("READ ALL, first request", readAllWire));
    for (const auto& [name, caption] : single)
        printRow(clickRow(caption, clicks[caption]));

    std::vector<double> ratios, floors, overheads;
    for (std::size_t i = 0; i < elapsed.size(); ++i) {
        const double floorUs = kReadAllFrames * (kPauseUs + requestUs + replyUs) + turnaround[i];
        floors.push_back(floorUs);
        ratios.push_back(elapsed[i] / floorUs);
        overheads.push_back(elapsed[i] - floorUs);
    }
    Row readAll = summaryRow("2. READ ALL: click to sixth box filled (ms)", elapsed, 2, 1.0 / 1000);
    readAll.limit =
        "≤ 1.03 × floor on the pty (floor median " + fixed(median(floors) / 1000, 2) + " ms)";
    readAll.ratio = fixed(median(ratios), 4) + " (worst " + fixed(worst(ratios), 4) + ")";
    readAll.met = worst(ratios) <= 1.03;
    readAll.note = "tool's own share over the floor: median " + fixed(median(overheads) / 1000, 2) +
                   " ms, worst " + fixed(worst(overheads) / 1000, 2) + " ms";
    printRow(readAll);
    printRow(infoRow("2. Floor on the pty: 6 × (100 ms + request + reply transfer) + "
                     "turnarounds (ms)",
                     floors, 1e-3, 2, "the figure above is held against this, run by run"));
    std::vector<double> lineFloors;
    for (double t : turnaround)
        lineFloors.push_back(
            kReadAllFrames * (kPauseUs + (kRequestBytes + kReplyBytes) * kLineUsPerByte) + t);
    printRow(infoRow("2. Floor on a real 19200 baud line: 6 × (100 ms + 22 bytes × 520.8 µs) + "
                     "turnarounds (ms)",
                     lineFloors, 1e-3, 2, "what a real line would add; not held against the pty"));
    printRow(infoRow("2. Simulator turnaround, RX to TX, sum of six (µs)", turnaround, 1, 0, ""));
    printRow(infoRow("2. Pty transfer of a 12-byte request (µs)", transfer.requestUs, 1, 1,
                     "the floor uses the median"));
    printRow(infoRow("2. Pty transfer of a 10-byte reply (µs)", transfer.replyUs, 1, 1,
                     "the floor uses the median"));

    Row pacing =
        summaryRow("3. WRITE ALL: gap between frames on the wire (ms)", gaps, 3, 1.0 / 1000);
    pacing.limit = "every gap within 100 to 105 ms";
    pacing.ratio = fixed(worst(gaps) / 105'000, 4);
    pacing.met = smallest(gaps) >= 100'000 && worst(gaps) <= 105'000;
    pacing.note = "smallest " + fixed(smallest(gaps) / 1000, 3) + " ms; " +
                  std::to_string(options.writeAll) + " runs of five gaps";
    printRow(pacing);

    if (messages.count() > 0)
        std::cerr << messages.count() << " message boxes were shown and closed" << std::endl;
    return messages.count() == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    try {
        TempConfigHome home(4);
        QApplication app(argc, argv);
        applyApplicationLook(app);
        return run(parseOptions(argc, argv));
    } catch (const std::exception& error) {
        std::cerr << "wire bench: " << error.what() << std::endl;
        return 2;
    }
}
