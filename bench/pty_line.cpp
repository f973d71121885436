#include "pty_line.h"

#include "link/port_naming.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <pty.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace dx400::bench {

PtyLine::PtyLine(int n) {
    termios raw{};
    cfmakeraw(&raw);
    char name[256] = {};
    int slave = -1;
    if (::openpty(&m_master, &slave, name, &raw, nullptr) != 0)
        throw std::runtime_error("cannot open a pseudo-terminal");
    ::close(slave); // the tool opens its side itself
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    QDir().mkpath(portLinkDirectory());
    const QString link = portLinkDirectory() + QLatin1Char('/') + portName(n);
    QFile::remove(link);
    if (!QFile::link(QString::fromLocal8Bit(name), link))
        throw std::runtime_error("cannot publish the pseudo-terminal as a port");
}

PtyLine::~PtyLine() {
    ::close(m_master);
}

void PtyLine::drain() {
    const int flags = ::fcntl(m_master, F_GETFL);
    ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK);
    char buffer[4096];
    while (::read(m_master, buffer, sizeof buffer) > 0) {
    }
    ::fcntl(m_master, F_SETFL, flags);
}

} // namespace dx400::bench
