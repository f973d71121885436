#include "params/number_reader.h"

#include <limits>

namespace dx400 {

namespace {

// Longer texts are refused outright: no box holds more than a few characters, and a
// bound keeps the reading cheap whatever is pasted.
constexpr std::size_t kMaxTextLength = 64;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

NumberReading readNumber(std::string_view text) {
    using Kind = NumberReading::Kind;
    if (text.size() > kMaxTextLength)
        return {Kind::NotANumber, 0};
    text = trimmed(text);

    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    if (whole.empty() && fraction.empty())
        return {Kind::NotANumber, 0};
    for (std::string_view part : {whole, fraction}) {
        for (char c : part) {
            if (!isDigit(c))
                return {Kind::NotANumber, 0};
        }
    }

    // Accumulate the magnitude with a cap well above the 32-bit range, so that long
    // digit runs cannot overflow.
    constexpr std::int64_t kCap = std::int64_t{1} << 40;
    std::int64_t magnitude = 0;
    for (char c : whole) {
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > kCap)
            magnitude = kCap;
    }

    // Round half to even on the exact decimal fraction.
    if (!fraction.empty()) {
        const int first = fraction.front() - '0';
        const bool restNonZero = fraction.find_first_not_of('0', 1) != std::string_view::npos;
        const bool up = first > 5 || (first == 5 && (restNonZero || magnitude % 2 == 1));
        if (up)
            ++magnitude;
    }

    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        return {Kind::OutOfRange, 0};
    return {Kind::Number, static_cast<std::int32_t>(value)};
}

} // namespace dx400
