#include <gtest/gtest.h>

#include <vector>

#include "ui/StripLayout.h"

TEST(StripLayout, OneColumnWhileTheStripsFitThenBalancedColumns)
{
    struct Row {
        int strips, workAreaHeight;
        StripLayout expected;
        std::vector<int> perColumn;
        int dpi = kBaseDpi;
        int border = kBaseBorder;
    };
    const Row rows[] = {
        {3, 738, {3, 1, 3, 60, 120}, {3}},
        {0, 738, {0, 1, 0, 60, 0}, {0}},
        {19, 768, {19, 1, 19, 60, 760}, {19}},       // exactly the rows that fit
        {20, 768, {20, 2, 10, 119, 400}, {10, 10}},  // one more: two balanced columns
        {33, 984, {33, 2, 17, 119, 680}, {17, 16}},  // 32 processors on 1280 x 1024 less a taskbar
        {65, 768, {65, 4, 17, 237, 680}, {17, 16, 16, 16}},
        {10, 120, {10, 4, 3, 237, 120}, {3, 3, 2, 2}},  // not 3, 3, 3, 1
        {3, 30, {3, 3, 1, 178, 40}, {1, 1, 1}},         // not even one row fits: one row regardless
        {2, -5, {2, 2, 1, 119, 40}, {1, 1}},
        {5000, 1 << 30, {kMaxStrips, 1, kMaxStrips, 60, 40 * kMaxStrips}, {kMaxStrips}},
        {3, 738, {3, 1, 3, 90, 180}, {3}, 144},              // 150%: 90 x 60 strips, 88 columns seen
        {20, 768, {20, 3, 7, 358, 560}, {7, 7, 6}, 192},    // 200%: 80-pixel rows, 9 fit
        {3, 738, {3, 1, 3, 60, 120}, {3}, 0},                // no DPI at all: 100%
        {3, 738, {3, 1, 3, 30, 60}, {3}, 1},                 // a DPI of 1: 50%, not strips with no height
        {kMaxStrips, 1 << 30, {kMaxStrips, 1, kMaxStrips, 600, 400 * kMaxStrips}, {kMaxStrips}, 1 << 20},
        // A border Windows draws thicker: the same client area, the outer
        // size grown, and one row fewer where the frame no longer fits.
        {20, 768, {20, 3, 7, 360, 562}, {7, 7, 6}, 192, 2},
        {18, 722, {18, 1, 18, 60, 720}, {18}},
        {18, 722, {18, 2, 9, 123, 364}, {9, 9}, kBaseDpi, 3},
    };
    for (const Row& row : rows) {
        const StripLayout got = stripLayout(row.strips, row.workAreaHeight, row.dpi, row.border);
        const StripLayout& want = row.expected;
        const auto context = ::testing::Message() << row.strips << " strips in " << row.workAreaHeight << " at "
                                                  << row.dpi << ", border " << row.border;
        EXPECT_EQ(got.stripCount, want.stripCount) << context;
        EXPECT_EQ(got.columns, want.columns) << context;
        EXPECT_EQ(got.rows, want.rows) << context;
        EXPECT_EQ(got.width, want.width) << context;
        EXPECT_EQ(got.height, want.height) << context;
        std::vector<int> perColumn;
        for (int column = 0; column < got.columns; ++column)
            perColumn.push_back(stripsInColumn(got, column));
        EXPECT_EQ(perColumn, row.perColumn) << context;
    }

    const StripLayout columns = stripLayout(65, 768);
    const std::pair<int, StripCell> cells[] = {
        {0, {0, 0, 0}}, {16, {0, 640, 0}}, {17, {59, 0, 1}}, {33, {118, 0, 2}}, {64, {177, 600, 3}}};
    for (const auto& [index, cell] : cells) {
        EXPECT_EQ(stripCell(columns, index).x, cell.x) << "strip " << index;
        EXPECT_EQ(stripCell(columns, index).y, cell.y) << "strip " << index;
        EXPECT_EQ(stripCell(columns, index).column, cell.column) << "strip " << index;
    }
}
