#include "sim_fixture.h"

#include "link/qt_serial_port.h"
#include "pty_port.h"
#include "sim/traffic_log.h"
#include "window_fixture.h"

#include <QDeadlineTimer>
#include <QFile>

namespace dx400::e2e {

namespace {

std::vector<LineFrame> framesOfKind(const sim::PtyServer& server, sim::LogKind kind) {
    std::vector<LineFrame> frames;
    for (const sim::LogEntry& entry : server.log()) {
        if (entry.kind == kind)
            frames.push_back({entry.timeUs, QString::fromStdString(sim::toHex(entry.bytes))});
    }
    return frames;
}

} // namespace

SimFixture::SimFixture(const sim::Faults& faults) {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    test::linkPortsToNothing(4);
    m_sim = std::make_unique<sim::PtyServer>(4, faults);
    m_sim->start();
    m_window = std::make_unique<Form1>(std::make_unique<QtSerialPort>());
    m_messages = std::make_unique<test::MessageCatcher>();
}

SimFixture::~SimFixture() {
    m_window.reset(); // releases the port before the drive goes away
    m_sim->stop();
    qunsetenv("XDG_CONFIG_HOME");
}

bool SimFixture::connect() {
    click("통신연결버튼");
    // While nobody holds the line the drive looks at it only every 20 ms; a first frame
    // sent before it noticed the open line would reach it late and skew measured gaps.
    QTest::qWait(60);
    return m_window->serialPort().isOpen();
}

void SimFixture::click(const char* name) {
    test::click(*m_window, name);
}

void SimFixture::setText(const char* name, const QString& text) {
    test::control<QLineEdit>(*m_window, name)->setText(text);
}

QString SimFixture::text(const char* name) const {
    return test::control<QLineEdit>(*m_window, name)->text();
}

QString SimFixture::colour(const char* name) const {
    return test::colourName(*m_window, name);
}

bool SimFixture::send(const char* name) {
    const std::size_t before = m_sim->counts().repliesSent;
    click(name);
    return waitUntil([&] {
        return m_sim->counts().repliesSent > before && text("rx_txt").size() >= 40 &&
               m_window->readState() == 0;
    });
}

bool SimFixture::waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    // Looks every millisecond: QTest::qWaitFor sleeps 10 ms between looks, which would
    // make a run of a thousand commands take half a minute.
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(1);
    }
    return true;
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

std::vector<LineFrame> SimFixture::replies() const {
    return framesOfKind(*m_sim, sim::LogKind::Tx);
}

std::string SimFixture::trafficText() const {
    std::string text;
    for (const sim::LogEntry& entry : m_sim->log())
        text += sim::formatLogLine(entry) + '\n';
    return text;
}

void SimFixture::replaceDrive() {
    m_sim->stop();
    m_sim = std::make_unique<sim::PtyServer>(4);
    m_sim->start();
}

} // namespace dx400::e2e
