#include <gtest/gtest.h>

#include "rules/font_sizes.h"

TEST(FontSizes, ShippedTextsAt1024By768)
{
    EXPECT_EQ(titleCharWidth(1024, 14), 24);
    EXPECT_EQ(subtitleCharHeight(768), 42);
    EXPECT_EQ(subtitleCharWidth(1024, 34), 20) << "34 x 1.5 = 51";
}

TEST(FontSizes, TruncateTowardZero)
{
    EXPECT_EQ(titleCharWidth(800, 14), 19) << "800 / 3 = 266, / 14 = 19";
    EXPECT_EQ(subtitleCharWidth(1024, 35), 19) << "35 x 1.5 = 52.5 taken as 52";
    EXPECT_EQ(subtitleCharWidth(1024, 1), 1024);
    EXPECT_EQ(subtitleCharHeight(17), 0);
}

TEST(FontSizes, LongerNamesGetNarrowerCharacters)
{
    EXPECT_LT(titleCharWidth(1024, 29), titleCharWidth(1024, 14));
    EXPECT_EQ(titleCharWidth(1024, 29), 11);
    EXPECT_EQ(titleCharWidth(1024, 0), 0) << "no division by zero";
    EXPECT_EQ(subtitleCharWidth(1024, 0), 0);
}
