// The main window's monitor, layout and place, as plain arithmetic on the
// monitors' rectangles. Areas and distances are 64-bit: two rectangles
// anywhere in the 32-bit plane cannot overflow them.

#include "ui/WindowPlan.h"

#include <algorithm>
#include <cstdint>

namespace {

std::int64_t overlap(std::int64_t low1, std::int64_t high1, std::int64_t low2, std::int64_t high2)
{
    return std::max<std::int64_t>(0, std::min(high1, high2) - std::max(low1, low2));
}

std::int64_t sharedArea(const ScreenRect& a, const ScreenRect& b)
{
    return overlap(a.left, a.right, b.left, b.right) * overlap(a.top, a.bottom, b.top, b.bottom);
}

// Pixels between two ranges of pixels [low, high); 0 where they touch or
// overlap.
std::int64_t gap(std::int64_t low1, std::int64_t high1, std::int64_t low2, std::int64_t high2)
{
    return std::max<std::int64_t>({0, low2 - high1, low1 - high2});
}

// The squared distance, so that it compares like the distance itself.
std::int64_t squaredDistance(const ScreenRect& a, const ScreenRect& b)
{
    const std::int64_t dx = gap(a.left, a.right, b.left, b.right);
    const std::int64_t dy = gap(a.top, a.bottom, b.top, b.bottom);
    return dx * dx + dy * dy;
}

// More overlap wins; with none, less distance; then the primary.
bool betterFor(const ScreenRect& rect, const MonitorArea& candidate, const MonitorArea& best)
{
    const std::int64_t candidateArea = sharedArea(rect, candidate.bounds);
    const std::int64_t bestArea = sharedArea(rect, best.bounds);
    if (candidateArea != bestArea)
        return candidateArea > bestArea;
    if (candidateArea == 0) {
        const std::int64_t candidateDistance = squaredDistance(rect, candidate.bounds);
        const std::int64_t bestDistance = squaredDistance(rect, best.bounds);
        if (candidateDistance != bestDistance)
            return candidateDistance < bestDistance;
    }
    return candidate.primary && !best.primary;
}

int heightOf(const ScreenRect& area)
{
    return saturate32(std::int64_t{area.bottom} - area.top);
}

WindowPlan placedIn(const StripLayout& layout, const ScreenRect& workArea, ScreenPoint topLeft)
{
    const ClampedPosition at = clampToWorkArea(topLeft.x, topLeft.y, layout.width, layout.height, workArea);
    return {layout, {at.x, at.y, saturate32(std::int64_t{at.x} + layout.width),
                     saturate32(std::int64_t{at.y} + layout.height)}};
}

} // namespace

const MonitorArea& monitorFor(const Monitors& monitors, const ScreenRect& rect)
{
    const MonitorArea* best = &monitors.front();
    for (const MonitorArea& candidate : monitors)
        if (betterFor(rect, candidate, *best))
            best = &candidate;
    return *best;
}

const MonitorArea& monitorFor(const Monitors& monitors, ScreenPoint point)
{
    return monitorFor(monitors, ScreenRect{point.x, point.y, saturate32(std::int64_t{point.x} + 1),
                                           saturate32(std::int64_t{point.y} + 1)});
}

WindowPlan planWindow(int stripCount, const Monitors& monitors, const ScreenRect& window, int dpi)
{
    const ScreenRect& workArea = monitorFor(monitors, window).workArea;
    return placedIn(stripLayout(stripCount, heightOf(workArea), dpi), workArea, {window.left, window.top});
}

WindowPlan planWindowAt(int stripCount, const Monitors& monitors, ScreenPoint topLeft, int dpi)
{
    const StripLayout guess = stripLayout(stripCount, heightOf(monitorFor(monitors, topLeft).workArea), dpi);
    const ScreenRect window = {topLeft.x, topLeft.y, saturate32(std::int64_t{topLeft.x} + guess.width),
                               saturate32(std::int64_t{topLeft.y} + guess.height)};
    return planWindow(stripCount, monitors, window, dpi);
}

DragPlan planDrag(int stripCount, const Monitors& monitors, ScreenPoint cursor, ScreenPoint dragOffset, int dpi)
{
    const ScreenRect& workArea = monitorFor(monitors, cursor).workArea;
    const StripLayout layout = stripLayout(stripCount, heightOf(workArea), dpi);
    return {layout, dragStep(cursor, dragOffset, layout.width, layout.height, workArea)};
}
