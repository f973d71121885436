// Fuzzes readNumber, the reader behind every number box, against references built
// differently: a regular expression decides what is a number, and long double arithmetic
// (to nearest, ties to even) gives the value of texts short enough for it to be exact.
#include "params/number_reader.h"
#include "require.h"

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <regex>
#include <string>

using namespace dx400;
using Kind = NumberReading::Kind;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const NumberReading reading = readNumber(text);
    static const std::regex number(R"(^[ \t]*[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)[ \t]*$)");
    if (size > 64 || !std::regex_match(text, number)) {
        require(reading.kind == Kind::NotANumber, "accepted what is not a number", text);
        return 0;
    }
    require(reading.kind != Kind::NotANumber, "refused a number", text);
    if (size <= 18) { // up to 18 digits a long double tells every text from the nearest half
        std::fesetround(FE_TONEAREST);
        const long double rounded = std::nearbyintl(std::strtold(text.c_str(), nullptr));
        const bool inRange = rounded >= -2147483648.0L && rounded <= 2147483647.0L;
        require(reading.kind == (inRange ? Kind::Number : Kind::OutOfRange), "range", text);
        if (reading.ok())
            require(static_cast<long double>(reading.value) == rounded, "value", text);
    }
    return 0;
}
