// ScriptedDisplay: the test program's display table, counting enumerations
// and, when a test set monitors of its own, handing out made-up monitor
// handles whose information comes from that list.

#include "tests/support/ScriptedDisplay.h"

#include <cstdint>

namespace {

struct State {
    std::size_t reads = 0;
    bool scripted = false;
    Monitors monitors;
};

State& state()
{
    static State instance;
    return instance;
}

// Made-up handles: 1 to n, never a real monitor's.
HMONITOR handleOf(std::size_t index)
{
    return reinterpret_cast<HMONITOR>(static_cast<std::uintptr_t>(index + 1));
}

RECT toRect(const ScreenRect& rect)
{
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

BOOL WINAPI countedEnumDisplayMonitors(HDC dc, LPCRECT clip, MONITORENUMPROC callback, LPARAM data)
{
    ++state().reads;
    if (!state().scripted)
        return EnumDisplayMonitors(dc, clip, callback, data);
    for (std::size_t i = 0; i < state().monitors.size(); ++i) {
        RECT bounds = toRect(state().monitors[i].bounds);
        if (!callback(handleOf(i), dc, &bounds, data))
            break;
    }
    return TRUE;
}

BOOL WINAPI scriptedGetMonitorInfo(HMONITOR monitor, LPMONITORINFO info)
{
    if (!state().scripted)
        return GetMonitorInfoW(monitor, info);
    const std::size_t index = reinterpret_cast<std::uintptr_t>(monitor) - 1;
    if (index >= state().monitors.size())
        return FALSE;
    const MonitorArea& area = state().monitors[index];
    info->rcMonitor = toRect(area.bounds);
    info->rcWork = toRect(area.workArea);
    info->dwFlags = area.primary ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}

DisplayFunctions scriptedTable()
{
    DisplayFunctions table = systemDisplayFunctions();
    table.enumDisplayMonitors = countedEnumDisplayMonitors;
    table.getMonitorInfo = scriptedGetMonitorInfo;
    return table;
}

} // namespace

namespace ScriptedDisplay {

const DisplayFunctions& table()
{
    static const DisplayFunctions scripted = scriptedTable();
    return scripted;
}

void reset()
{
    state() = State{};
}

void setMonitors(const Monitors& monitors)
{
    state().scripted = true;
    state().monitors = monitors;
}

std::size_t monitorReads()
{
    return state().reads;
}

} // namespace ScriptedDisplay
