#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dx400 {

// A reply as one receive event reads it, bytes counted from 1:
//
//   byte   1   2         3          4   5      6      7      8      9   10
//   value  BB  (any)     reply cmd  64  data3  data2  data1  data0  EE  checksum
//
// Bytes 1, 4 and 9 are tested; the checksum is never verified. Positions restart at
// 1 in every receive event: there is no resynchronisation on BB.
inline constexpr int kReplyLength = 10;
inline constexpr std::uint8_t kReplyStart = 0xBB;
inline constexpr std::uint8_t kReplyStatus = 0x64;

// True when the byte read at this position (1-based) of an event is not what a reply
// carries there.
bool byteFailsCheck(std::size_t position, std::uint8_t byte);

// What the window shows of one receive event.
struct ReceivedBytes {
    // The echo of the bytes read, cut after every byte that failed its test: the window
    // shows the message "통신에러" after each piece but the last, so that every message
    // appears over the byte it is about.
    std::vector<std::string> echoPieces;
    std::uint8_t rxCmd = 0; // byte 3, or 0 when fewer than three were read
};

ReceivedBytes receiveBytes(std::span<const std::uint8_t> bytes);

// Characters of the receive echo that the reply decoder needs: the data digits start
// at character 17 (1-based) and the last input byte ends at character 30.
inline constexpr std::size_t kRxHeadLength = 30;

// The data digits of a reply: two characters each from positions 17, 21, 25 and 29
// (1-based) of the receive echo text. Missing pieces are empty.
std::string rxHexFrom(std::string_view rxText);

} // namespace dx400
