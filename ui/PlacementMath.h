#pragma once
// Keeping the main window inside the work area and dragging it there, on
// plain rectangles and points; ui/Placement reads the screen and moves it.

#include <cstdint>

// Screen pixels; right and bottom lie just outside, as in a window rectangle.
struct ScreenRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

inline bool operator==(const ScreenRect& a, const ScreenRect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

struct ScreenPoint {
    std::int32_t x;
    std::int32_t y;
};

// Where a window of the given size ends up when its top-left corner would be
// at (x, y). Left and top are tested first, right and bottom afterwards on
// the corrected values, all strictly: a window wider than the work area ends
// flush with its right edge. A negative size counts as none; any 64-bit
// input is safe.
struct ClampedPosition {
    std::int32_t x;
    std::int32_t y;
    bool clamped;
};
ClampedPosition clampToWorkArea(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height,
                                const ScreenRect& workArea);

// Windows refuses drags whose target lies beyond this coordinate.
constexpr std::int32_t kDragLimit = 30000;

// One mouse move of a drag: where the window goes, and whether the drag
// offset must be taken again (the window hit an edge or the limit).
struct DragStep {
    std::int32_t x;
    std::int32_t y;
    bool move;
    bool reanchor;
};
DragStep dragStep(ScreenPoint cursor, ScreenPoint dragOffset, std::int64_t width, std::int64_t height,
                  const ScreenRect& workArea);

// The nearest 32-bit value.
std::int32_t saturate32(std::int64_t value);

// The window's top-left corner minus the cursor, saturated to 32 bits.
ScreenPoint dragOffsetOf(const ScreenRect& window, ScreenPoint cursor);
