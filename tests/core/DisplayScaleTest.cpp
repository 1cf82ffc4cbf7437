// Tests for the display-scale rule and its inverse.

#include <gtest/gtest.h>

#include <climits>

#include "common/DisplayScale.h"

TEST(DisplayScale, ScalesAsMulDivRoundsHalfAwayFromZeroAndInverts)
{
    struct Row {
        std::int64_t length;
        int dpi;
        std::int64_t scaled;
    };
    const Row rows[] = {
        {60, 96, 60},   {-139, 96, -139}, {60, 144, 90}, {40, 144, 60}, {41, 144, 62}, {59, 144, 89},
        {-1, 144, -2},  {-139, 144, -209}, {60, 192, 120}, {41, 192, 82}, {3, 120, 4}, {-3, 120, -4},
        {1, 120, 1},    {0, 192, 0},       {INT_MAX, 192, 2 * std::int64_t{INT_MAX}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(scaledLength(row.length, row.dpi), row.scaled) << row.length << " at " << row.dpi;
        EXPECT_EQ(firstLengthReaching(row.scaled, row.dpi), row.length) << row.length << " at " << row.dpi;
    }
}
