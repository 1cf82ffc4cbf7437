// DisplayFunctions: the system's table. user32 is loaded already (plix
// imports it); shcore is loaded from System32, and only on a Windows whose
// user32 cannot tell a window's DPI itself.

#include "common/DisplayFunctions.h"

#include "common/SystemFunction.h"

namespace {

template <typename Function>
void lookUpInUser32(const char* name, Function& function)
{
    function = functionFrom<Function>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name));
}

DisplayFunctions bindSystemDisplay()
{
    DisplayFunctions table = {EnumDisplayMonitors, GetMonitorInfoW, MonitorFromWindow};
    lookUpInUser32("GetDpiForWindow", table.getDpiForWindow);
    lookUpInUser32("GetDpiForSystem", table.getDpiForSystem);
    lookUpInUser32("AdjustWindowRectExForDpi", table.adjustWindowRectExForDpi);
    if (table.getDpiForWindow == nullptr)
        table.getDpiForMonitor = systemFunction<decltype(table.getDpiForMonitor)>(L"shcore.dll", "GetDpiForMonitor");
    return table;
}

} // namespace

const DisplayFunctions& systemDisplayFunctions()
{
    static const DisplayFunctions table = bindSystemDisplay();
    return table;
}
