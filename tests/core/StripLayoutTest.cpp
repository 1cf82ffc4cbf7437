#include <gtest/gtest.h>

#include "app/StripLayout.h"

TEST(StripLayout, OneColumnWhileTheStripsFitThenBalancedColumns)
{
    struct Row {
        int strips, workAreaHeight;
        StripLayout expected;
    };
    const Row rows[] = {
        {3, 738, {1, 3, 60, 120}},
        {0, 738, {1, 0, 60, 0}},
        {19, 768, {1, 19, 60, 760}},   // exactly the rows that fit
        {20, 768, {2, 10, 119, 400}},  // one more: two balanced columns
        {33, 984, {2, 17, 119, 680}},  // 32 processors on 1280 x 1024 less a taskbar
        {65, 768, {4, 17, 237, 680}},
        {3, 30, {3, 1, 178, 40}},      // not even one row fits: one row regardless
        {2, -5, {2, 1, 119, 40}},
    };
    for (const Row& row : rows) {
        const StripLayout got = stripLayout(row.strips, row.workAreaHeight);
        const StripLayout& want = row.expected;
        EXPECT_EQ(got.columns, want.columns) << row.strips << " strips in " << row.workAreaHeight;
        EXPECT_EQ(got.rows, want.rows) << row.strips << " strips in " << row.workAreaHeight;
        EXPECT_EQ(got.width, want.width) << row.strips << " strips in " << row.workAreaHeight;
        EXPECT_EQ(got.height, want.height) << row.strips << " strips in " << row.workAreaHeight;
        EXPECT_EQ(columnsOfWindowWidth(got.width), got.columns) << row.strips << " strips in " << row.workAreaHeight;
    }

    const StripLayout columns = stripLayout(65, 768);
    const std::pair<int, StripCell> cells[] = {{0, {0, 0}}, {16, {0, 640}}, {17, {59, 0}}, {64, {177, 520}}};
    for (const auto& [index, cell] : cells) {
        EXPECT_EQ(stripCell(columns, index).x, cell.x) << "strip " << index;
        EXPECT_EQ(stripCell(columns, index).y, cell.y) << "strip " << index;
    }
}
