#include "burst_feeder.h"

#include "bench_report.h"

#include <algorithm>
#include <unistd.h>

namespace dx400::bench {

namespace {
constexpr std::size_t kChunk = 1000; // whole frames
constexpr qint64 kMostOnTheWay = 4000;
} // namespace

std::vector<std::uint8_t> replyFrames(std::size_t count) {
    const std::uint8_t frame[] = {0xBB, 0x00, 0x06, 0x64, 0x00, 0x00, 0x01, 0xF4, 0xEE, 0x5F};
    std::vector<std::uint8_t> bytes;
    bytes.reserve(count * sizeof frame);
    for (std::size_t i = 0; i < count; ++i)
        bytes.insert(bytes.end(), std::begin(frame), std::end(frame));
    return bytes;
}

BurstFeeder::BurstFeeder(int master, std::vector<std::uint8_t> bytes, std::function<qint64()> taken)
    : m_master(master), m_bytes(std::move(bytes)), m_taken(std::move(taken)) {
    m_timer.setInterval(0);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { feed(); });
}

void BurstFeeder::start() {
    m_started = monotonicMicros();
    feed();
    m_timer.start();
}

void BurstFeeder::feed() {
    while (m_sent < m_bytes.size()) {
        const std::size_t count = std::min(kChunk, m_bytes.size() - m_sent);
        const qint64 onTheWay = static_cast<qint64>(m_sent) - m_taken();
        if (onTheWay + static_cast<qint64>(count) > kMostOnTheWay)
            return;
        const ssize_t written = ::write(m_master, m_bytes.data() + m_sent, count);
        if (written <= 0)
            return;
        m_sent += static_cast<std::size_t>(written);
    }
    m_timer.stop();
}

} // namespace dx400::bench
