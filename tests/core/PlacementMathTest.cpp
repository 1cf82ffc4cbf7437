#include <gtest/gtest.h>

#include <climits>

#include "ui/PlacementMath.h"

namespace {

const ScreenRect kWorkArea = {0, 0, 800, 560};

} // namespace

TEST(ClampToWorkArea, WindowInsideIsLeftAlone)
{
    ClampedPosition p = clampToWorkArea(100, 100, 60, 120, kWorkArea);
    EXPECT_EQ(p.x, 100);
    EXPECT_EQ(p.y, 100);
    EXPECT_FALSE(p.clamped);
}

TEST(ClampToWorkArea, WindowOffTheLeftComesBackToTheLeftEdge)
{
    ClampedPosition p = clampToWorkArea(-900, 50, 60, 120, kWorkArea);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 50);
    EXPECT_TRUE(p.clamped);
}

TEST(ClampToWorkArea, EdgesExactlyOnTheWorkAreaAreNotMoved)
{
    ClampedPosition p = clampToWorkArea(740, 440, 60, 120, kWorkArea);
    EXPECT_EQ(p.x, 740);
    EXPECT_EQ(p.y, 440);
    EXPECT_FALSE(p.clamped);

    ClampedPosition past = clampToWorkArea(741, 441, 60, 120, kWorkArea);
    EXPECT_EQ(past.x, 740);
    EXPECT_EQ(past.y, 440);
    EXPECT_TRUE(past.clamped);
}

TEST(ClampToWorkArea, TaskbarOnTheLeftKeepsTheWindowRightOfIt)
{
    const ScreenRect area = {60, 0, 1024, 768};
    EXPECT_EQ(clampToWorkArea(10, 100, 60, 120, area).x, 60);
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

TEST(ClampToWorkArea, ExtremeStoredCoordinatesDoNotOverflow)
{
    ClampedPosition low = clampToWorkArea(INT_MIN, INT_MIN, 60, 120, kWorkArea);
    EXPECT_EQ(low.x, 0);
    EXPECT_EQ(low.y, 0);
    ClampedPosition high = clampToWorkArea(INT_MAX, INT_MAX, 60, 120, kWorkArea);
    EXPECT_EQ(high.x, 740);
    EXPECT_EQ(high.y, 440);
    ClampedPosition huge = clampToWorkArea(0, 0, std::int64_t{UINT_MAX} * 2, 120, kWorkArea);
    EXPECT_EQ(huge.x, INT_MIN);
}

TEST(DragStep, FollowsTheCursorInsideTheWorkArea)
{
    DragStep step = dragStep({300, 200}, {-10, -15}, 60, 120, kWorkArea);
    EXPECT_EQ(step.x, 290);
    EXPECT_EQ(step.y, 185);
    EXPECT_TRUE(step.move);
    EXPECT_FALSE(step.reanchor);
}

TEST(DragStep, StopsAtTheRightEdgeAndReanchors)
{
    DragStep step = dragStep({790, 200}, {-10, 0}, 60, 120, kWorkArea);
    EXPECT_EQ(step.x, 740);
    EXPECT_TRUE(step.move);
    EXPECT_TRUE(step.reanchor);
}

TEST(DragStep, TaskbarOnTheLeftStopsTheDragAtItsEdge)
{
    const ScreenRect area = {60, 0, 1024, 768};
    DragStep step = dragStep({20, 300}, {-5, -5}, 60, 120, area);
    EXPECT_EQ(step.x, 60);
    EXPECT_TRUE(step.reanchor);
}

TEST(DragStep, TargetsBeyondTheLimitAreRefusedButReanchor)
{
    // A work area reaching past the limit, as a huge virtual screen would.
    const ScreenRect area = {0, 0, 70000, 70000};
    DragStep step = dragStep({30001, 100}, {0, 0}, 60, 120, area);
    EXPECT_FALSE(step.move);
    EXPECT_TRUE(step.reanchor);

    DragStep atLimit = dragStep({30000, 30000}, {0, 0}, 60, 120, area);
    EXPECT_TRUE(atLimit.move);
    EXPECT_FALSE(atLimit.reanchor);
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
