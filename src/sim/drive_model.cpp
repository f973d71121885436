#include "sim/drive_model.h"

namespace dx400::sim {

namespace {

// Keeps the low 32 bits as a signed value, the way the drive's counter wraps.
std::int32_t wrap(std::int64_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

} // namespace

DriveModel::DriveModel() : m_parameters{{1, 20}, {2, 4}, {4, 800}, {5, 10}, {6, 2}, {7, 500}} {}

std::int32_t DriveModel::position(Clock::time_point now) const {
    if (m_jogSpeed == 0) {
        return m_position;
    }
    const auto elapsed = std::chrono::duration<long double>(now - m_jogStart).count();
    const auto pulses = static_cast<std::int64_t>(static_cast<long double>(m_jogSpeed) * elapsed);
    return wrap(m_position + pulses);
}

void DriveModel::jog(std::int64_t pulsesPerSecond, Clock::time_point now) {
    m_position = position(now);
    m_jogSpeed = pulsesPerSecond;
    m_jogStart = now;
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
            jog(0, now);
            m_position = opt1 == 0 ? data : wrap(std::int64_t{m_position} + data);
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
    return {m_parameters, position(now), m_jogSpeed, m_output, m_inputs};
}

} // namespace dx400::sim
