// Any window rectangle, cursor, drag offset, strip count up to past the
// bound and DPI, then one to eight monitors of any rectangles, normalised
// as Windows keeps them (left <= right, top <= bottom, the work area inside
// the monitor). No plan may overflow; every monitor chosen must be one of
// the list; a plan must lie inside its monitor's work area whenever its
// layout fits there, and planning again from its rectangle must change
// nothing.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "tests/fuzz/FuzzInput.h"
#include "ui/WindowPlan.h"

namespace {

constexpr std::size_t kMaxMonitors = 8;

struct Input : FuzzInput {
    ScreenRect rect()
    {
        const std::int32_t x1 = take<std::int32_t>(), y1 = take<std::int32_t>();
        const std::int32_t x2 = take<std::int32_t>(), y2 = take<std::int32_t>();
        return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
    }
};

constexpr std::size_t kHeaderSize = 4 * 4 + 2 * 4 + 2 * 4 + 2 + 2;
constexpr std::size_t kMonitorSize = 4 * 4 + 4 * 4 + 1;

ScreenRect clippedTo(const ScreenRect& rect, const ScreenRect& bounds)
{
    return {std::clamp(rect.left, bounds.left, bounds.right), std::clamp(rect.top, bounds.top, bounds.bottom),
            std::clamp(rect.right, bounds.left, bounds.right), std::clamp(rect.bottom, bounds.top, bounds.bottom)};
}

bool fits(const StripLayout& layout, const ScreenRect& area)
{
    return layout.width <= std::int64_t{area.right} - area.left && layout.height <= std::int64_t{area.bottom} - area.top;
}

bool inside(std::int64_t x, std::int64_t y, const StripLayout& layout, const ScreenRect& area)
{
    return x >= area.left && y >= area.top && x + layout.width <= area.right && y + layout.height <= area.bottom;
}

bool listed(const Monitors& monitors, const MonitorArea& chosen)
{
    return &chosen >= monitors.data() && &chosen < monitors.data() + monitors.size();
}

// The plan lies whole in the work area of the monitor the next tick plans
// it on, wherever its layout fits there, and that tick plans it the same.
bool isFixedPoint(int strips, const Monitors& monitors, const WindowPlan& plan, int dpi)
{
    const MonitorArea& home = monitorForWindow(strips, monitors, plan.rect, dpi);
    const WindowPlan again = planWindow(strips, monitors, plan.rect, dpi);
    const bool whole = !fits(plan.layout, home.workArea) ||
                       (inside(plan.rect.left, plan.rect.top, plan.layout, home.workArea) &&
                        std::int64_t{plan.rect.right} - plan.rect.left == plan.layout.width &&
                        std::int64_t{plan.rect.bottom} - plan.rect.top == plan.layout.height);
    return listed(monitors, home) && whole && again.rect == plan.rect && again.layout == plan.layout;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < kHeaderSize + kMonitorSize)
        return 0;
    Input in{{data, size}};
    const ScreenRect window = in.rect();
    const ScreenPoint cursor = {in.take<std::int32_t>(), in.take<std::int32_t>()};
    const ScreenPoint offset = {in.take<std::int32_t>(), in.take<std::int32_t>()};
    const int strips = in.take<std::uint16_t>() % (kMaxStrips + 101);
    const int dpi = in.take<std::int16_t>();
    Monitors monitors;
    while (in.size >= kMonitorSize && monitors.size() < kMaxMonitors) {
        const ScreenRect bounds = in.rect();
        const ScreenRect workArea = clippedTo(in.rect(), bounds);
        monitors.push_back({bounds, workArea, (in.take<std::uint8_t>() & 1) != 0});
    }

    bool holds = listed(monitors, monitorFor(monitors, window)) && listed(monitors, monitorFor(monitors, cursor));

    holds &= isFixedPoint(strips, monitors, planWindow(strips, monitors, window, dpi), dpi);
    holds &= isFixedPoint(strips, monitors, planWindowAt(strips, monitors, cursor, dpi), dpi);
    planDrag(strips, monitors, cursor, offset, dpi);
    if (!holds)
        std::abort();
    return 0;
}
