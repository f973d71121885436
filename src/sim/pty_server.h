#pragma once

#include "sim/drive_model.h"
#include "sim/faults.h"
#include "sim/serve_loop.h"
#include "sim/sim_state.h"
#include "sim/traffic_log.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace dx400::sim {

class PortClaim;

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
// temporary folder first. Log entries and counts are stored before the bytes are written,
// so whoever has received a reply already finds it there. The pseudo-terminal is raw from the
// start, so nothing is echoed or translated even before the tool sets the line up. While no one has
// the device open the server waits quietly; the tool may open and close it any number of times.
// Every accessor is safe to call from any thread while the server runs.
class PtyServer {
public:
    explicit PtyServer(int portNumber, const Faults& faults = {}, const Inputs& inputs = {});
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // Sees every log entry as it happens, on the serving thread. Set before start().
    void setLogSink(LogSink sink);

    // Opens the pseudo-terminal, publishes the link and starts serving. Throws
    // std::runtime_error with a readable message on failure, e.g. when a live simulator
    // already serves this port.
    void start();

    // Stops serving, closes the device and removes the link if it still points at it.
    void stop();

    // Closes the master side now, as a drive that lost power or a pulled cable; the tool
    // sees the line hang up and bytes it has not read yet are lost. The server then serves
    // no more until stopped. (The hangUpAfter fault instead lets the last reply be read.)
    void hangUp();

    std::string portName() const { return "COM" + std::to_string(m_portNumber); } // "COM4"
    std::string devicePath() const { return m_device; } // e.g. "/dev/pts/3", once started
    std::filesystem::path linkPath() const;

    std::vector<LogEntry> log() const { return m_state.log(); }
    TrafficCounts counts() const { return m_state.counts(); }
    DriveState driveState() const { return m_state.driveState(); }
    Faults faults() const { return m_state.faults(); }
    void setFaults(const Faults& faults);
    void setInputs(const Inputs& inputs) { m_state.setInputs(inputs); }

    // Waits until done(counts()) holds or the timeout passes; returns whether it holds.
    bool waitFor(const std::function<bool(const TrafficCounts&)>& done,
                 std::chrono::milliseconds timeout) const {
        return m_state.waitFor(done, timeout);
    }

private:
    int m_portNumber = 0;
    SimState m_state;
    LoopControl m_control;
    std::unique_ptr<PortClaim> m_claim;
    std::unique_ptr<ServeLoop> m_loop;
    std::thread m_thread;
    std::string m_device;
};

} // namespace dx400::sim
