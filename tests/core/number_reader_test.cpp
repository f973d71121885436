#include "params/number_reader.h"

#include <gtest/gtest.h>
#include <string>

using namespace dx400;
using Kind = NumberReading::Kind;

TEST(NumberReader, ReadsDecimalNumbersAndRoundsHalvesToEven) {
    struct Case {
        std::string text;
        std::int32_t value;
    };
    const Case cases[] = {
        {"0", 0},
        {"20", 20},
        {"-1", -1},
        {"+7", 7},
        {"  42  ", 42},
        {"\t3", 3},
        {"007", 7},
        {"2.5", 2},
        {"3.5", 4},
        {"-2.5", -2},
        {"-3.5", -4},
        {"2.51", 3},
        {"2.4999", 2},
        {"0.5", 0},
        {"1.5", 2},
        {".6", 1},
        {"5.", 5},
        {"-0.4", 0},
        {"9999999", 9999999},
        {"-999999", -999999},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483646.5", 2147483646},
        {"-2147483647.5", -2147483647 - 1},
    };
    for (const Case& c : cases) {
        const NumberReading r = readNumber(c.text);
        EXPECT_EQ(r.kind, Kind::Number) << '"' << c.text << '"';
        EXPECT_EQ(r.value, c.value) << '"' << c.text << '"';
    }
}

TEST(NumberReader, RefusesWhatIsNotANumber) {
    const std::string refused[] = {
        "",      " ",
        "abc",   "12a",
        "+",     "-",
        ".",     "+.",
        "1e3",   "1,000",
        "1 000", "0x10",
        "&h10",  "--1",
        "1.2.3", "NaN",
        "inf",   "Infinity",
        "１２",  "٣",
        "1\n",   std::string(65, '1'),
    };
    for (const std::string& text : refused)
        EXPECT_EQ(readNumber(text).kind, Kind::NotANumber) << '"' << text << '"';
}

TEST(NumberReader, RefusesValuesThatRoundOutsideThe32BitRange) {
    const char* outside[] = {"2147483648", "-2147483649", "2147483647.5", "-2147483648.6",
                             "99999999999999999999"};
    for (const char* text : outside)
        EXPECT_EQ(readNumber(text).kind, Kind::OutOfRange) << text;
}
