#pragma once
// The calls plix makes about monitors, DPI and the window's frame, one line
// per function. The newer ones are looked up at run time so that plix.exe
// imports nothing an older Windows lacks; a missing one is null.

#include <windows.h>
#include <shellscalingapi.h>

struct DisplayFunctions {
    BOOL(WINAPI* enumDisplayMonitors)(HDC dc, LPCRECT clip, MONITORENUMPROC callback, LPARAM data);
    BOOL(WINAPI* getMonitorInfo)(HMONITOR monitor, LPMONITORINFO info);
    HMONITOR(WINAPI* monitorFromWindow)(HWND window, DWORD flags);
    // Windows 10 1607 and later.
    UINT(WINAPI* getDpiForWindow)(HWND window);
    UINT(WINAPI* getDpiForSystem)();
    BOOL(WINAPI* adjustWindowRectExForDpi)(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle, UINT dpi);
    // shcore.dll, Windows 8.1 and later; only looked up where GetDpiForWindow is missing.
    HRESULT(WINAPI* getDpiForMonitor)(HMONITOR monitor, MONITOR_DPI_TYPE type, UINT* dpiX, UINT* dpiY);
};

// The system's, bound on first use and kept for the rest of the process.
const DisplayFunctions& systemDisplayFunctions();

// The table the main window works through: the system's in plix, the
// tests' own in the tests.
extern const DisplayFunctions& displayFunctions;
