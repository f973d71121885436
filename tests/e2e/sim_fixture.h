#pragma once

#include "link/qt_serial_port.h"
#include "port_links.h"
#include "sim/pty_server.h"
#include "sim/traffic_log.h"
#include "window_fixture.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>

namespace dx400::e2e {

// The real window on a real serial port, talking to a simulated drive on a thread of this
// process, published as COM4 under a fresh XDG_CONFIG_HOME (every other port stands for
// nothing); one at a time. Message boxes are closed at once and their texts kept. Every
// wait runs the event loop, which replies need, until its condition holds or 3 s pass.
struct SimFixture {
    QTemporaryDir config;
    std::unique_ptr<sim::PtyServer> drive;
    std::unique_ptr<Form1> window;
    test::MessageCatcher messages;

    explicit SimFixture(const sim::Faults& faults = {}, const sim::LineSettings& line = {}) {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        test::linkPortsToNothing(4);
        drive = std::make_unique<sim::PtyServer>(4, faults, sim::Inputs{}, line);
        drive->start();
        window = std::make_unique<Form1>(std::make_unique<QtSerialPort>());
    }
    ~SimFixture() {
        window.reset(); // releases the port before the drive goes away
        drive->stop();
    }

    bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 3000) {
        // Looks every millisecond: QTest::qWaitFor sleeps 10 ms between looks.
        const QDeadlineTimer deadline(timeoutMs);
        while (!condition() && !deadline.hasExpired())
            QTest::qWait(1);
        return condition();
    }
    // Clicks "통신 연결" with the choices the window starts with; true when connected.
    bool connect() {
        test::click(*window, "통신연결버튼");
        // While nobody holds the line the drive looks at it only every 20 ms; a first frame
        // sent before it noticed the open line would reach it late and skew measured gaps.
        QTest::qWait(60);
        return window->serialPort().isOpen();
    }
    void click(const char* name) { test::click(*window, name); }
    // Clicks a button that sends one frame and waits until the drive has answered it and
    // the window has read and handled the whole answer.
    bool send(const char* name) {
        const std::size_t before = drive->counts().repliesSent;
        click(name);
        return waitUntil([&] {
            return drive->counts().repliesSent > before && text("rx_txt").size() >= 40 &&
                   window->readState() == 0;
        });
    }
    void setText(const char* name, const QString& text) {
        test::control<QLineEdit>(*window, name)->setText(text);
    }
    QString text(const char* name) const { return test::control<QLineEdit>(*window, name)->text(); }
    QString colour(const char* name) const { return test::colourName(*window, name); }

    // The frames of one kind on the line (Rx: valid command frames; Tx: reply writes),
    // as "AA 00 06 ..." with their CLOCK_MONOTONIC times in microseconds.
    std::vector<std::pair<std::int64_t, QString>> frames(sim::LogKind kind) const {
        std::vector<std::pair<std::int64_t, QString>> found;
        for (const sim::LogEntry& entry : drive->log())
            if (entry.kind == kind)
                found.emplace_back(entry.timeUs, QString::fromStdString(sim::toHex(entry.bytes)));
        return found;
    }
    QStringList receivedHex() const {
        QStringList hex;
        for (const auto& frame : frames(sim::LogKind::Rx))
            hex << frame.second;
        return hex;
    }
    std::string trafficText() const { // the drive's whole log, for failure messages
        std::string text;
        for (const sim::LogEntry& entry : drive->log())
            text += sim::formatLogLine(entry) + '\n';
        return text;
    }
};

} // namespace dx400::e2e
