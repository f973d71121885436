#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>

namespace dx400 {

// One drive parameter: how it is selected on the line, where it sits on the panel and
// which values the drive accepts. Texts are UTF-8.
struct DriveParameter {
    int index;                // opt1 of the write (5) and read (6) commands
    const char* label;        // panel label
    const char* messageName;  // the parameter as the messages name it
    const char* writeBox;     // object name of the write box
    const char* readBox;      // object name of the read-back box
    int valueBytes;           // 1: data0 only; 2: data1 (high) and data0 (low)
    int limit;                // accepted: 0 <= value < limit
    const char* rangeMessage; // shown when the value is outside 0..limit-1
    const char* initialText;
    int maxChars; // most characters the write box takes
};

// The six parameters in panel order, top to bottom. WRITE ALL sends and READ ALL reads
// them in this order: indexes 1, 2, 4, 5, 7, 6 (index 3 is never used).
const std::array<DriveParameter, 6>& driveParameters();

// The order in which WRITE ALL and READ ALL paint the six boxes white before they start:
// the panel order with acceleration (5) before drive speed (4).
inline constexpr std::array<int, 6> kPaintOrder = {1, 2, 5, 4, 7, 6};

// The parameter with this index, or nullptr (3, 8 and anything else).
const DriveParameter* parameterByIndex(int index);

// Read-back box of the position, read with parameter index 8.
inline constexpr int kPositionIndex = 8;
inline constexpr const char* kPositionBox = "Text_RPOS";

bool acceptsValue(const DriveParameter& parameter, std::int64_t value);

// data1 (high) and data0 (low) of an accepted value.
std::pair<std::uint8_t, std::uint8_t> splitValue(const DriveParameter& parameter, int value);

// Shown when a write box does not hold a number at all.
std::string notANumberMessage(const DriveParameter& parameter);

} // namespace dx400
