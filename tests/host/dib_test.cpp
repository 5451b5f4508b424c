#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "rules/dib.h"

namespace {
DibHeader header(uint16_t bitCount, uint32_t colorsUsed = 0, int32_t width = 10, int32_t height = 2)
{
    DibHeader h{};
    h.size = sizeof(DibHeader);
    h.width = width;
    h.height = height;
    h.planes = 1;
    h.bitCount = bitCount;
    h.colorsUsed = colorsUsed;
    return h;
}
} // namespace

TEST(DibColorCount, FullTableByDepthUnlessTheHeaderGivesOne)
{
    EXPECT_EQ(dibColorCount(&static_cast<const DibHeader&>(header(1))), 2);
    const DibHeader depths[] = {header(1), header(4), header(8), header(16), header(24), header(32)};
    const uint16_t expected[] = {2, 16, 256, 0, 0, 0};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(dibColorCount(&depths[i]), expected[i]) << depths[i].bitCount << " bits";
    }
    const DibHeader separator = header(8, 5);
    EXPECT_EQ(dibColorCount(&separator), 5);
    const DibHeader trueColorWithTable = header(24, 12);
    EXPECT_EQ(dibColorCount(&trueColorWithTable), 12);
    const DibHeader wideCount = header(8, 0x10005);
    EXPECT_EQ(dibColorCount(&wideCount), 5) << "the count is taken as 16 bits";
}

TEST(DibBits, FollowHeaderAndColourTable)
{
    const DibHeader banner = header(8);
    EXPECT_EQ(dibBits(&banner) - reinterpret_cast<const uint8_t*>(&banner), 40 + 1024);
    const DibHeader separator = header(8, 5);
    EXPECT_EQ(dibBits(&separator) - reinterpret_cast<const uint8_t*>(&separator), 40 + 20);
    const DibHeader picture = header(4);
    EXPECT_EQ(dibBits(&picture) - reinterpret_cast<const uint8_t*>(&picture), 40 + 64);
    DibHeader longer = header(24);
    longer.size = 124; // a later header version
    EXPECT_EQ(dibBits(&longer) - reinterpret_cast<const uint8_t*>(&longer), 124);
}

TEST(DibIsComplete, NeedsEveryRowInsideTheBlock)
{
    // 10 x 2 at 8 bits: rows padded to 12 bytes.
    const DibHeader separator = header(8, 5);
    const size_t whole = 40 + 20 + 2 * 12;
    EXPECT_TRUE(dibIsComplete(&separator, whole));
    EXPECT_FALSE(dibIsComplete(&separator, whole - 1));
    // 120 x 168 at 4 bits: 60 bytes a row.
    const DibHeader picture = header(4, 0, 120, 168);
    EXPECT_TRUE(dibIsComplete(&picture, 40 + 64 + 168 * 60));
    EXPECT_FALSE(dibIsComplete(&picture, 40 + 64 + 168 * 60 - 1));
    const DibHeader topDown = header(4, 0, 120, -168);
    EXPECT_TRUE(dibIsComplete(&topDown, 40 + 64 + 168 * 60));
    EXPECT_FALSE(dibIsComplete(&separator, 39)) << "not even a header";
}

TEST(DibIsComplete, RefusesHeadersThatCannotBeDrawnSafely)
{
    DibHeader h = header(8, 5);
    h.size = 12;
    EXPECT_FALSE(dibIsComplete(&h, 1000)) << "header shorter than its own fields";
    h = header(8, 5);
    h.compression = 1;
    EXPECT_FALSE(dibIsComplete(&h, 1000)) << "run-length rows have no fixed size";
    h = header(8, 0xFFFF, 0x7FFFFFFF, 0x7FFFFFFF);
    EXPECT_FALSE(dibIsComplete(&h, 1000)) << "sizes that would overflow 32-bit arithmetic";
    h = header(8, 5, 0, 2);
    EXPECT_FALSE(dibIsComplete(&h, 1000));
}
