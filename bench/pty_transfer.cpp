#include "pty_transfer.h"

#include "bench_report.h"

#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace dx400::bench {

namespace {

// Writes `count` bytes on `from` and reads them on `to`; returns the time taken in µs.
double cross(int from, int to, int count) {
    unsigned char bytes[16] = {0xAA};
    const std::int64_t start = monotonicMicros();
    if (::write(from, bytes, static_cast<size_t>(count)) != count)
        throw std::runtime_error("pty write failed");
    int got = 0;
    while (got < count) {
        pollfd ready{to, POLLIN, 0};
        if (::poll(&ready, 1, 1000) <= 0)
            throw std::runtime_error("pty bytes did not arrive");
        const ssize_t n = ::read(to, bytes, static_cast<size_t>(count - got));
        if (n > 0)
            got += static_cast<int>(n);
    }
    return static_cast<double>(monotonicMicros() - start);
}

} // namespace

PtyTransfer measurePtyTransfer(int rounds) {
    termios raw{};
    cfmakeraw(&raw);
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, &raw, nullptr) != 0)
        throw std::runtime_error("cannot open a pseudo-terminal");
    PtyTransfer result;
    for (int i = 0; i < rounds; ++i) {
        result.requestUs.push_back(cross(slave, master, 12));
        result.replyUs.push_back(cross(master, slave, 10));
    }
    ::close(slave);
    ::close(master);
    return result;
}

} // namespace dx400::bench
