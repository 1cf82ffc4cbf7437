#pragma once
// The main window's place on the monitors, the Win32 side of ui/WindowState:
// reading the monitors, the window's rectangle and the cursor, and applying
// each move to the window and to the stored position.

#include <windows.h>

#include "common/DisplayFunctions.h"
#include "ui/WindowState.h"

class Settings;

// The monitors as Windows lists them; the primary work area alone should it
// list none.
Monitors readMonitors(const DisplayFunctions& display);

// The main window's rectangle, border included.
ScreenRect windowRect(HWND window);

// The client point of a mouse message: signed 16-bit x and y.
POINT clientPointOf(LPARAM lParam);

// The window's DPI and its border there.
WindowScale scaleAt(const DisplayFunctions& display, int dpi);

// Applies a move: the layout and, for a move of the user's, the stored
// position first, then one SetWindowPos with the flags of the move's kind,
// made only when the window changes, so that a DPI change it sends from
// inside finds a state already true.
void applyMove(HWND window, WindowState& state, const Move& move, Settings& settings);

// A tick: the window laid out for its monitor and pulled inside its work
// area, or restored when something minimized it.
void keepInWorkArea(HWND window, WindowState& state, Settings& settings);

// Monitors plugged in or out, a resolution or a taskbar changed: the window
// planned again from the stored place.
void displayChanged(HWND window, WindowState& state, Settings& settings, const DisplayFunctions& display);

// WM_DPICHANGED with the DPI and the rectangle Windows suggests.
void dpiChanged(HWND window, WindowState& state, int dpi, const RECT& suggested, Settings& settings,
                const DisplayFunctions& display);

void beginDrag(HWND window, WindowState& state, POINT clientPoint);
void dragTo(HWND window, WindowState& state, POINT clientPoint, Settings& settings);
void endDrag(WindowState& state);
