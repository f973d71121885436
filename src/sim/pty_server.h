#pragma once

#include "sim/drive_model.h"
#include "sim/faults.h"
#include "sim/line_settings.h"
#include "sim/replay_script.h"
#include "sim/traffic_log.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace dx400::sim {

struct TrafficCounts {
    std::size_t framesReceived = 0; // valid command frames
    std::size_t repliesSent = 0;    // reply frames whose last part has started out
    std::size_t badFrames = 0;
    std::size_t strayBytes = 0;     // received outside frames, padding not counted
    std::size_t noiseBytesSent = 0; // written by the stray, extra and flood faults
    bool hungUp = false;            // the line was hung up
};

using LogSink = std::function<void(const LogEntry&)>;

// The folder where the tool looks for port links: $XDG_CONFIG_HOME/dx400/ports, with
// $XDG_CONFIG_HOME defaulting to ~/.config. Throws std::runtime_error if neither
// XDG_CONFIG_HOME nor HOME is set.
std::filesystem::path portsFolder();

class ServeLoop;

// A simulated DX-400 drive on a pseudo-terminal, served from its own thread. Made for
// the dx400-sim program and for tests that run the tool against it in one process:
//
//   PtyServer drive(4);        // will be COM4
//   drive.start();             // device open, link $XDG_CONFIG_HOME/dx400/ports/COM4 made
//   ... the tool opens COM4 and talks ...
//   drive.waitFor([](const TrafficCounts& c) { return c.repliesSent >= 1; }, 2s);
//   drive.log();               // what went over the line, with CLOCK_MONOTONIC times
//   drive.stop();              // or the destructor; removes the link if it is still ours
//
// start() reads $XDG_CONFIG_HOME (or $HOME) at that moment, so a test can point it at a
// temporary folder first. A simulator holds an exclusive lock on <folder>/.COMn.lock while
// it serves, so a second one can tell a live link from one left behind by a crash. Log
// entries and counts are stored before the bytes are written, so whoever has received a
// reply already finds it there. The line is paced and the drive runs at 19200 unless the
// LineSettings say otherwise. The pseudo-terminal is raw from the start, so nothing is
// echoed or translated even before the tool sets the line up. While no one has the device
// open the server waits quietly; the tool may open and close it any number of times.
// Every accessor is safe to call from any thread while the server runs.
class PtyServer {
public:
    explicit PtyServer(int portNumber, const Faults& faults = {}, const Inputs& inputs = {},
                       const LineSettings& line = {});
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // Sees every log entry as it happens, on the serving thread. Set before start().
    void setLogSink(LogSink sink) { m_sink = std::move(sink); }
    // Plays a recorded drive instead of the model: each frame gets the answer that followed
    // it in the recording, at once or, with keepTiming, as late as it came there; a frame
    // the recording holds no more answers to gets none, and the log says so (UNSEEN).
    // The faults that shape a reply do not apply; a flood and a hang-up still do. Set
    // before start().
    void setReplay(ReplayScript script, bool keepTiming) {
        m_replay = std::move(script), m_replayTiming = keepTiming;
    }

    // Opens the pseudo-terminal, publishes the link and starts serving. Throws
    // std::runtime_error with a readable message on failure: when a live simulator
    // already serves this port, or the link points to an existing device that is not a
    // pseudo-terminal (someone's real adapter, which is never replaced).
    void start();

    // Stops serving, closes the device and removes the link if it still points at it.
    void stop();

    // Closes the master side now, as a drive that lost power or a pulled cable; the tool
    // sees the line hang up and bytes it has not read yet are lost. The server then serves
    // no more until stopped. (The hangUpAfter fault instead lets the last reply be read.)
    void hangUp();

    std::string portName() const { return "COM" + std::to_string(m_portNumber); } // "COM4"
    std::string devicePath() const { return m_device; } // e.g. "/dev/pts/3", once started
    std::filesystem::path linkPath() const { return portsFolder() / portName(); }

    std::vector<LogEntry> log() const;
    TrafficCounts counts() const;
    DriveState driveState() const;
    Faults faults() const;
    void setFaults(const Faults& faults);
    LineSettings line() const;
    void setLine(const LineSettings& line);
    // The line speed the tool set, or the drive's while it set none.
    int toolRate() const;
    void setInputs(const Inputs& inputs);

    // Waits until done(counts()) holds or the timeout passes; returns whether it holds.
    bool waitFor(const std::function<bool(const TrafficCounts&)>& done,
                 std::chrono::milliseconds timeout) const;

private:
    friend class ServeLoop;

    // Stamps, stores and counts one log entry, then hands it to the sink.
    void record(LogKind kind, std::vector<std::uint8_t> bytes, bool endsReply = false);
    Frame answer(const Frame& command, Clock::time_point now);
    std::optional<std::vector<RecordedChunk>> replayed(const Frame& command);
    void releasePort();

    int m_portNumber = 0;
    // Shared with the serving thread, each under m_mutex.
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    DriveModel m_model;
    Faults m_faults;
    LineSettings m_line;
    TrafficCounts m_counts;
    std::vector<LogEntry> m_log;
    LogSink m_sink;
    std::optional<ReplayScript> m_replay;
    bool m_replayTiming = false;
    // Held from start() to stop().
    std::filesystem::path m_link;
    std::string m_device;
    int m_lockFd = -1;
    std::unique_ptr<ServeLoop> m_loop;
    std::thread m_thread;
};

} // namespace dx400::sim
