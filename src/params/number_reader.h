#pragma once

#include <cstdint>
#include <string_view>

namespace dx400 {

// How the text of a number box reads.
struct NumberReading {
    enum class Kind { Number, NotANumber, OutOfRange };
    Kind kind = Kind::NotANumber;
    std::int32_t value = 0; // meaningful for Kind::Number only

    bool ok() const { return kind == Kind::Number; }
};

// Reads the text of any number box (the write boxes, the pulse and jog boxes): ASCII
// blanks around an optionally signed decimal number with an optional fractional part,
// rounded to the nearest whole number, halves to the even neighbour ("2.5" reads 2,
// "-3.5" reads -4). Anything else is not a number: empty, letters, a lone sign or point,
// exponents, digit grouping, hex prefixes, non-ASCII digits, and texts longer than any
// box could sensibly hold. Values that round outside the signed 32-bit range are
// OutOfRange. The text is UTF-8.
NumberReading readNumber(std::string_view text);

} // namespace dx400
