#include "pty_port.h"

#include "link/port_naming.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <poll.h>
#include <pty.h>
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
    ::openpty(&m_master, &slave, name, &raw, nullptr);
    ::close(slave); // only the tool holds the far end, so that it sees a hang-up
    QFile::link(QString::fromLocal8Bit(name), portLinkDirectory() + "/" + portName(n));
}

void PtyPort::hangUp() {
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

QByteArray PtyPort::read(int count, int timeoutMs) {
    QByteArray bytes;
    const QDeadlineTimer deadline(timeoutMs);
    while (bytes.size() < count && !deadline.hasExpired()) {
        pollfd pfd{m_master, POLLIN, 0};
        char buffer[4096];
        if (::poll(&pfd, 1, int(deadline.remainingTime())) > 0 && (pfd.revents & POLLIN))
            bytes.append(buffer, std::max<ssize_t>(0, ::read(m_master, buffer, sizeof buffer)));
        else
            ::usleep(1000); // nobody holds the far end yet
    }
    return bytes;
}

void PtyPort::write(const QByteArray& bytes) {
    (void)::write(m_master, bytes.constData(), size_t(bytes.size()));
}

termios PtyPort::lineSettings() const {
    termios settings{}; // on the master the system reports the other end's settings
    ::tcgetattr(m_master, &settings);
    return settings;
}

} // namespace dx400::test
