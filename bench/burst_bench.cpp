// Figure 6: 1 MiB of valid reply frames arriving as fast as the pseudo-terminal carries
// them, into the real window on QtSerialPort. Nothing is sent meanwhile, so the receive
// box grows with every byte, as designed. Measured:
//   - the whole burst: from the first byte written to the last echo character in the box
//   - the longest event-loop stall, seen by a 1 ms timer
//   - each receive event: the window's comm handler is re-connected to a wrapper that times
//     the same MSC_OnComm call, with the bytes waiting and the box size at its start
#include "app/app_look.h"
#include "app/form1.h"
#include "bench_report.h"
#include "bench_window.h"
#include "burst_feeder.h"
#include "link/qt_serial_port.h"
#include "pty_line.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace {

using namespace dx400;
using namespace dx400::bench;

constexpr std::size_t kBurstBytes = 1 << 20;
constexpr std::size_t kFrames = (kBurstBytes + 9) / 10; // 1 MiB rounded up to whole frames
constexpr int kTimeoutMs = 30'000;

struct Event {
    double before = 0;   // bytes of the burst read by earlier events
    double bytes = 0;    // waiting when the handler started
    double boxChars = 0; // in the receive box when the handler started
    double us = 0;       // time in MSC_OnComm
};

struct Burst {
    bool finished = false;
    double totalMs = 0;
    double longestStallMs = 0;
    double boxChars = 0; // in the receive box at the end
    std::vector<Event> events;
};

// Least squares fit of cost = a + b·bytes + c·boxChars; returns {a, b, c}.
std::array<double, 3> fitCost(const std::vector<Event>& events) {
    double m[3][4] = {};
    for (const Event& e : events) {
        const double x[3] = {1, e.bytes, e.boxChars};
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j)
                m[i][j] += x[i] * x[j];
            m[i][3] += x[i] * e.us;
        }
    }
    for (int col = 0; col < 3; ++col) { // Gauss-Jordan with partial pivoting
        int pivot = col;
        for (int r = col + 1; r < 3; ++r)
            if (std::abs(m[r][col]) > std::abs(m[pivot][col]))
                pivot = r;
        std::swap(m[col], m[pivot]);
        if (m[col][col] == 0)
            return {0, 0, 0};
        for (int r = 0; r < 3; ++r) {
            if (r == col)
                continue;
            const double f = m[r][col] / m[col][col];
            for (int k = col; k < 4; ++k)
                m[r][k] -= f * m[col][k];
        }
    }
    return {m[0][3] / m[0][0], m[1][3] / m[1][1], m[2][3] / m[2][2]};
}

// Median time per byte of the events that started between lo and hi of the burst.
double perByte(const std::vector<Event>& events, double lo, double hi) {
    const double total = static_cast<double>(kFrames * 10);
    std::vector<double> costs;
    for (const Event& e : events) {
        if (e.bytes > 0 && e.before >= lo * total && e.before < hi * total)
            costs.push_back(e.us / e.bytes);
    }
    return median(costs);
}

class BurstBench {
public:
    BurstBench(Form1& window, PtyLine& line)
        : m_window(window), m_line(line), m_rx(lineEdit(window, "rx_txt")) {
        SerialPort& port = window.serialPort();
        if (!QObject::disconnect(&port, &SerialPort::comm, &window, nullptr))
            throw std::runtime_error("cannot re-connect the comm handler");
        QObject::connect(&port, &SerialPort::comm, &window, [this, &port] {
            const int waiting = port.inBufferCount();
            Event e{static_cast<double>(m_consumed), static_cast<double>(waiting),
                    static_cast<double>(m_rx->text().size()), 0};
            const std::int64_t start = monotonicMicros();
            m_window.MSC_OnComm();
            e.us = static_cast<double>(monotonicMicros() - start);
            // A receive event reads exactly the bytes waiting at its start; more may
            // arrive while it runs, for the next event.
            if (port.commEvent() == CommEvent::Receive)
                m_consumed += waiting;
            m_events.push_back(e);
        });
    }

