#pragma once

#include "app/form1.h"
#include "message_catcher.h"
#include "qstring_printer.h"
#include "sim/pty_server.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace dx400::e2e {

// One write seen on the line by the simulated drive, with its CLOCK_MONOTONIC time.
struct LineFrame {
    std::int64_t timeUs = 0;
    QString hex; // upper-case pairs, e.g. "AA 00 06 01 00 00 00 00 EE 07"
};

// How long the waits give a condition by default: far above what any step needs, so
// that a slow shared machine never fails a test, yet a broken step ends the test soon.
inline constexpr int kWaitMs = 3000;

// The real window on a real serial port, talking to a simulated drive in this process:
//
//   SimFixture f;               // drive on COM4 under a fresh XDG_CONFIG_HOME, window built
//   ASSERT_TRUE(f.connect());   // default choices: COM4 at 19200
//   f.click("Cmd_RPOS");
//   ASSERT_TRUE(f.waitUntil([&] { return f.readState() == 0; }));
//   f.text("Text_RPOS");        // "0"
//
// Every modal message box is closed at once and its text kept (messageTexts()). Replies
// reach the window only while the Qt event loop runs, so every wait here runs it in
// small steps until its condition holds or its deadline passes. Members are destroyed
// window first, then the drive, then the temporary configuration folder. The fixture sets
// XDG_CONFIG_HOME for the whole process, so only one may live at a time.
class SimFixture {
public:
    explicit SimFixture(const sim::Faults& faults = {}, const sim::Inputs& inputs = {});
    ~SimFixture();
    SimFixture(const SimFixture&) = delete;
    SimFixture& operator=(const SimFixture&) = delete;

    sim::PtyServer& sim() { return *m_sim; }
    Form1& window() { return *m_window; }
    test::MessageCatcher& messages() { return *m_messages; }
    QStringList messageTexts() const { return m_messages->texts; }

    // Clicks the connect button with the choices the window starts with; true when the
    // window then shows itself connected with its port open.
    bool connect();

    // Clicks a button by object name as the operator would; returns after the handler.
    void click(const char* name);
    void setText(const char* name, const QString& text);
    // Text of a text box, or caption of a button.
    QString text(const char* name) const;
    // "#RRGGBB": background of a text box, face of a button, fill of an indicator.
    QString colour(const char* name) const;
    int readState() const { return m_window->readState(); }

    // Runs the event loop until condition() holds or timeoutMs passes; returns whether
    // it holds.
    bool waitUntil(const std::function<bool()>& condition, int timeoutMs = kWaitMs);
    // Runs the event loop for ms milliseconds, for checks that something does not happen.
    void runFor(int ms);
    // Until the drive has received at least count valid command frames.
    bool waitForFrames(std::size_t count, int timeoutMs = kWaitMs);
    // Until the drive has written at least count complete replies.
    bool waitForReplies(std::size_t count, int timeoutMs = kWaitMs);
    // Until every frame is answered (unless the drive is silent) and the window has read
    // what the drive wrote: nothing waits in the port and the line was quiet for a while.
    // Call it between steps whose replies must not run together in one receive event.
    // It never holds while the drive floods the line.
    bool settle(int timeoutMs = kWaitMs);

    // Valid command frames the drive received, in order.
    std::vector<LineFrame> received() const;
    QStringList receivedHex() const;
    QString lastReceived() const; // empty when none
    // Reply writes the drive made (a split reply gives two), in order.
    std::vector<LineFrame> replies() const;
    // The drive's whole log, one line per entry, for failure messages.
    std::string trafficText() const;

private:
    std::int64_t lastWriteUs() const;

    QTemporaryDir m_config;
    QByteArray m_oldConfig;
    bool m_hadConfig = false;
    std::unique_ptr<sim::PtyServer> m_sim;
    std::unique_ptr<Form1> m_window;
    std::unique_ptr<test::MessageCatcher> m_messages;
};

} // namespace dx400::e2e
