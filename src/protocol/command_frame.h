#pragma once

#include <array>
#include <cstdint>

namespace dx400 {

// One command as it goes on the line, written as 12 bytes in a single call:
//
//   index  0   1   2    3     4      5      6      7      8   9         10  11
//   byte   AA  00  cmd  opt1  data3  data2  data1  data0  EE  checksum  00  00
//
// checksum = low 8 bits of the sum of indexes 1 to 7 (AA and EE are not summed).
// Multi-byte values travel most significant byte first in data3..data0. The two
// trailing zero bytes are always sent and never shown in the echo.
using TxBuffer = std::array<std::uint8_t, 12>;

inline constexpr std::uint8_t kCommandStart = 0xAA;
inline constexpr std::uint8_t kFrameEnd = 0xEE;
inline constexpr std::size_t kFrameLength = 10;

// The pause between frames the drive is given where the window paces them: between the
// frames of WRITE ALL, and after a reply before the next request of READ ALL.
inline constexpr int kFramePauseMs = 100;

// Command codes the window sends.
namespace command {
inline constexpr int kJogRor = 1;
inline constexpr int kJogRol = 2;
inline constexpr int kStop = 3;
inline constexpr int kMove = 4; // opt1 0 absolute, 1 incremental
inline constexpr int kWriteParameter = 5;
inline constexpr int kReadParameter = 6; // opt1 = parameter index, 8 = position
inline constexpr int kOutput = 11;
inline constexpr int kInput = 12;
} // namespace command

struct CommandArgs {
    int cmd = 0;
    int opt1 = 0;
    int data3 = 0;
    int data2 = 0;
    int data1 = 0;
    int data0 = 0;
};

// Stores a frame into tx_buf index by index. An argument outside 0..255 stops the
// fill at that argument (the bytes before it stay stored) and returns false: such a
// buffer must not be sent. Indexes 10 and 11 are never written.
bool fillTxBuffer(TxBuffer& txBuf, const CommandArgs& args);

} // namespace dx400
