#pragma once

#include "port_links.h"

#include <atomic>
#include <poll.h>
#include <pty.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace dx400::test {

// A raw pseudo-terminal whose far end the tool opens as port COMn, every other port at nothing.
class PtyPort {
public:
    explicit PtyPort(int n = 4) : m_ports(n) {
        termios raw{};
        cfmakeraw(&raw);
        int slave = -1;
        char name[256] = {};
        ::openpty(&m_master, &slave, name, &raw, nullptr);
        ::close(slave); // only the tool holds the far end, so that it sees a hang-up
        QFile::link(QString::fromLocal8Bit(name), portLink(n));
    }
    ~PtyPort() { hangUp(); }

    // What the tool has written by now, waiting at most `timeoutMs` for a first byte.
    QByteArray read(int timeoutMs) const {
        pollfd pfd{m_master, POLLIN, 0};
        char buffer[4096];
        const ssize_t n =
            ::poll(&pfd, 1, timeoutMs) > 0 ? ::read(m_master, buffer, sizeof buffer) : 0;
        return QByteArray(buffer, int(std::max<ssize_t>(0, n)));
    }
    void write(const QByteArray& bytes) const {
        (void)::write(m_master, bytes.constData(), size_t(bytes.size()));
    }
    // Closes the far end, as a pulled cable or a dead adapter would.
    void hangUp() { ::close(std::exchange(m_master, -1)); }
    int master() const { return m_master; } // the far end, for a drive the test plays

private:
    OnlyPort m_ports;
    int m_master = -1;
};

// What this program asked of its serial lines, which a pseudo-terminal neither keeps nor waits on,
// as this process's own tcsetattr(), ioctl(), write(), tcdrain(), tcflush() and close() record it.
struct LineRequests {
    std::vector<termios> settings;
    std::vector<std::pair<unsigned long, int>> modemLines;
    std::string calls; // "write", "drain", "flush", "settings" and "close", in order
};
inline LineRequests lineRequests;
// A line held up: a drain returns only once the output is flushed (or after 5 s).
inline std::atomic<bool> lineStalled = false;

} // namespace dx400::test
