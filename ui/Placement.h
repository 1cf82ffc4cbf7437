#pragma once
// Keeping the main window inside the work area, and dragging it there.
// The clamping arithmetic is plain functions; the rest reads the screen,
// calls them and moves the window.

#include <windows.h>

#include <cstdint>

class Settings;

// Where a window of the given size ends up when its top-left corner would be
// at (x, y). Left and top are tested first, right and bottom afterwards on
// the corrected values, all strictly: a window wider than the work area ends
// flush with its right edge. Computed in 64 bits and saturated, so any stored
// coordinate is safe.
struct ClampedPosition {
    std::int32_t x;
    std::int32_t y;
    bool clamped;
};
ClampedPosition clampToWorkArea(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height,
                                const RECT& workArea);

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
DragStep dragStep(POINT cursor, POINT dragOffset, std::int64_t width, std::int64_t height, const RECT& workArea);

// The client point of a mouse message: signed 16-bit x and y.
POINT clientPointOf(LPARAM lParam);

void keepInWorkArea(HWND window, Settings& settings);
void beginDrag(POINT clientPoint, HWND window);
void dragTo(HWND window, POINT clientPoint, Settings& settings);

void keepInWorkArea(HWND window);
void dragTo(HWND window, POINT clientPoint);

// Window rectangle minus cursor position, from the last beginDrag or re-anchor.
extern POINT dragOffset;
