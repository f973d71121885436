// Fuzzes readNumber, the reader behind every number box, against references built
// differently: a regular expression decides what is a number, and long double arithmetic
// (to nearest, ties to even) gives its value wherever it is precise enough.
#include "params/number_reader.h"
#include "require.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <regex>
#include <string>

using namespace dx400;
using Kind = NumberReading::Kind;

namespace {

// Digits that decide the value, without the whole part's leading zeros and the
// fraction's trailing ones: up to 18, a long double tells every text from the nearest half.
std::size_t significantDigits(std::string text) {
    if (text.find('.') != std::string::npos)
        text.erase(text.find_last_not_of("0 \t") + 1);
    const std::size_t first = text.find_first_of("123456789");
    return first == std::string::npos
               ? 0
               : std::size_t(std::count_if(text.begin() + long(first), text.end(),
                                           [](char c) { return c >= '0' && c <= '9'; }));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const NumberReading reading = readNumber(text);
    static const std::regex number(R"(^[ \t]*[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)[ \t]*$)");
    if (size > 64 || !std::regex_match(text, number)) {
        require(reading.kind == Kind::NotANumber, "accepted what is not a number", text);
        return 0;
    }
    require(reading.kind != Kind::NotANumber, "refused a number", text);
    if (significantDigits(text) <= 18) {
        std::fesetround(FE_TONEAREST);
        const long double rounded = std::nearbyintl(std::strtold(text.c_str(), nullptr));
        const bool inRange = rounded >= -2147483648.0L && rounded <= 2147483647.0L;
        require(reading.kind == (inRange ? Kind::Number : Kind::OutOfRange), "range", text);
        if (reading.ok())
            require(static_cast<long double>(reading.value) == rounded, "value", text);
    }
    return 0;
}
