#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "rules/progress_math.h"

namespace {
std::string grouped(uint32_t value)
{
    char text[GROUPED_NUMBER_SIZE];
    formatGroupedNumber(value, text);
    return text;
}
} // namespace

TEST(GroupedNumber, GroupsByThreeWithCommas)
{
    EXPECT_EQ(grouped(0), "0");
    EXPECT_EQ(grouped(999), "999");
    EXPECT_EQ(grouped(1000), "1,000");
    EXPECT_EQ(grouped(100000), "100,000");
    EXPECT_EQ(grouped(1234567), "1,234,567");
    EXPECT_EQ(grouped(UINT32_MAX), "4,294,967,295");
}

TEST(BarPosition, IsExactForTotalsUpToTheLargestUint32)
{
    EXPECT_EQ(barPosition(0, 0), 0);
    EXPECT_EQ(barPosition(0, 1000), 0);
    EXPECT_EQ(barPosition(995, 1000), 199) << "shows 99%";
    EXPECT_EQ(barPosition(1000, 1000), 200);
    EXPECT_EQ(barPosition(UINT32_MAX, UINT32_MAX), 200);
    EXPECT_EQ(barPosition(UINT32_MAX - 1, UINT32_MAX), 199);
    EXPECT_EQ(barPosition(UINT32_MAX / 2, UINT32_MAX), 99);
    // A product of done and 200 above 32 bits must not wrap.
    EXPECT_EQ(barPosition(3000000000u, 4000000000u), 150);
    for (uint32_t total : {1u, 7u, 200u, 1000003u, UINT32_MAX}) {
        uint16_t previous = 0;
        for (uint32_t step = 0; step <= 64; ++step) {
            const uint32_t done = static_cast<uint32_t>(static_cast<uint64_t>(total) * step / 64);
            const uint16_t position = barPosition(done, total);
            EXPECT_GE(position, previous) << "the bar never moves back";
            EXPECT_LE(position, 200);
            previous = position;
        }
        EXPECT_EQ(previous, 200);
    }
}
