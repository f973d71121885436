#pragma once

#include "sim/drive_model.h"
#include "sim/faults.h"
#include "sim/traffic_log.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <vector>

namespace dx400::sim {

struct TrafficCounts {
    std::size_t framesReceived = 0; // valid command frames
    std::size_t repliesSent = 0;    // reply frames written in full
    std::size_t badFrames = 0;
    std::size_t strayBytes = 0;     // received outside frames, padding not counted
    std::size_t noiseBytesSent = 0; // written by the stray, extra and flood faults
    bool hungUp = false;            // the line was hung up
};

using LogSink = std::function<void(const LogEntry&)>;

// Everything the serving thread and its callers share, each access under one lock:
// the drive model, the faults, the log and the counts.
class SimState {
public:
    SimState(const Faults& faults, const Inputs& inputs);

    // Called before serving starts; the sink then sees every entry from the serving thread.
    void setLogSink(LogSink sink) { m_sink = std::move(sink); }

    // Stamps, stores and counts one log entry, then hands it to the sink.
    void record(LogKind kind, std::vector<std::uint8_t> bytes);
    void countReplySent();

    Frame answer(const Frame& command, Clock::time_point now);

    Faults faults() const;
    void setFaults(const Faults& faults);
    void setInputs(const Inputs& inputs);
    DriveState driveState() const;
    TrafficCounts counts() const;
    std::vector<LogEntry> log() const;

    // Waits until done(counts) holds or the timeout passes; returns whether it holds.
    bool waitFor(const std::function<bool(const TrafficCounts&)>& done,
                 std::chrono::milliseconds timeout) const;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    DriveModel m_model;
    Faults m_faults;
    TrafficCounts m_counts;
    std::vector<LogEntry> m_log;
    LogSink m_sink;
};

} // namespace dx400::sim
