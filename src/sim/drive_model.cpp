#include "sim/drive_model.h"

#include <algorithm>
#include <cmath>

namespace dx400::sim {

namespace {

// Keeps the low 32 bits as a signed value, the way the drive's counter wraps.
std::int32_t wrap(std::int64_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

} // namespace

DriveModel::DriveModel() : m_parameters{{1, 20}, {2, 4}, {4, 800}, {5, 10}, {6, 2}, {7, 500}} {}

std::int32_t DriveModel::position(Clock::time_point now) const {
    return wrap(reached(now));
}

std::int64_t DriveModel::reached(Clock::time_point now) const {
    const auto elapsed = std::chrono::duration<long double>(now - m_since).count();
    if (m_moving) {
        const std::int64_t done = travelled(static_cast<double>(elapsed));
        return m_position + (m_target >= m_position ? done : -done);
    }
    return m_position + static_cast<std::int64_t>(static_cast<long double>(m_jogSpeed) * elapsed);
}

std::int64_t DriveModel::travelled(double seconds) const {
    const double distance = std::abs(static_cast<double>(m_target - m_position));
    // Each ramp takes `ramp` seconds and together they cover peak x ramp pulses.
    const double peak = m_accel > 0 ? std::min(m_speed, std::sqrt(distance * m_accel)) : m_speed;
    const double ramp = m_accel > 0 ? peak / m_accel : 0;
    const double cruise = (distance - peak * ramp) / peak;
    const double left = 2 * ramp + cruise - seconds;
    double done = distance;
    if (seconds < ramp) {
        done = m_accel * seconds * seconds / 2;
    } else if (seconds < ramp + cruise) {
        done = peak * ramp / 2 + peak * (seconds - ramp);
    } else if (left > 0) {
        done = distance - m_accel * left * left / 2;
    }
    return static_cast<std::int64_t>(std::max(0.0, done));
}

void DriveModel::jog(std::int64_t pulsesPerSecond, Clock::time_point now) {
    m_position = reached(now);
    m_target = m_position;
    m_moving = false;
    m_jogSpeed = pulsesPerSecond;
    m_since = now;
}

void DriveModel::move(std::int64_t target, Clock::time_point now) {
    jog(0, now);
    m_target = target;
    m_speed = std::max(1, parameter(kSpeedIndex, now)) * kPulsesPerSecondPerSpeed;
    m_accel = std::max(0, parameter(kAccelIndex, now)) * kPulsesPerSecondSquaredPerAccel;
    m_moving = target != m_position;
}

std::int32_t DriveModel::parameter(int index, Clock::time_point now) const {
    if (index == kPositionIndex) {
        return position(now);
    }
    const auto found = m_parameters.find(index);
    return found == m_parameters.end() ? 0 : found->second;
}

Frame DriveModel::handle(const Frame& command, Clock::time_point now) {
    const std::uint8_t cmd = command[2];
    const int opt1 = command[3];
    const std::int32_t data = frameData(command);
    std::int32_t replyData = 0;
    switch (cmd) {
    case code::kJogRor:
        jog(data, now);
        break;
    case code::kJogRol:
        jog(-std::int64_t{data}, now);
        break;
    case code::kStop:
        jog(0, now);
        break;
    case code::kMove:
        if (opt1 == 0 || opt1 == 1) {
            // The counter wraps: an absolute move goes from its value now to `data`.
            move(opt1 == 0 ? reached(now) + (std::int64_t{data} - position(now)) : m_target + data,
                 now);
        }
        break;
    case code::kWriteParameter:
        m_parameters[opt1] = data;
        replyData = data;
        break;
    case code::kReadParameter:
        replyData = parameter(opt1, now);
        break;
    case code::kOutput:
        m_output = command[7] != 0;
        break;
    case code::kReadInputs:
        replyData =
            (m_inputs[2] ? 1 << 16 : 0) | (m_inputs[1] ? 1 << 8 : 0) | (m_inputs[0] ? 1 : 0);
        break;
    default:
        break;
    }
    return makeReply(cmd, replyData);
}

DriveState DriveModel::state(Clock::time_point now) const {
    return {m_parameters, position(now), wrap(m_target), m_jogSpeed, m_output, m_inputs};
}

} // namespace dx400::sim
