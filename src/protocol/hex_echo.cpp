#include "protocol/hex_echo.h"

namespace dx400 {

void appendEcho(std::string& text, std::uint8_t byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
    text += "  ";
}

std::string echoText(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() * kEchoWidth);
    for (std::uint8_t b : bytes)
        appendEcho(text, b);
    return text;
}

} // namespace dx400
