#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace dx400 {

// Every byte sent or received is shown as two upper-case hex digits followed by two
// blanks ("0B  "), so byte k of a run always starts at character 4k of the text.
inline constexpr std::size_t kEchoWidth = 4;

void appendEcho(std::string& text, std::uint8_t byte);
std::string echoText(std::span<const std::uint8_t> bytes);

} // namespace dx400
