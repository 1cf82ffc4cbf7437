#pragma once
// The calls plix makes about monitors, DPI and the window's frame, as one
// table of function pointers, one line per function. The newer ones are
// looked up at run time so that plix.exe imports nothing an older Windows
// lacks; where one is missing its entry is null and the caller falls back.
// The tests hand the main window a table of their own through
// displayFunctions.

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

// The table the main window works through: the system's in plix.
extern const DisplayFunctions& displayFunctions;
