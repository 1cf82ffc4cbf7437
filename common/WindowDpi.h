#pragma once
// The display scale plix draws at, in dots per inch (96 is 100%).

#include <windows.h>

// The DPI of the monitor the window is on: GetDpiForWindow where user32 has
// it (Windows 10 1607 and later), else the screen's LOGPIXELSY.
int windowDpi(HWND window);

// The system DPI: GetDpiForSystem where user32 has it, else the screen's
// LOGPIXELSY.
int systemDpi();
