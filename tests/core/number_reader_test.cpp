#include "params/number_reader.h"

#include <gtest/gtest.h>
#include <string>

using namespace dx400;
using Kind = NumberReading::Kind;

TEST(NumberReader, ReadsDecimalNumbersRoundsHalvesToEvenAndRefusesEverythingElse) {
    const std::tuple<std::string, Kind, std::int32_t> cases[] = {
        {" 42\t", Kind::Number, 42},
        {"007", Kind::Number, 7},
        {"2.5", Kind::Number, 2},
        {"3.5", Kind::Number, 4},
        {"-2.5", Kind::Number, -2},
        {"2.51", Kind::Number, 3},
        {".6", Kind::Number, 1},
        {"-0.4", Kind::Number, 0},
        {"2147483647", Kind::Number, 2147483647},
        {"-2147483648", Kind::Number, -2147483647 - 1},
        {"-2147483647.5", Kind::Number, -2147483647 - 1},
        {"2147483648", Kind::OutOfRange, 0},
        {"2147483647.5", Kind::OutOfRange, 0},
        {"18446744073709551616", Kind::OutOfRange, 0}, // 2^64: wraps to 0 without a cap
        {"", Kind::NotANumber, 0},
        {"12a", Kind::NotANumber, 0},
        {"-", Kind::NotANumber, 0},
        {"+.", Kind::NotANumber, 0},
        {"1e3", Kind::NotANumber, 0},
        {"1,000", Kind::NotANumber, 0},
        {"1.2.3", Kind::NotANumber, 0},
        {"１２", Kind::NotANumber, 0},
        {"1\n", Kind::NotANumber, 0},
        {std::string(65, '1'), Kind::NotANumber, 0},
        {std::string(63, '0') + "7", Kind::Number, 7}, // the longest text read
    };
    for (const auto& [text, kind, value] : cases) {
        const NumberReading reading = readNumber(text);
        EXPECT_EQ(reading.kind, kind) << '"' << text << '"';
        EXPECT_EQ(reading.ok() ? reading.value : 0, value) << '"' << text << '"';
    }
}
