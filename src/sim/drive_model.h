#pragma once

#include "sim/sim_frame.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <map>

namespace dx400::sim {

using Clock = std::chrono::steady_clock;

// Input states, [0] = input 1, [1] = input 2, [2] = input 3.
using Inputs = std::array<bool, 3>;

// Drive command codes.
namespace code {
inline constexpr std::uint8_t kJogRor = 1;
inline constexpr std::uint8_t kJogRol = 2;
inline constexpr std::uint8_t kStop = 3;
inline constexpr std::uint8_t kMove = 4; // opt1 0 absolute, 1 incremental
inline constexpr std::uint8_t kWriteParameter = 5;
inline constexpr std::uint8_t kReadParameter = 6;
inline constexpr std::uint8_t kOutput = 11;
inline constexpr std::uint8_t kReadInputs = 12;
} // namespace code

// Parameter index that reads the position instead of a stored parameter.
inline constexpr int kPositionIndex = 8;

// A snapshot of the drive, for status display and test checks.
struct DriveState {
    std::map<int, std::int32_t> parameters;
    std::int32_t position = 0;
    std::int64_t jogSpeed = 0; // signed pulses per second, 0 when standing still
    bool output = false;
    Inputs inputs{};
};

// The drive's behaviour: every valid command frame gets one reply frame.
// Parameters 1, 2, 4, 5, 7, 6 start at 20, 4, 800, 10, 500, 2 (as the window's boxes); a write
// stores any index and any value as sent. Moves are instant. A jog runs from the time of the
// command until a stop or a move, and the position is worked out from the clock whenever it is
// asked for. Positions wrap like a signed 32-bit counter.
class DriveModel {
public:
    DriveModel();

    Frame handle(const Frame& command, Clock::time_point now);

    DriveState state(Clock::time_point now) const;
    std::int32_t position(Clock::time_point now) const;
    void setInputs(const Inputs& inputs) { m_inputs = inputs; }

private:
    void jog(std::int64_t pulsesPerSecond, Clock::time_point now);
    std::int32_t parameter(int index, Clock::time_point now) const;

    std::map<int, std::int32_t> m_parameters;
    std::int32_t m_position = 0; // position at m_jogStart while jogging
    std::int64_t m_jogSpeed = 0; // signed pulses per second
    Clock::time_point m_jogStart{};
    bool m_output = false;
    Inputs m_inputs{};
};

} // namespace dx400::sim
