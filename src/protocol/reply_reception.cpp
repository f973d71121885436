#include "protocol/reply_reception.h"

#include "protocol/command_frame.h"
#include "protocol/hex_echo.h"

namespace dx400 {

bool byteFailsCheck(std::size_t position, std::uint8_t byte) {
    switch (position) {
    case 1:
        return byte != kReplyStart;
    case 4:
        return byte != kReplyStatus;
    case 9:
        return byte != kFrameEnd;
    default:
        return false;
    }
}

ReceivedBytes receiveBytes(std::span<const std::uint8_t> bytes) {
    ReceivedBytes result;
    result.echoPieces.emplace_back();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        appendEcho(result.echoPieces.back(), bytes[i]);
        if (i == 2)
            result.rxCmd = bytes[i];
        if (byteFailsCheck(i + 1, bytes[i]))
            result.echoPieces.emplace_back();
    }
    return result;
}

std::string rxHexFrom(std::string_view rxText) {
    std::string hex;
    for (std::size_t start : {16u, 20u, 24u, 28u}) {
        if (start < rxText.size())
            hex += rxText.substr(start, 2);
    }
    return hex;
}

} // namespace dx400
