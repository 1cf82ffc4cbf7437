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
    const WindowPlan plan = planWindow(stripCount, knownMonitors(), now);
    layout = plan.layout;
    const ScreenRect& to = plan.rect;
    if (to.left != now.left || to.top != now.top || to.right != now.right || to.bottom != now.bottom)
        SetWindowPos(window, HWND_TOPMOST, to.left, to.top, layout.width, layout.height, 0);
    settings.setPosition(to.left, to.top);
}

void beginDrag(POINT clientPoint, HWND window)
{
    anchorDrag(toScreen(window, clientPoint), window);
}

void dragTo(HWND window, POINT clientPoint, int stripCount, StripLayout& layout, Settings& settings)
{
    // The client point is relative to where the window stood when the
    // mouse moved, so the cursor's screen position is taken before moving.
    const ScreenPoint cursor = toScreen(window, clientPoint);
    const DragPlan plan = planDrag(stripCount, knownMonitors(), cursor, {dragOffset.x, dragOffset.y});
    const DragStep& step = plan.step;
    if (step.move) {
        SetWindowPos(window, nullptr, step.x, step.y, plan.layout.width, plan.layout.height, SWP_NOZORDER);
        layout = plan.layout;
        settings.setPosition(step.x, step.y);
    }
    // Once the window has been stopped at an edge, anchor the drag where it
    // now stands, so that it follows the cursor as soon as the cursor turns
    // back instead of waiting for it to reach the point first grabbed.
    if (step.reanchor)
        anchorDrag(cursor, window);
}
