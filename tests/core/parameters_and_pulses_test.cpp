#include "motion/pulse_packing.h"
#include "params/parameter_table.h"

#include <gtest/gtest.h>

using namespace dx400;

TEST(PulsePacking, PacksTwosComplementMostSignificantFirst) {
    struct Case {
        std::int32_t value;
        std::array<std::uint8_t, 4> bytes;
    };
    const Case cases[] = {
        {0, {0x00, 0x00, 0x00, 0x00}},
        {1000, {0x00, 0x00, 0x03, 0xE8}},
        {-100, {0xFF, 0xFF, 0xFF, 0x9C}},
        {255, {0x00, 0x00, 0x00, 0xFF}},
        {256, {0x00, 0x00, 0x01, 0x00}},
        {65536, {0x00, 0x01, 0x00, 0x00}},
        {9999999, {0x00, 0x98, 0x96, 0x7F}},
        {-999999, {0xFF, 0xF0, 0xBD, 0xC1}},
        {-1, {0xFF, 0xFF, 0xFF, 0xFF}},
        {2047, {0x00, 0x00, 0x07, 0xFF}},
        {9999, {0x00, 0x00, 0x27, 0x0F}},
        {2147483647, {0x7F, 0xFF, 0xFF, 0xFF}},
        {-2147483647 - 1, {0x80, 0x00, 0x00, 0x00}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(packPulses(c.value), c.bytes) << c.value;
}

TEST(ParameterTable, LimitsAtEachBoundary) {
    struct Case {
        int index;
        std::int64_t value;
        bool accepted;
    };
    const Case cases[] = {
        {1, 0, true},     {1, 31, true},   {1, 32, false},   {1, -1, false},
        {2, 31, true},    {2, 32, false},  {4, 2046, true},  {4, 2047, false},
        {4, -1, false},   {5, 2046, true}, {5, 2047, false}, {7, 2046, true},
        {7, 2047, false}, {6, 7, true},    {6, 8, false},    {6, -1, false},
    };
    for (const Case& c : cases) {
        const DriveParameter* p = parameterByIndex(c.index);
        ASSERT_NE(p, nullptr) << c.index;
        EXPECT_EQ(acceptsValue(*p, c.value), c.accepted) << c.index << " " << c.value;
    }
    EXPECT_EQ(parameterByIndex(3), nullptr);
    EXPECT_EQ(parameterByIndex(8), nullptr);
}

TEST(ParameterTable, SplitsValuesIntoHighAndLowBytes) {
    struct Case {
        int index;
        int value;
        std::uint8_t high, low;
    };
    const Case cases[] = {
        {4, 2046, 0x07, 0xFE}, {4, 255, 0x00, 0xFF}, {4, 256, 0x01, 0x00},
        {7, 500, 0x01, 0xF4},  {1, 31, 0x00, 0x1F},  {6, 7, 0x00, 0x07},
    };
    for (const Case& c : cases) {
        const auto [high, low] = splitValue(*parameterByIndex(c.index), c.value);
        EXPECT_EQ(high, c.high) << c.index << " " << c.value;
        EXPECT_EQ(low, c.low) << c.index << " " << c.value;
    }
}

TEST(ParameterTable, PanelOrderIsTheWriteAndReadOrder) {
    std::vector<int> indexes;
    for (const DriveParameter& p : driveParameters())
        indexes.push_back(p.index);
    EXPECT_EQ(indexes, (std::vector<int>{1, 2, 4, 5, 7, 6}));
}
