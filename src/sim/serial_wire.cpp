#include "sim/serial_wire.h"

namespace dx400::sim {

namespace {

constexpr std::int64_t kBitsPerByte = 10;
constexpr std::int64_t kNanosPerSecond = 1'000'000'000;
constexpr int kStopBit = 9;

// The line level during sender bit `index`, counted from the first start bit.
bool level(std::span<const std::uint8_t> bytes, std::int64_t index) {
    if (index < 0 || index >= kBitsPerByte * std::ssize(bytes)) {
        return true; // idle
    }
    const auto bit = static_cast<int>(index % kBitsPerByte);
    if (bit == 0 || bit == kStopBit) {
        return bit == kStopBit;
    }
    return (bytes[static_cast<std::size_t>(index / kBitsPerByte)] >> (bit - 1) & 1) != 0;
}

} // namespace

std::chrono::nanoseconds byteTime(int rate) {
    return std::chrono::nanoseconds(kBitsPerByte * kNanosPerSecond / rate);
}

std::vector<ReceivedByte> receiveBytes(std::span<const std::uint8_t> bytes, int senderRate,
                                       int receiverRate) {
    const std::int64_t sender = senderRate;
    const std::int64_t receiver = receiverRate;
    std::vector<ReceivedByte> received;
    for (std::int64_t edge = 0; edge < kBitsPerByte * std::ssize(bytes); ++edge) {
        if (!level(bytes, edge - 1) || level(bytes, edge)) {
            continue;
        }
        // The middle of receiver bit i after an edge at sender bit `edge` falls in sender bit
        // edge + (i + 1/2) * sender / receiver.
        const auto sample = [&](int i) {
            return level(bytes, edge + (2 * i + 1) * sender / (2 * receiver));
        };
        unsigned value = 0;
        for (int i = 1; i < kStopBit; ++i) {
            value |= (sample(i) ? 1u : 0u) << (i - 1);
        }
        if (sample(kStopBit)) {
            received.push_back({static_cast<std::uint8_t>(value),
                                std::chrono::nanoseconds(edge * kNanosPerSecond / sender) +
                                    byteTime(receiverRate)});
        }
        // The first sender bit that starts at or after the middle of the stop bit; the loop
        // steps onto it.
        edge += ((2 * kStopBit + 1) * sender + 2 * receiver - 1) / (2 * receiver) - 1;
    }
    return received;
}

} // namespace dx400::sim
