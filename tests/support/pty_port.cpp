#include "pty_port.h"

#include "link/port_naming.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace dx400::test {

void linkPortsToNothing(int except) {
    QDir().mkpath(portLinkDirectory());
    for (int n = 1; n <= 10; ++n) {
        if (n != except)
            QFile::link(QStringLiteral("/nonexistent/dx400-test-port"),
                        portLinkDirectory() + QLatin1Char('/') + portName(n));
    }
}

PtyPort::PtyPort(int n) {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    linkPortsToNothing(n);
    termios raw{};
    cfmakeraw(&raw);
    int slave = -1;
    char name[256] = {};
    if (openpty(&m_master, &slave, name, &raw, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    // Only the tool holds the slave; closing ours lets the tool see a hang-up later.
    ::close(slave);
    m_slavePath = QString::fromLocal8Bit(name);
    QDir().mkpath(portLinkDirectory());
    QFile::link(m_slavePath, portLinkDirectory() + QLatin1Char('/') + portName(n));
}

PtyPort::~PtyPort() {
    hangUp();
}

void PtyPort::hangUp() {
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

QByteArray PtyPort::read(int count, int timeoutMs) {
    QByteArray bytes;
    QElapsedTimer timer;
    timer.start();
    while (bytes.size() < count && m_master >= 0) {
        const qint64 left = timeoutMs - timer.elapsed();
        if (left <= 0)
            break;
        pollfd pfd{m_master, POLLIN, 0};
        if (::poll(&pfd, 1, static_cast<int>(left)) <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0)
            bytes.append(buffer, n);
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            ::usleep(1000); // nobody holds the far end yet
    }
    return bytes;
}

QByteArray PtyPort::readAvailable() {
    return read(1 << 20, 50);
}

termios PtyPort::lineSettings() const {
    // On the master side the system reports the settings of the other end.
    termios settings{};
    ::tcgetattr(m_master, &settings);
    return settings;
}

void PtyPort::write(const QByteArray& bytes) {
    if (m_master >= 0 &&
        ::write(m_master, bytes.constData(), static_cast<size_t>(bytes.size())) < 0)
        throw std::runtime_error("write to pseudo-terminal failed");
}

} // namespace dx400::test
