#pragma once

#include "sim/frame_reader.h"
#include "sim/sim_state.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <random>
#include <span>
#include <vector>

namespace dx400::sim {

// Requests from other threads to the serving thread; wake() interrupts its wait.
struct LoopControl {
    std::atomic<bool> stop{false};
    std::atomic<bool> hangUp{false};
    int wakeFd = -1; // an eventfd

    void wake() const;
};

// The serving thread's work on the pseudo-terminal master: reads frames, answers them
// through the state's drive model, writes replies when they fall due, floods, and hangs
// up the line. Owns the master fd and closes it on hang-up or destruction.
class ServeLoop {
public:
    ServeLoop(int masterFd, const LoopControl& control, SimState& state);
    ~ServeLoop();
    ServeLoop(const ServeLoop&) = delete;
    ServeLoop& operator=(const ServeLoop&) = delete;

    // Serves until a stop is requested or the line is hung up.
    void run();

private:
    struct PendingWrite {
        Clock::time_point due;
        std::chrono::milliseconds gapAfterPrevious{0}; // within one reply, 0 for its first write
        LogKind kind = LogKind::Tx;
        std::vector<std::uint8_t> bytes;
        bool endsReply = false;
    };

    void waitForActivity(Clock::time_point now);
    void readMaster();
    void answer(const Frame& command, Clock::time_point now);
    void writeDue(Clock::time_point now);
    void flood(Clock::time_point now);
    bool hangUpAfterDue() const;
    void letToolReadLastReply();
    void hangUpLine();
    void writeBytes(std::span<const std::uint8_t> bytes);

    int m_master = -1;
    const LoopControl& m_control;
    SimState& m_state;
    FrameReader m_reader;
    std::deque<PendingWrite> m_pending; // in due order
    std::minstd_rand m_random{0x0D400};
    bool m_slaveClosed = false;
    int m_floodRate = 0;
    Clock::time_point m_floodStart{};
    std::int64_t m_floodSent = 0;
};

} // namespace dx400::sim
