#pragma once

#include <array>
#include <cstdint>

namespace dx400 {

// data3..data0 of a move or jog command: the value's 32-bit two's complement, most
// significant byte first (-1 gives FF FF FF FF).
std::array<std::uint8_t, 4> packPulses(std::int32_t value);

} // namespace dx400
