#include "sim_fixture.h"

#include "pty_port.h"

#include "app/app_look.h"
#include "app/circle_indicator.h"
#include "link/qt_serial_port.h"
#include "sim/sim_frame.h"
#include "sim/traffic_log.h"
#include "window_access.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace dx400::e2e {

namespace {

// How often the waits look at their condition while the event loop runs.
constexpr int kStepMs = 5;
// How long the line must have been quiet before settle() takes the window's input as
// read: bytes written to a pseudo-terminal reach the far end well within this.
constexpr std::int64_t kQuietUs = 30'000;
// Long enough for the drive to notice that the window opened the line.
constexpr int kLineNoticeMs = 60;

std::vector<LineFrame> framesOfKind(const sim::PtyServer& server, sim::LogKind kind) {
    std::vector<LineFrame> frames;
    for (const sim::LogEntry& entry : server.log()) {
        if (entry.kind == kind)
            frames.push_back({entry.timeUs, QString::fromStdString(sim::toHex(entry.bytes))});
    }
    return frames;
}

} // namespace

SimFixture::SimFixture(const sim::Faults& faults, const sim::Inputs& inputs) {
    // The drive publishes COM4 and the window looks it up under this folder.
    m_hadConfig = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    m_oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    test::linkPortsToNothing(4);
    m_sim = std::make_unique<sim::PtyServer>(4, faults, inputs);
    m_sim->start();
    m_window = std::make_unique<Form1>(std::make_unique<QtSerialPort>());
    m_messages = std::make_unique<test::MessageCatcher>();
}

SimFixture::~SimFixture() {
    m_window.reset(); // releases the port before the drive goes away
    m_messages.reset();
    m_sim->stop();
    if (m_hadConfig)
        qputenv("XDG_CONFIG_HOME", m_oldConfig);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

bool SimFixture::connect() {
    click("통신연결버튼");
    const bool connected =
        !test::control(*m_window, "통신연결버튼")->isEnabled() && m_window->serialPort().isOpen();
    // While nobody holds the line the drive looks at it only every 20 ms; a first frame
    // sent before it noticed the open line would reach it late and skew measured gaps.
    runFor(kLineNoticeMs);
    return connected;
}

void SimFixture::click(const char* name) {
    test::click(*m_window, name);
}

void SimFixture::setText(const char* name, const QString& text) {
    if (auto* box = test::control<QLineEdit>(*m_window, name))
        box->setText(text);
}

QString SimFixture::text(const char* name) const {
    const QWidget* widget = test::control(*m_window, name);
    if (const auto* box = qobject_cast<const QLineEdit*>(widget))
        return box->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    ADD_FAILURE() << name << " has no text";
    return {};
}

QString SimFixture::colour(const char* name) const {
    const QWidget* widget = test::control(*m_window, name);
    if (!widget)
        return {};
    const auto* indicator = qobject_cast<const CircleIndicator*>(widget);
    const QColor colour = indicator ? indicator->fillColour() : background(widget);
    return colour.name(QColor::HexRgb).toUpper();
}

bool SimFixture::waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() >= timeoutMs)
            return condition();
        QTest::qWait(kStepMs);
    }
    return true;
}

void SimFixture::runFor(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QTest::qWait(kStepMs);
}

bool SimFixture::waitForFrames(std::size_t count, int timeoutMs) {
    return waitUntil([&] { return m_sim->counts().framesReceived >= count; }, timeoutMs);
}

bool SimFixture::waitForReplies(std::size_t count, int timeoutMs) {
    return waitUntil([&] { return m_sim->counts().repliesSent >= count; }, timeoutMs);
}

bool SimFixture::settle(int timeoutMs) {
    return waitUntil(
        [&] {
            const sim::TrafficCounts counts = m_sim->counts();
            if (!m_sim->faults().noReply && counts.repliesSent < counts.framesReceived)
                return false;
            // Fewer bytes than the receive threshold stay waiting by design.
            const SerialPort& port = m_window->serialPort();
            if (port.inBufferCount() >= std::max(1, port.rThreshold()))
                return false;
            return sim::monotonicMicros() - lastWriteUs() >= kQuietUs;
        },
        timeoutMs);
}

std::vector<LineFrame> SimFixture::received() const {
    return framesOfKind(*m_sim, sim::LogKind::Rx);
}

QStringList SimFixture::receivedHex() const {
    QStringList hex;
    for (const LineFrame& frame : received())
        hex << frame.hex;
    return hex;
}

QString SimFixture::lastReceived() const {
    const std::vector<LineFrame> frames = received();
    return frames.empty() ? QString() : frames.back().hex;
}

std::vector<LineFrame> SimFixture::replies() const {
    return framesOfKind(*m_sim, sim::LogKind::Tx);
}

std::string SimFixture::trafficText() const {
    std::string text;
    for (const sim::LogEntry& entry : m_sim->log())
        text += sim::formatLogLine(entry) + '\n';
    return text;
}

std::int64_t SimFixture::lastWriteUs() const {
    std::int64_t last = 0;
    for (const sim::LogEntry& entry : m_sim->log()) {
        if (entry.kind == sim::LogKind::Tx || entry.kind == sim::LogKind::Noise)
            last = entry.timeUs;
    }
    return last;
}

} // namespace dx400::e2e
