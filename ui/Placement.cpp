// Placement and dragging of the main window. The monitors are read from
// Windows only at start and when the displays change; everything else is
// decided by ui/WindowPlan from that list. Every new position is stored in
// the settings.

#include "ui/Placement.h"

#include <utility>

#include "settings/Settings.h"

POINT dragOffset = {0, 0};

namespace {

Monitors monitors;
int reads = 0;
// The cursor of the drag's last step: a DPI change in the middle of a drag
// lands the window where that step put it.
ScreenPoint dragCursor = {0, 0};

ScreenRect toScreenRect(const RECT& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(monitor, &info))
        reinterpret_cast<Monitors*>(list)->push_back(
            {toScreenRect(info.rcMonitor), toScreenRect(info.rcWork), (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    return TRUE;
}

// Should Windows list no monitor at all, the primary work area stands in.
MonitorArea primaryWorkArea()
{
    RECT area = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return {toScreenRect(area), toScreenRect(area), true};
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

// The layout and the stored position are taken before the window moves:
// a move onto a monitor of another DPI sends WM_DPICHANGED from inside
// SetWindowPos, and what that handler decides must stand.
void moveWindow(HWND window, HWND after, const StripLayout& plan, ScreenPoint to, UINT flags, StripLayout& layout,
                Settings& settings)
{
    layout = plan;
    settings.setPosition(to.x, to.y);
    SetWindowPos(window, after, to.x, to.y, plan.width, plan.height, flags);
}

} // namespace

const Monitors& knownMonitors()
{
    if (monitors.empty())
        readMonitors();
    return monitors;
}

void readMonitors()
{
    Monitors found;
    EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&found));
    if (found.empty())
        found.push_back(primaryWorkArea());
    monitors = std::move(found);
    ++reads;
}

int monitorReads()
{
    return reads;
}

ScreenRect windowRect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return toScreenRect(rect);
}

POINT clientPointOf(LPARAM lParam)
{
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

void placeWindow(HWND window, int stripCount, StripLayout& layout, Settings& settings)
{
    const ScreenRect now = windowRect(window);
    const WindowPlan plan = planWindow(stripCount, knownMonitors(), now, layout.dpi);
    const ScreenRect& to = plan.rect;
    // Stored even when the window stays: a window made at a position pulled
    // in from off the screen stands where its first tick plans it.
    layout = plan.layout;
    settings.setPosition(to.left, to.top);
    if (to.left != now.left || to.top != now.top || to.right != now.right || to.bottom != now.bottom)
        SetWindowPos(window, HWND_TOPMOST, to.left, to.top, layout.width, layout.height, 0);
}

void rescaleWindow(HWND window, int stripCount, int dpi, const RECT& suggested, bool dragging, StripLayout& layout,
                   Settings& settings)
{
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (dragging) {
        dragOffset = {MulDiv(dragOffset.x, dpi, layout.dpi), MulDiv(dragOffset.y, dpi, layout.dpi)};
        const DragPlan plan = planDrag(stripCount, knownMonitors(), dragCursor, {dragOffset.x, dragOffset.y}, dpi);
        if (plan.step.move) {
            moveWindow(window, nullptr, plan.layout, {plan.step.x, plan.step.y}, flags, layout, settings);
            return;
        }
    }
    const WindowPlan plan = planWindowAt(stripCount, knownMonitors(), {suggested.left, suggested.top}, dpi);
    moveWindow(window, nullptr, plan.layout, {plan.rect.left, plan.rect.top}, flags, layout, settings);
}

void beginDrag(POINT clientPoint, HWND window)
{
    dragCursor = toScreen(window, clientPoint);
    anchorDrag(dragCursor, window);
}

void dragTo(HWND window, POINT clientPoint, int stripCount, StripLayout& layout, Settings& settings)
{
    // The client point is relative to where the window stood when the
    // mouse moved, so the cursor's screen position is taken before moving.
    const ScreenPoint cursor = toScreen(window, clientPoint);
    dragCursor = cursor;
    const DragPlan plan = planDrag(stripCount, knownMonitors(), cursor, {dragOffset.x, dragOffset.y}, layout.dpi);
    const DragStep& step = plan.step;
    if (step.move)
        moveWindow(window, nullptr, plan.layout, {step.x, step.y}, SWP_NOZORDER, layout, settings);
    // Once the window has been stopped at an edge, anchor the drag where it
    // now stands, so that it follows the cursor as soon as the cursor turns
    // back instead of waiting for it to reach the point first grabbed.
    if (step.reanchor)
        anchorDrag(cursor, window);
}
