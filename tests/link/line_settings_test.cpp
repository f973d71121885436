#include "link/line_settings.h"

#include <gtest/gtest.h>

using namespace dx400;

TEST(LineSettings, AcceptsWholeRatesOnly) {
    struct Case {
        const char* text;
        std::optional<qint32> rate;
    };
    const Case cases[] = {
        {"19200,N,8,1", 19200},       {"600,N,8,1", 600},
        {"128000,N,8,1", 128000},     {"56000,N,8,1", 56000},
        {"14400,N,8,1", 14400},       {"low_speed6000,N,8,1", std::nullopt},
        {",N,8,1", std::nullopt},     {"-9600,N,8,1", std::nullopt},
        {"0,N,8,1", std::nullopt},    {"9600.5,N,8,1", std::nullopt},
        {"9600,N,8", std::nullopt},   {"9600,X,8,1", std::nullopt},
        {"9600,N,9,1", std::nullopt}, {"99999999999,N,8,1", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto settings = parseLineSettings(QString::fromLatin1(c.text));
        EXPECT_EQ(settings.has_value(), c.rate.has_value()) << c.text;
        if (settings && c.rate)
            EXPECT_EQ(settings->rate, *c.rate) << c.text;
    }
}
