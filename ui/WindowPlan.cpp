// The main window's monitor, layout and place, as plain arithmetic on the
// monitors' rectangles. Any two rectangles in the 32-bit plane are less
// than 2^32 pixels apart or across on either axis, so a shared area fits 64
// unsigned bits, and a squared distance, the sum of two such squares, fits
// two 64-bit words: every comparison is exact.

#include "ui/WindowPlan.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

std::uint64_t overlap(std::int64_t low1, std::int64_t high1, std::int64_t low2, std::int64_t high2)
{
    return static_cast<std::uint64_t>(std::max<std::int64_t>(0, std::min(high1, high2) - std::max(low1, low2)));
}

std::uint64_t sharedArea(const ScreenRect& a, const ScreenRect& b)
{
    return overlap(a.left, a.right, b.left, b.right) * overlap(a.top, a.bottom, b.top, b.bottom);
}

// Pixels between two ranges of pixels [low, high); 0 where they touch or
// overlap.
std::uint64_t gap(std::int64_t low1, std::int64_t high1, std::int64_t low2, std::int64_t high2)
{
    return static_cast<std::uint64_t>(std::max<std::int64_t>({0, low2 - high1, low1 - high2}));
}

// The squared distance, so that it compares like the distance itself, as
// (high word, low word): one square fits a word, their sum may carry.
using SquaredDistance = std::pair<std::uint64_t, std::uint64_t>;

SquaredDistance squaredDistance(const ScreenRect& a, const ScreenRect& b)
{
    const std::uint64_t dx = gap(a.left, a.right, b.left, b.right);
    const std::uint64_t dy = gap(a.top, a.bottom, b.top, b.bottom);
    const std::uint64_t low = dx * dx + dy * dy;
    return {low < dx * dx ? 1 : 0, low};
}

// More overlap wins; with none, less distance; then the primary.
bool betterFor(const ScreenRect& rect, const MonitorArea& candidate, const MonitorArea& best)
{
    const std::uint64_t candidateArea = sharedArea(rect, candidate.bounds);
    const std::uint64_t bestArea = sharedArea(rect, best.bounds);
    if (candidateArea != bestArea)
        return candidateArea > bestArea;
    if (candidateArea == 0) {
        const SquaredDistance candidateDistance = squaredDistance(rect, candidate.bounds);
        const SquaredDistance bestDistance = squaredDistance(rect, best.bounds);
        if (candidateDistance != bestDistance)
            return candidateDistance < bestDistance;
    }
    return candidate.primary && !best.primary;
}

// Windows' choice for `rect` among the monitors `eligible` accepts; null
// when it accepts none.
template <typename Eligible>
const MonitorArea* bestFor(const Monitors& monitors, const ScreenRect& rect, Eligible eligible)
{
    const MonitorArea* best = nullptr;
    for (const MonitorArea& candidate : monitors)
        if (eligible(candidate) && (best == nullptr || betterFor(rect, candidate, *best)))
            best = &candidate;
    return best;
}

int heightOf(const ScreenRect& area)
{
    return saturate32(std::int64_t{area.bottom} - area.top);
}

// The window now at `window` laid out for the monitor's work area, with its
// top-left corner clamped into it.
WindowPlan planOn(int stripCount, const MonitorArea& monitor, const ScreenRect& window, WindowScale scale)
{
    const StripLayout layout = stripLayout(stripCount, heightOf(monitor.workArea), scale.dpi, scale.border);
    const ClampedPosition at = clampToWorkArea(window.left, window.top, layout.width, layout.height, monitor.workArea);
    return {layout, {at.x, at.y, saturate32(std::int64_t{at.x} + layout.width),
                     saturate32(std::int64_t{at.y} + layout.height)}};
}

} // namespace

const MonitorArea& monitorFor(const Monitors& monitors, const ScreenRect& rect)
{
    return *bestFor(monitors, rect, [](const MonitorArea&) { return true; });
}

const MonitorArea& monitorFor(const Monitors& monitors, ScreenPoint point)
{
    return monitorFor(monitors, ScreenRect{point.x, point.y, saturate32(std::int64_t{point.x} + 1),
                                           saturate32(std::int64_t{point.y} + 1)});
}

const MonitorArea& monitorForWindow(int stripCount, const Monitors& monitors, const ScreenRect& window, WindowScale scale)
{
    const MonitorArea* resting = bestFor(monitors, window, [&](const MonitorArea& monitor) {
        return planOn(stripCount, monitor, window, scale).rect == window;
    });
    return resting != nullptr ? *resting : monitorFor(monitors, window);
}

WindowPlan planWindow(int stripCount, const Monitors& monitors, const ScreenRect& window, WindowScale scale)
{
    return planOn(stripCount, monitorForWindow(stripCount, monitors, window, scale), window, scale);
}

WindowPlan planWindowAt(int stripCount, const Monitors& monitors, ScreenPoint topLeft, WindowScale scale)
{
    const StripLayout guess = stripLayout(stripCount, heightOf(monitorFor(monitors, topLeft).workArea), scale.dpi,
                                          scale.border);
    const ScreenRect window = {topLeft.x, topLeft.y, saturate32(std::int64_t{topLeft.x} + guess.width),
                               saturate32(std::int64_t{topLeft.y} + guess.height)};
    return planWindow(stripCount, monitors, window, scale);
}

DragPlan planDrag(int stripCount, const Monitors& monitors, ScreenPoint cursor, ScreenPoint dragOffset, WindowScale scale)
{
    const ScreenRect& workArea = monitorFor(monitors, cursor).workArea;
    const StripLayout layout = stripLayout(stripCount, heightOf(workArea), scale.dpi, scale.border);
    return {layout, dragStep(cursor, dragOffset, layout.width, layout.height, workArea)};
}
