#include "params/number_reader.h"

#include <gtest/gtest.h>
#include <string>

using namespace dx400;
using Kind = NumberReading::Kind;

TEST(NumberReader, ReadsDecimalNumbersRoundsHalvesToEvenAndRefusesEverythingElse) {
    // clang-format off
    const std::pair<std::string, std::int32_t> numbers[] = {{" 42\t", 42}, {"007", 7}, {"2.5", 2},
        {"3.5", 4}, {"-2.5", -2}, {"2.51", 3}, {".6", 1}, {"-0.4", 0}, {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN}, {"-2147483647.5", INT32_MIN},
        {std::string(63, '0') + "7", 7}}; // the longest text read
    // clang-format on
    for (const auto& [text, value] : numbers) {
        EXPECT_EQ(readNumber(text).kind, Kind::Number) << '"' << text << '"';
        EXPECT_EQ(readNumber(text).value, value) << '"' << text << '"';
    }
    // 2^64 would wrap to 0 without a cap.
    for (const std::string text : {"2147483648", "2147483647.5", "18446744073709551616"})
        EXPECT_EQ(readNumber(text).kind, Kind::OutOfRange) << text;
    EXPECT_EQ(readNumber(std::string(65, '1')).kind, Kind::NotANumber);
    for (const std::string text : {"", "12a", "-", "+.", "1e3", "1,000", "1.2.3", "１２", "1\n"})
        EXPECT_EQ(readNumber(text).kind, Kind::NotANumber) << '"' << text << '"';
}
