#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace dx400 {

// One drive parameter: how it is selected on the line, which values the drive accepts
// and how the messages name it.
struct DriveParameter {
    int index; // opt1 of the write (5) and read (6) commands
    int limit; // accepted: 0 <= value < limit
    std::string_view name;
    std::string_view rangeMessage; // shown when the value is outside 0..limit-1
};

// The six parameters in panel order, top to bottom. WRITE ALL sends and READ ALL reads
// them in this order: indexes 1, 2, 4, 5, 7, 6 (index 3 is never used).
const std::array<DriveParameter, 6>& driveParameters();

// Where the parameter with this index stands in panel order, or nothing (3, 8, ...).
std::optional<std::size_t> panelPosition(int index);

// The order in which WRITE ALL and READ ALL paint the six boxes white before they start,
// as panel positions: acceleration before drive speed.
inline constexpr std::array<std::size_t, 6> kPaintOrder = {0, 1, 3, 2, 4, 5};

// The position is read with parameter index 8.
inline constexpr int kPositionIndex = 8;

bool acceptsValue(const DriveParameter& parameter, std::int64_t value);

// A parameter's value as typed, or the message that refuses it: the parameter's name for
// a text that is no number, its range message for a number the drive does not take.
struct ParameterReading {
    int value = 0;
    std::string refusal; // empty when the value is taken
    bool ok() const { return refusal.empty(); }
};
ParameterReading readParameter(const DriveParameter& parameter, std::string_view text);

// data1 (high) and data0 (low) of an accepted value. Below 256 (current, stop current,
// resolution) data1 is 0 and the value is data0 alone.
std::pair<std::uint8_t, std::uint8_t> splitValue(int value);

} // namespace dx400
