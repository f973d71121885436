#include "motion/pulse_packing.h"

namespace dx400 {

std::array<std::uint8_t, 4> packPulses(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    return {static_cast<std::uint8_t>(bits >> 24), static_cast<std::uint8_t>(bits >> 16),
            static_cast<std::uint8_t>(bits >> 8), static_cast<std::uint8_t>(bits)};
}

} // namespace dx400
