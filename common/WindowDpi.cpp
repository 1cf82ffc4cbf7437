// WindowDpi: the DPI a window or the system draws at. The functions that
// tell it per window came with Windows 10, so they are looked up in user32
// at run time: plix.exe imports nothing its oldest Windows lacks, and where
// they are missing the screen's LOGPIXELSY, the one system-wide DPI, stands
// in.

#include "common/WindowDpi.h"

#include "common/SystemFunction.h"

namespace {

using DpiForWindow = UINT(WINAPI*)(HWND);
using DpiForSystem = UINT(WINAPI*)();

// user32.dll is loaded already: plix imports it.
template <typename Function>
Function user32Function(const char* name)
{
    return functionFrom<Function>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name));
}

int screenDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

} // namespace

int windowDpi(HWND window)
{
    static const DpiForWindow dpiForWindow = user32Function<DpiForWindow>("GetDpiForWindow");
    // 0 is its answer for a handle that is no window.
    const UINT dpi = dpiForWindow != nullptr ? dpiForWindow(window) : 0;
    return dpi != 0 ? static_cast<int>(dpi) : screenDpi();
}

int systemDpi()
{
    // Windows fixes the system DPI when the session starts, so it is asked
    // once rather than at every paint.
    static const DpiForSystem dpiForSystem = user32Function<DpiForSystem>("GetDpiForSystem");
    static const int dpi = dpiForSystem != nullptr ? static_cast<int>(dpiForSystem()) : screenDpi();
    return dpi;
}
