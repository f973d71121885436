#include "sim/serial_wire.h"

namespace dx400::sim {

namespace {

constexpr std::int64_t kBitsPerByte = 10;
constexpr std::int64_t kNanosPerSecond = 1'000'000'000;

} // namespace

std::chrono::nanoseconds byteTime(int rate) {
    return std::chrono::nanoseconds(kBitsPerByte * kNanosPerSecond / rate);
}

} // namespace dx400::sim
