// Placement and dragging of the main window, the thin Win32 side: it reads
// the screen, asks ui/WindowState what to do, and applies the move. Only a
// place the user chose is stored in the settings.

#include "ui/Placement.h"

#include "common/WindowDpi.h"
#include "settings/Settings.h"

namespace {

ScreenRect toScreenRect(const RECT& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}

struct MonitorList {
    const DisplayFunctions* display;
    Monitors monitors;
};

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data)
{
    auto* list = reinterpret_cast<MonitorList*>(data);
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (list->display->getMonitorInfo(monitor, &info))
        list->monitors.push_back(
            {toScreenRect(info.rcMonitor), toScreenRect(info.rcWork), (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    return TRUE;
}

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

ScreenPoint storedPlace(const Settings& settings)
{
    return {settings.windowX, settings.windowY};
}

void anchorDrag(HWND window, WindowState& state, ScreenPoint cursor)
{
    state.drag.offset = dragOffsetOf(windowRect(window), cursor);
}

// A tick's follow-back puts the window back at the top of the topmost
// windows; every other move leaves its place in the z-order alone. No move
// activates it: keys the user types stay with the window they were typing in.
HWND insertAfter(MoveKind kind)
{
    return kind == MoveKind::FollowBack ? HWND_TOPMOST : nullptr;
}

UINT flagsOf(MoveKind kind)
{
    return kind == MoveKind::FollowBack ? SWP_NOACTIVATE : SWP_NOZORDER | SWP_NOACTIVATE;
}

} // namespace

Monitors readMonitors(const DisplayFunctions& display)
{
    MonitorList list = {&display, {}};
    display.enumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&list));
    if (list.monitors.empty())
        list.monitors.push_back(primaryWorkArea());
    return list.monitors;
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

WindowScale scaleAt(const DisplayFunctions& display, int dpi)
{
    const int usable = usableDpi(dpi);
    return {usable, windowBorder(display, usable)};
}

void applyMove(HWND window, WindowState& state, const Move& move, Settings& settings)
{
    const ScreenRect& to = move.plan.rect;
    state.layout = move.plan.layout;
    if (move.storesPlace)
        settings.setPosition(to.left, to.top);
    if (move.changesWindow)
        SetWindowPos(window, insertAfter(move.kind), to.left, to.top, move.plan.layout.width,
                     move.plan.layout.height, flagsOf(move.kind));
}

void keepInWorkArea(HWND window, WindowState& state, Settings& settings)
{
    // With no caption and no taskbar button there is nothing to restore plix
    // from, so a minimize (Win+M, another program) lasts until the next tick.
    // Restored, it is placed as after a display change: it may have missed one.
    if (IsIconic(window)) {
        ShowWindow(window, SW_SHOWNOACTIVATE);
        applyMove(window, state, afterDisplayChange(state, storedPlace(settings), windowRect(window)), settings);
        return;
    }
    applyMove(window, state, followBack(state, windowRect(window)), settings);
}

void displayChanged(HWND window, WindowState& state, Settings& settings, const DisplayFunctions& display)
{
    state.monitors = readMonitors(display);
    // A minimized window's rectangle is its icon's: the tick that restores
    // it places it.
    if (!IsIconic(window))
        applyMove(window, state, afterDisplayChange(state, storedPlace(settings), windowRect(window)), settings);
}

void dpiChanged(HWND window, WindowState& state, int dpi, const RECT& suggested, Settings& settings,
                const DisplayFunctions& display)
{
    if (IsIconic(window))
        return;
    const WindowScale scale = scaleAt(display, dpi);
    if (state.drag.active)
        state.drag = rescaledDrag(state.drag, state.layout.strip.dpi, scale.dpi);
    applyMove(window, state, afterDpiChange(state, scale, toScreenRect(suggested), windowRect(window)), settings);
}

void beginDrag(HWND window, WindowState& state, POINT clientPoint)
{
    state.drag.active = true;
    state.drag.cursor = toScreen(window, clientPoint);
    anchorDrag(window, state, state.drag.cursor);
}

void dragTo(HWND window, WindowState& state, POINT clientPoint, Settings& settings)
{
    // The client point is relative to where the window stood when the
    // mouse moved, so the cursor's screen position is taken before moving.
    const ScreenPoint cursor = toScreen(window, clientPoint);
    state.drag.cursor = cursor;
    const DragMove step = dragStepTo(state, cursor);
    // A step refused at the drag limit moves nothing and stores nothing.
    if (step.move.changesWindow)
        applyMove(window, state, step.move, settings);
    // Once the window has been stopped at an edge, anchor the drag where it
    // now stands, so that it follows the cursor as soon as the cursor turns
    // back instead of waiting for it to reach the point first grabbed.
    if (step.reanchor)
        anchorDrag(window, state, cursor);
}

void endDrag(WindowState& state)
{
    state.drag.active = false;
}