    Burst run() {
        m_events.clear();
        m_consumed = 0;
        const qint64 expected = static_cast<qint64>(kFrames * 10);
        QTimer probe;
        probe.setTimerType(Qt::PreciseTimer);
        std::int64_t lastTick = 0;
        std::int64_t longest = 0;
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const std::int64_t now = monotonicMicros();
            if (lastTick)
                longest = std::max(longest, now - lastTick);
            lastTick = now;
        });
        probe.start(1);
        // What the tool has taken off the line: read by its receive events, or read by the
        // port and waiting for the next one.
        BurstFeeder feeder(m_line.master(), replyFrames(kFrames),
                           [this] { return m_consumed + m_window.serialPort().inBufferCount(); });
        feeder.start();
        Burst burst;
        burst.finished = pumpUntil([&] { return m_consumed >= expected; }, kTimeoutMs);
        const std::int64_t done = monotonicMicros();
        probe.stop();
        feeder.stop();
        burst.totalMs = static_cast<double>(done - feeder.startedUs()) / 1000;
        burst.longestStallMs = static_cast<double>(longest) / 1000;
        burst.events = m_events;
        burst.boxChars = static_cast<double>(m_rx->text().size());
        return burst;
    }

    // Sends a frame (STOP), which empties the box, and lets the line go quiet.
    void reset() {
        pumpUntil([] { return false; }, 200);
        button(m_window, "mtr_STOP")->click();
        m_line.drain();
        pumpUntil([this] { return m_rx->text().isEmpty(); }, 1000);
    }

private:
    Form1& m_window;
    PtyLine& m_line;
    QLineEdit* m_rx;
    std::vector<Event> m_events;
    qint64 m_consumed = 0;
};

Row row(const std::string& figure, const std::vector<double>& samples, int decimals,
        const std::string& limit, double bound, const std::string& note) {
    Row r = summaryRow(figure, samples, decimals);
    r.limit = limit;
    r.ratio = fixed(worst(samples) / bound, 3);
    r.met = worst(samples) < bound;
    r.note = note;
    return r;
}

int run(int runs) {
    PtyLine line(4);
    Form1 window(std::make_unique<QtSerialPort>());
    window.show();
    pumpUntil([&] { return window.isVisible(); }, 1000);
    MessageCloser messages;
    button(window, "통신연결버튼")->click();
    if (!window.serialPort().isOpen())
        throw std::runtime_error("the window did not connect to COM4");
    BurstBench bench(window, line);

    std::vector<double> totals, stalls, slopes, boxChars, eventCounts, eventBytes;
    bool allFinished = true;
    for (int i = 0; i < runs; ++i) {
        const Burst burst = bench.run();
        totals.push_back(burst.totalMs);
        stalls.push_back(burst.longestStallMs);
        const double early = perByte(burst.events, 0, 0.25);
        const double late = perByte(burst.events, 0.75, 2);
        slopes.push_back(early > 0 ? late / early : 0);
        const auto fit = fitCost(burst.events);
        std::vector<double> costs;
        std::vector<double> sizes;
        for (const Event& e : burst.events) {
            costs.push_back(e.us);
            sizes.push_back(e.bytes);
        }
        boxChars.push_back(burst.boxChars);
        eventCounts.push_back(static_cast<double>(burst.events.size()));
        eventBytes.push_back(median(sizes));
        std::cerr << "burst " << i + 1 << ": " << (burst.finished ? "done" : "NOT DONE") << " in "
                  << burst.totalMs << " ms, " << burst.events.size() << " events, stall "
                  << burst.longestStallMs << " ms, per-byte late/early " << slopes.back()
                  << ", fit a=" << fit[0] << " µs b=" << fit[1] << " µs/byte c=" << fit[2]
                  << " µs/char, median event " << median(costs) << " µs, box " << burst.boxChars
                  << " chars" << std::endl;
        if (!burst.finished) {
            allFinished = false;
            break; // the line is still full; a further run would measure the backlog
        }
        bench.reset();
    }
    const std::string unfinished =
        allFinished ? "" : "a burst was not handled within 30 s; the runs stopped there";
    printRow(row("6. Burst: 1 MiB of reply frames handled (ms)", totals, 0, "< 2000 ms", 2000,
                 allFinished ? fixed(median(eventCounts), 0) + " receive events per burst, " +
                                   fixed(median(eventBytes), 0) + " bytes in the median one"
                             : unfinished));
    printRow(row("6. Burst: longest event-loop stall (ms)", stalls, 1, "< 100 ms", 100, ""));
    printRow(row("6. Burst: cost per byte read, events late in the burst ÷ early ones", slopes, 2,
                 "≤ 1.5 (the cost follows the bytes read, not the box)", 1.5,
                 "early: first quarter of the burst, late: last quarter; the box held " +
                     fixed(median(boxChars), 0) + " characters at the end"));
    if (messages.count() > 0)
        std::cerr << messages.count() << " message boxes were shown and closed" << std::endl;
    return allFinished && messages.count() == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int runs = 3;
    for (int i = 1; i + 1 < argc; ++i) {
        if (!std::strcmp(argv[i], "--runs"))
            runs = std::atoi(argv[i + 1]);
    }
    try {
        TempConfigHome home(4);
        QApplication app(argc, argv);
        applyApplicationLook(app);
        return run(runs);
    } catch (const std::exception& error) {
        std::cerr << "burst bench: " << error.what() << std::endl;
        return 2;
    }
}
