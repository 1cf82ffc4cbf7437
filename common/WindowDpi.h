#pragma once
// The display scale plix draws at, in dots per inch, and the window's border.

#include <windows.h>

#include "common/DisplayFunctions.h"

// The DPI of the monitor the window is on: GetDpiForWindow where user32 has
// it (Windows 10 1607 and later), else GetDpiForMonitor for the window's
// monitor (Windows 8.1 and later), else the system DPI.
int windowDpi(const DisplayFunctions& display, HWND window);

// The system DPI: GetDpiForSystem where user32 has it, else the screen's
// LOGPIXELSY. The second form asks once and keeps the answer: Windows fixes
// the system DPI when the session starts.
int systemDpi(const DisplayFunctions& display);
int systemDpi();

// The main window's border each side at a DPI: AdjustWindowRectExForDpi's,
// or one pixel where that function is missing.
int windowBorder(const DisplayFunctions& display, int dpi);

// The style the main window is made with, and its border measured with.
constexpr DWORD kMainWindowStyle = WS_POPUP | WS_BORDER;
