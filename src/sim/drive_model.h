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
// The parameters that shape a move, and their scale: speed S is S x 10 pulses a second,
// acceleration A is A x 1000 pulses a second per second.
inline constexpr int kSpeedIndex = 4;
inline constexpr int kAccelIndex = 5;
inline constexpr double kPulsesPerSecondPerSpeed = 10;
inline constexpr double kPulsesPerSecondSquaredPerAccel = 1000;

// A snapshot of the drive, for status display and test checks.
struct DriveState {
    std::map<int, std::int32_t> parameters;
    std::int32_t position = 0;
    std::int32_t target = 0;   // where the last move goes, or where the motor last stopped
    std::int64_t jogSpeed = 0; // signed pulses per second, 0 when not jogging
    bool output = false;
    Inputs inputs{};
};

// The drive's behaviour: every valid command frame gets one reply frame.
// Parameters 1, 2, 4, 5, 7, 6 start at 20, 4, 800, 10, 500, 2 (as the window's boxes); a write
// stores any index and any value as sent. A move runs on a trapezoid from where the motor is:
// up at the acceleration parameter's rate to the speed parameter's speed, on at that speed and
// down again to stop at its target (a triangle when it is too short to reach the speed; no
// ramps at an acceleration of 0; a speed below 1 counts as 1). An absolute move goes to its
// value, an incremental one to the last target plus its value. A jog runs at its speed from
// the time of the command until a stop or a move; a stop holds the motor where it is at once.
// The position is worked out from the clock whenever it is asked for, and wraps like a signed
// 32-bit counter.
class DriveModel {
public:
    DriveModel();

    Frame handle(const Frame& command, Clock::time_point now);

    DriveState state(Clock::time_point now) const;
    std::int32_t position(Clock::time_point now) const;
    void setInputs(const Inputs& inputs) { m_inputs = inputs; }

private:
    void jog(std::int64_t pulsesPerSecond, Clock::time_point now);
    void move(std::int64_t target, Clock::time_point now);
    // The position, unwrapped.
    std::int64_t reached(Clock::time_point now) const;
    // How far a move has gone after `seconds`, in pulses toward its target.
    std::int64_t travelled(double seconds) const;
    std::int32_t parameter(int index, Clock::time_point now) const;

    std::map<int, std::int32_t> m_parameters;
    // Where the motor was at m_since, and where a move goes: unwrapped, so that a distance
    // is true across the counter's wrap.
    std::int64_t m_position = 0;
    std::int64_t m_target = 0;
    std::int64_t m_jogSpeed = 0; // signed pulses per second
    bool m_moving = false;
    double m_speed = 1, m_accel = 0; // of the move, in pulses a second (per second)
    Clock::time_point m_since{};
    bool m_output = false;
    Inputs m_inputs{};
};

} // namespace dx400::sim
