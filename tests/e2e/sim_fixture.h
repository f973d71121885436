#pragma once

#include "app/form1.h"
#include "message_catcher.h"
#include "sim/pty_server.h"
#include "window_fixture.h"

#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dx400::e2e {

// One frame the simulated drive received or wrote, with its CLOCK_MONOTONIC time.
struct LineFrame {
    std::int64_t timeUs = 0;
    QString hex; // upper-case pairs, e.g. "AA 00 06 01 00 00 00 00 EE 07"
};

// The real window on a real serial port, talking to a simulated drive in this process:
//
//   SimFixture f;               // drive on COM4 under a fresh XDG_CONFIG_HOME, window built
//   ASSERT_TRUE(f.connect());   // default choices: COM4 at 19200
//   f.click("Cmd_RPOS");
//   ASSERT_TRUE(f.waitUntil([&] { return f.window().readState() == 0; }));
//
// Every modal message box is closed at once and its text kept. Replies reach the window
// only while the event loop runs, so every wait runs it until its condition holds or
// 3 s pass, far above what any step needs. The fixture sets XDG_CONFIG_HOME for the
// whole process, so only one may live at a time; every port but COM4 stands for nothing.
class SimFixture {
public:
    explicit SimFixture(const sim::Faults& faults = {});
    ~SimFixture();

    sim::PtyServer& sim() { return *m_sim; }
    Form1& window() { return *m_window; }
    QStringList messages() const { return m_messages->texts; }

    // Clicks "통신 연결" with the choices the window starts with; true when connected.
    bool connect();
    void click(const char* name);
    void setText(const char* name, const QString& text);
    QString text(const char* name) const; // of a text box
    QString colour(const char* name) const;

    // Clicks a button that sends one frame and waits until the drive has answered it and
    // the window has read the whole answer.
    bool send(const char* name);
    bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 3000);

    std::vector<LineFrame> received() const; // valid command frames, in order
    QStringList receivedHex() const;
    std::vector<LineFrame> replies() const; // reply writes, in order
    std::string trafficText() const;        // the drive's whole log, for failure messages

    // Replaces a drive that hung up by a new, healthy one on COM4.
    void replaceDrive();

private:
    QTemporaryDir m_config;
    std::unique_ptr<sim::PtyServer> m_sim;
    std::unique_ptr<Form1> m_window;
    std::unique_ptr<test::MessageCatcher> m_messages;
};

} // namespace dx400::e2e
