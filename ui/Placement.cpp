// Placement and dragging of the main window. Both routines clamp to the work
// area of one monitor, read afresh on every call: the monitor nearest the
// window when a tick keeps it in place, the one nearest the cursor during a
// drag, so that a drag carries the window across to the monitor under the
// cursor. Every new position is stored in the settings.

#include "ui/Placement.h"

#include "settings/Settings.h"

POINT dragOffset = {0, 0};

namespace {

ScreenRect toScreenRect(const RECT& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// The primary monitor's work area: a cheap call, where asking which monitor
// is nearest costs tens of microseconds under Wine.
ScreenRect primaryWorkArea()
{
    RECT area = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return toScreenRect(area);
}

ScreenRect workAreaOf(HMONITOR monitor)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(monitor, &info);
    return toScreenRect(info.rcWork);
}

ScreenPoint toScreen(HWND window, POINT clientPoint)
{
    ClientToScreen(window, &clientPoint);
    return {clientPoint.x, clientPoint.y};
}

void anchorDrag(ScreenPoint cursor, HWND window)
{
    ScreenPoint offset = dragOffsetOf(windowRect(window), cursor);
    dragOffset = {offset.x, offset.y};
}

std::int64_t widthOf(const ScreenRect& rect)
{
    return std::int64_t{rect.right} - rect.left;
}

std::int64_t heightOf(const ScreenRect& rect)
{
    return std::int64_t{rect.bottom} - rect.top;
}

} // namespace

ScreenRect windowRect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return toScreenRect(rect);
}

// A window or cursor inside the primary monitor's work area has that monitor
// nearest, so the monitors are asked only about one that is not.
ScreenRect workAreaNearest(const ScreenRect& rect)
{
    const ScreenRect primary = primaryWorkArea();
    if (contains(primary, rect))
        return primary;
    const RECT area = {rect.left, rect.top, rect.right, rect.bottom};
    return workAreaOf(MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST));
}

ScreenRect workAreaNearest(ScreenPoint point)
{
    const ScreenRect primary = primaryWorkArea();
    if (contains(primary, point))
        return primary;
    return workAreaOf(MonitorFromPoint(POINT{point.x, point.y}, MONITOR_DEFAULTTONEAREST));
}

POINT clientPointOf(LPARAM lParam)
{
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

void keepInWorkArea(HWND window, const ScreenRect& workArea, Settings& settings)
{
    ScreenRect rect = windowRect(window);
    ClampedPosition target = clampToWorkArea(rect.left, rect.top, widthOf(rect), heightOf(rect), workArea);

    ScreenRect now = windowRect(window);
    if (now.left == target.x && now.top == target.y)
        return;
    SetWindowPos(window, HWND_TOPMOST, target.x, target.y, saturate32(widthOf(rect)), saturate32(heightOf(rect)), 0);
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
    ScreenPoint cursor = toScreen(window, clientPoint);
    ScreenRect rect = windowRect(window);
    DragStep step =
        dragStep(cursor, {dragOffset.x, dragOffset.y}, widthOf(rect), heightOf(rect), workAreaNearest(cursor));
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

void dragTo(HWND window, POINT clientPoint)
{
    dragTo(window, clientPoint, settings);
}
