#include <gtest/gtest.h>

#include <climits>

#include "ui/WindowState.h"

namespace {

// 1280 x 1024 with a taskbar, and a second head to its right.
const Monitors kSideBySide = {{{0, 0, 1280, 1024}, {0, 0, 1280, 984}, true},
                              {{1280, 0, 2560, 1024}, {1280, 0, 2560, 1024}, false}};
// A 1080 x 1920 portrait monitor above a 1366 x 768 laptop screen.
const Monitors kStacked = {{{0, 0, 1080, 1920}, {0, 0, 1080, 1880}, true},
                           {{0, 1920, 1366, 2688}, {0, 1920, 1366, 2648}, false}};
// Cloned displays: the same rectangle twice, the second one primary.
const Monitors kCloned = {{{0, 0, 1024, 768}, {0, 0, 1024, 768}, false},
                          {{0, 0, 1024, 768}, {0, 0, 1024, 728}, true}};
// Two monitors with 200 pixels of nothing between them.
const Monitors kGap = {{{0, 0, 1000, 800}, {0, 0, 1000, 800}, true},
                       {{1200, 0, 2200, 800}, {1200, 0, 2200, 800}, false}};
// A 200 x 400 monitor right of a 1080p one, too narrow for 64 strips in its
// seven columns.
const Monitors kNarrowBesideWide = {{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true},
                                    {{1920, 0, 2120, 400}, {1920, 0, 2120, 400}, false}};
// Touching side by side, the second one primary.
const Monitors kTouching = {{{0, 0, 1000, 800}, {0, 0, 1000, 800}, false},
                            {{1000, 0, 2000, 800}, {1000, 0, 2000, 800}, true}};

std::size_t indexOf(const Monitors& monitors, const MonitorArea& chosen)
{
    return static_cast<std::size_t>(&chosen - monitors.data());
}

} // namespace

