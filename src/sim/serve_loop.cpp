#include "sim/serve_loop.h"

#include "sim/reply_plan.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace dx400::sim {

namespace {

constexpr int kIdleWaitMs = 100;
// While no one holds the slave the master reports hang-up at once; waiting this long
// between looks keeps that from spinning.
constexpr int kSlaveClosedWaitMs = 20;
constexpr int kFloodTickMs = 10;
constexpr std::int64_t kMaxFloodWrite = 4096;
constexpr int kWriteBlockedWaitMs = 50;
constexpr auto kLastReplyGrace = std::chrono::seconds(1);
constexpr auto kLastReplyCheck = std::chrono::milliseconds(10);

int millisUntil(Clock::time_point due, Clock::time_point now) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(due - now).count();
    return static_cast<int>(std::clamp<std::int64_t>(left, 0, kIdleWaitMs));
}

} // namespace

void LoopControl::wake() const {
    const eventfd_t one = 1;
    eventfd_write(wakeFd, one);
}

ServeLoop::ServeLoop(int masterFd, const LoopControl& control, SimState& state)
    : m_master(masterFd), m_control(control), m_state(state) {}

ServeLoop::~ServeLoop() {
    if (m_master >= 0) {
        ::close(m_master);
    }
}

void ServeLoop::run() {
    while (!m_control.stop) {
        const auto now = Clock::now();
        writeDue(now);
        flood(now);
        if (m_control.hangUp) {
            hangUpLine();
            return;
        }
        if (hangUpAfterDue()) {
            letToolReadLastReply();
            hangUpLine();
            return;
        }
        waitForActivity(now);
    }
}

void ServeLoop::waitForActivity(Clock::time_point now) {
    int timeout = m_pending.empty() ? kIdleWaitMs : millisUntil(m_pending.front().due, now);
    if (m_floodRate > 0) {
        timeout = std::min(timeout, kFloodTickMs);
    }
    if (m_slaveClosed) {
        timeout = std::min(timeout, kSlaveClosedWaitMs);
    }
    pollfd fds[2] = {{m_control.wakeFd, POLLIN, 0}, {m_master, POLLIN, 0}};
    const nfds_t count = m_slaveClosed ? 1 : 2;
    if (::poll(fds, count, timeout) < 0) {
        return;
    }
    if (fds[0].revents & POLLIN) {
        eventfd_t ignored = 0;
        eventfd_read(m_control.wakeFd, &ignored);
    }
    if (m_slaveClosed) {
        m_slaveClosed = false; // look again on the next round
    } else if (fds[1].revents & POLLIN) {
        readMaster();
    } else if (fds[1].revents & (POLLHUP | POLLERR)) {
        m_slaveClosed = true;
    }
}

void ServeLoop::readMaster() {
    std::uint8_t buffer[512];
    const ssize_t count = ::read(m_master, buffer, sizeof buffer);
    if (count <= 0) {
        m_slaveClosed = count == 0 || errno == EIO;
        return;
    }
    for (auto& event : m_reader.feed({buffer, static_cast<std::size_t>(count)})) {
        switch (event.kind) {
        case ReaderEvent::Kind::Command: {
            Frame command{};
            std::copy_n(event.bytes.begin(), kFrameSize, command.begin());
            m_state.record(LogKind::Rx, std::move(event.bytes));
            answer(command, Clock::now()); // after the time stamp, so delays are never short
            break;
        }
        case ReaderEvent::Kind::BadFrame:
            m_state.record(LogKind::Bad, std::move(event.bytes));
            break;
        case ReaderEvent::Kind::Stray:
            m_state.record(LogKind::Stray, std::move(event.bytes));
            break;
        }
    }
}

void ServeLoop::answer(const Frame& command, Clock::time_point now) {
    const Frame reply = m_state.answer(command, now);
    int previousOffsetMs = 0;
    bool first = true;
    for (auto& write : planReply(reply, m_state.faults(), m_random)) {
        auto due = now + std::chrono::milliseconds(write.offsetMs);
        if (!m_pending.empty()) {
            due = std::max(due, m_pending.back().due); // never overtake an earlier reply
        }
        const auto gap = first ? std::chrono::milliseconds(0)
                               : std::chrono::milliseconds(write.offsetMs - previousOffsetMs);
        m_pending.push_back({due, gap, write.kind, std::move(write.bytes), write.endsReply});
        previousOffsetMs = write.offsetMs;
        first = false;
    }
}

void ServeLoop::writeDue(Clock::time_point now) {
    while (!m_pending.empty() && m_pending.front().due <= now) {
        PendingWrite write = std::move(m_pending.front());
        m_pending.pop_front();
        // Logged and counted first, so whoever got the bytes finds them in log and counts.
        const std::vector<std::uint8_t> bytes = write.bytes;
        m_state.record(write.kind, std::move(write.bytes));
        if (write.endsReply) {
            m_state.countReplySent();
        }
        writeBytes(bytes);
        if (!m_pending.empty()) {
            // A late write pushes the rest of its reply back, so the gaps stay whole.
            PendingWrite& next = m_pending.front();
            next.due = std::max(next.due, Clock::now() + next.gapAfterPrevious);
        }
    }
}

void ServeLoop::flood(Clock::time_point now) {
    const int rate = m_state.faults().floodBytesPerSecond;
    if (rate != m_floodRate) {
        m_floodRate = rate;
        m_floodStart = now;
        m_floodSent = 0;
    }
    if (rate <= 0) {
        return;
    }
    const auto elapsedUs =
        std::chrono::duration_cast<std::chrono::microseconds>(now - m_floodStart).count();
    const std::int64_t owed = std::int64_t{rate} * elapsedUs / 1'000'000 - m_floodSent;
    if (owed <= 0) {
        return;
    }
    const std::int64_t count = std::min(owed, kMaxFloodWrite);
    m_floodSent += count;
    const auto bytes = noiseBytes(static_cast<std::size_t>(count), m_random, false);
    m_state.record(LogKind::Noise, bytes);
    writeBytes(bytes);
}

bool ServeLoop::hangUpAfterDue() const {
    const auto after = m_state.faults().hangUpAfter;
    return after && m_pending.empty() &&
           m_state.counts().framesReceived >= static_cast<std::size_t>(*after);
}

void ServeLoop::letToolReadLastReply() {
    // Closing the master throws away whatever the tool has not read yet, so the last
    // reply gets up to a second to be read. The unread count comes from the slave side.
    char device[PATH_MAX] = {};
    if (::ptsname_r(m_master, device, sizeof device) != 0) {
        return;
    }
    const int slave = ::open(device, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0) {
        return;
    }
    const auto deadline = Clock::now() + kLastReplyGrace;
    int unread = 0;
    do {
        std::this_thread::sleep_for(kLastReplyCheck);
    } while (!m_control.stop && Clock::now() < deadline && ::ioctl(slave, FIONREAD, &unread) == 0 &&
             unread > 0);
    ::close(slave);
}

void ServeLoop::hangUpLine() {
    m_state.record(LogKind::HangUp, {});
    ::close(m_master);
    m_master = -1;
}

void ServeLoop::writeBytes(std::span<const std::uint8_t> bytes) {
    // Bytes that do not fit while the tool is not reading are dropped, like a line would.
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(m_master, bytes.data() + done, bytes.size() - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR) {
            continue;
        }
        pollfd ready{m_master, POLLOUT, 0};
        if (written < 0 && errno == EAGAIN && ::poll(&ready, 1, kWriteBlockedWaitMs) > 0 &&
            (ready.revents & POLLOUT)) {
            continue;
        }
        return;
    }
}

} // namespace dx400::sim
