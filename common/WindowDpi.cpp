// WindowDpi: the DPIs and the border through the display table, falling
// back where a Windows older than the function asked for lacks it.

#include "common/WindowDpi.h"

namespace {

int monitorDpi(const DisplayFunctions& display, HWND window)
{
    if (display.getDpiForMonitor == nullptr)
        return 0;
    UINT dpiX = 0;
    UINT dpiY = 0;
    const HMONITOR monitor = display.monitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    return SUCCEEDED(display.getDpiForMonitor(monitor, MDT_EFFECTIVE_DPI, &dpiX, &dpiY)) ? static_cast<int>(dpiY) : 0;
}

} // namespace

int windowDpi(const DisplayFunctions& display, HWND window)
{
    // 0 is GetDpiForWindow's answer for a handle that is no window.
    const UINT dpi = display.getDpiForWindow != nullptr ? display.getDpiForWindow(window) : 0;
    if (dpi != 0)
        return static_cast<int>(dpi);
    const int ofMonitor = monitorDpi(display, window);
    return ofMonitor != 0 ? ofMonitor : systemDpi(display);
}

int systemDpi(const DisplayFunctions& display)
{
    const UINT dpi = display.getDpiForSystem != nullptr ? display.getDpiForSystem() : 0;
    if (dpi != 0)
        return static_cast<int>(dpi);
    HDC screen = GetDC(nullptr);
    const int ofScreen = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return ofScreen;
}

int systemDpi()
{
    static const int dpi = systemDpi(systemDisplayFunctions());
    return dpi;
}

int windowBorder(const DisplayFunctions& display, int dpi)
{
    RECT frame = {0, 0, 0, 0};
    if (display.adjustWindowRectExForDpi == nullptr ||
        !display.adjustWindowRectExForDpi(&frame, kMainWindowStyle, FALSE, 0, static_cast<UINT>(dpi)))
        return 1;
    return static_cast<int>(-frame.left);
}
