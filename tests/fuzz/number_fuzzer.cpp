// Fuzzes readNumber, the reader behind every number box, against references built
// differently: a regular expression decides what is a number; its value comes from
// string handling alone and, where precise enough, from long double arithmetic
// (rounding to nearest, ties to even). Whatever reads as a
// number is then carried into a frame, as the move, jog and parameter handlers do, and
// read back from the frame bytes: the value sent must be the value typed.
#include "motion/pulse_packing.h"
#include "params/number_reader.h"
#include "params/parameter_table.h"
#include "protocol/command_frame.h"

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>

using namespace dx400;
using Kind = NumberReading::Kind;

namespace {

void require(bool condition, const char* what, const std::string& text) {
    if (!condition) {
        std::fprintf(stderr, "number fuzzer: %s for \"%s\"\n", what, text.c_str());
        std::abort();
    }
}

// Texts longer than this are refused whatever they hold.
constexpr std::size_t kLongest = 64;

bool looksLikeANumber(const std::string& text) {
    static const std::regex number(R"(^[ \t]*[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)[ \t]*$)");
    return std::regex_match(text, number);
}

// The value by string handling alone: the whole part's digits, and the fraction
// compared with "5" as text. Without trailing zeros, a fraction's digit string compares
// with another's in text order exactly as the fractions compare in value.
struct Exact {
    bool outOfRange = false;
    std::int64_t value = 0;
};

Exact exactValue(const std::string& text) {
    std::string body = text;
    body.erase(0, body.find_first_not_of(" \t"));
    body.erase(body.find_last_not_of(" \t") + 1);
    const bool negative = body[0] == '-';
    if (body[0] == '-' || body[0] == '+')
        body.erase(0, 1);
    const std::size_t point = body.find('.');
    std::string whole = body.substr(0, point);
    std::string fraction = point == std::string::npos ? "" : body.substr(point + 1);
    whole.erase(0, whole.find_first_not_of('0') == std::string::npos
                       ? whole.size()
                       : whole.find_first_not_of('0'));
    fraction.erase(fraction.find_last_not_of('0') + 1);
    if (whole.size() > 10)
        return {true, 0};
    std::int64_t magnitude = whole.empty() ? 0 : std::stoll(whole);
    if (fraction > "5" || (fraction == "5" && magnitude % 2 == 1))
        ++magnitude;
    const std::int64_t value = negative ? -magnitude : magnitude;
    return {value < INT32_MIN || value > INT32_MAX, value};
}

// Digits that decide the value: leading zeros of the whole part and trailing zeros of
// the fraction do not count.
std::size_t significantDigits(const std::string& text) {
    std::string digits;
    for (char c : text) {
        if ((c >= '0' && c <= '9') || c == '.')
            digits += c;
    }
    const std::size_t point = digits.find('.');
    std::string whole = digits.substr(0, point);
    std::string fraction = point == std::string::npos ? "" : digits.substr(point + 1);
    const std::size_t firstWhole = whole.find_first_not_of('0');
    const std::size_t wholeDigits = firstWhole == std::string::npos ? 0 : whole.size() - firstWhole;
    const std::size_t lastFraction = fraction.find_last_not_of('0');
    return wholeDigits + (lastFraction == std::string::npos ? 0 : lastFraction + 1);
}

// The value as the frames carry it, read back from the bytes of a move frame.
std::int32_t throughAMoveFrame(std::int32_t value) {
    const auto data = packPulses(value);
    TxBuffer frame{};
    if (!fillTxBuffer(frame, {command::kMove, 0, data[0], data[1], data[2], data[3]}))
        std::abort();
    const std::uint32_t bits = std::uint32_t{frame[4]} << 24 | std::uint32_t{frame[5]} << 16 |
                               std::uint32_t{frame[6]} << 8 | frame[7];
    return static_cast<std::int32_t>(bits);
}

void checkParameters(std::int32_t value, const std::string& text) {
    for (const DriveParameter& parameter : driveParameters()) {
        if (!acceptsValue(parameter, value))
            continue;
        require(value >= 0 && value < parameter.limit, "accepted outside the limit", text);
        const auto [high, low] = splitValue(parameter, value);
        TxBuffer frame{};
        require(fillTxBuffer(frame, {command::kWriteParameter, parameter.index, 0, 0, high, low}),
                "parameter frame refused", text);
        require(frame[6] * 256 + frame[7] == value, "parameter frame carries another value", text);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const NumberReading reading = readNumber(text);

    if (size > kLongest || !looksLikeANumber(text)) {
        require(reading.kind == Kind::NotANumber, "accepted what is not a number", text);
        return 0;
    }
    require(reading.kind != Kind::NotANumber, "refused a number", text);

    const Exact exact = exactValue(text);
    require(reading.kind == (exact.outOfRange ? Kind::OutOfRange : Kind::Number), "range", text);
    if (reading.ok())
        require(reading.value == exact.value, "value", text);

    // Up to 18 significant digits, a long double tells every text from the nearest half,
    // so its rounding (to nearest, ties to even) must agree too.
    if (significantDigits(text) <= 18) {
        std::fesetround(FE_TONEAREST);
        const long double rounded = std::nearbyintl(std::strtold(text.c_str(), nullptr));
        const bool inRange = rounded >= -2147483648.0L && rounded <= 2147483647.0L;
        require(reading.kind == (inRange ? Kind::Number : Kind::OutOfRange), "long double range",
                text);
        if (reading.ok())
            require(static_cast<long double>(reading.value) == rounded, "long double value", text);
    }

    if (reading.ok()) {
        require(throughAMoveFrame(reading.value) == reading.value, "move frame value", text);
        checkParameters(reading.value, text);
    }
    return 0;
}
