#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace dx400::sim {

// One frame on the line, 10 bytes either way:
//
//   command  AA 00 cmd opt1 d3 d2 d1 d0 EE checksum   (the tool adds 00 00 after it)
//   reply    BB 00 cmd 64   d3 d2 d1 d0 EE checksum
//
// checksum = low 8 bits of the sum of indexes 1..7. Data is most significant byte first.
using Frame = std::array<std::uint8_t, 10>;

inline constexpr std::size_t kFrameSize = 10;
inline constexpr std::size_t kCommandIndex = 2;
inline constexpr std::size_t kStatusIndex = 3;
inline constexpr std::size_t kEndIndex = 8;
inline constexpr std::size_t kChecksumIndex = 9;
inline constexpr std::uint8_t kCommandStart = 0xAA;
inline constexpr std::uint8_t kReplyStart = 0xBB;
inline constexpr std::uint8_t kReplyStatus = 0x64;
inline constexpr std::uint8_t kFrameEnd = 0xEE;

// Low 8 bits of the sum of indexes 1..7 of a 10-byte frame.
std::uint8_t frameChecksum(const Frame& frame);

// True when the frame starts with AA, has EE at index 8 and a matching checksum.
bool isValidCommand(const Frame& frame);

// The drive's reply to command code cmd carrying data.
Frame makeReply(std::uint8_t cmd, std::int32_t data);

// The signed 32-bit value carried in d3..d0.
std::int32_t frameData(const Frame& frame);

// Bytes as upper-case hex pairs separated by spaces, e.g. "AA 00 06".
std::string toHex(std::span<const std::uint8_t> bytes);

} // namespace dx400::sim
