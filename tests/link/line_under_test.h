#pragma once

#include <QByteArray>
#include <QTemporaryDir>
#include <atomic>
#include <string>
#include <termios.h>
#include <utility>
#include <vector>

namespace dx400::test {

// A raw pseudo-terminal whose far end the tool opens as port COMn; every other port
// stands for nothing. The links live in a temporary XDG_CONFIG_HOME set for the process.
class PtyPort {
public:
    explicit PtyPort(int n = 4);
    ~PtyPort() { hangUp(); }

    // Bytes the tool wrote, gathered until `count` have come or the time is up.
    QByteArray read(int count, int timeoutMs = 2000);
    void write(const QByteArray& bytes);
    // The line settings the tool gave its end of the line.
    termios lineSettings() const;
    // Closes the far end, as a pulled cable or a dead adapter would.
    void hangUp();
    int master() const { return m_master; } // the far end, for a drive the test plays

private:
    QTemporaryDir m_config;
    int m_master = -1;
};

// What this test program asked of the serial lines it opened: the settings, the modem-line
// requests and the order of writes, drains, flushes, settings and closes. A pseudo-terminal
// keeps neither parity nor modem lines and sends at once, so only the calls show them; the
// program's own tcsetattr(), ioctl(), write(), tcdrain(), tcflush() and close() stand in front
// of the system's to record them. A line is a descriptor that tcsetattr() was called on.
struct LineRequests {
    std::vector<termios> settings;
    std::vector<std::pair<unsigned long, int>> modemLines;
    std::vector<std::string> calls; // "write", "drain", "flush", "settings", "close", in order
};
LineRequests& lineRequests();
// A line held up: a drain returns only once the output is flushed (or after 5 s).
inline std::atomic<bool> lineStalled = false;

} // namespace dx400::test
