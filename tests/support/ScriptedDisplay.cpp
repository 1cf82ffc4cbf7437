// ScriptedDisplay: counts enumerations and, once a test set monitors of its
// own, hands out made-up handles 1 to n whose information comes from them.

#include "tests/support/ScriptedDisplay.h"

#include <cstdint>

namespace {

struct State {
    std::size_t reads = 0;
    bool scripted = false;
    Monitors monitors;
} state;

RECT toRect(const ScreenRect& rect)
{
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

BOOL WINAPI countedEnumDisplayMonitors(HDC dc, LPCRECT clip, MONITORENUMPROC callback, LPARAM data)
{
    ++state.reads;
    if (!state.scripted)
        return EnumDisplayMonitors(dc, clip, callback, data);
    for (std::size_t i = 0; i < state.monitors.size(); ++i) {
        RECT bounds = toRect(state.monitors[i].bounds);
        if (!callback(reinterpret_cast<HMONITOR>(i + 1), dc, &bounds, data))
            break;
    }
    return TRUE;
}

BOOL WINAPI scriptedGetMonitorInfo(HMONITOR monitor, LPMONITORINFO info)
{
    const std::size_t index = reinterpret_cast<std::uintptr_t>(monitor) - 1;
    if (!state.scripted || index >= state.monitors.size())
        return state.scripted ? FALSE : GetMonitorInfoW(monitor, info);
    info->rcMonitor = toRect(state.monitors[index].bounds);
    info->rcWork = toRect(state.monitors[index].workArea);
    info->dwFlags = state.monitors[index].primary ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}

} // namespace

namespace ScriptedDisplay {

const DisplayFunctions& table()
{
    static const DisplayFunctions scripted = [] {
        DisplayFunctions display = systemDisplayFunctions();
        display.enumDisplayMonitors = countedEnumDisplayMonitors;
        display.getMonitorInfo = scriptedGetMonitorInfo;
        return display;
    }();
    return scripted;
}

void reset()
{
    state = State{};
}

void setMonitors(const Monitors& monitors)
{
    state.scripted = true;
    state.monitors = monitors;
}

std::size_t monitorReads()
{
    return state.reads;
}

} // namespace ScriptedDisplay
