#include "sim/pty_server.h"

#include "sim/frame_reader.h"
#include "sim/line_rate.h"
#include "sim/serial_wire.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace dx400::sim {

namespace fs = std::filesystem;

namespace {

constexpr auto kIdleWait = std::chrono::milliseconds(100);
// While no one holds the slave the master reports hang-up at once; waiting this long
// between looks keeps that from spinning.
constexpr auto kSlaveClosedWait = std::chrono::milliseconds(20);
constexpr auto kFloodTick = std::chrono::milliseconds(10);
constexpr std::int64_t kMaxFloodWrite = 4096;
constexpr auto kLastReplyGrace = std::chrono::seconds(1);
constexpr auto kLastReplyCheck = std::chrono::milliseconds(10);

std::runtime_error systemError(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

} // namespace

fs::path portsFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (config != nullptr && *config != '\0') {
        return fs::path(config) / "dx400" / "ports";
    }
    if (home != nullptr && *home != '\0') {
        return fs::path(home) / ".config" / "dx400" / "ports";
    }
    throw std::runtime_error("neither XDG_CONFIG_HOME nor HOME is set");
}

// The serving thread's work on a raw pseudo-terminal's master: reads frames, answers them
// through the server's drive model, writes replies when they fall due, floods, and hangs
// up the line. Other threads set a request flag and wake it.
//
// A paced line: bytes the tool writes come out of the master at once, so each read is put
// on a model of the wire, after whatever is still crossing it, and what the drive reads of
// it (garbled when the tool's speed is not the drive's) is cut into frames whose arrival is
// the end of their last byte; each waits for that moment before it is logged and answered.
// A reply's bytes go out one by one, each when its stop bit would have crossed the wire.
class ServeLoop {
public:
    explicit ServeLoop(PtyServer& server) : m_server(server) {
        termios raw{};
        cfmakeraw(&raw);
        int slave = -1;
        if (::openpty(&m_master, &slave, nullptr, &raw, nullptr) != 0) {
            throw systemError("cannot open a pseudo-terminal");
        }
        char name[PATH_MAX] = {};
        const bool named = ::ptsname_r(m_master, name, sizeof name) == 0;
        ::close(slave); // the master sees a hang-up until the tool opens the device
        m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (!named || m_wakeFd < 0 || ::fcntl(m_master, F_SETFL, O_NONBLOCK) != 0 ||
            ::fcntl(m_master, F_SETFD, FD_CLOEXEC) != 0) {
            closeAll();
            throw std::runtime_error("cannot set up the pseudo-terminal");
        }
        device = name;
    }
    ~ServeLoop() { closeAll(); }
    ServeLoop(const ServeLoop&) = delete;
    ServeLoop& operator=(const ServeLoop&) = delete;

    // Ends the wait of the serving thread, so it looks at its requests at once.
    void wake() const { eventfd_write(m_wakeFd, 1); }

    // Serves until a stop is requested or the line is hung up.
    void run() {
        while (!stopRequested) {
            const auto now = Clock::now();
            const LineSettings line = m_server.line();
            // A line whose speed nobody set runs at the drive's.
            const int rate = lineRate(m_master);
            toolRate = rate > 0 ? rate : line.driveRate;
            if (std::exchange(m_readable, false)) {
                readMaster(now, line);
            }
            takeArrivals(now);
            writeDue(now);
            flood(now);
            const auto after = m_server.faults().hangUpAfter;
            const bool hangUpDue =
                after && m_pending.empty() &&
                m_server.counts().framesReceived >= static_cast<std::size_t>(*after);
            if (hangUpRequested || hangUpDue) {
                if (!hangUpRequested) {
                    letToolReadLastReply();
                }
                m_server.record(LogKind::HangUp, {});
                ::close(std::exchange(m_master, -1));
                return;
            }
            waitForActivity(now);
        }
    }

    std::string device;
    std::atomic<bool> stopRequested{false};
    std::atomic<bool> hangUpRequested{false};
    std::atomic<int> toolRate{0};

private:
    // A reply write whose bytes go out one by one: byte k when its stop bit would have
    // crossed the wire, byteTime * (k + 1) after start; all at start on an unpaced line.
    struct PendingWrite {
        Clock::time_point start;
        Clock::duration byteTime{};
        ReplyWrite write;
        std::size_t sent = 0;
        bool logged = false; // logged as its first byte went onto the wire

