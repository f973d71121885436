#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace dx400::ctl {

// The names that scripts and profiles give the six parameters, in panel order, the order
// of driveParameters(): 동작전류, 정지전류, 동작속도, 가감속, 홈이동속도, 분해능.
inline constexpr std::array<const char*, 6> kParameterNames = {
    "current", "stop-current", "speed", "accel", "home-speed", "resolution"};

// "current, stop-current, ...", for messages.
QString parameterNameList();
// Where the parameter of this name stands in panel order, or nothing.
std::optional<std::size_t> parameterNamed(const QString& name);

// Texts or values for some of the six parameters, by panel position.
using ParameterTexts = std::array<std::optional<QString>, 6>;
using ParameterValues = std::array<std::optional<std::int32_t>, 6>;

// Reads every text as WRITE ALL reads its boxes and holds it against its parameter's
// limits. Throws Failure (ValueRefused) with the window's message for every refused
// value, so that nothing is sent when any value is wrong.
ParameterValues checkValues(const ParameterTexts& texts);

} // namespace dx400::ctl
