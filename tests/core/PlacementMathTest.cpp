#include <gtest/gtest.h>

#include <climits>

#include "ui/PlacementMath.h"

namespace {

const ScreenRect kWorkArea = {0, 0, 800, 560};

} // namespace

TEST(ClampToWorkArea, KeepsTheWholeWindowInsideTheWorkArea)
{
    struct Row {
        const char* name;
        std::int64_t x, y, width;
        ScreenRect area;
        ClampedPosition expected;
    };
    const ScreenRect leftTaskbar = {60, 0, 1024, 768};
    const Row rows[] = {
        {"inside: left alone", 100, 100, 60, kWorkArea, {100, 100, false}},
        {"off the left: back to the left edge", -900, 50, 60, kWorkArea, {0, 50, true}},
        {"edges exactly on the work area", 740, 440, 60, kWorkArea, {740, 440, false}},
        {"one past the edges", 741, 441, 60, kWorkArea, {740, 440, true}},
        {"taskbar on the left", 10, 100, 60, leftTaskbar, {60, 100, true}},
        {"lowest stored coordinates", INT_MIN, INT_MIN, 60, kWorkArea, {0, 0, true}},
        {"highest stored coordinates", INT_MAX, INT_MAX, 60, kWorkArea, {740, 440, true}},
        {"width past 32 bits", 0, 0, std::int64_t{UINT_MAX} * 2, kWorkArea, {INT_MIN, 0, true}},
        {"64-bit extremes", INT64_MAX, INT64_MIN, INT64_MAX, kWorkArea, {INT_MIN, 0, true}},
    };
    for (const Row& row : rows) {
        const ClampedPosition p = clampToWorkArea(row.x, row.y, row.width, 120, row.area);
        EXPECT_EQ(p.x, row.expected.x) << row.name;
        EXPECT_EQ(p.y, row.expected.y) << row.name;
        EXPECT_EQ(p.clamped, row.expected.clamped) << row.name;
    }
}

TEST(ClampToWorkArea, WindowTallerThanTheWorkAreaEndsFlushWithTheBottom)
{
    const ScreenRect area = {0, 30, 800, 560};
    ClampedPosition first = clampToWorkArea(100, 100, 60, 600, area);
    EXPECT_EQ(first.y, 560 - 600);
    EXPECT_LT(first.y, area.top);
    // The next tick computes the same place again and so leaves it there.
    ClampedPosition second = clampToWorkArea(first.x, first.y, 60, 600, area);
    EXPECT_EQ(second.y, first.y);
}

TEST(DragStep, FollowsTheCursorWithinTheWorkAreaAndTheLimit)
{
    // A work area reaching past the drag limit, as a huge virtual screen would.
    const ScreenRect huge = {0, 0, 70000, 70000};
    const ScreenRect leftTaskbar = {60, 0, 1024, 768};
    struct Row {
        const char* name;
        ScreenPoint cursor;
        ScreenPoint offset;
        ScreenRect area;
        DragStep expected;
    };
    const Row rows[] = {
        {"inside the work area", {300, 200}, {-10, -15}, kWorkArea, {290, 185, true, false}},
        {"stops at the right edge and reanchors", {790, 200}, {-10, 0}, kWorkArea, {740, 200, true, true}},
        {"stops at a taskbar on the left", {20, 300}, {-5, -5}, leftTaskbar, {60, 295, true, true}},
        {"beyond the limit: refused, reanchored", {30001, 100}, {0, 0}, huge, {-1, -1, false, true}},
        {"at the limit", {30000, 30000}, {0, 0}, huge, {30000, 30000, true, false}},
    };
    for (const Row& row : rows) {
        const DragStep step = dragStep(row.cursor, row.offset, 60, 120, row.area);
        EXPECT_EQ(step.move, row.expected.move) << row.name;
        EXPECT_EQ(step.reanchor, row.expected.reanchor) << row.name;
        if (row.expected.move) {
            EXPECT_EQ(step.x, row.expected.x) << row.name;
            EXPECT_EQ(step.y, row.expected.y) << row.name;
        }
    }
}

TEST(DragOffset, IsTheWindowCornerMinusTheCursorSaturated)
{
    struct Row {
        ScreenRect window;
        ScreenPoint cursor;
        ScreenPoint expected;
    };
    const Row rows[] = {
        {{100, 50, 160, 170}, {130, 60}, {-30, -10}},
        {{-900, 50, -840, 170}, {5, 5}, {-905, 45}},
        {{INT_MIN, INT_MIN, 0, 0}, {1, 1}, {INT_MIN, INT_MIN}},
        {{INT_MAX, INT_MAX, INT_MAX, INT_MAX}, {-1, -1}, {INT_MAX, INT_MAX}},
    };
    for (const Row& row : rows) {
        ScreenPoint offset = dragOffsetOf(row.window, row.cursor);
        EXPECT_EQ(offset.x, row.expected.x) << row.window.left << " - " << row.cursor.x;
        EXPECT_EQ(offset.y, row.expected.y) << row.window.top << " - " << row.cursor.y;
    }
}
