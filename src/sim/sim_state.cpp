#include "sim/sim_state.h"

namespace dx400::sim {

SimState::SimState(const Faults& faults, const Inputs& inputs) : m_faults(faults) {
    m_model.setInputs(inputs);
}

void SimState::record(LogKind kind, std::vector<std::uint8_t> bytes) {
    LogEntry entry{monotonicMicros(), kind, std::move(bytes)};
    {
        std::lock_guard lock(m_mutex);
        switch (kind) {
        case LogKind::Rx:
            ++m_counts.framesReceived;
            break;
        case LogKind::Bad:
            ++m_counts.badFrames;
            break;
        case LogKind::Stray:
            m_counts.strayBytes += entry.bytes.size();
            break;
        case LogKind::Noise:
            m_counts.noiseBytesSent += entry.bytes.size();
            break;
        case LogKind::HangUp:
            m_counts.hungUp = true;
            break;
        case LogKind::Tx:
            break;
        }
        m_log.push_back(entry);
    }
    m_changed.notify_all();
    if (m_sink) {
        m_sink(entry);
    }
}

void SimState::countReplySent() {
    {
        std::lock_guard lock(m_mutex);
        ++m_counts.repliesSent;
    }
    m_changed.notify_all();
}

Frame SimState::answer(const Frame& command, Clock::time_point now) {
    std::lock_guard lock(m_mutex);
    return m_model.handle(command, now);
}

Faults SimState::faults() const {
    std::lock_guard lock(m_mutex);
    return m_faults;
}

void SimState::setFaults(const Faults& faults) {
    std::lock_guard lock(m_mutex);
    m_faults = faults;
}

void SimState::setInputs(const Inputs& inputs) {
    std::lock_guard lock(m_mutex);
    m_model.setInputs(inputs);
}

DriveState SimState::driveState() const {
    std::lock_guard lock(m_mutex);
    return m_model.state(Clock::now());
}

TrafficCounts SimState::counts() const {
    std::lock_guard lock(m_mutex);
    return m_counts;
}

std::vector<LogEntry> SimState::log() const {
    std::lock_guard lock(m_mutex);
    return m_log;
}

bool SimState::waitFor(const std::function<bool(const TrafficCounts&)>& done,
                       std::chrono::milliseconds timeout) const {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return done(m_counts); });
}

} // namespace dx400::sim
