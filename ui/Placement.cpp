// Placement and dragging of the main window. Both routines clamp to the
// primary display's work area, which is read afresh on every call, and store
// every new position in the settings.

#include "ui/Placement.h"

#include <algorithm>
#include <limits>

#include "settings/Settings.h"

POINT dragOffset = {0, 0};

namespace {

std::int32_t saturate(std::int64_t value)
{
    constexpr std::int64_t lowest = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t highest = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(value, lowest, highest));
}

RECT workArea()
{
    RECT area = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

RECT windowRect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

POINT toScreen(HWND window, POINT clientPoint)
{
    ClientToScreen(window, &clientPoint);
    return clientPoint;
}

void anchorDrag(POINT cursor, HWND window)
{
    RECT rect = windowRect(window);
    dragOffset = {saturate(std::int64_t{rect.left} - cursor.x), saturate(std::int64_t{rect.top} - cursor.y)};
}

} // namespace

ClampedPosition clampToWorkArea(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height,
                                const RECT& workArea)
{
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
    return {saturate(x), saturate(y), clamped};
}

DragStep dragStep(POINT cursor, POINT offset, std::int64_t width, std::int64_t height, const RECT& workArea)
{
    ClampedPosition target = clampToWorkArea(std::int64_t{cursor.x} + offset.x, std::int64_t{cursor.y} + offset.y,
                                             width, height, workArea);
    bool withinLimit = target.x <= kDragLimit && target.y <= kDragLimit;
    return {target.x, target.y, withinLimit, target.clamped || !withinLimit};
}

POINT clientPointOf(LPARAM lParam)
{
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

void keepInWorkArea(HWND window, Settings& settings)
{
    RECT rect = windowRect(window);
    std::int64_t width = std::int64_t{rect.right} - rect.left;
    std::int64_t height = std::int64_t{rect.bottom} - rect.top;
    ClampedPosition target = clampToWorkArea(rect.left, rect.top, width, height, workArea());

    RECT now = windowRect(window);
    if (now.left == target.x && now.top == target.y)
        return;
    SetWindowPos(window, HWND_TOPMOST, target.x, target.y, saturate(width), saturate(height), 0);
    settings.setPosition(target.x, target.y);
}

void beginDrag(POINT clientPoint, HWND window)
{
    anchorDrag(toScreen(window, clientPoint), window);
}

void dragTo(HWND window, POINT clientPoint, Settings& settings)
{
    // The client point is relative to where the window stood when the
    // mouse moved, so the cursor's screen position is taken before moving.
    POINT cursor = toScreen(window, clientPoint);
    RECT rect = windowRect(window);
    DragStep step = dragStep(cursor, dragOffset, std::int64_t{rect.right} - rect.left,
                             std::int64_t{rect.bottom} - rect.top, workArea());
    if (step.move) {
        SetWindowPos(window, nullptr, step.x, step.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        settings.setPosition(step.x, step.y);
    }
    // Once the window has been stopped at an edge, anchor the drag where it
    // now stands, so that it follows the cursor as soon as the cursor turns
    // back instead of waiting for it to reach the point first grabbed.
    if (step.reanchor)
        anchorDrag(cursor, window);
}

void keepInWorkArea(HWND window)
{
    keepInWorkArea(window, settings);
}

void dragTo(HWND window, POINT clientPoint)
{
    dragTo(window, clientPoint, settings);
}