        // When there is next something to do: log the write, or put its next byte out.
        Clock::time_point nextDue() const {
            return start + byteTime * static_cast<long>(logged ? sent + 1 : 0);
        }
        Clock::time_point end() const {
            return start + byteTime * static_cast<long>(write.bytes.size());
        }
    };
    // What the frame reader found, and when its last byte reached the drive.
    struct Arrival {
        Clock::time_point due;
        ReaderEvent event;
    };

    void closeAll() {
        for (int* fd : {&m_master, &m_wakeFd}) {
            if (*fd >= 0) {
                ::close(*fd);
                *fd = -1;
            }
        }
    }

    void waitForActivity(Clock::time_point now) {
        auto wake = now + kIdleWait;
        if (!m_pending.empty()) {
            wake = std::min(wake, m_pending.front().nextDue());
        }
        if (!m_arrivals.empty()) {
            wake = std::min(wake, m_arrivals.front().due);
        }
        if (m_floodRate > 0) {
            wake = std::min(wake, now + kFloodTick);
        }
        if (m_slaveClosed) {
            wake = std::min(wake, now + kSlaveClosedWait);
        }
        // ppoll, as poll's milliseconds are too coarse for a byte at 115200 (87 us).
        const auto left = std::chrono::nanoseconds(std::max(wake - now, Clock::duration{}));
        const timespec timeout{static_cast<time_t>(left.count() / 1'000'000'000),
                               static_cast<long>(left.count() % 1'000'000'000)};
        pollfd fds[2] = {{m_wakeFd, POLLIN, 0}, {m_master, POLLIN, 0}};
        if (::ppoll(fds, m_slaveClosed ? 1 : 2, &timeout, nullptr) < 0) {
            return;
        }
        if (fds[0].revents & POLLIN) {
            eventfd_t ignored = 0;
            eventfd_read(m_wakeFd, &ignored);
        }
        if (m_slaveClosed) {
            m_slaveClosed = false; // look again on the next round
        } else if (fds[1].revents & POLLIN) {
            m_readable = true;
        } else if (fds[1].revents & (POLLHUP | POLLERR)) {
            m_slaveClosed = true;
        }
    }

    // Takes what the tool wrote, arrived by now, onto the wire after what is still on it.
    void readMaster(Clock::time_point now, const LineSettings& line) {
        std::uint8_t buffer[512];
        const ssize_t count = ::read(m_master, buffer, sizeof buffer);
        if (count <= 0) {
            m_slaveClosed = count == 0 || errno == EIO;
            return;
        }
        const std::span<const std::uint8_t> sent(buffer, static_cast<std::size_t>(count));
        const int rate = toolRate;
        const auto start = line.paced ? std::max(now, m_wireFree) : now;
        m_wireFree = start + byteTime(rate) * count;
        std::vector<std::uint8_t> bytes;
        for (const ReceivedByte& byte : receiveBytes(sent, rate, line.driveRate)) {
            bytes.push_back(byte.value);
            m_heldTimes.push_back(line.paced ? start + byte.done : now);
        }
        // Garbled bytes are logged as such, and only a frame found in them besides.
        const bool garbled = rate != line.driveRate;
        for (ReaderEvent& event : m_reader.feed(bytes)) {
            if (!garbled || event.kind == LogKind::Rx) {
                m_arrivals.push_back({m_heldTimes[event.end - 1], std::move(event)});
            }
        }
        if (garbled && !bytes.empty()) {
            m_arrivals.push_back({m_heldTimes.back(), {LogKind::Garbled, bytes}});
        }
        m_heldTimes.erase(m_heldTimes.begin(), m_heldTimes.end() - m_reader.held());
    }

    // Logs what has reached the drive by now, and answers the frames among it.
    void takeArrivals(Clock::time_point now) {
        while (!m_arrivals.empty() && m_arrivals.front().due <= now) {
            const ReaderEvent event = std::move(m_arrivals.front().event);
            m_arrivals.pop_front();
            m_server.record(event.kind, event.bytes);
            if (event.kind == LogKind::Rx) {
                Frame command{};
                std::copy_n(event.bytes.begin(), kFrameSize, command.begin());
                answer(command, Clock::now()); // after the time stamp, so delays are never short
            }
        }
    }

    void answer(const Frame& command, Clock::time_point now) {
        if (m_server.m_replay)
            return replay(command, now);
        const Faults faults = m_server.faults();
        const Frame current = m_server.answer(command, now);
        const std::optional<Frame> reply = faults.lag ? m_lastReply : current;
        m_lastReply = current;
        if (!reply) {
            return;
        }
        const Clock::duration paced =
            m_server.line().paced ? byteTime(toolRate) : Clock::duration{};
        auto previousEnd = now;
        for (ReplyWrite& write : planReply(*reply, faults, m_random)) {
            auto start = previousEnd + write.after;
            if (!m_pending.empty()) {
                start = std::max(start, m_pending.back().end()); // never overtake an earlier reply
            }
            m_pending.push_back({start, paced, std::move(write)});
            previousEnd = m_pending.back().end();
        }
    }

    // Answers as the recording did: its chunks one after the other, each no earlier than
    // it came after the request there when the timing is kept.
    void replay(const Frame& command, Clock::time_point now) {
        const auto chunks = m_server.replayed(command);
        if (!chunks) {
            m_server.record(LogKind::Unseen, {command.begin(), command.end()});
            return;
        }
        const Clock::duration paced =
            m_server.line().paced ? byteTime(toolRate) : Clock::duration{};
        for (std::size_t i = 0; i < chunks->size(); ++i) {
            auto start = m_server.m_replayTiming ? now + (*chunks)[i].after : now;
            if (!m_pending.empty()) {
                start = std::max(start, m_pending.back().end());
            }
            m_pending.push_back(
                {start, paced, {{}, LogKind::Tx, (*chunks)[i].bytes, i + 1 == chunks->size()}});
        }
    }

    void writeDue(Clock::time_point now) {
        while (!m_pending.empty() && m_pending.front().nextDue() <= now) {
            PendingWrite& front = m_pending.front();
            const std::vector<std::uint8_t>& bytes = front.write.bytes;
            if (!front.logged) {
                // Logged and counted first, so whoever got the bytes finds them in log and counts.
                m_server.record(front.write.kind, bytes, front.write.endsReply);
                front.logged = true;
            }
            const std::size_t due =
                front.byteTime > Clock::duration{}
                    ? std::min<std::size_t>(bytes.size(), (now - front.start) / front.byteTime)
                    : bytes.size();
            writeBytes(std::span(bytes).subspan(front.sent, due - front.sent));
            front.sent = due;
            if (front.sent == bytes.size()) {
                m_pending.pop_front();
            }
        }
    }

    void flood(Clock::time_point now) {
        const int rate = m_server.faults().floodBytesPerSecond;
        if (rate != m_floodRate) {
            m_floodRate = rate;
            m_floodStart = now;
            m_floodSent = 0;
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
        m_server.record(LogKind::Noise, bytes);
        writeBytes(bytes);
    }

    // Closing the master throws away whatever the tool has not read yet, so the last
    // reply gets up to a second to be read. The unread count comes from the slave side.
    void letToolReadLastReply() const {
        const int slave = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (slave < 0) {
            return;
        }
        const auto deadline = Clock::now() + kLastReplyGrace;
        int unread = 0;
        do {
            std::this_thread::sleep_for(kLastReplyCheck);
        } while (!stopRequested && Clock::now() < deadline &&
                 ::ioctl(slave, FIONREAD, &unread) == 0 && unread > 0);
        ::close(slave);
    }

    // The master never blocks: what does not fit while the tool is not reading is dropped,
    // as a line drops what a receiver that is not reading cannot hold.
    void writeBytes(std::span<const std::uint8_t> bytes) const {
        [[maybe_unused]] const ssize_t written = ::write(m_master, bytes.data(), bytes.size());
    }

    PtyServer& m_server;
    int m_master = -1;
    int m_wakeFd = -1;       // an eventfd that wake() writes to
    bool m_readable = false; // the master has bytes to read
    FrameReader m_reader;
    std::vector<Clock::time_point> m_heldTimes; // when each byte the reader holds arrived
    Clock::time_point m_wireFree{};             // when the tool's last byte is off the wire
    std::deque<Arrival> m_arrivals;             // in stream order
    std::deque<PendingWrite> m_pending;         // in due order
    std::optional<Frame> m_lastReply;           // to the frame before, which the lag fault sends
    std::minstd_rand m_random{0x0D400};
    bool m_slaveClosed = false;
    std::optional<int> m_floodRate; // none before the first look
    Clock::time_point m_floodStart{};
    std::int64_t m_floodSent = 0;
};

PtyServer::PtyServer(int portNumber, const Faults& faults, const Inputs& inputs,
                     const LineSettings& line)
    : m_portNumber(portNumber), m_faults(faults), m_line(line) {
    m_model.setInputs(inputs);
}

PtyServer::~PtyServer() {
    stop();
}

void PtyServer::start() {
    if (m_loop) {
        throw std::logic_error("the simulator is already started");
    }
    const fs::path folder = portsFolder();
    const fs::path lockPath = folder / ("." + portName() + ".lock");
    m_link = folder / portName();
    m_device.clear();
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
        throw std::runtime_error("cannot create " + folder.string() + ": " + error.message());
    }
    m_lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (m_lockFd < 0) {
        throw systemError("cannot open " + lockPath.string());
    }
    if (::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        const std::runtime_error failure = systemError("cannot lock " + lockPath.string());
        releasePort();
        if (held) {
            throw std::runtime_error(portName() + " is already served by a running simulator (" +
                                     m_link.string() + ")");
        }
        throw failure;
    }
    const fs::path target = fs::read_symlink(m_link, error);
    if (!error && fs::exists(target, error) && !target.string().starts_with("/dev/pts/")) {
        releasePort();
        throw std::runtime_error(m_link.string() + " points to the device " + target.string() +
                                 ", which is not a simulator's; remove the link first");
    }
    try {
        m_loop = std::make_unique<ServeLoop>(*this);
        // A new link renamed over the old one replaces it in one step.
        const fs::path fresh = folder / ("." + portName() + ".new");
        fs::remove(fresh, error);
        fs::create_symlink(m_loop->device, fresh);
        fs::rename(fresh, m_link);
        m_device = m_loop->device;
    } catch (...) {
        stop();
        throw;
    }
    m_thread = std::thread([this] { m_loop->run(); });
}

void PtyServer::stop() {
    if (m_thread.joinable()) {
        m_loop->stopRequested = true;
        m_loop->wake();
        m_thread.join();
    }
    m_loop.reset();
    releasePort();
}

void PtyServer::releasePort() {
    if (m_lockFd < 0) {
        return;
    }
    std::error_code error;
    if (!m_device.empty() && fs::read_symlink(m_link, error) == m_device && !error) {
        fs::remove(m_link, error);
    }
    ::close(m_lockFd);
    m_lockFd = -1;
}

void PtyServer::hangUp() {
    if (m_loop) {
        m_loop->hangUpRequested = true;
        m_loop->wake();
    }
}

void PtyServer::record(LogKind kind, std::vector<std::uint8_t> bytes, bool endsReply) {
    LogEntry entry{monotonicMicros(), kind, std::move(bytes)};
    {
        std::lock_guard lock(m_mutex);
        m_counts.framesReceived += kind == LogKind::Rx ? 1 : 0;
        m_counts.badFrames += kind == LogKind::Bad ? 1 : 0;
        m_counts.strayBytes += kind == LogKind::Stray ? entry.bytes.size() : 0;
        m_counts.noiseBytesSent += kind == LogKind::Noise ? entry.bytes.size() : 0;
        m_counts.hungUp = m_counts.hungUp || kind == LogKind::HangUp;
        m_counts.repliesSent += endsReply ? 1 : 0;
        m_log.push_back(entry);
    }
    m_changed.notify_all();
    if (m_sink) {
        m_sink(entry);
    }
}

Frame PtyServer::answer(const Frame& command, Clock::time_point now) {
    std::lock_guard lock(m_mutex);
    return m_model.handle(command, now);
}

std::optional<std::vector<RecordedChunk>> PtyServer::replayed(const Frame& command) {
    std::lock_guard lock(m_mutex);
    return m_replay->next(command);
}

std::vector<LogEntry> PtyServer::log() const {
    std::lock_guard lock(m_mutex);
    return m_log;
}

TrafficCounts PtyServer::counts() const {
    std::lock_guard lock(m_mutex);
    return m_counts;
}

DriveState PtyServer::driveState() const {
    std::lock_guard lock(m_mutex);
    return m_model.state(Clock::now());
}

Faults PtyServer::faults() const {
    std::lock_guard lock(m_mutex);
    return m_faults;
}

void PtyServer::setFaults(const Faults& faults) {
    std::lock_guard lock(m_mutex);
    m_faults = faults;
}

int PtyServer::toolRate() const {
    return m_loop ? m_loop->toolRate.load() : 0;
}

LineSettings PtyServer::line() const {
    std::lock_guard lock(m_mutex);
    return m_line;
}

void PtyServer::setLine(const LineSettings& line) {
    std::lock_guard lock(m_mutex);
    m_line = line;
}

void PtyServer::setInputs(const Inputs& inputs) {
    std::lock_guard lock(m_mutex);
    m_model.setInputs(inputs);
}

bool PtyServer::waitFor(const std::function<bool(const TrafficCounts&)>& done,
                        std::chrono::milliseconds timeout) const {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return done(m_counts); });
}

} // namespace dx400::sim