TEST(MonitorChoice, LargestOverlapThenNearestThenPrimary)
{
    struct Row {
        const char* name;
        const Monitors& monitors;
        ScreenRect rect;
        std::size_t expected;
    };
    const Row rows[] = {
        {"side by side, mostly on the second", kSideBySide, {1260, 100, 1320, 220}, 1},
        {"side by side, half and half: the primary", kSideBySide, {1250, 100, 1310, 220}, 0},
        {"stacked, mostly on the portrait one", kStacked, {0, 1800, 60, 2000}, 0},
        {"stacked, mostly on the laptop", kStacked, {0, 1850, 60, 2050}, 1},
        {"partly outside every monitor", kSideBySide, {2540, -50, 2600, 70}, 1},
        {"outside every monitor: the nearest", kSideBySide, {3000, 500, 3060, 620}, 1},
        {"above and left of everything", kSideBySide, {-500, -500, -440, -380}, 0},
        {"cloned: the primary", kCloned, {10, 10, 70, 130}, 1},
        {"in the gap, nearer the second", kGap, {1150, 100, 1151, 101}, 1},
        {"in the gap, nearer the first", kGap, {1050, 100, 1051, 101}, 0},
        {"stored corner at the far ends of 32 bits", kSideBySide, {INT_MIN, INT_MAX, INT_MIN + 60, INT_MAX}, 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(indexOf(row.monitors, monitorFor(row.monitors, row.rect)), row.expected) << row.name;
        if (row.rect.right - row.rect.left == 1)
            EXPECT_EQ(indexOf(row.monitors, monitorFor(row.monitors, ScreenPoint{row.rect.left, row.rect.top})),
                      row.expected)
                << row.name << ", as a point";
    }
}

TEST(WindowPlan, CreationTicksAndDragsAgreeOnOneLayoutAndPlace)
{
    // A corner on the first monitor but the body on the second: made where
    // the first tick keeps it.
    const WindowPlan made = planWindowAt(3, kSideBySide, {1270, 100});
    EXPECT_TRUE(made.rect == (ScreenRect{1280, 100, 1340, 220}));
    EXPECT_TRUE(planWindow(3, kSideBySide, made.rect).rect == made.rect);

    // 40 strips stand in one 1600-pixel column on the portrait monitor. A
    // drag onto the laptop below lays them out for its 728 pixels at once:
    // three columns of 14, 13 and 13, clamped whole onto the laptop, where
    // the next tick leaves them.
    const WindowPlan tall = planWindowAt(40, kStacked, {100, 100});
    EXPECT_EQ(tall.layout.columns, 1);
    EXPECT_EQ(tall.layout.height, 1600);
    const DragPlan drag = planDrag(40, kStacked, {300, 2300}, {-10, -10});
    EXPECT_EQ(drag.layout.columns, 3);
    EXPECT_EQ(drag.layout.height, 560);
    EXPECT_TRUE(drag.step.move);
    EXPECT_EQ(drag.step.y, 2648 - 560);
    const ScreenRect landed = {drag.step.x, drag.step.y, drag.step.x + drag.layout.width, 2648};
    EXPECT_TRUE(planWindow(40, kStacked, landed).rect == landed);
}

TEST(WindowPlan, TheNextTickLeavesAPlanAsItIs)
{
    struct Row {
        const char* name;
        const Monitors& monitors;
        int strips;
        ScreenRect window;
        ScreenRect expected;
    };
    const Row rows[] = {
        // Flush right on the narrow monitor, it overlaps the wide one more.
        {"too wide for its monitor", kNarrowBesideWide, 64, {1950, 0, 2010, 100}, {1706, 0, 2120, 400}},
        // No height, so no overlap: it touches both monitors, and the
        // second is primary.
        {"no strips, at the edge of two", kTouching, 0, {950, 100, 1011, 220}, {940, 100, 1000, 100}},
    };
    for (const Row& row : rows) {
        const WindowPlan plan = planWindow(row.strips, row.monitors, row.window);
        EXPECT_TRUE(plan.rect == row.expected) << row.name;
        const WindowPlan again = planWindow(row.strips, row.monitors, plan.rect);
        EXPECT_TRUE(again.rect == plan.rect) << row.name;
        EXPECT_EQ(again.layout.columns, plan.layout.columns) << row.name;
    }
}

TEST(WindowState, ARefusedDragStepAndARescaledGrabPoint)
{
    // A step past the drag limit moves nothing, so nothing is stored.
    WindowState state;
    state.stripCount = 3;
    state.monitors = {{{40000, 0, 41000, 800}, {40000, 0, 41000, 800}, true}};
    state.drag = {true, {-11, -11}, {40111, 111}};
    EXPECT_FALSE(dragStepTo(state, {40100, 100}).move.changesWindow);
    // The grab point keeps its place under the cursor at another scale; half
    // a pixel rounds away from zero, as MulDiv rounds.
    EXPECT_EQ(rescaledDrag(state.drag, 96, 192).offset.x, -22);
    EXPECT_EQ(rescaledDrag(state.drag, 96, 144).offset.y, -17);
}

TEST(WindowState, OnlyTheUsersOwnMovesStoreAPlaceAndADisplayChangeReturnsToIt)
{
    // Stored on the second head, undocked overnight and docked again; then a
    // drag there and a display change.
    enum Event { Tick, Display, Drag };
    const Monitors laptop = {kSideBySide[0]};
    const struct {
        Event event;
        const Monitors& monitors;
        ScreenPoint at, expected;
    } rows[] = {{Display, laptop, {}, {1220, 100}}, {Tick, laptop, {}, {1220, 100}},
                {Display, kSideBySide, {}, {1400, 100}}, {Drag, kSideBySide, {1510, 210}, {1500, 200}},
                {Tick, kSideBySide, {}, {1500, 200}},    {Display, kSideBySide, {}, {1500, 200}}};
    WindowState state;
    state.stripCount = 3;
    ScreenPoint stored = {1400, 100};
    ScreenRect window = {1400, 100, 1460, 220};
    for (const auto& row : rows) {
        state.monitors = row.monitors;
        state.drag = {row.event == Drag, {-10, -10}, row.at};
        const Move move = row.event == Tick      ? followBack(state, window)
                          : row.event == Display ? afterDisplayChange(state, stored, window)
                                                 : dragStepTo(state, row.at).move;
        window = move.plan.rect;
        EXPECT_EQ(move.storesPlace, state.drag.active) << &row - rows;
        stored = move.storesPlace ? ScreenPoint{window.left, window.top} : stored;
        EXPECT_TRUE(window == (ScreenRect{row.expected.x, row.expected.y, row.expected.x + 60, row.expected.y + 120}))
            << &row - rows;
    }
}
