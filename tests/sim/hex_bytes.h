#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dx400::sim::test {

// Bytes written out as hex pairs, e.g. "AA 00 06", so expected frames read like the line.
inline std::vector<std::uint8_t> hexBytes(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == ' ') {
            ++pos;
            continue;
        }
        bytes.push_back(
            static_cast<std::uint8_t>(std::stoi(std::string(text.substr(pos, 2)), nullptr, 16)));
        pos += 2;
    }
    return bytes;
}

} // namespace dx400::sim::test
