#pragma once

#include <QString>
#include <array>
#include <optional>

namespace dx400 {

// The line runs at one of these rates with 8 data bits, no parity and 1 stop bit.
// The line speeds the operator chooses from, in the order the speed list shows them.
// "low_speed6000" is listed but is no rate: a connect with it is refused.
struct LineRate {
    const char* text;
    qint32 rate; // 0: not a rate
};
inline constexpr std::array<LineRate, 13> kLineRates = {{
    {"low_speed6000", 0},
    {"128000", 128000},
    {"115200", 115200},
    {"57600", 57600},
    {"56000", 56000},
    {"38400", 38400},
    {"19200", 19200},
    {"14400", 14400},
    {"9600", 9600},
    {"4800", 4800},
    {"2400", 2400},
    {"1200", 1200},
    {"600", 600},
}};
inline constexpr std::size_t kDefaultRatePosition = 6; // "19200"

// The rate of a text of the list ("9600"), or nothing for any other text.
std::optional<qint32> rateOfText(const QString& text);

} // namespace dx400
