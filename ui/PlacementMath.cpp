// Clamping to the work area and the steps of a drag, computed in 64 bits
// and saturated to 32, so coordinates read from any settings file are safe.

#include "ui/PlacementMath.h"

#include <algorithm>
#include <limits>

std::int32_t saturate32(std::int64_t value)
{
    constexpr std::int64_t lowest = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t highest = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(value, lowest, highest));
}

ClampedPosition clampToWorkArea(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height,
                                const ScreenRect& workArea)
{
    // Beyond 2^34 every coordinate is past every edge and every size wider
    // than any work area: the result saturates alike, and the sums below
    // cannot overflow.
    constexpr std::int64_t kFar = std::int64_t{1} << 34;
    x = std::clamp(x, -kFar, kFar);
    y = std::clamp(y, -kFar, kFar);
    width = std::clamp<std::int64_t>(width, 0, kFar);
    height = std::clamp<std::int64_t>(height, 0, kFar);
    bool clamped = false;
    if (x < workArea.left) {
        x = workArea.left;
        clamped = true;
    }
    if (y < workArea.top) {
        y = workArea.top;
        clamped = true;
    }
    if (x + width > workArea.right) {
        x = workArea.right - width;
        clamped = true;
    }
    if (y + height > workArea.bottom) {
        y = workArea.bottom - height;
        clamped = true;
    }
    return {saturate32(x), saturate32(y), clamped};
}

DragStep dragStep(ScreenPoint cursor, ScreenPoint offset, std::int64_t width, std::int64_t height,
                  const ScreenRect& workArea)
{
    ClampedPosition target = clampToWorkArea(std::int64_t{cursor.x} + offset.x, std::int64_t{cursor.y} + offset.y,
                                             width, height, workArea);
    bool withinLimit = target.x <= kDragLimit && target.y <= kDragLimit;
    return {target.x, target.y, withinLimit, target.clamped || !withinLimit};
}

ScreenPoint dragOffsetOf(const ScreenRect& window, ScreenPoint cursor)
{
    return {saturate32(std::int64_t{window.left} - cursor.x), saturate32(std::int64_t{window.top} - cursor.y)};
}
